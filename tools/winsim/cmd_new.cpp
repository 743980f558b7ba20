// winsim new DIR [--set SECTION.KEY=VALUE ...] [--drive LETTER=HOSTFOLDER ...]
#include <iostream>

#include "commands.h"
#include "winsim/systemprograms.h"

namespace winsim::cli {
namespace {

int runNew(const Arguments& args) {
  if (args.empty()) return fail("new: which folder? (winsim new DIR)");
  std::vector<ProfileSetting> settings;
  std::vector<DriveMapping> drives;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    if ((option != "--set" && option != "--drive") || i + 1 >= args.size())
      return fail("new: unexpected argument '" + option + "'");
    const std::string value = args[++i];
    const auto eq = value.find('=');
    if (option == "--set") {
      const auto dot = value.find('.');
      if (dot == std::string::npos || eq == std::string::npos || dot > eq || dot == 0 || eq == dot + 1)
        return fail("new: --set needs SECTION.KEY=VALUE, got '" + value + "'");
      settings.push_back({value.substr(0, dot), value.substr(dot + 1, eq - dot - 1), value.substr(eq + 1)});
    } else {
      if (eq != 1) return fail("new: --drive needs LETTER=HOSTFOLDER, got '" + value + "'");
      drives.push_back({value[0], value.substr(2)});
    }
  }
  auto machine = Machine::create(args[0], settings, drives);
  if (!machine) return fail("new: " + machine.error().message);
  if (auto installed = installSystemPrograms(*machine.value()); !installed)
    return fail("new: " + installed.error().message);
  std::cout << "created machine " << machine.value()->folder().string() << "\n";
  return 0;
}

const CommandRegistration registration{
    {"new", "new DIR [--set SECTION.KEY=VALUE ...] [--drive LETTER=HOSTFOLDER ...]", runNew}};

}  // namespace
}  // namespace winsim::cli

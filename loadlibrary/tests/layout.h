// The installed layout the loader's tests use: the installation folder with
// the host program, its resource libraries and Bin\ (the component pack),
// and the tool folder with the three modules.
#pragma once

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "testing/tempmachine.h"
#include "winsim/text.h"

namespace mwloadlibrary::testing {

inline const std::u16string kInstallation = u"C:\\Program Files\\Merrowin\\DWG Merrowin";
inline const std::u16string kToolFolder = kInstallation + u"\\MWTools";
inline const std::u16string kLoader = kToolFolder + u"\\MWLoadLibrary.krx";
inline const std::u16string kCommonModule = kToolFolder + u"\\MWCommonModule.krx";
inline const std::u16string kExtensionTool = kToolFolder + u"\\MWExtensionTool.krx";
inline const std::u16string kPack = kInstallation + u"\\Bin\\BCGCBPRO2510u100.dll";
inline const std::u16string kHost = kInstallation + u"\\korax.exe";

enum class Pack { Installed, Missing };

/// Copies a built file into the machine under a Windows path.
inline void place(winsim::testing::TempMachine& machine, const std::string& built, std::u16string_view windowsPath) {
  const std::filesystem::path target = machine.host(windowsPath);
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(std::filesystem::path(KX_BUILD_BIN) / built, target,
                             std::filesystem::copy_options::overwrite_existing);
}

inline void installProduct(winsim::testing::TempMachine& machine, Pack pack = Pack::Installed) {
  place(machine, "korax", kHost);
  std::filesystem::permissions(machine.host(kHost), std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  place(machine, "koraxkwlres.dll", kInstallation + u"\\koraxkwlres.dll");
  place(machine, "expressres.dll", kInstallation + u"\\expressres.dll");
  if (pack == Pack::Installed) place(machine, "BCGCBPRO2510u100.dll", kPack);
  place(machine, "MWLoadLibrary.krx", kLoader);
  place(machine, "MWCommonModule.krx", kCommonModule);
  place(machine, "MWExtensionTool.krx", kExtensionTool);
}

/// The ModuleLoad and ModuleUnload records as "load PATH" / "unload PATH".
inline std::vector<std::string> moduleEvents(const winsim::testing::TempMachine& machine) {
  std::vector<std::string> events;
  std::ifstream in(machine.folder() / "transcript.jsonl");
  for (std::string line; std::getline(in, line);) {
    const nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
    if (record.is_discarded()) continue;
    const std::string kind = record.value("kind", "");
    if (kind == "ModuleLoad") events.push_back("load " + record.value("path", ""));
    if (kind == "ModuleUnload") events.push_back("unload " + record.value("path", ""));
  }
  return events;
}

inline std::string load(const std::u16string& path) { return "load " + winsim::toUtf8(path); }
inline std::string unload(const std::u16string& path) { return "unload " + winsim::toUtf8(path); }

}  // namespace mwloadlibrary::testing

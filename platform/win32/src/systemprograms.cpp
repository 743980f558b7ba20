#include "winsim/systemprograms.h"

#include <unistd.h>

#include "win32/errors.h"

namespace winsim {

namespace fs = std::filesystem;

fs::path systemProgramsFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return self.parent_path() / "system32";
}

Status installSystemPrograms(const Machine& machine, const fs::path& from) {
  std::error_code ec;
  if (from.empty() || !fs::is_directory(from, ec)) return {};
  auto system = machine.hostPath(machine.profileString(u"folders", u"system", u"C:\\Windows\\System32"));
  // A profile may put the system folder on a drive the machine lacks; such a
  // machine has no system tools, as a Windows without them would.
  if (!system) return {};
  fs::create_directories(system.value(), ec);
  for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    const fs::path target = system.value() / it->path().filename();
    std::error_code copyError;
    fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, copyError);
    if (!copyError)
      fs::permissions(target, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                      fs::perm_options::add, copyError);
    if (copyError)
      return makeError(ERROR_WRITE_FAULT, "cannot install " + it->path().string() + ": " + copyError.message());
  }
  if (ec) return makeError(ERROR_READ_FAULT, "cannot list " + from.string() + ": " + ec.message());
  return {};
}

}  // namespace winsim

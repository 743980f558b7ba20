// kxStart.exe, the viewer's launcher: what the desktop shortcut and the setup
// program's finish page open. It starts the CAD host beside itself with the
// product's module loader, so the extension tool comes up with the viewer:
//
//   kxStart.exe [ARGUMENTS]
//   -> "FOLDER\korax.exe" --load "FOLDER\MWTools\MWLoadLibrary.krx" [ARGUMENTS]
//
// FOLDER is the launcher's own folder; its arguments follow unchanged, as
// written (a drawing to open, ...). It does not wait for the viewer, as a
// launcher does not: exit code 0 once korax.exe has started, 1 when it cannot
// be started (a message box says why, for the person who clicked).
#include <string>
#include <string_view>

#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "win32/process.h"
#include "winsim/text.h"

namespace {

constexpr const WCHAR* kCaption = u"DWG Merrowin";
constexpr const WCHAR* kHostProgram = u"\\korax.exe";
constexpr const WCHAR* kModuleLoader = u"\\MWTools\\MWLoadLibrary.krx";
constexpr DWORD kPathLimit = 260;
// The longest command line CreateProcessW takes, its terminating NUL included.
constexpr std::size_t kCommandLineLimit = 32767;
constexpr int kStarted = 0;
constexpr int kNotStarted = 1;

/// The arguments of a Windows command line: everything after the program's
/// name, which ends at its closing quote or at the first blank.
std::u16string_view argumentsOf(std::u16string_view line) {
  std::size_t end = 0;
  if (!line.empty() && line.front() == u'"') {
    end = line.find(u'"', 1);
    end = end == std::u16string_view::npos ? line.size() : end + 1;
  } else {
    end = line.find_first_of(u" \t");
    if (end == std::u16string_view::npos) end = line.size();
  }
  line.remove_prefix(end);
  while (!line.empty() && (line.front() == u' ' || line.front() == u'\t')) line.remove_prefix(1);
  return line;
}

int refuse(const std::u16string& text) {
  MessageBoxW(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
  return kNotStarted;
}

}  // namespace

int main() {
  WCHAR self[kPathLimit] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, kPathLimit);
  if (length == 0 || length >= kPathLimit) return refuse(u"The viewer's folder cannot be found.");
  std::u16string folder(self, length);
  const std::size_t slash = folder.find_last_of(u'\\');
  folder.erase(slash == std::u16string::npos ? 0 : slash);

  const std::u16string host = folder + kHostProgram;
  std::u16string commandLine = u"\"" + host + u"\" --load \"" + folder + kModuleLoader + u"\"";
  if (const std::u16string_view arguments = argumentsOf(GetCommandLineW()); !arguments.empty()) {
    commandLine += u' ';
    commandLine += arguments;
  }
  if (commandLine.size() + 1 > kCommandLineLimit) return refuse(u"The command line is too long to start the viewer.");

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(host.c_str(), commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      nullptr, &startup, &process))
    return refuse(u"Cannot start " + host + u" (error " + winsim::fromUtf8(std::to_string(GetLastError())) + u").");
  // The viewer runs on its own: the launcher's handles are not needed to keep it.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return kStarted;
}

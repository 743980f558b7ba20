// What the tests of the start-up, the flows, the install procedure and the
// uninstall share: the example package copied into the machine as the setup
// folder C:\Package, programs that record how they were started, a UI script,
// and waiting for a program the shell started without waiting.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "enginetest.h"
#include "tlhelp32.h"
#include "win32/registry.h"

namespace enginetest {

/// The payload and the system folders of a 32-bit program on 64-bit Windows.
inline constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";

class SetupTest : public EngineTest {
 protected:
  explicit SetupTest(const std::vector<winsim::ProfileSetting>& settings = {}) : EngineTest(settings) {}
  ~SetupTest() override { ::unsetenv("WINSIM_UI"); }

  /// The example package's installers and packages (and HUninstall.exe) in
  /// C:\Package, beside the setup program.
  void copyPackage() {
    fs::copy(WINSIM_PACKAGE_DIR, host(u"C:\\Package"),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }

  /// A program of the machine that appends its Windows command line, one
  /// line a run, to `record` (a Windows path), and exits.
  void writeRecorder(std::u16string_view windowsPath, std::u16string_view record) {
    writeFile(windowsPath, "#!/bin/sh\nprintf '%s\\n' \"$WINSIM_CMDLINE\" >> '" + host(record).string() + "'\n");
    fs::permissions(host(windowsPath), fs::perms::owner_exec, fs::perm_options::add);
  }

  /// The command lines a recorder wrote, one a run.
  std::vector<std::string> runs(std::u16string_view record) const {
    std::vector<std::string> lines;
    std::ifstream in(host(record));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  /// The UI script, in the machine folder (which no program reads as a file
  /// of the machine).
  void uiScript(const std::string& text) {
    const fs::path script = machine().folder() / "ui.txt";
    std::ofstream(script, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", script.c_str(), 1);
  }

  bool exists(std::u16string_view windowsPath) const { return fs::exists(host(windowsPath)); }
};

/// The .NET Framework 4 Client profile as its installer records it (the
/// setup program's 32-bit view).
inline void registerNetClient(const char16_t* version = u"4.0.30319", DWORD install = 1) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string path = u"C:\\Windows\\Microsoft.NET\\Framework\\v4.0.30319\\";
  RegSetValueExW(key, u"InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>((path.size() + 1) * 2));
  RegSetValueExW(key, u"Install", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&install), sizeof install);
  const std::u16string text = version;
  RegSetValueExW(key, u"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * 2));
  RegCloseKey(key);
}
/// Waits (a few seconds at most) until `done` holds, for programs the shell
/// starts without waiting for them.
inline bool eventually(const std::function<bool()>& done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

/// A program of that image file name runs on the machine.
inline bool isRunning(std::u16string_view imageName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
    found = std::u16string_view(entry.szExeFile) == imageName;
  CloseHandle(snapshot);
  return found;
}

/// Waits until no program of that image file name runs any more (the shell
/// enters a program in the machine's process table before it returns).
inline bool ended(std::u16string_view imageName) {
  return eventually([&] { return !isRunning(imageName); });
}

}  // namespace enginetest

// The fixture of the setup program's tests: a fresh machine whose drive D is
// the example package (or a copy of it the test may change), the built
// program run as `winsim run MACHINE "D:\Setup.exe ..."`, with a UI script
// playing the person; what it leaves on the machine and what the machine's
// transcript says it showed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "testing/tempmachine.h"
#include "tlhelp32.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/registry.h"
#include "winsim/machine.h"

namespace programtest {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
constexpr char16_t kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\";
constexpr char16_t kUninstallEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_en_us";

class SetupProgramTest : public ::testing::Test {
 protected:
  /// `package` is the folder drive D shows: the example package, or a copy
  /// of it that the test changes.
  explicit SetupProgramTest(const std::vector<winsim::ProfileSetting>& settings = {},
                            const fs::path& package = WINSIM_PACKAGE_DIR)
      : m_machine(settings, {{'D', package}}) {
    // The test reads the registry as the 32-bit setup program wrote it.
    winsim::setProgramBitness(winsim::Bitness::Bits32);
  }
  ~SetupProgramTest() override {
    winsim::setProgramBitness(winsim::Bitness::Bits64);
    ::unsetenv("WINSIM_UI");
  }

  /// `winsim run MACHINE "COMMAND LINE"`; its exit code.
  int winsimRun(const std::string& commandLine) {
    const std::string command =
        std::string(WINSIM_TOOL) + " run '" + m_machine.folder().string() + "' '" + commandLine + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void uiScript(const std::string& text) {
    const fs::path script = m_machine.folder() / "ui.txt";
    std::ofstream(script, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", script.c_str(), 1);
  }

  bool exists(std::u16string_view path) const { return fs::exists(m_machine.host(path)); }
  std::u16string installed(std::u16string_view name) const {
    return std::u16string(kInstallDir) + u"\\" + std::u16string(name);
  }

  /// The transcript's records of one kind ("MessageBox", "Dialog", ...).
  std::vector<nlohmann::json> transcript(const std::string& kind) const {
    std::vector<nlohmann::json> out;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      auto record = nlohmann::json::parse(line);
      if (record["kind"] == kind) out.push_back(record);
    }
    return out;
  }
  /// The transcript's message boxes.
  std::vector<nlohmann::json> boxes() const { return transcript("MessageBox"); }
  /// The templates of the dialogs shown, in order: the wizard's pages.
  std::vector<int> pagesShown() const {
    std::vector<int> out;
    for (const auto& record : transcript("Dialog"))
      if (record.contains("template")) out.push_back(record["template"].get<int>());
    return out;
  }

  static std::optional<std::u16string> stringValue(const char16_t* key, const char16_t* name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
    WCHAR value[512] = {};
    DWORD size = sizeof value - sizeof(WCHAR);
    const LSTATUS read = RegQueryValueExW(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    return read == ERROR_SUCCESS ? std::optional<std::u16string>(value) : std::nullopt;
  }
  static std::optional<DWORD> numberValue(const char16_t* key, const char16_t* name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS read = RegQueryValueExW(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(handle);
    return read == ERROR_SUCCESS ? std::optional<DWORD>(value) : std::nullopt;
  }
  static bool keyExists(const char16_t* key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
  }

  /// Waits (a few seconds at most) until no program of that image name runs:
  /// the setup program starts the uninstaller without waiting for it.
  static bool ended(std::u16string_view imageName) {
    for (int i = 0; i < 1000; ++i) {
      HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
      PROCESSENTRY32W entry{};
      entry.dwSize = sizeof entry;
      bool running = false;
      for (BOOL more = Process32FirstW(snapshot, &entry); more && !running; more = Process32NextW(snapshot, &entry))
        running = std::u16string_view(entry.szExeFile) == imageName;
      CloseHandle(snapshot);
      if (!running) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  /// The install log's records.
  std::vector<std::string> logRecords() const {
    std::ifstream in(m_machine.host(installed(u"install.log")), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> records;
    for (std::size_t at = 0; (at = bytes.find("\r\r\n", at)) != std::string::npos;) {
      at += 3;
      records.push_back(bytes.substr(at, bytes.find("\r\r\n", at) - at));
    }
    return records;
  }

  TempMachine m_machine;
};

}  // namespace programtest

// The built setup program, run as a person or an administrator's script runs
// it: `winsim run MACHINE "D:\Setup.exe ..."` on a fresh machine whose drive D
// is the example package. What it leaves on the machine, and what the
// machine's transcript says it showed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "testing/tempmachine.h"
#include "tlhelp32.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/registry.h"
#include "winsim/machine.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
constexpr char16_t kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\";
constexpr char16_t kUninstallEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_en_us";

class SetupProgramTest : public ::testing::Test {
 protected:
  explicit SetupProgramTest(const std::vector<winsim::ProfileSetting>& settings = {})
      : m_machine(settings, {{'D', WINSIM_PACKAGE_DIR}}) {
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

  /// The transcript's message boxes.
  std::vector<nlohmann::json> boxes() const {
    std::vector<nlohmann::json> out;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      auto record = nlohmann::json::parse(line);
      if (record["kind"] == "MessageBox") out.push_back(record);
    }
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

TEST_F(SetupProgramTest, TheQuietInstallInstallsThePayloadAndItsOwnFilesOnly) {
  EXPECT_EQ(winsimRun("D:\\Setup.exe quiet=1"), 0);
  for (const char16_t* name : {u"korax.exe", u"kxStart.exe", u"dwgthumb.dll", u"Lang\\en-US\\korax.txt", u"Setup.exe",
                               u"IntallerRes.dll", u"HUninstall", u"Setup.ini"})
    EXPECT_TRUE(exists(installed(name))) << fs::path(name).string();
  EXPECT_FALSE(exists(installed(u"uninst.exe")));
  EXPECT_TRUE(exists(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll"));
  // The product key, with the defaults of the state.
  EXPECT_EQ(stringValue(kProductKey, u"path"), kInstallDir);
  EXPECT_EQ(stringValue(kProductKey, u"language"), u"1033");
  EXPECT_EQ(numberValue(kProductKey, u"NUM"), 1u);
  EXPECT_EQ(stringValue(kProductKey, u"RegLang"), u"en-US");
  // Nothing else: no uninstall entry, no shortcuts, no registration tool, no
  // spreadsheet tables, only the shell extension folder's records in the log.
  EXPECT_FALSE(keyExists(kUninstallEntry));
  EXPECT_FALSE(exists(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk"));
  EXPECT_FALSE(keyExists(u"SOFTWARE\\Winsim\\StandIns\\WriteRegister.exe"));
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\XlsTable"));
  EXPECT_EQ(logRecords(), (std::vector<std::string>{
                              "CreateDirectory: \"C:\\Program Files (x86)\\Common Files\\Halvorn\" (0)",
                              "CreateDirectory: \"C:\\Program Files (x86)\\Common Files\\Halvorn\" created",
                          }));
  EXPECT_TRUE(boxes().empty());
}

TEST_F(SetupProgramTest, TargetDirAloneMakesTheRunQuiet) {
  EXPECT_EQ(winsimRun("\"D:\\Setup.exe\" TARGETDIR=\"C:\\My Tools\\\" NUM=3"), 0);
  EXPECT_TRUE(exists(u"C:\\My Tools\\korax.exe"));
  EXPECT_TRUE(exists(u"C:\\My Tools\\Setup.exe"));
  EXPECT_EQ(stringValue(kProductKey, u"path"), u"C:\\My Tools");
  EXPECT_EQ(numberValue(kProductKey, u"NUM"), 3u);
  EXPECT_FALSE(exists(kInstallDir));
  EXPECT_TRUE(boxes().empty());
}

TEST_F(SetupProgramTest, TheQuietUninstallRemovesTheInstallation) {
  ASSERT_EQ(winsimRun("D:\\Setup.exe quiet=1"), 0);
  ASSERT_TRUE(exists(installed(u"korax.exe")));
  EXPECT_EQ(winsimRun("D:\\Setup.exe quiet=1 Uninstall=1"), 0);
  ASSERT_TRUE(ended(u"HUninstall.exe"));
  EXPECT_FALSE(exists(kInstallDir));
  // The payload's values went with its removal; the local part, a product of
  // its own that the setup program does not remove, keeps its value.
  EXPECT_FALSE(stringValue(u"SOFTWARE\\Halvorn\\DWG Merrowin\\Viewer", u"InstallDir"));
  EXPECT_TRUE(stringValue(u"SOFTWARE\\Halvorn\\DWG Merrowin\\Viewer", u"Language"));
  // The setup program showed nothing; the uninstaller, started without
  // /quiet, asked and reported with its own boxes.
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& box : shown) EXPECT_EQ(box["process"], "C:\\Users\\User\\AppData\\Local\\Temp\\HUninstall.exe");
}

TEST_F(SetupProgramTest, FromTheInstallFolderItAsksAndUninstalls) {
  ASSERT_EQ(winsimRun("D:\\Setup.exe quiet=1"), 0);
  // The entry the wizard's install procedure writes, so that the program
  // finds the installation.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntry, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const auto& [name, text] : {std::pair<const char16_t*, std::u16string>{u"Platfrom", u"x86"},
                                   std::pair<const char16_t*, std::u16string>{u"InstallLocation", kInstallDir}})
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * 2));
  RegCloseKey(key);

  uiScript("answer IDNO\n");
  EXPECT_EQ(winsimRun("\"C:\\Program Files (x86)\\Halvorn\\Merrowin\\Setup.exe\""), 0);
  EXPECT_TRUE(exists(installed(u"korax.exe"))) << "declined: nothing removed";

  uiScript("# the setup program's question\nanswer IDYES\n# the uninstaller's\nanswer IDYES\n");
  EXPECT_EQ(winsimRun("\"C:\\Program Files (x86)\\Halvorn\\Merrowin\\Setup.exe\""), 0);
  ASSERT_TRUE(ended(u"HUninstall.exe"));
  EXPECT_FALSE(exists(kInstallDir));

  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 4u);
  for (int i : {0, 1}) {
    EXPECT_EQ(shown[i]["text"], "\nAre you sure you want to uninstall this product?\n");
    EXPECT_EQ(shown[i]["caption"], "DWG Merrowin");
  }
  EXPECT_EQ(shown[0]["answer"], "IDNO");
  EXPECT_EQ(shown[1]["answer"], "IDYES");
  EXPECT_EQ(shown[2]["caption"], "DWG Merrowin Uninstall");
}

TEST_F(SetupProgramTest, TheWizardWithoutItsPagesEndsWithoutInstalling) {
  // The pages are not part of the program yet: the welcome page cannot be
  // shown, which cancels the installation.
  EXPECT_EQ(winsimRun("D:\\Setup.exe"), 0);
  EXPECT_FALSE(exists(kInstallDir));
  EXPECT_FALSE(keyExists(kProductKey));
  EXPECT_TRUE(boxes().empty());
}

class RunningViewerTest : public SetupProgramTest {
 protected:
  RunningViewerTest() : SetupProgramTest({{"processes", "running", "korax.exe"}}) {}
};

TEST_F(RunningViewerTest, TheProgramRefusesWithItsTitleAsCaption) {
  EXPECT_EQ(winsimRun("D:\\Setup.exe quiet=1"), 0);
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]["text"], "DWG Merrowin is running,please close the application and then try again.");
  EXPECT_EQ(shown[0]["caption"], "Setup");
  EXPECT_EQ(shown[0]["process"], "D:\\Setup.exe");
  EXPECT_FALSE(exists(kInstallDir));
}

}  // namespace

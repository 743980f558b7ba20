// The stand-in uninstaller, started as the setup program starts it: from a
// folder holding install.log, quietly (the rollback) or with its questions
// (the uninstall). It removes what the log recorded and the install folder,
// and leaves what others share.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../../systemtools/tests/toolrun.h"
#include "testing/tempmachine.h"
#include "win32/files.h"
#include "winsim/machine.h"

namespace {

namespace fs = std::filesystem;
using tooltest::run;
using tooltest::writeFile;
using winsim::testing::TempMachine;

constexpr char16_t kEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_en_us";
constexpr char kMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn\\DWG Merrowin";
constexpr char kShared[] = "C:\\Program Files (x86)\\Common Files\\Halvorn";

class HUninstallTest : public ::testing::Test {
 protected:
  explicit HUninstallTest(const std::vector<winsim::ProfileSetting>& settings = {}) : m_machine(settings) {
    // The values are read and written in the 32-bit view, as the setup
    // program writes them.
    winsim::setProgramBitness(winsim::Bitness::Bits32);
    fs::create_directories(host(u"C:\\Temp\\U"));
    fs::copy_file(fs::path(WINSIM_PACKAGE_DIR) / "HUninstall.exe", host(u"C:\\Temp\\U\\HUninstall.exe"));
  }
  ~HUninstallTest() override {
    winsim::setProgramBitness(winsim::Bitness::Bits64);
    ::unsetenv("WINSIM_UI");
  }

  fs::path host(std::u16string_view path) const { return m_machine.host(path); }
  bool exists(std::u16string_view path) const { return fs::exists(host(path)); }

  /// What an installation into `dir` leaves, and the log that records it (in
  /// the machine's ANSI code page, each record after 0D 0D 0A).
  void install(const std::string& dir, std::u16string_view wideDir) {
    const std::u16string d(wideDir);
    for (const char16_t* file : {u"\\korax.exe", u"\\Setup.exe", u"\\HUninstall", u"\\Lang\\en-US\\korax.txt"})
      writeFile(host(d + file), "x");
    writeFile(host(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk"), "link");
    writeFile(host(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn\\DWG Merrowin\\Website.lnk"),
              "link");
    writeFile(host(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll"), "library");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEntry, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const char16_t* name : {u"DisplayName", u"InstallLocation"})
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(d.c_str()),
                     static_cast<DWORD>((d.size() + 1) * 2));
    RegCloseKey(key);

    const std::string entry =
        "\"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG "
        "Merrowin_en_us\"";
    const std::string programs = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    std::string log;
    for (const std::string& record : std::initializer_list<std::string>{
             "CreateDirectory: \"" + std::string(kShared) + "\" (0)",
             "CreateDirectory: \"" + std::string(kShared) + "\" created",
             "WriteRegStr: " + entry + " \"DisplayName\"=\"DWG Merrowin\"",
             "WriteRegStr: " + entry + " \"InstallLocation\"=\"" + dir + "\"",
             "WriteRegDWORD: " + entry + " \"Version\"=\"56\"",
             "CreateShortCut: out: \"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk\", in: \"" + dir +
                 "\\kxStart.exe \", icon: ,0, sw=0, hk=0",
             "CreateDirectory: \"" + programs + "\\Halvorn\" (0)",
             "CreateDirectory: \"" + programs + "\\Halvorn\" created",
             "CreateDirectory: \"" + std::string(kMenu) + "\" (0)",
             "CreateDirectory: \"" + std::string(kMenu) + "\" created",
             "CreateShortCut: out: \"" + std::string(kMenu) + "\\Website.lnk\", in: \"" + dir +
                 "\\Website.url \", icon: ,0, sw=0, hk=0",
             std::string("File: overwriteflag=4, allowskipfilesflag=0, name=\"HUninstall\""),
             "File: wrote 341000 to \"" + dir + "\\HUninstall\"",
         })
      log += "\r\r\n" + record;
    writeFile(host(u"C:\\Temp\\U\\install.log"), log);
  }

  static bool keyExists(const char16_t* key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
  }

  void uiScript(const std::string& text) {
    const fs::path script = m_machine.folder() / "ui.txt";
    std::ofstream(script, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", script.c_str(), 1);
  }

  void expectRemoved(std::u16string_view dir) {
    EXPECT_FALSE(exists(dir));
    EXPECT_FALSE(exists(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk"));
    EXPECT_FALSE(exists(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn"));
    EXPECT_TRUE(exists(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"));
    EXPECT_FALSE(keyExists(kEntry));
    EXPECT_TRUE(keyExists(u"Software\\Microsoft\\Windows\\CurrentVersion"));
    // The shared folder still holds the shell extension: it stays.
    EXPECT_TRUE(exists(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll"));
  }

  TempMachine m_machine;
};

TEST_F(HUninstallTest, QuietlyRemovesWhatTheLogRecordedAndTheInstallFolder) {
  install("C:\\Apps\\Viewer", u"C:\\Apps\\Viewer");
  EXPECT_EQ(run(u"\"C:\\Temp\\U\\HUninstall.exe\" /quiet /norestart"), 0);
  expectRemoved(u"C:\\Apps\\Viewer");
  EXPECT_TRUE(exists(u"C:\\Apps")) << "only the install folder goes";
  EXPECT_TRUE(tooltest::messageBoxes(m_machine).empty());
}

TEST_F(HUninstallTest, AsksFirstWithoutQuiet) {
  install("C:\\Apps\\Viewer", u"C:\\Apps\\Viewer");
  uiScript("answer IDNO\n");
  EXPECT_EQ(run(u"\"C:\\Temp\\U\\HUninstall.exe\" /norestart"), 2);
  EXPECT_TRUE(exists(u"C:\\Apps\\Viewer\\korax.exe"));
  EXPECT_TRUE(keyExists(kEntry));

  uiScript("answer IDYES\n");
  EXPECT_EQ(run(u"\"C:\\Temp\\U\\HUninstall.exe\" /norestart"), 0);
  expectRemoved(u"C:\\Apps\\Viewer");
  const auto boxes = tooltest::messageBoxes(m_machine);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0]["text"], "Are you sure you want to completely remove DWG Merrowin and all of its components?");
  EXPECT_EQ(boxes[0]["caption"], "DWG Merrowin Uninstall");
  EXPECT_EQ(boxes[2]["text"], "DWG Merrowin was successfully removed from your computer.");
}

TEST_F(HUninstallTest, WithoutALogItRemovesNothing) {
  install("C:\\Apps\\Viewer", u"C:\\Apps\\Viewer");
  fs::remove(host(u"C:\\Temp\\U\\install.log"));
  EXPECT_EQ(run(u"\"C:\\Temp\\U\\HUninstall.exe\" /quiet"), 1);
  EXPECT_TRUE(exists(u"C:\\Apps\\Viewer\\korax.exe"));
}

TEST_F(HUninstallTest, AQuietInstallationsLogNamesNoFolderSoTheProductKeyDoes) {
  // The quiet install logs only the folders it created; the install folder is
  // the one the product key records.
  writeFile(host(u"C:\\My Tools\\korax.exe"), "x");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string path = u"C:\\My Tools";
  RegSetValueExW(key, u"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>((path.size() + 1) * 2));
  RegCloseKey(key);
  writeFile(host(u"C:\\Temp\\U\\install.log"),
            "\r\r\nCreateDirectory: \"C:\\Empty\" (0)\r\r\nCreateDirectory: \"C:\\Empty\" created");
  fs::create_directories(host(u"C:\\Empty"));
  EXPECT_EQ(run(u"\"C:\\Temp\\U\\HUninstall.exe\" /quiet"), 0);
  EXPECT_FALSE(exists(u"C:\\My Tools"));
  EXPECT_FALSE(exists(u"C:\\Empty"));
}

class HUninstallAnsiTest : public HUninstallTest {
 protected:
  HUninstallAnsiTest() : HUninstallTest({{"system", "codepage", "936"}}) {}
};

TEST_F(HUninstallAnsiTest, ReadsTheLogInTheAnsiCodePage) {
  // 梅罗温 in code page 936, as the setup program writes the log there.
  install("C:\\Apps\\\xC3\xB7\xC2\xDE\xCE\xC2", u"C:\\Apps\\梅罗温");
  EXPECT_EQ(run(u"\"C:\\Temp\\U\\HUninstall.exe\" /quiet"), 0);
  expectRemoved(u"C:\\Apps\\梅罗温");
}

}  // namespace

// The built setup program, run as a person or an administrator's script runs
// it: `winsim run MACHINE "D:\Setup.exe ..."` on a fresh machine whose drive D
// is the example package. What it leaves on the machine, and what the
// machine's transcript says it showed.
#include "programtest.h"

namespace {

using namespace programtest;

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

  // Declined: the run ends on the error-completion page.
  uiScript("answer IDNO\nwait-dialog 109\nclick 1001\n");
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

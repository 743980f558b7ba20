#include "uninstallentry.h"

#include "enginetest.h"
#include "registrytest.h"

namespace {

using enginetest::EngineTest;
using enginetest::expectString;
namespace fs = std::filesystem;

constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
constexpr char16_t kEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_zh_cn";
constexpr char kEntryRecordKey[] =
    "\"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_zh_cn\"";
constexpr char kMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn\\DWG Merrowin";

class UninstallEntryTest : public EngineTest {
 protected:
  UninstallEntryTest() {
    CSetupState& state = SetupState();
    state.installDir = kInstallDir;
    state.productName = u"DWG Merrowin";
    state.companyName = u"Halvorn";
    state.languageKey = u"zh_cn";
    fs::create_directories(host(kInstallDir));
  }
  std::vector<std::string> records() const {
    return logRecords(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\install.log");
  }
};

TEST_F(UninstallEntryTest, ValuesLogRecordsAndShortcuts) {
  WriteUninstallEntry();
  const std::u16string dir = kInstallDir;
  expectString(kEntry, u"InstallLocation", dir);
  expectString(kEntry, u"DisplayName", u"DWG Merrowin");
  expectString(kEntry, u"DisplayIcon", dir + u"\\korax.exe");
  expectString(kEntry, u"UninstallString", dir + u"\\setup.exe");
  expectString(kEntry, u"Platfrom", u"x86");
  expectString(kEntry, u"Publisher", u"Halvorn Company");
  expectString(kEntry, u"HelpLink", u"https://www.halvorn.com/");
  EXPECT_EQ(enginetest::valueNames(kEntry),
            (std::vector<std::u16string>{u"InstallLocation", u"DisplayName", u"DisplayIcon", u"UninstallString",
                                         u"Platfrom", u"Publisher", u"HelpLink"}));
  EXPECT_FALSE(enginetest::readValue(kEntry, u"Version"));  // logged, never written

  const std::string key = kEntryRecordKey;
  const std::string d = "C:\\Program Files (x86)\\Halvorn\\Merrowin";
  const std::string menu = kMenu;
  const std::string programs = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
  EXPECT_EQ(records(), (std::vector<std::string>{
                           "WriteRegStr: " + key + " \"DisplayName\"=\"DWG Merrowin\"",
                           "WriteRegStr: " + key + " \"InstallLocation\"=\"" + d + "\"",
                           "WriteRegStr: " + key + " \"DisplayIcon\"=\"" + d + "\\korax.exe\"",
                           "WriteRegStr: " + key + " \"UninstallString\"=\"" + d + "\\setup.exe\"",
                           "WriteRegStr: " + key + " \"Platfrom\"=\"x86\"",
                           "WriteRegStr: " + key + " \"Publisher\"=\"Halvorn Company\"",
                           "WriteRegStr: " + key + " \"HelpLink\"=\"https://www.halvorn.com/\"",
                           "WriteRegDWORD: " + key + " \"Version\"=\"56\"",
                           "CreateShortCut: out: \"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk\", in: \"" + d +
                               "\\kxStart.exe \", icon: ,0, sw=0, hk=0",
                           "CreateDirectory: \"" + programs + "\\Halvorn\" (0)",
                           "CreateDirectory: \"" + programs + "\\Halvorn\" created",
                           "CreateDirectory: \"" + menu + "\" (0)",
                           "CreateDirectory: \"" + menu + "\" created",
                           "CreateShortCut: out: \"" + menu + "\\DWG Merrowin.lnk\", in: \"" + d +
                               "\\kxStart.exe \", icon: ,0, sw=0, hk=0",
                           "CreateShortCut: out: \"" + menu + "\\Uninstall Merrowin.lnk\", in: \"" + d +
                               "\\setup.exe \", icon: ,0, sw=0, hk=0",
                           "CreateShortCut: out: \"" + menu + "\\Website.lnk\", in: \"" + d +
                               "\\Website.url \", icon: ,0, sw=0, hk=0",
                           "File: overwriteflag=4, allowskipfilesflag=0, name=\"HUninstall\"",
                           "File: wrote 341000 to \"" + d + "\\HUninstall\"",
                       }));
  for (const char16_t* link :
       {u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk",
        u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn\\DWG Merrowin\\DWG Merrowin.lnk",
        u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn\\DWG Merrowin\\Uninstall Merrowin.lnk",
        u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn\\DWG Merrowin\\Website.lnk"})
    EXPECT_TRUE(fs::is_regular_file(host(link))) << enginetest::utf8(link);
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(UninstallEntryTest, PackageOf64BitsStillWritesThe32BitView) {
  SetupState().package64 = 1;
  WriteUninstallEntry();
  expectString(kEntry, u"Platfrom", u"x64");
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEntry, 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(UninstallEntryTest, TextsOfALanguagePackage) {
  // The package's library has its own names and a display-name suffix; the
  // log's DisplayName record keeps the product name alone.
  installTextLibrary("enginetestres.dll");
  SetupState().productName = u"Viewer Lab";
  WriteUninstallEntry();
  constexpr char16_t kLabEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Viewer Lab_zh_cn";
  expectString(kLabEntry, u"DisplayName", u"Viewer Lab - Trial");
  expectString(kLabEntry, u"Publisher", u"Halvorn Labs");
  expectString(kLabEntry, u"HelpLink", u"https://labs.halvorn.com/");
  const auto log = records();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0],
            "WriteRegStr: \"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Viewer "
            "Lab_zh_cn\" \"DisplayName\"=\"Viewer Lab\"");
  const std::u16string menu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Halvorn\\Viewer Lab";
  EXPECT_TRUE(fs::is_regular_file(host(u"C:\\Users\\Public\\Desktop\\Viewer Lab.lnk")));
  EXPECT_TRUE(fs::is_regular_file(host(menu + u"\\Viewer Lab.lnk")));
  EXPECT_TRUE(fs::is_regular_file(host(menu + u"\\Remove Viewer.lnk")));
  EXPECT_TRUE(fs::is_regular_file(host(menu + u"\\Home page.lnk")));
}

TEST_F(UninstallEntryTest, AFailingShortcutDoesNotStopTheOthers) {
  fs::remove_all(host(u"C:\\Users\\Public\\Desktop"));
  WriteUninstallEntry();
  const auto log = records();
  ASSERT_EQ(log.size(), 17u);  // all but the desktop link's record
  EXPECT_EQ(log[8].rfind("CreateDirectory: ", 0), 0u);
  EXPECT_EQ(log.back(), "File: wrote 341000 to \"C:\\Program Files (x86)\\Halvorn\\Merrowin\\HUninstall\"");
}

TEST_F(UninstallEntryTest, KeyThatCannotBeCreatedWritesNothing) {
  ASSERT_TRUE(machine()
                  .setProfileValue(u"registry", u"deny",
                                   u"HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall")
                  .ok());
  WriteUninstallEntry();
  EXPECT_FALSE(enginetest::readValue(kEntry, u"InstallLocation"));
  EXPECT_FALSE(fs::exists(host(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\install.log")));
  EXPECT_FALSE(fs::exists(host(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk")));
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], "Error\xEF\xBC\x9AUnable to Create the registry information!");
  EXPECT_EQ(boxes[0]["style"], "0x00000030");
}

}  // namespace

// The stand-ins of the example package, run from the assembled package as the
// setup program runs them: the bootstrappers install their Windows Installer
// packages for real, the recorders keep their arguments, and the payload can
// be removed again with msiexec by its product code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../../systemtools/tests/toolrun.h"
#include "testing/tempmachine.h"
#include "win32/files.h"
#include "winsim/msipackage.h"

namespace {

namespace fs = std::filesystem;
using tooltest::run;
using tooltest::stringValue;
using winsim::testing::TempMachine;

constexpr char16_t kStandIns[] = u"SOFTWARE\\Winsim\\StandIns\\";
constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";

class StandInsTest : public ::testing::Test {
 protected:
  StandInsTest() : m_machine({}, {{'D', WINSIM_PACKAGE_DIR}}) {}

  static bool exists(std::u16string_view path) {
    return GetFileAttributesW(std::u16string(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  /// The product key as the 32-bit setup program writes it.
  static void writeProductKey(std::u16string_view folder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\", 0, nullptr,
                              0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::u16string text(folder);
    RegSetValueExW(key, u"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * 2));
    RegCloseKey(key);
  }

  TempMachine m_machine;
};

TEST_F(StandInsTest, ThePayloadInstallsIntoTheRecordedFolderAndIsRemovedByItsProductCode) {
  writeProductKey(kInstallDir);
  EXPECT_EQ(run(u"\"D:\\files\\korax_global.exe\" -passive -norestart"), 0);
  EXPECT_EQ(run(u"\"D:\\files\\korax_local.exe\" -passive -norestart"), 0);
  for (const char16_t* file :
       {u"korax.exe", u"kxStart.exe", u"koraxkwlres.dll", u"expressres.dll", u"Bin\\BCGCBPRO2510u100.dll",
        u"MWTools\\MWLoadLibrary.krx", u"MWTools\\MWCommonModule.krx", u"MWTools\\MWExtensionTool.krx", u"dwgthumb.dll",
        u"uninst.exe", u"Website.url", u"MWExtensionTool\\System\\MWSetting.xml", u"Lang\\en-US\\korax.txt"})
    EXPECT_TRUE(exists(std::u16string(kInstallDir) + u"\\" + file)) << tooltest::fs::path(file).string();
  EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\DWG Merrowin\\Viewer", u"InstallDir", KEY_WOW64_32KEY),
            std::u16string(kInstallDir) + u"\\");
  EXPECT_EQ(
      stringValue(HKEY_LOCAL_MACHINE, std::u16string(kStandIns) + u"korax_global.exe", u"CommandLine", KEY_WOW64_32KEY),
      u"\"D:\\files\\korax_global.exe\" -passive -norestart");

  // The stand-in the viewer keeps as its own uninstaller runs and records itself.
  EXPECT_EQ(run(std::u16string(kInstallDir) + u"\\uninst.exe"), 0);
  EXPECT_TRUE(
      stringValue(HKEY_LOCAL_MACHINE, std::u16string(kStandIns) + u"uninst.exe", u"CommandLine", KEY_WOW64_32KEY)
          .has_value());

  EXPECT_EQ(run(u"msiexec  -x {7DB4C454-5CBC-48FF-B070-7FED49DD181E} -q"), 0);
  EXPECT_FALSE(exists(std::u16string(kInstallDir) + u"\\korax.exe"));
  for (const char16_t* folder : {u"\\MWExtensionTool", u"\\MWTools", u"\\Bin"})
    EXPECT_FALSE(exists(std::u16string(kInstallDir) + folder)) << tooltest::fs::path(folder).string();
  EXPECT_TRUE(exists(std::u16string(kInstallDir) + u"\\Lang\\en-US\\korax.txt"));  // the local part stays
  EXPECT_FALSE(
      stringValue(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\DWG Merrowin\\Viewer", u"InstallDir", KEY_WOW64_32KEY));
}

TEST_F(StandInsTest, ThePrerequisitesInstallWhatTheSetupProgramLooksFor) {
  EXPECT_EQ(run(u"\"D:\\Msi\\vcredist_x86_10.exe\" -q -norestart"), 0);
  EXPECT_EQ(run(u"\"D:\\Msi\\vcredist_x64_10.exe\" -q -norestart"), 0);
  EXPECT_EQ(run(u"\"D:\\Msi\\WindowsInstaller-KB893803-v2-x86.exe\" -q -norestart"), 0);
  EXPECT_TRUE(exists(u"C:\\Windows\\SysWOW64\\msvcr100.dll"));
  EXPECT_TRUE(exists(u"C:\\Windows\\System32\\msvcr100.dll"));
  EXPECT_TRUE(tooltest::keyExists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\VisualStudio\\10.0\\VC\\VCRedist\\x86",
                                  KEY_WOW64_32KEY));
  EXPECT_TRUE(tooltest::keyExists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\VisualStudio\\10.0\\VC\\VCRedist\\x64",
                                  KEY_WOW64_64KEY));
  EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, u"WindowsInstaller.Installer\\CLSID", u"", KEY_WOW64_32KEY),
            u"{000C1090-0000-0000-C000-000000000046}");
}

TEST_F(StandInsTest, TheRegistrationToolRecordsItsArgumentsInItsView) {
  EXPECT_EQ(run(u"\"D:\\files\\WriteRegister.exe\" lang=en-us TARGETDIR=\"C:\\Program Files (x86)\\Halvorn\\Merrowin\" "
                u"PLATFROM=x86 NUM=1 -q"),
            0);
  const std::u16string key = std::u16string(kStandIns) + u"WriteRegister.exe";
  EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, key, u"lang", KEY_WOW64_32KEY), u"en-us");
  EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, key, u"TARGETDIR", KEY_WOW64_32KEY),
            u"C:\\Program Files (x86)\\Halvorn\\Merrowin");
  EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, key, u"NUM", KEY_WOW64_32KEY), u"1");
  EXPECT_FALSE(tooltest::keyExists(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY));

  EXPECT_EQ(run(u"\"D:\\files\\WriteRegister_x64.exe\" PLATFROM=x64 -q"), 0);
  EXPECT_EQ(stringValue(HKEY_LOCAL_MACHINE, std::u16string(kStandIns) + u"WriteRegister_x64.exe", u"PLATFROM",
                        KEY_WOW64_64KEY),
            u"x64");
}

TEST(ExamplePackages, AreValidPackages) {
  std::size_t count = 0;
  for (const auto& folder : {"Msi", "files"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(WINSIM_PACKAGE_DIR) / folder)) {
      if (entry.path().extension() != ".msi") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      auto package = winsim::parseMsiPackage(text.str());
      EXPECT_TRUE(package.ok()) << entry.path() << ": " << (package ? "" : package.error().message);
      ++count;
    }
  }
  EXPECT_EQ(count, 9u);
}

}  // namespace

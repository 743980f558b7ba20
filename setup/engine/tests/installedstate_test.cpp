#include "installedstate.h"

#include <optional>

#include "enginetest.h"

namespace {

using enginetest::EngineTest;

constexpr char16_t kEntry[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_zh_cn";

class InstalledStateTest : public EngineTest {
 protected:
  InstalledStateTest() { SetupState().languageKey = u"zh_cn"; }

  /// Writes a value of the uninstall entry in a registry view, as another
  /// program (or `winsim reg`) would.
  static void writeValue(REGSAM view, const char16_t* name, DWORD type, const std::u16string& text,
                         bool withTerminator = true) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEntry, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD bytes = static_cast<DWORD>((text.size() + (withTerminator ? 1 : 0)) * 2);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes), ERROR_SUCCESS);
    RegCloseKey(key);
  }
};

TEST_F(InstalledStateTest, KeyNameJoinsText2015AndTheLanguageKey) {
  EXPECT_EQ(GetUninstallKeyName(), kEntry);
  installTextLibrary("enginetestres.dll");
  EXPECT_EQ(GetUninstallKeyName(), u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Viewer Lab_zh_cn");
}

TEST_F(InstalledStateTest, Cases) {
  struct Case {
    const char* name;
    std::optional<std::u16string> platform;  // nothing: no value
    std::optional<std::u16string> location;
    bool installedFound;
    bool installed64;
    SetupMode mode;
    const char16_t* installDir;
  } const kCases[] = {
      {"32-bit installation", u"x86", u"D:\\Merrowin", true, false, ModeRemove, u"D:\\Merrowin"},
      {"64-bit installation", u"x64", u"E:\\M64", true, true, ModeRemove, u"E:\\M64"},
      {"the location is taken as stored", u"x64", u"E:\\M64\\ ", true, true, ModeRemove, u"E:\\M64\\ "},
      {"only exactly x86 is 32-bit", u"X86", u"D:\\M", true, true, ModeRemove, u"D:\\M"},
      {"no InstallLocation: not found, 64-bit kept", u"x64", std::nullopt, false, true, ModeInstall, u"C:\\Setup"},
      {"no Platfrom", std::nullopt, u"D:\\M", false, false, ModeInstall, u"C:\\Setup"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEntry);
    SetupState().installedFound = false;
    SetupState().installed64 = false;
    SetupState().mode = ModeRemove;
    SetupState().installDir = u"C:\\Setup";
    // Something must exist for the key to be there at all.
    writeValue(0, u"DisplayName", REG_SZ, u"DWG Merrowin");
    if (c.platform) writeValue(0, u"Platfrom", REG_SZ, *c.platform);
    if (c.location) writeValue(0, u"InstallLocation", REG_SZ, *c.location);
    ReadInstalledState();
    EXPECT_EQ(SetupState().installedFound, c.installedFound);
    EXPECT_EQ(SetupState().installed64, c.installed64);
    EXPECT_EQ(SetupState().mode, c.mode);
    EXPECT_EQ(SetupState().installDir, c.installDir);
  }
}

TEST_F(InstalledStateTest, NoKeyMeansAFreshInstallation) {
  ReadInstalledState();
  EXPECT_FALSE(SetupState().installedFound);
  EXPECT_EQ(SetupState().mode, ModeInstall);
}

TEST_F(InstalledStateTest, EntryIsInThe32BitView) {
  // Written into the 32-bit view by a 64-bit program: found.
  winsim::setProgramBitness(winsim::Bitness::Bits64);
  writeValue(KEY_WOW64_32KEY, u"Platfrom", REG_SZ, u"x64");
  writeValue(KEY_WOW64_32KEY, u"InstallLocation", REG_SZ, u"C:\\Program Files\\Halvorn\\Merrowin");
  winsim::setProgramBitness(winsim::Bitness::Bits32);
  ReadInstalledState();
  EXPECT_TRUE(SetupState().installedFound);
  EXPECT_TRUE(SetupState().installed64);
  EXPECT_EQ(SetupState().installDir, u"C:\\Program Files\\Halvorn\\Merrowin");
  // It lies under WOW6432Node, and the 64-bit view has no such entry.
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_zh_cn",
                          0, KEY_READ | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);

  SetupState() = CSetupState{};
  SetupState().languageKey = u"en_us";
  winsim::setProgramBitness(winsim::Bitness::Bits64);
  HKEY other = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                            u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_en_us", 0, nullptr,
                            0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &other, nullptr),
            ERROR_SUCCESS);
  const std::u16string x86 = u"x86";
  RegSetValueExW(other, u"Platfrom", 0, REG_SZ, reinterpret_cast<const BYTE*>(x86.c_str()), 8);
  RegSetValueExW(other, u"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(x86.c_str()), 8);
  RegCloseKey(other);
  winsim::setProgramBitness(winsim::Bitness::Bits32);
  ReadInstalledState();
  EXPECT_FALSE(SetupState().installedFound);  // only in the 64-bit view
}

TEST_F(InstalledStateTest, ValuesBeyondTheBufferCountAsUnreadable) {
  struct Case {
    const char* name;
    std::u16string location;
    bool terminator;
    bool installedFound;
  } const kCases[] = {
      {"259 characters fit", u"D:\\" + std::u16string(256, u'a'), true, true},
      {"260 characters do not", u"D:\\" + std::u16string(257, u'a'), true, false},
      {"259 without terminator fit", u"D:\\" + std::u16string(256, u'a'), false, true},
      {"260 without terminator do not", u"D:\\" + std::u16string(257, u'a'), false, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SetupState().installDir = u"C:\\Setup";
    writeValue(0, u"Platfrom", REG_SZ, u"x86");
    writeValue(0, u"InstallLocation", REG_SZ, c.location, c.terminator);
    ReadInstalledState();
    EXPECT_EQ(SetupState().installedFound, c.installedFound);
    EXPECT_EQ(SetupState().installDir, c.installedFound ? CString(c.location.c_str()) : CString(u"C:\\Setup"));
  }
  // A value of another type is no string.
  const DWORD number = 1;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEntry, 0, KEY_WRITE, &key), ERROR_SUCCESS);
  RegSetValueExW(key, u"Platfrom", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
  ReadInstalledState();
  EXPECT_FALSE(SetupState().installedFound);
  EXPECT_EQ(SetupState().mode, ModeInstall);
}

}  // namespace

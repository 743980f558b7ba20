// CHvInfoIni: string values of the machine's registry, in the 64-bit view.
#include <gtest/gtest.h>

#include <string>

#include "HvInfoIni.h"
#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "winsim/machine.h"

namespace {

constexpr const WCHAR* kTools = u"SOFTWARE\\Merrowin\\Tools";

class InfoIni : public ::testing::Test {
 protected:
  /// A value as the registry has it (64-bit view), or "<none>".
  static std::u16string value(HKEY root, const WCHAR* key, const WCHAR* name, REGSAM view = KEY_WOW64_64KEY) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return u"<none>";
    WCHAR data[1024] = {};
    DWORD bytes = sizeof(data) - sizeof(WCHAR);
    DWORD type = 0;
    const LSTATUS read = RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    RegCloseKey(opened);
    return read == ERROR_SUCCESS ? std::u16string(data) : u"<none>";
  }
  static void makeKey(HKEY root, const WCHAR* key) {
    HKEY made = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &made, nullptr), ERROR_SUCCESS);
    RegCloseKey(made);
  }
  static void setBytes(HKEY root, const WCHAR* key, const WCHAR* name, const void* data, DWORD bytes,
                       DWORD type = REG_SZ) {
    HKEY made = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &made, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(made, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    RegCloseKey(made);
  }

  winsim::testing::TempMachine m_machine;
};

TEST_F(InfoIni, ValuesAreWrittenAndReadUnderTheLocalMachine) {
  EXPECT_EQ(CHvInfoIni::WriteInformation(kTools, u"Folder", u"D:\\Tools", 0), 9);
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kTools, u"Folder"), u"D:\\Tools");
  CString read;
  EXPECT_EQ(CHvInfoIni::GetInformation(kTools, u"Folder", u"none", read, 0), 9);
  EXPECT_EQ(read, u"D:\\Tools");
  EXPECT_EQ(CHvInfoIni::GetInformation(kTools, u"Missing", u"none", read), -1);
  EXPECT_EQ(read, u"none");
  EXPECT_EQ(CHvInfoIni::GetInformation(u"SOFTWARE\\Nobody", u"Folder", u"dflt", read), -1);
  EXPECT_EQ(read, u"dflt");
  EXPECT_EQ(CHvInfoIni::WriteInformation(kTools, u"Empty", u""), 1);
  EXPECT_EQ(CHvInfoIni::GetInformation(kTools, u"Empty", u"none", read), 1);
  EXPECT_EQ(read, u"");
}

TEST_F(InfoIni, TheModuleUsesThe64BitViewWhateverTheProgramIs) {
  winsim::setProgramBitness(winsim::Bitness::Bits32);
  EXPECT_EQ(CHvInfoIni::WriteInformation(kTools, u"Folder", u"x"), 2);
  CString read;
  EXPECT_EQ(CHvInfoIni::GetInformation(kTools, u"Folder", u"none", read), 2);
  winsim::setProgramBitness(winsim::Bitness::Bits64);
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kTools, u"Folder"), u"x");
  EXPECT_EQ(value(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node\\Merrowin\\Tools", u"Folder"), u"<none>");
}

TEST_F(InfoIni, WritesThatTheRegistryRefusesGiveZero) {
  EXPECT_EQ(CHvInfoIni::WriteInformation(u"NotUnderSoftware", u"Folder", u"x"), 0);  // HKLM takes no new keys
  ASSERT_TRUE(m_machine.machine().setProfileValue(u"registry", u"deny", u"HKLM\\SOFTWARE\\Locked").ok());
  EXPECT_EQ(CHvInfoIni::WriteInformation(u"SOFTWARE\\Locked", u"Folder", u"x"), 0);
  EXPECT_EQ(CHvInfoIni::WriteRegisterString(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Locked\\Sub", u"Folder", u"x"), 0);
}

TEST_F(InfoIni, RegisterStringsTellAMissingKeyFromAMissingValue) {
  EXPECT_EQ(CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Name", u"Plan"), 5);
  CString read;
  EXPECT_EQ(CHvInfoIni::GetRegisterString(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Name", u"dflt", read), 5);
  EXPECT_EQ(read, u"Plan");
  EXPECT_EQ(CHvInfoIni::GetRegisterString(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Other", u"dflt", read), -2);
  EXPECT_EQ(read, u"dflt");
  EXPECT_EQ(CHvInfoIni::GetRegisterString(HKEY_CURRENT_USER, u"Software\\Nobody", u"Name", u"dflt", read), -1);
  EXPECT_EQ(read, u"dflt");

  // A value longer than any fixed buffer comes back whole.
  const std::u16string longText(5000, u'v');
  EXPECT_EQ(CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Long", longText.c_str()), 5001);
  EXPECT_EQ(CHvInfoIni::GetRegisterString(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Long", u"", read), 5001);
  EXPECT_EQ(std::u16string(read.GetString()), longText);

  // Data without its NUL still reads as a text of its own length.
  const char16_t bare[3] = {u'a', u'b', u'c'};
  setBytes(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Bare", bare, sizeof(bare));
  EXPECT_EQ(CHvInfoIni::GetRegisterString(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Bare", u"", read), 4);
  EXPECT_EQ(read, u"abc");
}

TEST_F(InfoIni, KeyPathsBeyondTheirRoomAreKeysThatCannotBeOpened) {
  const std::u16string fits = u"Software\\" + std::u16string(254, u'k');  // 263 characters
  const std::u16string tooLong = fits + u"k";
  EXPECT_EQ(CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, fits.c_str(), u"V", u"x"), 2);
  CString read;
  EXPECT_EQ(CHvInfoIni::GetRegisterString(HKEY_CURRENT_USER, fits.c_str(), u"V", u"d", read), 2);
  EXPECT_EQ(CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, tooLong.c_str(), u"V", u"x"), 0);
  EXPECT_EQ(CHvInfoIni::GetRegisterString(HKEY_CURRENT_USER, tooLong.c_str(), u"V", u"d", read), -1);
  EXPECT_EQ(read, u"d");
  EXPECT_EQ(CHvInfoIni::DelKeyInformation(tooLong.c_str(), u"V"), -1);
  CStringArray names;
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_CURRENT_USER, CString(fits.substr(0, 256).c_str()), names), 0);
}

TEST_F(InfoIni, KeysAndValuesAreDeletedUnderTheCurrentUser) {
  makeKey(HKEY_CURRENT_USER, u"Software\\Merrowin\\Old");
  CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Name", u"Plan");
  EXPECT_EQ(CHvInfoIni::DelSecInformation(u"Software\\Merrowin", u"Old", 0), 1);
  HKEY gone = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Merrowin\\Old", 0, KEY_READ, &gone), ERROR_SUCCESS);
  EXPECT_EQ(CHvInfoIni::DelSecInformation(u"Software\\Merrowin", u"Old"), 1);  // its result is not examined
  EXPECT_EQ(CHvInfoIni::DelKeyInformation(u"Software\\Merrowin", u"Name", 0), 1);
  EXPECT_EQ(value(HKEY_CURRENT_USER, u"Software\\Merrowin", u"Name"), u"<none>");
  EXPECT_EQ(CHvInfoIni::DelSecInformation(u"Software\\Nobody", u"Old"), -1);
  EXPECT_EQ(CHvInfoIni::DelKeyInformation(u"Software\\Nobody", u"Name"), -1);
}

TEST_F(InfoIni, SubkeysAreListedOneALine) {
  makeKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Merrowin\\List\\c");
  makeKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Merrowin\\List\\ab");
  const WCHAR* key = u"SOFTWARE\\Merrowin\\List";
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, key, nullptr, 0), 6);
  WCHAR buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, key, buffer, 16), 2);
  EXPECT_EQ(std::u16string(buffer), u"ab\nc\n");
  // A short buffer takes the names that fit whole.
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, key, buffer, 5), 1);
  EXPECT_EQ(std::u16string(buffer), u"ab\n");
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, key, buffer, 3), 0);
  EXPECT_EQ(std::u16string(buffer), u"");
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Nobody", buffer, 16), 0);
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Nobody", nullptr, 0), 0);

  CStringArray names;
  names.Add(u"earlier");
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, CString(key), names), 2);
  ASSERT_EQ(names.GetSize(), 3);
  EXPECT_EQ(names[1], u"ab");
  EXPECT_EQ(names[2], u"c");
  EXPECT_EQ(CHvInfoIni::EnumRegSubKey(HKEY_LOCAL_MACHINE, CString(u"SOFTWARE\\Nobody"), names), 0);
  EXPECT_EQ(names.GetSize(), 3);
}

TEST_F(InfoIni, ValuesAreListedWithTheirWholeTexts) {
  const WCHAR* key = u"Software\\Merrowin\\Values";
  CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, key, u"First", u"Alpha beta");
  CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, key, u"Second", u"x");
  CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, key, u"Longest", std::u16string(127, u'L').c_str());  // 256 bytes
  CStringArray names, values;
  names.Add(u"earlier");
  values.Add(u"earlier");
  EXPECT_EQ(CHvInfoIni::EnumRegKeyValue(HKEY_CURRENT_USER, CString(key), names, values), 3);
  ASSERT_EQ(names.GetSize(), 3);
  ASSERT_EQ(values.GetSize(), 3);
  EXPECT_EQ(names[0], u"First");
  EXPECT_EQ(values[0], u"Alpha beta");
  EXPECT_EQ(names[1], u"Second");
  EXPECT_EQ(values[1], u"x");
  EXPECT_EQ(values[2].GetLength(), 127);

  // A value whose data is longer than 256 bytes ends the list there.
  CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, key, u"TooLong", std::u16string(128, u'T').c_str());
  CHvInfoIni::WriteRegisterString(HKEY_CURRENT_USER, key, u"After", u"y");
  EXPECT_EQ(CHvInfoIni::EnumRegKeyValue(HKEY_CURRENT_USER, CString(key), names, values), 3);
  // Odd bytes without a NUL are read as far as they go.
  const WCHAR* other = u"Software\\Merrowin\\Odd";
  setBytes(HKEY_CURRENT_USER, other, u"Bytes", "abc", 3, REG_BINARY);
  EXPECT_EQ(CHvInfoIni::EnumRegKeyValue(HKEY_CURRENT_USER, CString(other), names, values), 1);
  EXPECT_EQ(values[0].GetLength(), 1);

  EXPECT_EQ(CHvInfoIni::EnumRegKeyValue(HKEY_CURRENT_USER, CString(u"Software\\Nobody"), names, values), 0);
  EXPECT_EQ(names.GetSize(), 1);  // a key that cannot be opened leaves the arrays
}

}  // namespace

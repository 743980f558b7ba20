#include <gtest/gtest.h>

#include <cstring>

#include "IntallerRes.h"
#include "expressres.h"
#include "moduletesthelpers.h"
#include "testres.h"
#include "win32/errors.h"
#include "win32/module.h"

using moduletest::install;
using moduletest::ProgramBitness;
using moduletest::ProgramImage;
using winsim::testing::TempMachine;

namespace {

constexpr int kTextBuffer = 1000;  // the setup program's text buffer

std::u16string loadText(HMODULE module, UINT id, int capacity = kTextBuffer) {
  std::vector<WCHAR> buffer(static_cast<std::size_t>(capacity) + 1, u'#');
  const int length = LoadStringW(module, id, buffer.data(), capacity);
  EXPECT_EQ(buffer[static_cast<std::size_t>(length)], u'\0');
  return std::u16string(buffer.data(), static_cast<std::size_t>(length));
}

/// testres.dll loaded from a machine, for one test.
class TestLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    install(m_machine, "testres.dll", u"C:\\Lib\\testres.dll");
    m_module = LoadLibraryW(u"C:\\Lib\\testres.dll");
    ASSERT_NE(m_module, nullptr) << GetLastError();
  }
  void TearDown() override { EXPECT_TRUE(FreeLibrary(m_module)); }

  TempMachine m_machine;
  HMODULE m_module = nullptr;
};

}  // namespace

TEST(SetupTexts, EveryIdLoadsItsEnglishText) {
  TempMachine m;
  ProgramImage image("C:\\Package\\Setup.exe");
  ProgramBitness bits(winsim::Bitness::Bits32);  // as the setup program is
  install(m, "IntallerRes.dll", u"C:\\Package\\IntallerRes.dll");
  HMODULE texts = LoadLibraryW(u"IntallerRes.dll");
  ASSERT_NE(texts, nullptr) << GetLastError();

  const struct {
    UINT id;
    const char16_t* text;
  } kTexts[] = {
      {IDS_PUBLISHER, u"Halvorn Company"},
      {IDS_HELP_LINK, u"https://www.halvorn.com/"},
      {IDS_DISK_SPACE_LOW, u"There is not enough disk space."},
      {IDS_DISK_SPACE_QUERY_FAILED,
       u"Get disk space failed.\nYou do not have sufficient security privileges to install software on this "
       u"computer.Please contact your system administrator or log off and log-in again as an administrator."},
      {IDS_REGISTRY_CREATE_FAILED, u"Error\uFF1AUnable to Create the registry information!"},
      {IDS_FILE_MISSING, u"File :'%s' does not exist!"},
      {IDS_UNINSTALL_SHORTCUT, u"Uninstall Merrowin"},
      {IDS_NOT_ADMINISTRATOR,
       u"You do not have sufficient security privileges to install software on this computer.Please contact your "
       u"system administrator or log off and log-in again as an administrator."},
      {IDS_VIEWER_RUNNING, u"DWG Merrowin is running,please close the application and then try again."},
      {IDS_64BIT_INSTALLED,
       u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit "
       u"version."},
      {IDS_MSI_FAILED, u"Msi Install Failed!"},
      {IDS_UNINSTALL_FAILED, u"Failed to uninstall!"},
      {IDS_CONFIRM_UNINSTALL, u"\nAre you sure you want to uninstall this product?\n"},
      {IDS_PRODUCT_KEY_NAME, u"DWG Merrowin"},
      {IDS_REGISTER_FAILED, u"Failed to Register,Please reinstall!"},
      {IDS_WEBSITE_SHORTCUT, u"Website"},
      {IDS_ALREADY_RUNNING,
       u"Another instance of this setup is already running. Please wait for the other instance to finish and then "
       u"try again."},
      {IDS_MUTEX_NAME, u"DWG Merrowin"},
      {IDS_32BIT_INSTALLED,
       u"A 32-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 64-bit "
       u"version."},
      {IDS_64BIT_ON_32BIT_SYSTEM,
       u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit "
       u"version."},
      {IDS_FOLDER_NOT_EMPTY, u"%s is not empty. Are you sure you want to install to this position?"},
      {IDS_PATH_INPUT_ERROR, u"Path input error, please input again."},
      {IDS_PATH_INVALID_CHARACTERS,
       u"Invalid characters in path name.\nThe following characters are not valid in path names:/ : * ? \" < > |"},
      {IDS_PATH_IS_ROOT, u"The software is not installed on the disk root directory, please input again."},
      {IDS_BROWSE_TITLE, u"Please  Select the installation Path."},
      {IDS_INSTALL_FAILED, u"Failed to install,Please reinstall!"},
      {IDS_DOTNET_MISSING,
       u"Please install the Microsoft .NET Framework 4.0 correctly , and then use the VazeRivIrira."},
      {IDS_LICENSE_NOT_ACCEPTED, u"You must agree to the License Agreement before installing."},
      {IDS_OVERALL_PROGRESS, u"Overall progress..."},
      {IDS_FONT_FACE, u"Arial"},
      {IDS_PRODUCT_NAME, u"DWG Merrowin"},
  };
  for (const auto& t : kTexts) EXPECT_EQ(loadText(texts, t.id), t.text) << t.id;
  // The display-name suffix is empty, and an empty string loads as none.
  EXPECT_EQ(loadText(texts, IDS_DISPLAY_NAME_SUFFIX), u"");
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(texts));
}

TEST(SetupTexts, ExpressMessagesLoadTheirEnglishText) {
  TempMachine m;
  install(m, "expressres.dll", u"C:\\Korax\\expressres.dll");
  HMODULE texts = LoadLibraryW(u"C:\\Korax\\expressres.dll");
  ASSERT_NE(texts, nullptr) << GetLastError();
  const struct {
    UINT id;
    const char16_t* text;
  } kTexts[] = {
      {IDS_FUNCTION_NOT_IMPLEMENTED, u"Function not implemented: %s"},
      {IDS_HANDLE_STRING_INVALID, u"\nError: Handle string cannot be converted to database object ID (%s)"},
      {IDS_LOCK_FAILED, u"Lock failed%d\n"},
      {IDS_BYBLOCK_COLOR_FAILED, u"\nFailed to Change the entity color in the block definition to BYBLOCK!"},
      {IDS_ENTITY_ON_LOCKED_LAYER, u"\nSelect the entity on the locked layer."},
      {IDS_DELETE_DIRECTORY_FAILED, u"Failed to delete directory!"},
      {IDS_CREATE_DIRECTORY_FAILED, u"Failed to create directory!"},
      {IDS_ILLEGAL_ENTRY, u"\nIllegal entry!"},
      {IDS_INSUFFICIENT_MEMORY, u"\nInsufficient memory!"},
      {IDS_OPEN_ENTITY_FAILED, u"\nOpen entity failed"},
  };
  for (const auto& t : kTexts) EXPECT_EQ(loadText(texts, t.id), t.text) << t.id;
  EXPECT_EQ(loadText(texts, 30209), u"");
  EXPECT_TRUE(FreeLibrary(texts));
}

TEST_F(TestLibrary, StringBufferHoldsAtMostOneLessThanItsSize) {
  const std::u16string longest = std::u16string(998, u'x') + u"z";
  EXPECT_EQ(loadText(m_module, IDS_TEST_999), longest);
  EXPECT_EQ(loadText(m_module, IDS_TEST_1200), std::u16string(999, u'y'));
  EXPECT_EQ(loadText(m_module, IDS_TEST_999, 999), std::u16string(998, u'x'));
  EXPECT_EQ(loadText(m_module, IDS_TEST_999, 1), u"");
  EXPECT_EQ(loadText(m_module, IDS_TEST_ZERO, 3), u"ze");
  EXPECT_EQ(loadText(m_module, IDS_TEST_ZERO), u"zero");
  EXPECT_EQ(loadText(m_module, IDS_TEST_LAST), u"last");
}

TEST_F(TestLibrary, ZeroSizedBufferGetsTheStringInPlace) {
  const WCHAR* text = nullptr;
  const int length = LoadStringW(m_module, IDS_TEST_1200, reinterpret_cast<LPWSTR>(&text), 0);
  ASSERT_EQ(length, 1200);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text, 1200), std::u16string(1200, u'y'));
  // In place: inside the string table block's resource data.
  HRSRC block = FindResourceW(m_module, MAKEINTRESOURCEW(IDS_TEST_1200 / 16 + 1), RT_STRING);
  ASSERT_NE(block, nullptr);
  const auto* begin = static_cast<const std::uint8_t*>(LockResource(LoadResource(m_module, block)));
  const auto* at = reinterpret_cast<const std::uint8_t*>(text);
  EXPECT_GE(at, begin);
  EXPECT_LE(at + 2 * 1200, begin + SizeofResource(m_module, block));
}

TEST_F(TestLibrary, MissingStringsGiveZero) {
  const struct {
    HMODULE module;
    UINT id;
    DWORD error;
  } kCases[] = {
      {m_module, IDS_TEST_MISSING_IN_BLOCK, ERROR_RESOURCE_NAME_NOT_FOUND},  // its block exists
      {m_module, 5000, ERROR_RESOURCE_NAME_NOT_FOUND},                       // no block
      {m_module, 0x10000, ERROR_RESOURCE_NAME_NOT_FOUND},                    // beyond 16 bits
      {nullptr, IDS_TEST_ZERO, ERROR_RESOURCE_DATA_NOT_FOUND},               // the program has none
      {reinterpret_cast<HMODULE>(0x1234), IDS_TEST_ZERO, ERROR_INVALID_HANDLE},
  };
  for (const auto& c : kCases) {
    SetLastError(0);
    EXPECT_EQ(loadText(c.module, c.id), u"") << c.id;
    EXPECT_EQ(GetLastError(), c.error) << c.id;
  }
}

TEST_F(TestLibrary, LanguagePreferenceNeutralThenMachineThenFirst) {
  EXPECT_EQ(loadText(m_module, IDS_TEST_NEUTRAL_AND_ENGLISH), u"Neutral sixteen");
  EXPECT_EQ(loadText(m_module, IDS_TEST_GERMAN_AND_ENGLISH), u"English thirty-two");
  EXPECT_EQ(loadText(m_module, IDS_TEST_GERMAN_AND_FRENCH), u"Deutsch achtundvierzig");

  const WORD block = IDS_TEST_GERMAN_AND_FRENCH / 16 + 1;
  HRSRC french =
      FindResourceExW(m_module, RT_STRING, MAKEINTRESOURCEW(block), MAKELANGID(LANG_FRENCH, SUBLANG_DEFAULT));
  ASSERT_NE(french, nullptr);
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(m_module, french)));
  const std::u16string expected = u"Français quarante-huit";
  ASSERT_GE(SizeofResource(m_module, french), 2 + 2 * expected.size());
  EXPECT_EQ(data[0] | (data[1] << 8), static_cast<int>(expected.size()));  // entry 0 of block 4 is id 48
  EXPECT_EQ(FindResourceExW(m_module, RT_STRING, MAKEINTRESOURCEW(block), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_LANG_NOT_FOUND);
}

TEST_F(TestLibrary, FindsResourcesByIdNumberTextAndName) {
  const std::vector<std::uint8_t> page =
      moduletest::readFile(std::filesystem::path(WINSIM_TESTLIBRARIES_SOURCE) / "requirement.html");
  ASSERT_FALSE(page.empty());
  HRSRC byId = FindResourceW(m_module, MAKEINTRESOURCEW(IDH_TEST), RT_HTML);
  HRSRC byNumber = FindResourceW(m_module, u"#113", MAKEINTRESOURCEW(23));
  HRSRC byName = FindResourceW(m_module, u"requirement", RT_HTML);
  ASSERT_NE(byId, nullptr);
  EXPECT_EQ(byId, byNumber);
  ASSERT_NE(byName, nullptr);
  EXPECT_NE(byName, byId);
  for (HRSRC found : {byId, byName}) {
    const DWORD size = SizeofResource(m_module, found);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(m_module, found)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + size), page);
  }
  // A type of its own, named in the script.
  HRSRC custom = FindResourceW(m_module, u"SAMPLE", u"testdata");
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(SizeofResource(m_module, custom), 3u);
  EXPECT_EQ(std::memcmp(LockResource(LoadResource(nullptr, custom)), "abc", 3), 0);
  EXPECT_TRUE(FindResourceW(m_module, MAKEINTRESOURCEW(IDI_TEST), RT_GROUP_ICON));
  EXPECT_FALSE(FreeResource(LoadResource(m_module, custom)));

  const struct {
    LPCWSTR name;
    LPCWSTR type;
    DWORD error;
  } kMissing[] = {
      {MAKEINTRESOURCEW(IDH_TEST), RT_CURSOR, ERROR_RESOURCE_TYPE_NOT_FOUND},
      {MAKEINTRESOURCEW(114), RT_HTML, ERROR_RESOURCE_NAME_NOT_FOUND},
      {u"REQUIREMENTS", RT_HTML, ERROR_RESOURCE_NAME_NOT_FOUND},
      {u"#", RT_HTML, ERROR_RESOURCE_NAME_NOT_FOUND},
      {u"#11x", RT_HTML, ERROR_RESOURCE_NAME_NOT_FOUND},
      {u"SAMPLE", u"OTHERDATA", ERROR_RESOURCE_TYPE_NOT_FOUND},
  };
  for (const auto& c : kMissing) {
    SetLastError(0);
    EXPECT_EQ(FindResourceW(m_module, c.name, c.type), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST_F(TestLibrary, ResourceHandlesBelongToTheirModule) {
  install(m_machine, "IntallerRes.dll", u"C:\\Lib\\IntallerRes.dll");
  HMODULE other = LoadLibraryExW(u"C:\\Lib\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(other, nullptr);
  HRSRC dialog = FindResourceW(other, MAKEINTRESOURCEW(IDD_SAMPLE), RT_DIALOG);
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(LoadResource(other, dialog), nullptr);
  EXPECT_EQ(LoadResource(nullptr, dialog), LoadResource(other, dialog));
  EXPECT_EQ(LoadResource(m_module, dialog), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SizeofResource(m_module, dialog), 0u);
  int notAResource = 0;
  EXPECT_EQ(LoadResource(other, reinterpret_cast<HRSRC>(&notAResource)), nullptr);
  EXPECT_TRUE(FreeLibrary(other));
}

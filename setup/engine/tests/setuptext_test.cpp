#include "setuptext.h"

#include <string>

#include "enginetest.h"

namespace {

using enginetest::EngineTest;

class SetupTextTest : public EngineTest {};

/// Every text id with its English fallback, as the setup program defines
/// them, and the text the package's English IntallerRes.dll holds.
struct TextCase {
  UINT id;
  const WCHAR* fallback;        // the constant the program passes
  const char16_t* expected;     // the fallback, written out here once more
  const char16_t* libraryText;  // what IntallerRes.dll says
};

const TextCase kTexts[] = {
    {1997, kFallbackPublisher, u"Halvorn Company", u"Halvorn Company"},
    {1998, kFallbackHelpLink, u"https://www.halvorn.com/", u"https://www.halvorn.com/"},
    {1999, kFallbackDisplayNameSuffix, u"", nullptr},  // empty in the library too
    {2001, kFallbackDiskSpaceLow, u"There is not enough disk space.", u"There is not enough disk space."},
    {2002, kFallbackDiskSpaceQueryFailed,
     u"Get disk space failed.\nYou do not have sufficient security privileges to install software on this "
     u"computer.Please contact your system administrator or log off and log-in again as an administrator.",
     u"Get disk space failed.\nYou do not have sufficient security privileges to install software on this "
     u"computer.Please contact your system administrator or log off and log-in again as an administrator."},
    {2003, kFallbackRegistryCreateFailed, u"Error\xFF1AUnable to Create the registry information!",
     u"Error\xFF1AUnable to Create the registry information!"},
    {2005, kFallbackFileMissing, u"File :'%s' does not exist!", u"File :'%s' does not exist!"},
    {2008, kFallbackUninstallShortcut, u"Uninstall Merrowin", u"Uninstall Merrowin"},
    {2009, kFallbackNotAdministrator,
     u"You do not have sufficient security privileges to install software on this computer.Please contact your "
     u"system administrator or log off and log-in again as an administrator.",
     u"You do not have sufficient security privileges to install software on this computer.Please contact your "
     u"system administrator or log off and log-in again as an administrator."},
    {2010, kFallbackViewerRunning, u"DWG Merrowin is running,please close the application and then try again.",
     u"DWG Merrowin is running,please close the application and then try again."},
    {2011, kFallback64BitInstalled,
     u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit "
     u"version.",
     u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit "
     u"version."},
    {2012, kFallbackMsiFailed, u"Msi Install Failed!", u"Msi Install Failed!"},
    {2013, kFallbackUninstallFailed, u"Failed to uninstall!", u"Failed to uninstall!"},
    {2014, kFallbackConfirmUninstall, u"\nAre you sure you want to uninstall this product?\n",
     u"\nAre you sure you want to uninstall this product?\n"},
    {2015, kFallbackProductKeyName, u"DWG Merrowin", u"DWG Merrowin"},
    {2017, kFallbackRegisterFailed, u"Failed to Register,Please reinstall!", u"Failed to Register,Please reinstall!"},
    {2018, kFallbackWebsiteShortcut, u"Website", u"Website"},
    {2021, kFallbackAlreadyRunning,
     u"Another instance of this setup is already running. Please wait for the other instance to finish and then try "
     u"again.",
     u"Another instance of this setup is already running. Please wait for the other instance to finish and then try "
     u"again."},
    {2022, kFallbackMutexName, u"DWG Merrowin", u"DWG Merrowin"},
    {2023, kFallback32BitInstalled,
     u"A 32-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 64-bit "
     u"version.",
     u"A 32-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 64-bit "
     u"version."},
    {2024, kFallback64BitOn32BitSystem,
     u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit "
     u"version.",
     u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit "
     u"version."},
    {2026, kFallbackFolderNotEmpty, u"%s is not empty. Are you sure you want to install to this position?",
     u"%s is not empty. Are you sure you want to install to this position?"},
    {2027, kFallbackPathInputError, u"Path input error, please input again.", u"Path input error, please input again."},
    {2028, kFallbackPathInvalidCharacters,
     u"Invalid characters in path name.\nThe following characters are not valid in path names:/ : * ? \" < > |",
     u"Invalid characters in path name.\nThe following characters are not valid in path names:/ : * ? \" < > |"},
    {2029, kFallbackPathIsRoot, u"The software is not installed on the disk root directory, please input again.",
     u"The software is not installed on the disk root directory, please input again."},
    {2032, kFallbackBrowseTitle, u"Please  Select the installation Path.", u"Please  Select the installation Path."},
    {2033, kFallbackInstallFailed, u"Failed to install,Please reinstall!", u"Failed to install,Please reinstall!"},
    {2034, kFallbackDotNetMissing,
     u"Please install the Microsoft .NET Framework 4.0 correctly , and then use the VazeRivIrira.",
     u"Please install the Microsoft .NET Framework 4.0 correctly , and then use the VazeRivIrira."},
    {2035, kFallbackLicenseNotAccepted, u"You must agree to the License Agreement before installing.",
     u"You must agree to the License Agreement before installing."},
    {2036, kFallbackOverallProgress, u"Overall progress...", u"Overall progress..."},
    {2037, kFallbackFontFaceProgress, u"MS Sans Serif", u"Arial"},
    {2037, kFallbackFontFacePage, u"Arial", u"Arial"},
    {2038, kFallbackProductName, u"DWG Merrowin", u"DWG Merrowin"},
};

std::u16string text(UINT id, const WCHAR* fallback) {
  CSetupText record;
  record.id = id;
  record.fallback = fallback;
  LoadTextLibrary();
  return LoadSetupText(record);
}

TEST_F(SetupTextTest, EveryFallbackWithoutTheLibrary) {
  for (const auto& c : kTexts) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(std::u16string(c.fallback), c.expected);
    EXPECT_EQ(text(c.id, c.fallback), c.expected);
  }
  EXPECT_EQ(hTextLibrary.load(), nullptr);
  // The colon of 2003 is the full-width colon, U+FF1A.
  EXPECT_EQ(std::u16string(kFallbackRegistryCreateFailed).substr(5, 1), u"\uFF1A");
  EXPECT_EQ(std::u16string(kMissingSetupIniMessage), u"Error:The lack of configuration file :Setup.ini");
  EXPECT_FALSE(std::u16string(kFallbackProductNameChinese).empty());
}

TEST_F(SetupTextTest, EveryTextFromTheRealLibrary) {
  installTextLibrary();
  for (const auto& c : kTexts) {
    SCOPED_TRACE(c.id);
    // A fallback of our own shows which texts the library supplied.
    EXPECT_EQ(text(c.id, u"(fallback)"), c.libraryText ? c.libraryText : u"(fallback)");
  }
  EXPECT_NE(hTextLibrary.load(), nullptr);
  // An id the library lacks gives the fallback, a null fallback nothing.
  EXPECT_EQ(text(2000, u"none here"), u"none here");
  EXPECT_EQ(text(2000, nullptr), u"");
}

TEST_F(SetupTextTest, LibraryIsLoadedOnTheFirstUseThatFindsIt) {
  EXPECT_EQ(GetSetupText(2038, u"fallback"), u"fallback");
  EXPECT_EQ(hTextLibrary.load(), nullptr);
  installTextLibrary("enginetestres.dll");
  EXPECT_EQ(GetSetupText(2038, u"fallback"), u"Viewer Lab");
  const HMODULE loaded = hTextLibrary.load();
  ASSERT_NE(loaded, nullptr);
  // Once loaded it stays, even when the file goes away.
  EXPECT_EQ(GetSetupText(1997, u"fallback"), u"Halvorn Labs");
  EXPECT_EQ(hTextLibrary.load(), loaded);
}

TEST_F(SetupTextTest, A64BitProgramCannotLoadThe32BitLibrary) {
  installTextLibrary();
  winsim::setProgramBitness(winsim::Bitness::Bits64);
  EXPECT_EQ(GetSetupText(2012, u"fallback"), u"fallback");
  EXPECT_EQ(hTextLibrary.load(), nullptr);
}

TEST_F(SetupTextTest, TextsAreCutTo999Characters) {
  // The loader tests' library has strings of 999 and 1200 characters.
  const auto library = winsim::testing::testProgramFolder() / "testres.dll";
  std::filesystem::copy_file(library, host(u"C:\\Package\\testres.dll"));
  HMODULE module = LoadLibraryExW(u"C:\\Package\\testres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  hTextLibrary.store(module);
  CSetupText record;
  record.id = 100;
  const std::u16string whole = LoadSetupText(record);
  EXPECT_EQ(whole.size(), 999u);
  EXPECT_EQ(whole.back(), u'z');
  record.id = 101;
  const std::u16string cut = LoadSetupText(record);
  EXPECT_EQ(cut, std::u16string(999, u'y'));
}

}  // namespace

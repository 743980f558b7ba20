// The setup program's texts: each is string `id` of the resource library
// IntallerRes.dll (ids in IntallerRes.h), with an English fallback used when
// the library cannot be loaded or has no string of that id. The fallbacks are
// fixed texts of the program; every use site passes its own.
//
// The library is loaded by its bare name, so the system's search order finds
// it beside the setup program first. While it cannot be loaded, every use
// tries again; once loaded it stays loaded.
#pragma once

#include <atomic>

#include "IntallerRes.h"
#include "afx.h"

/// The library the texts come from; null until a use finds it. Both the main
/// thread and the install thread load texts: two threads that load it at
/// once get the same handle, and the handle is published atomically.
extern std::atomic<HMODULE> hTextLibrary;

/// The size of a text buffer, terminator included: longer texts are cut to
/// 999 characters by the system call.
constexpr int kSetupTextCapacity = 1000;

/// One lookup: the caller fills in the id and the fallback (or null for an
/// empty fallback) and keeps the record while it uses the text.
struct CSetupText {
  WCHAR text[kSetupTextCapacity] = {};
  const WCHAR* fallback = nullptr;
  UINT id = 0;
};

/// Loads IntallerRes.dll when hTextLibrary is still null.
void LoadTextLibrary();

/// The text for record.id from hTextLibrary (from the program's own module,
/// which has no strings, while the library is not loaded), else the fallback.
/// Returns record.text.
LPCWSTR LoadSetupText(CSetupText& record);

/// Both steps of a use site, LoadTextLibrary then LoadSetupText, with the text
/// copied out.
CString GetSetupText(UINT id, const WCHAR* fallback);

// The fallbacks, each under its text id.
// 1997
inline constexpr WCHAR kFallbackPublisher[] = u"Halvorn Company";
// 1998: the maker's web address
inline constexpr WCHAR kFallbackHelpLink[] = u"https://www.halvorn.com/";
// 1999: empty, so the display name gets no suffix
inline constexpr WCHAR kFallbackDisplayNameSuffix[] = u"";
// 2001
inline constexpr WCHAR kFallbackDiskSpaceLow[] = u"There is not enough disk space.";
// 2002
inline constexpr WCHAR kFallbackDiskSpaceQueryFailed[] =
    u"Get disk space failed.\nYou do not have sufficient security privileges to install software on this "
    u"computer.Please contact your system administrator or log off and log-in again as an administrator.";
// 2003: the colon is the full-width colon U+FF1A
inline constexpr WCHAR kFallbackRegistryCreateFailed[] = u"Error\uFF1AUnable to Create the registry information!";
// 2005
inline constexpr WCHAR kFallbackFileMissing[] = u"File :'%s' does not exist!";
// 2008
inline constexpr WCHAR kFallbackUninstallShortcut[] = u"Uninstall Merrowin";
// 2009
inline constexpr WCHAR kFallbackNotAdministrator[] =
    u"You do not have sufficient security privileges to install software on this computer.Please contact your "
    u"system administrator or log off and log-in again as an administrator.";
// 2010
inline constexpr WCHAR kFallbackViewerRunning[] =
    u"DWG Merrowin is running,please close the application and then try again.";
// 2011
inline constexpr WCHAR kFallback64BitInstalled[] =
    u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit version.";
// 2012
inline constexpr WCHAR kFallbackMsiFailed[] = u"Msi Install Failed!";
// 2013
inline constexpr WCHAR kFallbackUninstallFailed[] = u"Failed to uninstall!";
// 2014
inline constexpr WCHAR kFallbackConfirmUninstall[] = u"\nAre you sure you want to uninstall this product?\n";
// 2015
inline constexpr WCHAR kFallbackProductKeyName[] = u"DWG Merrowin";
// 2017
inline constexpr WCHAR kFallbackRegisterFailed[] = u"Failed to Register,Please reinstall!";
// 2018
inline constexpr WCHAR kFallbackWebsiteShortcut[] = u"Website";
// 2021
inline constexpr WCHAR kFallbackAlreadyRunning[] =
    u"Another instance of this setup is already running. Please wait for the other instance to finish and then "
    u"try again.";
// 2022
inline constexpr WCHAR kFallbackMutexName[] = u"DWG Merrowin";
// 2023
inline constexpr WCHAR kFallback32BitInstalled[] =
    u"A 32-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 64-bit version.";
// 2024: the same words as 2011
inline constexpr WCHAR kFallback64BitOn32BitSystem[] =
    u"A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit version.";
// 2026
inline constexpr WCHAR kFallbackFolderNotEmpty[] =
    u"%s is not empty. Are you sure you want to install to this position?";
// 2027
inline constexpr WCHAR kFallbackPathInputError[] = u"Path input error, please input again.";
// 2028
inline constexpr WCHAR kFallbackPathInvalidCharacters[] =
    u"Invalid characters in path name.\nThe following characters are not valid in path names:/ : * ? \" < > |";
// 2029
inline constexpr WCHAR kFallbackPathIsRoot[] =
    u"The software is not installed on the disk root directory, please input again.";
// 2032: two blanks after "Please"
inline constexpr WCHAR kFallbackBrowseTitle[] = u"Please  Select the installation Path.";
// 2033
inline constexpr WCHAR kFallbackInstallFailed[] = u"Failed to install,Please reinstall!";
// 2034
inline constexpr WCHAR kFallbackDotNetMissing[] =
    u"Please install the Microsoft .NET Framework 4.0 correctly , and then use the VazeRivIrira.";
// 2035
inline constexpr WCHAR kFallbackLicenseNotAccepted[] = u"You must agree to the License Agreement before installing.";
// 2036
inline constexpr WCHAR kFallbackOverallProgress[] = u"Overall progress...";
// 2037, a font face, has a fallback per place: this one at the progress bar
inline constexpr WCHAR kFallbackFontFaceProgress[] = u"MS Sans Serif";
// 2037 at the error-completion and maintenance pages
inline constexpr WCHAR kFallbackFontFacePage[] = u"Arial";
// 2038
inline constexpr WCHAR kFallbackProductName[] = u"DWG Merrowin";
// 2038 at the registration tool's MerrowinName= argument: the product's display
// name in Chinese
inline constexpr WCHAR kFallbackProductNameChinese[] = u"DWG梅罗温看图";

/// The one message without an id, always in English.
inline constexpr WCHAR kMissingSetupIniMessage[] = u"Error:The lack of configuration file :Setup.ini";

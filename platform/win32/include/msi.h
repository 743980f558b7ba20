// The Windows Installer of the simulated machine: msi.dll.
//
// msi.dll is a built-in module of the layer (winsim/builtinmodules.h):
// LoadLibraryW(u"msi.dll") finds it by its bare name and GetProcAddress gives
// the functions below by name, as a program that loads Windows Installer at
// run time expects. A program may also call them directly.
//
// What a package is here. A real .msi is a database in a compound file; ours
// is a small UTF-8 text (a byte-order mark is allowed, CRLF or LF) in
// sections, one "key = value" a line, ";" or "#" starting a comment line:
//
//   [Package]
//   ProductCode = {7DB4C454-5CBC-48FF-B070-7FED49DD181E}   ; required
//   ProductName = DWG Merrowin
//   ProductVersion = 16.0.0
//   Manufacturer = Halvorn
//   Platform = x86                   ; x86 (default) or x64: registry view and folders
//   Language = 1033                  ; sent in the common-data record
//   Codepage = 1252
//
//   [Properties]                     ; formatted in order, so later ones may use earlier ones
//   TARGETDIR = [ProgramFilesFolder]Halvorn\Merrowin\   ; a folder ends with "\"
//
//   [Search]                         ; PROPERTY = ROOT\key | value name: set when the value is there
//   TARGETDIR = HKLM\SOFTWARE\Halvorn\DWG Merrowin\DWG Merrowin_Setup | path
//
//   [Files]                          ; target | where the bytes come from
//   file = [TARGETDIR]korax.exe | source=payload\korax.exe    ; a file of the package's folder
//   file = [TARGETDIR]readme.txt | text=Line one\nLine two   ; the text itself
//
//   [Registry]                       ; ROOT\key | value name (empty: the default value) | type | data
//   value = HKLM\SOFTWARE\Halvorn\Merrowin | Path | REG_SZ | [TARGETDIR]
//   value = HKCR\Msxml2.DOMDocument.6.0\CLSID | | REG_SZ | {88D96A05-F192-11D4-A65F-0040963251E5}
//   value = HKCU\Software\Halvorn | Count | REG_DWORD | 0x10
//
//   [Fault]                          ; makes the installation end as a real one can
//   result = 1603                    ; 0, 3010 or 1641 keep what was installed; any other rolls back
//   message = Error 1722. There is a problem with this Windows Installer package.
//   kind = error                     ; error (default), warning, fatal, user or info
//   style = 0x10                     ; the message-box style asked of the UI (default MB_OK|MB_ICONERROR)
//
// Roots are HKLM, HKCU and HKCR (HKLM\SOFTWARE\Classes) and their long names;
// types REG_SZ, REG_EXPAND_SZ and REG_DWORD (decimal or 0x hex). In targets,
// names and data, [NAME] is the value of property NAME (names match with case,
// an unknown property is empty) and [\c] is the character c; in text= and
// message=, \n, \t and \\ are a line break, a tab and a backslash. Sources are
// paths below the package's folder. Unknown sections and keys, or a malformed
// line, make the package invalid (ERROR_INSTALL_PACKAGE_INVALID). Packages are
// at most 1 MiB.
//
// Properties: the command line's ("NAME=value NAME2=\"a b\"", "" inside
// quotes is one quote) win over what a search finds (in the package's view,
// a number as decimal text), which wins over the package's [Properties]; the
// installer's own are ProductCode, ProductName, ProductVersion, Manufacturer,
// ProductLanguage, and the folders (ending in "\"): ProgramFilesFolder,
// CommonFilesFolder and SystemFolder are the 32-bit ones (on a 64-bit machine
// C:\Program Files (x86)\, ...\Common Files\ and C:\Windows\SysWOW64\), and
// a 64-bit machine adds ProgramFiles64Folder, CommonFiles64Folder and
// System64Folder; WindowsFolder, TempFolder. TARGETDIR defaults to
// [ProgramFilesFolder][ProductName]\ ([ProgramFiles64Folder] for an x64
// package) and always ends with "\". REMOVE=ALL removes the installed product
// instead.
//
// An installation: INITIALIZE, the common data (language and code page, the
// caption), action starts, action data and progress records for the files and
// registry values, the fault's message if any, an information record with the
// outcome, TERMINATE; files and values are written, everything is rolled back
// when the installation fails or the UI answers IDCANCEL to a progress-type
// message (ERROR_INSTALL_USEREXIT), and a successful one is recorded: the
// uninstall entry {ProductCode} under the key
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall in the package's view (DisplayName, DisplayVersion,
// Publisher, InstallLocation, InstallSource, UninstallString, WindowsInstaller),
// and the installer's own record {ProductCode} under the key
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\Products (64-bit view) with the package
// path and what was written (Files, Folders, RegistryValues, RegistryKeys),
// from which a removal deletes exactly those values and files, and the keys
// and folders it created once they are empty. A product installed already is
// installed again (a repair). One installation at a time runs on a machine (the
// mutex "_MSIExecute"; another gets ERROR_INSTALL_ALREADY_RUNNING).
//
// Messages reach the external UI handler when its filter holds their kind
// (INSTALLLOGMODE_x = 1 << kind); an answer of 0, or a kind it does not take,
// leaves an error, warning, fatal-exit, user or out-of-disk message to the
// internal UI, which shows it in a message box captioned "Windows Installer"
// at the levels basic, reduced and full (default counts as basic) unless
// INSTALLUILEVEL_PROGRESSONLY is set; at level none nothing is shown. The
// installer draws no progress dialog.
#pragma once

#include "win32/errors.h"
#include "win32/types.h"

enum INSTALLUILEVEL : int {
  INSTALLUILEVEL_NOCHANGE = 0,
  INSTALLUILEVEL_DEFAULT = 1,
  INSTALLUILEVEL_NONE = 2,
  INSTALLUILEVEL_BASIC = 3,
  INSTALLUILEVEL_REDUCED = 4,
  INSTALLUILEVEL_FULL = 5,
  INSTALLUILEVEL_HIDECANCEL = 0x20,
  INSTALLUILEVEL_PROGRESSONLY = 0x40,
  INSTALLUILEVEL_ENDDIALOG = 0x80,
  INSTALLUILEVEL_SOURCERESONLY = 0x100,
  INSTALLUILEVEL_UACONLY = 0x200,
};

/// The kind of a message, in the upper 8 bits of its type; the lower 24 bits
/// are the message-box style the installer asks for.
enum INSTALLMESSAGE : int {
  INSTALLMESSAGE_FATALEXIT = 0x00000000,
  INSTALLMESSAGE_ERROR = 0x01000000,
  INSTALLMESSAGE_WARNING = 0x02000000,
  INSTALLMESSAGE_USER = 0x03000000,
  INSTALLMESSAGE_INFO = 0x04000000,
  INSTALLMESSAGE_FILESINUSE = 0x05000000,
  INSTALLMESSAGE_RESOLVESOURCE = 0x06000000,
  INSTALLMESSAGE_OUTOFDISKSPACE = 0x07000000,
  INSTALLMESSAGE_ACTIONSTART = 0x08000000,
  INSTALLMESSAGE_ACTIONDATA = 0x09000000,
  INSTALLMESSAGE_PROGRESS = 0x0A000000,
  INSTALLMESSAGE_COMMONDATA = 0x0B000000,
  INSTALLMESSAGE_INITIALIZE = 0x0C000000,
  INSTALLMESSAGE_TERMINATE = 0x0D000000,
  INSTALLMESSAGE_SHOWDIALOG = 0x0E000000,
};

/// Message filters of MsiSetExternalUIW: one bit a kind.
enum INSTALLLOGMODE : int {
  INSTALLLOGMODE_FATALEXIT = 1 << (INSTALLMESSAGE_FATALEXIT >> 24),
  INSTALLLOGMODE_ERROR = 1 << (INSTALLMESSAGE_ERROR >> 24),
  INSTALLLOGMODE_WARNING = 1 << (INSTALLMESSAGE_WARNING >> 24),
  INSTALLLOGMODE_USER = 1 << (INSTALLMESSAGE_USER >> 24),
  INSTALLLOGMODE_INFO = 1 << (INSTALLMESSAGE_INFO >> 24),
  INSTALLLOGMODE_FILESINUSE = 1 << (INSTALLMESSAGE_FILESINUSE >> 24),
  INSTALLLOGMODE_RESOLVESOURCE = 1 << (INSTALLMESSAGE_RESOLVESOURCE >> 24),
  INSTALLLOGMODE_OUTOFDISKSPACE = 1 << (INSTALLMESSAGE_OUTOFDISKSPACE >> 24),
  INSTALLLOGMODE_ACTIONSTART = 1 << (INSTALLMESSAGE_ACTIONSTART >> 24),
  INSTALLLOGMODE_ACTIONDATA = 1 << (INSTALLMESSAGE_ACTIONDATA >> 24),
  INSTALLLOGMODE_PROGRESS = 1 << (INSTALLMESSAGE_PROGRESS >> 24),
  INSTALLLOGMODE_COMMONDATA = 1 << (INSTALLMESSAGE_COMMONDATA >> 24),
  INSTALLLOGMODE_INITIALIZE = 1 << (INSTALLMESSAGE_INITIALIZE >> 24),
  INSTALLLOGMODE_TERMINATE = 1 << (INSTALLMESSAGE_TERMINATE >> 24),
  INSTALLLOGMODE_SHOWDIALOG = 1 << (INSTALLMESSAGE_SHOWDIALOG >> 24),
};

enum INSTALLSTATE : int {
  INSTALLSTATE_UNKNOWN = -1,
  INSTALLSTATE_ABSENT = 2,
  INSTALLSTATE_LOCAL = 3,
  INSTALLSTATE_DEFAULT = 5,
};

constexpr int INSTALLLEVEL_DEFAULT = 0;

/// The external UI handler: the answer is the button pressed, 0 for a message
/// it leaves to the internal UI, or IDCANCEL to stop the installation.
using INSTALLUI_HANDLERW = int (*)(LPVOID pvContext, UINT iMessageType, LPCWSTR szMessage);

/// Sets the internal UI level and, when phWnd is not null, its owner window
/// (*phWnd receives the previous owner). Returns the previous level, or
/// INSTALLUILEVEL_NOCHANGE for a level it does not know (nothing changes).
/// INSTALLUILEVEL_NOCHANGE only reads the level. The level at start is
/// INSTALLUILEVEL_DEFAULT. The setting is the process's.
INSTALLUILEVEL MsiSetInternalUI(INSTALLUILEVEL dwUILevel, HWND* phWnd);
/// Installs the external UI handler for the kinds in dwMessageFilter (null
/// removes it); returns the previous handler.
INSTALLUI_HANDLERW MsiSetExternalUIW(INSTALLUI_HANDLERW puiHandler, DWORD dwMessageFilter, LPVOID pvContext);
/// Installs the package (or removes it with REMOVE=ALL in szCommandLine).
/// ERROR_SUCCESS, ERROR_SUCCESS_REBOOT_REQUIRED, ERROR_INSTALL_PACKAGE_OPEN_FAILED
/// (missing or unreadable), ERROR_INSTALL_PACKAGE_INVALID, ERROR_INVALID_COMMAND_LINE,
/// ERROR_INSTALL_PLATFORM_UNSUPPORTED (an x64 package on an x86 machine),
/// ERROR_INSTALL_ALREADY_RUNNING, ERROR_INSTALL_USEREXIT, ERROR_INSTALL_FAILURE
/// or the package's fault result; ERROR_UNKNOWN_PRODUCT for a removal of a
/// product that is not installed.
UINT MsiInstallProductW(LPCWSTR szPackagePath, LPCWSTR szCommandLine);
/// Only INSTALLSTATE_ABSENT is supported (removes the product; other states
/// give ERROR_CALL_NOT_IMPLEMENTED). ERROR_UNKNOWN_PRODUCT when it is not
/// installed, ERROR_INVALID_PARAMETER for a code that is not a GUID.
UINT MsiConfigureProductW(LPCWSTR szProduct, int iInstallLevel, INSTALLSTATE eInstallState);

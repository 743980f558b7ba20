#include "installers.h"

#include "afxwin.h"
#include "msihandler.h"
#include "msilibrary.h"
#include "setupmessages.h"
#include "setupstate.h"
#include "setuptext.h"
#include "shlwapi.h"
#include "win32/handleapi.h"
#include "win32/process.h"
#include "win32/user.h"

namespace {

constexpr WCHAR kPassiveOptions[] = u" -passive -norestart";
constexpr WCHAR kQuietOptions[] = u" -q -norestart";
constexpr WCHAR kRegistrationTool[] = u"regsvr32 ";
constexpr WCHAR kSilentOption[] = u" -s";
/// Handed to MsiSetExternalUIW; the handler does not read it.
constexpr WCHAR kHandlerContext[] = u"Msi Install Error Check";
/// Every kind except files in use.
constexpr DWORD kMsiMessageFilter = 0x7FDF;

/// Packages whose failure is not reported: set A when msi.dll or the package
/// is missing, set B when the installation itself fails.
const WCHAR* const kSilentWhenMissing[] = {u"xlstable_chs.msi", u"xlstable_eng.msi"};
const WCHAR* const kSilentWhenFailing[] = {u"xlstable_chs.msi", u"xlstable_eng.msi", u"msxml6.msi"};

void postStepNotice(HWND window, UINT message) {
  if (window) PostMessageW(window, message, 0, 0);
}

void reportMissingFile(LPCWSTR path) {
  CString text;
  text.Format(GetSetupText(IDS_FILE_MISSING, kFallbackFileMissing), path);
  AfxMessageBox(text);
}

/// Starts a command line and waits for the program to end. False when the
/// line does not fit `capacity` characters with its terminator, or the
/// program cannot be started.
template <int capacity>
bool startAndWait(const CString& commandLine, const STARTUPINFOW& startup) {
  if (commandLine.GetLength() + 1 > capacity) return false;
  WCHAR buffer[capacity];
  const LPCWSTR text = commandLine;
  for (int i = 0; i <= commandLine.GetLength(); ++i) buffer[i] = text[i];
  STARTUPINFOW info = startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &info, &process)) return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

STARTUPINFOW plainStartup() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return startup;
}

BOOL runInstaller(LPCWSTR path, HWND progressWindow, const WCHAR* options) {
  postStepNotice(progressWindow, WM_SETUP_STEP_BEGIN);
  if (!PathFileExistsW(path)) {
    reportMissingFile(path);
    return FALSE;
  }
  CString commandLine = u"\"";
  commandLine += path;
  commandLine += u"\"";
  commandLine += options;
  if (!startAndWait<kInstallerCommandLineCapacity>(commandLine, plainStartup())) return FALSE;
  postStepNotice(progressWindow, WM_SETUP_STEP_DONE);
  return TRUE;
}

template <std::size_t count>
BOOL failMsiPackage(LPCWSTR path, const WCHAR* const (&silent)[count]) {
  CString lower = path;
  lower.MakeLower();
  for (const WCHAR* name : silent)
    if (lower.Find(name) >= 0) return FALSE;
  AfxMessageBox(GetSetupText(IDS_MSI_FAILED, kFallbackMsiFailed));
  return FALSE;
}

CString quoted(const CString& text) { return u"\"" + text + u"\""; }

}  // namespace

BOOL RunPassiveInstaller(LPCWSTR path, HWND progressWindow) {
  return runInstaller(path, progressWindow, kPassiveOptions);
}

BOOL RunQuietInstaller(LPCWSTR path, HWND progressWindow) { return runInstaller(path, progressWindow, kQuietOptions); }

CString BuildRegistrationCommandLine(LPCWSTR path) {
  const CSetupState& state = SetupState();
  // The procedure changes nothing in the state: the folder without its
  // trailing backslashes is this runner's own copy.
  CString installDir = state.installDir;
  installDir.TrimRight(u'\\');
  CString language = state.languageKey;
  language.Replace(u"_", u"-");
  CString number;
  number.Format(u"%d", state.num);

  CString commandLine = quoted(path);
  commandLine += u" lang=" + language;
  commandLine += u" TARGETDIR=" + quoted(installDir);
  commandLine += u" PRODUCTNAME=" + quoted(GetSetupText(IDS_PRODUCT_KEY_NAME, kFallbackProductKeyName));
  commandLine += u" VERSION=" + state.version;
  commandLine += state.package64 == 0 ? u" PLATFROM=x86" : u" PLATFROM=x64";
  commandLine += u" NUM=" + number;
  commandLine += state.classicWorkspace == 0 ? u" WorkspaceName=1" : u" WorkspaceName=0";
  commandLine += u" MerrowinName=" + quoted(GetSetupText(IDS_PRODUCT_NAME, kFallbackProductNameChinese));
  commandLine += u" MerrowinPath=" + quoted(installDir);
  commandLine += u" -q";
  return commandLine;
}

BOOL RunRegistrationTool(LPCWSTR path, HWND progressWindow) {
  if (!PathFileExistsW(path)) {
    reportMissingFile(path);
    return FALSE;
  }
  STARTUPINFOW startup = plainStartup();
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  return startAndWait<kRegistrationCommandLineCapacity>(BuildRegistrationCommandLine(path), startup) ? TRUE : FALSE;
}

BOOL RunMsiPackage(LPCWSTR path, HWND progressWindow) {
  postStepNotice(progressWindow, WM_SETUP_STEP_BEGIN);
  if (!LoadMsiLibrary()) return failMsiPackage(path, kSilentWhenMissing);
  if (!PathFileExistsW(path)) return failMsiPackage(path, kSilentWhenMissing);
  const MsiEntryPoints msi = GetMsiEntryPoints();
  msi.setInternalUI(static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_NONE | INSTALLUILEVEL_SOURCERESONLY), nullptr);
  msi.setExternalUI(MsiInstallErrorHandler, kMsiMessageFilter, const_cast<WCHAR*>(kHandlerContext));
  if (msi.installProduct(path, nullptr) != ERROR_SUCCESS) return failMsiPackage(path, kSilentWhenFailing);
  postStepNotice(progressWindow, WM_SETUP_STEP_DONE);
  return TRUE;
}

BOOL RegisterShellExtension(LPCWSTR path) {
  if (!PathFileExistsW(path)) return TRUE;
  CString commandLine = kRegistrationTool;
  commandLine += quoted(path);
  commandLine += kSilentOption;
  return startAndWait<kInstallerCommandLineCapacity>(commandLine, plainStartup()) ? TRUE : FALSE;
}

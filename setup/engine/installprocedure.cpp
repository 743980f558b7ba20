#include "installprocedure.h"

#include "afxwin.h"
#include "fileprimitives.h"
#include "installers.h"
#include "setupini.h"
#include "setupmessages.h"
#include "setupstate.h"
#include "setuptext.h"
#include "specialfolders.h"
#include "uninstallentry.h"

namespace {

constexpr WCHAR kWindowsInstallerProgId[] = u"WindowsInstaller.Installer";

constexpr WCHAR kShellExtensionFolder[] = u"\\Halvorn\\";
constexpr WCHAR kShellExtension[] = u"dwgthumb.dll";
constexpr WCHAR kLeftoverUninstaller[] = u"\\uninst.exe";

struct OwnFile {
  const WCHAR* source;
  const WCHAR* target;
};
constexpr OwnFile kOwnFiles[] = {
    {u"\\Setup.exe", u"\\Setup.exe"},
    {u"\\IntallerRes.dll", u"\\IntallerRes.dll"},
    {u"\\HUninstall.exe", u"\\HUninstall"},  // the uninstaller is kept without its extension
    {u"\\Setup.ini", u"\\Setup.ini"},
};

constexpr WCHAR kNetClientKey[] = u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client";
constexpr DWORD kInstallPathBytes = 255;
constexpr DWORD kVersionBytes = 260;
constexpr int kMinimumNetBuild = 30319;

constexpr UINT kFailureBoxStyle = MB_ICONERROR | MB_SYSTEMMODAL | MB_SETFOREGROUND | MB_TOPMOST;

void post(HWND page, UINT message) { PostMessageW(page, message, 0, 0); }

void reportFailure(LPCWSTR fileName, UINT textId, const WCHAR* fallback) {
  CString message;
  message.Format(u"%s,%s", fileName, GetSetupText(textId, fallback));
  MessageBoxW(nullptr, message, SetupState().productName, kFailureBoxStyle);
}

/// The steps; false after a failed step has shown its message.
bool runSteps(HWND page) {
  const CSetupState& state = SetupState();
  const CString setupFolder = GetSetupFolder();
  const auto failWith = [](LPCWSTR fileName) {
    ReportInstallFailure(fileName);
    return false;
  };

  CLSID installerClass{};
  if (FAILED(CLSIDFromProgID(kWindowsInstallerProgId, &installerClass)) &&
      !RunQuietInstaller(setupFolder + kWindowsInstallerPath, page))
    return failWith(u"WindowsInstaller-KB893803-v2-x86.exe");
  if (state.package64 == 0 && !RunQuietInstaller(setupFolder + kRuntime32Path, page))
    return failWith(u"vcredist_x86_10.exe");
  // The 32-bit package on 64-bit Windows installs both runtimes.
  if (state.os64 && !RunQuietInstaller(setupFolder + kRuntime64Path, page)) return failWith(u"vcredist_x64_10.exe");
  if (state.package64 == 0) {
    RunMsiPackage(setupFolder + kMsxml32Path, page);  // the 32-bit parser may fail: Windows often has it already
  } else if (!RunMsiPackage(setupFolder + kMsxml64Path, page)) {
    return failWith(u"msxml6_x64.msi");
  }
  if (!RunPassiveInstaller(setupFolder + kPayloadGlobalPath, page)) return failWith(u"korax_global.exe");
  if (!RunPassiveInstaller(setupFolder + kPayloadLocalPath, page)) return failWith(u"korax_local.exe");
  if (IsNetFramework4ClientPresent()) {
    RunMsiPackage(setupFolder + kSpreadsheetTablesPath, page);  // its failure is silent and harmless
  } else {
    AfxMessageBox(GetSetupText(IDS_DOTNET_MISSING, kFallbackDotNetMissing));
  }

  post(page, WM_SETUP_STEP_BEGIN);
  CopySetupProgramFiles(setupFolder);
  if (!InstallShellExtension()) {
    ReportRegisterFailure(kShellExtension);
    return false;
  }
  if (state.package64 == 0) {
    if (!RunRegistrationTool(setupFolder + kRegistrationTool32Path, page)) return failWith(u"WriteRegister.exe");
  } else if (!RunRegistrationTool(setupFolder + kRegistrationTool64Path, page)) {
    return failWith(u"WriteRegister_x64.exe");
  }
  WriteUninstallEntry();
  DeleteLeftoverUninstaller();
  post(page, WM_SETUP_STEP_DONE);
  return true;
}

/// The leading digits of one part of a version, 0 when it has none.
int versionPart(const CString& part) {
  int number = 0;
  for (int at = 0; at < part.GetLength() && part[at] >= u'0' && part[at] <= u'9'; ++at) {
    if (number > 100000000) break;  // far beyond any version number; keeps the sum in range
    number = number * 10 + (part[at] - u'0');
  }
  return number;
}

}  // namespace

void OnStartInstall(HWND pageWindow) {
  post(pageWindow, WM_SETUP_BEGIN);
  bool succeeded = false;
  try {
    succeeded = SetupState().mode == ModeRemove || runSteps(pageWindow);
  } catch (...) {
    // An internal failure inside a step (memory exhausted): no message can be
    // built any more, but the page must still hear the end of the run.
    succeeded = false;
  }
  post(pageWindow, succeeded ? WM_SETUP_DONE : WM_SETUP_FAILED);
}

BOOL IsNetFramework4ClientPresent() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNetClientKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
  BYTE installPath[kInstallPathBytes];
  DWORD size = sizeof installPath;
  if (RegQueryValueExW(key, u"InstallPath", nullptr, nullptr, installPath, &size) != ERROR_SUCCESS) {
    RegCloseKey(key);
    return FALSE;
  }
  DWORD install = 0;
  size = sizeof install;
  if (RegQueryValueExW(key, u"Install", nullptr, nullptr, reinterpret_cast<BYTE*>(&install), &size) != ERROR_SUCCESS ||
      size != sizeof install || install != 1) {
    RegCloseKey(key);
    return FALSE;
  }
  WCHAR version[kVersionBytes / sizeof(WCHAR) + 1] = {};  // one more unit: always terminated
  size = kVersionBytes;
  const LSTATUS read = RegQueryValueExW(key, u"Version", nullptr, nullptr, reinterpret_cast<BYTE*>(version), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS) return FALSE;

  int parts[3] = {};
  CString rest(version);
  for (int& part : parts) {
    const int dot = rest.Find(u'.');
    part = versionPart(dot < 0 ? rest : rest.Left(dot));
    if (dot < 0) break;
    rest = rest.Mid(dot + 1);
  }
  const int major = parts[0], minor = parts[1], build = parts[2];
  return major > 4 || (major == 4 && minor > 0) || (major == 4 && minor == 0 && build >= kMinimumNetBuild);
}

void ReportInstallFailure(LPCWSTR fileName) { reportFailure(fileName, IDS_INSTALL_FAILED, kFallbackInstallFailed); }

void ReportRegisterFailure(LPCWSTR fileName) { reportFailure(fileName, IDS_REGISTER_FAILED, kFallbackRegisterFailed); }

void CopySetupProgramFiles(const CString& setupFolder) {
  const CString& installDir = SetupState().installDir;
  for (const OwnFile& file : kOwnFiles) CopyFileW(setupFolder + file.source, installDir + file.target, FALSE);
}

BOOL InstallShellExtension() {
  WCHAR commonFiles[MAX_PATH] = {};
  GetCommonProgramFilesFolder(commonFiles);
  const CString folder = CString(commonFiles) + kShellExtensionFolder;
  CreateDirectoryChain(folder);  // its records go to the install folder's log
  const CString extension = folder + kShellExtension;
  CopyFileW(SetupState().installDir + u"\\" + kShellExtension, extension, FALSE);
  return RegisterShellExtension(extension);
}

void DeleteLeftoverUninstaller() { DeleteFileW(SetupState().installDir + kLeftoverUninstaller); }

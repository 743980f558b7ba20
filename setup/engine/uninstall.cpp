#include "uninstall.h"

#include "fileprimitives.h"
#include "setupini.h"
#include "setupstate.h"
#include "shellapi.h"

namespace {

constexpr WCHAR kExtensionToolSettings[] = u"\\MWExtensionTool\\System\\MWSetting.xml";
constexpr WCHAR kUpdateFolder[] = u"\\Update";
constexpr WCHAR kUpdateArchive[] = u"\\update.zip";
constexpr WCHAR kInstalledUninstaller[] = u"HUninstall";  // stored without its extension
constexpr WCHAR kUninstaller[] = u"HUninstall.exe";
constexpr WCHAR kLog[] = u"install.log";
constexpr WCHAR kTextLibrary[] = u"IntallerRes.dll";

/// A path must fit the program's 260-character buffers with its terminator.
constexpr int kMaxPathLength = MAX_PATH - 1;

/// "msiexec " " -x" " {code}" " -q": two blanks after msiexec, as always.
CString payloadRemovalCommandLine() { return CString(u"msiexec ") + u" -x" + u" " + kPayloadProductCode + u" -q"; }

/// Starts a command line and waits for its end, as the installer runners
/// start programs. False when it cannot start (or does not fit 260
/// characters).
bool startAndWait(const CString& commandLine) {
  if (commandLine.GetLength() > kMaxPathLength) return false;
  WCHAR buffer[MAX_PATH] = {};
  const LPCWSTR text = commandLine;
  for (int i = 0; i <= commandLine.GetLength(); ++i) buffer[i] = text[i];
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool copyOver(const CString& from, const CString& to) {
  return to.GetLength() <= kMaxPathLength && CopyFileW(from, to, FALSE);
}

bool shellOpen(const CString& program, LPCWSTR parameters) {
  if (program.GetLength() > kMaxPathLength) return false;
  const HINSTANCE result = ShellExecuteW(nullptr, u"open", program, parameters, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

BOOL UninstallProduct() {
  const CString& installDir = SetupState().installDir;

  const CString settings = installDir + kExtensionToolSettings;
  if (PathExists(settings)) DeleteFileW(settings);

  // The updater's folder goes when nothing but its archive (and empty
  // folders) is in it; files it fetched besides stay with their folders.
  const CString update = installDir + kUpdateFolder;
  if (PathExists(update)) {
    if (IsFolderEmpty(update)) {
      PruneEmptyFolders(update);
    } else if (PathExists(update + kUpdateArchive)) {
      DeleteFileW(update + kUpdateArchive);
      PruneEmptyFolders(update);
    }
  }

  startAndWait(payloadRemovalCommandLine());  // not started: the uninstaller still removes the rest

  // One unit more than MAX_PATH: the answer may hold 260 characters.
  WCHAR temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return FALSE;
  const CString tempFolder(temp);

  // The temporary folder ends in a backslash.
  if (!copyOver(installDir + u"\\" + kInstalledUninstaller, tempFolder + kUninstaller)) return FALSE;
  if (!copyOver(installDir + u"\\" + kLog, tempFolder + kLog)) return FALSE;
  if (!copyOver(installDir + u"\\" + kTextLibrary, tempFolder + kTextLibrary)) return FALSE;
  return shellOpen(tempFolder + kUninstaller, u"/norestart") ? TRUE : FALSE;
}

BOOL RollBackInstall() {
  const CString setupFolder = GetSetupFolder();
  if (!copyOver(SetupState().installDir + u"\\" + kLog, setupFolder + u"\\" + kLog)) return FALSE;
  return shellOpen(setupFolder + u"\\" + kUninstaller, u"/quiet /norestart") ? TRUE : FALSE;
}

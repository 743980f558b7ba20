#include "flows.h"

#include "afxwin.h"
#include "fileprimitives.h"
#include "installers.h"
#include "installprocedure.h"
#include "productkey.h"
#include "setupini.h"
#include "setupstate.h"
#include "setuptext.h"
#include "shellapi.h"
#include "specialfolders.h"
#include "uninstall.h"

namespace {

constexpr WCHAR kQuietKey[] = u"quiet";
constexpr WCHAR kNotQuiet[] = u"0";
constexpr WCHAR kUninstallKey[] = u"Uninstall";
constexpr WCHAR kUninstallYes[] = u"1";
constexpr WCHAR kTargetDirKey[] = u"TARGETDIR";
constexpr WCHAR kNumKey[] = u"NUM";

constexpr WCHAR kCloudFolder[] = u"\\MerrowinCloudService\\";
const WCHAR* const kCloudFiles[] = {u"cloudlogin.cfg", u"advanceFun.cfg", u"serverlist.cfg"};
constexpr WCHAR kViewerLauncher[] = u"\\kxStart.exe";

const CString* find(const CArgumentMap& arguments, const WCHAR* key) {
  const auto found = arguments.find(CString(key));
  return found == arguments.end() ? nullptr : &found->second;
}

/// Deletes the cloud service's configuration files in
/// Documents\MerrowinCloudService\, so the new installation signs in afresh.
/// Nothing is deleted when the Documents folder is not known.
void deleteCloudConfiguration() {
  WCHAR documents[MAX_PATH] = {};
  if (!GetPersonalFolder(documents) || !documents[0]) return;
  const CString folder = CString(documents) + kCloudFolder;
  for (const WCHAR* name : kCloudFiles) DeleteFileW(folder + name);
}

/// Step 4 of the wizard, shared with a maintenance reinstall: a fresh start
/// for the cloud service, the finish page, and the viewer if asked for.
void finishInstallation(SetupPages& pages) {
  deleteCloudConfiguration();
  if (pages.ShowFinishPage() == kFinishOk && SetupState().launchAfterFinish) {
    const CString launcher = SetupState().installDir + kViewerLauncher;
    ShellExecuteW(nullptr, u"open", launcher, nullptr, nullptr, SW_SHOWNORMAL);  // a failure to start is ignored
  }
}

void showUninstallFailed() { AfxMessageBox(GetSetupText(IDS_UNINSTALL_FAILED, kFallbackUninstallFailed)); }

bool isFolder(const CString& path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

SetupFlow ChooseFlow(const CArgumentMap& arguments) {
  const CString* quiet = find(arguments, kQuietKey);
  if (!arguments.empty() && !(quiet && *quiet == kNotQuiet)) {
    const CString* uninstall = find(arguments, kUninstallKey);
    return uninstall && *uninstall == kUninstallYes ? SetupFlow::QuietUninstall : SetupFlow::QuietInstall;
  }
  return SetupState().installedFound ? SetupFlow::Maintenance : SetupFlow::InstallWizard;
}

void RunChosenFlow(const CArgumentMap& arguments, SetupPages& pages) {
  switch (ChooseFlow(arguments)) {
    case SetupFlow::InstallWizard:
      RunInstallWizard(pages);
      break;
    case SetupFlow::Maintenance:
      RunMaintenance(pages);
      break;
    case SetupFlow::QuietInstall:
      RunQuietInstall(arguments);
      break;
    case SetupFlow::QuietUninstall:
      RunQuietUninstall(arguments);
      break;
  }
}

void RunInstallWizard(SetupPages& pages) {
  // The welcome and licence pages may alternate any number of times; each
  // has written the product key before it answers install or accept.
  for (;;) {
    const INT_PTR welcome = pages.ShowWelcomePage();
    if (welcome == kWelcomeInstall) break;
    if (welcome != kWelcomeShowLicense) {
      pages.ShowErrorCompletionPage();
      return;
    }
    const INT_PTR license = pages.ShowLicensePage();
    if (license == kLicenseAccept) break;
    if (license != kLicenseBack) {
      pages.ShowErrorCompletionPage();
      return;
    }
  }
  if (pages.ShowCopyFilesPage() != kCopyFilesSucceeded) {
    pages.ShowErrorCompletionPage();
    return;
  }
  finishInstallation(pages);
}

void RunMaintenance(SetupPages& pages) {
  CSetupState& state = SetupState();
  const CString setupFolder = GetSetupFolder();
  // Started from the install folder (the installed-programs list starts the
  // copy there): there is nothing to repair from, only the removal.
  if (!isFolder(setupFolder + u"\\Msi") && PathExists(setupFolder + u"\\install.log")) {
    state.mode = ModeRemove;
    const CString question = GetSetupText(IDS_CONFIRM_UNINSTALL, kFallbackConfirmUninstall);
    if (MessageBoxW(nullptr, question, state.productName, MB_YESNO) == IDYES) {
      if (!UninstallProduct()) showUninstallFailed();
    } else {
      pages.ShowErrorCompletionPage();
    }
    return;
  }
  if (pages.ShowMaintenancePage() != kMaintenanceGoOn) {
    pages.ShowErrorCompletionPage();
    return;
  }
  if (state.mode == ModeRemove) {
    if (!UninstallProduct()) showUninstallFailed();
    return;
  }
  if (pages.ShowCopyFilesPage() != kCopyFilesSucceeded) {
    pages.ShowErrorCompletionPage();
    return;
  }
  finishInstallation(pages);
}

void RunQuietInstall(const CArgumentMap& arguments) {
  CSetupState& state = SetupState();
  if (const CString* folder = find(arguments, kTargetDirKey)) state.installDir = FolderArgument(*folder);
  if (const CString* number = find(arguments, kNumKey)) state.num = NumberArgument(*number);
  WriteProductKey();  // shows text 2003 itself when it fails; the flow goes on

  // No progress window: the runners' notices go nowhere.
  const CString setupFolder = GetSetupFolder();
  if (state.package64 == 0 && !RunQuietInstaller(setupFolder + kRuntime32Path, nullptr)) return;
  if (state.os64 && !RunQuietInstaller(setupFolder + kRuntime64Path, nullptr)) return;
  if (!RunMsiPackage(setupFolder + (state.package64 == 0 ? kMsxml32Path : kMsxml64Path), nullptr)) return;
  if (!RunPassiveInstaller(setupFolder + kPayloadGlobalPath, nullptr)) return;
  if (!RunPassiveInstaller(setupFolder + kPayloadLocalPath, nullptr)) return;

  CopySetupProgramFiles(setupFolder);
  if (!InstallShellExtension()) return;
  DeleteLeftoverUninstaller();
}

void RunQuietUninstall(const CArgumentMap& arguments) {
  if (const CString* folder = find(arguments, kTargetDirKey)) SetupState().installDir = FolderArgument(*folder);
  UninstallProduct();  // the quiet uninstall shows nothing, whatever the result
}

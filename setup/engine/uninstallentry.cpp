#include "uninstallentry.h"

#include "afxwin.h"
#include "installedstate.h"
#include "installlog.h"
#include "registrykey.h"
#include "setupstate.h"
#include "setuptext.h"
#include "shortcut.h"

namespace {

// The log names a Version value that the entry itself does not hold; the
// uninstaller expects the record.
constexpr DWORD kLoggedVersion = 0x56;
constexpr DWORD kUninstallerSize = 341000;
constexpr WCHAR kUninstallerName[] = u"HUninstall";

}  // namespace

void WriteUninstallEntry() {
  const CString keyName = GetUninstallKeyName();
  HKEY key = OpenOrCreateMachineKey(keyName);
  if (!key) {
    AfxMessageBox(GetSetupText(IDS_REGISTRY_CREATE_FAILED, kFallbackRegistryCreateFailed));
    return;
  }
  const CSetupState& state = SetupState();
  const CString suffix = GetSetupText(IDS_DISPLAY_NAME_SUFFIX, kFallbackDisplayNameSuffix);
  const CString displayName = suffix.IsEmpty() ? state.productName : state.productName + u" - " + suffix;
  const CString displayIcon = state.installDir + u"\\korax.exe";
  const CString uninstallString = state.installDir + u"\\setup.exe";
  const CString platform = state.package64 != 0 ? u"x64" : u"x86";
  const CString publisher = GetSetupText(IDS_PUBLISHER, kFallbackPublisher);
  const CString helpLink = GetSetupText(IDS_HELP_LINK, kFallbackHelpLink);

  SetStringValue(key, u"InstallLocation", state.installDir);
  SetStringValue(key, u"DisplayName", displayName);
  SetStringValue(key, u"DisplayIcon", displayIcon);
  SetStringValue(key, u"UninstallString", uninstallString);
  SetStringValue(key, u"Platfrom", platform);
  SetStringValue(key, u"Publisher", publisher);
  SetStringValue(key, u"HelpLink", helpLink);

  // The uninstaller removes what the log names; the display name's suffix is
  // not part of what it looks for.
  AppendInstallLog(WriteRegStrRecord(keyName, u"DisplayName", state.productName));
  AppendInstallLog(WriteRegStrRecord(keyName, u"InstallLocation", state.installDir));
  AppendInstallLog(WriteRegStrRecord(keyName, u"DisplayIcon", displayIcon));
  AppendInstallLog(WriteRegStrRecord(keyName, u"UninstallString", uninstallString));
  AppendInstallLog(WriteRegStrRecord(keyName, u"Platfrom", platform));
  AppendInstallLog(WriteRegStrRecord(keyName, u"Publisher", publisher));
  AppendInstallLog(WriteRegStrRecord(keyName, u"HelpLink", helpLink));
  AppendInstallLog(WriteRegDwordRecord(keyName, kLoggedVersion));
  RegCloseKey(key);

  const CString launcher = state.installDir + u"\\kxStart.exe";
  CreateShortcut(GetSetupText(IDS_PRODUCT_NAME, kFallbackProductName), launcher, ShortcutDesktop);
  CreateShortcut(state.productName, launcher, ShortcutPrograms);
  CreateShortcut(GetSetupText(IDS_UNINSTALL_SHORTCUT, kFallbackUninstallShortcut), uninstallString, ShortcutPrograms);
  CreateShortcut(GetSetupText(IDS_WEBSITE_SHORTCUT, kFallbackWebsiteShortcut), state.installDir + u"\\Website.url",
                 ShortcutPrograms);

  AppendInstallLog(FileNameRecord(kUninstallerName));
  AppendInstallLog(FileWroteRecord(kUninstallerSize, state.installDir + u"\\" + kUninstallerName));
}

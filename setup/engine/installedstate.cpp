#include "installedstate.h"

#include "setupstate.h"
#include "setuptext.h"

namespace {

constexpr WCHAR kUninstallRoot[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr WCHAR kPlatformValue[] = u"Platfrom";  // spelt so by every installation of the product
constexpr WCHAR kInstallLocationValue[] = u"InstallLocation";
constexpr WCHAR kPlatform32[] = u"x86";
constexpr DWORD kValueCapacity = MAX_PATH;

/// A string value into a 260-character buffer. False when the value is
/// missing, not a string, or does not fit with its terminator.
bool readStringValue(HKEY key, LPCWSTR name, CString& out) {
  WCHAR value[kValueCapacity] = {};
  DWORD type = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // Data written without its terminator is terminated here, when there is room.
  const DWORD units = size / sizeof(WCHAR);
  if (units > 0 && value[units - 1] == 0) {
    out = value;
    return true;
  }
  if (units >= kValueCapacity) return false;
  value[units] = 0;
  out = value;
  return true;
}

}  // namespace

CString GetUninstallKeyName() {
  return CString(kUninstallRoot) + GetSetupText(IDS_PRODUCT_KEY_NAME, kFallbackProductKeyName) + u"_" +
         SetupState().languageKey;
}

void ReadInstalledState() {
  CSetupState& state = SetupState();
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, GetUninstallKeyName(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    state.installedFound = false;
    state.mode = ModeInstall;
    return;
  }
  CString platform;
  if (!readStringValue(key, kPlatformValue, platform)) {
    state.installedFound = false;
    state.mode = ModeInstall;
    RegCloseKey(key);
    return;
  }
  state.installedFound = true;
  state.installed64 = platform != kPlatform32;
  CString location;
  if (!readStringValue(key, kInstallLocationValue, location)) {
    state.installedFound = false;
    state.mode = ModeInstall;
  } else {
    state.installedFound = true;
    state.installDir = location;
  }
  RegCloseKey(key);
}

#include "productkey.h"

#include "afxwin.h"
#include "registrykey.h"
#include "setupstate.h"
#include "setuptext.h"

namespace {

constexpr WCHAR kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\";

}  // namespace

void WriteProductKey() {
  HKEY key = OpenOrCreateMachineKey(kProductKey);
  if (!key) {
    AfxMessageBox(GetSetupText(IDS_REGISTRY_CREATE_FAILED, kFallbackRegistryCreateFailed));
    return;
  }
  const CSetupState& state = SetupState();
  CString regLang = state.language;
  regLang.Replace(u'_', u'-');
  SetStringValue(key, u"path", state.installDir);
  SetStringValue(key, u"language", state.lcid);
  SetDwordValue(key, u"NUM", static_cast<DWORD>(state.num));
  SetStringValue(key, u"LicLang", state.language);
  SetDwordValue(key, u"NetTest", static_cast<DWORD>(state.netTest));
  SetStringValue(key, u"RegLang", regLang);
  RegCloseKey(key);
}

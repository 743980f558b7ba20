// msi.dll: the Windows Installer functions of the surface, and their entries
// in the built-in module's export table.
#include "msi.h"

#include "msiinstall.h"
#include "msiui.h"
#include "winsim/builtinmodules.h"
#include "winsim/text.h"

INSTALLUILEVEL MsiSetInternalUI(INSTALLUILEVEL dwUILevel, HWND* phWnd) {
  return winsim::msi::setInternalUi(dwUILevel, phWnd);
}

INSTALLUI_HANDLERW MsiSetExternalUIW(INSTALLUI_HANDLERW puiHandler, DWORD dwMessageFilter, LPVOID pvContext) {
  return winsim::msi::setExternalUi(puiHandler, dwMessageFilter, pvContext);
}

UINT MsiInstallProductW(LPCWSTR szPackagePath, LPCWSTR szCommandLine) {
  if (!szPackagePath) return ERROR_INVALID_PARAMETER;
  return winsim::msi::installPackage(szPackagePath,
                                     szCommandLine ? std::u16string_view(szCommandLine) : std::u16string_view());
}

UINT MsiConfigureProductW(LPCWSTR szProduct, int iInstallLevel, INSTALLSTATE eInstallState) {
  if (!szProduct) return ERROR_INVALID_PARAMETER;
  if (eInstallState != INSTALLSTATE_ABSENT) return ERROR_CALL_NOT_IMPLEMENTED;
  return winsim::msi::removeInstalledProduct(szProduct);
}

namespace {

template <class F>
FARPROC exported(F* function) {
  return reinterpret_cast<FARPROC>(function);
}

const winsim::BuiltinModuleRegistration g_msi(u"msi.dll", {
                                                              {"MsiSetInternalUI", exported(&MsiSetInternalUI)},
                                                              {"MsiSetExternalUIW", exported(&MsiSetExternalUIW)},
                                                              {"MsiInstallProductW", exported(&MsiInstallProductW)},
                                                              {"MsiConfigureProductW", exported(&MsiConfigureProductW)},
                                                          });

}  // namespace

// msi.dll as the setup program uses it: loaded by its bare name at the first
// Windows Installer package and kept until the application ends
// (CKoraxInstallerApp::ExitInstance calls FreeMsiLibrary).
#pragma once

#include "msi.h"

using PFN_MsiSetInternalUI = INSTALLUILEVEL (*)(INSTALLUILEVEL, HWND*);
using PFN_MsiSetExternalUIW = INSTALLUI_HANDLERW (*)(INSTALLUI_HANDLERW, DWORD, LPVOID);
using PFN_MsiInstallProductW = UINT (*)(LPCWSTR, LPCWSTR);

/// The three entry points, all null while the library is not loaded or one of
/// them is missing.
struct MsiEntryPoints {
  PFN_MsiSetInternalUI setInternalUI = nullptr;
  PFN_MsiSetExternalUIW setExternalUI = nullptr;
  PFN_MsiInstallProductW installProduct = nullptr;
};

/// Loads msi.dll when it is not loaded yet and looks the entry points up.
/// False when the library cannot be loaded or an entry point is missing (a
/// loaded library stays loaded either way).
bool LoadMsiLibrary();
/// The entry points of the last successful LoadMsiLibrary.
MsiEntryPoints GetMsiEntryPoints();
/// Frees msi.dll if it was loaded; the next package loads it again.
void FreeMsiLibrary();

// The installation a previous run recorded: the product's uninstall entry
// under HKEY_LOCAL_MACHINE (written by WriteUninstallEntry).
//
// The setup program is a 32-bit program and opens keys without a view flag,
// so on 64-bit Windows the entry lies in the 32-bit view for both packages.
#pragma once

#include "afx.h"

/// "Software\Microsoft\Windows\CurrentVersion\Uninstall\" + text 2015 + "_" +
/// languageKey: the key of the uninstall entry, under HKEY_LOCAL_MACHINE.
CString GetUninstallKeyName();

/// Looks the entry up and sets installedFound, installed64, mode and, for a
/// recorded installation, installDir. Needs languageKey (ReadSetupIni). Any
/// failure counts as no recorded installation, silently. Values are read into
/// 260-character buffers: a Platfrom or InstallLocation that does not fit
/// counts as unreadable, so a cut folder is never taken for the real one.
void ReadInstalledState();

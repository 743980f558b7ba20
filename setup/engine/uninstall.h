// Removing the product, and rolling back a failed installation.
//
// The setup program removes only what lies outside its own records: the
// extension tool's settings, the updater's archive, and the payload's Windows
// Installer package (by its product code, through msiexec). What the setup
// program created itself (install.log records: folders, shortcuts, registry
// values, the uninstaller) is removed by the product's uninstaller HUninstall,
// started from a temporary copy beside copies of the log and the resource
// library, so that it can delete the install folder it was stored in. The same
// uninstaller, started quietly from the package with the log, rolls back a
// failed installation.
#pragma once

#include "afx.h"

/// The product code of the payload's Windows Installer package.
inline constexpr WCHAR kPayloadProductCode[] = u"{7DB4C454-5CBC-48FF-B070-7FED49DD181E}";

/// Deletes the extension tool's MWSetting.xml and the updater's update.zip
/// (pruning the Update folder), removes the payload with msiexec (waiting for
/// it; a failure to start it is ignored), copies HUninstall, install.log and
/// IntallerRes.dll from installDir into the temporary folder and starts the
/// copy of HUninstall there with "/norestart", without waiting. True when the
/// shell started it; false when there is no temporary folder, a copy fails or
/// the shell cannot start it.
BOOL UninstallProduct();

/// Copies installDir\install.log beside the setup program and starts the
/// HUninstall.exe there with "/quiet /norestart", without waiting. True when
/// the shell started it.
BOOL RollBackInstall();

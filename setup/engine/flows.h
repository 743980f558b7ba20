// The four flows of the setup program, one of which runs after the start-up
// checks: the install wizard (nothing recorded), the maintenance flow (an
// installation is recorded: repair or remove), and the quiet install and
// quiet uninstall chosen by the command line. The interactive flows show the
// pages modally and branch on each page's result (setuppages.h); the quiet
// flows show no page and report nothing beyond what the runners show.
#pragma once

#include "commandline.h"
#include "setuppages.h"

enum class SetupFlow { InstallWizard, Maintenance, QuietInstall, QuietUninstall };

/// The run is quiet when the map holds any pair and `quiet` is not "0" (a
/// missing `quiet` counts as quiet); a quiet run with Uninstall=1 uninstalls.
/// Otherwise installedFound decides between the wizard and maintenance.
SetupFlow ChooseFlow(const CArgumentMap& arguments);

/// Chooses the flow and runs it.
void RunChosenFlow(const CArgumentMap& arguments, SetupPages& pages);

/// Welcome (and licence) page, copy-files page, then the finish page, or the
/// error-completion page after a cancellation or a failed installation.
void RunInstallWizard(SetupPages& pages);
/// From an install folder (no Msi folder beside the program, an install.log
/// there): asks to uninstall and does. From the package: the maintenance
/// page, then the removal or a reinstall through the copy-files page.
void RunMaintenance(SetupPages& pages);
/// Installs without pages: TARGETDIR and NUM from the map, the product key,
/// the prerequisites, the payload, the setup program's own files and the
/// shell extension; a failed step ends the flow.
void RunQuietInstall(const CArgumentMap& arguments);
/// TARGETDIR from the map, then UninstallProduct; its result is not shown.
void RunQuietUninstall(const CArgumentMap& arguments);

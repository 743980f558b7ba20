// The runners of the external installers: the setup program copies none of the
// product's files itself, it starts the package's installers and waits for
// each one. Which installer runs when is the install procedure's and the quiet
// flows' decision.
//
// Progress: the passive, quiet and package runners post WM_SETUP_STEP_BEGIN
// to their progress window before anything else and WM_SETUP_STEP_DONE after
// a successful run; a null window (the quiet flows) gets nothing. No runner
// looks at the exit code of the program it starts.
//
// Command lines are built in fixed buffers: 260 characters for the passive,
// quiet and regsvr32 runners, 2048 for the registration tool, terminator
// included. A command line that does not fit is refused, never cut: the
// runner fails as when the program cannot be started (false, no message),
// because a cut line would start the installer with other arguments or none.
#pragma once

#include "afx.h"

constexpr int kInstallerCommandLineCapacity = 260;
constexpr int kRegistrationCommandLineCapacity = 2048;

/// Runs `path` with " -passive -norestart" and waits for it. False after text
/// 2005 when the file is missing, false silently when it cannot be started.
BOOL RunPassiveInstaller(LPCWSTR path, HWND progressWindow);
/// The same with " -q -norestart".
BOOL RunQuietInstaller(LPCWSTR path, HWND progressWindow);
/// Runs the product's registration tool (hidden) with the installation's
/// arguments (lang, TARGETDIR, PRODUCTNAME, VERSION, PLATFROM, NUM,
/// WorkspaceName, MerrowinName, MerrowinPath, -q) and waits for it. Posts no
/// notice. False after text 2005 when the tool is missing, false silently
/// when it cannot be started.
BOOL RunRegistrationTool(LPCWSTR path, HWND progressWindow);
/// Installs a Windows Installer package through msi.dll with the setup
/// program's external UI handler. True when the installer reports success
/// (0); any other result, a reboot request included, is a failure, reported
/// with text 2012 unless the package is one whose failure stays silent.
BOOL RunMsiPackage(LPCWSTR path, HWND progressWindow);
/// Registers a library with "regsvr32 "PATH" -s" and waits. True without
/// doing anything when the library is missing; false only when regsvr32
/// cannot be started.
BOOL RegisterShellExtension(LPCWSTR path);

/// The registration tool's command line for the current setup state, as
/// RunRegistrationTool starts it.
CString BuildRegistrationCommandLine(LPCWSTR path);

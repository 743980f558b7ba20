// The install procedure of the wizard and of a maintenance reinstall: the
// prerequisites, the product's payload, the spreadsheet-table package, the
// setup program's own files, the thumbnail shell extension, the registration
// tool, the uninstall entry with its shortcuts and log records.
//
// It runs on the install thread while the copy-files page is modal, reads the
// setup state without changing it, and tells the page how it goes only by
// posting messages to the page's window (setupmessages.h): WM_SETUP_BEGIN
// first, WM_SETUP_STEP_BEGIN / WM_SETUP_STEP_DONE around the steps, and
// exactly one of WM_SETUP_DONE and WM_SETUP_FAILED last. A failed step has
// shown its message box (no owner, system-modal, topmost) before
// WM_SETUP_FAILED; nothing done before it is undone here (the page starts the
// rollback).
#pragma once

#include "afx.h"

// The installers of the package, each a path below the setup folder.
inline constexpr WCHAR kWindowsInstallerPath[] = u"\\Msi\\WindowsInstaller-KB893803-v2-x86.exe";
inline constexpr WCHAR kRuntime32Path[] = u"\\Msi\\vcredist_x86_10.exe";
inline constexpr WCHAR kRuntime64Path[] = u"\\Msi\\vcredist_x64_10.exe";
inline constexpr WCHAR kMsxml32Path[] = u"\\Msi\\msxml6.msi";
inline constexpr WCHAR kMsxml64Path[] = u"\\Msi\\msxml6_x64.msi";
inline constexpr WCHAR kPayloadGlobalPath[] = u"\\files\\korax_global.exe";
inline constexpr WCHAR kPayloadLocalPath[] = u"\\files\\korax_local.exe";
// The Chinese package serves every language: the English one ships beside it,
// but the product's tables are the same in both.
inline constexpr WCHAR kSpreadsheetTablesPath[] = u"\\Msi\\XlsTable_CHS.msi";
inline constexpr WCHAR kRegistrationTool32Path[] = u"\\files\\WriteRegister.exe";
inline constexpr WCHAR kRegistrationTool64Path[] = u"\\files\\WriteRegister_x64.exe";

/// The whole procedure, reporting to `pageWindow` (the handler of
/// WM_SETUP_START, whose lParam is the page's window). Returns when it has
/// posted its end message. An unexpected internal failure (memory exhausted)
/// ends it with WM_SETUP_FAILED too, so the page never waits for ever.
void OnStartInstall(HWND pageWindow);

/// The .NET Framework 4 Client profile is installed: its registry key has an
/// InstallPath, Install = 1 and a Version of at least 4.0.30319.
BOOL IsNetFramework4ClientPresent();

/// "NAME,Failed to install,Please reinstall!" (text 2033) in a system-modal,
/// topmost error box captioned with the product name, no owner.
void ReportInstallFailure(LPCWSTR fileName);
/// The same with text 2017 ("Failed to Register,Please reinstall!").
void ReportRegisterFailure(LPCWSTR fileName);

// Steps the quiet install shares with the procedure.

/// Copies Setup.exe, IntallerRes.dll, HUninstall.exe (as "HUninstall") and
/// Setup.ini from `setupFolder` into installDir, overwriting; failures are
/// ignored.
void CopySetupProgramFiles(const CString& setupFolder);
/// Creates Common Files\Halvorn\ (with its CreateDirectory records), copies
/// installDir\dwgthumb.dll into it and registers the copy with regsvr32.
/// False only when regsvr32 cannot be started.
BOOL InstallShellExtension();
/// Deletes the payload's own uninstaller installDir\uninst.exe, which HUninstall
/// replaces; a missing file is no error.
void DeleteLeftoverUninstaller();

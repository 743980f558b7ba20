// The shell's way of starting programs.
#pragma once

#include "win32/types.h"

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int SW_FORCEMINIMIZE = 11;

// Failure results of ShellExecuteW (results of 32 and below are failures).
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_SHARE = 26;
constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
constexpr int SE_ERR_DDETIMEOUT = 28;
constexpr int SE_ERR_DDEFAIL = 29;
constexpr int SE_ERR_DDEBUSY = 30;
constexpr int SE_ERR_NOASSOC = 31;
constexpr int SE_ERR_DLLNOTFOUND = 32;

/// Starts a program with the verb "open" (or no verb) and does not wait for
/// it: the command line is the quoted file followed by the parameters, the
/// program is found as CreateProcessW finds it, and lpDirectory (if given) is
/// its current folder. Returns a value above 32 on success, else the error as
/// a small number: 2 file not found, 3 path not found, 5 access denied, 11 not
/// runnable (ERROR_BAD_FORMAT). Files that are not programs (documents) and
/// other verbs have no association here: SE_ERR_NOASSOC. The show command is
/// accepted and has no effect on the host.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters, LPCWSTR lpDirectory,
                        INT nShowCmd);

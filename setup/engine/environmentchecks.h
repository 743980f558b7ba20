// What the start-up checks ask of the machine: its processor, whether the
// program may install (administrator rights, elevated from Windows 6.0 on)
// and whether the viewer is running.
#pragma once

#include "afx.h"

/// The native processor is x64 or Itanium (also for a 32-bit program under
/// WOW64, which GetSystemInfo would show an x86 processor).
bool IsNative64BitSystem();

/// Before Windows 6.0: the process token holds the built-in Administrators
/// group (S-1-5-32-544). From 6.0 on: the token is elevated. Any failing
/// call answers no.
BOOL IsRunAsAdministrator();

/// The process id of the first running process, after the snapshot's first
/// entry (the idle process), whose image file name is exactly "korax.exe"
/// (case-sensitive); 0 when there is none.
DWORD FindRunningViewer();

// The shell's special folders the setup program writes into or reads from.
// Each fills a caller's buffer of MAX_PATH (260) characters and answers
// whether it succeeded; on failure the buffer is empty.
#pragma once

#include "afx.h"

/// The common desktop (CSIDL_COMMON_DESKTOPDIRECTORY).
BOOL GetCommonDesktopFolder(LPWSTR path);
/// The common Programs menu (CSIDL_COMMON_PROGRAMS).
BOOL GetCommonProgramsFolder(LPWSTR path);
/// The common program files folder (CSIDL_PROGRAM_FILES_COMMON); a 32-bit
/// program on 64-bit Windows is shown the 32-bit one.
BOOL GetCommonProgramFilesFolder(LPWSTR path);
/// The user's Documents (CSIDL_PERSONAL).
BOOL GetPersonalFolder(LPWSTR path);

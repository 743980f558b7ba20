// The shell's path tests. They look at the text only (backslashes only, as
// the shell's own functions do), except PathFileExists, which asks the disk.
#pragma once

#include "win32/types.h"

/// "\", "X:\", "\\server" and "\\server\share" are roots; "C:", "\\server\"
/// and "\\server\share\" are not.
BOOL PathIsRootW(LPCWSTR pszPath);
/// No ':' and no '\': a bare file name.
BOOL PathIsFileSpecW(LPCWSTR pszPath);
/// A UNC path ("\\server..."): the machine has no mapped network drives.
BOOL PathIsNetworkPathW(LPCWSTR pszPath);
BOOL PathFileExistsW(LPCWSTR pszPath);
/// The path in the machine's ANSI code page.
BOOL PathFileExistsA(LPCSTR pszPath);

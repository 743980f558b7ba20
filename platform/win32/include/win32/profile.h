// Profile (INI) files, read and written as Windows does.
//
// A file is UTF-16 (little-endian) when it begins with the byte-order mark
// FF FE, and text in the machine's ANSI code page otherwise; a UTF-8 mark is
// not recognised (its bytes stay part of the first line, so a section header
// on that line is not found, as on Windows). Sections and keys match without
// case; the first of duplicate sections or keys wins. A value loses the white
// space around it and one pair of surrounding quotes. A file name without a
// folder names a file in the Windows folder (profile folders.windows).
//
// Writing keeps every other line of the file and its encoding, creates a
// missing file in the ANSI code page, replaces the file in one step
// (temporary file and rename) and is serialised across the machine's
// processes, so two writers never lose each other's keys.
#pragma once

#include "win32/types.h"

/// With lpAppName null, the section names; with lpKeyName null, the section's
/// key names: each NUL-terminated, the list ended by one more NUL (cut lists
/// return nSize - 2). Otherwise the value, or lpDefault (null means "") less
/// its trailing blanks; a cut value returns nSize - 1.
DWORD GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault, LPWSTR lpReturnedString,
                               DWORD nSize, LPCWSTR lpFileName);
/// The value's leading decimal digits (a leading '-' allowed), 0 when it has
/// none; nDefault when the key is missing or its value is empty (Windows
/// reads the value as text first and cannot tell those apart).
UINT GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName);
DWORD GetPrivateProfileSectionNamesW(LPWSTR lpszReturnBuffer, DWORD nSize, LPCWSTR lpFileName);
/// A null lpString deletes the key, a null lpKeyName the whole section.
BOOL WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString, LPCWSTR lpFileName);

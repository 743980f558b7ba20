// Code-page conversions. CP_ACP is the machine's ANSI code page (its profile's
// system.codepage: 1252, 936, 950 or 932); conversions go through iconv, so a
// CJK character is two bytes in 936, as the action log and xdata rules assume.
#pragma once

#include "win32/types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;

/// The ANSI code page of the machine.
UINT GetACP();

// Both conversions follow Windows: a count of -1 means NUL-terminated input and
// the result then counts the NUL; an output size of 0 asks for the size needed;
// a buffer too small fails with ERROR_INSUFFICIENT_BUFFER and leaves the buffer
// unwritten. Characters a code page lacks become the default character ('?',
// or *lpDefaultChar) and set *lpUsedDefaultChar; no best-fit mapping is made,
// so WC_NO_BEST_FIT_CHARS changes nothing. UTF-8 takes no default character
// (ERROR_INVALID_PARAMETER when one is given): an unpaired surrogate becomes
// U+FFFD, or fails under WC_ERR_INVALID_CHARS. Invalid bytes become U+FFFD, or
// fail under MB_ERR_INVALID_CHARS; failures set ERROR_NO_UNICODE_TRANSLATION.
// Code pages: CP_ACP, CP_OEMCP (437 on a 1252 machine, else the ANSI page),
// CP_UTF8, 1252, 936, 950, 932 and 437; others fail with ERROR_INVALID_PARAMETER.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar);
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);

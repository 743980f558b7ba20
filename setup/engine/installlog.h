// The action log install.log in the install folder: one record for each
// folder, shortcut, registry value and uninstaller file the setup program
// itself creates, for the product's uninstaller HUninstall.
//
// Bytes: the system's ANSI code page, no byte-order mark; each record is
// 0D 0D 0A followed by its text (a "\r\n" written in text mode, whose line
// feed the C runtime widens to "\r\n"), so the file begins with a break and
// ends with the last record's text. Records are only appended; the file is
// opened and closed for each one, so the install thread and the main thread
// never share a handle.
//
// Limits: a record's text holds at most 257 characters, and its ANSI form with
// the leading break must fit in 260 bytes with a terminator; the log's path
// must fit 260 ANSI bytes too. A record beyond these limits is dropped whole
// rather than cut, since a cut path could name another folder or file to the
// uninstaller.
#pragma once

#include "afx.h"

constexpr int kMaxLogRecordLength = 257;

/// Appends one record to installDir\install.log. Never reports a failure: a
/// record that cannot be written is lost.
void AppendInstallLog(LPCWSTR text);

// The record formats (text without the leading break).

/// CreateDirectory: "FOLDER" (0), or with `created` CreateDirectory: "FOLDER" created.
CString CreateDirectoryRecord(LPCWSTR folder, bool created);
/// CreateShortCut: out: "LINK", in: "TARGET ", icon: ,0, sw=0, hk=0
CString CreateShortcutRecord(LPCWSTR linkPath, LPCWSTR target);
/// WriteRegStr: "HKEY_LOCAL_MACHINE\KEY" "NAME"="VALUE"
CString WriteRegStrRecord(LPCWSTR keyPath, LPCWSTR valueName, LPCWSTR value);
/// WriteRegDWORD: "HKEY_LOCAL_MACHINE\KEY" "Version"="HEX" (lower-case, no prefix)
CString WriteRegDwordRecord(LPCWSTR keyPath, DWORD value);
/// File: overwriteflag=4, allowskipfilesflag=0, name="NAME"
CString FileNameRecord(LPCWSTR name);
/// File: wrote SIZE to "PATH"
CString FileWroteRecord(DWORD size, LPCWSTR path);

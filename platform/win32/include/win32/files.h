// Files and folders of the simulated machine, as the Win32 file API shows them.
//
// Every path names a file on one of the machine's drives (Machine::hostPath):
// lookup is case-insensitive and keeps the case of new names, `\` and `/`
// both separate, and relative paths start at the process's current folder.
//
// Attributes: FILE_ATTRIBUTE_READONLY of a file is the host file's write bits
// (so host tools see it too); HIDDEN, SYSTEM and ARCHIVE, and READONLY of a
// folder, live in the extended attribute "user.winsim.attributes" of the host
// file, which travels with the file through renames and goes with it when it
// is deleted. A file without that attribute shows ARCHIVE, as a new file does
// on Windows; a folder shows DIRECTORY alone. On a host file system without
// extended attributes only READONLY of files can be set (other changes fail
// with ERROR_NOT_SUPPORTED).
//
// A full disk: a drive whose profile entry [disk] LETTER is 0 free bytes
// refuses new data (CopyFileW, a move to another drive, the C runtime's
// writes, WritePrivateProfileStringW) with ERROR_DISK_FULL; folders, empty
// files, renames and deletions still work. The profile's number does not
// shrink as files are written.
#pragma once

#include "win32/types.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x00000002;
/// Refused with ERROR_NOT_SUPPORTED: the simulated machine never reboots.
constexpr DWORD MOVEFILE_DELAY_UNTIL_REBOOT = 0x00000004;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x00000008;

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;
using PWIN32_FIND_DATAW = WIN32_FIND_DATAW*;

DWORD GetFileAttributesW(LPCWSTR lpFileName);
/// The path in the machine's ANSI code page.
DWORD GetFileAttributesA(LPCSTR lpFileName);
BOOL SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes);

/// Default security only: lpSecurityAttributes is accepted and not used.
BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL RemoveDirectoryW(LPCWSTR lpPathName);
BOOL DeleteFileW(LPCWSTR lpFileName);
/// Copies data, attributes, run bits and the last-write time.
BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists);
BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);

/// A listing of one folder taken when the search starts, in the order of an
/// NTFS folder (names without case), "." and ".." first except at a drive root.
HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData);
BOOL FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

/// Free bytes come from the profile ([disk] LETTER); the folder must exist
/// (null means the current folder's drive). The total is the larger of the
/// free bytes and the host volume's size.
BOOL GetDiskFreeSpaceExW(LPCWSTR lpDirectoryName, PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                         PULARGE_INTEGER lpTotalNumberOfBytes, PULARGE_INTEGER lpTotalNumberOfFreeBytes);

/// The profile's folders.temp, ending in a backslash.
DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer);
DWORD GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer);
BOOL SetCurrentDirectoryW(LPCWSTR lpPathName);

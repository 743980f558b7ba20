// Process snapshots. A snapshot lists, as Windows does, the idle process
// first (id 0, "[System Process]"), then the processes that the machine's
// profile says are running ([processes] running=a.exe,b.exe, ids from
// 0x40000000 up in steps of 4), then every program of this machine that runs
// now, oldest first. The list is fixed when the snapshot is taken.
#pragma once

#include "win32/types.h"

constexpr DWORD TH32CS_SNAPHEAPLIST = 0x00000001;
constexpr DWORD TH32CS_SNAPPROCESS = 0x00000002;
constexpr DWORD TH32CS_SNAPTHREAD = 0x00000004;
constexpr DWORD TH32CS_SNAPMODULE = 0x00000008;
constexpr DWORD TH32CS_SNAPALL = 0x0000000F;

struct PROCESSENTRY32W {
  DWORD dwSize;
  DWORD cntUsage;
  DWORD th32ProcessID;
  ULONG_PTR th32DefaultHeapID;
  DWORD th32ModuleID;
  DWORD cntThreads;
  DWORD th32ParentProcessID;
  LONG pcPriClassBase;
  DWORD dwFlags;
  WCHAR szExeFile[MAX_PATH];  // the image's file name only
};
using LPPROCESSENTRY32W = PROCESSENTRY32W*;

/// Takes a snapshot of the machine's processes. Flags must include
/// TH32CS_SNAPPROCESS (threads, modules and heaps are not listed); fails with
/// INVALID_HANDLE_VALUE and ERROR_NOT_SUPPORTED otherwise.
HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
/// The first entry, or the next; FALSE with ERROR_NO_MORE_FILES after the
/// last, and with ERROR_BAD_LENGTH when dwSize is smaller than the record.
BOOL Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);
BOOL Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);

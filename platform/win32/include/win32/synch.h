// Mutexes. A named mutex is shared by all processes of one machine and exists
// while any of them holds a handle to it; it goes away with the last one,
// however that process ends. An unnamed mutex belongs to its process.
//
// Ownership is per thread and recursive, as on Windows. A mutex whose owning
// process ended without releasing it is handed to its next waiter with
// WAIT_ABANDONED.
#pragma once

#include "win32/types.h"

constexpr DWORD SYNCHRONIZE = 0x00100000;
constexpr DWORD MUTEX_MODIFY_STATE = 0x0001;
constexpr DWORD MUTEX_ALL_ACCESS = 0x001F0001;

/// Creates a mutex, or opens the machine's mutex of that name; then
/// GetLastError() is ERROR_ALREADY_EXISTS and bInitialOwner is ignored, as on
/// Windows. Names are case-sensitive; "Local\" names the same object as the
/// bare name; any other backslash fails with ERROR_BAD_PATHNAME.
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCWSTR lpName);
/// Opens an existing named mutex; null with ERROR_FILE_NOT_FOUND when no
/// process of the machine has it.
HANDLE OpenMutexW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName);
/// Releases one level of the calling thread's ownership; ERROR_NOT_OWNER when
/// the thread does not own it.
BOOL ReleaseMutex(HANDLE hMutex);

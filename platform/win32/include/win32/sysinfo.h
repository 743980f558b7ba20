// The machine's Windows version, processor and system folders, from its
// profile: [system] version=6.1, build=7601, processor=x64|x86|ia64,
// servicepack=; [folders] windows=, system=.
#pragma once

#include "win32/types.h"

constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};
using LPOSVERSIONINFOW = OSVERSIONINFOW*;

constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_IA64 = 6;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;
constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr DWORD PROCESSOR_INTEL_IA64 = 2200;
constexpr DWORD PROCESSOR_AMD_X8664 = 8664;

struct SYSTEM_INFO {
  union {
    DWORD dwOemId;
    struct {
      WORD wProcessorArchitecture;
      WORD wReserved;
    };
  };
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};
using LPSYSTEM_INFO = SYSTEM_INFO*;

/// Low byte: major version; next byte: minor version; high word: build. The
/// high bit is clear, as on every Windows NT.
DWORD GetVersion();
/// dwOSVersionInfoSize must be sizeof(OSVERSIONINFOW), else
/// ERROR_INSUFFICIENT_BUFFER.
BOOL GetVersionExW(LPOSVERSIONINFOW lpVersionInformation);
/// The machine's processor.
void GetNativeSystemInfo(LPSYSTEM_INFO lpSystemInfo);
/// The processor as the calling program sees it: a 32-bit program on a 64-bit
/// machine runs under WOW64 and is shown an x86 processor.
void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo);

/// The folder without terminating NUL in its length on success; when uSize is
/// too small, the size needed including the NUL, and the buffer untouched.
UINT GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize);
UINT GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize);

/// Milliseconds since the host started, wrapping after 49.7 days as on Windows.
DWORD GetTickCount();

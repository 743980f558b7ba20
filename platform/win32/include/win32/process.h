// Processes of the simulated machine: starting programs, waiting for them,
// their exit codes, and the calling process itself.
//
// A program of the machine is a file in it. A host executable (an ELF binary,
// or a script starting with "#!") with its run bit runs as a host process
// whose environment names its machine (WINSIM_MACHINE), its Windows image path
// (WINSIM_IMAGE) and its whole Windows command line (WINSIM_CMDLINE), and
// whose working folder is the host folder of its Windows current folder.
//
// Exit codes travel through the host's exit status, so a program's code is
// its low 8 bits (0 to 255). A process ended by a signal reports what Windows
// reports for the matching end: 0xC0000005 (access violation) for SIGSEGV and
// SIGBUS, 0xC000001D for SIGILL, 0xC0000094 for SIGFPE, 3 for SIGABRT (the C
// runtime's abort), 0xC000013A for SIGINT, the code given to TerminateProcess
// for a process it ended, and 1 for any other signal (a kill from outside).
#pragma once

#include "win32/types.h"

constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD DETACHED_PROCESS = 0x00000008;
constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
constexpr DWORD CREATE_NEW_PROCESS_GROUP = 0x00000200;
constexpr DWORD CREATE_UNICODE_ENVIRONMENT = 0x00000400;
constexpr DWORD CREATE_NO_WINDOW = 0x08000000;

constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
constexpr DWORD STARTF_USESTDHANDLES = 0x00000100;

constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_ABANDONED = 0x00000080;
constexpr DWORD WAIT_ABANDONED_0 = WAIT_ABANDONED;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

constexpr DWORD STILL_ACTIVE = 259;

struct STARTUPINFOW {
  DWORD cb;
  LPWSTR lpReserved;
  LPWSTR lpDesktop;
  LPWSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
using LPSTARTUPINFOW = STARTUPINFOW*;

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

/// Starts a program of the machine. The image is lpApplicationName (taken
/// relative to the current folder, used as written), else the start of the
/// command line as Windows reads it: a quoted path, or the shortest
/// blank-delimited prefix that names a file ("C:\Program Files\x.exe -q"
/// tries "C:\Program.exe" first). ".exe" is added to a name without
/// extension; a bare name is searched in the calling program's folder, the
/// current folder, the system folder and the Windows folder. Fails with
/// ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND for a missing file,
/// ERROR_BAD_EXE_FORMAT for a file that is not runnable, ERROR_DIRECTORY for a
/// bad lpCurrentDirectory, and ERROR_NOT_SUPPORTED for CREATE_SUSPENDED, an
/// own environment block or standard handles, which no program here uses.
/// The window-related start-up fields (wShowWindow) are accepted and have no
/// effect on the host.
BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                    LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation);

/// Waits for a process (its end), a thread handle of a started process (the
/// same), or a mutex (its ownership).
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode);
void Sleep(DWORD dwMilliseconds);

/// The pseudo handle (HANDLE)-1 that stands for the calling process.
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();
/// The process's Windows command line (WINSIM_CMDLINE; for a program started
/// from the host without it, the host arguments joined and quoted).
LPWSTR GetCommandLineW();
[[noreturn]] void ExitProcess(UINT uExitCode);

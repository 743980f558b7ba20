// The process surface of the Win32 layer: starting programs, waiting, exit
// codes, and facts of the calling process.
#include "win32/process.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>

#include "processlaunch.h"
#include "processobject.h"
#include "win32/errors.h"
#include "winsim/handles.h"
#include "winsim/machine.h"
#include "winsim/text.h"
#include "winsim/waitable.h"

namespace {

HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Creation flags that change nothing for a host process. CREATE_SUSPENDED and
// the rest are refused: no program here asks for them.
constexpr DWORD kHarmlessCreationFlags =
    DETACHED_PROCESS | CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW;

BOOL failWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

/// The host's arguments of this process as a Windows command line: each
/// argument that holds a blank or is empty is quoted.
std::u16string commandLineFromHost() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::u16string line;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    const std::u16string argument = winsim::fromUtf8(std::string_view(bytes).substr(start, end - start));
    if (!line.empty()) line += u' ';
    if (argument.empty() || argument.find_first_of(u" \t") != std::u16string::npos)
      line += u"\"" + argument + u"\"";
    else
      line += argument;
    start = end + 1;
  }
  return line;
}

}  // namespace

BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                    LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation) {
  if (!lpStartupInfo || !lpProcessInformation || (!lpApplicationName && !lpCommandLine))
    return failWith(ERROR_INVALID_PARAMETER);
  if ((dwCreationFlags & ~kHarmlessCreationFlags) != 0 || lpEnvironment ||
      (lpStartupInfo->dwFlags & STARTF_USESTDHANDLES) != 0)
    return failWith(ERROR_NOT_SUPPORTED);
  winsim::Machine* machine = winsim::currentMachine();
  if (!machine) return failWith(ERROR_PATH_NOT_FOUND);
  winsim::reapOrphans();

  // Windows hands the application name over as the command line when there
  // is none.
  const std::u16string commandLine(lpCommandLine ? lpCommandLine : lpApplicationName);
  std::optional<std::u16string_view> applicationName;
  if (lpApplicationName) applicationName = lpApplicationName;
  auto image = winsim::findProgramImage(*machine, applicationName, commandLine);
  if (!image) return failWith(image.error().code);
  std::optional<std::u16string_view> currentFolder;
  if (lpCurrentDirectory) currentFolder = lpCurrentDirectory;
  auto process = winsim::startProgram(*machine, image.value(), commandLine, currentFolder);
  if (!process) return failWith(process.error().code);

  const auto pid = static_cast<DWORD>(process.value()->pid());
  lpProcessInformation->hProcess = winsim::addHandle(process.value());
  lpProcessInformation->hThread = winsim::addHandle(std::make_shared<winsim::ThreadObject>(process.value()));
  lpProcessInformation->dwProcessId = pid;
  lpProcessInformation->dwThreadId = pid;  // a host process's main thread has the process's id
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  auto object = winsim::lookupHandleAs<winsim::Waitable>(hHandle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return object->wait(dwMilliseconds);
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  if (!lpExitCode) return failWith(ERROR_INVALID_PARAMETER);
  if (hProcess == kCurrentProcess) {
    *lpExitCode = STILL_ACTIVE;
    return TRUE;
  }
  auto process = winsim::lookupHandleAs<winsim::ProcessObject>(hProcess);
  if (!process) return failWith(ERROR_INVALID_HANDLE);
  *lpExitCode = process->exitCode();
  return TRUE;
}

BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode) {
  if (hProcess == kCurrentProcess) ::_exit(static_cast<int>(uExitCode & 0xFF));
  auto process = winsim::lookupHandleAs<winsim::ProcessObject>(hProcess);
  if (!process) return failWith(ERROR_INVALID_HANDLE);
  // Windows refuses to end a process that has already ended.
  if (!process->terminate(uExitCode)) return failWith(ERROR_ACCESS_DENIED);
  return TRUE;
}

void Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == INFINITE) {
    for (;;) ::pause();
  }
  timespec left{static_cast<time_t>(dwMilliseconds / 1000), static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

HANDLE GetCurrentProcess() { return kCurrentProcess; }
DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
DWORD GetCurrentThreadId() { return static_cast<DWORD>(::gettid()); }

LPWSTR GetCommandLineW() {
  // Built once; Windows, too, hands out the same buffer for the process's life.
  static std::u16string line = [] {
    const char* given = std::getenv("WINSIM_CMDLINE");
    return given ? winsim::fromUtf8(given) : commandLineFromHost();
  }();
  return line.data();
}

void ExitProcess(UINT uExitCode) { std::exit(static_cast<int>(uExitCode & 0xFF)); }

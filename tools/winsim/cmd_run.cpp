// winsim run DIR [--cd WINPATH] "COMMAND LINE": starts a program of the
// machine as CreateProcessW does, waits for it and exits with its exit code.
//
// winsim stands where a shell would: its current folder is the machine's
// root C:\ unless --cd names another, and the program is searched for there
// and starts there. A program that cannot start gets one error line and exit
// code 127 (what shells answer for a command they cannot run; cmd's 9009 does
// not fit a host exit status). The host passes on the low 8 bits of an exit
// code: a larger code (0xC0000005 of a crash) is printed on standard error.
#include <cstdio>
#include <iostream>

#include "commands.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/process.h"
#include "winsim/text.h"

namespace winsim::cli {
namespace {

constexpr int kCannotStart = 127;

std::string reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return "the program was not found";
    case ERROR_PATH_NOT_FOUND:
      return "the program's folder does not exist";
    case ERROR_BAD_EXE_FORMAT:
      return "the file is not a program (a host executable or #! script with its run bit)";
    case ERROR_ACCESS_DENIED:
      return "access denied (a folder, or an unreadable file)";
    case ERROR_DIRECTORY:
      return "the current folder does not exist";
    default:
      return "Windows error " + std::to_string(error);
  }
}

int runRun(const Arguments& args) {
  std::string currentFolder = "C:\\";
  std::size_t next = 1;
  if (args.size() == 4 && args[1] == "--cd") {
    currentFolder = args[2];
    next = 3;
  }
  if (args.size() != next + 1) return fail("run: usage: winsim run DIR [--cd WINPATH] \"COMMAND LINE\"");
  auto machine = openMachine(args[0]);
  if (!machine) return 2;
  setProgramBitness(Bitness::Bits64);
  if (auto changed = machine->setCurrentFolder(fromUtf8(currentFolder)); !changed)
    return fail("run: cannot go to " + currentFolder + ": " + changed.error().message);

  std::u16string commandLine = fromUtf8(args[next]);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    fail("run: cannot start \"" + args[next] + "\": " + reason(GetLastError()));
    return kCannotStart;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (code > 0xFF) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", code);
    std::cerr << "winsim: run: the program ended with exit code " << hex << "\n";
  }
  return static_cast<int>(code & 0xFF);
}

const CommandRegistration registration{{"run", "run DIR [--cd WINPATH] \"COMMAND LINE\"", runRun}};

}  // namespace
}  // namespace winsim::cli

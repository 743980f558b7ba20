// winsim-probe: a program for tests to start inside a machine. Its command
// line is a list of actions, done in order ("probe.exe report C:\out.txt
// exit 3"); arguments with blanks are quoted. Then it exits with 0.
//
//   exit N          exit with code N
//   sleep MS        sleep MS milliseconds
//   report WINPATH  write "cmdline=", "image=", "cwd=", "machine=" and "pid="
//                   lines (UTF-8) to a file of the machine
//   touch WINPATH   create a file of the machine (tells a waiting test that
//                   the probe got this far)
//   waitfor WINPATH wait until a file of the machine exists (exit 124 after 20 s)
//   mutex NAME      create the named mutex, owned; exit 183 if it existed
//   wait NAME       open the named mutex and wait for it (exit 128 when it
//                   was abandoned, 129 when the wait failed)
//   release         release the mutex of the last mutex or wait action
//   crash           die of SIGSEGV
//   run CMDLINE     start CMDLINE, wait for it and exit with its exit code
//                   (127 when it cannot start)
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/process.h"
#include "win32/synch.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace {

std::vector<std::u16string> splitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i >= line.size()) break;
    std::u16string word;
    bool quoted = false;
    for (; i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t')); ++i) {
      if (line[i] == u'"')
        quoted = !quoted;
      else
        word += line[i];
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::filesystem::path hostPath(const std::u16string& windowsPath) {
  auto path = winsim::currentMachine()->hostPath(windowsPath);
  if (!path) std::exit(120);
  return path.value();
}

std::string utf8(const char16_t* text) { return winsim::toUtf8(text ? text : u""); }

}  // namespace

int main() {
  if (!winsim::currentMachine()) return 121;
  const auto words = splitCommandLine(GetCommandLineW());
  HANDLE mutex = nullptr;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string action = winsim::toUtf8(words[i]);
    const bool hasArgument = i + 1 < words.size();
    if (action == "crash") {
      // The default action, not a sanitizer's report: the test wants the
      // process to end by the signal.
      ::signal(SIGSEGV, SIG_DFL);
      ::raise(SIGSEGV);
    } else if (action == "release") {
      if (!ReleaseMutex(mutex)) return 122;
    } else if (!hasArgument) {
      return 123;
    } else {
      const std::u16string& argument = words[++i];
      if (action == "exit") {
        ExitProcess(static_cast<UINT>(std::stoul(winsim::toUtf8(argument))));
      } else if (action == "sleep") {
        Sleep(static_cast<DWORD>(std::stoul(winsim::toUtf8(argument))));
      } else if (action == "report") {
        // Written whole under another name first: a test may be watching
        // for the file while the probe runs on.
        const auto path = hostPath(argument);
        const auto part = path.string() + ".part";
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << "cmdline=" << utf8(GetCommandLineW()) << "\n"
            << "image=" << (std::getenv("WINSIM_IMAGE") ? std::getenv("WINSIM_IMAGE") : "") << "\n"
            << "cwd=" << winsim::toUtf8(winsim::currentMachine()->currentFolder()) << "\n"
            << "machine=" << (std::getenv("WINSIM_MACHINE") ? std::getenv("WINSIM_MACHINE") : "") << "\n"
            << "pid=" << GetCurrentProcessId() << "\n";
        out.close();
        std::filesystem::rename(part, path);
      } else if (action == "touch") {
        std::ofstream(hostPath(argument)) << "here\n";
      } else if (action == "waitfor") {
        const auto path = hostPath(argument);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(path)) {
          if (std::chrono::steady_clock::now() > deadline) return 124;
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
      } else if (action == "mutex") {
        mutex = CreateMutexW(nullptr, TRUE, argument.c_str());
        if (!mutex) return 125;
        if (GetLastError() == ERROR_ALREADY_EXISTS) return 183;
      } else if (action == "wait") {
        mutex = CreateMutexW(nullptr, FALSE, argument.c_str());
        if (!mutex) return 125;
        const DWORD result = WaitForSingleObject(mutex, INFINITE);
        if (result != WAIT_OBJECT_0) return result == WAIT_ABANDONED ? 128 : 129;
      } else if (action == "run") {
        std::u16string commandLine = argument;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &child))
          return 127;
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(child.hProcess, &code);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        ExitProcess(code);
      } else {
        return 126;
      }
    }
  }
  return 0;
}

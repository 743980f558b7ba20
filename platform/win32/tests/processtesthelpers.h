// Helpers of the tests that start programs inside a machine.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/process.h"

namespace winsim::testing {

/// Puts a built test program into the machine as a link to the built file:
/// the program then finds the layer libraries beside its real file.
inline void linkProgram(const TempMachine& machine, const std::string& name, std::u16string_view windowsPath) {
  const auto target = machine.host(windowsPath);
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::create_symlink(testProgramFolder() / ("winsim-" + name), target);
}

/// Writes a file of the machine; `runnable` adds the run bits.
inline void writeFile(const TempMachine& machine, std::u16string_view windowsPath, const std::string& content,
                      bool runnable = false) {
  const auto target = machine.host(windowsPath);
  std::filesystem::create_directories(target.parent_path());
  std::ofstream(target, std::ios::binary | std::ios::trunc) << content;
  if (runnable)
    std::filesystem::permissions(target, std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec,
                                 std::filesystem::perm_options::add);
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

/// Waits until a file exists (a started program got that far); false after
/// ten seconds.
inline bool waitForFile(const std::filesystem::path& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(path)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

/// A started program's two handles, closed at the end of the scope.
struct Started {
  PROCESS_INFORMATION info{};
  bool ok = false;
  DWORD error = 0;

  Started() = default;
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  ~Started() {
    if (ok) {
      // A test that failed half-way leaves no program running behind it.
      DWORD code = 0;
      if (GetExitCodeProcess(info.hProcess, &code) && code == STILL_ACTIVE) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, INFINITE);
      }
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
    }
  }
  /// Waits for the end and returns the exit code.
  DWORD finish() {
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    return code;
  }
};

inline void start(Started& started, std::u16string commandLine, const char16_t* currentFolder = nullptr,
                  const char16_t* applicationName = nullptr) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  started.ok = CreateProcessW(applicationName, commandLine.empty() ? nullptr : commandLine.data(), nullptr, nullptr,
                              FALSE, 0, nullptr, currentFolder, &startup, &started.info) != FALSE;
  started.error = started.ok ? 0 : GetLastError();
}

/// Starts a program, waits for it and returns its exit code (the test fails
/// when it cannot start).
inline DWORD runToEnd(std::u16string commandLine, const char16_t* currentFolder = nullptr) {
  Started started;
  start(started, std::move(commandLine), currentFolder);
  EXPECT_TRUE(started.ok) << "error " << started.error;
  return started.ok ? started.finish() : 0xFFFFFFFF;
}

/// Restores the process's working folder at the end of a test that moves it.
class WorkingFolderGuard {
 public:
  WorkingFolderGuard() : m_saved(std::filesystem::current_path()) {}
  ~WorkingFolderGuard() { std::filesystem::current_path(m_saved); }
  WorkingFolderGuard(const WorkingFolderGuard&) = delete;
  WorkingFolderGuard& operator=(const WorkingFolderGuard&) = delete;

 private:
  std::filesystem::path m_saved;
};

}  // namespace winsim::testing

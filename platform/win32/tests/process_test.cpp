// Starting programs, waiting for them and their exit codes.
#include <signal.h>
#include <stdlib.h>

#include <atomic>
#include <thread>

#include "processtesthelpers.h"
#include "winsim/text.h"

namespace winsim::testing {
namespace {

std::string reportValue(const std::string& report, const std::string& key) {
  const auto at = report.find(key + "=");
  if (at == std::string::npos) return "<missing>";
  const auto end = report.find('\n', at);
  return report.substr(at + key.size() + 1, end - at - key.size() - 1);
}

TEST(Process, ScriptProgramRunsAndItsExitCodeIsReported) {
  TempMachine machine;
  writeFile(machine, u"C:\\Tools\\answer.exe", "#!/bin/sh\nexit 42\n", true);
  EXPECT_EQ(runToEnd(u"C:\\Tools\\answer.exe"), 42u);
  EXPECT_EQ(runToEnd(u"C:\\Tools\\answer.exe --ignored"), 42u);
}

TEST(Process, ProbeExitsWithTheCodeItIsGiven) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe exit 0"), 0u);
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe exit 255"), 255u);
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe"), 0u);
}

TEST(Process, ProgramSeesItsCommandLineImageFolderAndMachine) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\Program Files\\Probe\\probe.exe");
  const std::u16string line = u"\"C:\\Program Files\\Probe\\probe.exe\" report C:\\out.txt touch \"C:\\two words\"";
  EXPECT_EQ(runToEnd(line, u"C:\\Users"), 0u);
  const std::string report = readFile(machine.host(u"C:\\out.txt"));
  EXPECT_EQ(reportValue(report, "cmdline"), toUtf8(line));
  EXPECT_EQ(reportValue(report, "image"), "C:\\Program Files\\Probe\\probe.exe");
  EXPECT_EQ(reportValue(report, "cwd"), "C:\\Users");
  EXPECT_EQ(reportValue(report, "machine"), machine.folder().string());
  EXPECT_TRUE(std::filesystem::exists(machine.host(u"C:\\two words")));
}

TEST(Process, HostEnvironmentArgumentsAndWorkingFolderOfAProgram) {
  TempMachine machine;
  ::setenv("WINSIM_TEST_INHERITED", "passed on", 1);
  ::setenv("WINSIM_IMAGE", "C:\\Parent\\parent.exe", 1);  // the caller's own image: replaced, not inherited
  writeFile(machine, u"C:\\Tools\\env.exe",
            "#!/bin/sh\n"
            "{ printf 'machine=%s\\n' \"$WINSIM_MACHINE\"; printf 'image=%s\\n' \"$WINSIM_IMAGE\";\n"
            "  printf 'cmdline=%s\\n' \"$WINSIM_CMDLINE\"; printf 'inherited=%s\\n' \"$WINSIM_TEST_INHERITED\";\n"
            "  printf 'argc=%s\\n' \"$#\"; printf 'argv0=%s\\n' \"$0\"; printf 'pwd=%s\\n' \"$(pwd -P)\";\n"
            "} > \"$WINSIM_MACHINE/drives/c/env.txt\"\n",
            true);
  const std::u16string line = u"C:\\Tools\\env.exe -q \"A B\" \u00e9";
  EXPECT_EQ(runToEnd(line, u"C:\\Users\\User"), 0u);
  ::unsetenv("WINSIM_TEST_INHERITED");
  ::unsetenv("WINSIM_IMAGE");
  const std::string report = readFile(machine.host(u"C:\\env.txt"));
  EXPECT_EQ(reportValue(report, "machine"), machine.folder().string());
  EXPECT_EQ(reportValue(report, "image"), "C:\\Tools\\env.exe");
  EXPECT_EQ(reportValue(report, "cmdline"), toUtf8(line));
  EXPECT_EQ(reportValue(report, "inherited"), "passed on");
  EXPECT_EQ(reportValue(report, "argc"), "0");
  EXPECT_EQ(reportValue(report, "argv0"), machine.host(u"C:\\Tools\\env.exe").string());
  EXPECT_EQ(reportValue(report, "pwd"), std::filesystem::canonical(machine.host(u"C:\\Users\\User")).string());
}

TEST(Process, ProgramStartsInTheCallersCurrentFolderByDefault) {
  TempMachine machine;
  WorkingFolderGuard guard;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  // The test's own working folder lies outside the machine: that is C:\.
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe report C:\\first.txt"), 0u);
  EXPECT_EQ(reportValue(readFile(machine.host(u"C:\\first.txt")), "cwd"), "C:\\");
  ASSERT_TRUE(machine.machine().setCurrentFolder(u"C:\\ProgramData").ok());
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe report C:\\second.txt"), 0u);
  EXPECT_EQ(reportValue(readFile(machine.host(u"C:\\second.txt")), "cwd"), "C:\\ProgramData");
}

TEST(Process, TimedWaitTimesOutWhileTheProgramRunsThenTerminateEndsIt) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  Started started;
  start(started, u"C:\\App\\probe.exe sleep 20000");
  ASSERT_TRUE(started.ok);
  EXPECT_EQ(WaitForSingleObject(started.info.hProcess, 20), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(started.info.hProcess, 0), WAIT_TIMEOUT);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(started.info.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_TRUE(TerminateProcess(started.info.hProcess, 77));
  EXPECT_EQ(started.finish(), 77u);
  // An ended process cannot be ended again.
  EXPECT_FALSE(TerminateProcess(started.info.hProcess, 1));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(Process, ProgramEndedBySignalReportsWhatWindowsWould) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe crash"), 0xC0000005u);

  Started killed;
  start(killed, u"C:\\App\\probe.exe sleep 20000");
  ASSERT_TRUE(killed.ok);
  ASSERT_EQ(::kill(static_cast<pid_t>(killed.info.dwProcessId), SIGKILL), 0);
  EXPECT_EQ(killed.finish(), 1u);
}

TEST(Process, ThreadHandleAndWaitersShareTheProcessEnd) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  Started started;
  start(started, u"C:\\App\\probe.exe sleep 50 exit 9");
  ASSERT_TRUE(started.ok);
  EXPECT_EQ(started.info.dwProcessId, started.info.dwThreadId);
  std::atomic<int> ended{0};
  std::thread other([&] {
    if (WaitForSingleObject(started.info.hProcess, INFINITE) == WAIT_OBJECT_0) ++ended;
  });
  EXPECT_EQ(WaitForSingleObject(started.info.hThread, INFINITE), WAIT_OBJECT_0);
  other.join();
  EXPECT_EQ(ended.load(), 1);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(started.info.hProcess, &code));
  EXPECT_EQ(code, 9u);
  EXPECT_EQ(WaitForSingleObject(started.info.hProcess, 0), WAIT_OBJECT_0);
}

TEST(Process, RefusesWhatNoProgramHereAsksFor) {
  TempMachine machine;
  writeFile(machine, u"C:\\Tools\\answer.exe", "#!/bin/sh\nexit 0\n", true);
  std::u16string line = u"C:\\Tools\\answer.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  EXPECT_FALSE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                              &startup, &info));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
  startup.dwFlags = STARTF_USESTDHANDLES;
  EXPECT_FALSE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
  // A hidden window is no refusal: the registration tool is started that way.
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = 0;
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

TEST(Process, HandlesThatAreNoProcess) {
  EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(0x4321), 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeProcess(reinterpret_cast<HANDLE>(0x4321), &code));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  ASSERT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
  EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(::getpid()));
}

TEST(Process, CommandLineOfAProgramStartedFromTheHost) {
  // This test program was started without WINSIM_CMDLINE: its command line
  // is made of its host arguments.
  const std::u16string line = GetCommandLineW();
  EXPECT_NE(line.find(u"process_test"), std::u16string::npos) << toUtf8(line);
  EXPECT_EQ(GetCommandLineW(), GetCommandLineW());
}

}  // namespace
}  // namespace winsim::testing

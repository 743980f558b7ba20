// `winsim run` and the system tools every new machine gets.
#include <sys/wait.h>

#include "processtesthelpers.h"
#include "winsim/systemprograms.h"

namespace winsim::testing {
namespace {

struct Outcome {
  int exitCode = -1;
  std::string errors;
};

/// Runs the built winsim with arguments (each quoted for the shell).
Outcome winsimRun(const TempMachine& machine, const std::vector<std::string>& arguments) {
  std::string command = "'" + (testProgramFolder() / "winsim").string() + "' run '" + machine.folder().string() + "'";
  for (const auto& argument : arguments) command += " '" + argument + "'";
  const auto errors = machine.folder().parent_path() / "stderr.txt";
  command += " 2>'" + errors.string() + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(errors)};
}

TEST(WinsimRun, RunsAProgramAndExitsWithItsCode) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  const auto outcome = winsimRun(machine, {"C:\\App\\probe.exe report C:\\out.txt exit 7"});
  EXPECT_EQ(outcome.exitCode, 7);
  EXPECT_EQ(outcome.errors, "");
  const std::string report = readFile(machine.host(u"C:\\out.txt"));
  EXPECT_NE(report.find("cmdline=C:\\App\\probe.exe report C:\\out.txt exit 7\n"), std::string::npos) << report;
  EXPECT_NE(report.find("cwd=C:\\\n"), std::string::npos) << report;
}

TEST(WinsimRun, CurrentFolderIsWhereTheProgramIsSearchedAndRuns) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  EXPECT_EQ(winsimRun(machine, {"--cd", "C:\\App", "probe report C:\\out.txt"}).exitCode, 0);
  EXPECT_NE(readFile(machine.host(u"C:\\out.txt")).find("cwd=C:\\App\n"), std::string::npos);
  EXPECT_EQ(winsimRun(machine, {"--cd", "C:\\NoSuchFolder", "probe"}).exitCode, 2);
}

TEST(WinsimRun, ProgramThatCannotStartGetsOneErrorLine) {
  TempMachine machine;
  const auto outcome = winsimRun(machine, {"C:\\App\\missing.exe -q"});
  EXPECT_EQ(outcome.exitCode, 127);
  EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
  EXPECT_NE(outcome.errors.find("C:\\App\\missing.exe"), std::string::npos) << outcome.errors;
}

TEST(WinsimRun, CrashCodeIsToldOnStandardError) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  const auto outcome = winsimRun(machine, {"C:\\App\\probe.exe crash"});
  EXPECT_EQ(outcome.exitCode, 5);  // the low byte of 0xC0000005
  EXPECT_NE(outcome.errors.find("0xC0000005"), std::string::npos) << outcome.errors;
}

TEST(SystemPrograms, AreCopiedIntoTheSystemFolderAndFoundByBareName) {
  TempMachine machine;
  const auto tools = machine.folder().parent_path() / "system32";
  std::filesystem::create_directories(tools);
  std::ofstream(tools / "msiexec.exe") << "#!/bin/sh\nexit 9\n";  // not runnable until installed
  ASSERT_TRUE(installSystemPrograms(machine.machine(), tools).ok());
  EXPECT_EQ(runToEnd(u"msiexec  -x {7DB4C454-5CBC-48FF-B070-7FED49DD181E} -q"), 9u);
  EXPECT_TRUE(std::filesystem::exists(machine.host(u"C:\\Windows\\System32\\msiexec.exe")));
  EXPECT_TRUE(installSystemPrograms(machine.machine(), tools / "none").ok());
}

}  // namespace
}  // namespace winsim::testing

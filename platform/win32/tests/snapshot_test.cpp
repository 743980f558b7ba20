// Process snapshots: the idle process, the profile's processes, and the
// machine's running programs.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

#include "processtesthelpers.h"
#include "tlhelp32.h"
#include "winsim/text.h"

extern char** environ;

namespace winsim::testing {
namespace {

struct Listed {
  DWORD pid;
  DWORD parent;
  std::string name;
};

std::vector<Listed> snapshot() {
  std::vector<Listed> list;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  EXPECT_NE(snap, INVALID_HANDLE_VALUE);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry))
    list.push_back({entry.th32ProcessID, entry.th32ParentProcessID, toUtf8(entry.szExeFile)});
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  CloseHandle(snap);
  return list;
}

bool lists(const std::vector<Listed>& list, const std::string& name) {
  for (const auto& entry : list)
    if (entry.name == name) return true;
  return false;
}

std::vector<std::string> tableFiles(const TempMachine& machine) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(machine.folder() / "state" / "processes", ec))
    names.push_back(entry.path().filename().string());
  return names;
}

char processState(pid_t pid) {
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  const auto close = stat.rfind(')');
  return close == std::string::npos || close + 2 >= stat.size() ? '?' : stat[close + 2];
}

TEST(Snapshot, IdleProcessFirstThenTheProfilesThenRunningPrograms) {
  TempMachine machine({{"processes", "running", " korax.exe , Other.EXE,,"}});
  linkProgram(machine, "probe", u"C:\\Merrowin\\Viewer.exe");
  Started viewer;
  start(viewer, u"C:\\Merrowin\\Viewer.exe waitfor C:\\go.txt");
  ASSERT_TRUE(viewer.ok);

  const auto list = snapshot();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].pid, 0u);
  EXPECT_EQ(list[0].name, "[System Process]");
  EXPECT_EQ(list[1].name, "korax.exe");
  EXPECT_EQ(list[2].name, "Other.EXE");
  EXPECT_NE(list[1].pid, 0u);
  EXPECT_NE(list[1].pid, list[2].pid);
  EXPECT_EQ(list[3].name, "Viewer.exe");
  EXPECT_EQ(list[3].pid, viewer.info.dwProcessId);
  EXPECT_EQ(list[3].parent, GetCurrentProcessId());

  writeFile(machine, u"C:\\go.txt", "go");
  EXPECT_EQ(viewer.finish(), 0u);
  EXPECT_FALSE(lists(snapshot(), "Viewer.exe"));
  EXPECT_TRUE(tableFiles(machine).empty());
}

TEST(Snapshot, AnEndedProgramIsNotListedBeforeItsExitIsCollected) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\quick.exe");
  Started quick;
  start(quick, u"C:\\App\\quick.exe");
  ASSERT_TRUE(quick.ok);
  // Nobody waits for it: it ends and stays a zombie.
  const auto pid = static_cast<pid_t>(quick.info.dwProcessId);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (processState(pid) != 'Z' && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_EQ(processState(pid), 'Z');
  EXPECT_FALSE(lists(snapshot(), "quick.exe"));
}

TEST(Snapshot, RecordsOfDeadProcessesAreDroppedAndRemoved) {
  TempMachine machine;
  const auto folder = machine.folder() / "state" / "processes";
  std::filesystem::create_directories(folder);
  // A pid that no process has, and this process's pid with another start
  // time (the pid of an ended program, now reused).
  std::ofstream(folder / "99999999-5") << "C:\\gone.exe";
  std::ofstream(folder / (std::to_string(::getpid()) + "-1")) << "C:\\reused.exe";
  std::ofstream(folder / "99999998-5.tmp99999998") << "C:\\halfwritten.exe";
  const auto list = snapshot();
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(tableFiles(machine).empty());
}

TEST(Snapshot, ProgramStartedByOtherMeansRegistersItself) {
  TempMachine machine;
  // Started straight from the host, with the variables a program of the
  // machine has: its layer enters it in the table as it starts.
  const std::string machineVariable = "WINSIM_MACHINE=" + machine.folder().string();
  const std::string imageVariable = "WINSIM_IMAGE=C:\\Other\\selfmade.exe";
  const std::string lineVariable = "WINSIM_CMDLINE=selfmade.exe waitfor C:\\go.txt";
  std::vector<char*> envp;
  for (char** entry = environ; *entry; ++entry)
    if (std::string_view(*entry).substr(0, 7) != "WINSIM_") envp.push_back(*entry);
  for (const std::string* variable : {&machineVariable, &imageVariable, &lineVariable})
    envp.push_back(const_cast<char*>(variable->c_str()));
  envp.push_back(nullptr);
  std::string program = (testProgramFolder() / "winsim-probe").string();
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

  bool listed = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!listed && std::chrono::steady_clock::now() < deadline) {
    for (const auto& entry : snapshot())
      if (entry.name == "selfmade.exe" && entry.pid == static_cast<DWORD>(pid)) listed = true;
    if (!listed) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(listed);
  writeFile(machine, u"C:\\go.txt", "go");
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(lists(snapshot(), "selfmade.exe"));
}

TEST(Snapshot, RecordSizeIsChecked) {
  TempMachine machine;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  ASSERT_NE(snap, INVALID_HANDLE_VALUE);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry - 1;
  EXPECT_FALSE(Process32FirstW(snap, &entry));
  EXPECT_EQ(GetLastError(), ERROR_BAD_LENGTH);
  entry.dwSize = sizeof entry;
  ASSERT_TRUE(Process32FirstW(snap, &entry));
  EXPECT_EQ(entry.th32ProcessID, 0u);
  EXPECT_FALSE(Process32NextW(snap, &entry));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  // First starts over.
  ASSERT_TRUE(Process32FirstW(snap, &entry));
  EXPECT_EQ(toUtf8(entry.szExeFile), "[System Process]");
  CloseHandle(snap);

  EXPECT_EQ(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
  EXPECT_FALSE(Process32FirstW(reinterpret_cast<HANDLE>(0x4321), &entry));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace winsim::testing

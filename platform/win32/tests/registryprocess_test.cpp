// The registry shared by the processes of one machine: what one writes the
// other reads, two writers lose nothing, and a writer killed at any moment
// leaves a registry that loads with every write that had returned.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/registry.h"
#include "winsim/registryfile.h"
#include "winsim/text.h"

extern char** environ;

namespace {

using winsim::testing::TempMachine;

/// Starts winsim-regwriter in the current machine (WINSIM_MACHINE is set by
/// TempMachine); returns its pid.
pid_t startWriter(const std::vector<std::string>& args) {
  const std::string program = (winsim::testing::testProgramFolder() / "winsim-regwriter").string();
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0) << program;
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, 0), pid);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// The DWORD value `name` of a key, or -1 when it cannot be read.
long long readDword(HKEY root, const char16_t* path, const std::u16string& name, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return -1;
  DWORD value = 0, size = sizeof value, type = 0;
  const LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_DWORD && size == 4 ? value : -1;
}

/// Waits (a few seconds at most) until a writer has confirmed a write.
void waitForProgress(const std::filesystem::path& progress) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(progress, ec);
    if (!ec && size > 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::u16string valueName(const char* prefix, long long i) { return winsim::fromUtf8(prefix + std::to_string(i)); }

TEST(RegistryProcesses, ASecondProcessReadsWhatTheFirstWrote) {
  TempMachine machine;
  // Read first, so that this process holds the registry as it was.
  EXPECT_EQ(readDword(HKEY_CURRENT_USER, u"Software\\Halvorn\\Shared", u"v0"), -1);

  ASSERT_EQ(waitFor(startWriter({"HKCU\\Software\\Halvorn\\Shared", "v", "0", "20"})), 0);
  ASSERT_EQ(waitFor(startWriter({"--32", "HKLM\\SOFTWARE\\Halvorn\\Shared", "w", "0", "3"})), 0);
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(readDword(HKEY_CURRENT_USER, u"Software\\Halvorn\\Shared", valueName("v", i)), i);
  // The 32-bit writer's key lies in the 32-bit view.
  EXPECT_EQ(readDword(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node\\Halvorn\\Shared", u"w2"), 2);
  EXPECT_EQ(readDword(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\Shared", u"w2", KEY_WOW64_32KEY), 2);
  EXPECT_EQ(readDword(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\Shared", u"w2"), -1);
}

TEST(RegistryProcesses, ConcurrentWritersLoseNoWrite) {
  TempMachine machine;
  constexpr int kCount = 60;
  const pid_t a = startWriter({"HKLM\\SOFTWARE\\Halvorn\\Race", "a", "0", std::to_string(kCount)});
  const pid_t b = startWriter({"HKLM\\SOFTWARE\\Halvorn\\Race", "b", "0", std::to_string(kCount)});
  // This process writes beside them, in the same key.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\Race", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  for (DWORD i = 0; i < 20; ++i)
    ASSERT_EQ(RegSetValueExW(key, valueName("c", i).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), 4),
              ERROR_SUCCESS);
  ASSERT_EQ(waitFor(a), 0);
  ASSERT_EQ(waitFor(b), 0);

  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(values, 2u * kCount + 20);
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(readDword(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\Race", valueName("a", i)), i);
    EXPECT_EQ(readDword(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\Race", valueName("b", i)), i);
  }
}

TEST(RegistryProcesses, AWriterKilledAtAnyMomentLeavesEveryReturnedWrite) {
  TempMachine machine;
  const auto progressPath = machine.folder().parent_path() / "progress";
  const auto registryPath = machine.machine().stateFile("registry.reg");
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pause(0, 30);

  std::set<long long> confirmed;
  constexpr int kKills = 30;
  for (int round = 0; round < kKills; ++round) {
    std::remove(progressPath.c_str());
    const pid_t writer = startWriter(
        {"HKCU\\Software\\Halvorn\\Killed", "k", std::to_string(round * 100000), "0", progressPath.string()});
    // Most kills land after the first write, whatever the speed of the
    // build; every fifth may land before it, while the writer starts.
    if (round % 5 != 0) waitForProgress(progressPath);
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
    ASSERT_EQ(kill(writer, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself";

    std::ifstream progress(progressPath);
    for (long long i; progress >> i;) confirmed.insert(i);
    // The file loads on its own, with no help from this process's cache ...
    auto tree = winsim::readRegistryFile(registryPath);
    ASSERT_TRUE(tree.ok()) << "round " << round << ": " << tree.error().message;
    // ... and every write that had returned is in it.
    for (long long i : confirmed)
      ASSERT_EQ(readDword(HKEY_CURRENT_USER, u"Software\\Halvorn\\Killed", valueName("k", i)), i)
          << "round " << round << " lost k" << i;
  }
  EXPECT_GE(confirmed.size(), std::size_t{kKills * 4 / 5});  // the rounds that waited for a first write
}

}  // namespace

// Mutexes: ownership within a process, and named mutexes across the
// processes of a machine.
#include <signal.h>

#include <atomic>
#include <thread>

#include "processtesthelpers.h"
#include "win32/synch.h"

namespace winsim::testing {
namespace {

constexpr const char16_t* kName = u"DWG Merrowin";

TEST(Mutex, OwnershipIsPerThreadAndRecursive) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // owned twice now
  std::thread other([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, 10), WAIT_TIMEOUT);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
  });
  other.join();
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
  std::thread taker([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
  });
  taker.join();
  EXPECT_TRUE(CloseHandle(mutex));
}

TEST(Mutex, SecondCreationInTheProcessReportsThatItExists) {
  TempMachine machine;
  SetLastError(ERROR_ACCESS_DENIED);
  HANDLE first = CreateMutexW(nullptr, TRUE, kName);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE second = CreateMutexW(nullptr, TRUE, kName);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_NE(first, second);
  HANDLE local = CreateMutexW(nullptr, FALSE, u"Local\\DWG Merrowin");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  HANDLE otherCase = CreateMutexW(nullptr, FALSE, u"dwg merrowin");  // names are case-sensitive
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  // Both handles name one mutex, which this thread owns.
  EXPECT_TRUE(ReleaseMutex(second));
  EXPECT_FALSE(ReleaseMutex(first));
  for (HANDLE h : {first, second, local, otherCase}) CloseHandle(h);
  HANDLE again = CreateMutexW(nullptr, FALSE, kName);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(again);
}

TEST(Mutex, NamesAndOpening) {
  TempMachine machine;
  EXPECT_EQ(CreateMutexW(nullptr, FALSE, u"a\\b"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_BAD_PATHNAME);
  EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, u"nobody has it"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  const std::u16string longName(200, u'\u4e2d');  // longer than a file name in UTF-8
  HANDLE created = CreateMutexW(nullptr, FALSE, longName.c_str());
  ASSERT_NE(created, nullptr);
  HANDLE opened = OpenMutexW(SYNCHRONIZE, FALSE, longName.c_str());
  EXPECT_NE(opened, nullptr);
  HANDLE global = CreateMutexW(nullptr, FALSE, u"Global\\x");
  EXPECT_NE(global, nullptr);
  for (HANDLE h : {created, opened, global}) CloseHandle(h);
}

TEST(Mutex, ChildHoldsItParentSeesItExistsAndGetsItWhenReleased) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  Started child;
  start(child,
        u"C:\\App\\probe.exe mutex \"DWG Merrowin\" touch C:\\held waitfor C:\\go release touch C:\\released "
        u"waitfor C:\\end");
  ASSERT_TRUE(child.ok);
  ASSERT_TRUE(waitForFile(machine.host(u"C:\\held")));

  HANDLE mutex = CreateMutexW(nullptr, TRUE, kName);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(WaitForSingleObject(mutex, 20), WAIT_TIMEOUT);  // bInitialOwner was ignored: the child owns it
  EXPECT_FALSE(ReleaseMutex(mutex));

  writeFile(machine, u"C:\\go", "go");
  EXPECT_EQ(WaitForSingleObject(mutex, 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(std::filesystem::exists(machine.host(u"C:\\released")));
  EXPECT_TRUE(ReleaseMutex(mutex));
  writeFile(machine, u"C:\\end", "end");
  EXPECT_EQ(child.finish(), 0u);
  CloseHandle(mutex);
}

TEST(Mutex, ParentHoldsItChildSeesItExists) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  HANDLE mutex = CreateMutexW(nullptr, TRUE, kName);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe mutex \"DWG Merrowin\""), 183u);
  // Once released it still exists (this process has it open) and the child
  // can own it; once closed it is gone.
  ASSERT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe wait \"DWG Merrowin\""), 0u);
  CloseHandle(mutex);
  EXPECT_EQ(runToEnd(u"C:\\App\\probe.exe mutex \"DWG Merrowin\""), 0u);
}

TEST(Mutex, GoneWhenItsOwnerIsKilled) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  Started child;
  start(child, u"C:\\App\\probe.exe mutex \"DWG Merrowin\" touch C:\\held sleep 20000");
  ASSERT_TRUE(child.ok);
  ASSERT_TRUE(waitForFile(machine.host(u"C:\\held")));
  ASSERT_EQ(::kill(static_cast<pid_t>(child.info.dwProcessId), SIGKILL), 0);
  child.finish();
  HANDLE mutex = CreateMutexW(nullptr, TRUE, kName);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  // A new mutex: the killed owner's mark does not make it abandoned.
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  CloseHandle(mutex);
}

TEST(Mutex, AbandonedWhenItsOwnerDiesWhileOthersHaveItOpen) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\App\\probe.exe");
  Started child;
  start(child, u"C:\\App\\probe.exe mutex \"DWG Merrowin\" touch C:\\held sleep 20000");
  ASSERT_TRUE(child.ok);
  ASSERT_TRUE(waitForFile(machine.host(u"C:\\held")));
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kName);
  ASSERT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_EQ(::kill(static_cast<pid_t>(child.info.dwProcessId), SIGKILL), 0);
  child.finish();
  EXPECT_EQ(WaitForSingleObject(mutex, 10000), WAIT_ABANDONED);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(mutex);
}

class MutexThreads : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(MutexThreads, TwoThreadsTakeTurns) {
  TempMachine machine;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, GetParam());
  ASSERT_NE(mutex, nullptr);
  int counter = 0;  // guarded by the mutex alone
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  auto work = [&] {
    for (int i = 0; i < 200; ++i) {
      ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
      if (inside.fetch_add(1) != 0) overlapped = true;
      ++counter;
      inside.fetch_sub(1);
      ASSERT_TRUE(ReleaseMutex(mutex));
    }
  };
  std::thread a(work);
  std::thread b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 400);
  EXPECT_FALSE(overlapped.load());
  CloseHandle(mutex);
}

TEST_P(MutexThreads, TimedWaitOfAnotherThreadTimesOut) {
  TempMachine machine;
  HANDLE mutex = CreateMutexW(nullptr, TRUE, GetParam());
  std::thread other([&] { EXPECT_EQ(WaitForSingleObject(mutex, 15), WAIT_TIMEOUT); });
  other.join();
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(mutex);
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, MutexThreads, ::testing::Values(nullptr, u"turns"),
                         [](const auto& info) { return std::string(info.param ? "Named" : "Unnamed"); });

}  // namespace
}  // namespace winsim::testing

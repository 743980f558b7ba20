// ShellExecuteW: starting a program without waiting for it.
#include "processtesthelpers.h"
#include "shellapi.h"
#include "tlhelp32.h"
#include "winsim/text.h"

namespace winsim::testing {
namespace {

int resultOf(HINSTANCE value) { return static_cast<int>(reinterpret_cast<std::intptr_t>(value)); }

bool snapshotLists(const std::string& name) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry))
    if (toUtf8(entry.szExeFile) == name) found = true;
  CloseHandle(snap);
  return found;
}

TEST(ShellExecute, OpensAProgramWithItsParametersAndDoesNotWait) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\Merrowin\\HUninstall.exe");
  const HINSTANCE result = ShellExecuteW(nullptr, u"open", u"C:\\Merrowin\\HUninstall.exe",
                                         u"report C:\\seen.txt waitfor C:\\go.txt", u"C:\\Users", SW_SHOWNORMAL);
  EXPECT_GT(resultOf(result), 32);
  // The program waits for C:\go.txt, which nobody has written yet: the call
  // came back while it runs.
  EXPECT_TRUE(snapshotLists("HUninstall.exe"));
  ASSERT_TRUE(waitForFile(machine.host(u"C:\\seen.txt")));
  const std::string report = readFile(machine.host(u"C:\\seen.txt"));
  EXPECT_NE(report.find("cmdline=\"C:\\Merrowin\\HUninstall.exe\" report C:\\seen.txt waitfor C:\\go.txt\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("cwd=C:\\Users\n"), std::string::npos) << report;
  writeFile(machine, u"C:\\go.txt", "go");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (snapshotLists("HUninstall.exe") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(snapshotLists("HUninstall.exe"));
}

TEST(ShellExecute, NoVerbOpensToo) {
  TempMachine machine;
  linkProgram(machine, "probe", u"C:\\Merrowin\\kxStart.exe");
  EXPECT_GT(resultOf(ShellExecuteW(nullptr, nullptr, u"C:\\Merrowin\\kxStart.exe", u"touch C:\\started", nullptr,
                                   SW_SHOWNORMAL)),
            32);
  EXPECT_TRUE(waitForFile(machine.host(u"C:\\started")));
}

TEST(ShellExecute, FailuresAsTheShellReportsThem) {
  TempMachine machine;
  writeFile(machine, u"C:\\Bad\\text.exe", "just text\n", true);
  writeFile(machine, u"C:\\Docs\\readme.txt", "a document\n");
  writeFile(machine, u"C:\\Docs\\tool.exe", "#!/bin/sh\nexit 0\n", true);
  struct Case {
    const char16_t* verb;
    const char16_t* file;
    int result;
  } const cases[] = {
      {u"open", u"C:\\Docs\\missing.exe", SE_ERR_FNF},
      {u"open", u"C:\\NoSuchFolder\\x.exe", SE_ERR_PNF},
      {u"open", u"C:\\Bad\\text.exe", 11},  // ERROR_BAD_FORMAT
      {u"open", u"C:\\Docs\\readme.txt", SE_ERR_NOASSOC},
      {u"print", u"C:\\Docs\\tool.exe", SE_ERR_NOASSOC},
      {u"open", u"C:\\Docs\\missing.txt", SE_ERR_FNF},
  };
  for (const auto& c : cases)
    EXPECT_EQ(resultOf(ShellExecuteW(nullptr, c.verb, c.file, nullptr, nullptr, SW_SHOWNORMAL)), c.result)
        << toUtf8(c.file);
}

}  // namespace
}  // namespace winsim::testing

// How CreateProcessW finds a program's image from its command line.
#include <stdlib.h>

#include "processtesthelpers.h"
#include "winsim/text.h"

namespace winsim::testing {
namespace {

// Every program of these tests writes its own image path to C:\seen.txt.
constexpr const char* kTellImage = "#!/bin/sh\nprintf '%s' \"$WINSIM_IMAGE\" > \"$WINSIM_MACHINE/drives/c/seen.txt\"\n";

class ProcessImage : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* path : {
             u"C:\\Program Files\\Merrowin\\tool.exe",
             u"C:\\Program Files\\Merrowin\\first.exe",
             u"C:\\Program Files\\Merrowin\\first two.exe",
             u"C:\\Bin\\plain",
             u"C:\\Windows\\System32\\sysonly.exe",
             u"C:\\Windows\\winonly.exe",
             u"C:\\Windows\\System32\\both.exe",
             u"C:\\Windows\\both.exe",
             u"C:\\Work\\both.exe",
             u"C:\\Own\\both.exe",
             u"C:\\Work\\local.exe",
             u"C:\\Windows\\System32\\local.exe",
         })
      writeFile(m_machine, path, kTellImage, true);
    std::filesystem::create_directories(m_machine.host(u"C:\\Dir.d"));
    ASSERT_TRUE(m_machine.machine().setCurrentFolder(u"C:\\Work").ok());
  }
  void TearDown() override { ::unsetenv("WINSIM_IMAGE"); }

  /// Starts a command line; returns the image the program saw, or the error.
  std::string imageOf(std::u16string commandLine, const char16_t* applicationName = nullptr) {
    std::filesystem::remove(m_machine.host(u"C:\\seen.txt"));
    Started started;
    start(started, std::move(commandLine), nullptr, applicationName);
    if (!started.ok) return "error " + std::to_string(started.error);
    started.finish();
    return readFile(m_machine.host(u"C:\\seen.txt"));
  }

  TempMachine m_machine;
  WorkingFolderGuard m_guard;  // back out of the machine before it is removed
};

TEST_F(ProcessImage, CommandLineRules) {
  struct Case {
    const char16_t* commandLine;
    const char* image;
  } const cases[] = {
      {u"\"C:\\Program Files\\Merrowin\\tool.exe\" -q", "C:\\Program Files\\Merrowin\\tool.exe"},
      {u"   \"C:\\Program Files\\Merrowin\\tool.exe\"", "C:\\Program Files\\Merrowin\\tool.exe"},
      {u"\"C:\\Program Files\\Merrowin\\tool.exe", "C:\\Program Files\\Merrowin\\tool.exe"},  // no closing quote
      // Unquoted, the shortest blank-delimited prefix that names a file wins.
      {u"C:\\Program Files\\Merrowin\\tool.exe -q -norestart", "C:\\Program Files\\Merrowin\\tool.exe"},
      {u"C:\\Program Files\\Merrowin\\first two.exe", "C:\\Program Files\\Merrowin\\first.exe"},
      {u"\"C:\\Program Files\\Merrowin\\first two.exe\"", "C:\\Program Files\\Merrowin\\first two.exe"},
      // ".exe" is added to a name without extension, not to one ending in a period.
      {u"C:\\Program Files\\Merrowin\\tool -q", "C:\\Program Files\\Merrowin\\tool.exe"},
      {u"C:\\Bin\\plain.", "C:\\Bin\\plain"},
      {u"C:\\Bin\\plain", "error 2"},
      // Names are matched without case and kept as written.
      {u"c:\\program files\\MERROWIN\\TOOL.EXE", "C:\\program files\\MERROWIN\\TOOL.EXE"},
      // A path with a folder is taken from the current folder.
      {u"..\\Program Files\\Merrowin\\tool.exe", "C:\\Program Files\\Merrowin\\tool.exe"},
      // A bare name: current folder, then the system folder, then Windows.
      {u"local -x", "C:\\Work\\local.exe"},
      {u"both", "C:\\Work\\both.exe"},
      {u"sysonly.exe -s", "C:\\Windows\\System32\\sysonly.exe"},
      {u"winonly", "C:\\Windows\\winonly.exe"},
      // What cannot be found or run.
      {u"C:\\Program Files\\Merrowin\\missing.exe -q", "error 2"},
      {u"C:\\NoSuchFolder\\x.exe", "error 3"},
      {u"nowhere", "error 2"},
      {u"\"C:\\Dir.d\"", "error 5"},
      {u"", "error 87"},
      {u"   ", "error 87"},
  };
  for (const auto& c : cases) EXPECT_EQ(imageOf(c.commandLine), c.image) << toUtf8(c.commandLine);
}

TEST_F(ProcessImage, CallingProgramsFolderIsSearchedFirst) {
  ::setenv("WINSIM_IMAGE", "C:\\Own\\caller.exe", 1);
  EXPECT_EQ(imageOf(u"both -q"), "C:\\Own\\both.exe");
  EXPECT_EQ(imageOf(u"local"), "C:\\Work\\local.exe");
}

TEST_F(ProcessImage, SearchFindsAProgramInTheCallersOwnFolder) {
  // The probe lies in C:\Kit with a helper beside it, and runs the helper by
  // bare name from the current folder C:\Work.
  linkProgram(m_machine, "probe", u"C:\\Kit\\probe.exe");
  writeFile(m_machine, u"C:\\Kit\\helper.exe", "#!/bin/sh\nexit 33\n", true);
  EXPECT_EQ(runToEnd(u"C:\\Kit\\probe.exe run \"helper -a\""), 33u);
}

TEST_F(ProcessImage, ApplicationNameIsTakenAsWritten) {
  EXPECT_EQ(imageOf(u"anything -q", u"C:\\Program Files\\Merrowin\\tool.exe"), "C:\\Program Files\\Merrowin\\tool.exe");
  EXPECT_EQ(imageOf(u"", u"..\\Program Files\\Merrowin\\tool.exe"), "C:\\Program Files\\Merrowin\\tool.exe");
  // Neither searched nor given an extension.
  EXPECT_EQ(imageOf(u"x", u"C:\\Program Files\\Merrowin\\tool"), "error 2");
  EXPECT_EQ(imageOf(u"x", u"sysonly.exe"), "error 2");
}

TEST_F(ProcessImage, FilesThatAreNotRunnablePrograms) {
  writeFile(m_machine, u"C:\\Bad\\text.exe", "just text\n", true);             // run bit, no program
  writeFile(m_machine, u"C:\\Bad\\script.exe", "#!/bin/sh\nexit 0\n", false);  // program, no run bit
  writeFile(m_machine, u"C:\\Bad\\empty.exe", "", true);
  writeFile(m_machine, u"C:\\Bad\\noshell.exe", "#!/no/such/shell\nexit 0\n", true);  // its interpreter is missing
  const auto elf = m_machine.host(u"C:\\Bad\\elf.exe");
  std::filesystem::copy_file(testProgramFolder() / "winsim-probe", elf);
  std::filesystem::permissions(
      elf,
      std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::remove);
  for (const char16_t* line : {u"C:\\Bad\\text.exe", u"C:\\Bad\\script.exe", u"C:\\Bad\\empty.exe",
                               u"C:\\Bad\\noshell.exe", u"C:\\Bad\\elf.exe"})
    EXPECT_EQ(imageOf(line), "error 193") << toUtf8(line);
}

TEST_F(ProcessImage, CurrentFolderOfTheProgramMustExist) {
  Started started;
  start(started, u"C:\\Program Files\\Merrowin\\tool.exe", u"C:\\NoSuchFolder");
  EXPECT_FALSE(started.ok);
  EXPECT_EQ(started.error, ERROR_DIRECTORY);
}

}  // namespace
}  // namespace winsim::testing

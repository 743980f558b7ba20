#include "winsim/machine.h"

#include <gtest/gtest.h>

#include <fstream>

#include "testing/tempmachine.h"
#include "winsim/text.h"

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

TEST(Machine, NewMachineHasTheUsualFolders) {
  TempMachine m({{"user", "name", "Astrid"}});
  for (const char16_t* folder : {u"C:\\Windows\\System32", u"C:\\Program Files", u"C:\\Program Files (x86)\\Common Files",
                                 u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs", u"C:\\Users\\Public\\Desktop",
                                 u"C:\\Users\\Astrid\\Documents", u"C:\\Users\\Astrid\\AppData\\Local\\Temp"})
    EXPECT_TRUE(fs::is_directory(m.host(folder))) << winsim::toUtf8(folder);
  EXPECT_EQ(m.machine().profileString(u"folders", u"documents"), u"C:\\Users\\Astrid\\Documents");
  EXPECT_EQ(m.machine().profileString(u"folders", u"temp"), u"C:\\Users\\Astrid\\AppData\\Local\\Temp\\");
}

TEST(Machine, ProfileDefaultsAndSettings) {
  TempMachine m({{"system", "codepage", "936"}, {"user", "elevated", "0"}});
  EXPECT_EQ(m.machine().profileInt(u"system", u"codepage", 0), 936);
  EXPECT_EQ(m.machine().profileInt(u"USER", u"Elevated", 1), 0);
  EXPECT_EQ(m.machine().profileString(u"system", u"version"), u"6.1");
  EXPECT_EQ(m.machine().profileInt(u"disk", u"C", 0), 107374182400LL);
  EXPECT_EQ(m.machine().profileInt(u"disk", u"Q", -1), -1);
}

TEST(Machine, ProfileChangesAreSeenByAnOpenMachine) {
  TempMachine m;
  auto second = winsim::Machine::open(m.folder());
  ASSERT_TRUE(second.ok());
  ASSERT_TRUE(second.value()->setProfileValue(u"disk", u"C", u"1234").ok());
  EXPECT_EQ(m.machine().profileInt(u"disk", u"C", 0), 1234);
}

TEST(Machine, RefusesToOverwriteAMachineAndOpensOnlyMachines) {
  TempMachine m;
  EXPECT_FALSE(winsim::Machine::create(m.folder()).ok());
  EXPECT_FALSE(winsim::Machine::open(m.folder() / "drives").ok());
}

TEST(Machine, PathLookupIgnoresCaseOfExistingComponents) {
  TempMachine m;
  fs::create_directories(m.folder() / "drives/c/Foo/Bar");
  std::ofstream(m.folder() / "drives/c/Foo/Bar/File.TXT") << "x";
  struct Case {
    const char16_t* windows;
    const char* host;  // relative to drives/c
  } cases[] = {
      {u"c:\\foo\\bar\\file.txt", "Foo/Bar/File.TXT"},
      {u"C:/FOO/bar/FILE.txt", "Foo/Bar/File.TXT"},
      {u"C:\\Foo\\.\\x\\..\\Bar\\File.TXT", "Foo/Bar/File.TXT"},
      {u"C:\\foo\\New Folder\\a.txt", "Foo/New Folder/a.txt"},  // new names keep their case
      {u"C:\\foo\\\\bar\\\\", "Foo/Bar"},
      {u"C:\\..\\..\\foo", "Foo"},  // cannot climb above the root
  };
  for (const auto& c : cases) {
    auto host = m.machine().hostPath(c.windows);
    ASSERT_TRUE(host.ok()) << winsim::toUtf8(c.windows);
    EXPECT_EQ(host.value(), m.folder() / "drives/c" / c.host) << winsim::toUtf8(c.windows);
  }
}

TEST(Machine, PathsThatLeadNowhere) {
  TempMachine m;
  EXPECT_EQ(m.machine().hostPath(u"Q:\\x").error().code, 3u);        // no such drive
  EXPECT_EQ(m.machine().hostPath(u"\\\\server\\share").error().code, 53u);  // network
  EXPECT_FALSE(m.machine().hostPath(u"").ok());
}

TEST(Machine, MappedDriveIsAHostFolder) {
  const fs::path package = fs::temp_directory_path() / ("winsim-drive-" + std::to_string(::getpid()));
  fs::create_directories(package / "Msi");
  {
    TempMachine m({}, {{'d', package}});
    EXPECT_EQ(m.host(u"d:\\msi"), package / "Msi");
    EXPECT_EQ(m.machine().windowsPath(package / "Msi").value_or(u""), u"D:\\Msi");
  }
  fs::remove_all(package);
}

TEST(Machine, CurrentFolderFollowsTheHostWorkingFolder) {
  TempMachine m;
  const fs::path before = fs::current_path();
  ASSERT_TRUE(m.machine().setCurrentFolder(u"c:\\users").ok());
  EXPECT_EQ(m.machine().currentFolder(), u"C:\\Users");
  auto relative = m.machine().fullWindowsPath(u"User\\Documents");
  EXPECT_EQ(relative.value(), u"C:\\Users\\User\\Documents");
  EXPECT_EQ(m.machine().fullWindowsPath(u"\\Windows").value(), u"C:\\Windows");
  fs::current_path(before);
  EXPECT_EQ(m.machine().currentFolder(), u"C:\\");
}

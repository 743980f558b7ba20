#include "win32/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testing/tempmachine.h"
#include "win32/crt.h"
#include "win32/errors.h"
#include "win32/profile.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

void makeFile(const fs::path& host, const std::string& text = "data") {
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << text;
}

std::string readFile(const fs::path& host) {
  std::ifstream in(host, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(FileAttributes, SetAndReadBackAsWindowsReportsThem) {
  TempMachine machine;
  makeFile(machine.host(u"C:\\a.txt"));
  fs::create_directories(machine.host(u"C:\\Folder"));
  EXPECT_EQ(GetFileAttributesW(u"C:\\a.txt"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesW(u"C:\\Folder"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesW(u"C:\\"), FILE_ATTRIBUTE_DIRECTORY);

  constexpr DWORD R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM,
                  A = FILE_ATTRIBUTE_ARCHIVE, N = FILE_ATTRIBUTE_NORMAL, D = FILE_ATTRIBUTE_DIRECTORY;
  struct Case {
    const char16_t* path;
    DWORD set;
    DWORD expected;
  } const cases[] = {
      {u"C:\\a.txt", N, N},         {u"C:\\a.txt", R, R},           {u"C:\\a.txt", H | A, H | A},
      {u"C:\\a.txt", S | H | R, S | H | R}, {u"C:\\a.txt", D | A, A}, {u"C:\\a.txt", N | H, H},
      {u"C:\\a.txt", A, A},         {u"C:\\Folder", N, D},          {u"C:\\Folder", R | H, D | R | H},
      {u"C:\\Folder", 0, D},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << fs::path(std::u16string(c.path)) << " set 0x" << std::hex << c.set);
    ASSERT_TRUE(SetFileAttributesW(c.path, c.set));
    EXPECT_EQ(GetFileAttributesW(c.path), c.expected);
  }
  EXPECT_FALSE(SetFileAttributesW(u"C:\\missing.txt", N));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FileAttributes, ReadOnlyIsTheHostWriteBitAndRefusesChanges) {
  TempMachine machine;
  const fs::path host = machine.host(u"C:\\locked.txt");
  makeFile(host, "keep");
  ASSERT_TRUE(SetFileAttributesW(u"C:\\locked.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(fs::status(host).permissions() & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write),
            fs::perms::none);

  EXPECT_FALSE(DeleteFileW(u"C:\\locked.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(_wopen(u"C:\\locked.txt", _O_WRONLY), -1);
  EXPECT_EQ(errno, EACCES);
  makeFile(machine.host(u"C:\\other.txt"), "new");
  EXPECT_FALSE(CopyFileW(u"C:\\other.txt", u"C:\\locked.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(WritePrivateProfileStringW(u"s", u"k", u"v", u"C:\\locked.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(readFile(host), "keep");

  // A host program sees the bit too, and clearing it lets the file go.
  ASSERT_TRUE(SetFileAttributesW(u"C:\\locked.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_NE(fs::status(host).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_TRUE(DeleteFileW(u"C:\\locked.txt"));
  EXPECT_FALSE(fs::exists(host));
}

TEST(FileAttributes, TravelWithMovesAndCopies) {
  TempMachine machine;
  makeFile(machine.host(u"C:\\a.txt"));
  ASSERT_TRUE(SetFileAttributesW(u"C:\\a.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(MoveFileExW(u"C:\\a.txt", u"C:\\b.txt", 0));
  EXPECT_EQ(GetFileAttributesW(u"C:\\b.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(CopyFileW(u"C:\\b.txt", u"C:\\c.txt", TRUE));
  EXPECT_EQ(GetFileAttributesW(u"C:\\c.txt"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  // A deleted file takes its attributes with it.
  ASSERT_TRUE(DeleteFileW(u"C:\\c.txt"));
  makeFile(machine.host(u"C:\\c.txt"));
  EXPECT_EQ(GetFileAttributesW(u"C:\\c.txt"), FILE_ATTRIBUTE_ARCHIVE);
}

TEST(Folders, CreateAndRemoveWithWindowsErrors) {
  TempMachine machine;
  EXPECT_TRUE(CreateDirectoryW(u"C:\\One", nullptr));
  EXPECT_TRUE(CreateDirectoryW(u"C:\\One\\Two\\", nullptr));
  EXPECT_TRUE(fs::is_directory(machine.folder() / "drives" / "c" / "One" / "Two"));

  EXPECT_FALSE(CreateDirectoryW(u"C:\\One", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  makeFile(machine.host(u"C:\\One\\file.txt"));
  EXPECT_FALSE(CreateDirectoryW(u"C:\\One\\file.txt", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryW(u"C:\\Missing\\Three", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(CreateDirectoryW(u"C:\\A<B", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);

  EXPECT_FALSE(RemoveDirectoryW(u"C:\\One"));
  EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
  EXPECT_FALSE(RemoveDirectoryW(u"C:\\One\\file.txt"));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  EXPECT_FALSE(RemoveDirectoryW(u"C:\\One\\Gone"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(SetFileAttributesW(u"C:\\One\\Two", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(RemoveDirectoryW(u"C:\\One\\Two"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  ASSERT_TRUE(SetFileAttributesW(u"C:\\One\\Two", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(RemoveDirectoryW(u"c:\\one\\two"));
  EXPECT_FALSE(fs::exists(machine.folder() / "drives" / "c" / "One" / "Two"));
}

TEST(Folders, TheCurrentFolderCannotBeRemoved) {
  TempMachine machine;
  const fs::path saved = fs::current_path();
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Here", nullptr));
  ASSERT_TRUE(SetCurrentDirectoryW(u"C:\\Here"));
  EXPECT_FALSE(RemoveDirectoryW(u"C:\\Here"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  ASSERT_TRUE(SetCurrentDirectoryW(u"C:\\"));
  EXPECT_TRUE(RemoveDirectoryW(u"C:\\Here"));
  EXPECT_FALSE(SetCurrentDirectoryW(u"C:\\Here"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  fs::current_path(saved);
}

TEST(DeleteFile, RefusesFoldersMissingFilesAndOpenFiles) {
  TempMachine machine;
  fs::create_directories(machine.host(u"C:\\Dir"));
  EXPECT_FALSE(DeleteFileW(u"C:\\Dir"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteFileW(u"C:\\Dir\\none.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  makeFile(machine.host(u"C:\\Dir\\open.txt"));
  const int fd = _wopen(u"C:\\Dir\\open.txt", _O_RDONLY);
  ASSERT_GE(fd, 0);
  EXPECT_FALSE(DeleteFileW(u"C:\\Dir\\open.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(MoveFileExW(u"C:\\Dir\\open.txt", u"C:\\Dir\\moved.txt", 0));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  _close(fd);
  EXPECT_TRUE(DeleteFileW(u"C:\\Dir\\open.txt"));
}

TEST(CopyFile, ReplacesOnlyWhenAllowedAndKeepsRunBitsAndTimes) {
  TempMachine machine;
  const fs::path source = machine.host(u"C:\\Pkg\\HUninstall.exe");
  makeFile(source, "program");
  fs::permissions(source, fs::perms::owner_exec, fs::perm_options::add);
  fs::last_write_time(source, fs::last_write_time(source) - std::chrono::hours(48));
  makeFile(machine.host(u"C:\\Dest\\HUninstall.exe"), "old");

  EXPECT_FALSE(CopyFileW(u"C:\\Pkg\\HUninstall.exe", u"C:\\Dest\\HUninstall.exe", TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(readFile(machine.host(u"C:\\Dest\\HUninstall.exe")), "old");

  ASSERT_TRUE(CopyFileW(u"C:\\Pkg\\HUninstall.exe", u"C:\\dest\\huninstall.exe", FALSE));
  const fs::path copy = machine.host(u"C:\\Dest\\HUninstall.exe");
  EXPECT_EQ(readFile(copy), "program");
  EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(fs::last_write_time(copy), fs::last_write_time(source));

  struct Case {
    const char16_t* from;
    const char16_t* to;
    DWORD error;
  } const failures[] = {
      {u"C:\\Pkg\\missing.exe", u"C:\\Dest\\x.exe", ERROR_FILE_NOT_FOUND},
      {u"C:\\NoPkg\\missing.exe", u"C:\\Dest\\x.exe", ERROR_PATH_NOT_FOUND},
      {u"C:\\Pkg\\HUninstall.exe", u"C:\\NoDest\\x.exe", ERROR_PATH_NOT_FOUND},
      {u"C:\\Pkg\\HUninstall.exe", u"C:\\PKG\\huninstall.EXE", ERROR_SHARING_VIOLATION},
      {u"C:\\Pkg", u"C:\\Dest\\Pkg", ERROR_ACCESS_DENIED},
      {u"C:\\Pkg\\HUninstall.exe", u"C:\\Dest", ERROR_ACCESS_DENIED},
  };
  for (const auto& c : failures) {
    SCOPED_TRACE(fs::path(std::u16string(c.from)).string() + " -> " + fs::path(std::u16string(c.to)).string());
    EXPECT_FALSE(CopyFileW(c.from, c.to, FALSE));
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_FALSE(fs::exists(machine.folder() / "drives" / "c" / "Dest" / "x.exe"));
}

TEST(MoveFile, ReplacesRenamesCaseAndCrossesDrivesOnlyWhenAllowed) {
  TempMachine machine({{"disk", "D", "1000000"}});
  makeFile(machine.host(u"C:\\a.txt"), "a");
  makeFile(machine.host(u"C:\\b.txt"), "b");

  EXPECT_FALSE(MoveFileExW(u"C:\\a.txt", u"C:\\b.txt", 0));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(MoveFileExW(u"C:\\a.txt", u"C:\\b.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(readFile(machine.host(u"C:\\b.txt")), "a");
  EXPECT_EQ(GetFileAttributesW(u"C:\\a.txt"), INVALID_FILE_ATTRIBUTES);

  // A new spelling of the same name renames the entry.
  ASSERT_TRUE(MoveFileExW(u"C:\\b.txt", u"C:\\B.TXT", 0));
  EXPECT_TRUE(fs::exists(machine.folder() / "drives" / "c" / "B.TXT"));
  EXPECT_FALSE(fs::exists(machine.folder() / "drives" / "c" / "b.txt"));

  EXPECT_FALSE(MoveFileExW(u"C:\\B.TXT", u"D:\\b.txt", 0));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SAME_DEVICE);
  ASSERT_TRUE(MoveFileExW(u"C:\\B.TXT", u"D:\\b.txt", MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(readFile(machine.folder() / "drives" / "d" / "b.txt"), "a");
  EXPECT_EQ(GetFileAttributesW(u"C:\\B.TXT"), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(CreateDirectoryW(u"C:\\Tree", nullptr));
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Tree\\Sub", nullptr));
  EXPECT_FALSE(MoveFileExW(u"C:\\Tree", u"C:\\Tree\\Sub\\Tree", 0));
  EXPECT_FALSE(MoveFileExW(u"C:\\Tree", u"D:\\Tree", MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SAME_DEVICE);
  EXPECT_TRUE(MoveFileExW(u"C:\\Tree", u"C:\\Moved", 0));
  EXPECT_EQ(GetFileAttributesW(u"C:\\Moved\\Sub"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(MoveFileExW(u"C:\\Moved", u"C:\\Later", MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(DiskSpace, ComesFromTheProfileForAnExistingFolder) {
  const fs::path extra = fs::temp_directory_path() / ("winsim-drive-e-" + std::to_string(::getpid()));
  fs::create_directories(extra);
  {
    TempMachine machine({{"disk", "C", "524288000"}}, {{'E', extra}});
    ULARGE_INTEGER free{}, total{}, totalFree{};
    for (const char16_t* folder : {u"C:\\", u"C:", u"c:\\program files", u"C:/Windows/System32"}) {
      SCOPED_TRACE(fs::path(std::u16string(folder)).string());
      ASSERT_TRUE(GetDiskFreeSpaceExW(folder, &free, &total, &totalFree));
      EXPECT_EQ(free.QuadPart, 524288000u);
      EXPECT_EQ(totalFree.QuadPart, 524288000u);
      EXPECT_GE(total.QuadPart, free.QuadPart);
    }
    ASSERT_TRUE(GetDiskFreeSpaceExW(nullptr, &free, nullptr, nullptr));

    struct Case {
      const char16_t* folder;
      DWORD error;
    } const failures[] = {
        {u"C:\\Not\\There", ERROR_PATH_NOT_FOUND},
        {u"Q:\\", ERROR_PATH_NOT_FOUND},
        {u"\\\\server\\share", ERROR_BAD_NETPATH},
    };
    for (const auto& c : failures) {
      EXPECT_FALSE(GetDiskFreeSpaceExW(c.folder, &free, nullptr, nullptr));
      EXPECT_EQ(GetLastError(), c.error);
    }
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"E:\\", &free, nullptr, nullptr));
    ASSERT_TRUE(machine.machine().setProfileValue(u"disk", u"E", u""));
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"E:\\", &free, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_READY);
  }
  fs::remove_all(extra);
}

TEST(DiskSpace, AFullDriveRefusesNewData) {
  TempMachine machine({{"disk", "D", "0"}});
  makeFile(machine.host(u"C:\\data.bin"), "payload");
  makeFile(machine.host(u"C:\\empty.bin"), "");

  EXPECT_FALSE(CopyFileW(u"C:\\data.bin", u"D:\\data.bin", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(GetFileAttributesW(u"D:\\data.bin"), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(MoveFileExW(u"C:\\data.bin", u"D:\\data.bin", MOVEFILE_COPY_ALLOWED));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(GetFileAttributesW(u"C:\\data.bin"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_FALSE(WritePrivateProfileStringW(u"s", u"k", u"v", u"D:\\x.ini"));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);

  // Folders, empty files and opening still work; data does not.
  EXPECT_TRUE(CreateDirectoryW(u"D:\\Folder", nullptr));
  EXPECT_TRUE(CopyFileW(u"C:\\empty.bin", u"D:\\Folder\\empty.bin", FALSE));
  const int fd = _wopen(u"D:\\Folder\\log.txt", _O_WRONLY | _O_CREAT);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(_write(fd, "x", 1), -1);
  EXPECT_EQ(errno, ENOSPC);
  _close(fd);

  ASSERT_TRUE(machine.machine().setProfileValue(u"disk", u"D", u"5000"));
  EXPECT_TRUE(CopyFileW(u"C:\\data.bin", u"D:\\data.bin", FALSE));
}

TEST(TempPath, EndsInABackslashWithWindowsBufferRules) {
  TempMachine machine({{"folders", "temp", "C:\\Temp"}});
  WCHAR buffer[MAX_PATH];
  EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 8u);
  EXPECT_EQ(std::u16string(buffer), u"C:\\Temp\\");

  WCHAR small[9] = u"unset";
  EXPECT_EQ(GetTempPathW(8, small), 9u);  // room for the terminator is needed
  EXPECT_EQ(std::u16string(small), u"unset");
  EXPECT_EQ(GetTempPathW(9, small), 8u);
  EXPECT_EQ(GetTempPathW(0, nullptr), 9u);
}

TEST(TempPath, DefaultsToTheUsersTemporaryFolder) {
  TempMachine machine({{"user", "name", "Ada"}});
  WCHAR buffer[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, buffer);
  EXPECT_EQ(std::u16string(buffer, length), u"C:\\Users\\Ada\\AppData\\Local\\Temp\\");
  EXPECT_EQ(GetFileAttributesW(buffer), FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

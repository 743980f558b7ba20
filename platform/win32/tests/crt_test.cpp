#include "win32/crt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/files.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

std::string readFile(const fs::path& host) {
  std::ifstream in(host, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeHostFile(const fs::path& host, const std::string& bytes) {
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << bytes;
}

/// One record appended as the action log appends it: opened read-write in
/// text mode, created when missing, positioned at the end, closed again.
void appendRecord(const char* path, const std::string& text) {
  int fd = -1;
  ASSERT_EQ(_sopen_s(&fd, path, _O_RDWR | _O_CREAT | _O_TEXT, _SH_DENYNO, _S_IREAD | _S_IWRITE), 0);
  ASSERT_GE(_lseek(fd, 0, SEEK_END), 0);
  const std::string record = "\r\n" + text;
  EXPECT_EQ(_write(fd, record.data(), static_cast<unsigned>(record.size())), static_cast<int>(record.size()));
  EXPECT_EQ(_close(fd), 0);
}

TEST(CrtTextMode, AppendedLogRecordsStartWithCrCrLf) {
  TempMachine machine;
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Apps", nullptr));
  appendRecord("C:\\Apps\\install.log", "CreateDirectory: \"C:\\Apps\\A\" (0)");
  appendRecord("C:\\Apps\\install.log", "CreateDirectory: \"C:\\Apps\\A\" created");
  EXPECT_EQ(readFile(machine.host(u"C:\\Apps\\install.log")),
            "\r\r\nCreateDirectory: \"C:\\Apps\\A\" (0)\r\r\nCreateDirectory: \"C:\\Apps\\A\" created");
}

TEST(CrtTextMode, WritesTurnLineFeedsIntoCrLfAndReadsTurnThemBack) {
  TempMachine machine;
  const int fd = _wopen(u"C:\\t.txt", _O_RDWR | _O_CREAT | _O_TRUNC);
  ASSERT_GE(fd, 0);
  const std::string text = "one\ntwo\n\nend";
  EXPECT_EQ(_write(fd, text.data(), static_cast<unsigned>(text.size())), static_cast<int>(text.size()));
  EXPECT_EQ(_lseek(fd, 0, SEEK_END), static_cast<long>(text.size() + 3));
  ASSERT_EQ(_lseek(fd, 0, SEEK_SET), 0);
  char buffer[64] = {};
  EXPECT_EQ(_read(fd, buffer, sizeof buffer), static_cast<int>(text.size()));
  EXPECT_EQ(std::string(buffer, text.size()), text);
  EXPECT_EQ(_read(fd, buffer, sizeof buffer), 0);
  _close(fd);
  EXPECT_EQ(readFile(machine.host(u"C:\\t.txt")), "one\r\ntwo\r\n\r\nend");
}

TEST(CrtTextMode, ReadKeepsLoneCarriageReturnsAndStopsAtCtrlZ) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\r.txt"), std::string("a\rb\r\r\nc\r\n\x1A" "after"));
  const int fd = _wopen(u"C:\\r.txt", _O_RDONLY);
  ASSERT_GE(fd, 0);
  // Read a byte at a time, so a CR LF pair is split across reads.
  std::string got;
  char c;
  while (_read(fd, &c, 1) == 1) got += c;
  EXPECT_EQ(got, "a\rb\r\nc\n");
  EXPECT_EQ(_read(fd, &c, 1), 0);
  _close(fd);
}

TEST(CrtBinaryMode, KeepsBytesAsTheyAre) {
  TempMachine machine;
  const int fd = _wopen(u"C:\\b.bin", _O_RDWR | _O_CREAT | _O_BINARY);
  ASSERT_GE(fd, 0);
  const std::string bytes("\r\n\n\x1A\r", 5);
  EXPECT_EQ(_write(fd, bytes.data(), 5), 5);
  ASSERT_EQ(_lseek(fd, 0, SEEK_SET), 0);
  char buffer[8];
  EXPECT_EQ(_read(fd, buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), bytes);
  _close(fd);
}

TEST(CrtOpen, FlagsAndErrorsFollowTheRuntime) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\exists.txt"), "old text");
  fs::create_directories(machine.host(u"C:\\Folder"));
  struct Case {
    const char16_t* path;
    int oflag;
    int expectedErrno;
  } const failures[] = {
      {u"C:\\missing.txt", _O_RDONLY, ENOENT},
      {u"C:\\NoFolder\\new.txt", _O_WRONLY | _O_CREAT, ENOENT},
      {u"C:\\exists.txt", _O_WRONLY | _O_CREAT | _O_EXCL, EEXIST},
      {u"C:\\Folder", _O_RDONLY, EACCES},
      {u"C:\\exists.txt", _O_WRONLY | _O_RDWR, EINVAL},
      {u"C:\\exists.txt", _O_RDONLY | _O_TEXT | _O_BINARY, EINVAL},
      {u"Q:\\x.txt", _O_RDONLY, ENOENT},
  };
  for (const auto& c : failures) {
    SCOPED_TRACE(fs::path(std::u16string(c.path)).string());
    int fd = 123;
    EXPECT_EQ(_wsopen_s(&fd, c.path, c.oflag, _SH_DENYNO, _S_IREAD | _S_IWRITE), c.expectedErrno);
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(errno, c.expectedErrno);
  }
  int fd = -1;
  EXPECT_EQ(_wsopen_s(&fd, u"C:\\exists.txt", _O_RDONLY, 0x77, 0), EINVAL);

  // _O_TRUNC empties, _O_APPEND writes at the end whatever the position.
  fd = _wopen(u"C:\\exists.txt", _O_WRONLY | _O_TRUNC | _O_BINARY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(_write(fd, "abc", 3), 3);
  _close(fd);
  fd = _wopen(u"C:\\exists.txt", _O_WRONLY | _O_APPEND | _O_BINARY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(_lseek(fd, 0, SEEK_SET), 0);
  EXPECT_EQ(_write(fd, "de", 2), 2);
  char c;
  EXPECT_EQ(_read(fd, &c, 1), -1);  // not open for reading
  EXPECT_EQ(errno, EBADF);
  _close(fd);
  EXPECT_EQ(readFile(machine.host(u"C:\\exists.txt")), "abcde");

  EXPECT_EQ(_close(fd), -1);
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(_write(9999, "x", 1), -1);
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(_lseek(fd, 0, 7), -1);
}

TEST(CrtOpen, AFileMadeWithoutWritePermissionIsReadOnly) {
  TempMachine machine;
  const int fd = _wopen(u"C:\\ro.txt", _O_WRONLY | _O_CREAT, _S_IREAD);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(_write(fd, "still writable", 14), 14);  // through the descriptor that made it
  _close(fd);
  EXPECT_EQ(GetFileAttributesW(u"C:\\ro.txt"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(_wopen(u"C:\\ro.txt", _O_RDWR), -1);
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(_waccess(u"C:\\ro.txt", 2), -1);
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(_waccess(u"C:\\ro.txt", 4), 0);
}

TEST(CrtOpen, ShareModesAreKeptAmongOpens) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\s.txt"), "x");
  int first = -1, second = -1;
  ASSERT_EQ(_wsopen_s(&first, u"C:\\s.txt", _O_RDONLY, _SH_DENYWR, 0), 0);
  EXPECT_EQ(_wsopen_s(&second, u"C:\\s.txt", _O_WRONLY, _SH_DENYNO, 0), EACCES);
  ASSERT_EQ(_wsopen_s(&second, u"C:\\s.txt", _O_RDONLY, _SH_DENYNO, 0), 0);  // another reader is fine
  _close(second);
  _close(first);

  ASSERT_EQ(_wsopen_s(&first, u"C:\\s.txt", _O_RDWR, _SH_DENYNO, 0), 0);
  ASSERT_EQ(_wsopen_s(&second, u"C:\\s.txt", _O_RDWR, _SH_DENYNO, 0), 0);
  int third = -1;
  EXPECT_EQ(_wsopen_s(&third, u"C:\\s.txt", _O_RDONLY, _SH_DENYRW, 0), EACCES);
  _close(first);
  _close(second);
  EXPECT_EQ(_wsopen_s(&third, u"C:\\s.txt", _O_RDONLY, _SH_DENYRW, 0), 0);
  _close(third);
}

TEST(CrtAccess, TellsExistenceAndWritability) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\Dir\\f.txt"), "x");
  EXPECT_EQ(_waccess(u"C:\\dir\\F.TXT", 0), 0);
  EXPECT_EQ(_waccess(u"C:\\Dir", 6), 0);
  EXPECT_EQ(_access("C:\\Dir\\f.txt", 6), 0);
  EXPECT_EQ(_access("C:\\Dir\\g.txt", 0), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(_access("C:\\Dir\\f.txt", 1), -1);
  EXPECT_EQ(errno, EINVAL);
}

TEST(CrtPaths, AnsiNamesInCodePage936) {
  TempMachine machine({{"system", "codepage", "936"}});
  ASSERT_TRUE(CreateDirectoryW(u"C:\\\u5B89\u88C5", nullptr));  // "安装"
  // "C:\安装\install.log" in code page 936, as the action log opens it.
  appendRecord("C:\\\xB0\xB2\xD7\xB0\\install.log", "\xB0\xB2\xD7\xB0");
  EXPECT_EQ(readFile(machine.host(u"C:\\\u5B89\u88C5\\install.log")), "\r\r\n\xB0\xB2\xD7\xB0");
}

TEST(CrtPaths, SplitAndMakePaths) {
  struct Case {
    const char16_t* path;
    const char16_t* drive;
    const char16_t* dir;
    const char16_t* name;
    const char16_t* ext;
  } const cases[] = {
      {u"C:\\Temp\\out\\plan.dwg", u"C:", u"\\Temp\\out\\", u"plan", u".dwg"},
      {u"C:\\Temp\\out\\", u"C:", u"\\Temp\\out\\", u"", u""},
      {u"D:file.tar.gz", u"D:", u"", u"file.tar", u".gz"},
      {u"/a/b.c/name", u"", u"/a/b.c/", u"name", u""},
      {u"\\\\server\\share\\x.txt", u"", u"\\\\server\\share\\", u"x", u".txt"},
      {u"", u"", u"", u"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(fs::path(std::u16string(c.path)).string());
    WCHAR drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    ASSERT_EQ(_wsplitpath_s(c.path, drive, _MAX_DRIVE, dir, _MAX_DIR, name, _MAX_FNAME, ext, _MAX_EXT), 0);
    EXPECT_EQ(std::u16string(drive), c.drive);
    EXPECT_EQ(std::u16string(dir), c.dir);
    EXPECT_EQ(std::u16string(name), c.name);
    EXPECT_EQ(std::u16string(ext), c.ext);
  }
  WCHAR drive[_MAX_DRIVE], dir[4];
  EXPECT_EQ(_wsplitpath_s(u"C:\\Long\\x", drive, _MAX_DRIVE, dir, 4, nullptr, 0, nullptr, 0), ERANGE);
  EXPECT_EQ(drive[0], 0);
  EXPECT_EQ(_wsplitpath_s(u"C:\\x", drive, _MAX_DRIVE, nullptr, 5, nullptr, 0, nullptr, 0), EINVAL);

  WCHAR path[_MAX_PATH];
  ASSERT_EQ(_wmakepath_s(path, _MAX_PATH, u"C:", u"\\Temp\\out\\", u"plan", u"dwg"), 0);
  EXPECT_EQ(std::u16string(path), u"C:\\Temp\\out\\plan.dwg");
  ASSERT_EQ(_wmakepath_s(path, _MAX_PATH, u"D", u"\\a", u"b", u".c"), 0);
  EXPECT_EQ(std::u16string(path), u"D:\\a\\b.c");
  ASSERT_EQ(_wmakepath_s(path, _MAX_PATH, nullptr, nullptr, u"name", nullptr), 0);
  EXPECT_EQ(std::u16string(path), u"name");
  WCHAR small[8];
  EXPECT_EQ(_wmakepath_s(small, 8, u"C:", u"\\Temp\\", u"plan", u"dwg"), ERANGE);
  EXPECT_EQ(small[0], 0);
}

}  // namespace

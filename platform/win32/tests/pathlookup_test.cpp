// Case-insensitive, case-preserving lookup of the machine's files through the
// file API.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testing/tempmachine.h"
#include "win32/crt.h"
#include "win32/errors.h"
#include "win32/files.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

void makeFile(const fs::path& host, const char* text = "data") {
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << text;
}

TEST(PathLookup, FindsAFileWhateverTheCaseOfItsName) {
  TempMachine machine;
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Foo", nullptr));
  const int fd = _wopen(u"C:\\Foo\\Bar.TXT", _O_WRONLY | _O_CREAT);
  ASSERT_GE(fd, 0);
  _close(fd);

  for (const char16_t* spelling : {u"C:\\Foo\\Bar.TXT", u"c:\\foo\\bar.txt", u"C:/FOO/BAR.txt", u"c:\\FOO\\.\\x\\..\\Bar.Txt"}) {
    SCOPED_TRACE(fs::path(std::u16string(spelling)).string());
    EXPECT_EQ(GetFileAttributesW(spelling), FILE_ATTRIBUTE_ARCHIVE);
  }
  // The host keeps the spelling the file was made with.
  EXPECT_TRUE(fs::is_regular_file(machine.folder() / "drives" / "c" / "Foo" / "Bar.TXT"));
}

TEST(PathLookup, NewNamesKeepTheirCaseInsideExistingFolders) {
  TempMachine machine;
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Apps", nullptr));
  ASSERT_TRUE(CreateDirectoryW(u"c:\\APPS\\NewFolder", nullptr));
  const int fd = _wopen(u"C:\\APPS\\newfolder\\ReadMe.Md", _O_WRONLY | _O_CREAT);
  ASSERT_GE(fd, 0);
  _close(fd);

  const fs::path apps = machine.folder() / "drives" / "c" / "Apps";
  EXPECT_TRUE(fs::is_directory(apps / "NewFolder"));
  EXPECT_TRUE(fs::is_regular_file(apps / "NewFolder" / "ReadMe.Md"));
  EXPECT_FALSE(fs::exists(machine.folder() / "drives" / "c" / "APPS"));
  // Creating the same name in another case is the same folder.
  EXPECT_FALSE(CreateDirectoryW(u"C:\\apps\\NEWFOLDER", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
}

TEST(PathLookup, RelativePathsStartAtTheCurrentFolder) {
  TempMachine machine;
  const fs::path saved = fs::current_path();
  makeFile(machine.host(u"C:\\Work\\Notes.txt"));
  ASSERT_TRUE(SetCurrentDirectoryW(u"c:\\work"));
  WCHAR current[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectoryW(MAX_PATH, current), 7u);
  EXPECT_EQ(std::u16string(current), u"C:\\Work");
  EXPECT_EQ(GetFileAttributesW(u"notes.TXT"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesW(u"..\\work\\notes.txt"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesW(u"\\Work\\Notes.txt"), FILE_ATTRIBUTE_ARCHIVE);
  fs::current_path(saved);
}

TEST(PathLookup, MissingPathsReportWhichPartIsMissing) {
  TempMachine machine;
  makeFile(machine.host(u"C:\\Data\\a.txt"));
  struct Case {
    const char16_t* path;
    DWORD error;
  } const cases[] = {
      {u"C:\\Data\\missing.txt", ERROR_FILE_NOT_FOUND},
      {u"C:\\data\\MISSING", ERROR_FILE_NOT_FOUND},
      {u"C:\\Nowhere\\a.txt", ERROR_PATH_NOT_FOUND},
      {u"C:\\Data\\a.txt\\below", ERROR_PATH_NOT_FOUND},
      {u"Q:\\a.txt", ERROR_PATH_NOT_FOUND},
      {u"\\\\server\\share\\a.txt", ERROR_BAD_NETPATH},
      {u"C:\\Data\\a?.txt", ERROR_INVALID_NAME},
      {u"C:\\Data\\a|b", ERROR_INVALID_NAME},
      {u"C:\\Apps:x", ERROR_INVALID_NAME},
      {u"", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(fs::path(std::u16string(c.path)).string());
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesW(c.path), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST(PathLookup, AnsiPathsAreReadInTheMachinesCodePage) {
  TempMachine machine({{"system", "codepage", "936"}});
  makeFile(machine.host(u"C:\\\u6570\u636E\\\u6587\u4EF6.txt"));
  // "数据\文件.txt" in code page 936.
  const char ansi[] = "C:\\\xCA\xFD\xBE\xDD\\\xCE\xC4\xBC\xFE.txt";
  EXPECT_EQ(GetFileAttributesA(ansi), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(_access(ansi, 0), 0);
}

}  // namespace

// FindFirstFileW / FindNextFileW: listing order, the dot entries, patterns.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/files.h"
#include "win32/handleapi.h"
#include "winsim/text.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

void makeFile(const fs::path& host, const std::string& text = "data") {
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << text;
}

/// Every name a search finds, in order; empty with the error when it fails.
std::vector<std::u16string> list(const char16_t* pattern, DWORD* error = nullptr) {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) {
    if (error) *error = GetLastError();
    return names;
  }
  do names.push_back(data.cFileName);
  while (FindNextFileW(find, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(find));
  return names;
}

using Names = std::vector<std::u16string>;

TEST(FindFiles, ListsDotEntriesFirstThenNamesWithoutCase) {
  TempMachine machine;
  for (const char* name : {"beta.txt", "Alpha.doc", "gamma", "ALPHA.txt", "_under"})
    makeFile(machine.host(u"C:\\List") / name);
  fs::create_directories(machine.host(u"C:\\List\\Delta"));

  EXPECT_EQ(list(u"C:\\List\\*"),
            (Names{u".", u"..", u"Alpha.doc", u"ALPHA.txt", u"beta.txt", u"Delta", u"gamma", u"_under"}));
  EXPECT_EQ(list(u"c:\\list\\*.*"), list(u"C:\\List\\*"));
}

TEST(FindFiles, ADriveRootHasNoDotEntries) {
  TempMachine machine;
  const Names root = list(u"C:\\*");
  ASSERT_FALSE(root.empty());
  EXPECT_NE(root.front(), u".");
  EXPECT_EQ(std::count(root.begin(), root.end(), u".."), 0);
  EXPECT_NE(std::find(root.begin(), root.end(), u"Windows"), root.end());
}

TEST(FindFiles, PatternsMatchAsWindowsMatchesThem) {
  TempMachine machine;
  for (const char* name : {"README", "readme.txt", "a.txt", "ab.txt", "abc.txt", "a.b.c", "data.TXT", "x.txtx",
                           "setup.exe", "Setup.ini"})
    makeFile(machine.host(u"C:\\P") / name);
  struct Case {
    const char16_t* pattern;
    Names expected;
  } const cases[] = {
      {u"C:\\P\\*.txt", {u"a.txt", u"ab.txt", u"abc.txt", u"data.TXT", u"readme.txt"}},
      {u"C:\\P\\?.txt", {u"a.txt"}},
      {u"C:\\P\\a?.txt", {u"a.txt", u"ab.txt"}},
      {u"C:\\P\\a??.txt", {u"a.txt", u"ab.txt", u"abc.txt"}},
      {u"C:\\P\\readme.*", {u"README", u"readme.txt"}},
      {u"C:\\P\\*.", {u".", u"..", u"README"}},
      {u"C:\\P\\*.c", {u"a.b.c"}},
      {u"C:\\P\\SETUP.*", {u"setup.exe", u"Setup.ini"}},
      {u"C:\\P\\*.t?t", {u"a.txt", u"ab.txt", u"abc.txt", u"data.TXT", u"readme.txt"}},
      {u"C:\\P\\*x*", {u"a.txt", u"ab.txt", u"abc.txt", u"data.TXT", u"readme.txt", u"setup.exe", u"x.txtx"}},
      {u"C:\\P\\setup.ini", {u"Setup.ini"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.pattern));
    EXPECT_EQ(list(c.pattern), c.expected);
  }
}

TEST(FindFiles, ReportsWhatIsMissing) {
  TempMachine machine;
  makeFile(machine.host(u"C:\\Only\\one.txt"));
  struct Case {
    const char16_t* pattern;
    DWORD error;
  } const cases[] = {
      {u"C:\\Only\\*.doc", ERROR_FILE_NOT_FOUND},
      {u"C:\\Only\\", ERROR_FILE_NOT_FOUND},
      {u"C:\\Nowhere\\*", ERROR_PATH_NOT_FOUND},
      {u"C:\\Only\\one.txt\\*", ERROR_PATH_NOT_FOUND},
      {u"C:\\On*\\*", ERROR_INVALID_NAME},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.pattern));
    DWORD error = 0;
    EXPECT_TRUE(list(c.pattern, &error).empty());
    EXPECT_EQ(error, c.error);
  }
}

TEST(FindFiles, EntriesCarryAttributesSizesAndTimes) {
  TempMachine machine;
  makeFile(machine.host(u"C:\\Info\\big.bin"), std::string(5000, 'x'));
  fs::create_directories(machine.host(u"C:\\Info\\Sub"));
  ASSERT_TRUE(SetFileAttributesW(u"C:\\Info\\big.bin", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));

  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(u"C:\\Info\\big.bin", &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(data.nFileSizeLow, 5000u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  // Last write time in 100 ns steps since 1601: after the year 2020.
  const unsigned long long written =
      (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  EXPECT_GT(written, 132223104000000000ULL);
  EXPECT_EQ(data.cAlternateFileName[0], 0);
  EXPECT_TRUE(FindClose(find));

  find = FindFirstFileW(u"C:\\Info\\s*", &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"Sub");
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(FindNextFileW(find, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(find));
  EXPECT_FALSE(FindClose(find));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindNextFileW(find, &data));
}

TEST(FindFiles, AListingIsTakenWhenTheSearchStarts) {
  TempMachine machine;
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) makeFile(machine.host(u"C:\\Del") / name);
  // Deleting while listing, as a folder-removal loop does.
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(u"C:\\Del\\*.txt", &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  int seen = 0;
  do {
    ++seen;
    EXPECT_TRUE(DeleteFileW((u"C:\\Del\\" + std::u16string(data.cFileName)).c_str()));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  EXPECT_EQ(seen, 3);
  EXPECT_TRUE(RemoveDirectoryW(u"C:\\Del"));
}

}  // namespace

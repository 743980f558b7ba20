#include "win32/profile.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/files.h"
#include "winsim/text.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

void writeHostFile(const fs::path& host, const std::string& bytes) {
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& host) {
  std::ifstream in(host, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::u16string readString(const char16_t* section, const char16_t* key, const char16_t* fallback,
                          const char16_t* file, DWORD size = 260, DWORD* result = nullptr) {
  std::u16string buffer(size, u'#');
  const DWORD n = GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, file);
  if (result) *result = n;
  // Lists keep their inner NULs: return everything up to the returned count.
  return buffer.substr(0, n);
}

constexpr const char* kSetupIni =
    "; the package's configuration\r\n"
    "[Setup]\r\n"
    "CompanyName = Halvorn  \r\n"
    "Version=\"16.0\"\r\n"
    "Quoted='single'\r\n"
    "Spaces=   padded value   \r\n"
    "Empty=\r\n"
    "Inner=\"a\" b\"\r\n"
    "Half=\"open\r\n"
    "WOW64=1\r\n"
    "Neg=-12abc\r\n"
    "Text=abc\r\n"
    "Blank=   \r\n"
    "\r\n"
    "[setup]\r\n"
    "CompanyName=Second\r\n"
    "Extra=only here\r\n"
    "[RES]\r\n"
    "LANGUAGE=zh_CN\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "[ Spaced Section ]\r\n"
    "key = v\r\n";

TEST(ProfileRead, StringsAsWindowsReadsThem) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\Pkg\\Setup.ini"), kSetupIni);
  const char16_t* file = u"C:\\pkg\\SETUP.INI";
  struct Case {
    const char16_t* section;
    const char16_t* key;
    const char16_t* fallback;
    const char16_t* expected;
  } const cases[] = {
      {u"SETUP", u"COMPANYNAME", u"x", u"Halvorn"},
      {u"setup", u"version", u"x", u"16.0"},
      {u"Setup", u"Quoted", u"x", u"single"},
      {u"Setup", u"Spaces", u"x", u"padded value"},
      {u"Setup", u"Empty", u"x", u""},
      {u"Setup", u"Blank", u"x", u""},
      {u"Setup", u"Inner", u"x", u"a\" b"},
      {u"Setup", u"Half", u"x", u"\"open"},
      {u"Setup", u"Extra", u"none", u"none"},  // the duplicate section is not read
      {u"Setup", u"Missing", u"def  ", u"def"},
      {u"Setup", u"Missing", u"  two words ", u"  two words"},
      {u"Setup", u"Missing", nullptr, u""},
      {u"NoSection", u"Version", u"fallback", u"fallback"},
      {u"RES", u"Dup", u"x", u"first"},
      {u"res", u"language", u"x", u"zh_CN"},
      {u"Spaced Section", u"KEY", u"x", u"v"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.section) + "." + winsim::toUtf8(c.key));
    DWORD n = 0;
    EXPECT_EQ(readString(c.section, c.key, c.fallback, file, 260, &n), c.expected);
    EXPECT_EQ(n, std::u16string_view(c.expected).size());
  }
}

TEST(ProfileRead, IntegersFromLeadingDigits) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\Setup.ini"), kSetupIni);
  struct Case {
    const char16_t* key;
    INT fallback;
    UINT expected;
  } const cases[] = {
      {u"WOW64", 5, 1},
      {u"Neg", 5, static_cast<UINT>(-12)},
      {u"Text", 5, 0},
      {u"Version", 5, 16},  // "16.0" once its quotes are gone
      {u"Missing", 7, 7},
      {u"Empty", 7, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.key));
    EXPECT_EQ(GetPrivateProfileIntW(u"Setup", c.key, c.fallback, u"C:\\Setup.ini"), c.expected);
  }
  EXPECT_EQ(GetPrivateProfileIntW(u"Setup", u"WOW64", 9, u"C:\\Missing.ini"), 9u);
}

TEST(ProfileRead, CutsValuesAndListsToTheBuffer) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\Setup.ini"), kSetupIni);
  const char16_t* file = u"C:\\Setup.ini";
  DWORD n = 0;
  EXPECT_EQ(readString(u"Setup", u"CompanyName", nullptr, file, 8, &n), u"Halvorn");
  EXPECT_EQ(n, 7u);
  EXPECT_EQ(readString(u"Setup", u"CompanyName", nullptr, file, 7, &n), u"Halvor");
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(readString(u"Setup", u"Missing", u"a long default", file, 5, &n), u"a lo");
  EXPECT_EQ(n, 4u);

  using namespace std::string_literals;
  EXPECT_EQ(readString(nullptr, nullptr, nullptr, file, 260, &n), u"Setup\0RES\0Spaced Section\0"s);
  EXPECT_EQ(n, 25u);
  WCHAR names[64];
  EXPECT_EQ(GetPrivateProfileSectionNamesW(names, 64, file), 25u);
  EXPECT_EQ(std::u16string(names, 26), u"Setup\0RES\0Spaced Section\0\0"s);
  EXPECT_EQ(readString(u"res", nullptr, nullptr, file, 260, &n), u"LANGUAGE\0Dup\0Dup\0"s);

  // A cut list keeps two NULs at its end and returns nSize - 2.
  WCHAR cut[6];
  EXPECT_EQ(GetPrivateProfileStringW(nullptr, nullptr, nullptr, cut, 6, file), 4u);
  EXPECT_EQ(std::u16string(cut, 6), u"Setu\0\0"s);
  EXPECT_EQ(readString(u"NoSection", nullptr, u"ignored", file, 260, &n), u"");
  EXPECT_EQ(n, 0u);
}

TEST(ProfileRead, AMissingFileGivesTheDefault) {
  TempMachine machine;
  SetLastError(0);
  EXPECT_EQ(readString(u"Setup", u"Version", u"16.0", u"C:\\Nowhere\\Setup.ini"), u"16.0");
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(readString(nullptr, nullptr, nullptr, u"C:\\Nowhere\\Setup.ini"), u"");
}

TEST(ProfileRead, ANameWithoutAFolderIsInTheWindowsFolder) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\Windows\\app.ini"), "[a]\r\nb=windows folder\r\n");
  EXPECT_EQ(readString(u"a", u"b", u"", u"app.ini"), u"windows folder");
}

TEST(ProfileRead, Utf16FilesWithAByteOrderMark) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\u.ini"), utf16File(u"[RES]\r\nLANGUAGE=\u4E2D\u6587 \r\n[\u8BBE\u7F6E]\r\n\u952E=\u503C\r\n"));
  EXPECT_EQ(readString(u"res", u"Language", u"", u"C:\\u.ini"), u"\u4E2D\u6587");
  EXPECT_EQ(readString(u"\u8BBE\u7F6E", u"\u952E", u"", u"C:\\u.ini"), u"\u503C");
}

TEST(ProfileRead, AUtf8MarkHidesASectionOnTheFirstLine) {
  TempMachine machine;
  writeHostFile(machine.host(u"C:\\bom.ini"), "\xEF\xBB\xBF[First]\r\na=1\r\n[Second]\r\nb=2\r\n");
  EXPECT_EQ(readString(u"First", u"a", u"missing", u"C:\\bom.ini"), u"missing");
  EXPECT_EQ(readString(u"Second", u"b", u"missing", u"C:\\bom.ini"), u"2");
}

TEST(ProfileRead, AnsiFilesInCodePage936) {
  TempMachine machine({{"system", "codepage", "936"}});
  // [安装] 路径=C:\程序 in code page 936.
  writeHostFile(machine.host(u"C:\\cn.ini"), "[\xB0\xB2\xD7\xB0]\r\n\xC2\xB7\xBE\xB6=C:\\\xB3\xCC\xD0\xF2\r\n");
  EXPECT_EQ(readString(u"\u5B89\u88C5", u"\u8DEF\u5F84", u"", u"C:\\cn.ini"), u"C:\\\u7A0B\u5E8F");
}

TEST(ProfileWrite, KeepsEveryOtherLine) {
  TempMachine machine;
  const fs::path host = machine.host(u"C:\\w.ini");
  writeHostFile(host,
                "; keep me\r\n"
                "odd line without equals\r\n"
                "[One]\r\n"
                "a = 1\r\n"
                "b=2\r\n"
                "\r\n"
                "[Two]\r\n"
                "c=3\r\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"one", u"B", u"twenty", u"C:\\w.ini"));
  ASSERT_TRUE(WritePrivateProfileStringW(u"One", u"new", u"n", u"C:\\w.ini"));
  ASSERT_TRUE(WritePrivateProfileStringW(u"Three", u"d", u"4", u"C:\\w.ini"));
  EXPECT_EQ(readFile(host),
            "; keep me\r\n"
            "odd line without equals\r\n"
            "[One]\r\n"
            "a = 1\r\n"
            "B=twenty\r\n"
            "new=n\r\n"
            "\r\n"
            "[Two]\r\n"
            "c=3\r\n"
            "[Three]\r\n"
            "d=4\r\n");
  EXPECT_EQ(readString(u"ONE", u"b", u"", u"C:\\w.ini"), u"twenty");

  ASSERT_TRUE(WritePrivateProfileStringW(u"One", u"a", nullptr, u"C:\\w.ini"));
  ASSERT_TRUE(WritePrivateProfileStringW(u"two", nullptr, nullptr, u"C:\\w.ini"));
  EXPECT_EQ(readFile(host),
            "; keep me\r\n"
            "odd line without equals\r\n"
            "[One]\r\n"
            "B=twenty\r\n"
            "new=n\r\n"
            "\r\n"
            "[Three]\r\n"
            "d=4\r\n");
}

TEST(ProfileWrite, CreatesAMissingFileInTheAnsiCodePage) {
  TempMachine machine({{"system", "codepage", "936"}});
  ASSERT_TRUE(WritePrivateProfileStringW(u"\u5B89\u88C5", u"key", u"\u7A0B\u5E8F", u"C:\\new.ini"));
  EXPECT_EQ(readFile(machine.host(u"C:\\new.ini")), "[\xB0\xB2\xD7\xB0]\r\nkey=\xB3\xCC\xD0\xF2\r\n");

  // Removing from a file that is not there makes none.
  EXPECT_TRUE(WritePrivateProfileStringW(u"s", u"k", nullptr, u"C:\\absent.ini"));
  EXPECT_EQ(GetFileAttributesW(u"C:\\absent.ini"), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(WritePrivateProfileStringW(u"s", u"k", u"v", u"C:\\NoFolder\\x.ini"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(WritePrivateProfileStringW(nullptr, u"k", u"v", u"C:\\new.ini"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(ProfileWrite, KeepsAUtf16FileUtf16) {
  TempMachine machine;
  const fs::path host = machine.host(u"C:\\u.ini");
  writeHostFile(host, utf16File(u"[A]\r\nx=1\r\n"));
  ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"y", u"\u4E2D", u"C:\\u.ini"));
  EXPECT_EQ(readFile(host), utf16File(u"[A]\r\nx=1\r\ny=\u4E2D\r\n"));
  // A file that is only a byte-order mark takes UTF-16 too.
  writeHostFile(machine.host(u"C:\\mark.ini"), "\xFF\xFE");
  ASSERT_TRUE(WritePrivateProfileStringW(u"B", u"k", u"\u00E9", u"C:\\mark.ini"));
  EXPECT_EQ(readFile(machine.host(u"C:\\mark.ini")), utf16File(u"[B]\r\nk=\u00E9\r\n"));
}

TEST(ProfileWrite, WritersInTwoProcessesLoseNothing) {
  TempMachine machine;
  constexpr int kWrites = 40;
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = ::fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      bool ok = true;
      for (int i = 0; i < kWrites; ++i) {
        const std::u16string key = winsim::fromUtf8("p" + std::to_string(child) + "_" + std::to_string(i));
        ok = WritePrivateProfileStringW(u"Shared", key.c_str(), u"v", u"C:\\shared.ini") && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::u16string keys(8192, u'\0');
  const DWORD n = GetPrivateProfileStringW(u"Shared", nullptr, nullptr, keys.data(), 8192, u"C:\\shared.ini");
  int count = 0;
  for (DWORD i = 0; i < n; ++i) count += keys[i] == u'\0';
  EXPECT_EQ(count, 2 * kWrites);
}

}  // namespace

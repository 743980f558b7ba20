#include "installlog.h"

#include <string>

#include "enginetest.h"

namespace {

using enginetest::EngineTest;

class InstallLogTest : public EngineTest {
 protected:
  explicit InstallLogTest(const std::vector<winsim::ProfileSetting>& settings = {}) : EngineTest(settings) {
    SetupState().installDir = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
    std::filesystem::create_directories(host(SetupState().installDir.GetString()));
  }
  std::string log() const { return readFile(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\install.log"); }
};

TEST_F(InstallLogTest, EachRecordFollowsCrCrLf) {
  AppendInstallLog(u"record one");
  EXPECT_EQ(log(), "\r\r\nrecord one");
  AppendInstallLog(u"record two");
  EXPECT_EQ(log(), "\r\r\nrecord one\r\r\nrecord two");
}

TEST_F(InstallLogTest, AppendsToAnExistingLog) {
  writeFile(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\install.log", "\r\r\nearlier");
  AppendInstallLog(u"later");
  EXPECT_EQ(log(), "\r\r\nearlier\r\r\nlater");
}

TEST_F(InstallLogTest, LengthLimits) {
  struct Case {
    const char* name;
    std::u16string text;
    bool written;
  } const kCases[] = {
      {"257 characters", std::u16string(257, u'a'), true},
      {"258 characters", std::u16string(258, u'b'), false},
      // On a 1252 machine a character outside the code page is one byte ('?').
      {"257 characters outside the code page", std::u16string(257, u'\u770B'), true},
  };
  std::string expected;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    AppendInstallLog(c.text.c_str());
    if (c.written) expected += "\r\r\n" + std::string(c.text.size(), c.text[0] < 0x80 ? char(c.text[0]) : '?');
    EXPECT_EQ(log(), expected);
  }
}

TEST_F(InstallLogTest, MissingFolderLosesTheRecordSilently) {
  SetupState().installDir = u"C:\\Nowhere";
  AppendInstallLog(u"lost");
  EXPECT_FALSE(std::filesystem::exists(host(u"C:\\Nowhere")));
  SetupState().installDir = u"C:\\" + CString(u'x', 250);  // the log path does not fit 260 bytes
  std::filesystem::create_directories(host(SetupState().installDir.GetString()));
  AppendInstallLog(u"lost too");
  EXPECT_TRUE(std::filesystem::is_empty(host(SetupState().installDir.GetString())));
}

TEST(InstallLogRecords, Formats) {
  struct Case {
    CString record;
    const char16_t* expected;
  } const kCases[] = {
      {CreateDirectoryRecord(u"C:\\A\\B", false), u"CreateDirectory: \"C:\\A\\B\" (0)"},
      {CreateDirectoryRecord(u"C:\\A\\B", true), u"CreateDirectory: \"C:\\A\\B\" created"},
      {CreateShortcutRecord(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk", u"C:\\M\\kxStart.exe"),
       u"CreateShortCut: out: \"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk\", in: \"C:\\M\\kxStart.exe \", icon: "
       u",0, sw=0, hk=0"},
      {WriteRegStrRecord(u"Software\\X\\DWG Merrowin_zh_cn", u"Platfrom", u"x86"),
       u"WriteRegStr: \"HKEY_LOCAL_MACHINE\\Software\\X\\DWG Merrowin_zh_cn\" \"Platfrom\"=\"x86\""},
      {WriteRegDwordRecord(u"Software\\X", 0x56),
       u"WriteRegDWORD: \"HKEY_LOCAL_MACHINE\\Software\\X\" \"Version\"=\"56\""},
      {WriteRegDwordRecord(u"Software\\X", 0xABCDEF),
       u"WriteRegDWORD: \"HKEY_LOCAL_MACHINE\\Software\\X\" \"Version\"=\"abcdef\""},
      {FileNameRecord(u"HUninstall"), u"File: overwriteflag=4, allowskipfilesflag=0, name=\"HUninstall\""},
      {FileWroteRecord(341000, u"C:\\M\\HUninstall"), u"File: wrote 341000 to \"C:\\M\\HUninstall\""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.record, c.expected);
}

class InstallLog936Test : public InstallLogTest {
 protected:
  InstallLog936Test() : InstallLogTest({{"system", "codepage", "936"}}) {}
};

TEST_F(InstallLog936Test, ChineseTextIsTwoBytesACharacter) {
  SetupState().installDir = u"C:\\软件\\看图";
  std::filesystem::create_directories(host(u"C:\\软件\\看图"));
  AppendInstallLog(CreateDirectoryRecord(u"C:\\软件\\看图", false));
  EXPECT_EQ(readFile(u"C:\\软件\\看图\\install.log"),
            "\r\r\nCreateDirectory: \"C:\\\xC8\xED\xBC\xFE\\\xBF\xB4\xCD\xBC\" (0)");
}

TEST_F(InstallLog936Test, AnsiFormMustFit260Bytes) {
  // 128 two-byte characters and the break: 258 bytes and the terminator fit;
  // 129 characters do not.
  AppendInstallLog(std::u16string(128, u'看').c_str());
  AppendInstallLog(std::u16string(129, u'看').c_str());
  std::string expected = "\r\r\n";
  for (int i = 0; i < 128; ++i) expected += "\xBF\xB4";
  EXPECT_EQ(log(), expected);
}

}  // namespace

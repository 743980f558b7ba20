#include "setupini.h"

#include "enginetest.h"

namespace {

using enginetest::EngineTest;

class SetupIniTest : public EngineTest {};

struct IniCase {
  const char* name;
  const char* ini;  // Setup.ini as written by the package (ANSI, 1252)
  bool os64;
  // What the state holds afterwards.
  const char16_t* companyName;
  const char16_t* version;
  int package64;
  const char16_t* installDir;
  const char16_t* language;
  const char16_t* languageKey;
  const char16_t* lcid;
  int netTest;
};

const IniCase kIniCases[] = {
    {"empty file: every default, 64-bit Windows", "", true, u"Halvorn", u"16.0", 0,
     u"C:\\Program Files (x86)\\Halvorn\\Merrowin", u"", u"", u"1033", 0},
    {"empty file on 32-bit Windows", "", false, u"Halvorn", u"16.0", 0, u"C:\\Program Files\\Halvorn\\Merrowin", u"",
     u"", u"1033", 0},
    {"64-bit package takes PATH", "[SETUP]\r\nWOW64=1\r\nPATH=D:\\Apps\\Viewer\\\\\\\r\n", true, u"Halvorn", u"16.0", 1,
     u"D:\\Apps\\Viewer", u"", u"", u"1033", 0},
    {"64-bit package, PATH absent: its default without the backslash", "[SETUP]\r\nWOW64=1\r\n", true, u"Halvorn",
     u"16.0", 1, u"C:\\Program Files\\Halvorn\\Merrowin", u"", u"", u"1033", 0},
    {"WOW64=2 selects SETUP_DEST", "[setup]\r\nwow64=2\r\npath=D:\\P\r\n[x64]\r\nSETUP_DEST=E:\\Dest64\\\r\n", true,
     u"Halvorn", u"16.0", 2, u"E:\\Dest64", u"", u"", u"1033", 0},
    {"32-bit Windows reads x86", "[x86]\r\nSETUP_DEST=  F:\\Dest32  \r\n[x64]\r\nSETUP_DEST=G:\\\r\n", false,
     u"Halvorn", u"16.0", 0, u"F:\\Dest32", u"", u"", u"1033", 0},
    {"keys without case, values trimmed",
     "[Setup]\r\ncompanyname=  Acme Corp \r\nVersion=17.1\r\n[res]\r\nlanguage=ZH_CN\r\nnettest=3\r\n", true,
     u"Acme Corp", u"17.1", 0, u"C:\\Program Files (x86)\\Halvorn\\Merrowin", u"ZH_CN", u"zh_cn", u"2052", 3},
    {"a VERSION of blanks is empty: the default is for empty values only", "[SETUP]\r\nVERSION=\"   \"\r\n", true,
     u"Halvorn", u"", 0, u"C:\\Program Files (x86)\\Halvorn\\Merrowin", u"", u"", u"1033", 0},
    {"malformed integers: leading digits, else 0", "[SETUP]\r\nWOW64=1x\r\n[RES]\r\nNetTest=abc\r\n", true, u"Halvorn",
     u"16.0", 1, u"C:\\Program Files\\Halvorn\\Merrowin", u"", u"", u"1033", 0},
};

TEST_F(SetupIniTest, ReadsEveryKeyWithItsDefaults) {
  for (const auto& c : kIniCases) {
    SCOPED_TRACE(c.name);
    SetupState() = CSetupState{};
    SetupState().os64 = c.os64;
    writeFile(u"C:\\Package\\Setup.ini", c.ini);
    ASSERT_TRUE(ReadSetupIni());
    const CSetupState& state = SetupState();
    EXPECT_EQ(state.productName, u"DWG Merrowin");
    EXPECT_EQ(state.companyName, c.companyName);
    EXPECT_EQ(state.version, c.version);
    EXPECT_EQ(state.package64, c.package64);
    EXPECT_EQ(state.installDir, c.installDir);
    EXPECT_EQ(state.language, c.language);
    EXPECT_EQ(state.languageKey, c.languageKey);
    EXPECT_EQ(state.lcid, c.lcid);
    EXPECT_EQ(state.netTest, c.netTest);
    // Fields this reading does not own keep their start values.
    EXPECT_EQ(state.num, 1);
    EXPECT_EQ(state.mode, ModeRemove);
    EXPECT_FALSE(state.installedFound);
  }
}

TEST_F(SetupIniTest, LanguageTable) {
  struct Case {
    const char16_t* language;
    const char16_t* lcid;
  } const kCases[] = {
      {u"zh_cn", u"2052"},       {u"ZH_CN", u"2052"},  {u"Veltrane_CN", u"2052"},
      {u"VELTRANE_cn", u"2052"}, {u"zh_TW", u"1028"},  {u"VELTRANE_tw", u"1028"},
      {u"fr_FR", u"1036"},       {u"Lindra", u"1041"}, {u"ja_jp", u"1041"},
      {u"de_de", u"1033"},       {u"", u"1033"},       {u"zh", u"1033"},
      {u"zh_cn_x", u"1033"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(enginetest::utf8(c.language));
    writeFile(u"C:\\Package\\Setup.ini", "[RES]\r\nLANGUAGE=" + enginetest::utf8(c.language) + "\r\n");
    ASSERT_TRUE(ReadSetupIni());
    EXPECT_EQ(SetupState().lcid, c.lcid);
    EXPECT_EQ(SetupState().language, c.language);
    CString lower(c.language);
    EXPECT_EQ(SetupState().languageKey, lower.MakeLower());
  }
  EXPECT_EQ(LcidForLanguageKey(u"veltrane_tw"), u"1028");
}

TEST_F(SetupIniTest, MissingFileChangesNothing) {
  SetupState().installDir = u"untouched";
  EXPECT_FALSE(ReadSetupIni());
  EXPECT_EQ(SetupState().installDir, u"untouched");
  EXPECT_TRUE(SetupState().productName.IsEmpty());
  // A folder of that name is no configuration file either.
  std::filesystem::create_directories(host(u"C:\\Package\\Setup.ini"));
  EXPECT_FALSE(ReadSetupIni());
  EXPECT_TRUE(SetupState().companyName.IsEmpty());
}

TEST_F(SetupIniTest, ProductNameComesFromTheTextLibraryTrimmed) {
  writeFile(u"C:\\Package\\Setup.ini", "");
  installTextLibrary("enginetestres.dll");
  ASSERT_TRUE(ReadSetupIni());
  EXPECT_EQ(SetupState().productName, u"Viewer Lab");
}

TEST_F(SetupIniTest, LongValuesAreCutToTheBuffer) {
  // 300 characters: the profile call fills the 260-character buffer.
  writeFile(u"C:\\Package\\Setup.ini", "[SETUP]\r\nCOMPANYNAME=" + std::string(300, 'c') + "\r\n");
  ASSERT_TRUE(ReadSetupIni());
  EXPECT_EQ(SetupState().companyName.GetLength(), 259);
}

TEST_F(SetupIniTest, SetupFolderIsTheProgramsFolder) {
  EXPECT_EQ(GetSetupFolder(), u"C:\\Package");
  // A program path that does not fit 260 characters is beyond the design:
  // no folder, so no Setup.ini.
  const std::string deep = "C:\\" + std::string(270, 'd') + "\\Setup.exe";
  ::setenv("WINSIM_IMAGE", deep.c_str(), 1);
  EXPECT_TRUE(GetSetupFolder().IsEmpty());
  EXPECT_FALSE(ReadSetupIni());
}

}  // namespace

// Files and folders: drawing files that open, paths that exist, folder trees
// copied, made and deleted, and full file paths, on the machine's drives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "HvDbUtilsFiles.h"
#include "storagefixture.h"
#include "win32/files.h"
#include "winsim/text.h"

namespace {

namespace fs = std::filesystem;
using mwcommon::testing::StorageTest;

class Folders : public StorageTest {
 protected:
  fs::path host(const char16_t* path) { return machine().host(path); }
  void writeFile(const char16_t* path, const std::string& text) {
    fs::create_directories(host(path).parent_path());
    std::ofstream(host(path)) << text;
  }
  std::string readFile(const char16_t* path) {
    std::ifstream in(host(path));
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool isFolder(const char16_t* path) { return fs::is_directory(host(path)); }
  bool exists(const char16_t* path) { return fs::exists(host(path)); }
};

TEST_F(Folders, OnlyReadableDrawingsOpen) {
  fs::create_directories(host(u"C:\\plans"));
  ASSERT_EQ(db()->writeFile(u"C:\\plans\\plan.dxf"), eOk);
  writeFile(u"C:\\plans\\notes.dwg", "only text\n");
  EXPECT_EQ(HvDbUtils::IsCanOpenDwgFile(u"C:\\plans\\plan.dxf"), 1);
  EXPECT_EQ(HvDbUtils::IsCanOpenDwgFile(u"C:\\PLANS\\Plan.DXF"), 1);
  EXPECT_EQ(HvDbUtils::IsCanOpenDwgFile(u"C:\\plans\\notes.dwg"), 0);
  EXPECT_EQ(HvDbUtils::IsCanOpenDwgFile(u"C:\\plans"), 0);
  EXPECT_EQ(HvDbUtils::IsCanOpenDwgFile(u"C:\\plans\\missing.dxf"), 0);
  EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0);
  EXPECT_EQ(printed(), u"");
}

TEST_F(Folders, AMissingDrawingIsRefusedWithoutLockingAnything) {
  writeFile(u"C:\\notes.dwg", "only text\n");
  kxhost::endSession();  // no document: a lock would be reported
  EXPECT_EQ(HvDbUtils::IsCanOpenDwgFile(u"C:\\missing.dxf"), 0);
  EXPECT_EQ(printed(), u"");
  EXPECT_EQ(HvDbUtils::IsCanOpenDwgFile(u"C:\\notes.dwg"), 0);
  EXPECT_NE(printed().find(u"Lock failed"), std::u16string::npos);
}

TEST_F(Folders, HasTheFileSeesFilesAndFolders) {
  writeFile(u"C:\\a\\file.txt", "x");
  EXPECT_EQ(HvDbUtils::HasTheFile(u"C:\\a"), 1);
  EXPECT_EQ(HvDbUtils::HasTheFile(u"C:\\A\\FILE.TXT"), 1);
  EXPECT_EQ(HvDbUtils::HasTheFile(u"C:\\a\\other.txt"), 0);
  EXPECT_EQ(HvDbUtils::HasTheFile(u""), 0);
}

TEST_F(Folders, MkdirExMakesEveryMissingFolder) {
  struct Case {
    const char16_t* path;
    int result;
    const char16_t* made;  // a folder that exists afterwards
  } cases[] = {
      {u"C:\\a\\b", 1, u"C:\\a\\b"},         {u"C:\\a\\b\\", 1, u"C:\\a\\b"},  // already there: nothing to make
      {u"C:\\x\\y\\z\\", 1, u"C:\\x\\y\\z"}, {u"C:\\", 1, u"C:\\"},           {u"C:", 1, u"C:\\"},
      {u"rel\\sub", 1, u"C:\\rel\\sub"},  // relative to the current folder, C:\ here
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HvDbUtils::MkdirEx(c.path), c.result) << winsim::toUtf8(c.path);
    EXPECT_TRUE(isFolder(c.made)) << winsim::toUtf8(c.path);
  }
  // A parent that is a file cannot hold a folder.
  writeFile(u"C:\\file.txt", "x");
  EXPECT_EQ(HvDbUtils::MkdirEx(u"C:\\file.txt\\sub\\deeper"), 0);
  EXPECT_FALSE(exists(u"C:\\file.txt\\sub"));
  // A drive the machine lacks is never made.
  EXPECT_EQ(HvDbUtils::MkdirEx(u"Q:\\a"), 0);
}

TEST_F(Folders, FullFilePathsMakeTheirFolder) {
  CString full(u"earlier");
  EXPECT_EQ(HvDbUtils::GetFileFullPath(u"C:/Temp/out/", u"plan", u"dwg", full), 1);
  EXPECT_EQ(full, u"C:\\Temp\\out\\plan.dwg");
  EXPECT_TRUE(isFolder(u"C:\\Temp\\out"));

  struct Case {
    const char16_t* folder;
    const char16_t* name;
    const char16_t* extension;
    int result;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\Temp\\out\\\\\\", u"plan", u".dwg", 1, u"C:\\Temp\\out\\plan.dwg"},
      {u"C:\\Temp", u"readme", u"", 1, u"C:\\Temp\\readme"},
      {u"C:", u"plan", u"dxf", 1, u"C:\\plan.dxf"},
      {u"Temp", u"plan", u"dwg", 0, u""},
      {u"", u"plan", u"dwg", 0, u""},
  };
  for (const Case& c : cases) {
    full = u"earlier";
    EXPECT_EQ(HvDbUtils::GetFileFullPath(c.folder, c.name, c.extension, full), c.result) << winsim::toUtf8(c.folder);
    EXPECT_EQ(full, c.expected) << winsim::toUtf8(c.folder);
  }
  EXPECT_TRUE(boxTexts().empty());
}

TEST_F(Folders, FullFilePathsStayWithinTheirLimits) {
  // Folder part 255 characters with its backslash, then a name to 259.
  const std::u16string folder = u"C:\\" + std::u16string(251, u'f');  // 254, 255 with the "\"
  CString full;
  EXPECT_EQ(HvDbUtils::GetFileFullPath(folder.c_str(), u"a", u"bc", full), 1);  // 255 + 1 + 3 = 259
  EXPECT_EQ(full.GetLength(), 259);
  EXPECT_EQ(HvDbUtils::GetFileFullPath(folder.c_str(), u"ab", u"bc", full), 0);  // 260
  EXPECT_EQ(full, u"");
  const std::u16string longer = u"C:\\" + std::u16string(252, u'g');  // 256 with the "\"
  EXPECT_EQ(HvDbUtils::GetFileFullPath(longer.c_str(), u"a", u"", full), 0);
  EXPECT_EQ(full, u"");
  EXPECT_FALSE(exists(longer.c_str()));
  EXPECT_TRUE(boxTexts().empty());
}

TEST_F(Folders, AFolderThatCannotBeMadeIsReported) {
  writeFile(u"C:\\file.txt", "x");
  CString full(u"earlier");
  EXPECT_EQ(HvDbUtils::GetFileFullPath(u"C:\\file.txt\\out", u"plan", u"dwg", full), 0);
  EXPECT_EQ(full, u"");
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Failed to create directory!"});
}

TEST_F(Folders, CopyFoldCopiesTheWholeTree) {
  writeFile(u"C:\\src\\a.txt", "a");
  writeFile(u"C:\\src\\b.txt", "b");
  writeFile(u"C:\\src\\sub\\c.txt", "c");
  writeFile(u"C:\\src\\sub\\deep\\d.txt", "d");
  fs::create_directories(host(u"C:\\src\\empty"));
  EXPECT_EQ(HvDbUtils::CopyFold(u"C:\\src", u"C:\\copy"), 1);
  EXPECT_EQ(readFile(u"C:\\copy\\a.txt"), "a");  // the first entry too
  EXPECT_EQ(readFile(u"C:\\copy\\b.txt"), "b");
  EXPECT_EQ(readFile(u"C:\\copy\\sub\\c.txt"), "c");
  EXPECT_EQ(readFile(u"C:\\copy\\sub\\deep\\d.txt"), "d");
  EXPECT_TRUE(isFolder(u"C:\\copy\\empty"));

  // Files already there are replaced; a missing source still gives 1.
  writeFile(u"C:\\src\\a.txt", "new");
  EXPECT_EQ(HvDbUtils::CopyFold(u"C:\\src", u"C:\\copy"), 1);
  EXPECT_EQ(readFile(u"C:\\copy\\a.txt"), "new");
  EXPECT_EQ(HvDbUtils::CopyFold(u"C:\\missing", u"C:\\other"), 1);
  EXPECT_TRUE(isFolder(u"C:\\other"));
}

TEST_F(Folders, DeleteDirectoryRemovesTheTree) {
  writeFile(u"C:\\tree\\a.txt", "a");
  writeFile(u"C:\\tree\\sub\\b.txt", "b");
  writeFile(u"C:\\tree\\sub\\deep\\c.txt", "c");
  EXPECT_EQ(HvDbUtils::DeleteDirectory(u"C:\\tree"), 1);
  EXPECT_FALSE(exists(u"C:\\tree"));
  EXPECT_TRUE(boxTexts().empty());
  EXPECT_EQ(HvDbUtils::DeleteDirectory(u"C:\\tree"), 0);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Failed to delete directory!"});
}

TEST_F(Folders, AFolderThatStaysIsReportedAtEachLevel) {
  writeFile(u"C:\\tree\\a.txt", "a");
  writeFile(u"C:\\tree\\sub\\kept.txt", "k");
  ASSERT_TRUE(SetFileAttributesW(u"C:\\tree\\sub\\kept.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(HvDbUtils::DeleteDirectory(u"C:\\tree"), 0);
  EXPECT_TRUE(exists(u"C:\\tree\\sub\\kept.txt"));
  EXPECT_FALSE(exists(u"C:\\tree\\a.txt"));  // the rest goes on
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Failed to delete directory!", "Failed to delete directory!"}));
  SetFileAttributesW(u"C:\\tree\\sub\\kept.txt", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Folders, PathsBeyondTheDeleteBuffersAreLeftAlone) {
  // "PATH\*.*" must fit in 200 characters: a 196-character path does not.
  const std::u16string tooLong = u"C:\\" + std::u16string(193, u'p');
  fs::create_directories(host(tooLong.c_str()));
  EXPECT_EQ(HvDbUtils::DeleteDirectory(tooLong.c_str()), 0);
  EXPECT_TRUE(exists(tooLong.c_str()));
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Failed to delete directory!"});

  // One shorter fits (195 + 4 = 199) and goes.
  const std::u16string fits = u"C:\\" + std::u16string(192, u'q');
  fs::create_directories(host(fits.c_str()));
  EXPECT_EQ(HvDbUtils::DeleteDirectory(fits.c_str()), 1);
  EXPECT_FALSE(exists(fits.c_str()));

  // An entry whose path would not fit stays, and so does its folder.
  const std::u16string folder = u"C:\\" + std::u16string(140, u'r');
  const std::u16string entry = folder + u"\\" + std::u16string(60, u'e');  // 204 characters
  const std::u16string shortEntry = folder + u"\\short.txt";
  writeFile(entry.c_str(), "e");
  writeFile(shortEntry.c_str(), "s");
  EXPECT_EQ(HvDbUtils::DeleteDirectory(folder.c_str()), 0);
  EXPECT_TRUE(exists(entry.c_str()));
  EXPECT_FALSE(exists(shortEntry.c_str()));
  EXPECT_EQ(boxTexts().size(), 2u);
}

}  // namespace

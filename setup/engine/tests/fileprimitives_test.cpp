#include "fileprimitives.h"

#include <algorithm>
#include <set>
#include <string>

#include "enginetest.h"
#include "specialfolders.h"

namespace {

using enginetest::EngineTest;
namespace fs = std::filesystem;

class FilePrimitivesTest : public EngineTest {
 protected:
  FilePrimitivesTest() {
    SetupState().installDir = u"C:\\Log";
    fs::create_directories(host(u"C:\\Log"));
  }
  std::vector<std::string> records() const { return logRecords(u"C:\\Log\\install.log"); }
  bool logEmpty() const { return readFile(u"C:\\Log\\install.log").empty(); }

  /// Every file and folder below `root` (folders end in "\"), relative to it.
  std::set<std::string> tree(std::u16string_view root) const {
    std::set<std::string> entries;
    const fs::path base = host(root);
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
      std::string name = fs::relative(entry.path(), base).string();
      std::replace(name.begin(), name.end(), '/', '\\');
      entries.insert(entry.is_directory() ? name + "\\" : name);
    }
    return entries;
  }
  /// Makes the tree of a case: names ending in "\" are folders, others files.
  void makeTree(std::u16string_view root, const std::vector<std::string>& entries) {
    fs::create_directories(host(root));
    for (const std::string& entry : entries) {
      std::string name = entry;
      std::replace(name.begin(), name.end(), '\\', '/');
      const fs::path path = host(root) / name;
      if (name.back() == '/') {
        fs::create_directories(path);
      } else {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
      }
    }
  }
};

TEST_F(FilePrimitivesTest, CreateDirectoryChainCreatesOutermostFirst) {
  EXPECT_TRUE(CreateDirectoryChain(u"C:\\A\\B\\"));
  EXPECT_TRUE(fs::is_directory(host(u"C:\\A\\B")));
  EXPECT_EQ(records(), (std::vector<std::string>{
                           "CreateDirectory: \"C:\\A\" (0)",
                           "CreateDirectory: \"C:\\A\" created",
                           "CreateDirectory: \"C:\\A\\B\" (0)",
                           "CreateDirectory: \"C:\\A\\B\" created",
                       }));
}

TEST_F(FilePrimitivesTest, CreateDirectoryChainCases) {
  struct Case {
    const char* name;
    const char16_t* path;
    BOOL result;
    std::vector<std::string> records;
  } const kCases[] = {
      {"every folder exists: no record", u"C:\\Log\\", TRUE, {}},
      {"the last component without a separator is not created", u"C:\\Log\\Sub", TRUE, {}},
      {"forward slashes separate too",
       u"C:/Log/X/Y/",
       TRUE,
       {"CreateDirectory: \"C:/Log/X\" (0)", "CreateDirectory: \"C:/Log/X\" created",
        "CreateDirectory: \"C:/Log/X/Y\" (0)", "CreateDirectory: \"C:/Log/X/Y\" created"}},
      {"a leading separator fails at once", u"\\Top\\", FALSE, {}},
      {"an unknown drive fails", u"Q:\\Top\\", FALSE, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove(host(u"C:\\Log\\install.log"));
    EXPECT_EQ(CreateDirectoryChain(c.path), c.result);
    if (c.records.empty()) {
      EXPECT_TRUE(logEmpty());
    } else {
      EXPECT_EQ(records(), c.records);
    }
  }
  EXPECT_FALSE(fs::exists(host(u"C:\\Log\\Sub")));
}

TEST_F(FilePrimitivesTest, CreateDirectoryChainStopsAtTheFirstFailure) {
  // A name Windows refuses: C:\Made is created and stays, the walk ends.
  EXPECT_FALSE(CreateDirectoryChain(u"C:\\Made\\bad|name\\Below\\"));
  EXPECT_TRUE(fs::is_directory(host(u"C:\\Made")));
  EXPECT_EQ(records(),
            (std::vector<std::string>{"CreateDirectory: \"C:\\Made\" (0)", "CreateDirectory: \"C:\\Made\" created"}));
  // A file where a folder should be: C:\F is there, C:\F\G cannot be made.
  writeFile(u"C:\\F", "file");
  EXPECT_FALSE(CreateDirectoryChain(u"C:\\F\\G\\"));
  EXPECT_EQ(records().size(), 2u);
}

TEST_F(FilePrimitivesTest, CreateDirectoryChainRefusesPathsBeyond259Characters) {
  const std::u16string outer = u"C:\\" + std::u16string(127, u'p');
  const std::u16string fits = outer + u"\\" + std::u16string(127, u'p') + u"\\";    // 259 characters
  const std::u16string beyond = outer + u"\\" + std::u16string(128, u'q') + u"\\";  // 260
  EXPECT_FALSE(CreateDirectoryChain(beyond.c_str()));
  EXPECT_FALSE(fs::exists(host(outer)));  // refused before anything is made
  EXPECT_TRUE(logEmpty());
  EXPECT_TRUE(CreateDirectoryChain(fits.c_str()));
  EXPECT_TRUE(fs::is_directory(host(fits.substr(0, fits.size() - 1))));
  // The inner folder's records would be longer than a log record may be
  // (257 characters): they are dropped, the outer folder's are kept.
  EXPECT_EQ(records().size(), 2u);
}

TEST_F(FilePrimitivesTest, PathExistsAndIsFolderEmpty) {
  writeFile(u"C:\\Dir\\file.txt", "x");
  fs::create_directories(host(u"C:\\Empty"));
  fs::create_directories(host(u"C:\\Parent\\Child"));
  struct Case {
    const char16_t* path;
    BOOL exists;
    BOOL empty;
  } const kCases[] = {
      {u"C:\\Dir\\file.txt", TRUE, TRUE},  // a file has no listing
      {u"C:\\dir", TRUE, FALSE},          {u"C:\\Empty", TRUE, TRUE},
      {u"C:\\Parent", TRUE, FALSE},       {u"C:\\Missing", FALSE, TRUE},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(enginetest::utf8(c.path));
    EXPECT_EQ(PathExists(c.path), c.exists);
    EXPECT_EQ(IsFolderEmpty(c.path), c.empty);
  }
  // The test is made in ANSI: on a 1252 machine a Chinese name cannot be
  // spelt, so the folder is not found even though it is there.
  fs::create_directories(host(u"C:\\看图"));
  EXPECT_FALSE(PathExists(u"C:\\看图"));
}

TEST_F(FilePrimitivesTest, PruneEmptyFolders) {
  struct Case {
    const char* name;
    std::vector<std::string> before;  // below C:\R
    bool rootStays;
    std::set<std::string> after;
  } const kCases[] = {
      {"one file: nothing removed", {"only.txt"}, true, {"only.txt"}},
      {"empty tree: all of it goes", {"a\\b\\c\\", "d\\"}, false, {}},
      {"empty folder before a file goes, the one after it stays", {"a\\", "b.txt", "c\\"}, true, {"b.txt", "c\\"}},
      {"the folder after a file is not even pruned", {"a.txt", "b\\c\\"}, true, {"a.txt", "b\\", "b\\c\\"}},
      {"a deep file keeps its folders, empty siblings go",
       {"x\\y\\f.txt", "x\\z\\"},
       true,
       {"x\\", "x\\y\\", "x\\y\\f.txt"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(host(u"C:\\R"));
    makeTree(u"C:\\R", c.before);
    PruneEmptyFolders(u"C:\\R");
    EXPECT_EQ(fs::exists(host(u"C:\\R")), c.rootStays);
    if (c.rootStays) {
      EXPECT_EQ(tree(u"C:\\R"), c.after);
    }
  }
}

TEST_F(FilePrimitivesTest, PruneClearsAttributesAndDeletesNoFile) {
  writeFile(u"C:\\R\\kept.txt", "x");
  ASSERT_TRUE(SetFileAttributesW(u"C:\\R\\kept.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  PruneEmptyFolders(u"C:\\R");
  const DWORD attributes = GetFileAttributesW(u"C:\\R\\kept.txt");
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
  // A missing or empty path does nothing.
  PruneEmptyFolders(u"C:\\Missing");
  PruneEmptyFolders(u"");
  PruneEmptyFolders(nullptr);
  EXPECT_TRUE(fs::exists(host(u"C:\\R\\kept.txt")));
}

TEST_F(FilePrimitivesTest, CheckDiskSpaceThresholds) {
  struct Case {
    const char16_t* freeBytes;
    const char16_t* folder;
    int result;
    const char* message;  // null: no box
  } const kCases[] = {
      {u"524288000", u"C:\\", 1, nullptr},
      {u"107374182400", u"C:\\Log", 1, nullptr},
      {u"524287999", u"C:\\", 2, "There is not enough disk space."},
      {u"0", u"C:\\", 2, "There is not enough disk space."},
      {u"524288000", u"C:\\Missing\\", 0,
       "Get disk space failed.\nYou do not have sufficient security privileges to install software on this "
       "computer.Please contact your system administrator or log off and log-in again as an administrator."},
  };
  std::size_t boxes = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(enginetest::utf8(c.freeBytes));
    ASSERT_TRUE(machine().setProfileValue(u"disk", u"C", c.freeBytes).ok());
    EXPECT_EQ(CheckDiskSpace(c.folder), c.result);
    const auto shown = messageBoxes();
    if (!c.message) {
      EXPECT_EQ(shown.size(), boxes);
      continue;
    }
    ASSERT_EQ(shown.size(), ++boxes);
    // The framework's box: OK with the warning icon, the program's title.
    EXPECT_EQ(shown.back()["text"], c.message);
    EXPECT_EQ(shown.back()["caption"], "Setup");
    EXPECT_EQ(shown.back()["style"], "0x00000030");
  }
}

TEST_F(FilePrimitivesTest, SpecialFoldersOfA32BitProgram) {
  struct Case {
    BOOL (*get)(LPWSTR);
    const char16_t* expected;
  } const kCases[] = {
      {GetCommonDesktopFolder, u"C:\\Users\\Public\\Desktop"},
      {GetCommonProgramsFolder, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
      {GetCommonProgramFilesFolder, u"C:\\Program Files (x86)\\Common Files"},
      {GetPersonalFolder, u"C:\\Users\\User\\Documents"},
  };
  for (const auto& c : kCases) {
    WCHAR path[MAX_PATH] = {u'?'};
    EXPECT_TRUE(c.get(path));
    EXPECT_EQ(std::u16string(path), c.expected);
  }
  ASSERT_TRUE(machine().setProfileValue(u"folders", u"common_desktop", u"").ok());
  WCHAR path[MAX_PATH] = {u'?'};
  EXPECT_FALSE(GetCommonDesktopFolder(path));
  EXPECT_EQ(path[0], 0);
}

}  // namespace

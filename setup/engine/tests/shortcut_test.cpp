#include "shortcut.h"

#include <cstdio>
#include <optional>

#include "enginetest.h"
#include "win32/com.h"

namespace {

using enginetest::EngineTest;
namespace fs = std::filesystem;

constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
constexpr char16_t kPrograms[] = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

class ShortcutTest : public EngineTest {
 protected:
  ShortcutTest() {
    CSetupState& state = SetupState();
    state.installDir = kInstallDir;
    state.companyName = u"Halvorn";
    state.productName = u"DWG Merrowin";
    fs::create_directories(host(kInstallDir));
  }
  std::vector<std::string> records() const {
    return logRecords(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\install.log");
  }
  bool logEmpty() const { return readFile(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\install.log").empty(); }
};

/// The UTF-16LE bytes of a text, as a link file holds its Unicode strings.
std::string utf16Bytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::optional<std::string> lnkinfo(const fs::path& file) {
  if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) return std::nullopt;
  std::string output;
  if (FILE* pipe = ::popen(("lnkinfo '" + file.string() + "' 2>&1").c_str(), "r")) {
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    ::pclose(pipe);
  }
  return output;
}

/// Checks that the link file names the target and the install folder.
void expectLink(const fs::path& file, std::u16string_view target) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 0x4Cu) << file;
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x4C\0\0\0", 4));
  EXPECT_NE(bytes.find(utf16Bytes(target)), std::string::npos);
  EXPECT_NE(bytes.find(utf16Bytes(kInstallDir)), std::string::npos);
  if (const auto report = lnkinfo(file)) {
    EXPECT_NE(report->find("Local path\t\t\t: " + enginetest::utf8(target) + "\n"), std::string::npos) << *report;
    EXPECT_NE(report->find("Working directory\t\t: " + enginetest::utf8(kInstallDir) + "\n"), std::string::npos)
        << *report;
  } else {
    std::printf("lnkinfo (liblnk-utils) is not installed: link files are checked by their bytes only\n");
  }
}

TEST_F(ShortcutTest, DesktopLink) {
  const std::u16string target = std::u16string(kInstallDir) + u"\\kxStart.exe";
  EXPECT_TRUE(CreateShortcut(u"DWG Merrowin", target.c_str(), ShortcutDesktop));
  expectLink(host(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk"), target);
  EXPECT_EQ(records(), (std::vector<std::string>{
                           "CreateShortCut: out: \"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk\", in: \"C:\\Program "
                           "Files (x86)\\Halvorn\\Merrowin\\kxStart.exe \", icon: ,0, sw=0, hk=0"}));
}

TEST_F(ShortcutTest, ProgramsLinkGoesUnderCompanyAndProduct) {
  const std::u16string target = std::u16string(kInstallDir) + u"\\setup.exe";
  EXPECT_TRUE(CreateShortcut(u"Uninstall Merrowin", target.c_str(), ShortcutPrograms));
  const std::u16string folder = std::u16string(kPrograms) + u"\\Halvorn\\DWG Merrowin";
  expectLink(host(folder + u"\\Uninstall Merrowin.lnk"), target);
  const std::string programs = enginetest::utf8(kPrograms);
  EXPECT_EQ(records(), (std::vector<std::string>{
                           "CreateDirectory: \"" + programs + "\\Halvorn\" (0)",
                           "CreateDirectory: \"" + programs + "\\Halvorn\" created",
                           "CreateDirectory: \"" + programs + "\\Halvorn\\DWG Merrowin\" (0)",
                           "CreateDirectory: \"" + programs + "\\Halvorn\\DWG Merrowin\" created",
                           "CreateShortCut: out: \"" + programs +
                               "\\Halvorn\\DWG Merrowin\\Uninstall Merrowin.lnk\", in: \"C:\\Program Files "
                               "(x86)\\Halvorn\\Merrowin\\setup.exe \", icon: ,0, sw=0, hk=0",
                       }));
  // A second link in the same folder creates no folder.
  EXPECT_TRUE(CreateShortcut(u"Website", (std::u16string(kInstallDir) + u"\\Website.url").c_str(), ShortcutPrograms));
  EXPECT_EQ(records().size(), 6u);
}

TEST_F(ShortcutTest, FailuresLogNothing) {
  struct Case {
    const char* name;
    const char16_t* linkName;
    int kind;
  } const kCases[] = {
      {"no such kind", u"Tool", 1},
      {"a name that makes the link path too long", nullptr, ShortcutDesktop},
  };
  const std::u16string longName(240, u'n');
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(CreateShortcut(c.linkName ? c.linkName : longName.c_str(), u"C:\\x.exe", c.kind));
  }
  // The desktop folder is gone: the file cannot be saved.
  fs::remove_all(host(u"C:\\Users\\Public\\Desktop"));
  EXPECT_FALSE(CreateShortcut(u"Tool", u"C:\\x.exe", ShortcutDesktop));
  // No shell folder for the kind.
  ASSERT_TRUE(machine().setProfileValue(u"folders", u"common_programs", u"").ok());
  EXPECT_FALSE(CreateShortcut(u"Tool", u"C:\\x.exe", ShortcutPrograms));
  EXPECT_TRUE(logEmpty());
}

TEST_F(ShortcutTest, LeavesTheThreadsComUsable) {
  // CreateShortcut initialises and uninitialises COM itself; a caller that
  // initialised the thread before keeps its initialisation.
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_TRUE(CreateShortcut(u"Tool", u"C:\\x.exe", ShortcutDesktop));
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

}  // namespace

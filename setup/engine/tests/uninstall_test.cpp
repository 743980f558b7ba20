// The uninstall procedure's steps (the extension tool's settings, the Update
// folder, the payload's removal, the uninstaller's copy in the temporary
// folder) and the rollback, with programs that record how they were started.
#include "uninstall.h"

#include <gtest/gtest.h>

#include "setuptest.h"

namespace {

namespace fs = std::filesystem;
using enginetest::kInstallDir;
using Lines = std::vector<std::string>;

constexpr char16_t kMsiexecRecord[] = u"C:\\msiexec.txt";
constexpr char16_t kUninstallerRecord[] = u"C:\\huninstall.txt";
constexpr char16_t kTemp[] = u"C:\\Users\\User\\AppData\\Local\\Temp\\";
const Lines kPayloadRemoval = {"msiexec  -x {7DB4C454-5CBC-48FF-B070-7FED49DD181E} -q"};

class UninstallTest : public enginetest::SetupTest {
 protected:
  UninstallTest() {
    SetupState().installDir = kInstallDir;
    writeRecorder(u"C:\\Windows\\System32\\msiexec.exe", kMsiexecRecord);
    writeRecorder(u"C:\\Windows\\SysWOW64\\msiexec.exe", kMsiexecRecord);
    writeFile(installed(u"install.log"), "\r\r\nFile: wrote 341000 to \"C:\\X\\HUninstall\"");
    writeFile(installed(u"IntallerRes.dll"), "library");
    writeRecorder(installed(u"HUninstall"), kUninstallerRecord);
  }

  static std::u16string installed(std::u16string_view name) {
    return std::u16string(kInstallDir) + u"\\" + std::u16string(name);
  }
  /// The uninstaller's starts, once it has ended.
  Lines uninstallerRuns() {
    EXPECT_TRUE(enginetest::ended(u"HUninstall.exe"));
    return runs(kUninstallerRecord);
  }
};

TEST_F(UninstallTest, RemovesThePayloadAndStartsTheUninstallerFromTheTemporaryFolder) {
  writeFile(installed(u"MWExtensionTool\\System\\MWSetting.xml"), "<MWSetting />");
  EXPECT_TRUE(UninstallProduct());
  EXPECT_FALSE(exists(installed(u"MWExtensionTool\\System\\MWSetting.xml")));
  EXPECT_TRUE(exists(installed(u"MWExtensionTool\\System")));
  EXPECT_EQ(runs(kMsiexecRecord), kPayloadRemoval);
  EXPECT_EQ(uninstallerRuns(), (Lines{"\"C:\\Users\\User\\AppData\\Local\\Temp\\HUninstall.exe\" /norestart"}));
  // The copies beside it, the originals left for it.
  const std::u16string temp = kTemp;
  EXPECT_EQ(readFile(temp + u"install.log"), readFile(installed(u"install.log")));
  EXPECT_EQ(readFile(temp + u"IntallerRes.dll"), "library");
  EXPECT_EQ(readFile(temp + u"HUninstall.exe"), readFile(installed(u"HUninstall")));
  EXPECT_TRUE(exists(installed(u"HUninstall")));
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(UninstallTest, TheUpdateFolder) {
  struct Case {
    const char* name;
    std::vector<const char16_t*> files;    // below Update
    std::vector<const char16_t*> folders;  // below Update, empty
    bool folderStays;
    std::vector<const char16_t*> staying;  // below Update
  } cases[] = {
      {"empty", {}, {}, false, {}},
      // Not empty, and no archive: the folder is left alone.
      {"empty subfolders only", {}, {u"a", u"a\\b"}, true, {u"a\\b"}},
      {"the archive alone", {u"update.zip"}, {u"cache"}, false, {}},
      {"the archive and another file", {u"update.zip", u"notes.txt"}, {}, true, {u"notes.txt"}},
      {"another file, no archive", {u"notes.txt"}, {u"cache"}, true, {u"notes.txt", u"cache"}},
  };
  for (const auto& c : cases) {
    const std::u16string update = installed(u"Update");
    fs::remove_all(host(update));
    fs::create_directories(host(update));
    for (const char16_t* file : c.files) writeFile(update + u"\\" + file, "x");
    for (const char16_t* folder : c.folders) fs::create_directories(host(update + u"\\" + folder));
    EXPECT_TRUE(UninstallProduct()) << c.name;
    EXPECT_EQ(exists(update), c.folderStays) << c.name;
    EXPECT_FALSE(exists(update + u"\\update.zip")) << c.name;
    for (const char16_t* left : c.staying) EXPECT_TRUE(exists(update + u"\\" + left)) << c.name;
    uninstallerRuns();
  }
  // Without an Update folder there is nothing to do there.
  fs::remove_all(host(installed(u"Update")));
  EXPECT_TRUE(UninstallProduct());
  EXPECT_EQ(runs(kMsiexecRecord).size(), std::size(cases) + 1);
  EXPECT_EQ(uninstallerRuns().size(), std::size(cases) + 1);
}

TEST_F(UninstallTest, AMissingUninstallerFailsAfterThePayloadIsRemoved) {
  fs::remove(host(installed(u"HUninstall")));
  EXPECT_FALSE(UninstallProduct());
  EXPECT_EQ(runs(kMsiexecRecord), kPayloadRemoval);
  EXPECT_FALSE(exists(std::u16string(kTemp) + u"install.log")) << "the copies stop at the first failure";
  EXPECT_TRUE(messageBoxes().empty()) << "the callers report the failure";
}

TEST_F(UninstallTest, EveryCopyMustSucceed) {
  for (const char16_t* missing : {u"install.log", u"IntallerRes.dll"}) {
    const std::u16string file = installed(missing);
    const std::string kept = readFile(file);
    fs::remove(host(file));
    EXPECT_FALSE(UninstallProduct()) << enginetest::utf8(missing);
    writeFile(file, kept);
  }
  EXPECT_TRUE(uninstallerRuns().empty());
}

TEST_F(UninstallTest, WithoutMsiexecTheRemovalGoesOn) {
  fs::remove(host(u"C:\\Windows\\System32\\msiexec.exe"));
  fs::remove(host(u"C:\\Windows\\SysWOW64\\msiexec.exe"));
  EXPECT_TRUE(UninstallProduct());
  EXPECT_EQ(uninstallerRuns().size(), 1u);
}

TEST_F(UninstallTest, RollBackStartsThePackagesUninstallerQuietlyWithTheLog) {
  writeRecorder(u"C:\\Package\\HUninstall.exe", kUninstallerRecord);
  EXPECT_TRUE(RollBackInstall());
  EXPECT_EQ(uninstallerRuns(), (Lines{"\"C:\\Package\\HUninstall.exe\" /quiet /norestart"}));
  EXPECT_EQ(readFile(u"C:\\Package\\install.log"), readFile(installed(u"install.log")));
  EXPECT_TRUE(runs(kMsiexecRecord).empty());
}

TEST_F(UninstallTest, RollBackWithoutUninstallerCopiesTheLogAndFails) {
  EXPECT_FALSE(RollBackInstall());
  EXPECT_TRUE(exists(u"C:\\Package\\install.log"));
  EXPECT_TRUE(uninstallerRuns().empty());
}

TEST_F(UninstallTest, RollBackWithoutLogFails) {
  writeRecorder(u"C:\\Package\\HUninstall.exe", kUninstallerRecord);
  fs::remove(host(installed(u"install.log")));
  EXPECT_FALSE(RollBackInstall());
  EXPECT_TRUE(uninstallerRuns().empty());
}

}  // namespace

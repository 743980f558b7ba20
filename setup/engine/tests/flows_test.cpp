// The choice of flow and the interactive flows, with scripted pages: which
// pages are shown in which order for each page result, the cloud files after
// a successful installation, the viewer started after the finish page, and
// the maintenance flow from the package and from the install folder.
#include "flows.h"

#include <gtest/gtest.h>

#include "scriptedpages.h"
#include "setupstate.h"
#include "setuptest.h"
#include "tlhelp32.h"

namespace {

namespace fs = std::filesystem;
using enginetest::kInstallDir;
using enginetest::ScriptedPages;
using Shown = std::vector<std::string>;

constexpr char16_t kRecord[] = u"C:\\record.txt";
const std::vector<std::string> kPayloadRemoval = {"msiexec  -x {7DB4C454-5CBC-48FF-B070-7FED49DD181E} -q"};

TEST(ChooseFlow, Cases) {
  struct Case {
    std::vector<std::pair<const char16_t*, const char16_t*>> pairs;
    bool installedFound;
    SetupFlow expected;
  } cases[] = {
      // No arguments: the wizard or maintenance, by what is recorded.
      {{}, false, SetupFlow::InstallWizard},
      {{}, true, SetupFlow::Maintenance},
      // Any pair without quiet makes the run quiet.
      {{{u"TARGETDIR", u"D:\\Apps"}}, false, SetupFlow::QuietInstall},
      {{{u"other", u"x"}}, true, SetupFlow::QuietInstall},
      // A key QUIET has no meaning of its own, yet it makes the run quiet.
      {{{u"QUIET", u"0"}}, true, SetupFlow::QuietInstall},
      {{{u"quiet", u"1"}}, true, SetupFlow::QuietInstall},
      {{{u"quiet", u"no"}}, false, SetupFlow::QuietInstall},
      // quiet=0: the pages run, and Uninstall is ignored.
      {{{u"quiet", u"0"}, {u"Uninstall", u"1"}}, false, SetupFlow::InstallWizard},
      {{{u"quiet", u"0"}, {u"Uninstall", u"1"}}, true, SetupFlow::Maintenance},
      {{{u"quiet", u"1"}, {u"Uninstall", u"1"}}, false, SetupFlow::QuietUninstall},
      {{{u"Uninstall", u"1"}}, true, SetupFlow::QuietUninstall},
      {{{u"quiet", u"1"}, {u"Uninstall", u"yes"}}, true, SetupFlow::QuietInstall},
      {{{u"quiet", u"1"}, {u"uninstall", u"1"}}, true, SetupFlow::QuietInstall},
  };
  for (const auto& c : cases) {
    SetupState() = CSetupState{};
    SetupState().installedFound = c.installedFound;
    CArgumentMap arguments;
    for (const auto& [key, value] : c.pairs) arguments[key] = value;
    EXPECT_EQ(ChooseFlow(arguments), c.expected) << c.pairs.size() << " pairs, installed " << c.installedFound;
  }
  SetupState() = CSetupState{};
}

class FlowsTest : public enginetest::SetupTest {
 protected:
  FlowsTest() {
    CSetupState& state = SetupState();
    state.installDir = kInstallDir;
    state.productName = u"DWG Merrowin";
    fs::create_directories(host(kInstallDir));
  }

  /// The viewer launcher of the installed product: records its starts.
  void installLauncher() { writeRecorder(std::u16string(kInstallDir) + u"\\kxStart.exe", kRecord); }
  /// The launcher's starts, once every launcher started has ended.
  std::vector<std::string> launches() {
    EXPECT_TRUE(enginetest::ended(u"kxStart.exe"));
    return runs(kRecord);
  }
};

TEST_F(FlowsTest, TheInstallWizardFollowsThePageResults) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::vector<INT_PTR>>> answers;
    Shown expected;
  } cases[] = {
      {"install", {{"welcome", {1018}}, {"copy", {1}}, {"finish", {2}}}, {"welcome", "copy", "finish"}},
      {"licence then install",
       {{"welcome", {1038}}, {"license", {1001}}, {"copy", {1}}, {"finish", {2}}},
       {"welcome", "license", "copy", "finish"}},
      {"back and forth",
       {{"welcome", {1038, 1038, 1018}}, {"license", {1000, 1000}}, {"copy", {1}}, {"finish", {2}}},
       {"welcome", "license", "welcome", "license", "welcome", "copy", "finish"}},
      {"welcome cancelled", {{"welcome", {2}}}, {"welcome", "error"}},
      {"welcome's own 1001 cancels", {{"welcome", {1001}}}, {"welcome", "error"}},
      {"licence cancelled", {{"welcome", {1038}}, {"license", {2}}}, {"welcome", "license", "error"}},
      {"installation failed", {{"welcome", {1018}}, {"copy", {2}}}, {"welcome", "copy", "error"}},
      {"copy-files page not shown", {{"welcome", {1018}}}, {"welcome", "copy", "error"}},
      {"no page can be shown", {}, {"welcome", "error"}},
  };
  for (const auto& c : cases) {
    ScriptedPages pages;
    for (const auto& [page, results] : c.answers)
      for (INT_PTR result : results) pages.answer(page, {result});
    RunInstallWizard(pages);
    EXPECT_EQ(pages.shown(), c.expected) << c.name;
  }
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(FlowsTest, ASuccessfulInstallationDeletesTheCloudFilesAndStartsTheViewer) {
  const std::u16string cloud = u"C:\\Users\\User\\Documents\\MerrowinCloudService\\";
  for (const char16_t* name : {u"cloudlogin.cfg", u"advanceFun.cfg", u"serverlist.cfg", u"keep.cfg"})
    writeFile(cloud + name, "x");
  installLauncher();

  ScriptedPages cancelled;
  cancelled.answer("welcome", {1018}).answer("copy", {2});
  RunInstallWizard(cancelled);
  EXPECT_TRUE(exists(cloud + u"cloudlogin.cfg")) << "only a successful installation signs out";

  ScriptedPages pages;
  pages.answer("welcome", {1018}).answer("copy", {1}).answer("finish", {1001});
  RunInstallWizard(pages);
  EXPECT_FALSE(exists(cloud + u"cloudlogin.cfg"));
  EXPECT_FALSE(exists(cloud + u"advanceFun.cfg"));
  EXPECT_FALSE(exists(cloud + u"serverlist.cfg"));
  EXPECT_TRUE(exists(cloud + u"keep.cfg"));
  EXPECT_EQ(launches(), (std::vector<std::string>{"\"C:\\Program Files (x86)\\Halvorn\\Merrowin\\kxStart.exe\""}));
}

TEST_F(FlowsTest, TheViewerStartsOnlyAfterFinishWithTheBoxTicked) {
  installLauncher();
  struct Case {
    INT_PTR finish;
    bool launch;
  } cases[] = {{2, true}, {1001, false}};
  for (const auto& c : cases) {
    SetupState().launchAfterFinish = c.launch;
    ScriptedPages pages;
    pages.answer("welcome", {1018}).answer("copy", {1}).answer("finish", {c.finish});
    RunInstallWizard(pages);
  }
  EXPECT_TRUE(launches().empty());

  // Without the launcher, the finish page ends the run all the same.
  SetupState().launchAfterFinish = true;
  fs::remove(host(std::u16string(kInstallDir) + u"\\kxStart.exe"));
  ScriptedPages pages;
  pages.answer("welcome", {1018}).answer("copy", {1}).answer("finish", {1001});
  RunInstallWizard(pages);
  EXPECT_EQ(pages.shown(), (Shown{"welcome", "copy", "finish"}));
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(FlowsTest, MaintenanceFromThePackage) {
  fs::create_directories(host(u"C:\\Package\\Msi"));
  writeFile(std::u16string(kInstallDir) + u"\\install.log", "\r\r\nrecord");
  // The removal's programs: msiexec and the uninstaller record how they ran.
  writeRecorder(u"C:\\Windows\\System32\\msiexec.exe", u"C:\\msiexec.txt");
  writeRecorder(u"C:\\Windows\\SysWOW64\\msiexec.exe", u"C:\\msiexec.txt");

  struct Case {
    const char* name;
    SetupMode chosen;
    std::vector<std::pair<std::string, std::vector<INT_PTR>>> answers;
    Shown expected;
  } cases[] = {
      {"repair",
       ModeReinstall,
       {{"maintenance", {1001}}, {"copy", {1}}, {"finish", {2}}},
       {"maintenance", "copy", "finish"}},
      {"repair failed", ModeReinstall, {{"maintenance", {1001}}, {"copy", {2}}}, {"maintenance", "copy", "error"}},
      {"cancelled", ModeReinstall, {{"maintenance", {2}}}, {"maintenance", "error"}},
      {"removal declined", ModeRemove, {{"maintenance", {2}}}, {"maintenance", "error"}},
      {"page not shown", ModeRemove, {}, {"maintenance", "error"}},
  };
  for (const auto& c : cases) {
    ScriptedPages pages;
    for (const auto& [page, results] : c.answers)
      for (INT_PTR result : results) pages.answer(page, {result});
    pages.onShow("maintenance", [mode = c.chosen] { SetupState().mode = mode; });
    RunMaintenance(pages);
    EXPECT_EQ(pages.shown(), c.expected) << c.name;
  }
  EXPECT_TRUE(runs(u"C:\\msiexec.txt").empty());
  EXPECT_TRUE(messageBoxes().empty());

  // Removal confirmed on the page: the uninstall procedure runs; without an
  // uninstaller in the install folder it fails with text 2013.
  ScriptedPages pages;
  pages.answer("maintenance", {1001}).onShow("maintenance", [] { SetupState().mode = ModeRemove; });
  RunMaintenance(pages);
  EXPECT_EQ(pages.shown(), (Shown{"maintenance"}));
  EXPECT_EQ(runs(u"C:\\msiexec.txt"), kPayloadRemoval);
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], "Failed to uninstall!");
  EXPECT_EQ(boxes[0]["caption"], "Setup");
}

TEST_F(FlowsTest, MaintenanceFromTheInstallFolderAsksAndRemoves) {
  // The installed copy of the setup program, as the installed-programs list
  // starts it: no Msi folder beside it, an install.log.
  ::setenv("WINSIM_IMAGE", "C:\\Program Files (x86)\\Halvorn\\Merrowin\\Setup.exe", 1);
  const std::u16string dir = kInstallDir;
  writeFile(dir + u"\\install.log", "\r\r\nrecord");
  writeFile(dir + u"\\IntallerRes.dll", "library");
  writeRecorder(dir + u"\\HUninstall", kRecord);
  writeRecorder(u"C:\\Windows\\System32\\msiexec.exe", u"C:\\msiexec.txt");
  writeRecorder(u"C:\\Windows\\SysWOW64\\msiexec.exe", u"C:\\msiexec.txt");
  SetupState().mode = ModeReinstall;

  uiScript("answer IDNO\nanswer IDYES\n");
  ScriptedPages declined;
  RunMaintenance(declined);
  EXPECT_EQ(declined.shown(), (Shown{"error"}));
  EXPECT_EQ(SetupState().mode, ModeRemove);
  EXPECT_TRUE(runs(u"C:\\msiexec.txt").empty());

  ScriptedPages confirmed;
  RunMaintenance(confirmed);
  EXPECT_TRUE(confirmed.shown().empty());
  EXPECT_EQ(runs(u"C:\\msiexec.txt"), kPayloadRemoval);
  EXPECT_TRUE(enginetest::ended(u"HUninstall.exe"));
  EXPECT_EQ(runs(kRecord),
            (std::vector<std::string>{"\"C:\\Users\\User\\AppData\\Local\\Temp\\HUninstall.exe\" /norestart"}));

  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box["text"], "\nAre you sure you want to uninstall this product?\n");
    EXPECT_EQ(box["caption"], "DWG Merrowin");
    EXPECT_EQ(box["style"], "0x00000004");  // Yes and No, nothing else
  }
  EXPECT_EQ(boxes[0]["answer"], "IDNO");
  EXPECT_EQ(boxes[1]["answer"], "IDYES");
}

TEST_F(FlowsTest, MaintenanceFromTheInstallFolderReportsAFailedRemoval) {
  ::setenv("WINSIM_IMAGE", "C:\\Program Files (x86)\\Halvorn\\Merrowin\\Setup.exe", 1);
  writeFile(std::u16string(kInstallDir) + u"\\install.log", "\r\r\nrecord");  // but no HUninstall
  uiScript("answer IDYES\n");
  ScriptedPages pages;
  RunMaintenance(pages);
  EXPECT_TRUE(pages.shown().empty());
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1]["text"], "Failed to uninstall!");
  EXPECT_EQ(boxes[1]["caption"], "Setup");
}

TEST_F(FlowsTest, FromAFolderWithoutLogTheMaintenancePageRuns) {
  // A copy of the setup program beside neither Msi nor install.log is still
  // the package's: its maintenance page decides.
  ScriptedPages pages;
  pages.answer("maintenance", {2});
  RunMaintenance(pages);
  EXPECT_EQ(pages.shown(), (Shown{"maintenance", "error"}));
}

}  // namespace

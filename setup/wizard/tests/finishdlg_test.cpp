// The finish page: the start-the-viewer check box opening as launchAfterFinish
// says and toggling it, the workspace choices that stay hidden, and the
// results of Finish and Escape.
#include "finishdlg.h"

#include <string>

#include "pagechecks.h"
#include "pagetest.h"

namespace {

using pagechecks::pump;
using pagechecks::showsIcon;
using pagetest::PageTest;
namespace fs = std::filesystem;

/// The page shown modelessly (pagechecks::ShownPage), with what its tests read.
class ShownPage : public pagechecks::ShownPage<CKoraxFinishDlg> {
 public:
  ShownPage() : pagechecks::ShownPage<CKoraxFinishDlg>(IDD_FINISH) {}

  bool showsLaunch(bool on) const {
    return showsIcon(control(IDC_LAUNCH_CHECK), on ? IDI_CHECK_TICKED : IDI_CHECK_CLEAR);
  }
};

using FinishPageTest = PageTest;

TEST_F(FinishPageTest, OpensWithTheCheckBoxOfLaunchAfterFinishAndTheChoicesHidden) {
  for (const bool launch : {true, false}) {
    SCOPED_TRACE(launch ? "on" : "off");
    SetupState().launchAfterFinish = launch;
    ShownPage shown;
    ASSERT_TRUE(shown.created());
    EXPECT_TRUE(shown.showsLaunch(launch));
    // Since the first paint the check box draws over the page's own picture.
    EXPECT_TRUE(
        pagechecks::showsPageBackground(shown.page().GetSafeHwnd(), shown.control(IDC_LAUNCH_CHECK), 1, 1, IDB_FINISH));
    EXPECT_FALSE(IsWindowVisible(shown.control(IDC_MODERN_WORKSPACE)));
    EXPECT_FALSE(IsWindowVisible(shown.control(IDC_CLASSIC_WORKSPACE)));
    EXPECT_TRUE(IsWindowVisible(shown.control(IDC_LAUNCH_CHECK)));
    EXPECT_EQ(shown.page().GetBackground().GetWidth(), 500);
  }
}

TEST_F(FinishPageTest, TheCheckBoxTogglesLaunchAfterFinish) {
  ShownPage shown;
  ASSERT_TRUE(shown.created());
  for (const bool expected : {false, true, false}) {
    shown.command(IDC_LAUNCH_CHECK);
    EXPECT_EQ(SetupState().launchAfterFinish, expected);
    EXPECT_TRUE(shown.showsLaunch(expected));
  }
}

TEST_F(FinishPageTest, TheWorkspaceCommandsRecordTheStyle) {
  SetupState().classicWorkspace = 0;
  ShownPage shown;
  ASSERT_TRUE(shown.created());
  shown.command(IDC_CLASSIC_WORKSPACE);
  EXPECT_EQ(SetupState().classicWorkspace, 1);
  shown.command(IDC_MODERN_WORKSPACE);
  EXPECT_EQ(SetupState().classicWorkspace, 0);
}

TEST_F(FinishPageTest, FinishAndEscapeEndThePage) {
  struct Case {
    const char* script;
    int result;
    bool launch;  // launchAfterFinish afterwards
  } const kCases[] = {
      {"click 1001\n", IDC_NEXT, true},
      {"click 1044\nclick 1001\n", IDC_NEXT, false},
      {"click 1044\nclick 1044\nclick 1001\n", IDC_NEXT, true},
      {"key ESCAPE\n", IDCANCEL, true},
      // Enter is not a way out: it presses the button that has the focus,
      // the check box, and the page stays until Finish or Escape.
      {"key ENTER\nkey ESCAPE\n", IDCANCEL, false},
  };
  int run = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.script);
    SetupState().launchAfterFinish = true;
    SetupState().classicWorkspace = 1;
    pagechecks::scriptForRun(machineFolder(), ++run, c.script);
    CKoraxFinishDlg page;
    EXPECT_EQ(page.DoModal(), c.result);
    EXPECT_EQ(SetupState().launchAfterFinish, c.launch);
    EXPECT_EQ(SetupState().classicWorkspace, 1) << "the hidden choices change nothing";
  }
  EXPECT_TRUE(transcript("ScriptError").empty());
}

TEST_F(FinishPageTest, Screenshot) {
  fs::remove("/tmp/finish.png");
  script("wait-dialog 110\nscreenshot /tmp/finish.png\nkey ESCAPE\n");
  CKoraxFinishDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  EXPECT_TRUE(fs::exists("/tmp/finish.png"));
}

}  // namespace

// The session a person drives: command lines from the UI agent's "command"
// verb, run as script lines are, until the person's next action is of
// another kind.
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "hosttest.h"
#include "kxap.h"
#include "winsim/uiagent.h"

namespace {

class SessionTest : public kxhost::testing::HostTest {
 protected:
  ~SessionTest() override { ::unsetenv("WINSIM_UI"); }

  void uiScript(const std::string& text) {
    const std::filesystem::path script = m_machine.folder() / "ui.txt";
    std::ofstream(script, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", script.c_str(), 1);
  }
  bool exists(std::u16string_view path) const { return std::filesystem::exists(m_machine.host(path)); }
  static OdGePoint3d ucsOrigin() { return kxDocManagerPtr()->curDocument()->database()->ucsorg(); }
};

TEST_F(SessionTest, LinesRunUntilThePersonDoesSomethingElse) {
  uiScript(
      "command UCS O 10,20,0\n"
      "# the person saves the drawing\n"
      "command SAVEAS C:\\first.dxf\n"
      "answer IDOK\n"
      "command SAVEAS C:\\second.dxf\n");
  kxhost::newDocument();
  EXPECT_TRUE(kxhost::runUiSession());
  EXPECT_EQ(ucsOrigin(), OdGePoint3d(10, 20, 0));
  EXPECT_TRUE(exists(u"C:\\first.dxf"));
  EXPECT_TRUE(shown(u"Command: SAVEAS"));
  // The answer stays for the layer it is meant for; what follows it is not the session's.
  const auto next = winsim::takeUiCommand("answer");
  ASSERT_TRUE(next.has_value());
  EXPECT_EQ(next->rest, "IDOK");
  EXPECT_FALSE(exists(u"C:\\second.dxf"));
}

TEST_F(SessionTest, APromptReadsTheLinesTypedAfterTheCommand) {
  uiScript("command UCS\ncommand O\ncommand 5,6,0\ncommand SAVEAS\ncommand C:\\typed.dxf\n");
  kxhost::newDocument();
  EXPECT_TRUE(kxhost::runUiSession());
  EXPECT_EQ(ucsOrigin(), OdGePoint3d(5, 6, 0));
  EXPECT_TRUE(exists(u"C:\\typed.dxf"));
}

TEST_F(SessionTest, AFailedLineIsReportedAndTheSessionGoesOn) {
  uiScript("command NOSUCHCOMMAND\ncommand SAVEAS C:\\after.dxf\n");
  kxhost::newDocument();
  EXPECT_FALSE(kxhost::runUiSession());
  EXPECT_TRUE(shown(u"Unknown command \"NOSUCHCOMMAND\"."));
  EXPECT_TRUE(exists(u"C:\\after.dxf"));
}

TEST_F(SessionTest, APromptLeftUnansweredIsCancelled) {
  uiScript("command UCS O\nclick 1001\n");
  kxhost::newDocument();
  EXPECT_FALSE(kxhost::runUiSession());
  EXPECT_TRUE(shown(u"*Cancel*"));
  EXPECT_EQ(ucsOrigin(), OdGePoint3d::kOrigin);
  EXPECT_TRUE(winsim::takeUiCommand("click").has_value());
}

TEST_F(SessionTest, WithoutAScriptTheSessionEndsAtOnce) {
  kxhost::newDocument();
  EXPECT_TRUE(kxhost::runUiSession());
  EXPECT_FALSE(shown(u"Command:"));
}

TEST_F(SessionTest, OutsideASessionAPromptDoesNotTakeThePersonsLines) {
  uiScript("command 7,8,0\n");
  kxhost::newDocument();
  EXPECT_FALSE(kxhost::runCommandInput(u"UCS O\n"));
  EXPECT_EQ(ucsOrigin(), OdGePoint3d::kOrigin);
  EXPECT_TRUE(winsim::takeUiCommand("command").has_value());
}

}  // namespace

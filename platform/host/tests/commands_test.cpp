// The host's command input: its own commands, scripts, prompts, and what
// SECURELOAD lets the LOAD command do.
#include <fstream>

#include "EdCommandStack.h"
#include "OdAlloc.h"
#include "hosttest.h"
#include "kxed.h"

namespace {

using kxhost::testing::HostTest;

double realVar(const char16_t* name) {
  resbuf r{};
  EXPECT_EQ(kxedGetVar(name, &r), RTNORM);
  return r.restype == RTSHORT ? r.resval.rint : r.resval.rreal;
}

OdGePoint3d pointVar(const char16_t* name) {
  resbuf r{};
  EXPECT_EQ(kxedGetVar(name, &r), RTNORM);
  return {r.resval.rpoint[0], r.resval.rpoint[1], r.resval.rpoint[2]};
}

std::u16string textVar(const char16_t* name) {
  resbuf r{};
  EXPECT_EQ(kxedGetVar(name, &r), RTNORM);
  std::u16string text = r.resval.rstring ? r.resval.rstring : u"";
  odrxFree(r.resval.rstring);
  return text;
}

TEST_F(HostTest, SetvarReadsTheValueAsTheVariablesKind) {
  kxhost::newDocument();
  EXPECT_TRUE(kxhost::runCommandInput(
      u"SETVAR VIEWSIZE 25.5\nSETVAR viewctr 3,4\nSETVAR TARGET 1,2,3\nSETVAR LUPREC 2\nSETVAR TRUSTEDPATHS "
      u"\"C:\\Program Files\\Tools\"\n"));
  EXPECT_DOUBLE_EQ(realVar(u"VIEWSIZE"), 25.5);
  EXPECT_DOUBLE_EQ(pointVar(u"VIEWCTR").x, 3);  // the target moved, the centre stayed
  EXPECT_DOUBLE_EQ(pointVar(u"VIEWCTR").y, 4);
  EXPECT_DOUBLE_EQ(pointVar(u"TARGET").z, 3);
  EXPECT_DOUBLE_EQ(realVar(u"LUPREC"), 2);
  EXPECT_EQ(textVar(u"TRUSTEDPATHS"), u"C:\\Program Files\\Tools");

  struct Case {
    const char16_t* input;
    const char16_t* message;
  } failures[] = {
      {u"SETVAR NOSUCH 1\n", u"Unknown variable name: NOSUCH"},
      {u"SETVAR LUPREC two\n", u"Invalid value for LUPREC: two"},
      {u"SETVAR VIEWSIZE -1\n", u"Invalid value for VIEWSIZE: -1"},
      {u"SETVAR CMDACTIVE 1\n", u"Invalid value for CMDACTIVE: 1"},
      {u"SETVAR VIEWCTR 1\n", u"Invalid value for VIEWCTR: 1"},
  };
  for (const Case& c : failures) {
    EXPECT_FALSE(kxhost::runCommandInput(c.input)) << winsim::toUtf8(c.input);
    EXPECT_TRUE(shown(c.message)) << winsim::toUtf8(c.message);
  }
  EXPECT_DOUBLE_EQ(realVar(u"VIEWSIZE"), 25.5);
}

TEST_F(HostTest, TheUcsCommandMovesAndTurnsTheUcs) {
  KxApDocument* document = kxhost::newDocument();
  OdDbDatabase* database = document->database();
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS O 10,5,0\nUCS Z 90\n"));
  EXPECT_TRUE(database->ucsorg().isEqualTo({10, 5, 0}));
  EXPECT_TRUE(database->ucsxdir().isEqualTo(OdGeVector3d::kYAxis, 1e-12));
  EXPECT_TRUE(database->ucsydir().isEqualTo(-OdGeVector3d::kXAxis, 1e-12));
  // The next origin is given in the turned UCS.
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS O 1,0,0\n"));
  EXPECT_TRUE(database->ucsorg().isEqualTo({10, 6, 0}, 1e-12));
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS W\n"));
  EXPECT_TRUE(database->ucsorg().isEqualTo(OdGePoint3d::kOrigin));
  EXPECT_TRUE(database->ucsxdir().isEqualTo(OdGeVector3d::kXAxis));
  // Three points: origin, a point on X, a point in the XY plane.
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS 3 1,1,0 2,2,0 0,2,0\n"));
  EXPECT_TRUE(database->ucsorg().isEqualTo({1, 1, 0}));
  EXPECT_TRUE(database->ucsxdir().isEqualTo(OdGeVector3d(1, 1, 0).normal(), 1e-12));
  EXPECT_TRUE(database->ucsydir().isEqualTo(OdGeVector3d(-1, 1, 0).normal(), 1e-12));

  EXPECT_FALSE(kxhost::runCommandInput(u"UCS Q\n"));
  EXPECT_FALSE(kxhost::runCommandInput(u"UCS 3 0,0,0 1,0,0 2,0,0\n"));  // three points on a line
  EXPECT_FALSE(kxhost::runCommandInput(u"UCS Z ninety\n"));
  EXPECT_TRUE(database->ucsorg().isEqualTo({1, 1, 0}));
}

TEST_F(HostTest, SaveasWritesADrawingThatOpensAgain) {
  KxApDocument* document = kxhost::newDocument();
  std::filesystem::create_directories(m_machine.host(u"C:\\Drawings Out"));
  ASSERT_TRUE(kxhost::runCommandInput(u"SETVAR CELTSCALE 3\nSAVEAS \"C:\\Drawings Out\\plan.dxf\"\n"));
  EXPECT_EQ(document->fileName(), OdString(u"C:\\Drawings Out\\plan.dxf"));
  OdResult status = eOk;
  KxApDocument* reopened = kxhost::openDocument(u"C:\\Drawings Out\\plan.dxf", status);
  ASSERT_NE(reopened, nullptr) << winsim::toUtf8(odResultText(status));
  EXPECT_DOUBLE_EQ(reopened->database()->celtscale(), 3);
  EXPECT_FALSE(kxhost::runCommandInput(u"SAVEAS Q:\\nowhere\\plan.dxf\n"));
  EXPECT_TRUE(shown(u"Cannot save Q:\\nowhere\\plan.dxf"));
}

TEST_F(HostTest, AScriptRunsLineByLineAndReportsFailures) {
  kxhost::newDocument();
  {
    std::ofstream script(m_machine.host(u"C:\\start.scr"), std::ios::binary);
    script << "\xEF\xBB\xBF; the view of the plan\r\nSETVAR VIEWSIZE 40\r\n\r\nSETVAR\r\nVIEWTWIST\r\n0.25\r\n";
  }
  EXPECT_TRUE(kxhost::runScript(u"C:\\start.scr"));
  EXPECT_DOUBLE_EQ(realVar(u"VIEWSIZE"), 40);
  EXPECT_DOUBLE_EQ(realVar(u"VIEWTWIST"), 0.25);  // prompts read the following lines
  {
    std::ofstream script(m_machine.host(u"C:\\bad.scr"), std::ios::binary);
    script << "FROBNICATE\nSETVAR VIEWSIZE 41\n";
  }
  EXPECT_FALSE(kxhost::runScript(u"C:\\bad.scr"));
  EXPECT_TRUE(shown(u"Unknown command \"FROBNICATE\"."));
  EXPECT_DOUBLE_EQ(realVar(u"VIEWSIZE"), 41);  // the script goes on
  EXPECT_FALSE(kxhost::runScript(u"C:\\missing.scr"));
  EXPECT_TRUE(shown(u"Cannot read the script C:\\missing.scr."));
}

struct PromptResults {
  int status[7] = {};
  std::u16string cut, quoted, line;
  OdGePoint3d point;
  double real = 0;
  int integer = 0;
};
PromptResults g_prompts;

void promptsCommand() {
  PromptResults& r = g_prompts;
  OdChar small[5];
  OdChar large[64];
  r.status[0] = kxedGetString(0, u"\nName: ", small, 5);
  r.cut = small;
  r.status[1] = kxedGetString(0, u"\nTitle: ", large, 64);
  r.quoted = large;
  ads_point p = {0, 0, 0};
  r.status[2] = kxedGetPoint(nullptr, u"\nPoint: ", p);
  r.point.set(p[0], p[1], p[2]);
  r.status[3] = kxedGetReal(u"\nScale: ", &r.real);
  r.status[4] = kxedGetInt(u"\nCount: ", &r.integer);  // 40000 is no 16-bit integer
  r.status[5] = kxedGetInt(u"\nCount: ", &r.integer);
  r.status[6] = kxedGetString(1, u"\nComment: ", large, 64);
  r.line = large;
}

TEST_F(HostTest, PromptsReadTheFollowingInput) {
  kxhost::newDocument();
  odedRegCmds()->addCommand(u"HOSTTEST", u"HTPROMPTS", u"HTPROMPTS", OdEdCommand::kModal, promptsCommand);
  EXPECT_FALSE(kxhost::runCommandInput(u"HTPROMPTS abcdefgh \"two words\" 12,3 2.5e1 40000 7 rest of line\n"));
  odedRegCmds()->removeGroup(u"HOSTTEST");
  const PromptResults& r = g_prompts;
  EXPECT_EQ(r.status[0], RTNORM);
  EXPECT_EQ(r.cut, u"abcd");
  EXPECT_EQ(r.status[1], RTNORM);
  EXPECT_EQ(r.quoted, u"two words");
  EXPECT_EQ(r.status[2], RTNORM);
  EXPECT_TRUE(r.point.isEqualTo({12, 3, 0}));
  EXPECT_EQ(r.status[3], RTNORM);
  EXPECT_DOUBLE_EQ(r.real, 25);
  EXPECT_EQ(r.status[4], RTERROR);
  EXPECT_TRUE(shown(u"Invalid input: 40000"));
  EXPECT_EQ(r.status[5], RTNORM);
  EXPECT_EQ(r.integer, 7);
  EXPECT_EQ(r.status[6], RTNORM);
  EXPECT_EQ(r.line, u"rest of line");
  // The exchange is echoed as a user would see it.
  EXPECT_TRUE(shown(u"\nCommand: HTPROMPTS\nName: abcdefgh\nTitle: two words\nPoint: 12,3"));
}

TEST_F(HostTest, TheEndOfInputCancelsAPrompt) {
  kxhost::newDocument();
  EXPECT_FALSE(kxhost::runCommandInput(u"SETVAR VIEWSIZE"));
  EXPECT_TRUE(shown(u"*Cancel*"));
  EXPECT_DOUBLE_EQ(realVar(u"VIEWSIZE"), 10);
}

TEST_F(HostTest, TheModelAndPaperSpaceCommandsNeedPaperSpace) {
  KxApDocument* document = kxhost::newDocument();
  const OdDbObjectId active = kxedGetCurViewportObjectId();
  EXPECT_FALSE(active.isNull());
  EXPECT_FALSE(kxhost::runCommandInput(u"MSPACE\n"));
  EXPECT_TRUE(shown(u"** Command not allowed in the Model tab **"));
  ASSERT_TRUE(kxhost::runCommandInput(u"SETVAR TILEMODE 0\n"));
  EXPECT_EQ(kxedGetCurViewportObjectId(), document->database()->paperSpaceVportId());
  EXPECT_FALSE(kxhost::runCommandInput(u"MSPACE\n"));  // no viewport entity in the layout yet
  EXPECT_TRUE(kxhost::runCommandInput(u"PSPACE\n"));
  EXPECT_EQ(kxedGetCurViewportObjectId(), document->database()->paperSpaceVportId());
}

}  // namespace

// The host's current view and document: the view's extent, zooming, named
// views (read back by ezdxf from the saved drawing), locking the current
// document and sending command text.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <cmath>
#include <sstream>
#include <string>

#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "EdCommandStack.h"
#include "HvDbUtilsGeometry.h"
#include "HvDbUtilsView.h"
#include "core/modulestate.h"
#include "kxap.h"
#include "kxed.h"
#include "kxhost.h"
#include "testing/tempmachine.h"
#include "winsim/text.h"

namespace {

constexpr double kNear = 1e-9;

void setReal(const char16_t* name, double value) {
  resbuf r{};
  r.restype = RTREAL;
  r.resval.rreal = value;
  ASSERT_EQ(kxedSetVar(name, &r), RTNORM) << winsim::toUtf8(name);
}

void setShort(const char16_t* name, short value) {
  resbuf r{};
  r.restype = RTSHORT;
  r.resval.rint = value;
  ASSERT_EQ(kxedSetVar(name, &r), RTNORM) << winsim::toUtf8(name);
}

void setPoint(const char16_t* name, const OdGePoint3d& p) {
  resbuf r{};
  r.restype = RT3DPOINT;
  r.resval.rpoint[0] = p.x;
  r.resval.rpoint[1] = p.y;
  r.resval.rpoint[2] = p.z;
  ASSERT_EQ(kxedSetVar(name, &r), RTNORM) << winsim::toUtf8(name);
}

double real(const char16_t* name) {
  resbuf r{};
  EXPECT_EQ(kxedGetVar(name, &r), RTNORM);
  return r.restype == RTSHORT ? r.resval.rint : r.resval.rreal;
}

OdGePoint3d point(const char16_t* name) {
  resbuf r{};
  EXPECT_EQ(kxedGetVar(name, &r), RTNORM);
  return {r.resval.rpoint[0], r.resval.rpoint[1], r.restype == RTPOINT ? 0 : r.resval.rpoint[2]};
}

void expectNear(const OdGePoint3d& actual, const OdGePoint3d& expected) {
  EXPECT_NEAR(actual.x, expected.x, kNear);
  EXPECT_NEAR(actual.y, expected.y, kNear);
  EXPECT_NEAR(actual.z, expected.z, kNear);
}

OdGePoint3d toPoint(const ads_point p) { return {p[0], p[1], p[2]}; }

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kxhost::setCommandLineToStdout(false);
    kxhost::clearCommandLineText();
    m_document = kxhost::newDocument();
    ASSERT_NE(m_document, nullptr);
  }
  void TearDown() override {
    kxhost::endSession();
    kxhost::setCommandLineToStdout(true);
  }
  OdDbDatabase* db() const { return m_document->database(); }

  int viewCount() const {
    OdDbViewTable* table = nullptr;
    EXPECT_EQ(db()->getViewTable(table, OdDb::kForRead), eOk);
    OdDbSymbolTableIterator* it = nullptr;
    EXPECT_EQ(table->newIterator(it), eOk);
    int count = 0;
    for (; !it->done(); it->step()) ++count;
    delete it;
    table->close();
    return count;
  }

  winsim::testing::TempMachine m_machine;
  KxApDocument* m_document = nullptr;
};

TEST_F(ViewTest, TheExtentOfThePlanView) {
  // VIEWCTR (0, 0, 0), VIEWSIZE 10 and a screen of 1000 x 500.
  ads_point low = {1, 1, 1}, high = {1, 1, 1};
  HvDbUtils::GetViewExtent(low, high);
  expectNear(toPoint(low), {-10, -5, 0});
  expectNear(toPoint(high), {10, 5, 0});
}

TEST_F(ViewTest, TheExtentIsInTheUcsAndFollowsTheScreensShape) {
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS O 5,0,0\n"));
  setPoint(u"SCREENSIZE", {400, 800, 0});
  setReal(u"VIEWSIZE", 8);
  ads_point low, high;
  HvDbUtils::GetViewExtent(low, high);
  // The view's centre, the WCS origin, is (-5, 0) in the UCS; half width 2.
  expectNear(toPoint(low), {-7, -4, 0});
  expectNear(toPoint(high), {-3, 4, 0});
}

TEST_F(ViewTest, ZoomingShowsTheWindowAndKeepsTheViewsOtherProperties) {
  setReal(u"LENSLENGTH", 35);
  setShort(u"VIEWMODE", 2 | 4);
  EXPECT_EQ(HvDbUtils::ZoomWindow({20, 30, 0}, 40, 10), 1);
  expectNear(point(u"VIEWCTR"), {20, 30, 0});
  // 40 wide on a 2:1 screen needs 20 high.
  EXPECT_DOUBLE_EQ(real(u"VIEWSIZE"), 20);
  EXPECT_DOUBLE_EQ(real(u"LENSLENGTH"), 35);
  EXPECT_EQ(real(u"VIEWMODE"), 16);  // no clipping, front clip at the eye
  expectNear(point(u"TARGET"), {0, 0, 0});
  expectNear(point(u"VIEWDIR"), {0, 0, 1});
  ads_point low, high;
  HvDbUtils::GetViewExtent(low, high);
  expectNear(toPoint(low), {0, 20, 0});
  expectNear(toPoint(high), {40, 40, 0});

  // A tall window sets the height itself.
  EXPECT_EQ(HvDbUtils::ZoomWindow({0, 0, 0}, 2, 30), 1);
  EXPECT_DOUBLE_EQ(real(u"VIEWSIZE"), 30);
}

TEST_F(ViewTest, ZoomingInATurnedUcsAndATwistedView) {
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS Z 90\n"));
  setReal(u"VIEWTWIST", 0.4);
  EXPECT_EQ(HvDbUtils::ZoomWindow({3, 4, 0}, 10, 5), 1);
  EXPECT_DOUBLE_EQ(real(u"VIEWTWIST"), 0.4);
  // The centre given in the UCS is the view's centre.
  expectNear(point(u"VIEWCTR"), {3, 4, 0});
  expectNear(HvDbUtils::arx_trans(point(u"VIEWCTR"), kKxUcs, kKxWcs), {-4, 3, 0});
}

TEST_F(ViewTest, ANamedViewTakesTheCurrentView) {
  setReal(u"VIEWTWIST", 0.25);
  setReal(u"LENSLENGTH", 80);
  setReal(u"FRONTZ", 3);
  setReal(u"BACKZ", -2);
  setShort(u"VIEWMODE", 1 | 4 | 16);
  ASSERT_EQ(HvDbUtils::ZoomWindow({6, 7, 0}, 20, 10), 1);
  setReal(u"FRONTZ", 3);
  setReal(u"BACKZ", -2);
  setShort(u"VIEWMODE", 1 | 4 | 16);

  const OdDbObjectId id = HvDbUtils::CreateViewRecord(u"Plan A");
  ASSERT_FALSE(id.isNull());
  EXPECT_EQ(m_document->lockCount(), 0);
  OdDbViewTableRecord* view = nullptr;
  ASSERT_EQ(oddbOpenObject(view, id, OdDb::kForRead), eOk);
  EXPECT_EQ(view->getName(), OdString(u"Plan A"));
  EXPECT_DOUBLE_EQ(view->height(), 10);
  EXPECT_DOUBLE_EQ(view->width(), 20);
  // The centre is a display point: VIEWCTR's.
  const OdGePoint3d center = HvDbUtils::arx_trans(point(u"VIEWCTR"), kKxUcs, kKxDcs);
  EXPECT_NEAR(view->centerPoint().x, center.x, kNear);
  EXPECT_NEAR(view->centerPoint().y, center.y, kNear);
  EXPECT_DOUBLE_EQ(view->viewTwist(), 0.25);
  EXPECT_DOUBLE_EQ(view->lensLength(), 80);
  EXPECT_TRUE(view->perspectiveEnabled());
  EXPECT_FALSE(view->frontClipEnabled());
  EXPECT_TRUE(view->backClipEnabled());
  EXPECT_TRUE(view->frontClipAtEye());
  EXPECT_DOUBLE_EQ(view->frontClipDistance(), 3);
  EXPECT_DOUBLE_EQ(view->backClipDistance(), -2);
  expectNear(view->target(), {0, 0, 0});
  EXPECT_TRUE(view->viewDirection().isEqualTo({0, 0, 1}));
  view->close();
}

TEST_F(ViewTest, TheViewsDirectionAndTargetAreStoredInTheWcs) {
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS Z 90\n"));
  setPoint(u"TARGET", {1, 2, 0});  // UCS
  setPoint(u"VIEWDIR", {1, 0, 1});
  const OdDbObjectId id = HvDbUtils::CreateViewRecord(u"Side", db());
  ASSERT_FALSE(id.isNull());
  OdDbViewTableRecord* view = nullptr;
  ASSERT_EQ(oddbOpenObject(view, id, OdDb::kForRead), eOk);
  expectNear(view->target(), {-2, 1, 0});
  const OdGeVector3d direction = view->viewDirection();
  expectNear({direction.x, direction.y, direction.z}, {0, 1, 1});
  view->close();
}

TEST_F(ViewTest, SavingAViewAgainUpdatesIt) {
  const int before = viewCount();
  const OdDbObjectId first = HvDbUtils::CreateViewRecord(u"Detail");
  ASSERT_FALSE(first.isNull());
  ASSERT_EQ(HvDbUtils::ZoomWindow({0, 0, 0}, 100, 50), 1);
  const OdDbObjectId second = HvDbUtils::CreateViewRecord(u"DETAIL");  // names compare without case
  EXPECT_EQ(second, first);
  EXPECT_EQ(viewCount(), before + 1);
  OdDbViewTableRecord* view = nullptr;
  ASSERT_EQ(oddbOpenObject(view, first, OdDb::kForRead), eOk);
  EXPECT_DOUBLE_EQ(view->height(), 50);
  EXPECT_DOUBLE_EQ(view->width(), 100);
  view->close();
  EXPECT_EQ(m_document->lockCount(), 0);
}

TEST_F(ViewTest, ANamedViewFailsCleanly) {
  const int before = viewCount();
  // A name the table refuses leaves nothing behind.
  EXPECT_TRUE(HvDbUtils::CreateViewRecord(u"a<b").isNull());
  EXPECT_TRUE(HvDbUtils::CreateViewRecord(u"").isNull());
  EXPECT_EQ(viewCount(), before);
  EXPECT_EQ(m_document->lockCount(), 0);

  // The view table held open for write by someone else.
  OdDbViewTable* table = nullptr;
  ASSERT_EQ(db()->getViewTable(table, OdDb::kForWrite), eOk);
  EXPECT_TRUE(HvDbUtils::CreateViewRecord(u"Busy").isNull());
  EXPECT_EQ(m_document->lockCount(), 0);
  table->close();

  // The view itself held open for write.
  const OdDbObjectId id = HvDbUtils::CreateViewRecord(u"Held");
  ASSERT_FALSE(id.isNull());
  OdDbObject* held = nullptr;
  ASSERT_EQ(id.openObject(held, OdDb::kForWrite), eOk);
  EXPECT_TRUE(HvDbUtils::CreateViewRecord(u"Held").isNull());
  held->close();
  EXPECT_EQ(m_document->lockCount(), 0);
  // What it opened it closed: the table opens for write again.
  ASSERT_EQ(db()->getViewTable(table, OdDb::kForWrite), eOk);
  table->close();

  // A database of no document cannot be locked.
  OdDbDatabase own(true);
  EXPECT_TRUE(HvDbUtils::CreateViewRecord(u"Own", &own).isNull());
}

TEST_F(ViewTest, ASavedViewOpensInEzdxf) {
  ASSERT_EQ(HvDbUtils::ZoomWindow({12, 8, 0}, 30, 15), 1);
  ASSERT_FALSE(HvDbUtils::CreateViewRecord(u"Overview").isNull());
  ASSERT_EQ(kxhost::saveDocumentAs(m_document, u"C:\\views.dxf"), eOk);
  const std::string path = m_machine.host(u"C:\\views.dxf").string();
  const std::string command =
      "/usr/bin/python3 -c 'import ezdxf,sys\n"
      "v = ezdxf.readfile(sys.argv[1]).views.get(\"Overview\")\n"
      "print(v.dxf.height, v.dxf.width, v.dxf.center[0], v.dxf.center[1])' " +
      path;
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[256] = {};
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  ASSERT_EQ(::pclose(pipe), 0);
  ASSERT_TRUE(read);
  std::istringstream values(line);
  double height = 0, width = 0, x = 0, y = 0;
  ASSERT_TRUE(values >> height >> width >> x >> y) << line;
  EXPECT_DOUBLE_EQ(height, 15);
  EXPECT_DOUBLE_EQ(width, 30);
  EXPECT_NEAR(x, 12, kNear);
  EXPECT_NEAR(y, 8, kNear);
}

TEST_F(ViewTest, LockDocAndUnlockDocEncloseChanges) {
  HvDbUtils::LockDoc();
  EXPECT_EQ(m_document->lockCount(), 1);
  EXPECT_EQ(m_document->lockMode(), KxAp::kWrite);
  HvDbUtils::LockDoc();  // not counted by the module: the host nests them
  EXPECT_EQ(m_document->lockCount(), 2);
  HvDbUtils::UnlockDoc();
  HvDbUtils::UnlockDoc();
  EXPECT_EQ(m_document->lockCount(), 0);
  HvDbUtils::UnlockDoc();  // nothing to release: the host's status is not looked at
  EXPECT_EQ(m_document->lockCount(), 0);
  EXPECT_EQ(kxhost::commandLineText().find(u"Lock failed"), std::u16string::npos);
}

TEST(LockDoc, WithoutADocumentTheFailureIsPrinted) {
  winsim::testing::TempMachine machine;
  kxhost::setCommandLineToStdout(false);
  kxhost::endSession();
  kxhost::clearCommandLineText();
  // The host program's folder has no expressres.dll: the text's fallback.
  ::setenv("WINSIM_IMAGE", "C:\\Korax\\korax.exe", 1);
  ASSERT_EQ(mwcommon::moduleState().expressResources, nullptr);
  HvDbUtils::LockDoc();
  EXPECT_EQ(kxhost::commandLineText(), u"Error: Cannot load expressres.dll!\nLock failed20\n");
  ::unsetenv("WINSIM_IMAGE");
  kxhost::setCommandLineToStdout(true);
}

// SendCommandToAcad from inside a running command, as a tool's command would.
CString g_sent;
void sendCommand() { HvDbUtils::SendCommandToAcad(g_sent); }

class SendCommandTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    ASSERT_EQ(odedRegCmds()->addCommand(u"MWVIEWTEST", u"MWSEND", u"MWSEND", OdEdCommand::kModal, sendCommand), eOk);
    kxhost::clearCommandLineText();
  }
  void TearDown() override {
    odedRegCmds()->removeGroup(u"MWVIEWTEST");
    ViewTest::TearDown();
  }
  static OdInt16 luprec() { return static_cast<OdInt16>(real(u"LUPREC")); }
};

TEST_F(SendCommandTest, TextIsRunAsTypedInput) {
  const OdInt16 before = luprec();
  ASSERT_NE(before, 6);
  HvDbUtils::SendCommandToAcad(u"SETVAR LUPREC 6");
  EXPECT_EQ(luprec(), before);  // queued, not run yet
  ASSERT_TRUE(kxhost::runCommandInput(u""));
  EXPECT_EQ(luprec(), 6);
  EXPECT_EQ(kxhost::commandLineText().find(u"*Cancel*"), std::u16string::npos);
}

TEST_F(SendCommandTest, ARunningCommandIsCancelledFirst) {
  g_sent = u"SETVAR LUPREC 2";
  ASSERT_TRUE(kxhost::runCommandInput(u"MWSEND\n"));
  EXPECT_EQ(luprec(), 2);
  const std::u16string& text = kxhost::commandLineText();
  const std::size_t cancel = text.find(u"*Cancel*");
  ASSERT_NE(cancel, std::u16string::npos) << winsim::toUtf8(text);
  EXPECT_LT(cancel, text.find(u"LUPREC"));

  // An empty text only cancels.
  kxhost::clearCommandLineText();
  g_sent = u"";
  ASSERT_TRUE(kxhost::runCommandInput(u"MWSEND\n"));
  EXPECT_NE(kxhost::commandLineText().find(u"*Cancel*"), std::u16string::npos);
}

TEST_F(SendCommandTest, AnEmptyTextWithoutACommandSendsNothing) {
  HvDbUtils::SendCommandToAcad(u"");
  ASSERT_TRUE(kxhost::runCommandInput(u""));
  EXPECT_EQ(kxhost::commandLineText(), u"");
}

TEST_F(SendCommandTest, TextsOfUpTo255CharactersAreSentWhole) {
  // The command and then blanks up to the limit: whole, it sets LUPREC.
  CString fits(u"SETVAR LUPREC 7");
  while (fits.GetLength() < HvDbUtils::kMaxCommandText) fits += u' ';
  ASSERT_EQ(fits.GetLength(), 255);
  HvDbUtils::SendCommandToAcad(fits);
  ASSERT_TRUE(kxhost::runCommandInput(u""));
  EXPECT_EQ(luprec(), 7);

  // One character more is beyond the limit: nothing is sent, not even a part.
  CString tooLong = fits + u"1";
  tooLong.SetAt(14, u'3');  // "SETVAR LUPREC 3    ..."
  HvDbUtils::SendCommandToAcad(tooLong);
  ASSERT_TRUE(kxhost::runCommandInput(u""));
  EXPECT_EQ(luprec(), 7);
}

TEST(ViewDirection, IsTheZeroVectorWhateverTheContext) {
  EXPECT_EQ(HvDbUtils::GetViewDirection(nullptr), OdGeVector3d(0, 0, 0));
  int someContext = 0;
  EXPECT_EQ(HvDbUtils::GetViewDirection(reinterpret_cast<OdGiViewportDraw*>(&someContext)), OdGeVector3d(0, 0, 0));
}

}  // namespace

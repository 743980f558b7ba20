// The current view and viewport: making a view record current, and which
// viewport is current in model and paper space.
#include <cmath>

#include "DbSymbolTable.h"
#include "DbViewport.h"
#include "hosttest.h"
#include "kxed.h"

namespace {

using kxhost::testing::HostTest;

double real(const char16_t* name) {
  resbuf r{};
  EXPECT_EQ(kxedGetVar(name, &r), RTNORM);
  return r.restype == RTSHORT ? r.resval.rint : r.resval.rreal;
}

OdGePoint3d point(const char16_t* name) {
  resbuf r{};
  EXPECT_EQ(kxedGetVar(name, &r), RTNORM);
  return {r.resval.rpoint[0], r.resval.rpoint[1], r.resval.rpoint[2]};
}

TEST_F(HostTest, AViewRecordBecomesTheCurrentView) {
  kxhost::newDocument();
  OdDbViewTableRecord view;
  view.setCenterPoint({5, 6});
  view.setHeight(20);
  view.setWidth(30);
  view.setViewDirection({0, 0, 2});
  view.setTarget({1, 1, 0});
  view.setLensLength(35);
  view.setViewTwist(0.25);
  view.setPerspectiveEnabled(false);
  view.setFrontClipEnabled(true);
  view.setBackClipEnabled(true);
  view.setFrontClipAtEye(true);
  view.setFrontClipDistance(3);
  view.setBackClipDistance(-4);
  ASSERT_EQ(kxedSetCurrentView(&view, nullptr), eOk);
  EXPECT_DOUBLE_EQ(real(u"VIEWSIZE"), 20);  // 30 wide fits in 20 high on a 2:1 screen
  EXPECT_DOUBLE_EQ(real(u"LENSLENGTH"), 35);
  EXPECT_DOUBLE_EQ(real(u"VIEWTWIST"), 0.25);
  EXPECT_DOUBLE_EQ(real(u"VIEWMODE"), 2 + 4 + 16);
  EXPECT_DOUBLE_EQ(real(u"FRONTZ"), 3);
  EXPECT_DOUBLE_EQ(real(u"BACKZ"), -4);
  EXPECT_TRUE(point(u"TARGET").isEqualTo({1, 1, 0}));
  EXPECT_TRUE(point(u"VIEWDIR").isEqualTo({0, 0, 2}));
  // The centre is a display point: (5, 6) from the target, on the twisted axes.
  resbuf dcs{}, wcs{};
  dcs.restype = wcs.restype = RTSHORT;
  dcs.resval.rint = kKxDcs;
  wcs.resval.rint = kKxWcs;
  const OdGePoint3d center = point(u"VIEWCTR");
  ads_point c = {center.x, center.y, center.z}, d = {0, 0, 0};
  kxedTrans(c, &wcs, &dcs, 0, d);
  EXPECT_NEAR(d[0], 5, 1e-12);
  EXPECT_NEAR(d[1], 6, 1e-12);

  // A wide window: the view is as high as the width needs.
  view.setHeight(10);
  view.setWidth(100);
  ASSERT_EQ(kxedSetCurrentView(&view, nullptr), eOk);
  EXPECT_DOUBLE_EQ(real(u"VIEWSIZE"), 50);
}

TEST_F(HostTest, BadViewsAreRefused) {
  OdDbViewTableRecord view;
  EXPECT_EQ(kxedSetCurrentView(nullptr, nullptr), eNullObjectPointer);
  EXPECT_EQ(kxedSetCurrentView(&view, nullptr), eNoDatabase);
}

TEST_F(HostTest, AViewportEntityTakesTheView) {
  kxhost::newDocument();
  OdDbViewTableRecord view;
  view.setCenterPoint({7, 8});
  view.setHeight(12);
  view.setViewTwist(0.5);
  OdDbViewport viewport;
  ASSERT_EQ(kxedSetCurrentView(&view, &viewport), eOk);
  EXPECT_EQ(viewport.viewCenter(), OdGePoint2d(7, 8));
  EXPECT_DOUBLE_EQ(viewport.viewHeight(), 12);
  EXPECT_DOUBLE_EQ(viewport.twistAngle(), 0.5);
  EXPECT_DOUBLE_EQ(real(u"VIEWSIZE"), 10);  // the document's own view is not touched
}

TEST_F(HostTest, TheCurrentViewportFollowsTheSpace) {
  EXPECT_TRUE(kxedGetCurViewportObjectId().isNull());
  KxApDocument* document = kxhost::newDocument();
  const OdDbObjectId model = kxedGetCurViewportObjectId();
  OdDbViewportTableRecord* record = nullptr;
  ASSERT_EQ(oddbOpenObject(record, model, OdDb::kForRead), eOk);
  EXPECT_EQ(record->getName(), OdString(u"*Active"));
  record->close();
  document->database()->setTilemode(false);
  EXPECT_EQ(kxedGetCurViewportObjectId(), document->database()->paperSpaceVportId());
  EXPECT_EQ(kxedGetKoraxDwgView(), nullptr);
}

}  // namespace

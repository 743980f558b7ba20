// The host's current view: its extent, and zooming to a window.
#include "DbSymbolTable.h"
#include "HvDbUtilsView.h"
#include "core/hostpoints.h"
#include "core/hostvariables.h"
#include "kxdefs.h"
#include "kxed.h"

namespace HvDbUtils {

OdGeVector3d GetViewDirection(OdGiViewportDraw* /*viewportDraw*/) { return OdGeVector3d(0, 0, 0); }

void GetViewExtent(ads_point lowerLeft, ads_point upperRight) {
  const OdGePoint3d center = mwcommon::pointVariable(u"VIEWCTR");
  const double size = mwcommon::realVariable(u"VIEWSIZE");
  const OdGePoint3d screen = mwcommon::pointVariable(u"SCREENSIZE");
  const double halfHeight = size * 0.5;
  const double halfWidth = halfHeight / screen.y * screen.x;
  const OdGePoint3d c = mwcommon::hostTrans(center, kKxUcs, kKxDcs, mwcommon::Displacement::Point);
  const OdGePoint3d low(c.x - halfWidth, c.y - halfHeight, c.z);
  const OdGePoint3d high(c.x + halfWidth, c.y + halfHeight, c.z);
  mwcommon::toAdsPoint(mwcommon::hostTrans(low, kKxDcs, kKxUcs, mwcommon::Displacement::Point), lowerLeft);
  mwcommon::toAdsPoint(mwcommon::hostTrans(high, kKxDcs, kKxUcs, mwcommon::Displacement::Point), upperRight);
}

int ZoomWindow(const OdGePoint3d& center, double width, double height) {
  // A record of no database: it only carries the view to the host.
  OdDbViewTableRecord view;
  const OdGePoint3d direction =
      mwcommon::hostTrans(mwcommon::pointVariable(u"VIEWDIR"), kKxUcs, kKxWcs, mwcommon::Displacement::Direction);
  const OdGePoint3d c = mwcommon::hostTrans(center, kKxUcs, kKxDcs, mwcommon::Displacement::Point);
  view.setCenterPoint(OdGePoint2d(c.x, c.y));
  view.setHeight(height);
  view.setWidth(width);
  view.setViewDirection(direction.asVector());
  view.setLensLength(mwcommon::realVariable(u"LENSLENGTH"));
  view.setViewTwist(mwcommon::realVariable(u"VIEWTWIST"));
  view.setPerspectiveEnabled(false);
  view.setFrontClipEnabled(false);
  view.setBackClipEnabled(false);
  view.setFrontClipAtEye(true);
  view.setIsPaperspaceView(false);
  view.setFrontClipDistance(0);
  view.setBackClipDistance(0);
  view.setTarget(
      mwcommon::hostTrans(mwcommon::pointVariable(u"TARGET"), kKxUcs, kKxWcs, mwcommon::Displacement::Point));
  kxedSetCurrentView(&view, nullptr);
  return 1;
}

}  // namespace HvDbUtils

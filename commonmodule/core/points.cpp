// Point geometry: conversions between point forms, comparisons with the
// module's point tolerance, and the host's polar, angle and system
// conversions.
#include <cmath>

#include "HvDbUtilsGeometry.h"
#include "core/hostpoints.h"
#include "kxdefs.h"
#include "kxut.h"

namespace {

// Drawing units within which two points are the same point.
constexpr double kPointTolerance = 0.001;
constexpr double kFullTurn = 6.283185307179586;

}  // namespace

namespace HvDbUtils {

OdGePoint3d p2to3(const OdGePoint2d& point) { return {point.x, point.y, 0.0}; }

OdGePoint2d p3to2(const OdGePoint3d& point) { return {point.x, point.y}; }

void CopyAdsPoint(ads_point destination, const ads_point source) {
  destination[0] = source[0];
  destination[1] = source[1];
  destination[2] = source[2];
}

int PointIsEqual(const OdGePoint3d& first, const OdGePoint3d& second) {
  return first.distanceTo(second) < kPointTolerance ? 1 : 0;
}

int PointIsOn(const OdGePoint3d& point, const OdGePoint3d& start, const OdGePoint3d& end) {
  // Comparing path lengths accepts points a little beside a long segment:
  // the detour through them grows with the square of the offset.
  const double detour = point.distanceTo(start) + point.distanceTo(end) - start.distanceTo(end);
  return std::fabs(detour) < kPointTolerance ? 1 : 0;
}

OdGePoint3d arx_polar(const OdGePoint3d& point, double angle, double distance) {
  ads_point from;
  mwcommon::toAdsPoint(point, from);
  ads_point result = {0, 0, 0};
  kxutPolar(from, angle, distance, result);
  return mwcommon::toPoint(result);
}

double arx_angle(const OdGePoint3d& from, const OdGePoint3d& to) {
  ads_point a;
  ads_point b;
  mwcommon::toAdsPoint(from, a);
  mwcommon::toAdsPoint(to, b);
  double angle = kxutAngle(a, b);
  while (angle < 0) angle += kFullTurn;
  while (angle >= kFullTurn) angle -= kFullTurn;
  return angle;
}

OdGePoint3d arx_trans(const OdGePoint3d& point, int from, int to) {
  return mwcommon::hostTrans(point, from, to, mwcommon::Displacement::Point);
}

OdGeVector3d arx_trans(const OdGeVector3d& vector, int from, int to) {
  return mwcommon::hostTrans(OdGePoint3d(vector.x, vector.y, vector.z), from, to, mwcommon::Displacement::Direction)
      .asVector();
}

OdGePoint3d DcsToUcs(const OdGePoint2d& point) { return arx_trans(p2to3(point), kKxDcs, kKxUcs); }

OdGePoint2d UcsToDcs(const OdGePoint3d& point) { return p3to2(arx_trans(point, kKxUcs, kKxDcs)); }

}  // namespace HvDbUtils

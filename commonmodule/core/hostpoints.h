// Between the SDK's point types and the host's three-double points, and the
// host's coordinate conversion by system code, for the module's geometry and
// view functions.
#pragma once

#include "Ge.h"
#include "OdTypes.h"

namespace mwcommon {

inline OdGePoint3d toPoint(const ads_point point) { return {point[0], point[1], point[2]}; }

inline void toAdsPoint(const OdGePoint3d& point, ads_point result) {
  result[0] = point.x;
  result[1] = point.y;
  result[2] = point.z;
}

/// Whether kxedTrans moves a point or turns a direction.
enum class Displacement { Point = 0, Direction = 1 };

/// `point` converted by the host (kxedTrans) from system code `from` to
/// `to`. The host's status is not examined: on a refusal the result is the
/// point unchanged.
OdGePoint3d hostTrans(const OdGePoint3d& point, int from, int to, Displacement displacement);

}  // namespace mwcommon

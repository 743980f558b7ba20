// Lightweight polylines: two points, a point array in the current UCS, and
// one arc.
#include <cmath>

#include "DbPolylines.h"
#include "HvDbUtilsEntities.h"
#include "HvDbUtilsGeometry.h"
#include "core/workingdatabase.h"
#include "entities/newentity.h"
#include "kxdefs.h"
#include "tables/currentspace.h"

namespace HvDbUtils {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kArcPolylineWidth = 1.0;
}  // namespace

OdDbObjectId CreatePolyline(OdGePoint2d first, OdGePoint2d second, double width, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  auto polyline = std::make_unique<OdDbPolyline>(2);
  polyline->addVertexAt(0, first);
  polyline->addVertexAt(1, second);
  polyline->setConstantWidth(width);
  polyline->setLinetypeScale(database->celtscale());
  return mwcommon::addToCurrentSpace(std::move(polyline), database);
}

OdDbObjectId CreatePolyline(OdArray<OdGePoint2d> points, int closed, double width, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  for (OdGePoint2d& point : points) {
    const OdGePoint3d world = arx_trans(OdGePoint3d(point.x, point.y, 0), kKxUcs, kKxWcs);
    point.set(world.x, world.y);
  }
  auto polyline = std::make_unique<OdDbPolyline>(points.size());
  for (unsigned int i = 0; i < points.size(); ++i) polyline->addVertexAt(i, points[i]);
  polyline->setConstantWidth(width);
  if (closed) polyline->setClosed(true);
  polyline->setLinetypeScale(database->celtscale());
  return mwcommon::appendEntity(std::move(polyline), mwcommon::currentSpaceName(database), database);
}

OdDbObjectId CreateArcPolyline(OdGePoint3d center, double radius, double startAngle, double endAngle,
                               OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  const OdGePoint3d start = arx_polar(center, startAngle, radius);
  const OdGePoint3d end = arx_polar(center, endAngle, radius);
  // Counter-clockwise from the start: an end below the start lies a turn on.
  if (startAngle > endAngle) endAngle += kTwoPi;
  const double bulge = std::tan((endAngle - startAngle) / 4);
  auto polyline = std::make_unique<OdDbPolyline>(2);
  polyline->addVertexAt(0, OdGePoint2d(start.x, start.y), bulge);
  polyline->addVertexAt(1, OdGePoint2d(end.x, end.y), bulge);
  polyline->setConstantWidth(kArcPolylineWidth);
  polyline->setLinetypeScale(database->celtscale());
  return mwcommon::appendEntity(std::move(polyline), mwcommon::currentSpaceName(database), database);
}

}  // namespace HvDbUtils

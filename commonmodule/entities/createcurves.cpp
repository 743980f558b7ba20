// Lines, arcs, circles and points, placed in the current UCS.
#include "DbCurves.h"
#include "HvDbUtilsEntities.h"
#include "HvDbUtilsGeometry.h"
#include "core/workingdatabase.h"
#include "entities/newentity.h"
#include "kxdefs.h"

namespace HvDbUtils {

namespace {

OdGePoint3d ucsToWcs(const OdGePoint3d& point) { return arx_trans(point, kKxUcs, kKxWcs); }

}  // namespace

OdDbObjectId CreateLine(OdGePoint3d start, OdGePoint3d end, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  auto line = std::make_unique<OdDbLine>(ucsToWcs(start), ucsToWcs(end));
  line->setLinetypeScale(database->celtscale());
  return mwcommon::addToCurrentSpace(std::move(line), database);
}

OdDbObjectId CreateArc(OdGePoint3d center, double radius, double startAngle, double endAngle, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  auto arc = std::make_unique<OdDbArc>(ucsToWcs(center), OdGeVector3d::kZAxis, radius, startAngle, endAngle);
  arc->setLinetypeScale(database->celtscale());
  return mwcommon::addToCurrentSpace(std::move(arc), database);
}

OdDbObjectId CreateCircle(OdGePoint3d center, double radius, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  auto circle = std::make_unique<OdDbCircle>(ucsToWcs(center), OdGeVector3d::kZAxis, radius);
  circle->setLinetypeScale(database->celtscale());
  // Closing an object of no database changes nothing; the circle is still
  // the caller's to append.
  circle->close();
  return mwcommon::addToCurrentSpace(std::move(circle), database);
}

OdDbObjectId CreatePoint(OdGePoint3d position, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  return mwcommon::addToCurrentSpace(std::make_unique<OdDbPoint>(ucsToWcs(position)), database);
}

}  // namespace HvDbUtils

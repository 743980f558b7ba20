// The user coordinate system of a database, as the host's UCS-to-WCS matrix;
// the WCS stands in whenever the host has none.
#include "DbEntity.h"
#include "HvDbUtilsGeometry.h"
#include "core/workingdatabase.h"
#include "kxdb.h"

namespace {

/// The UCS-to-WCS matrix of the database (null: the working database);
/// false, with the identity, when the host has none.
bool ucsToWcs(OdGeMatrix3d& matrix, OdDbDatabase* database) {
  if (kxdbUcsMatrix(matrix, mwcommon::resolveDatabase(database))) return true;
  matrix.setToIdentity();
  return false;
}

OdGeMatrix3d ucsToWcs(OdDbDatabase* database) {
  OdGeMatrix3d matrix;
  ucsToWcs(matrix, database);
  return matrix;
}

OdGeMatrix3d wcsToUcs(OdDbDatabase* database) { return ucsToWcs(database).inverse(); }

}  // namespace

namespace HvDbUtils {

OdGeVector3d GetUcsXAxis(OdDbDatabase* database) {
  OdGeMatrix3d matrix;
  return ucsToWcs(matrix, database) ? matrix.getCsXAxis() : OdGeVector3d::kXAxis;
}

OdGeVector3d GetUcsYAxis(OdDbDatabase* database) {
  OdGeMatrix3d matrix;
  return ucsToWcs(matrix, database) ? matrix.getCsYAxis() : OdGeVector3d::kYAxis;
}

OdGeVector3d GetUcsZAxis(OdDbDatabase* database) {
  OdGeMatrix3d matrix;
  return ucsToWcs(matrix, database) ? matrix.getCsZAxis() : OdGeVector3d::kZAxis;
}

OdGePlane GetUcsPlane(OdDbDatabase* database) {
  OdGeMatrix3d matrix;
  if (!ucsToWcs(matrix, database)) return OdGePlane(OdGePoint3d::kOrigin, OdGeVector3d::kZAxis);
  return OdGePlane(matrix.getCsOrigin(), matrix.getCsXAxis(), matrix.getCsYAxis());
}

void GetUcsToWcsMatrix(OdGeMatrix3d& matrix, OdDbDatabase* database) { ucsToWcs(matrix, database); }

void GetWcsToUcsMatrix(OdGeMatrix3d& matrix, OdDbDatabase* database) { matrix = wcsToUcs(database); }

void GetUcsToWcsOriginMatrix(OdGeMatrix3d& matrix, const OdGePoint3d& offset, OdDbDatabase* database) {
  OdGeMatrix3d ucs;
  if (!ucsToWcs(ucs, database)) {
    matrix.setToIdentity();
    return;
  }
  OdGePoint3d origin;
  OdGeVector3d x;
  OdGeVector3d y;
  OdGeVector3d z;
  ucs.getCoordSystem(origin, x, y, z);
  const OdGePoint3d shifted(origin.x + offset.x, origin.y + offset.y, origin.z + offset.z);
  matrix.setToAlignCoordSys(shifted, x, y, z, OdGePoint3d::kOrigin, OdGeVector3d::kXAxis, OdGeVector3d::kYAxis,
                            OdGeVector3d::kZAxis);
}

void UcsToWcs(OdGePoint3d& point, OdDbDatabase* database) { point = ucsToWcs(database) * point; }

void UcsToWcs(OdGeVector3d& vector, OdDbDatabase* database) { vector = ucsToWcs(database) * vector; }

void UcsToWcs(OdArray<OdGePoint3d>& points, OdDbDatabase* database) {
  const OdGeMatrix3d matrix = ucsToWcs(database);
  for (OdGePoint3d& point : points) point = matrix * point;
}

void WcsToUcs(OdGePoint3d& point, OdDbDatabase* database) { point = wcsToUcs(database) * point; }

void WcsToUcs(OdGeVector3d& vector, OdDbDatabase* database) { vector = wcsToUcs(database) * vector; }

void WcsToUcs(OdArray<OdGePoint3d>& points, OdDbDatabase* database) {
  const OdGeMatrix3d matrix = wcsToUcs(database);
  for (OdGePoint3d& point : points) point = matrix * point;
}

void TransformToWcs(OdDbEntity* entity, OdDbDatabase* database) {
  const OdGeMatrix3d matrix = ucsToWcs(database);
  if (entity) entity->transformBy(matrix);
}

void TransformToUcs(OdDbEntity* entity, OdDbDatabase* database) {
  const OdGeMatrix3d matrix = wcsToUcs(database);
  if (entity) entity->transformBy(matrix);
}

}  // namespace HvDbUtils

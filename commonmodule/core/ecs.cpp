// The entity coordinate system of a normal, by the arbitrary-axis rule of
// DWG and DXF: a planar entity stores its points in this system.
#include <cmath>

#include "HvDbUtilsGeometry.h"

namespace {

// Below this size of both X and Y of the normal, the normal is close enough
// to the WCS Z axis that the WCS Y axis is the reference instead.
constexpr double kArbitraryAxisThreshold = 1.0 / 64.0;

OdGeMatrix3d ecsToWcs(const OdGeVector3d& normal) {
  OdGeMatrix3d matrix;
  if (normal.isEqualTo(OdGeVector3d::kZAxis)) return matrix;
  const bool nearZ = std::fabs(normal.x) < kArbitraryAxisThreshold && std::fabs(normal.y) < kArbitraryAxisThreshold;
  const OdGeVector3d reference = nearZ ? OdGeVector3d::kYAxis : OdGeVector3d::kZAxis;
  const OdGeVector3d x = reference.crossProduct(normal).normal();
  const OdGeVector3d y = normal.crossProduct(x).normal();
  // The normal goes in as it is: a normal that is not of unit length scales
  // the ECS Z coordinate, as the entity's own normal would.
  matrix.setCoordSystem(OdGePoint3d::kOrigin, x, y, normal);
  return matrix;
}

}  // namespace

namespace HvDbUtils {

void GetEcsToWcsMatrix(const OdGePoint3d& /*point*/, const OdGeVector3d& normal, OdGeMatrix3d& matrix) {
  matrix = ecsToWcs(normal);
}

void GetEcsPlane(const OdGePoint3d& /*point*/, const OdGeVector3d& normal, OdGePlane& plane, OdGeVector3d& xAxis) {
  const OdGeMatrix3d matrix = ecsToWcs(normal);
  xAxis = matrix.getCsXAxis();
  plane.set(matrix.getCsOrigin(), xAxis, matrix.getCsYAxis());
}

void GetEcsPlane(const OdGeVector3d& normal, OdGePlane& plane) {
  OdGeVector3d xAxis;
  GetEcsPlane(OdGePoint3d::kOrigin, normal, plane, xAxis);
}

void GetEcsXAxis(const OdGeVector3d& normal, OdGeVector3d& xAxis) { xAxis = ecsToWcs(normal).getCsXAxis(); }

void EcsToWcs(OdGePoint3d& point, const OdGeVector3d& normal) { point = ecsToWcs(normal) * point; }

void EcsToWcs(OdGeVector3d& vector, const OdGeVector3d& normal) { vector = ecsToWcs(normal) * vector; }

}  // namespace HvDbUtils

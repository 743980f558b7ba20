// Geometry helpers of the entities.
#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

OdGeMatrix3d ecsToWcs(const OdGeVector3d& normal) { return OdGeMatrix3d::planeToWorld(normal); }

OdGePoint3d toWcs(const OdGeVector3d& normal, const OdGePoint3d& p) {
  if (normal == OdGeVector3d::kZAxis) return p;
  return ecsToWcs(normal) * p;
}

OdGePoint3d toEcs(const OdGeVector3d& normal, const OdGePoint3d& p) {
  if (normal == OdGeVector3d::kZAxis) return p;
  return ecsToWcs(normal).transpose() * p;
}

bool isUniformOrtho(const OdGeMatrix3d& m, double& scale) {
  if (m(3, 0) != 0 || m(3, 1) != 0 || m(3, 2) != 0 || m(3, 3) != 1) return false;
  OdGeVector3d x = m.getCsXAxis(), y = m.getCsYAxis(), z = m.getCsZAxis();
  double lx = x.length(), ly = y.length(), lz = z.length();
  scale = lx;
  double tol = 1e-9 * std::max(1.0, lx);
  if (lx < 1e-300 || std::fabs(lx - ly) > tol || std::fabs(lx - lz) > tol) return false;
  return std::fabs(x.dotProduct(y)) <= tol * lx && std::fabs(y.dotProduct(z)) <= tol * lx &&
         std::fabs(x.dotProduct(z)) <= tol * lx;
}

OdGeVector3d transformNormal(const OdGeMatrix3d& m, const OdGeVector3d& normal) {
  OdGeVector3d n = (m * normal).normal();
  return m.det() < 0 ? -n : n;
}

double normalizeAngle(double a) {
  a = std::fmod(a, 2 * M_PI);
  if (a < 0) a += 2 * M_PI;
  if (a >= 2 * M_PI) a = 0;
  return a;
}

void addArcExtents(OdGeExtents3d& ext, const OdGePoint3d& center, double radius, const OdGeVector3d& normal,
                   double start, double end) {
  OdGeMatrix3d ecs = ecsToWcs(normal);
  OdGeVector3d u = ecs.getCsXAxis(), v = ecs.getCsYAxis();
  start = normalizeAngle(start);
  end = normalizeAngle(end);
  double sweep = end - start;
  if (sweep <= 0) sweep += 2 * M_PI;
  auto point = [&](double t) { return center + u * (radius * std::cos(t)) + v * (radius * std::sin(t)); };
  ext.addPoint(point(start));
  ext.addPoint(point(start + sweep));
  double uc[3] = {u.x, u.y, u.z}, vc[3] = {v.x, v.y, v.z};
  for (int k = 0; k < 3; ++k) {
    if (uc[k] == 0 && vc[k] == 0) continue;
    double t0 = std::atan2(vc[k], uc[k]);
    for (double t : {t0, t0 + M_PI}) {
      double rel = normalizeAngle(t - start);
      if (rel <= sweep) ext.addPoint(point(t));
    }
  }
}

void addBulgeExtents(OdGeExtents3d& ext, const OdGePoint2d& a, const OdGePoint2d& b, double bulge, double elevation,
                     const OdGeVector3d& normal) {
  OdGeMatrix3d ecs = ecsToWcs(normal);
  ext.addPoint(ecs * OdGePoint3d(a.x, a.y, elevation));
  ext.addPoint(ecs * OdGePoint3d(b.x, b.y, elevation));
  double chord = a.distanceTo(b);
  if (bulge == 0 || chord == 0) return;
  // The arc's included angle is 4 atan(bulge), counter-clockwise for a positive bulge.
  double theta = 4 * std::atan(bulge);
  double radius = chord / (2 * std::sin(std::fabs(theta) / 2));
  OdGeVector2d d = b - a;
  OdGePoint2d mid(a.x + d.x / 2, a.y + d.y / 2);
  double h = radius * std::cos(theta / 2);  // centre distance from the chord, signed by the bulge
  OdGeVector2d left(-d.y / chord, d.x / chord);
  OdGePoint2d c = mid + (bulge > 0 ? 1.0 : -1.0) * h * left;
  if (std::fabs(theta) > M_PI) c = mid + (bulge > 0 ? 1.0 : -1.0) * h * left;
  double sa = std::atan2(a.y - c.y, a.x - c.x), eb = std::atan2(b.y - c.y, b.x - c.x);
  if (bulge < 0) std::swap(sa, eb);
  OdGeExtents3d arc;
  addArcExtents(arc, ecs * OdGePoint3d(c.x, c.y, elevation), std::fabs(radius), normal, sa, eb);
  ext.addExt(arc);
}

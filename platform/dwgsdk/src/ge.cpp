// Geometry: vectors, the 4x4 transform, planes and extents.
#include "Ge.h"

#include <algorithm>
#include <cmath>
#include <limits>

OdGeTol OdGeContext::gTol;

const OdGePoint2d OdGePoint2d::kOrigin(0, 0);
const OdGePoint3d OdGePoint3d::kOrigin(0, 0, 0);
const OdGeVector3d OdGeVector3d::kIdentity(0, 0, 0);
const OdGeVector3d OdGeVector3d::kXAxis(1, 0, 0);
const OdGeVector3d OdGeVector3d::kYAxis(0, 1, 0);
const OdGeVector3d OdGeVector3d::kZAxis(0, 0, 1);
const OdGeMatrix3d OdGeMatrix3d::kIdentity;
const OdGeScale3d OdGeScale3d::kIdentity(1, 1, 1);
const OdGePlane OdGePlane::kXYPlane;
const OdGeExtents3d OdGeExtents3d::kInvalid;

double OdGeVector2d::angle() const {
  double a = std::atan2(y, x);
  return a < 0 ? a + 2 * M_PI : a;
}

OdGeVector3d OdGeVector3d::normal(const OdGeTol& tol) const {
  double len = length();
  if (len <= tol.equalVector()) return *this;
  return {x / len, y / len, z / len};
}

bool OdGeVector3d::isParallelTo(const OdGeVector3d& v, const OdGeTol& tol) const {
  OdGeVector3d a = normal(tol), b = v.normal(tol);
  return a.crossProduct(b).length() <= tol.equalVector();
}

double OdGeVector3d::angleTo(const OdGeVector3d& v) const {
  double c = crossProduct(v).length();
  double d = dotProduct(v);
  return std::atan2(c, d);
}

OdGeVector3d OdGeVector3d::perpVector() const {
  // The arbitrary-axis rule of the DXF object coordinate system.
  constexpr double kLimit = 1.0 / 64.0;
  OdGeVector3d n = normal();
  OdGeVector3d w = (std::fabs(n.x) < kLimit && std::fabs(n.y) < kLimit) ? kYAxis : kZAxis;
  return w.crossProduct(n).normal();
}

OdGeVector3d& OdGeVector3d::transformBy(const OdGeMatrix3d& m) { return *this = m * *this; }

OdGePoint3d& OdGePoint3d::transformBy(const OdGeMatrix3d& m) { return *this = m * *this; }

OdGeMatrix3d::OdGeMatrix3d() { setToIdentity(); }

OdGeMatrix3d& OdGeMatrix3d::setToIdentity() {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) entry[r][c] = r == c ? 1.0 : 0.0;
  return *this;
}

bool OdGeMatrix3d::isEqualTo(const OdGeMatrix3d& m, const OdGeTol& tol) const {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (std::fabs(entry[r][c] - m.entry[r][c]) > tol.equalVector()) return false;
  return true;
}

OdGeMatrix3d OdGeMatrix3d::operator*(const OdGeMatrix3d& m) const {
  OdGeMatrix3d result;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += entry[r][k] * m.entry[k][c];
      result.entry[r][c] = sum;
    }
  return result;
}

OdGePoint3d operator*(const OdGeMatrix3d& m, const OdGePoint3d& p) {
  const auto& e = m.entry;
  double x = e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3];
  double y = e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3];
  double z = e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3];
  double w = e[3][0] * p.x + e[3][1] * p.y + e[3][2] * p.z + e[3][3];
  if (w != 1.0 && w != 0.0) return {x / w, y / w, z / w};
  return {x, y, z};
}

OdGeVector3d operator*(const OdGeMatrix3d& m, const OdGeVector3d& v) {
  const auto& e = m.entry;
  return {e[0][0] * v.x + e[0][1] * v.y + e[0][2] * v.z, e[1][0] * v.x + e[1][1] * v.y + e[1][2] * v.z,
          e[2][0] * v.x + e[2][1] * v.y + e[2][2] * v.z};
}

double OdGeMatrix3d::det() const {
  // Full 4x4 determinant by cofactors of the first row.
  const auto& m = entry;
  auto det3 = [&](int c0, int c1, int c2) {
    return m[1][c0] * (m[2][c1] * m[3][c2] - m[2][c2] * m[3][c1]) -
           m[1][c1] * (m[2][c0] * m[3][c2] - m[2][c2] * m[3][c0]) +
           m[1][c2] * (m[2][c0] * m[3][c1] - m[2][c1] * m[3][c0]);
  };
  return m[0][0] * det3(1, 2, 3) - m[0][1] * det3(0, 2, 3) + m[0][2] * det3(0, 1, 3) - m[0][3] * det3(0, 1, 2);
}

bool OdGeMatrix3d::isSingular(const OdGeTol& tol) const { return std::fabs(det()) <= tol.equalPoint(); }

OdGeMatrix3d OdGeMatrix3d::inverse() const {
  // Gauss-Jordan elimination with partial pivoting.
  double a[4][8];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      a[r][c] = entry[r][c];
      a[r][c + 4] = r == c ? 1.0 : 0.0;
    }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (std::fabs(a[pivot][col]) < 1e-300) return OdGeMatrix3d();
    if (pivot != col)
      for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
    double p = a[col][col];
    for (int c = 0; c < 8; ++c) a[col][c] /= p;
    for (int r = 0; r < 4; ++r) {
      if (r == col) continue;
      double f = a[r][col];
      if (f == 0) continue;
      for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
    }
  }
  OdGeMatrix3d result;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) result.entry[r][c] = a[r][c + 4];
  return result;
}

OdGeMatrix3d OdGeMatrix3d::transpose() const {
  OdGeMatrix3d result;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) result.entry[r][c] = entry[c][r];
  return result;
}

OdGeMatrix3d& OdGeMatrix3d::setCoordSystem(const OdGePoint3d& origin, const OdGeVector3d& xAxis,
                                           const OdGeVector3d& yAxis, const OdGeVector3d& zAxis) {
  setToIdentity();
  const OdGeVector3d* axes[3] = {&xAxis, &yAxis, &zAxis};
  for (int c = 0; c < 3; ++c) {
    entry[0][c] = axes[c]->x;
    entry[1][c] = axes[c]->y;
    entry[2][c] = axes[c]->z;
  }
  entry[0][3] = origin.x;
  entry[1][3] = origin.y;
  entry[2][3] = origin.z;
  return *this;
}

void OdGeMatrix3d::getCoordSystem(OdGePoint3d& origin, OdGeVector3d& xAxis, OdGeVector3d& yAxis,
                                  OdGeVector3d& zAxis) const {
  origin = getCsOrigin();
  xAxis = getCsXAxis();
  yAxis = getCsYAxis();
  zAxis = getCsZAxis();
}

OdGeMatrix3d& OdGeMatrix3d::setToAlignCoordSys(const OdGePoint3d& fromOrigin, const OdGeVector3d& fromX,
                                               const OdGeVector3d& fromY, const OdGeVector3d& fromZ,
                                               const OdGePoint3d& toOrigin, const OdGeVector3d& toX,
                                               const OdGeVector3d& toY, const OdGeVector3d& toZ) {
  OdGeMatrix3d from, to;
  from.setCoordSystem(fromOrigin, fromX, fromY, fromZ);
  to.setCoordSystem(toOrigin, toX, toY, toZ);
  return *this = to * from.inverse();
}

OdGeMatrix3d OdGeMatrix3d::alignCoordSys(const OdGePoint3d& fromOrigin, const OdGeVector3d& fromX,
                                         const OdGeVector3d& fromY, const OdGeVector3d& fromZ,
                                         const OdGePoint3d& toOrigin, const OdGeVector3d& toX, const OdGeVector3d& toY,
                                         const OdGeVector3d& toZ) {
  OdGeMatrix3d m;
  return m.setToAlignCoordSys(fromOrigin, fromX, fromY, fromZ, toOrigin, toX, toY, toZ);
}

OdGeMatrix3d& OdGeMatrix3d::setToTranslation(const OdGeVector3d& v) {
  setToIdentity();
  entry[0][3] = v.x;
  entry[1][3] = v.y;
  entry[2][3] = v.z;
  return *this;
}

OdGeMatrix3d OdGeMatrix3d::translation(const OdGeVector3d& v) {
  OdGeMatrix3d m;
  return m.setToTranslation(v);
}

OdGeMatrix3d& OdGeMatrix3d::setToRotation(double angle, const OdGeVector3d& axis, const OdGePoint3d& center) {
  OdGeVector3d u = axis.normal();
  double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  setToIdentity();
  entry[0][0] = t * u.x * u.x + c;
  entry[0][1] = t * u.x * u.y - s * u.z;
  entry[0][2] = t * u.x * u.z + s * u.y;
  entry[1][0] = t * u.x * u.y + s * u.z;
  entry[1][1] = t * u.y * u.y + c;
  entry[1][2] = t * u.y * u.z - s * u.x;
  entry[2][0] = t * u.x * u.z - s * u.y;
  entry[2][1] = t * u.y * u.z + s * u.x;
  entry[2][2] = t * u.z * u.z + c;
  // Rotate about the line through `center`: p' = R (p - c) + c.
  OdGeVector3d cv = center.asVector();
  OdGeVector3d rc = *this * cv;
  entry[0][3] = cv.x - rc.x;
  entry[1][3] = cv.y - rc.y;
  entry[2][3] = cv.z - rc.z;
  return *this;
}

OdGeMatrix3d OdGeMatrix3d::rotation(double angle, const OdGeVector3d& axis, const OdGePoint3d& center) {
  OdGeMatrix3d m;
  return m.setToRotation(angle, axis, center);
}

OdGeMatrix3d& OdGeMatrix3d::setToScaling(double scale, const OdGePoint3d& center) {
  setToIdentity();
  for (int i = 0; i < 3; ++i) entry[i][i] = scale;
  entry[0][3] = center.x * (1 - scale);
  entry[1][3] = center.y * (1 - scale);
  entry[2][3] = center.z * (1 - scale);
  return *this;
}

OdGeMatrix3d OdGeMatrix3d::scaling(double scale, const OdGePoint3d& center) {
  OdGeMatrix3d m;
  return m.setToScaling(scale, center);
}

OdGeMatrix3d& OdGeMatrix3d::setToMirroring(const OdGePoint3d& origin, const OdGeVector3d& normal) {
  OdGeVector3d n = normal.normal();
  setToIdentity();
  double v[3] = {n.x, n.y, n.z};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) entry[r][c] = (r == c ? 1.0 : 0.0) - 2 * v[r] * v[c];
  OdGeVector3d o = origin.asVector();
  OdGeVector3d mo = *this * o;
  entry[0][3] = o.x - mo.x;
  entry[1][3] = o.y - mo.y;
  entry[2][3] = o.z - mo.z;
  return *this;
}

OdGeMatrix3d OdGeMatrix3d::planeToWorld(const OdGeVector3d& normal) {
  OdGeVector3d n = normal.normal();
  OdGeMatrix3d m;
  if (n.isEqualTo(OdGeVector3d::kZAxis)) return m;
  OdGeVector3d x = n.perpVector();
  OdGeVector3d y = n.crossProduct(x).normal();
  return m.setCoordSystem(OdGePoint3d::kOrigin, x, y, n);
}

OdGeMatrix3d OdGeMatrix3d::worldToPlane(const OdGeVector3d& normal) { return planeToWorld(normal).inverse(); }

double OdGeMatrix3d::scale() const {
  double s = 0;
  for (const OdGeVector3d& axis : {getCsXAxis(), getCsYAxis(), getCsZAxis()}) s = std::max(s, axis.length());
  return s;
}

OdGePlane::OdGePlane() : m_origin(OdGePoint3d::kOrigin), m_u(OdGeVector3d::kXAxis), m_v(OdGeVector3d::kYAxis) {}

OdGePlane::OdGePlane(const OdGePoint3d& origin, const OdGeVector3d& normal) { set(origin, normal); }

OdGePlane::OdGePlane(const OdGePoint3d& origin, const OdGeVector3d& uAxis, const OdGeVector3d& vAxis) {
  set(origin, uAxis, vAxis);
}

OdGePlane& OdGePlane::set(const OdGePoint3d& origin, const OdGeVector3d& normal) {
  m_origin = origin;
  OdGeVector3d n = normal.normal();
  m_u = n.perpVector();
  m_v = n.crossProduct(m_u).normal();
  return *this;
}

OdGePlane& OdGePlane::set(const OdGePoint3d& origin, const OdGeVector3d& uAxis, const OdGeVector3d& vAxis) {
  m_origin = origin;
  m_u = uAxis;
  m_v = vAxis;
  return *this;
}

OdGeVector3d OdGePlane::normal() const { return m_u.crossProduct(m_v).normal(); }

void OdGePlane::getCoordSystem(OdGePoint3d& origin, OdGeVector3d& axis1, OdGeVector3d& axis2) const {
  origin = m_origin;
  axis1 = m_u;
  axis2 = m_v;
}

double OdGePlane::signedDistanceTo(const OdGePoint3d& p) const { return (p - m_origin).dotProduct(normal()); }

bool OdGePlane::isOn(const OdGePoint3d& p, const OdGeTol& tol) const {
  return std::fabs(signedDistanceTo(p)) <= tol.equalPoint();
}

bool OdGePlane::isEqualTo(const OdGePlane& other, const OdGeTol& tol) const {
  OdGeVector3d a = normal(), b = other.normal();
  return a.isParallelTo(b, tol) && isOn(other.m_origin, tol);
}

OdGeExtents3d::OdGeExtents3d()
    : m_min(std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), std::numeric_limits<double>::max()),
      m_max(-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
            -std::numeric_limits<double>::max()) {}

OdGeExtents3d& OdGeExtents3d::addPoint(const OdGePoint3d& p) {
  m_min.set(std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z));
  m_max.set(std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z));
  return *this;
}

OdGeExtents3d& OdGeExtents3d::addExt(const OdGeExtents3d& other) {
  if (other.isValidExtents()) {
    addPoint(other.m_min);
    addPoint(other.m_max);
  }
  return *this;
}

bool OdGeExtents3d::contains(const OdGePoint3d& p, const OdGeTol& tol) const {
  double t = tol.equalPoint();
  return p.x >= m_min.x - t && p.y >= m_min.y - t && p.z >= m_min.z - t && p.x <= m_max.x + t && p.y <= m_max.y + t &&
         p.z <= m_max.z + t;
}

OdGeExtents3d& OdGeExtents3d::transformBy(const OdGeMatrix3d& m) {
  if (!isValidExtents()) return *this;
  OdGeExtents3d result;
  for (int i = 0; i < 8; ++i) {
    OdGePoint3d corner((i & 1) ? m_max.x : m_min.x, (i & 2) ? m_max.y : m_min.y, (i & 4) ? m_max.z : m_min.z);
    result.addPoint(m * corner);
  }
  return *this = result;
}

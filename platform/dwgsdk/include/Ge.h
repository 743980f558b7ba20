// Geometry values of the SDK: points, vectors, the 4x4 transform, planes,
// scales, extents and the tolerance the comparisons use.
#pragma once

#include <cmath>

class OdGeTol {
 public:
  /// The SDK's default tolerance: 1e-10 for points and for vectors.
  OdGeTol(double t = 1.0e-10) : m_point(t), m_vector(t) {}
  OdGeTol(double pointTol, double vectorTol) : m_point(pointTol), m_vector(vectorTol) {}
  double equalPoint() const { return m_point; }
  double equalVector() const { return m_vector; }
  void setEqualPoint(double t) { m_point = t; }
  void setEqualVector(double t) { m_vector = t; }

 private:
  double m_point;
  double m_vector;
};

struct OdGeContext {
  static OdGeTol gTol;
};

class OdGeMatrix3d;

class OdGeVector2d {
 public:
  double x = 0, y = 0;
  OdGeVector2d() = default;
  OdGeVector2d(double xx, double yy) : x(xx), y(yy) {}
  double length() const { return std::hypot(x, y); }
  double angle() const;
  friend OdGeVector2d operator*(double s, const OdGeVector2d& v) { return {s * v.x, s * v.y}; }
  OdGeVector2d operator+(const OdGeVector2d& v) const { return {x + v.x, y + v.y}; }
  OdGeVector2d operator-(const OdGeVector2d& v) const { return {x - v.x, y - v.y}; }
  bool operator==(const OdGeVector2d& v) const { return x == v.x && y == v.y; }
};

class OdGePoint2d {
 public:
  double x = 0, y = 0;
  OdGePoint2d() = default;
  OdGePoint2d(double xx, double yy) : x(xx), y(yy) {}
  static const OdGePoint2d kOrigin;
  OdGePoint2d& set(double xx, double yy) {
    x = xx;
    y = yy;
    return *this;
  }
  double distanceTo(const OdGePoint2d& p) const { return std::hypot(x - p.x, y - p.y); }
  bool isEqualTo(const OdGePoint2d& p, const OdGeTol& tol = OdGeContext::gTol) const {
    return distanceTo(p) <= tol.equalPoint();
  }
  OdGePoint2d operator+(const OdGeVector2d& v) const { return {x + v.x, y + v.y}; }
  OdGePoint2d operator-(const OdGeVector2d& v) const { return {x - v.x, y - v.y}; }
  OdGeVector2d operator-(const OdGePoint2d& p) const { return {x - p.x, y - p.y}; }
  bool operator==(const OdGePoint2d& p) const { return x == p.x && y == p.y; }
  bool operator!=(const OdGePoint2d& p) const { return !(*this == p); }
};

class OdGeVector3d {
 public:
  double x = 0, y = 0, z = 0;
  OdGeVector3d() = default;
  OdGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  static const OdGeVector3d kIdentity;  // the zero vector, as the SDK names it
  static const OdGeVector3d kXAxis;
  static const OdGeVector3d kYAxis;
  static const OdGeVector3d kZAxis;

  OdGeVector3d& set(double xx, double yy, double zz) {
    x = xx;
    y = yy;
    z = zz;
    return *this;
  }
  double length() const { return std::sqrt(x * x + y * y + z * z); }
  double lengthSqrd() const { return x * x + y * y + z * z; }
  double dotProduct(const OdGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
  OdGeVector3d crossProduct(const OdGeVector3d& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
  }
  /// The unit vector; a vector shorter than the tolerance stays as it is.
  OdGeVector3d normal(const OdGeTol& tol = OdGeContext::gTol) const;
  OdGeVector3d& normalize(const OdGeTol& tol = OdGeContext::gTol) { return *this = normal(tol); }
  bool isZeroLength(const OdGeTol& tol = OdGeContext::gTol) const { return length() <= tol.equalVector(); }
  bool isUnitLength(const OdGeTol& tol = OdGeContext::gTol) const {
    return std::fabs(length() - 1.0) <= tol.equalVector();
  }
  bool isEqualTo(const OdGeVector3d& v, const OdGeTol& tol = OdGeContext::gTol) const {
    return (*this - v).length() <= tol.equalVector();
  }
  bool isParallelTo(const OdGeVector3d& v, const OdGeTol& tol = OdGeContext::gTol) const;
  double angleTo(const OdGeVector3d& v) const;
  /// A vector perpendicular to this one (the arbitrary-axis X axis of this normal).
  OdGeVector3d perpVector() const;
  OdGeVector3d& transformBy(const OdGeMatrix3d& m);

  OdGeVector3d operator+(const OdGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  OdGeVector3d operator-(const OdGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  OdGeVector3d operator-() const { return {-x, -y, -z}; }
  OdGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
  OdGeVector3d operator/(double s) const { return {x / s, y / s, z / s}; }
  friend OdGeVector3d operator*(double s, const OdGeVector3d& v) { return v * s; }
  OdGeVector3d& operator+=(const OdGeVector3d& v) { return *this = *this + v; }
  OdGeVector3d& operator-=(const OdGeVector3d& v) { return *this = *this - v; }
  OdGeVector3d& operator*=(double s) { return *this = *this * s; }
  bool operator==(const OdGeVector3d& v) const { return x == v.x && y == v.y && z == v.z; }
  bool operator!=(const OdGeVector3d& v) const { return !(*this == v); }
};

class OdGePoint3d {
 public:
  double x = 0, y = 0, z = 0;
  OdGePoint3d() = default;
  OdGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  static const OdGePoint3d kOrigin;

  OdGePoint3d& set(double xx, double yy, double zz) {
    x = xx;
    y = yy;
    z = zz;
    return *this;
  }
  double distanceTo(const OdGePoint3d& p) const { return (*this - p).length(); }
  bool isEqualTo(const OdGePoint3d& p, const OdGeTol& tol = OdGeContext::gTol) const {
    return distanceTo(p) <= tol.equalPoint();
  }
  OdGeVector3d asVector() const { return {x, y, z}; }
  OdGePoint2d convert2d() const { return {x, y}; }
  OdGePoint3d& transformBy(const OdGeMatrix3d& m);

  OdGePoint3d operator+(const OdGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  OdGePoint3d operator-(const OdGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  OdGeVector3d operator-(const OdGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
  OdGePoint3d& operator+=(const OdGeVector3d& v) { return *this = *this + v; }
  OdGePoint3d& operator-=(const OdGeVector3d& v) { return *this = *this - v; }
  bool operator==(const OdGePoint3d& p) const { return x == p.x && y == p.y && z == p.z; }
  bool operator!=(const OdGePoint3d& p) const { return !(*this == p); }
};

/// A 4x4 affine transform acting on column vectors: p' = M p.
class OdGeMatrix3d {
 public:
  double entry[4][4];

  OdGeMatrix3d();
  static const OdGeMatrix3d kIdentity;

  double operator()(int row, int column) const { return entry[row][column]; }
  double& operator()(int row, int column) { return entry[row][column]; }

  OdGeMatrix3d& setToIdentity();
  bool isEqualTo(const OdGeMatrix3d& m, const OdGeTol& tol = OdGeContext::gTol) const;
  bool operator==(const OdGeMatrix3d& m) const { return isEqualTo(m); }

  OdGeMatrix3d operator*(const OdGeMatrix3d& m) const;
  OdGeMatrix3d& operator*=(const OdGeMatrix3d& m) { return *this = *this * m; }
  OdGeMatrix3d& preMultBy(const OdGeMatrix3d& left) { return *this = left * *this; }
  OdGeMatrix3d& postMultBy(const OdGeMatrix3d& right) { return *this = *this * right; }
  OdGeMatrix3d& setToProduct(const OdGeMatrix3d& a, const OdGeMatrix3d& b) { return *this = a * b; }

  double det() const;
  /// The inverse; a singular matrix gives the identity (check det() first).
  OdGeMatrix3d inverse() const;
  OdGeMatrix3d& invert() { return *this = inverse(); }
  bool isSingular(const OdGeTol& tol = OdGeContext::gTol) const;
  OdGeMatrix3d transpose() const;

  /// The transform that maps the WCS onto the system (origin, x, y, z): its
  /// columns are the axes and the origin.
  OdGeMatrix3d& setCoordSystem(const OdGePoint3d& origin, const OdGeVector3d& xAxis, const OdGeVector3d& yAxis,
                               const OdGeVector3d& zAxis);
  void getCoordSystem(OdGePoint3d& origin, OdGeVector3d& xAxis, OdGeVector3d& yAxis, OdGeVector3d& zAxis) const;
  OdGePoint3d getCsOrigin() const { return {entry[0][3], entry[1][3], entry[2][3]}; }
  OdGeVector3d getCsXAxis() const { return {entry[0][0], entry[1][0], entry[2][0]}; }
  OdGeVector3d getCsYAxis() const { return {entry[0][1], entry[1][1], entry[2][1]}; }
  OdGeVector3d getCsZAxis() const { return {entry[0][2], entry[1][2], entry[2][2]}; }
  OdGeVector3d translation() const { return {entry[0][3], entry[1][3], entry[2][3]}; }

  /// Maps the system "from" onto the system "to": a point with coordinates c in
  /// "from" lands on the point with coordinates c in "to".
  OdGeMatrix3d& setToAlignCoordSys(const OdGePoint3d& fromOrigin, const OdGeVector3d& fromX, const OdGeVector3d& fromY,
                                   const OdGeVector3d& fromZ, const OdGePoint3d& toOrigin, const OdGeVector3d& toX,
                                   const OdGeVector3d& toY, const OdGeVector3d& toZ);
  static OdGeMatrix3d alignCoordSys(const OdGePoint3d& fromOrigin, const OdGeVector3d& fromX, const OdGeVector3d& fromY,
                                    const OdGeVector3d& fromZ, const OdGePoint3d& toOrigin, const OdGeVector3d& toX,
                                    const OdGeVector3d& toY, const OdGeVector3d& toZ);

  OdGeMatrix3d& setToTranslation(const OdGeVector3d& v);
  static OdGeMatrix3d translation(const OdGeVector3d& v);
  /// Rotation by `angle` (radians, counter-clockwise seen from the tip of `axis`) about the line through `center`.
  OdGeMatrix3d& setToRotation(double angle, const OdGeVector3d& axis, const OdGePoint3d& center = OdGePoint3d::kOrigin);
  static OdGeMatrix3d rotation(double angle, const OdGeVector3d& axis,
                               const OdGePoint3d& center = OdGePoint3d::kOrigin);
  OdGeMatrix3d& setToScaling(double scale, const OdGePoint3d& center = OdGePoint3d::kOrigin);
  static OdGeMatrix3d scaling(double scale, const OdGePoint3d& center = OdGePoint3d::kOrigin);
  /// Mirror in the plane through `origin` with `normal`.
  OdGeMatrix3d& setToMirroring(const OdGePoint3d& origin, const OdGeVector3d& normal);
  /// The ECS of a normal (arbitrary-axis rule) to WCS, and back.
  static OdGeMatrix3d planeToWorld(const OdGeVector3d& normal);
  static OdGeMatrix3d worldToPlane(const OdGeVector3d& normal);
  /// The largest factor by which the matrix scales a length.
  double scale() const;

  friend OdGePoint3d operator*(const OdGeMatrix3d& m, const OdGePoint3d& p);
  friend OdGeVector3d operator*(const OdGeMatrix3d& m, const OdGeVector3d& v);
};

class OdGePlane {
 public:
  OdGePlane();  // the WCS XY plane
  OdGePlane(const OdGePoint3d& origin, const OdGeVector3d& normal);
  OdGePlane(const OdGePoint3d& origin, const OdGeVector3d& uAxis, const OdGeVector3d& vAxis);
  static const OdGePlane kXYPlane;

  OdGePlane& set(const OdGePoint3d& origin, const OdGeVector3d& normal);
  OdGePlane& set(const OdGePoint3d& origin, const OdGeVector3d& uAxis, const OdGeVector3d& vAxis);
  OdGePoint3d pointOnPlane() const { return m_origin; }
  OdGeVector3d normal() const;
  void getCoordSystem(OdGePoint3d& origin, OdGeVector3d& axis1, OdGeVector3d& axis2) const;
  double signedDistanceTo(const OdGePoint3d& p) const;
  bool isOn(const OdGePoint3d& p, const OdGeTol& tol = OdGeContext::gTol) const;
  bool isEqualTo(const OdGePlane& other, const OdGeTol& tol = OdGeContext::gTol) const;

 private:
  OdGePoint3d m_origin;
  OdGeVector3d m_u;
  OdGeVector3d m_v;
};

class OdGeScale3d {
 public:
  double sx = 1, sy = 1, sz = 1;
  OdGeScale3d() = default;
  explicit OdGeScale3d(double s) : sx(s), sy(s), sz(s) {}
  OdGeScale3d(double x, double y, double z) : sx(x), sy(y), sz(z) {}
  static const OdGeScale3d kIdentity;
  OdGeScale3d operator*(const OdGeScale3d& s) const { return {sx * s.sx, sy * s.sy, sz * s.sz}; }
  bool isEqualTo(const OdGeScale3d& s, const OdGeTol& tol = OdGeContext::gTol) const {
    return std::fabs(sx - s.sx) <= tol.equalVector() && std::fabs(sy - s.sy) <= tol.equalVector() &&
           std::fabs(sz - s.sz) <= tol.equalVector();
  }
  bool operator==(const OdGeScale3d& s) const { return sx == s.sx && sy == s.sy && sz == s.sz; }
};

/// An axis-aligned box; empty until a point is added.
class OdGeExtents3d {
 public:
  OdGeExtents3d();
  OdGeExtents3d(const OdGePoint3d& minPoint, const OdGePoint3d& maxPoint) : m_min(minPoint), m_max(maxPoint) {}
  static const OdGeExtents3d kInvalid;

  const OdGePoint3d& minPoint() const { return m_min; }
  const OdGePoint3d& maxPoint() const { return m_max; }
  void set(const OdGePoint3d& minPoint, const OdGePoint3d& maxPoint) {
    m_min = minPoint;
    m_max = maxPoint;
  }
  OdGeExtents3d& addPoint(const OdGePoint3d& p);
  OdGeExtents3d& addExt(const OdGeExtents3d& other);
  bool isValidExtents() const { return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z; }
  bool contains(const OdGePoint3d& p, const OdGeTol& tol = OdGeContext::gTol) const;
  /// The box around the transformed box (all eight corners).
  OdGeExtents3d& transformBy(const OdGeMatrix3d& m);
  bool operator==(const OdGeExtents3d& e) const { return m_min == e.m_min && m_max == e.m_max; }

 private:
  OdGePoint3d m_min;
  OdGePoint3d m_max;
};

using OdDbExtents = OdGeExtents3d;

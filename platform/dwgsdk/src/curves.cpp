// Lines, circles, arcs and points.
#include <initializer_list>

#include "geometry.h"
#include "internals.h"

ODDB_DEFINE_MEMBERS(OdDbLine, OdDbCurve, u"AcDbLine", u"LINE")
ODDB_DEFINE_MEMBERS(OdDbCircle, OdDbCurve, u"AcDbCircle", u"CIRCLE")
ODDB_DEFINE_MEMBERS(OdDbArc, OdDbCurve, u"AcDbArc", u"ARC")
ODDB_DEFINE_MEMBERS(OdDbPoint, OdDbEntity, u"AcDbPoint", u"POINT")

struct OdDbLine::Extrusion {
  OdGeVector3d normal = OdGeVector3d::kZAxis;
  double thickness = 0;
};

OdDbLine::OdDbLine() = default;
OdDbLine::OdDbLine(const OdGePoint3d& start, const OdGePoint3d& end) : m_start(start), m_end(end) {}
OdDbLine::~OdDbLine() = default;
OdDbLine::OdDbLine(const OdDbLine& other)
    : OdDbCurve(other),
      m_start(other.m_start),
      m_end(other.m_end),
      m_extrusion(other.m_extrusion ? std::make_unique<Extrusion>(*other.m_extrusion) : nullptr) {}

OdResult OdDbLine::setStartPoint(const OdGePoint3d& point) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(point);
  m_start = point;
  return eOk;
}

OdResult OdDbLine::setEndPoint(const OdGePoint3d& point) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(point);
  m_end = point;
  return eOk;
}

OdGeVector3d OdDbLine::normal() const { return m_extrusion ? m_extrusion->normal : OdGeVector3d::kZAxis; }
double OdDbLine::thickness() const { return m_extrusion ? m_extrusion->thickness : 0.0; }

OdResult OdDbLine::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  if (!m_extrusion) m_extrusion = std::make_unique<Extrusion>();
  m_extrusion->normal = normal.normal();
  return eOk;
}

OdResult OdDbLine::setThickness(double thickness) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(thickness);
  if (!m_extrusion) m_extrusion = std::make_unique<Extrusion>();
  m_extrusion->thickness = thickness;
  return eOk;
}

OdResult OdDbLine::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  m_start = xform * m_start;
  m_end = xform * m_end;
  if (m_extrusion) {
    OdGeVector3d n = xform * (m_extrusion->normal * m_extrusion->thickness);
    m_extrusion->normal = transformNormal(xform, m_extrusion->normal);
    m_extrusion->thickness = n.length() * (n.dotProduct(m_extrusion->normal) < 0 ? -1 : 1);
  }
  return eOk;
}

OdResult OdDbLine::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  extents.addPoint(m_start).addPoint(m_end);
  if (double t = thickness(); t != 0) {
    OdGeVector3d d = normal() * t;
    extents.addPoint(m_start + d).addPoint(m_end + d);
  }
  return eOk;
}

// Circles.
OdDbCircle::OdDbCircle() = default;
OdDbCircle::OdDbCircle(const OdGePoint3d& center, const OdGeVector3d& normal, double radius)
    : m_center(center), m_normal(normal.normal()), m_radius(radius) {}

OdResult OdDbCircle::setCenter(const OdGePoint3d& center) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(center);
  m_center = center;
  return eOk;
}

OdResult OdDbCircle::setRadius(double radius) {
  ODDB_ASSERT_WRITE();
  if (!std::isfinite(radius) || radius <= 0) return eInvalidInput;
  m_radius = radius;
  return eOk;
}

OdResult OdDbCircle::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}

OdResult OdDbCircle::setThickness(double thickness) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(thickness);
  m_thickness = thickness;
  return eOk;
}

OdResult OdDbCircle::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale;
  if (!isUniformOrtho(xform, scale)) return eNotApplicable;
  m_center = xform * m_center;
  m_radius *= scale;
  m_thickness *= scale;
  m_normal = transformNormal(xform, m_normal);
  return eOk;
}

OdResult OdDbCircle::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  addArcExtents(extents, m_center, m_radius, m_normal, 0, 2 * M_PI);
  if (m_thickness != 0) {
    OdGeExtents3d top;
    addArcExtents(top, m_center + m_normal * m_thickness, m_radius, m_normal, 0, 2 * M_PI);
    extents.addExt(top);
  }
  return eOk;
}

// Arcs.
OdDbArc::OdDbArc() = default;
OdDbArc::OdDbArc(const OdGePoint3d& center, double radius, double startAngle, double endAngle)
    : m_center(center), m_radius(radius), m_startAngle(startAngle), m_endAngle(endAngle) {}
OdDbArc::OdDbArc(const OdGePoint3d& center, const OdGeVector3d& normal, double radius, double startAngle,
                 double endAngle)
    : m_center(center), m_normal(normal.normal()), m_radius(radius), m_startAngle(startAngle), m_endAngle(endAngle) {}

OdResult OdDbArc::setCenter(const OdGePoint3d& center) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(center);
  m_center = center;
  return eOk;
}

OdResult OdDbArc::setRadius(double radius) {
  ODDB_ASSERT_WRITE();
  if (!std::isfinite(radius) || radius <= 0) return eInvalidInput;
  m_radius = radius;
  return eOk;
}

OdResult OdDbArc::setStartAngle(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_startAngle = angle;
  return eOk;
}

OdResult OdDbArc::setEndAngle(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_endAngle = angle;
  return eOk;
}

OdResult OdDbArc::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}

OdResult OdDbArc::setThickness(double thickness) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(thickness);
  m_thickness = thickness;
  return eOk;
}

OdResult OdDbArc::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale;
  if (!isUniformOrtho(xform, scale)) return eNotApplicable;
  OdGeMatrix3d ecs = ecsToWcs(m_normal);
  auto at = [&](double a) {
    return m_center + ecs.getCsXAxis() * (m_radius * std::cos(a)) + ecs.getCsYAxis() * (m_radius * std::sin(a));
  };
  OdGePoint3d start = xform * at(m_startAngle), end = xform * at(m_endAngle);
  m_center = xform * m_center;
  m_radius *= scale;
  m_thickness *= scale;
  m_normal = transformNormal(xform, m_normal);
  OdGeMatrix3d toEcsMatrix = ecsToWcs(m_normal).transpose();
  OdGeVector3d s = toEcsMatrix * (start - m_center), e = toEcsMatrix * (end - m_center);
  m_startAngle = normalizeAngle(std::atan2(s.y, s.x));
  m_endAngle = normalizeAngle(std::atan2(e.y, e.x));
  return eOk;
}

OdResult OdDbArc::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  addArcExtents(extents, m_center, m_radius, m_normal, m_startAngle, m_endAngle);
  if (m_thickness != 0) {
    OdGeExtents3d top;
    addArcExtents(top, m_center + m_normal * m_thickness, m_radius, m_normal, m_startAngle, m_endAngle);
    extents.addExt(top);
  }
  return eOk;
}

// Points.
OdDbPoint::OdDbPoint() = default;
OdDbPoint::OdDbPoint(const OdGePoint3d& position) : m_position(position) {}

OdResult OdDbPoint::setPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_position = position;
  return eOk;
}

OdResult OdDbPoint::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}

OdResult OdDbPoint::setThickness(double thickness) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(thickness);
  m_thickness = thickness;
  return eOk;
}

OdResult OdDbPoint::setEcsRotation(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_ecsRotation = angle;
  return eOk;
}

OdResult OdDbPoint::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  m_position = xform * m_position;
  m_normal = transformNormal(xform, m_normal);
  return eOk;
}

OdResult OdDbPoint::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  extents.addPoint(m_position);
  if (m_thickness != 0) extents.addPoint(m_position + m_normal * m_thickness);
  return eOk;
}

// Paper-space viewports.
#include "geometry.h"
#include "internals.h"

ODDB_DEFINE_MEMBERS(OdDbViewport, OdDbEntity, u"AcDbViewport", u"VIEWPORT")

OdDbViewport::OdDbViewport() = default;

#define VIEWPORT_VALUE(Type, Setter, member, check) \
  OdResult OdDbViewport::Setter(Type value) {       \
    ODDB_ASSERT_WRITE();                            \
    check;                                          \
    member = value;                                 \
    return eOk;                                     \
  }
VIEWPORT_VALUE(const OdGePoint3d&, setCenterPoint, m_center, ODDB_CHECK_POINT(value))
VIEWPORT_VALUE(double, setWidth, m_width, if (!std::isfinite(value) || value < 0) return eInvalidInput)
VIEWPORT_VALUE(double, setHeight, m_height, if (!std::isfinite(value) || value < 0) return eInvalidInput)
VIEWPORT_VALUE(const OdGePoint2d&, setViewCenter, m_viewCenter, ODDB_CHECK_POINT(value))
VIEWPORT_VALUE(double, setViewHeight, m_viewHeight, if (!std::isfinite(value) || value <= 0) return eInvalidInput)
VIEWPORT_VALUE(const OdGeVector3d&, setViewDirection, m_viewDirection, ODDB_CHECK_NORMAL(value))
VIEWPORT_VALUE(const OdGePoint3d&, setViewTarget, m_viewTarget, ODDB_CHECK_POINT(value))
VIEWPORT_VALUE(double, setTwistAngle, m_twist, ODDB_CHECK_FINITE(value))
VIEWPORT_VALUE(double, setLensLength, m_lens, if (!std::isfinite(value) || value <= 0) return eInvalidInput)
#undef VIEWPORT_VALUE

OdResult OdDbViewport::setOn() {
  ODDB_ASSERT_WRITE();
  m_on = true;
  return eOk;
}

OdResult OdDbViewport::setOff() {
  ODDB_ASSERT_WRITE();
  m_on = false;
  return eOk;
}

OdResult OdDbViewport::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale;
  if (!isUniformOrtho(xform, scale)) return eNotApplicable;
  m_center = xform * m_center;
  m_width *= scale;
  m_height *= scale;
  return eOk;
}

OdResult OdDbViewport::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  extents.addPoint(m_center + OdGeVector3d(-m_width / 2, -m_height / 2, 0));
  extents.addPoint(m_center + OdGeVector3d(m_width / 2, m_height / 2, 0));
  return eOk;
}

// Paper-space viewports: windows on paper space that show model space.
#pragma once

#include "DbEntity.h"

class OdDbViewport : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbViewport);
  OdDbViewport();

  /// The centre and size of the viewport on paper.
  OdGePoint3d centerPoint() const { return m_center; }
  OdResult setCenterPoint(const OdGePoint3d& center);
  double width() const { return m_width; }
  OdResult setWidth(double width);
  double height() const { return m_height; }
  OdResult setHeight(double height);
  /// What it shows of model space.
  OdGePoint2d viewCenter() const { return m_viewCenter; }
  OdResult setViewCenter(const OdGePoint2d& center);
  double viewHeight() const { return m_viewHeight; }
  OdResult setViewHeight(double height);
  OdGeVector3d viewDirection() const { return m_viewDirection; }
  OdResult setViewDirection(const OdGeVector3d& direction);
  OdGePoint3d viewTarget() const { return m_viewTarget; }
  OdResult setViewTarget(const OdGePoint3d& target);
  double twistAngle() const { return m_twist; }
  OdResult setTwistAngle(double angle);
  double lensLength() const { return m_lens; }
  OdResult setLensLength(double length);
  /// 1 for the overall viewport of paper space.
  OdInt16 number() const { return m_number; }
  bool isOn() const { return m_on; }
  OdResult setOn();
  OdResult setOff();

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbViewport(const OdDbViewport&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_center;
  OdGePoint2d m_viewCenter;
  OdGeVector3d m_viewDirection = OdGeVector3d::kZAxis;
  OdGePoint3d m_viewTarget;
  double m_width = 0, m_height = 0, m_viewHeight = 1, m_twist = 0, m_lens = 50;
  OdInt16 m_number = 0;
  bool m_on = true;
};

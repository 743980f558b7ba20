// Lines, arcs, circles and points.
#pragma once

#include "DbEntity.h"

class OdDbLine : public OdDbCurve {
  ODDB_DECLARE_MEMBERS(OdDbLine);
  OdDbLine();
  OdDbLine(const OdGePoint3d& start, const OdGePoint3d& end);
  ~OdDbLine() override;

  OdGePoint3d startPoint() const { return m_start; }
  OdResult setStartPoint(const OdGePoint3d& point);
  OdGePoint3d endPoint() const { return m_end; }
  OdResult setEndPoint(const OdGePoint3d& point);
  OdGeVector3d normal() const;
  OdResult setNormal(const OdGeVector3d& normal);
  double thickness() const;
  OdResult setThickness(double thickness);

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbLine(const OdDbLine& other);

 private:
  friend struct OdDbInternals;
  // Lines are the most numerous entities, so their rarely used normal and
  // thickness live apart and only when they differ from (0,0,1) and 0.
  struct Extrusion;
  OdGePoint3d m_start;
  OdGePoint3d m_end;
  std::unique_ptr<Extrusion> m_extrusion;
};

class OdDbCircle : public OdDbCurve {
  ODDB_DECLARE_MEMBERS(OdDbCircle);
  OdDbCircle();
  OdDbCircle(const OdGePoint3d& center, const OdGeVector3d& normal, double radius);

  OdGePoint3d center() const { return m_center; }
  OdResult setCenter(const OdGePoint3d& center);
  double radius() const { return m_radius; }
  /// eInvalidInput for a radius that is not positive.
  OdResult setRadius(double radius);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  double thickness() const { return m_thickness; }
  OdResult setThickness(double thickness);
  bool isClosed() const override { return true; }

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbCircle(const OdDbCircle&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_center;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  double m_radius = 0;
  double m_thickness = 0;
};

/// An arc counter-clockwise about its normal from the start to the end angle
/// (radians, in the arc's ECS).
class OdDbArc : public OdDbCurve {
  ODDB_DECLARE_MEMBERS(OdDbArc);
  OdDbArc();
  OdDbArc(const OdGePoint3d& center, double radius, double startAngle, double endAngle);
  OdDbArc(const OdGePoint3d& center, const OdGeVector3d& normal, double radius, double startAngle, double endAngle);

  OdGePoint3d center() const { return m_center; }
  OdResult setCenter(const OdGePoint3d& center);
  double radius() const { return m_radius; }
  OdResult setRadius(double radius);
  double startAngle() const { return m_startAngle; }
  OdResult setStartAngle(double angle);
  double endAngle() const { return m_endAngle; }
  OdResult setEndAngle(double angle);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  double thickness() const { return m_thickness; }
  OdResult setThickness(double thickness);

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbArc(const OdDbArc&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_center;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  double m_radius = 0;
  double m_startAngle = 0;
  double m_endAngle = 0;
  double m_thickness = 0;
};

class OdDbPoint : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbPoint);
  OdDbPoint();
  explicit OdDbPoint(const OdGePoint3d& position);

  OdGePoint3d position() const { return m_position; }
  OdResult setPosition(const OdGePoint3d& position);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  double thickness() const { return m_thickness; }
  OdResult setThickness(double thickness);
  double ecsRotation() const { return m_ecsRotation; }
  OdResult setEcsRotation(double angle);

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbPoint(const OdDbPoint&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_position;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  double m_thickness = 0;
  double m_ecsRotation = 0;
};

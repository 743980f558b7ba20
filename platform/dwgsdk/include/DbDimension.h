// Dimensions. A dimension draws itself through an anonymous block ("*D...")
// that the layer builds from its points and its dimension style.
#pragma once

#include "DbDimVars.h"
#include "DbEntity.h"

class OdDbDimension : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbDimension);
  OdDbDimension();
  ~OdDbDimension() override;

  OdDbObjectId dimensionStyle() const;
  OdResult setDimensionStyle(OdDbObjectId styleId);
  /// The text override: empty shows the measurement, "<>" stands for it.
  OdString dimensionText() const { return m_text; }
  OdResult setDimensionText(const OdString& text);
  OdGePoint3d textPosition() const { return m_textPosition; }
  /// Places the text there (the default position no longer applies).
  OdResult setTextPosition(const OdGePoint3d& position);
  bool isUsingDefaultTextPosition() const { return m_defaultTextPosition; }
  OdResult useDefaultTextPosition();
  double textRotation() const { return m_textRotation; }
  OdResult setTextRotation(double angle);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  OdDbObjectId dimBlockId() const;
  /// The measured value.
  virtual OdResult measurement(double& value) const;
  /// Lays the dimension out again: the default text position (when it
  /// applies) and, for a dimension in a database, its block.
  OdResult recomputeDimBlock(bool forceUpdate = true);

  /// Also takes the database's current dimension style.
  void subSetDatabaseDefaults(OdDbDatabase* database, bool doSubents) override;

 protected:
  OdDbDimension(const OdDbDimension& other);
  /// The layout of a dimension type: the default text position and the
  /// lines of its block.
  struct Layout;
  virtual OdResult computeLayout(const OdDbDimVars& vars, Layout& layout) const;
  OdDbDimVars styleVars() const;

 private:
  friend struct OdDbInternals;
  OdString m_text;
  OdGePoint3d m_textPosition;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  OdDbStub* m_style = nullptr;
  OdDbStub* m_block = nullptr;
  double m_textRotation = 0;
  bool m_defaultTextPosition = true;
  bool m_blockStale = true;
};

/// A linear dimension measured along the direction `rotation`.
class OdDbRotatedDimension : public OdDbDimension {
  ODDB_DECLARE_MEMBERS(OdDbRotatedDimension);
  OdDbRotatedDimension();
  OdDbRotatedDimension(double rotation, const OdGePoint3d& xLine1Point, const OdGePoint3d& xLine2Point,
                       const OdGePoint3d& dimLinePoint, const OdString& dimText = OdString(),
                       OdDbObjectId dimStyle = OdDbObjectId::kNull);

  OdGePoint3d xLine1Point() const { return m_xLine1; }
  OdResult setXLine1Point(const OdGePoint3d& point);
  OdGePoint3d xLine2Point() const { return m_xLine2; }
  OdResult setXLine2Point(const OdGePoint3d& point);
  OdGePoint3d dimLinePoint() const { return m_dimLine; }
  OdResult setDimLinePoint(const OdGePoint3d& point);
  double rotation() const { return m_rotation; }
  OdResult setRotation(double angle);
  double oblique() const { return m_oblique; }
  OdResult setOblique(double angle);

  OdResult measurement(double& value) const override;
  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbRotatedDimension(const OdDbRotatedDimension&) = default;
  OdResult computeLayout(const OdDbDimVars& vars, Layout& layout) const override;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_xLine1, m_xLine2, m_dimLine;
  double m_rotation = 0, m_oblique = 0;
};

// Block references (inserts) and their attributes.
#pragma once

#include "DbEntity.h"

class OdDbAttribute;
struct OdDbSubObjects;

class OdDbBlockReference : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbBlockReference);
  OdDbBlockReference();
  OdDbBlockReference(const OdGePoint3d& position, OdDbObjectId blockTableRecord);
  ~OdDbBlockReference() override;

  OdDbObjectId blockTableRecord() const;
  /// eNotThatKindOfClass for an id that is no block definition.
  OdResult setBlockTableRecord(OdDbObjectId blockId);
  OdGePoint3d position() const { return m_position; }
  OdResult setPosition(const OdGePoint3d& position);
  double rotation() const { return m_rotation; }
  OdResult setRotation(double angle);
  OdGeScale3d scaleFactors() const { return m_scale; }
  /// eInvalidInput for a zero factor.
  OdResult setScaleFactors(const OdGeScale3d& scale);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  /// Block coordinates to WCS: the definition's origin to the position, with
  /// the scale, the rotation about the normal and the reference's ECS.
  OdGeMatrix3d blockTransform() const;

  /// The caller deletes the iterator.
  OdDbObjectIterator* attributeIterator() const;
  /// Appends an attribute that belongs to no database; for a reference in a
  /// database it is added at once and stays open for write, otherwise it
  /// joins the database with the reference (open for write then too).
  OdResult appendAttribute(OdDbObjectId& id, OdDbAttribute* attribute);
  OdResult appendAttribute(OdDbAttribute* attribute);

  /// The box of the definition's contents (and the attributes) under
  /// `parentTransform` times the block transform.
  OdResult geomExtentsBestFit(OdGeExtents3d& extents,
                              const OdGeMatrix3d& parentTransform = OdGeMatrix3d::kIdentity) const;

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbBlockReference(const OdDbBlockReference& other);
  void forEachSubEntity(const std::function<void(OdDbEntity&)>& visit) override;

 private:
  friend struct OdDbInternals;
  OdDbStub* m_block = nullptr;
  OdGePoint3d m_position;
  OdGeScale3d m_scale;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  double m_rotation = 0;
  std::unique_ptr<OdDbSubObjects> m_attributes;
};

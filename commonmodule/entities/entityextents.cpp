// The WCS box around an entity. A block reference is measured through its
// definition: the box of the definition's contents, carried through the
// reference's own transform, so a rotated reference gives the box of the
// rotated contents.
#include "DbBlockReference.h"
#include "HvDbUtilsEdit.h"
#include "tables/openedobject.h"

namespace HvDbUtils {

bool GetEntExtents(OdDbEntity* entity, OdDbExtents& extents) {
  if (!entity) return false;
  const auto* reference = OdDbBlockReference::cast(entity);
  if (!reference) return entity->getGeomExtents(extents) == eOk;

  // A reference of no database, at the origin, measures the definition's
  // contents alone (the attributes of `reference` are not counted).
  OdDbBlockReference probe;
  OdDbExtents contents;
  if (probe.setBlockTableRecord(reference->blockTableRecord()) != eOk ||
      probe.geomExtentsBestFit(contents, OdGeMatrix3d::kIdentity) != eOk)
    return entity->getGeomExtents(extents) == eOk;
  // The probe's transform already moves the definition's base point to the
  // origin, and the reference's transform does so again: undo the probe's so
  // that a block whose base point is not the origin is not shifted twice.
  extents = contents.transformBy(reference->blockTransform() * probe.blockTransform().inverse());
  return true;
}

bool GetEntExtents(OdDbObjectId id, OdDbExtents& extents) {
  mwcommon::OpenedObject<OdDbEntity> entity;
  if (oddbOpenObject(entity.slot(), id, OdDb::kForRead) != eOk) return false;
  return GetEntExtents(entity.get(), extents);
}

}  // namespace HvDbUtils

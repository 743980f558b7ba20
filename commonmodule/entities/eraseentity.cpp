// Erasing entities by id. An erased entity stays in the database (undo can
// bring it back) but is skipped by lookups and iterators and not saved.
#include "HvDbUtilsEdit.h"
#include "tables/openedobject.h"

namespace HvDbUtils {

bool EraseEntity(OdDbObjectId id) {
  mwcommon::OpenedObject<OdDbEntity> entity;
  if (oddbOpenObject(entity.slot(), id, OdDb::kForWrite) != eOk) return false;
  return entity->erase() == eOk;
}

bool EraseEntity(const OdArray<OdDbObjectId>& ids) {
  for (const OdDbObjectId& id : ids) EraseEntity(id);
  return true;
}

}  // namespace HvDbUtils

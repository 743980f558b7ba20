// Whether a block reference shows an external reference: its block
// definition then comes from another drawing.
#include "DbBlockReference.h"
#include "DbSymbolTable.h"
#include "HvDbUtilsEdit.h"
#include "tables/openedobject.h"

namespace HvDbUtils {

bool IsXref(OdDbEntity* entity) {
  const auto* reference = OdDbBlockReference::cast(entity);
  if (!reference) return false;
  mwcommon::OpenedObject<OdDbBlockTableRecord> definition;
  if (oddbOpenObject(definition.slot(), reference->blockTableRecord(), OdDb::kForRead) != eOk) return false;
  return definition->isFromExternalReference();
}

bool IsXref(OdDbObjectId id) {
  mwcommon::OpenedObject<OdDbEntity> entity;
  if (oddbOpenObject(entity.slot(), id, OdDb::kForRead) != eOk) return false;
  return IsXref(entity.get());
}

}  // namespace HvDbUtils

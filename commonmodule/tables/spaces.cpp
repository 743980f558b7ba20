// Model space, paper space and the current space, and appending entities to
// them: every entity the module makes reaches the drawing here.
#include "HvDbUtilsTables.h"
#include "core/workingdatabase.h"
#include "kxed.h"
#include "tables/currentspace.h"
#include "tables/lockeddocument.h"
#include "tables/openedobject.h"

namespace {

constexpr const OdChar* kModelSpace = u"*Model_Space";
constexpr const OdChar* kPaperSpace = u"*Paper_Space";

OdDbObjectId spaceId(OdDbDatabase* database, const OdChar* name) {
  OdDbObjectId id;
  database = mwcommon::resolveDatabase(database);
  if (!database) return id;
  mwcommon::OpenedObject<OdDbBlockTable> table;
  if (database->getBlockTable(table.slot(), OdDb::kForRead) != eOk) return id;
  table->getAt(name, id, false);
  return id;
}

}  // namespace

namespace mwcommon {

const OdChar* currentSpaceName(OdDbDatabase* database) {
  return HvDbUtils::IsPaperSpace(database) ? kPaperSpace : kModelSpace;
}

}  // namespace mwcommon

namespace HvDbUtils {

bool IsPaperSpace(OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database || database->tilemode()) return false;
  // In a layout the user works on the paper itself only while its overall
  // viewport is current; inside a viewport entity the user works in model space.
  return database->paperSpaceVportId() == kxedGetCurViewportObjectId();
}

OdDbObjectId GetModelSpaceId(OdDbDatabase* database) { return spaceId(database, kModelSpace); }

OdDbObjectId GetPaperSpaceId(OdDbDatabase* database) { return spaceId(database, kPaperSpace); }

bool AppendEntity(OdDbEntity* entity, OdDbObjectId& id, const OdChar* blockName, OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  if (!entity) return false;
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  // A lock the host refuses (a database of no document) leaves the append to
  // the caller's own context; only a lock taken here is released here, after
  // the objects below are closed.
  const mwcommon::LockedDocument lock = mwcommon::LockedDocument::ofDatabase(database, KxAp::kWrite);
  mwcommon::OpenedObject<OdDbBlockTable> table;
  if (database->getBlockTable(table.slot(), OdDb::kForRead) != eOk) return false;
  mwcommon::OpenedObject<OdDbBlockTableRecord> block;
  if (table->getAt(OdString(blockName), block.slot(), OdDb::kForWrite, false) != eOk) return false;
  table.close();
  if (block->appendOdDbEntity(id, entity) != eOk) {
    id = OdDbObjectId::kNull;
    return false;
  }
  entity->close();
  return true;
}

bool AddToModelSpace(OdDbEntity* entity, OdDbObjectId& id, OdDbDatabase* database) {
  return AppendEntity(entity, id, kModelSpace, database);
}

bool AddToModelSpace(OdDbEntity* entity, OdDbDatabase* database) {
  OdDbObjectId id;
  return AddToModelSpace(entity, id, database);
}

bool AddToPaperSpace(OdDbEntity* entity, OdDbObjectId& id, OdDbDatabase* database) {
  return AppendEntity(entity, id, kPaperSpace, database);
}

bool AddToPaperSpace(OdDbEntity* entity, OdDbDatabase* database) {
  OdDbObjectId id;
  return AddToPaperSpace(entity, id, database);
}

bool AddToCurrentSpace(OdDbEntity* entity, OdDbObjectId& id, OdDbDatabase* database) {
  // AppendEntity gets the argument as it came; it defaults a null one itself.
  return AppendEntity(entity, id, mwcommon::currentSpaceName(database), database);
}

bool AddToCurrentSpace(OdDbEntity* entity, OdDbDatabase* database) {
  OdDbObjectId id;
  return AddToCurrentSpace(entity, id, database);
}

}  // namespace HvDbUtils

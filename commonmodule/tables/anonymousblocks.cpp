// Anonymous block definitions: a new empty one, or a named one made
// anonymous through a reference to it.
#include "DbBlockReference.h"
#include "HvDbUtilsTables.h"
#include "core/workingdatabase.h"
#include "tables/openedobject.h"
#include "tables/openobjectas.h"

namespace HvDbUtils {

namespace {
// The table makes every "*U" name unique ("*U1", "*U2", ...).
constexpr const OdChar* kAnonymousName = u"*U";
}  // namespace

OdResult DefineNewAnonymousBlock(OdDbObjectId& id, OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  database = mwcommon::resolveDatabase(database);
  if (!database) return eNoDatabase;
  mwcommon::OpenedObject<OdDbBlockTable> table;
  if (const OdResult result = database->getBlockTable(table.slot(), OdDb::kForWrite); result != eOk) return result;
  auto* record = new OdDbBlockTableRecord();
  record->setPathName(kAnonymousName);
  record->setName(kAnonymousName);
  const OdResult result = table->add(id, record);
  if (result != eOk) {
    id = OdDbObjectId::kNull;
    delete record;
    return result;
  }
  table.close();
  record->close();
  return eOk;
}

OdResult SetAnonymousBlock(const OdDbObjectId& referenceId) {
  OdDbObjectId definitionId;
  {
    mwcommon::OpenedObject<OdDbBlockReference> reference;
    if (OpenObjectAs(reference.slot(), referenceId, OdDb::kForRead) == eOk)
      definitionId = reference->blockTableRecord();
  }
  mwcommon::OpenedObject<OdDbBlockTableRecord> definition;
  if (const OdResult result = OpenObjectAs(definition.slot(), definitionId, OdDb::kForWrite); result != eOk)
    return result;
  definition->setName(kAnonymousName);
  return definition->setPathName(kAnonymousName);
}

}  // namespace HvDbUtils

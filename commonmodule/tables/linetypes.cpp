// Linetype resolution for layers, and the linetype listing of HvDbUtils.
#include "tables/linetypes.h"

#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "HvDbUtilsLayers.h"
#include "core/workingdatabase.h"
#include "tables/openedobject.h"

namespace mwcommon {

namespace {

OdDbObjectId lookUp(const OdDbLinetypeTable* table, const OdString& name) {
  OdDbObjectId id;
  if (table->getAt(name, id, false) != eOk) return OdDbObjectId::kNull;
  return id;
}

}  // namespace

OdDbObjectId resolveLinetype(OdDbDatabase* database, const OdString& name) {
  OpenedObject<OdDbLinetypeTable> table;
  if (database->getLinetypeTable(table.slot(), OdDb::kForRead) != eOk) return OdDbObjectId::kNull;
  OdDbObjectId id = lookUp(table.get(), name);
  if (id.isNull()) {
    if (database->loadLineTypeFile(name, kLinetypeFile, OdDb::kDltNotApplicable) == eOk) id = lookUp(table.get(), name);
    if (id.isNull()) id = lookUp(table.get(), kContinuous);
  }
  return id;
}

}  // namespace mwcommon

namespace HvDbUtils {

int DoGetLineType(CStringArray& names, CString& current, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return 0;
  mwcommon::OpenedObject<OdDbLinetypeTable> table;
  if (database->getLinetypeTable(table.slot(), OdDb::kForRead) != eOk) return 0;
  OdDbSymbolTableIterator* iterator = nullptr;
  if (table->newIterator(iterator, true, true) == eOk) {
    for (; !iterator->done(); iterator->step(true, true)) {
      mwcommon::OpenedObject<OdDbSymbolTableRecord> record;
      if (iterator->getRecord(record.slot(), OdDb::kForRead) != eOk) continue;
      names.Add(CString(record->getName().c_str()));
    }
    delete iterator;
  }
  table.close();

  mwcommon::OpenedObject<OdDbLinetypeTableRecord> linetype;
  if (oddbOpenObject(linetype.slot(), database->celtype(), OdDb::kForRead) != eOk) return 0;
  const CString name(linetype->getName().c_str());
  linetype.close();
  for (INT_PTR i = 0; i < names.GetSize(); ++i) {
    if (names[i] == name) {
      current = names[i];
      return 1;
    }
  }
  return 0;
}

}  // namespace HvDbUtils

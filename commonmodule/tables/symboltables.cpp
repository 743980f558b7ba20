// Symbol tables by the class of their records, and the names and ids of
// their records.
#include <array>

#include "HvDbUtilsMessages.h"
#include "HvDbUtilsTables.h"
#include "core/workingdatabase.h"
#include "tables/openedobject.h"
#include "tables/openobjectas.h"

namespace HvDbUtils {

namespace {

constexpr const OdChar* kNullIdName = u"AcDbObjectId::kNull";

struct TableKind {
  OdRxClass* (*recordClass)();
  OdDbObjectId (OdDbDatabase::*tableId)() const;
};

// Matched in this order, by identity of the descriptor: a class derived
// from a record class names no table.
const std::array<TableKind, 9> kTableKinds = {{
    {&OdDbBlockTableRecord::desc, &OdDbDatabase::getBlockTableId},
    {&OdDbDimStyleTableRecord::desc, &OdDbDatabase::getDimStyleTableId},
    {&OdDbLayerTableRecord::desc, &OdDbDatabase::getLayerTableId},
    {&OdDbLinetypeTableRecord::desc, &OdDbDatabase::getLinetypeTableId},
    {&OdDbTextStyleTableRecord::desc, &OdDbDatabase::getTextStyleTableId},
    {&OdDbRegAppTableRecord::desc, &OdDbDatabase::getRegAppTableId},
    {&OdDbUCSTableRecord::desc, &OdDbDatabase::getUCSTableId},
    {&OdDbViewTableRecord::desc, &OdDbDatabase::getViewTableId},
    {&OdDbViewportTableRecord::desc, &OdDbDatabase::getViewportTableId},
}};

}  // namespace

OdDbSymbolTable* OpenSymbolTable(const OdRxClass* recordClass, OdDb::OpenMode mode, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  const TableKind* kind = nullptr;
  for (const TableKind& candidate : kTableKinds) {
    if (candidate.recordClass() == recordClass) {
      kind = &candidate;
      break;
    }
  }
  if (!kind) {
    RxErrorMsg(eAmbiguousOutput);
    return nullptr;
  }
  if (!database) {
    RxErrorMsg(eNoDatabase);
    return nullptr;
  }
  OdDbSymbolTable* table = nullptr;
  if (const OdResult result = oddbOpenObject(table, (database->*kind->tableId)(), mode); result != eOk) {
    RxErrorMsg(result);
    return nullptr;
  }
  return table;
}

bool SymbolExists(const OdRxClass* recordClass, const OdChar* name, OdDbDatabase* database) {
  mwcommon::OpenedObject<OdDbSymbolTable> table(OpenSymbolTable(recordClass, OdDb::kForRead, database));
  return table && table->has(OdString(name));
}

OdResult NameToSymbolId(const OdRxClass* recordClass, const OdChar* name, OdDbObjectId& id, OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  mwcommon::OpenedObject<OdDbSymbolTable> table(OpenSymbolTable(recordClass, OdDb::kForRead, database));
  if (!table) return eAmbiguousOutput;
  return table->getAt(OdString(name), id, false);
}

OdResult SymbolIdToName(const OdDbObjectId& id, CString& name, OdDbDatabase*) {
  if (id.isNull()) {
    name = kNullIdName;
    return eNullObjectId;
  }
  mwcommon::OpenedObject<OdDbSymbolTableRecord> record;
  if (const OdResult result = OpenObjectAs(record.slot(), id, OdDb::kForRead); result != eOk) {
    RxErrorMsg(result);
    return eAmbiguousOutput;
  }
  name = record->getName().c_str();
  return eOk;
}

}  // namespace HvDbUtils

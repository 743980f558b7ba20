// Block references of blocks named by drawing files: the drawing's own
// definition when it has the name, else the file's model space inserted as
// a new definition.
#include <memory>

#include "DbText.h"
#include "HvDbUtilsBlocks.h"
#include "HvDbUtilsTables.h"
#include "core/workingdatabase.h"
#include "shlwapi.h"
#include "tables/openedobject.h"
#include "win32/crt.h"

namespace HvDbUtils {

namespace {

/// The file name part of a Windows path, without folder and extension;
/// empty for a path that ends in a folder or does not fit the path buffers.
CString blockNameOf(const CString& path) {
  WCHAR name[_MAX_FNAME] = {};
  WCHAR extension[_MAX_EXT] = {};
  if (_wsplitpath_s(path, nullptr, 0, nullptr, 0, name, _MAX_FNAME, extension, _MAX_EXT) != 0) return CString();
  return CString(name);
}

/// The id of the block `name` that `database` defines (the null id when it
/// does not), or false when its block table cannot be read.
bool findBlock(OdDbDatabase* database, const CString& name, OdDbObjectId& id) {
  bool defined = false;
  {
    mwcommon::OpenedObject<OdDbBlockTable> table;
    if (database->getBlockTable(table.slot(), OdDb::kForRead) != eOk) return false;
    defined = table->has(OdString(name));
  }
  if (!defined) return true;
  mwcommon::OpenedObject<OdDbBlockTable> table;
  if (database->getBlockTable(table.slot(), OdDb::kForRead) != eOk) return false;
  mwcommon::OpenedObject<OdDbBlockTableRecord> record;
  if (table->getAt(OdString(name), record.slot(), OdDb::kForRead) != eOk) return false;
  table.close();
  id = record->objectId();
  return true;
}

/// Reads the drawing `path` and inserts its model space into `database` as
/// the block `name`.
bool insertBlockFromFile(OdDbDatabase* database, const CString& path, const CString& name, OdDbObjectId& id) {
  if (!PathFileExistsW(path)) return false;
  auto source = std::make_unique<OdDbDatabase>(false, false);
  if (source->readFile(OdString(path), OdDb::kShareDenyNo, false, nullptr) != eOk) return false;
  return database->insert(id, OdString(name), source.get(), true) == eOk;
}

/// Deletes a reference that no database took, with its attributes.
void discard(OdDbBlockReference*& reference) {
  delete reference;
  reference = nullptr;
}

}  // namespace

bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale, double rotation,
                          OdDbBlockReference*& reference, OdDbDatabase* database) {
  reference = nullptr;
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  const CString name = blockNameOf(path);
  if (name.IsEmpty()) return false;
  OdDbObjectId blockId;
  if (!findBlock(database, name, blockId)) return false;
  if (blockId.isNull() && !insertBlockFromFile(database, path, name, blockId)) return false;
  reference = new OdDbBlockReference(point, blockId);
  reference->setRotation(rotation);
  reference->setScaleFactors(scale);
  return true;
}

bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale, double rotation,
                          OdDbObjectId& id, OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  OdDbBlockReference* reference = nullptr;
  if (!InsertBlockReference(path, point, scale, rotation, reference, database)) return false;
  if (AddToCurrentSpace(reference, id, database)) return true;
  discard(reference);
  return false;
}

bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale, double rotation,
                          std::map<CString, CString> values, OdDbBlockReference*& reference, OdArray<void*>& attributes,
                          OdDbDatabase* database) {
  reference = nullptr;
  attributes.clear();
  if (!InsertBlockReference(path, point, scale, rotation, reference, database)) return false;
  if (CreateAttribute(reference, std::move(values), attributes)) return true;
  discard(reference);
  return false;
}

bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale, double rotation,
                          std::map<CString, CString> values, OdDbObjectId& id, OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  OdDbBlockReference* reference = nullptr;
  OdArray<void*> attributes;
  if (!InsertBlockReference(path, point, scale, rotation, std::move(values), reference, attributes, database))
    return false;
  if (!AddToCurrentSpace(reference, id, database)) {
    // The attributes are the reference's: they go with it.
    discard(reference);
    return false;
  }
  // The attributes joined the database with the reference and are closed as
  // the objects made here (the SDK may let them join closed already; a second
  // close changes nothing then).
  for (void* attribute : attributes) static_cast<OdDbAttribute*>(attribute)->close();
  return true;
}

}  // namespace HvDbUtils

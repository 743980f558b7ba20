// Layers of HvDbUtils: testing, creating, selecting, locking and hiding.
#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "HvDbUtilsLayers.h"
#include "OdAlloc.h"
#include "core/workingdatabase.h"
#include "kxed.h"
#include "tables/linetypes.h"
#include "tables/lockeddocument.h"
#include "tables/openedobject.h"

namespace {

using mwcommon::LockedDocument;
using mwcommon::OpenedObject;

// What SetLayer gives a layer it has to make first.
constexpr OdInt16 kNewLayerColor = 7;

// Thawed, on and unlocked: what a layer that is made current or refreshed becomes.
void makeUsable(OdDbLayerTableRecord* layer) {
  layer->setIsFrozen(false);
  layer->setIsOff(false);
  layer->setIsLocked(false);
}

enum class CreateMissing { No, Yes };

bool setLayer(const OdChar* name, OdDbDatabase* database, CreateMissing createMissing) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  LockedDocument lock = LockedDocument::ofDatabase(database, KxAp::kWrite);
  if (!lock.locked()) return false;
  OpenedObject<OdDbLayerTable> table;
  if (database->getLayerTable(table.slot(), OdDb::kForRead) != eOk) return false;
  if (table->has(name)) {
    const OdDbObjectId id = table->getAt(name);
    OpenedObject<OdDbLayerTableRecord> layer;
    if (oddbOpenObject(layer.slot(), id, OdDb::kForWrite) != eOk) return false;
    makeUsable(layer.get());
    layer.close();
    const bool current = database->setClayer(id) == eOk;
    table.close();
    return current;
  }
  table.close();
  // The layer made here is looked for once more; a second miss ends the call
  // rather than making the layer again and again.
  if (createMissing == CreateMissing::No ||
      !HvDbUtils::CreateLayer(name, mwcommon::kContinuous, kNewLayerColor, database))
    return false;
  lock.release();
  return setLayer(name, database, CreateMissing::No);
}

}  // namespace

namespace HvDbUtils {

bool LayerExist(const OdChar* name, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  const LockedDocument lock = LockedDocument::ofDatabase(database, KxAp::kRead);
  if (!lock.locked()) return false;
  OpenedObject<OdDbLayerTable> table;
  if (database->getLayerTable(table.slot(), OdDb::kForRead) != eOk) return false;
  return table->has(name);
}

bool CreateLayer(const OdChar* name, const OdChar* linetype, int color, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  const LockedDocument lock = LockedDocument::ofDatabase(database, KxAp::kWrite);
  if (!lock.locked()) return false;
  OpenedObject<OdDbLayerTable> table;
  if (database->getLayerTable(table.slot(), OdDb::kForWrite) != eOk) return false;
  const OdInt16 colorIndex = static_cast<OdInt16>(color);

  if (table->has(name)) {
    OpenedObject<OdDbLayerTableRecord> layer;
    const OdResult opened = table->getAt(name, layer.slot(), OdDb::kForWrite);
    table.close();
    if (opened != eOk) return false;
    layer->setColorIndex(colorIndex);
    makeUsable(layer.get());
    layer->setLinetypeObjectId(mwcommon::resolveLinetype(database, linetype));
    return true;
  }

  auto* layer = new OdDbLayerTableRecord();
  if (layer->setName(name) != eOk) {
    delete layer;
    return false;
  }
  makeUsable(layer);
  layer->setVPDFLT(false);
  layer->setColorIndex(colorIndex);
  layer->setLinetypeObjectId(mwcommon::resolveLinetype(database, linetype));
  if (table->add(layer) != eOk) {
    delete layer;
    return false;
  }
  layer->close();
  return true;
}

bool SetLayer(const OdChar* name, OdDbDatabase* database) { return setLayer(name, database, CreateMissing::Yes); }

bool SetLayer(const CString& name, OdDbDatabase* database) {
  CString trimmed(name);
  trimmed.Trim();
  return SetLayer(trimmed.GetString(), database);
}

int SetStatusOfLayer(CString& name, unsigned flags, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return 0;
  const LockedDocument lock = LockedDocument::ofDatabase(database, KxAp::kWrite);
  if (!lock.locked()) return 0;
  OpenedObject<OdDbLayerTable> table;
  if (database->getLayerTable(table.slot(), OdDb::kForWrite) != eOk) return 0;
  OpenedObject<OdDbLayerTableRecord> layer;
  const OdResult opened = table->getAt(name.GetString(), layer.slot(), OdDb::kForWrite);
  table.close();
  if (opened != eOk) return 0;
  layer->setIsOff((flags & kLayerOff) != 0);
  layer->setIsLocked((flags & kLayerLocked) != 0);
  return 1;
}

int SetStatusOfCLayer(unsigned flags) {
  resbuf value{};
  kxedGetVar(u"CLAYER", &value);
  CString name;
  if (value.restype == RTSTR && value.resval.rstring) name = value.resval.rstring;
  if (value.restype == RTSTR) odrxFree(value.resval.rstring);
  return SetStatusOfLayer(name, flags, nullptr);
}

}  // namespace HvDbUtils

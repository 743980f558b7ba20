// Whether an entity lies on a locked layer, so that a tool can refuse to
// change it and tell the user why.
#include "DbSymbolTable.h"
#include "HvDbUtilsEdit.h"
#include "HvDbUtilsMessages.h"
#include "core/expresstext.h"
#include "kxut.h"
#include "tables/openedobject.h"

namespace HvDbUtils {

bool IsOnLockedLayer(OdDbEntity* entity, bool report) {
  mwcommon::OpenedObject<OdDbLayerTableRecord> layer;
  const OdResult opened = entity ? oddbOpenObject(layer.slot(), entity->layerId(), OdDb::kForRead) : eNullObjectPointer;
  if (opened != eOk) {
    RxErrorMsg(opened);
    return false;
  }
  const bool locked = layer->isLocked();
  layer.close();
  if (locked && report) kxutPrintf(LoadExpressText(mwcommon::kEntityOnLockedLayer));
  return locked;
}

bool IsOnLockedLayer(const OdDbObjectId& id, bool report) {
  // What cannot be opened cannot be changed either: it counts as locked.
  mwcommon::OpenedObject<OdDbEntity> entity;
  if (oddbOpenObject(entity.slot(), id, OdDb::kForRead) != eOk) return true;
  return IsOnLockedLayer(entity.get(), report);
}

}  // namespace HvDbUtils

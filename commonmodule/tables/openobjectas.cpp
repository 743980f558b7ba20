#include "tables/openobjectas.h"

namespace HvDbUtils {

OdResult OpenObjectAs(OdDbObject*& object, const OdDbObjectId& id, OdDb::OpenMode mode, const OdRxClass* objectClass) {
  object = nullptr;
  if (id.isNull()) return eNullObjectId;
  OdDbObject* opened = nullptr;
  if (const OdResult result = id.openObject(opened, mode, false); result != eOk) return result;
  if (!opened->isKindOf(objectClass)) {
    opened->close();
    return eNotThatKindOfClass;
  }
  object = opened;
  return eOk;
}

}  // namespace HvDbUtils

// Application registration: every xdata writer starts its list with the
// application's 1001 item, registering the application in the drawing first
// when the object carries nothing of it yet.
#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "tables/openedobject.h"
#include "tables/xdatachain.h"

namespace mwcommon {

bool registerAppName(OdDbObject* object, const OdChar* name, ResbufChain& head) {
  head.reset();
  if (!object || !name || !*name) return false;
  if (resbuf* existing = object->xData(name)) {
    // Its own application item stays as the head; the old values go.
    odutRelRb(existing->rbnext);
    existing->rbnext = nullptr;
    head.reset(existing);
    return true;
  }
  OdDbDatabase* database = object->database();
  if (!database) return false;
  OpenedObject<OdDbRegAppTable> table;
  if (database->getRegAppTable(table.slot(), OdDb::kForRead) != eOk) return false;
  if (!table->has(name)) {
    auto* record = new OdDbRegAppTableRecord();
    if (record->setName(name) != eOk || table->upgradeOpen() != eOk || table->add(record) != eOk) {
      delete record;
      return false;
    }
    record->close();
  }
  table.close();
  resbuf* item = odutNewRb(1001);
  if (item) item->resval.rstring = odutNewString(name);
  if (!item || !item->resval.rstring) {
    odutRelRb(item);
    return false;
  }
  head.reset(item);
  return true;
}

}  // namespace mwcommon

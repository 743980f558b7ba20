// Removing an application's xdata from an object, at once or on a condition.
#include <cstring>

#include "HvDbUtilsXdata.h"
#include "core/expresstext.h"
#include "kxut.h"
#include "tables/openedobject.h"
#include "tables/xdatachain.h"

namespace {

using mwcommon::OpenedObject;
using mwcommon::ResbufChain;

bool sameText(const OdChar* a, const OdChar* b) { return OdString(a) == OdString(b); }

bool samePoint(const double* a, const double* b, int count) {
  for (int i = 0; i < count; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// Whether an item of the data in LISP form matches the value condition.
bool matchesValue(const resbuf* item, const resbuf* value) {
  switch (value->restype) {
    case RTREAL:
    case RTANG:
      return item->restype == RTREAL && item->resval.rreal == value->resval.rreal;
    case RTPOINT:
      return item->restype == RT3DPOINT && samePoint(item->resval.rpoint, value->resval.rpoint, 2) &&
             item->resval.rpoint[2] == 0.0;
    case RT3DPOINT:
      return item->restype == RT3DPOINT && samePoint(item->resval.rpoint, value->resval.rpoint, 3);
    case RTSHORT:
      return item->restype == RTSHORT && item->resval.rint == value->resval.rint;
    case RTLONG:
      return item->restype == RTLONG && item->resval.rlong == value->resval.rlong;
    case RTSTR:
      return item->restype == RTSTR && sameText(item->resval.rstring, value->resval.rstring);
    default:
      return false;
  }
}

// Stores the application item alone, which removes the application's data.
bool removeData(OdDbObject* object, const OdChar* appName) {
  ResbufChain only(odutNewRb(1001));
  if (only.empty()) return false;
  only.head()->resval.rstring = odutNewString(appName);
  if (!only.head()->resval.rstring) return false;
  const OdResult upgraded = object->upgradeOpen();
  if (upgraded != eOk && upgraded != eWasOpenForWrite) return false;
  return object->setXData(only.head()) == eOk;
}

}  // namespace

namespace HvDbUtils {

bool DeleteObjectXData(OdDbObjectId id, const OdChar* appName) {
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) {
    kxutPrintf(LoadExpressText(mwcommon::kOpenEntityFailed).text());
    return false;
  }
  if (!appName || !*appName) return true;
  ResbufChain data(object->xData(appName));
  if (data.empty()) return true;
  return removeData(object.get(), appName);
}

bool DeleteObjectXData(OdDbObjectId id, const OdChar* appName, const OdChar* text, const resbuf* value) {
  if (!appName || (text && value)) return false;
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) return false;
  ResbufChain data(object->xData(appName));
  if (data.empty()) return true;
  if (text || value) {
    if (!mwcommon::xdataToList(data.head())) return false;
    bool matched = false;
    for (const resbuf* item = data.head()->rbnext; item && !matched; item = item->rbnext)
      matched = text ? item->restype == RTSTR && sameText(item->resval.rstring, text) : matchesValue(item, value);
    if (!matched) return false;
  }
  return removeData(object.get(), appName);
}

}  // namespace HvDbUtils

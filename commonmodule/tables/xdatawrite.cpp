// The xdata writers of HvDbUtils: AddXdata, SetXdata, SetEntXdataPoint.
#include <algorithm>

#include "DbDatabase.h"
#include "HvDbUtilsXdata.h"
#include "OdAlloc.h"
#include "kxed.h"
#include "kxut.h"
#include "tables/lockeddocument.h"
#include "tables/openedobject.h"
#include "tables/xdatachain.h"

namespace {

using mwcommon::OpenedObject;
using mwcommon::ResbufChain;
using mwcommon::XdataBuild;

constexpr const OdChar* kGetObjectIdFailed = u"\nacdbGetObjectId failed";
constexpr const OdChar* kAddOpenFailed = u"\nAddxdata acdbOpenEntity failed";
constexpr const OdChar* kSetOpenFailed = u"Addxdata acdbOpenEntity failed";

OdDbDatabase* workingDatabase() { return oddbHostApplicationServices()->workingDatabase(); }

void cutAppName(CString& name) {
  if (name.GetLength() > HvDbUtils::kMaxAppNameLength) name = name.Left(HvDbUtils::kMaxAppNameLength);
}

// The items of a value node after the application item: a text through text
// storage (or, for SetXdata, as one string item), a point as a braced group of
// reals, anything else as the opening node of a LISP list.
enum class TextItems { Stored, OneString };

XdataBuild valueItems(const resbuf* value, TextItems textItems, ResbufChain& items) {
  if (value && value->restype == RTSTR) {
    if (textItems == TextItems::Stored) return mwcommon::appendStoredText(items, value->resval.rstring);
    resbuf* text = odutNewRb(1000);
    if (text) text->resval.rstring = odutNewString(value->resval.rstring ? value->resval.rstring : u"");
    if (!text || !text->resval.rstring) {
      odutRelRb(text);
      return XdataBuild::kOutOfMemory;
    }
    items.append(text);
    return XdataBuild::kDone;
  }
  if (value && (value->restype == RTPOINT || value->restype == RT3DPOINT)) {
    const double* p = value->resval.rpoint;
    ResbufChain list(value->restype == RTPOINT
                         ? odutBuildList(RTLB, RTREAL, p[0], RTREAL, p[1], RTLE, 0)
                         : odutBuildList(RTLB, RTREAL, p[0], RTREAL, p[1], RTREAL, p[2], RTLE, 0));
    if (list.empty()) return XdataBuild::kOutOfMemory;
    return mwcommon::listToXdata(list.head(), items);
  }
  return mwcommon::listToXdata(value, items);
}

// Upgrades the object to write (already open for write counts) and stores the
// list. A list the drawing refuses is reported as an illegal entry.
enum class Upgrade { Failed, Done, WasWritable };

Upgrade upgradeForWrite(OdDbObject* object) {
  const OdResult upgraded = object->upgradeOpen();
  if (upgraded == eOk) return Upgrade::Done;
  return upgraded == eWasOpenForWrite ? Upgrade::WasWritable : Upgrade::Failed;
}

bool store(OdDbObject* object, const ResbufChain& list) {
  if (object->setXData(list.head()) == eOk) return true;
  mwcommon::reportIllegalEntry();
  return false;
}

int setTextOn(OdDbObject* object, const OdChar* appName, const OdChar* text, OdDbDatabase* database) {
  if (!object || !database) return 0;
  const auto lock = mwcommon::LockedDocument::current(KxAp::kWrite, mwcommon::LockedDocument::Prompt::No);
  if (!lock.locked()) return 0;
  ResbufChain list;
  if (!mwcommon::registerAppName(object, appName, list)) return 0;
  if (XdataBuild built = mwcommon::appendStoredText(list, text); built != XdataBuild::kDone) {
    mwcommon::reportBuildFailure(built);
    return 0;
  }
  const Upgrade upgrade = upgradeForWrite(object);
  if (upgrade == Upgrade::Failed) return 0;
  const bool stored = store(object, list);
  if (upgrade == Upgrade::Done) object->downgradeOpen();
  return stored ? 1 : 0;
}

int setTextById(OdDbObjectId id, CString& appName, const OdChar* text, OdDbDatabase* database) {
  if (!database) return 0;
  cutAppName(appName);
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) {
    kxutPrintf(kAddOpenFailed);
    return 0;
  }
  return setTextOn(object.get(), appName, text, database);
}

int setValueById(OdDbObjectId id, const OdChar* appName, const resbuf* value, OdDbDatabase* database) {
  if (!database) return 0;
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) {
    kxutPrintf(kSetOpenFailed);
    return 0;
  }
  ResbufChain list;
  if (!mwcommon::registerAppName(object.get(), appName, list)) return 0;
  ResbufChain items;
  if (XdataBuild built = valueItems(value, TextItems::OneString, items); built != XdataBuild::kDone) {
    mwcommon::reportBuildFailure(built);
    return 0;
  }
  list.append(std::move(items));
  if (upgradeForWrite(object.get()) == Upgrade::Failed) return 0;
  return store(object.get(), list) ? 1 : 0;
}

}  // namespace

namespace HvDbUtils {

int AddXdata(const ads_name ename, const OdChar* appName, const resbuf* value, OdDbDatabase* database) {
  if (!database) return 0;
  OdDbObjectId id;
  if (oddbGetObjectId(id, ename) != eOk) {
    kxutPrintf(kGetObjectIdFailed);
    kxedRetNil();
    return 1;
  }
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) {
    kxutPrintf(kAddOpenFailed);
    kxedRetNil();
    return 1;
  }
  ResbufChain list;
  if (!mwcommon::registerAppName(object.get(), appName, list)) {
    kxedRetNil();
    return 1;
  }
  ResbufChain items;
  if (XdataBuild built = valueItems(value, TextItems::Stored, items); built != XdataBuild::kDone) {
    mwcommon::reportBuildFailure(built);
    object.close();
    kxedRetNil();
    return 1;
  }
  list.append(std::move(items));
  if (upgradeForWrite(object.get()) == Upgrade::Failed || !store(object.get(), list)) {
    object.close();
    kxedRetNil();
    return 1;
  }
  return 1;
}

int AddXdata(const ads_name ename, const OdChar* appName, const resbuf* value) {
  return AddXdata(ename, appName, value, workingDatabase());
}

int SetXdata(OdDbObject* object, const OdChar* appName, const OdChar* text, OdDbDatabase* database) {
  return setTextOn(object, appName, text, database);
}

int SetXdata(OdDbObject* object, const OdChar* appName, const OdChar* text) {
  return setTextOn(object, appName, text, workingDatabase());
}

int SetXdata(OdDbObjectId id, CString& appName, const OdChar* text, OdDbDatabase* database) {
  return setTextById(id, appName, text, database);
}

int SetXdata(OdDbObjectId id, CString& appName, const OdChar* text) {
  return setTextById(id, appName, text, workingDatabase());
}

int SetXdata(const ads_name ename, const OdChar* appName, const OdChar* text, OdDbDatabase* database) {
  if (!database) return 0;
  OdDbObjectId id;
  if (oddbGetObjectId(id, ename) != eOk) return 0;
  CString name(appName);
  return setTextById(id, name, text, database);
}

int SetXdata(const ads_name ename, const OdChar* appName, const OdChar* text) {
  return SetXdata(ename, appName, text, workingDatabase());
}

int SetXdata(OdDbObjectId id, const OdChar* appName, const resbuf* value, OdDbDatabase* database) {
  return setValueById(id, appName, value, database);
}

int SetXdata(OdDbObjectId id, const OdChar* appName, const resbuf* value) {
  return setValueById(id, appName, value, workingDatabase());
}

int SetXdata(const ads_name ename, const OdChar* appName, const resbuf* value, OdDbDatabase* database) {
  if (!database) return 0;
  OdDbObjectId id;
  if (oddbGetObjectId(id, ename) != eOk) {
    kxutPrintf(kGetObjectIdFailed);
    return 0;
  }
  return setValueById(id, appName, value, database);
}

int SetXdata(const ads_name ename, const OdChar* appName, const resbuf* value) {
  return SetXdata(ename, appName, value, workingDatabase());
}

int SetEntXdataPoint(OdDbObjectId id, const OdChar* appName, const OdGePoint3d& point, OdDbDatabase* database) {
  if (!database) return 0;
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForWrite) != eOk) return 0;
  ResbufChain list;
  if (!mwcommon::registerAppName(object.get(), appName, list)) return 0;
  const double position[3] = {point.x, point.y, 0.0};
  resbuf* item = odutNewRb(1011);
  if (!item) return 0;
  std::copy(position, position + 3, item->resval.rpoint);
  list.append(item);
  return store(object.get(), list) ? 1 : 0;
}

int SetEntXdataPoint(OdDbObjectId id, const OdChar* appName, const OdGePoint3d& point) {
  return SetEntXdataPoint(id, appName, point, workingDatabase());
}

}  // namespace HvDbUtils

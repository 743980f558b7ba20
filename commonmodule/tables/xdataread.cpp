// The xdata readers of HvDbUtils: GetXdata, findXdata, GetEntXdataPoint.
#include <string>

#include "DbEntity.h"
#include "HvDbUtilsXdata.h"
#include "kxed.h"
#include "kxut.h"
#include "tables/openedobject.h"
#include "tables/xdatachain.h"

namespace {

using mwcommon::OpenedObject;
using mwcommon::ResbufChain;

constexpr const OdChar* kGetObjectIdFailed = u"\nacdbGetObjectId failed";
constexpr const OdChar* kGetOpenFailed = u"Getxdata acdbOpenEntity failed";
// What findXdata gives for an object without the application's data.
constexpr const OdChar* kNoData = u"-";

void cutAppName(CString& name) {
  if (name.GetLength() > HvDbUtils::kMaxAppNameLength) name = name.Left(HvDbUtils::kMaxAppNameLength);
}

enum class Chunks { Read, Ignored };

// The marker walk of the text readers: 0 outside braces, 1 inside, 2 once a
// chunk was seen. A string item met outside braces is the value; otherwise,
// when chunks were seen last, all chunks of the list joined are.
enum class Found { None, NoData, Text };

Found readText(const OdDbObject* object, const OdChar* appName, Chunks chunks, CString& text) {
  if (!object) return Found::None;
  ResbufChain data(object->xData(appName));
  if (data.empty()) return Found::NoData;
  int marker = 0;
  for (const resbuf* item = data.head()->rbnext; item; item = item->rbnext) {
    if (item->restype == 1002) {
      marker = marker == 0 ? 1 : 0;
    } else if (item->restype == 1000 && marker == 0) {
      text = item->resval.rstring ? item->resval.rstring : u"";
      return Found::Text;
    } else if (item->restype == 1004 && chunks == Chunks::Read) {
      marker = 2;
    }
  }
  if (marker != 2) return Found::None;
  std::string bytes;
  for (const resbuf* item = data.head()->rbnext; item; item = item->rbnext)
    if (item->restype == 1004 && item->resval.rbinary.clen > 0 && item->resval.rbinary.buf)
      bytes.append(item->resval.rbinary.buf, static_cast<std::size_t>(item->resval.rbinary.clen));
  OdString joined;
  if (!mwcommon::ansiText(bytes.data(), bytes.size(), joined)) return Found::None;
  text = joined.c_str();
  return Found::Text;
}

int textById(OdDbObjectId id, CString& appName, CString& text) {
  text.Empty();
  cutAppName(appName);
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) return 0;
  return readText(object.get(), appName, Chunks::Read, text) == Found::Text ? 1 : 0;
}

// The application's list in LISP form, or a report of why there is none.
int listById(OdDbObjectId id, const OdChar* appName, resbuf*& list) {
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) {
    kxutPrintf(kGetOpenFailed);
    return 0;
  }
  list = object->xData(appName);
  object.close();
  if (!list) return 0;
  return mwcommon::xdataToList(list) ? 1 : 0;
}

// The contents of the application's first braced group, for LISP.
void returnGroup(const OdDbObject* object, const OdChar* appName) {
  ResbufChain data(object->xData(appName));
  resbuf* group = data.head();
  while (group && group->restype != 1002) group = group->rbnext;
  if (!group || !mwcommon::xdataToList(group)) {
    kxedRetNil();
    return;
  }
  if (group->rbnext)
    kxedRetList(group->rbnext);
  else
    kxedRetNil();
}

}  // namespace

namespace HvDbUtils {

int GetXdata(const OdDbObject* object, const OdChar* appName, CString& text) {
  text.Empty();
  return readText(object, appName, Chunks::Read, text) == Found::Text ? 1 : 0;
}

int GetXdata(OdDbObjectId id, CString& appName, CString& text) { return textById(id, appName, text); }

int GetXdata(const ads_name ename, CString& appName, CString& text) {
  OdDbObjectId id;
  if (oddbGetObjectId(id, ename) != eOk) {
    text.Empty();
    kxutPrintf(kGetObjectIdFailed);
    return 0;
  }
  return textById(id, appName, text);
}

int GetXdata(const ads_name ename, const OdChar* appName, short mode) {
  OdDbObjectId id;
  if (oddbGetObjectId(id, ename) != eOk) {
    kxutPrintf(kGetObjectIdFailed);
    kxedRetNil();
    return 1;
  }
  CString name(appName);
  cutAppName(name);
  if (mode == 0) {
    CString text;
    if (textById(id, name, text))
      kxedRetStr(text);
    else
      kxedRetNil();
    return 1;
  }
  OpenedObject<OdDbObject> object;
  if (oddbOpenObject(object.slot(), id, OdDb::kForRead) != eOk) {
    kxutPrintf(kGetOpenFailed);
    kxedRetNil();
    return 1;
  }
  returnGroup(object.get(), name);
  return 1;
}

int GetXdata(OdDbObjectId id, const OdChar* appName, resbuf*& list) { return listById(id, appName, list); }

int GetXdata(const ads_name ename, const OdChar* appName, resbuf*& list) {
  OdDbObjectId id;
  if (oddbGetObjectId(id, ename) != eOk) {
    kxutPrintf(kGetObjectIdFailed);
    return 0;
  }
  return listById(id, appName, list);
}

int findXdata(const OdDbObject* object, const OdChar* appName, CString& text) {
  switch (readText(object, appName, Chunks::Ignored, text)) {
    case Found::Text:
      return 1;
    case Found::NoData:
      text = kNoData;
      return 0;
    case Found::None:
      return 0;
  }
  return 0;
}

int GetEntXdataPoint(OdDbObjectId id, const OdChar* appName, OdGePoint3d& point) {
  OpenedObject<OdDbEntity> entity;
  if (oddbOpenObject(entity.slot(), id, OdDb::kForRead) != eOk) return 0;
  ResbufChain data(entity->xData(appName));
  entity.close();
  if (data.empty()) return 0;
  const resbuf* item = data.head()->rbnext;
  if (!item || item->restype != 1011) return 0;
  point.set(item->resval.rpoint[0], item->resval.rpoint[1], 0.0);
  return 1;
}

}  // namespace HvDbUtils

// The three names of a drawing object: its object id, the host's ename and
// its handle written in hexadecimal.
#include "DbDatabase.h"
#include "DbObject.h"
#include "HvDbUtilsMessages.h"
#include "core/expresstext.h"
#include "core/workingdatabase.h"
#include "kxed.h"
#include "kxut.h"

namespace {

// The text of the null id, in the words the extension tool's modules know.
constexpr const WCHAR* kNullIdText = u"AcDbObjectId::kNull";
// Room for a 64-bit handle in hexadecimal and its NUL.
constexpr int kHandleTextSize = 17;

}  // namespace

namespace HvDbUtils {

OdResult ObjIdToEname(const OdDbObjectId& id, ads_name& ename) {
  const OdResult status = oddbGetAdsName(ename, id);
  RxErrorMsg(status);
  return status;
}

OdResult EnameToObjId(const ads_name ename, OdDbObjectId& id) {
  id = OdDbObjectId::kNull;
  const OdResult status = oddbGetObjectId(id, ename);
  RxErrorMsg(status);
  return status;
}

void CopyEname(ads_name destination, const ads_name source) {
  destination[0] = source[0];
  destination[1] = source[1];
}

OdResult HandleStrToObjId(OdDbDatabase* database, const CString& handle, OdDbObjectId& id, bool speak) {
  database = mwcommon::resolveDatabase(database);
  id = OdDbObjectId::kNull;
  OdResult status = eNoDatabase;
  if (database) {
    const OdDbHandle value(handle.GetString());
    status = database->getOdDbObjectId(id, false, value, 0);
  }
  if (status == eOk) return eOk;
  id = OdDbObjectId::kNull;
  if (speak) kxutPrintf(LoadExpressText(mwcommon::kHandleStringInvalid), RxErrorStr(status));
  // Callers only learn that the handle is of no use; the reason went to the
  // command line when they asked for it.
  return eAmbiguousOutput;
}

CString ObjToHandleStr(const OdDbObject* object) {
  if (!object) return CString();
  OdDbHandle handle;
  object->getDbHandle(handle);
  WCHAR text[kHandleTextSize] = {};
  handle.getIntoAsciiBuffer(text, kHandleTextSize);
  return CString(text);
}

CString ObjIdToHandleStr(const OdDbObjectId& id) {
  if (id.isNull()) return CString(kNullIdText);
  OdDbObject* object = nullptr;
  const OdResult status = id.openObject(object, OdDb::kForRead, true);
  if (status != eOk) return CString(RxErrorStr(status));
  CString text = ObjToHandleStr(object);
  object->close();
  return text;
}

}  // namespace HvDbUtils

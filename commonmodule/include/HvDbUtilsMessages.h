// HvDbUtils: talking to the user (message boxes, command-line lines for SDK
// status codes) and converting between the three names of a drawing object:
// its object id, the host's two-word ename, and its handle as hexadecimal
// text.
//
// The boxes are the framework's modal message box: the host application's
// caption, the style given below, no help context. Status texts are the
// host's (koraxErrorStatusText).
#pragma once

#include "DbObjectId.h"
#include "MWCommonModuleApi.h"
#include "OdResult.h"
#include "afxstr.h"

class OdDbDatabase;
class OdDbObject;

namespace HvDbUtils {

/// An OK box with the exclamation icon (style 0x30).
MWCOMMONMODULE_API void AlertBox(const WCHAR* text);
/// An OK box with the stop icon (style 0x10).
MWCOMMONMODULE_API void StopAlertBox(const WCHAR* text);
/// An OK box with the information icon (style 0x40).
MWCOMMONMODULE_API void InfoAlertBox(const WCHAR* text);
/// An information box (0x40) saying "Function not implemented: NAME" (text
/// 30200 of expressres.dll, or that English fallback).
MWCOMMONMODULE_API void StubAlert(const WCHAR* functionName);
/// A Yes/No box with the question icon. `defaultButton` 6 (IDYES) makes Yes
/// the default button (style 0x24); any other value makes No the default
/// (0x124). Returns the button pressed: 6 Yes, 7 No.
MWCOMMONMODULE_API int YesNoAlert(const WCHAR* text, int defaultButton);
/// A Yes/No/Cancel box with the question icon. `defaultButton` 6 makes Yes
/// the default (0x23), 7 No (0x123), any other value Cancel (0x223).
/// Returns the button pressed: 6 Yes, 7 No, 2 Cancel.
MWCOMMONMODULE_API int YesNoCancelAlert(const WCHAR* text, int defaultButton);

/// For a status other than 0, prints "\nARX ERROR: " and its text on the
/// host's command line.
MWCOMMONMODULE_API void RxErrorMsg(OdResult status);
/// For a status other than 0, shows "ARX ERROR: " and its text in an
/// exclamation box (0x30).
MWCOMMONMODULE_API void RxErrorAlert(OdResult status);
/// The host's text of any status, 0 included (the host's string, not a copy).
MWCOMMONMODULE_API const WCHAR* RxErrorStr(OdResult status);

/// The ename of an object id (oddbGetAdsName). A status other than 0 is
/// printed as "\nARX ERROR: %s" and returned; the ename is then what the SDK
/// left in it.
MWCOMMONMODULE_API OdResult ObjIdToEname(const OdDbObjectId& id, ads_name& ename);
/// The object id of an ename (oddbGetObjectId), reported as ObjIdToEname.
MWCOMMONMODULE_API OdResult EnameToObjId(const ads_name ename, OdDbObjectId& id);
/// Copies both words of `source` into `destination`.
MWCOMMONMODULE_API void CopyEname(ads_name destination, const ads_name source);

/// The id of the object whose handle `handle` names (hexadecimal digits) in
/// `database` (null: the working database). eOk (0) with `id` set when the
/// database has that object; otherwise `id` is null and the result is 5,
/// whatever the failure was. With `speak`, a failure also prints "\nError:
/// Handle string cannot be converted to database object ID (STATUS)" (text
/// 30201) on the command line.
MWCOMMONMODULE_API OdResult HandleStrToObjId(OdDbDatabase* database, const CString& handle, OdDbObjectId& id,
                                             bool speak);
/// The handle of an open object in hexadecimal digits (upper case); empty
/// for a null pointer.
MWCOMMONMODULE_API CString ObjToHandleStr(const OdDbObject* object);
/// The handle of the object an id names, erased objects included;
/// "AcDbObjectId::kNull" for the null id, and the status text when the object
/// cannot be opened. Never fails.
MWCOMMONMODULE_API CString ObjIdToHandleStr(const OdDbObjectId& id);

}  // namespace HvDbUtils

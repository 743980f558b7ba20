// Extended entity data (xdata): texts, points and LISP value lists attached
// to drawing objects under a registered application name, read back, and
// removed.
//
// What is stored after the application's 1001 item (writing always replaces
// all the object's data for that application):
//   a text of at most 255 bytes in the machine's ANSI code page
//                               one 1000 item holding the text
//   a longer text               1004 chunks of its ANSI bytes, 127 a chunk
//                               while 127 remain, then the rest (an empty
//                               chunk when the count is a multiple of 127)
//   a 2D / 3D point value       1002 "{", 1040 x, 1040 y [, 1040 z], 1002 "}"
//   a LISP value list           1002 "{", its items, 1002 "}": reals and
//                               angles 1040, points 1010, 16-bit integers 1070,
//                               32-bit integers 1071, texts as above, list
//                               begin "{", list end and dotted-pair end "}"
//   a point (SetEntXdataPoint)  one 1011 item (x, y, 0)
// Reading turns 1000 and 1004 runs into texts (5005), 1002 into list begin and
// end (5016, 5017), 1010-1012 into 3D points (5009), 1040-1042 into reals
// (5001), 1070 into 5003 and 1071 into 5010.
//
// Objects are named by an open object, an object id or an ename. The writers
// with a database argument fail with 0 when it is null (they use it for
// nothing else; an object belongs to its own database); the overloads without
// it stand for the working database. Application names are used as given,
// except where a function says it cuts them: there a name longer than 31
// characters is cut to its first 31, in the caller's text.
//
// Reports: "\nIllegal entry!" (message 30207) is printed for an xdata item the
// reading cannot convert (a code outside the list above, or a chunk of a size
// no chunk has), for a text longer than 255 ANSI bytes holding characters the
// ANSI code page lacks (its chunks would lose them), and for a value list the
// drawing refuses (unbalanced list begin and end, a real that is no number);
// the object then keeps its data. "\nInsufficient memory!" (30208) is shown in
// an alert box when memory for a text cannot be had.
#pragma once

#include "DbObjectId.h"
#include "Ge.h"
#include "MWCommonModuleApi.h"
#include "ResBuf.h"
#include "afxstr.h"

class OdDbDatabase;
class OdDbObject;

namespace HvDbUtils {

/// Application names are held in 32 characters: at most 31 and the NUL.
inline constexpr int kMaxAppNameLength = 31;

// Writers.

/// For a LISP caller: stores `value` as the application's data of the object
/// that `ename` names. `value` is a text (5005), a 2D or 3D point (5002, 5009)
/// or a LISP list whose first node is a list begin (5016). 0 when `database`
/// is null; otherwise 1, and the LISP result is nil when anything failed
/// ("\nacdbGetObjectId failed", "\nAddxdata acdbOpenEntity failed", the
/// reports above), none on success.
MWCOMMONMODULE_API int AddXdata(const ads_name ename, const OdChar* appName, const resbuf* value,
                                OdDbDatabase* database);
MWCOMMONMODULE_API int AddXdata(const ads_name ename, const OdChar* appName, const resbuf* value);

/// Stores text `text` on an open object (open for read or write; it is left
/// open as it was), with the current document locked for write meanwhile. 1
/// on success; 0 for a null object or database, a refused lock, or a failure.
MWCOMMONMODULE_API int SetXdata(OdDbObject* object, const OdChar* appName, const OdChar* text, OdDbDatabase* database);
MWCOMMONMODULE_API int SetXdata(OdDbObject* object, const OdChar* appName, const OdChar* text);
/// As above on the object `id` names, opened here ("\nAddxdata
/// acdbOpenEntity failed" when it cannot be). Cuts the name.
MWCOMMONMODULE_API int SetXdata(OdDbObjectId id, CString& appName, const OdChar* text, OdDbDatabase* database);
MWCOMMONMODULE_API int SetXdata(OdDbObjectId id, CString& appName, const OdChar* text);
/// As above on the object an ename names (0 without a message when it names
/// none). Cuts the name (a copy: the caller's text stays).
MWCOMMONMODULE_API int SetXdata(const ads_name ename, const OdChar* appName, const OdChar* text,
                                OdDbDatabase* database);
MWCOMMONMODULE_API int SetXdata(const ads_name ename, const OdChar* appName, const OdChar* text);

/// Stores a value node on the object `id` names, without a document lock: a
/// text (5005) as one 1000 item whatever its length, a point or a LISP list as
/// AddXdata does. 1 / 0 ("Addxdata acdbOpenEntity failed" when the object
/// cannot be opened).
MWCOMMONMODULE_API int SetXdata(OdDbObjectId id, const OdChar* appName, const resbuf* value, OdDbDatabase* database);
MWCOMMONMODULE_API int SetXdata(OdDbObjectId id, const OdChar* appName, const resbuf* value);
/// As above by ename ("\nacdbGetObjectId failed" when it names no object).
MWCOMMONMODULE_API int SetXdata(const ads_name ename, const OdChar* appName, const resbuf* value,
                                OdDbDatabase* database);
MWCOMMONMODULE_API int SetXdata(const ads_name ename, const OdChar* appName, const resbuf* value);

/// Stores the point (x, y, 0) as one 1011 item. 1 / 0.
MWCOMMONMODULE_API int SetEntXdataPoint(OdDbObjectId id, const OdChar* appName, const OdGePoint3d& point,
                                        OdDbDatabase* database);
MWCOMMONMODULE_API int SetEntXdataPoint(OdDbObjectId id, const OdChar* appName, const OdGePoint3d& point);

// Readers.

/// The application's text: the first 1000 item outside braces, or, when the
/// data holds chunks, the bytes of all its 1004 items joined and read as ANSI
/// text. `text` is emptied first. 1 found, 0 not (also for a null object).
MWCOMMONMODULE_API int GetXdata(const OdDbObject* object, const OdChar* appName, CString& text);
/// As above on the object `id` names (0, nothing printed, when it cannot be
/// opened). Cuts the name.
MWCOMMONMODULE_API int GetXdata(OdDbObjectId id, CString& appName, CString& text);
/// As above by ename ("\nacdbGetObjectId failed" when it names no object).
/// Cuts the name.
MWCOMMONMODULE_API int GetXdata(const ads_name ename, CString& appName, CString& text);
/// For a LISP caller; always 1. Mode 0: the application's text goes to LISP
/// (nil without one). Any other mode: the contents of the first braced group
/// go to LISP as a list (inner groups as nested lists); nil when there is no
/// data, no group, or the group does not convert. Cuts the name (a copy).
MWCOMMONMODULE_API int GetXdata(const ads_name ename, const OdChar* appName, short mode);
/// The application's data in LISP form: `list` gets the object's list (its
/// 1001 item first, then the converted items), which the caller releases
/// with odutRelRb, whenever the object has data for the application, even
/// when the conversion fails; null when it has none. 1 when converted, else
/// 0. When the object cannot be opened ("Getxdata acdbOpenEntity failed")
/// `list` is left as it was.
MWCOMMONMODULE_API int GetXdata(OdDbObjectId id, const OdChar* appName, resbuf*& list);
/// As above by ename ("\nacdbGetObjectId failed" when it names no object).
MWCOMMONMODULE_API int GetXdata(const ads_name ename, const OdChar* appName, resbuf*& list);

/// The application's text as GetXdata finds it, without the chunked form:
/// 1 found; 0 with `text` "-" when the object has no data for the
/// application; 0 with `text` unchanged when the data holds no string
/// outside braces.
MWCOMMONMODULE_API int findXdata(const OdDbObject* object, const OdChar* appName, CString& text);

/// The point of the 1011 item that follows the application item, as (x, y, 0).
/// 1 / 0 (no entity, no data, another item first).
MWCOMMONMODULE_API int GetEntXdataPoint(OdDbObjectId id, const OdChar* appName, OdGePoint3d& point);

// Removal.

/// Removes the application's data from the object. True unless the object
/// cannot be opened ("\nOpen entity failed", message 30211) or written; an
/// object without data for the application gives true.
MWCOMMONMODULE_API bool DeleteObjectXData(OdDbObjectId id, const OdChar* appName);
/// Removes the application's data only when it holds a value that matches a
/// condition; at most one condition may be given (both: false). The data is
/// read in LISP form as GetXdata gives it (chunk runs joined into one text)
/// and every item is compared:
///   - `text`: a text item (5005) equal to it, with case;
///   - `value`: an item of the same type code and value; a 2D point (5002)
///     matches a 3D point (5009) with the same x and y and z 0, and an angle
///     (5004) matches a real of that value. Only the first node of `value` is
///     compared; a list begin or end matches nothing.
/// No condition at all removes the data as the form above does. False for a
/// null name, for an object that cannot be opened (no message) or written,
/// when nothing matches (the data stays), and when the data does not convert;
/// true when the data was removed or there was none.
MWCOMMONMODULE_API bool DeleteObjectXData(OdDbObjectId id, const OdChar* appName, const OdChar* text,
                                          const resbuf* value);

}  // namespace HvDbUtils

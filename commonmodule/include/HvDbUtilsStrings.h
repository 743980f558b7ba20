// HvDbUtils: numbers and angles as text in the drawing's units, and lists of
// strings split, joined and searched.
#pragma once

#include "MWCommonModuleApi.h"
#include "afxstr.h"

class OdDbDatabase;

namespace HvDbUtils {

/// A distance as the host writes it (kxdbRToS) with the database's linear
/// unit mode and precision (LUNITS, LUPREC). A null database means the
/// working database; without one the result is empty.
MWCOMMONMODULE_API CString DoubleToStr(double value, OdDbDatabase* database = nullptr);
/// An angle in radians as the host writes it (kxdbAngToS), with the same
/// LUNITS and LUPREC as DoubleToStr.
MWCOMMONMODULE_API CString AngleToStr(double angle, OdDbDatabase* database = nullptr);

/// Splits `text` at every occurrence of `separator` into `pieces` (emptied
/// first): "a,b," gives "a", "b" and "". Returns 1 when the separator occurs,
/// else 0 with `pieces` empty. An empty separator occurs nowhere: the result
/// is 0 and `pieces` stays empty.
MWCOMMONMODULE_API int ExplodeStr(const CString& text, const CString& separator, CStringArray& pieces);
/// Joins the elements, each followed by `separator` ("a,b," for "a" and
/// "b"); an empty array gives the empty text. Returns 1.
MWCOMMONMODULE_API int BuildStr(CString& result, const CString& separator, const CStringArray& pieces);
/// The index of the first element equal to `text` without regard to case,
/// or -1.
MWCOMMONMODULE_API int FindString(const CString& text, const CStringArray& pieces);

}  // namespace HvDbUtils

// The typed open of the module's functions: an object opened by id is
// accepted only when it is of the class the caller expects (or derived
// from it). Inside the module only; not exported.
#pragma once

#include "DbObject.h"

namespace HvDbUtils {

/// Opens `id` in `mode` (erased objects not included) and hands the open
/// object to the caller when it is of `objectClass` or derived from it; the
/// caller closes it. `object` is null on every failure: 21 for the null id,
/// the SDK's code for a failed open, 63 for an object of another class (it
/// is closed again).
OdResult OpenObjectAs(OdDbObject*& object, const OdDbObjectId& id, OdDb::OpenMode mode, const OdRxClass* objectClass);

/// The same, typed: `OpenObjectAs(text, id, OdDb::kForWrite)` opens a text.
template <class T>
OdResult OpenObjectAs(T*& object, const OdDbObjectId& id, OdDb::OpenMode mode) {
  object = nullptr;
  OdDbObject* opened = nullptr;
  const OdResult result = OpenObjectAs(opened, id, mode, T::desc());
  if (result == eOk) object = T::cast(opened);
  return result;
}

}  // namespace HvDbUtils

// Finding and making the dictionaries that are entries of a drawing's
// named-object dictionary, shared by the free dictionary functions and
// CHvDictManager.
#pragma once

#include "DbDictionary.h"
#include "tables/openedobject.h"

namespace mwcommon {

/// Opens dictionary `name` of the named-object dictionary in `mode` (the
/// named-object dictionary itself is opened for read and closed again).
/// eKeyNotFound when it is missing; eNotThatKindOfClass (nothing left open)
/// when the entry of that name is no dictionary.
OdResult openNamedDictionary(OdDbDatabase* database, const OdString& name, OdDb::OpenMode mode,
                             OpenedObject<OdDbDictionary>& dictionary);

/// With the named-object dictionary open for write: dictionary `name` open
/// for write, made and stored under that name when it is missing (result 26).
/// Any other failure of the lookup leaves `dictionary` empty.
OdResult openOrMakeNamedDictionary(OdDbDictionary* namedObjects, const OdString& name,
                                   OpenedObject<OdDbDictionary>& dictionary);

}  // namespace mwcommon

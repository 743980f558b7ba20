// Layers and linetypes: testing for a layer, creating or refreshing one with a
// colour and a linetype, making one current, locking and hiding layers, and
// listing the drawing's linetypes.
//
// Each function except DoGetLineType locks the document that owns the target
// database for the length of the call (for read in LayerExist, for write in
// the others); a database of no document cannot be locked, and the function
// then fails. A null database means the working database. Nothing here prints
// or shows a message.
#pragma once

#include "MWCommonModuleApi.h"
#include "OdTypes.h"
#include "afxstr.h"

class OdDbDatabase;

namespace HvDbUtils {

/// The status flags of SetStatusOfLayer and SetStatusOfCLayer: bit 0 locks
/// the layer (clear: unlocks it), bit 1 turns it off (clear: on). Other bits
/// are ignored; the frozen state is never touched.
inline constexpr unsigned kLayerLocked = 1;
inline constexpr unsigned kLayerOff = 2;

/// Whether the layer table holds `name`.
MWCOMMONMODULE_API bool LayerExist(const OdChar* name, OdDbDatabase* database = nullptr);

/// Creates layer `name`, or refreshes it when it exists: colour index `color`
/// (used as a 16-bit index), thawed, on and unlocked, with linetype
/// `linetype`. A linetype the drawing lacks is loaded from "acadiso.lin"; one
/// that cannot be loaded either gives "CONTINUOUS". True on success.
MWCOMMONMODULE_API bool CreateLayer(const OdChar* name, const OdChar* linetype, int color,
                                    OdDbDatabase* database = nullptr);

/// Makes layer `name` current, thawed, on and unlocked; a missing layer is
/// first created with colour 7 and linetype "CONTINUOUS". True when the layer
/// is current afterwards.
MWCOMMONMODULE_API bool SetLayer(const OdChar* name, OdDbDatabase* database = nullptr);
/// As above for the name trimmed of white space at both ends.
MWCOMMONMODULE_API bool SetLayer(const CString& name, OdDbDatabase* database = nullptr);

/// Sets the lock and on/off state of layer `name` from `flags` (kLayerLocked,
/// kLayerOff). 1 on success, 0 otherwise.
MWCOMMONMODULE_API int SetStatusOfLayer(CString& name, unsigned flags, OdDbDatabase* database = nullptr);
/// SetStatusOfLayer on the current layer (host variable CLAYER) of the
/// working database.
MWCOMMONMODULE_API int SetStatusOfCLayer(unsigned flags);

/// Appends the name of every linetype of the drawing, in table order, to
/// `names` (which is not emptied first). 1 with the current linetype's name
/// in `current` when that name is in `names` (compared with case), else 0
/// and `current` unchanged; 0 when the linetype table cannot be opened.
MWCOMMONMODULE_API int DoGetLineType(CStringArray& names, CString& current, OdDbDatabase* database = nullptr);

}  // namespace HvDbUtils

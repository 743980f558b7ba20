// HvDbUtils: queries and edits of single entities. Most come in two forms:
// one takes an entity the caller has open, the other an object id, which the
// function opens and closes itself.
#pragma once

#include "DbEntity.h"
#include "MWCommonModuleApi.h"
#include "OdArray.h"
#include "afxstr.h"

namespace HvDbUtils {

/// Replaces the string of a text entity (a text, an attribute or an
/// attribute definition). A null id, an object that does not open for write
/// or one that is not a text ends the call silently.
MWCOMMONMODULE_API void SetTextString(OdDbObjectId id, const OdChar* text);

/// The string of a text entity (a text, an attribute or an attribute
/// definition) into `text`. False, with `text` unchanged, when the id does
/// not open for read as a text.
MWCOMMONMODULE_API bool GetTextString(OdDbObjectId id, CString& text);

/// Gives an entity the colour index `color` (0 BYBLOCK, 1-255, 256 BYLAYER).
/// `entity` is open for read and is open for read again afterwards. For a
/// block reference, first every entity of its block definition (and of the
/// definitions nested in it) becomes BYBLOCK, nested references included,
/// and so do the reference's attributes; a definition is shared, so every
/// reference to it shows the change. Entities that cannot be opened are
/// skipped. False for a null entity, or a block reference whose definition
/// does not open; true otherwise, even when the colour could not be set on
/// `entity` itself (it is open elsewhere).
MWCOMMONMODULE_API bool ChangeEntityColor(OdDbEntity* entity, int color);
/// As above for an entity by id, opened for read and closed again. False for
/// a null id or an id that does not open as an entity.
MWCOMMONMODULE_API bool ChangeEntityColor(OdDbObjectId id, int color);

/// Erases an entity: true when it was opened for write and erased.
MWCOMMONMODULE_API bool EraseEntity(OdDbObjectId id);
/// Erases the entities in order; ids that do not open are skipped without a
/// word. Always true.
MWCOMMONMODULE_API bool EraseEntity(const OdArray<OdDbObjectId>& ids);

/// The WCS box around an open entity. For a block reference it is the box of
/// its definition's contents carried through the reference's transform
/// (attributes are not counted), or, when that cannot be had, the
/// reference's own extents. False for a null entity or when no extents could
/// be computed.
MWCOMMONMODULE_API bool GetEntExtents(OdDbEntity* entity, OdDbExtents& extents);
/// As above for an entity by id, opened for read and closed again.
MWCOMMONMODULE_API bool GetEntExtents(OdDbObjectId id, OdDbExtents& extents);

/// True when an open entity is a block reference whose definition comes from
/// an external reference. False for a null entity, any other entity, or a
/// definition that does not open.
MWCOMMONMODULE_API bool IsXref(OdDbEntity* entity);
/// As above for an entity by id; false when it does not open.
MWCOMMONMODULE_API bool IsXref(OdDbObjectId id);

/// True when the layer of an open entity is locked; with `report`, a locked
/// layer also prints "\nSelect the entity on the locked layer." (text 30204)
/// on the command line. A layer that does not open prints "\nARX ERROR: %s"
/// with the status text and gives false.
MWCOMMONMODULE_API bool IsOnLockedLayer(OdDbEntity* entity, bool report);
/// As above for an entity by id. An id that does not open counts as locked:
/// true, and nothing is printed.
MWCOMMONMODULE_API bool IsOnLockedLayer(const OdDbObjectId& id, bool report);

/// Whether a new default drawing database can be made: 1 when it could (it
/// is discarded at once), 0 when it could not be allocated. Nothing is
/// written to `path`.
MWCOMMONMODULE_API int CreateNewNullDwg(const OdChar* path);

}  // namespace HvDbUtils

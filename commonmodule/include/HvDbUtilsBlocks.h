// HvDbUtils: block references and their attributes. A block is named by a
// drawing file: its name is the file name without folder and extension, and
// a drawing that does not define it yet gets the file's model space as a new
// block definition first. Attribute values travel as maps from tag to value
// (tags compared with case); constant attribute definitions never take part.
// Every failure returns false and reports nothing; output arguments are reset
// (null pointer, null id, empty array, empty map) first. A null database
// means the host's working database.
#pragma once

#include <map>

#include "DbBlockReference.h"
#include "DbDatabase.h"
#include "Ge.h"
#include "MWCommonModuleApi.h"
#include "OdArray.h"
#include "afxstr.h"

namespace HvDbUtils {

/// Makes a block reference of the block that `path` names at `point` (WCS,
/// as given) with `scale` and `rotation` (radians) and hands it to the
/// caller, in no database: the caller appends it (or deletes it). The block
/// is the drawing's own when it defines that name (the file is then not
/// looked at); otherwise the file is read (a DXF drawing; a binary DWG file
/// is refused) and inserted as the block's definition, which stays in the
/// drawing even if a later step fails. False for a path without a file name,
/// a missing or unreadable file.
MWCOMMONMODULE_API bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale,
                                             double rotation, OdDbBlockReference*& reference,
                                             OdDbDatabase* database = nullptr);
/// The same, added to the current space (AddToCurrentSpace); `id` names the
/// new reference.
MWCOMMONMODULE_API bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale,
                                             double rotation, OdDbObjectId& id, OdDbDatabase* database = nullptr);
/// The reference in no database, with an attribute for every non-constant
/// attribute definition of the block (CreateAttribute with `values`). The
/// attributes are open: the caller closes them once the reference is in the
/// database.
MWCOMMONMODULE_API bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale,
                                             double rotation, std::map<CString, CString> values,
                                             OdDbBlockReference*& reference, OdArray<void*>& attributes,
                                             OdDbDatabase* database = nullptr);
/// The reference with its attributes, added to the current space, the
/// attributes closed; `id` names the new reference.
MWCOMMONMODULE_API bool InsertBlockReference(const CString& path, const OdGePoint3d& point, const OdGeScale3d& scale,
                                             double rotation, std::map<CString, CString> values, OdDbObjectId& id,
                                             OdDbDatabase* database = nullptr);

/// Gives `reference` (in no database yet) an attribute for every non-constant
/// attribute definition of its block: the reference's layer, colour and the
/// like, the definition's text settings, tag, field length and visibility
/// carried through the reference's transform, and the value that `values`
/// holds for its tag or else the definition's default. The new attributes
/// (OdDbAttribute*) are listed in `attributes` and stay open once the
/// reference joins a database. False for a null reference or a block
/// definition that cannot be read.
MWCOMMONMODULE_API bool CreateAttribute(OdDbBlockReference* reference, std::map<CString, CString> values,
                                        OdArray<void*>& attributes);

/// Tag to default value of every non-constant attribute definition of a block
/// definition (a later definition of a tag wins). False when the id is not
/// that of a block definition; true with an empty map for a block without
/// attribute definitions.
MWCOMMONMODULE_API bool GetAttributeDefinition(const OdDbObjectId& blockId, std::map<CString, CString>& values);

/// Tag to value of every attribute of a block reference; attributes that do
/// not open are left out. False when the id is not that of a block reference.
MWCOMMONMODULE_API bool GetAttribute(const OdDbObjectId& referenceId, std::map<CString, CString>& values);

/// Gives every attribute of a block reference whose tag is a key of `values`
/// that key's value; the others keep theirs. False when the id is not that
/// of a block reference.
MWCOMMONMODULE_API bool SetAttribute(const OdDbObjectId& referenceId, std::map<CString, CString> values);

}  // namespace HvDbUtils

// HvDbUtils: symbol tables and spaces. Opening a symbol table by the class of
// its records, names and ids of symbol table records, the current space, and
// appending entities to model space, paper space or the current space (the
// way every entity the module makes reaches the drawing). A null database
// argument means the host's working database.
#pragma once

#include "DbDatabase.h"
#include "DbEntity.h"
#include "DbSymbolTable.h"
#include "MWCommonModuleApi.h"
#include "afxstr.h"

namespace HvDbUtils {

/// Opens the symbol table whose records are of `recordClass` (compared for
/// identity: block, dimension style, layer, linetype, text style, registered
/// application, UCS, view or viewport table record) in `mode`. Returns the
/// open table, which the caller closes, or null: for any other class it
/// prints "\nARX ERROR: %s" with the host's text of result 5, for a table
/// that cannot be opened the same with the SDK's status text.
MWCOMMONMODULE_API OdDbSymbolTable* OpenSymbolTable(const OdRxClass* recordClass, OdDb::OpenMode mode,
                                                    OdDbDatabase* database = nullptr);

/// True when the table of `recordClass` holds a record named `name` (without
/// case; erased records do not count); false also when the table does not open.
MWCOMMONMODULE_API bool SymbolExists(const OdRxClass* recordClass, const OdChar* name,
                                     OdDbDatabase* database = nullptr);

/// The id of the record `name` in the table of `recordClass` (erased records
/// excluded). Returns 0, the lookup's code (26 when there is no such record)
/// or 5 when the table does not open (already reported by OpenSymbolTable).
MWCOMMONMODULE_API OdResult NameToSymbolId(const OdRxClass* recordClass, const OdChar* name, OdDbObjectId& id,
                                           OdDbDatabase* database = nullptr);

/// The name of a symbol table record. The null id gives 21 and the name
/// "AcDbObjectId::kNull" without a report; an id that does not open as a
/// symbol table record prints "\nARX ERROR: %s" with the status text and
/// gives 5. `database` is accepted and not used: the id names its own.
MWCOMMONMODULE_API OdResult SymbolIdToName(const OdDbObjectId& id, CString& name, OdDbDatabase* database = nullptr);

/// True when paper space is the current space: TILEMODE is off and the
/// database's paper-space viewport is the host's current viewport (a
/// model-space viewport active in the layout gives false).
MWCOMMONMODULE_API bool IsPaperSpace(OdDbDatabase* database = nullptr);

/// The id of the block "*Model_Space" / "*Paper_Space", or the null id.
MWCOMMONMODULE_API OdDbObjectId GetModelSpaceId(OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API OdDbObjectId GetPaperSpaceId(OdDbDatabase* database = nullptr);

/// Appends an entity that belongs to no database to the block `blockName`,
/// with the write lock of the document that owns the database held for the
/// call. True on success: the entity then belongs to the database, is closed
/// and `id` names it. False (nothing printed, `id` null) for a null entity, a
/// block table or block that does not open, or a refused append; the entity
/// then stays with the caller, unchanged.
MWCOMMONMODULE_API bool AppendEntity(OdDbEntity* entity, OdDbObjectId& id, const OdChar* blockName,
                                     OdDbDatabase* database = nullptr);

/// AppendEntity into "*Model_Space".
MWCOMMONMODULE_API bool AddToModelSpace(OdDbEntity* entity, OdDbObjectId& id, OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API bool AddToModelSpace(OdDbEntity* entity, OdDbDatabase* database = nullptr);
/// AppendEntity into "*Paper_Space".
MWCOMMONMODULE_API bool AddToPaperSpace(OdDbEntity* entity, OdDbObjectId& id, OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API bool AddToPaperSpace(OdDbEntity* entity, OdDbDatabase* database = nullptr);
/// AppendEntity into the current space: "*Paper_Space" when IsPaperSpace,
/// else "*Model_Space".
MWCOMMONMODULE_API bool AddToCurrentSpace(OdDbEntity* entity, OdDbObjectId& id, OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API bool AddToCurrentSpace(OdDbEntity* entity, OdDbDatabase* database = nullptr);

/// Adds a new, empty anonymous block definition ("*U", made unique by the
/// table) and gives its id. Returns 0 or the SDK's code (the block table
/// that does not open, the add that fails: the new record is then deleted).
MWCOMMONMODULE_API OdResult DefineNewAnonymousBlock(OdDbObjectId& id, OdDbDatabase* database = nullptr);

/// Makes the block definition that a block reference uses anonymous (name
/// and path name "*U"). Returns 0 or the SDK's code; 21 when the id is not
/// that of a block reference.
MWCOMMONMODULE_API OdResult SetAnonymousBlock(const OdDbObjectId& referenceId);

}  // namespace HvDbUtils

// The working-database rule of the exported functions: a null database
// argument means the host's working database.
#pragma once

class OdDbDatabase;

namespace mwcommon {

/// The database an exported function works on: `database` itself when it is
/// not null (even when it is not the working database), else the host's
/// working database (oddbHostApplicationServices()), which may be null when
/// no drawing is open. Every exported function whose last parameter is an
/// OdDbDatabase* calls this first.
OdDbDatabase* resolveDatabase(OdDbDatabase* database);

}  // namespace mwcommon

// Writing and reading whole drawings as DXF.
#pragma once

#include <cstdio>

#include "internals.h"

/// Writes the drawing; eFileWriteError when the file could not take it all.
OdResult writeDxf(OdDbDatabaseImpl& db, std::FILE* file);
/// Reads a DXF file into an empty database (one made without default contents).
OdResult readDxf(OdDbDatabaseImpl& db, std::FILE* file);

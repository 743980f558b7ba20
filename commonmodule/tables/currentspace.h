// The block of the current space, as the append functions choose it.
#pragma once

#include "OdTypes.h"

class OdDbDatabase;

namespace mwcommon {

/// "*Paper_Space" when paper space is the current space (IsPaperSpace), else
/// "*Model_Space". A null database means the working database.
const OdChar* currentSpaceName(OdDbDatabase* database);

}  // namespace mwcommon

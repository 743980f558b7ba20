#include "core/workingdatabase.h"

#include "DbDatabase.h"

namespace mwcommon {

OdDbDatabase* resolveDatabase(OdDbDatabase* database) {
  return database ? database : oddbHostApplicationServices()->workingDatabase();
}

}  // namespace mwcommon

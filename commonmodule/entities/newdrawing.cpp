// Whether a new default drawing can be made. The drawing is discarded at
// once: the module has no step that saves it, so nothing reaches the path.
#include <new>

#include "DbDatabase.h"
#include "HvDbUtilsEdit.h"

namespace HvDbUtils {

int CreateNewNullDwg(const OdChar* path) {
  std::unique_ptr<OdDbDatabase> database(new (std::nothrow) OdDbDatabase(true, false));
  return database ? 1 : 0;
}

}  // namespace HvDbUtils

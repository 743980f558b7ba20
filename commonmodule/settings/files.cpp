// Testing files: drawings that open, paths that exist.
#include "win32/files.h"

#include <memory>

#include "DbDatabase.h"
#include "HvDbUtilsFiles.h"
#include "HvDbUtilsView.h"

namespace HvDbUtils {

int IsCanOpenDwgFile(const CString& path) {
  if (!HasTheFile(path)) return 0;
  LockDoc();
  auto drawing = std::make_unique<OdDbDatabase>(false);
  const OdResult read = drawing->readFile(path.GetString(), OdDb::kShareDenyWrite, false, nullptr);
  drawing.reset();
  UnlockDoc();
  return read == eOk ? 1 : 0;
}

int HasTheFile(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0; }

}  // namespace HvDbUtils

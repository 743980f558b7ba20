// Locking the host's current document around changes a tool makes outside a
// command of its own. The lock outlives the call: UnlockDoc releases it.
#include "HvDbUtilsView.h"
#include "core/expresstext.h"
#include "kxap.h"
#include "kxut.h"

namespace HvDbUtils {

void LockDoc() {
  KxApDocManager* documents = kxDocManagerPtr();
  const OdResult status = documents->lockDocument(documents->curDocument(), KxAp::kWrite, nullptr, nullptr, false);
  if (status != eOk) kxutPrintf(LoadExpressText(mwcommon::kLockFailed), static_cast<int>(status));
}

void UnlockDoc() {
  KxApDocManager* documents = kxDocManagerPtr();
  documents->unlockDocument(documents->curDocument());
}

}  // namespace HvDbUtils

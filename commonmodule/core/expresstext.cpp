#include "core/expresstext.h"

#include <algorithm>
#include <string_view>

#include "core/modulestate.h"
#include "expressres.h"
#include "win32/module.h"

namespace mwcommon {

const ExpressMessage kFunctionNotImplemented{IDS_FUNCTION_NOT_IMPLEMENTED, u"Function not implemented: %s"};
const ExpressMessage kHandleStringInvalid{IDS_HANDLE_STRING_INVALID,
                                          u"\nError: Handle string cannot be converted to database object ID (%s)"};
const ExpressMessage kLockFailed{IDS_LOCK_FAILED, u"Lock failed%d\n"};
const ExpressMessage kByBlockColorFailed{IDS_BYBLOCK_COLOR_FAILED,
                                         u"\nFailed to Change the entity color in the block definition to BYBLOCK!"};
const ExpressMessage kEntityOnLockedLayer{IDS_ENTITY_ON_LOCKED_LAYER, u"\nSelect the entity on the locked layer."};
const ExpressMessage kDeleteDirectoryFailed{IDS_DELETE_DIRECTORY_FAILED, u"Failed to delete directory!"};
const ExpressMessage kCreateDirectoryFailed{IDS_CREATE_DIRECTORY_FAILED, u"Failed to create directory!"};
const ExpressMessage kIllegalEntry{IDS_ILLEGAL_ENTRY, u"\nIllegal entry!"};
const ExpressMessage kInsufficientMemory{IDS_INSUFFICIENT_MEMORY, u"\nInsufficient memory!"};
const ExpressMessage kOpenEntityFailed{IDS_OPEN_ENTITY_FAILED, u"\nOpen entity failed"};

}  // namespace mwcommon

mwcommon::ExpressText LoadExpressText(UINT id, const WCHAR* fallback) {
  mwcommon::ExpressText text;
  text.buffer[0] = 0;
  text.fallback = fallback;
  text.id = id;
  if (!mwcommon::moduleState().expressResources) LoadExpressRes();
  // A null handle would name the calling program, whose strings are not the
  // module's messages: without the library only the fallback is used.
  const HINSTANCE resources = mwcommon::moduleState().expressResources;
  const int loaded = resources ? LoadStringW(resources, id, text.buffer, mwcommon::kExpressTextSize) : 0;
  if (loaded > 0) {
    text.buffer[std::min(loaded, mwcommon::kExpressTextSize - 1)] = 0;
    return text;
  }
  const std::u16string_view source = fallback ? std::u16string_view(fallback) : std::u16string_view();
  const std::size_t length = std::min<std::size_t>(source.size(), mwcommon::kExpressTextSize - 1);
  std::copy_n(source.begin(), length, text.buffer);
  text.buffer[length] = 0;
  return text;
}

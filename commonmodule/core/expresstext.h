// The module's message library: every text the module shows when something
// fails has a string id in expressres.dll (translations live there) and an
// English fallback that is used whenever the library or the string cannot be
// loaded. Every Part of the module reports through these messages.
#pragma once

#include "win32/types.h"

namespace mwcommon {

/// One message of the library: its string id and its fallback text.
struct ExpressMessage {
  UINT id;
  const WCHAR* fallback;
};

// The messages, by what they say (the texts are in expresstext.cpp). `%s`
// and `%d` are filled in by the code that reports.
extern const ExpressMessage kFunctionNotImplemented;  // 30200, StubAlert
extern const ExpressMessage kHandleStringInvalid;     // 30201, HandleStrToObjId
extern const ExpressMessage kLockFailed;              // 30202, LockDoc
extern const ExpressMessage kByBlockColorFailed;      // 30203, ChangeEntityColor
extern const ExpressMessage kEntityOnLockedLayer;     // 30204, IsOnLockedLayer
extern const ExpressMessage kDeleteDirectoryFailed;   // 30205, DeleteDirectory
extern const ExpressMessage kCreateDirectoryFailed;   // 30206, GetFileFullPath
extern const ExpressMessage kIllegalEntry;            // 30207, extended entity data
extern const ExpressMessage kInsufficientMemory;      // 30208, extended entity data
extern const ExpressMessage kOpenEntityFailed;        // 30211, DeleteObjectXData

/// Room for a message text, its terminating NUL included.
inline constexpr int kExpressTextSize = 1000;

/// A message text as LoadExpressText filled it: the string of expressres.dll,
/// or a copy of the fallback (an empty text for a null fallback). Always
/// NUL-terminated; a longer string is cut to kExpressTextSize - 1 characters.
struct ExpressText {
  WCHAR buffer[kExpressTextSize];
  const WCHAR* fallback;
  UINT id;

  const WCHAR* text() const { return buffer; }
  operator const WCHAR*() const { return buffer; }
};

}  // namespace mwcommon

/// The text of message `id`: loads expressres.dll first while it is not
/// loaded (LoadExpressRes, which prints its error line at each failed
/// attempt), then the string; without either, the fallback. Callers use the
/// text as a format string (kxutPrintf, CString::Format) or as it is.
mwcommon::ExpressText LoadExpressText(UINT id, const WCHAR* fallback);
inline mwcommon::ExpressText LoadExpressText(const mwcommon::ExpressMessage& message) {
  return LoadExpressText(message.id, message.fallback);
}

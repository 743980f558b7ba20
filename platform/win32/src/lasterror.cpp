#include "win32/errors.h"

namespace {
// Windows keeps the last error per thread; so do we.
thread_local DWORD t_lastError = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

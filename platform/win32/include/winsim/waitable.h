// Kernel objects that WaitForSingleObject can wait for.
//
// Processes, their threads and mutexes are waitable; a layer that adds
// another waitable kind (an event, a thread of its own) derives from Waitable
// and WaitForSingleObject serves it without knowing it.
#pragma once

#include "win32/types.h"
#include "winsim/handles.h"

namespace winsim {

class Waitable : public KernelObject {
 public:
  /// Waits up to `milliseconds` (INFINITE: without limit) for the object.
  /// Returns WAIT_OBJECT_0, WAIT_ABANDONED or WAIT_TIMEOUT, or WAIT_FAILED
  /// with the thread's last error set.
  virtual DWORD wait(DWORD milliseconds) = 0;
};

}  // namespace winsim

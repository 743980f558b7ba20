// The timers' part of message retrieval.
#pragma once

#include "windowmanager.h"

namespace winsim::user {

/// Under the lock: a WM_TIMER for the thread's earliest timer that came due
/// on the machine clock (window timers of `filter` and its children only, when
/// given). With `remove`, the timer's next period starts.
bool takeDueTimer(State& s, DWORD thread, HWND filter, bool remove, MSG* out);

}  // namespace winsim::user

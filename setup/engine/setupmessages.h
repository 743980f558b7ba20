// The messages between the copy-files page and the install procedure: the page
// starts the install thread with WM_SETUP_START; the procedure and the
// installer runners post the others back to the page's window (both
// parameters 0). Every run ends with exactly one of WM_SETUP_DONE and
// WM_SETUP_FAILED.
#pragma once

#include "win32/user.h"

constexpr UINT WM_SETUP_START = WM_USER + 200;       // 1224, page -> thread, lParam = the page's window
constexpr UINT WM_SETUP_BEGIN = WM_USER + 100;       // 1124, the procedure has started
constexpr UINT WM_SETUP_DONE = WM_USER + 101;        // 1125, it ended successfully
constexpr UINT WM_SETUP_FAILED = WM_USER + 102;      // 1126, a step failed (its message is shown)
constexpr UINT WM_SETUP_STEP_BEGIN = WM_USER + 103;  // 1127, a step is starting
constexpr UINT WM_SETUP_STEP_DONE = WM_USER + 104;   // 1128, a step has completed

// Window and thread timers on the machine clock, and the clock itself.
#include <algorithm>
#include <atomic>

#include "timers.h"
#include "win32/errors.h"
#include "win32/process.h"
#include "windowmanager.h"
#include "winsim/clock.h"

using namespace winsim::user;

namespace {

std::atomic<std::uint64_t> g_clock{0};

}  // namespace

namespace winsim {

std::uint64_t clockMs() { return g_clock.load(); }

void advanceClock(std::uint64_t milliseconds) {
  g_clock.fetch_add(milliseconds);
  State& s = user::state();
  Lock lock(s.mutex);
  wakeAllQueues(s);
}

}  // namespace winsim

namespace winsim::user {

bool takeDueTimer(State& s, DWORD thread, HWND filter, bool remove, MSG* out) {
  const std::uint64_t now = clockMs();
  Timer* due = nullptr;
  for (Timer& t : s.timers) {
    if (t.thread != thread || t.due > now) continue;
    if (filter && t.hwnd != filter && !isDescendant(s, filter, t.hwnd)) continue;
    if (!due || t.due < due->due) due = &t;
  }
  if (!due) return false;
  *out = MSG{due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), static_cast<DWORD>(now), s.cursor};
  // One WM_TIMER at a time, however far the clock moved: the next one comes
  // a whole period after this one is taken.
  if (remove) due->due = now + due->period;
  return true;
}

}  // namespace winsim::user

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  State& s = state();
  Lock lock(s.mutex);
  const DWORD thread = GetCurrentThreadId();
  if (hWnd) {
    Window* w = findWindowOrFail(s, hWnd);
    if (!w) return 0;
    if (w->thread != thread) {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
  }
  (void)currentQueue(s);
  const UINT period = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, 0x7FFFFFFF);
  const std::uint64_t due = winsim::clockMs() + period;
  for (Timer& t : s.timers) {
    if (t.thread == thread && t.hwnd == hWnd && t.id == nIDEvent && (hWnd || nIDEvent != 0)) {
      t.period = period;
      t.proc = lpTimerFunc;
      t.due = due;
      return hWnd ? (nIDEvent ? nIDEvent : 1) : t.id;
    }
  }
  // A thread timer gets an id of its own; a window timer keeps the caller's.
  const UINT_PTR id = hWnd ? nIDEvent : s.nextTimerId++;
  s.timers.push_back(Timer{hWnd, id, period, lpTimerFunc, due, thread});
  wakeQueue(s, thread);
  return hWnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  State& s = state();
  Lock lock(s.mutex);
  const DWORD thread = GetCurrentThreadId();
  const auto removed = std::erase_if(
      s.timers, [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent && (hWnd || t.thread == thread); });
  if (!removed) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

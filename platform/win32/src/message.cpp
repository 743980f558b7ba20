// Message queues: sending within and across threads, posting, retrieval in
// Windows' order (sent, posted and input, quit, paint, timers), dispatch.
#include <algorithm>
#include <atomic>

#include "timers.h"
#include "uiscriptidle.h"
#include "win32/errors.h"
#include "win32/process.h"
#include "windowmanager.h"
#include "winsim/clock.h"

using namespace winsim::user;

namespace {

bool inRange(UINT message, UINT min, UINT max) { return (min == 0 && max == 0) || (message >= min && message <= max); }

bool matchesWindow(State& s, HWND msgWindow, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<INT_PTR>(-1))) return msgWindow == nullptr;
  return msgWindow == filter || isDescendant(s, filter, msgWindow);
}

bool isMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

/// Delivers the SendMessageW calls other threads made to this one.
void deliverIncoming(Lock& lock, State& s, Queue& q) {
  while (!q.incoming.empty()) {
    std::shared_ptr<SentMessage> sent = q.incoming.front();
    q.incoming.pop_front();
    Window* w = findWindow(s, sent->hwnd);
    WNDPROC proc = w ? w->proc : nullptr;
    LRESULT result = 0;
    if (proc) {
      ++q.receivingSends;
      lock.unlock();
      result = proc(sent->hwnd, sent->message, sent->wParam, sent->lParam);
      lock.lock();
      --q.receivingSends;
    }
    sent->result = result;
    sent->done = true;
    if (sent->sender) sent->sender->wake.notify_all();
  }
}

/// Pressed keys and buttons as of the input last taken from a queue.
std::atomic<bool> g_keys[256];

void noteInput(const MSG& m) {
  switch (m.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      g_keys[VK_LBUTTON] = true;
      break;
    case WM_LBUTTONUP:
      g_keys[VK_LBUTTON] = false;
      break;
    case WM_KEYDOWN:
      g_keys[m.wParam & 0xFF] = true;
      break;
    case WM_KEYUP:
      g_keys[m.wParam & 0xFF] = false;
      break;
    default:
      break;
  }
}

/// The thread's windows that need painting, parents before children, top
/// windows first.
HWND findPaint(State& s, DWORD thread, HWND filter, bool& frameOnly) {
  for (HWND top : s.topLevels) {
    for (HWND h : subtree(s, top)) {
      Window* w = findWindow(s, h);
      if (!w || w->thread != thread || !isShowing(s, *w)) continue;
      if (!matchesWindow(s, h, filter)) continue;
      const bool invalid = w->update.right > w->update.left && w->update.bottom > w->update.top;
      if (w->frameDirty || invalid) {
        frameOnly = !invalid;
        return h;
      }
    }
  }
  return nullptr;
}

/// One message for the calling thread, without waiting. The lock is held on
/// entry and on return; it is let go while procedures run.
bool retrieve(Lock& lock, State& s, Queue& q, MSG* out, HWND filter, UINT min, UINT max, bool remove) {
  for (;;) {
    if (!q.incoming.empty()) {
      deliverIncoming(lock, s, q);
      continue;
    }
    auto it = std::find_if(q.posted.begin(), q.posted.end(), [&](const Posted& p) {
      return matchesWindow(s, p.msg.hwnd, filter) && inRange(p.msg.message, min, max);
    });
    if (it != q.posted.end()) {
      const MSG m = it->msg;
      const bool input = it->input;
      if (remove) q.posted.erase(it);
      q.lastMessageTime = static_cast<LONG>(m.time);
      if (input && remove) {
        noteInput(m);
        bool captured = q.capture != nullptr;
        if (isMouseMessage(m.message) && !captured && m.hwnd) {
          lock.unlock();
          SendMessageW(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd),
                       MAKELPARAM(static_cast<WORD>(HTCLIENT), static_cast<WORD>(m.message)));
          lock.lock();
        }
      }
      *out = m;
      return true;
    }
    if (q.quit && (!filter || filter == reinterpret_cast<HWND>(static_cast<INT_PTR>(-1))) &&
        inRange(WM_QUIT, min, max)) {
      if (remove) q.quit = false;
      *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, static_cast<DWORD>(winsim::clockMs()), s.cursor};
      return true;
    }
    if (inRange(WM_PAINT, min, max)) {
      bool frameOnly = false;
      if (HWND h = findPaint(s, q.thread, filter, frameOnly)) {
        if (frameOnly) {
          lock.unlock();
          paintNonClient(h);
          lock.lock();
          if (Window* w = findWindow(s, h)) w->frameDirty = false;  // nothing more to draw
          continue;
        }
        *out = MSG{h, WM_PAINT, 0, 0, static_cast<DWORD>(winsim::clockMs()), s.cursor};
        return true;
      }
    }
    if (inRange(WM_TIMER, min, max) && takeDueTimer(s, q.thread, filter, remove, out)) return true;
    return false;
  }
}

MSG makeMessage(State& s, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(winsim::clockMs()), s.cursor};
}

bool post(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, bool input) {
  State& s = state();
  Lock lock(s.mutex);
  if (!hWnd) {
    Queue& q = currentQueue(s);
    q.posted.push_back(Posted{makeMessage(s, nullptr, Msg, wParam, lParam), input});
    q.wake.notify_all();
    return true;
  }
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return false;
  Queue* q = findQueue(s, w->thread);
  if (!q || !q->alive) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return false;
  }
  q->posted.push_back(Posted{makeMessage(s, hWnd, Msg, wParam, lParam), input});
  q->wake.notify_all();
  return true;
}

}  // namespace

namespace winsim::user {

void postInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) { post(hwnd, message, wParam, lParam, true); }

/// Waits for a message as GetMessageW does; for a thread with windows, the
/// UI agent acts while the queue is empty.
bool waitForMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove) {
  State& s = state();
  Lock lock(s.mutex);
  std::shared_ptr<Queue> q = currentQueueShared(s);
  IdleWatch idle;
  for (;;) {
    if (retrieve(lock, s, *q, msg, filter, min, max, remove)) return true;
    if (threadOwnsWindows(s, q->thread)) {
      lock.unlock();
      const bool acted = uiAgentIdle(idle);
      lock.lock();
      if (acted) {
        idle.reset();
        continue;
      }
      if (!q->incoming.empty()) continue;
      q->wake.wait_for(lock, idle.nextPoll());
    } else {
      q->wake.wait(lock);
    }
  }
}

}  // namespace winsim::user

LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return 0;
  WNDPROC proc = w->proc;
  const DWORD owner = w->thread;
  const DWORD self = GetCurrentThreadId();
  if (owner == self || hWnd == s.desktop) {
    lock.unlock();
    return proc ? proc(hWnd, Msg, wParam, lParam) : 0;
  }
  // Another thread's window: its owner runs the procedure while it is in a
  // message function; this thread waits, delivering what is sent to it.
  Queue* target = findQueue(s, owner);
  if (!target || !target->alive) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return 0;
  }
  std::shared_ptr<Queue> me = currentQueueShared(s);
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = hWnd;
  sent->message = Msg;
  sent->wParam = wParam;
  sent->lParam = lParam;
  sent->sender = me;
  target->incoming.push_back(sent);
  target->wake.notify_all();
  while (!sent->done) {
    if (!me->incoming.empty()) {
      deliverIncoming(lock, s, *me);
      continue;
    }
    me->wake.wait(lock);
  }
  return sent->result;
}

BOOL PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return post(hWnd, Msg, wParam, lParam, false) ? TRUE : FALSE;
}

BOOL PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  State& s = state();
  Lock lock(s.mutex);
  Queue* q = findQueue(s, idThread);
  if (!q || !q->alive) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  q->posted.push_back(Posted{makeMessage(s, nullptr, Msg, wParam, lParam), false});
  q->wake.notify_all();
  return TRUE;
}

void PostQuitMessage(int nExitCode) {
  State& s = state();
  Lock lock(s.mutex);
  Queue& q = currentQueue(s);
  q.quit = true;
  q.quitCode = nExitCode;
  q.wake.notify_all();
}

BOOL GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hWnd && hWnd != reinterpret_cast<HWND>(static_cast<INT_PTR>(-1)) && !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  waitForMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true);
  return lpMsg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  State& s = state();
  Lock lock(s.mutex);
  Queue& q = currentQueue(s);
  return retrieve(lock, s, q, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WaitMessage() {
  MSG msg;
  waitForMessage(&msg, nullptr, 0, 0, false);
  return TRUE;
}

BOOL TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg || lpMsg->message != WM_KEYDOWN) return FALSE;
  const int key = static_cast<int>(lpMsg->wParam);
  WCHAR ch = 0;
  if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB || key == VK_BACK || key == VK_SPACE) {
    ch = static_cast<WCHAR>(key);
  } else if (key >= '0' && key <= '9') {
    ch = static_cast<WCHAR>(key);
  } else if (key >= 'A' && key <= 'Z') {
    ch = static_cast<WCHAR>(key - 'A' + 'a');  // the agent holds no Shift
  }
  if (!ch) return FALSE;
  // The character is the next message the thread reads, as on Windows.
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, lpMsg->hwnd);
  if (!w) return FALSE;
  Queue* q = findQueue(s, w->thread);
  if (!q) return FALSE;
  q->posted.push_front(Posted{makeMessage(s, lpMsg->hwnd, WM_CHAR, ch, lpMsg->lParam), true});
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, static_cast<DWORD>(winsim::clockMs()));
    return 0;
  }
  if (!lpMsg->hwnd) return 0;
  WNDPROC proc = nullptr;
  {
    State& s = state();
    Lock lock(s.mutex);
    Window* w = findWindowOrFail(s, lpMsg->hwnd);
    if (!w) return 0;
    if (w->thread != GetCurrentThreadId()) {
      SetLastError(ERROR_MESSAGE_SYNC_ONLY);
      return 0;
    }
    proc = w->proc;
  }
  return proc ? proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

LRESULT CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

BOOL InSendMessage() {
  State& s = state();
  Lock lock(s.mutex);
  Queue* q = findQueue(s, GetCurrentThreadId());
  return q && q->receivingSends > 0;
}

LONG GetMessageTime() {
  State& s = state();
  Lock lock(s.mutex);
  Queue* q = findQueue(s, GetCurrentThreadId());
  return q ? q->lastMessageTime : 0;
}

SHORT GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 255) return 0;
  return g_keys[nVirtKey] ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetAsyncKeyState(int vKey) { return GetKeyState(vKey); }

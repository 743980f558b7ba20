// Focus, activation, mouse capture, the pointer and mouse tracking, system
// metrics.
#include <algorithm>

#include "win32/errors.h"
#include "win32/process.h"
#include "windowmanager.h"

using namespace winsim::user;

namespace {

constexpr int kScreenDefaultWidth = 1024;
constexpr int kScreenDefaultHeight = 768;

bool within(State& s, HWND root, HWND hwnd) { return hwnd && (hwnd == root || isDescendant(s, root, hwnd)); }

/// The deepest visible, enabled child of `parent` under a screen point that
/// does not answer HTTRANSPARENT.
HWND hitChild(HWND parent, POINT pt) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    RECT r{};
    GetWindowRect(c, &r);
    if (!PtInRect(&r, pt)) continue;
    const LRESULT hit =
        windowThread(c) == GetCurrentThreadId()
            ? SendMessageW(c, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)))
            : HTCLIENT;
    if (hit == HTTRANSPARENT) continue;
    POINT local = pt;
    ScreenToClient(c, &local);
    RECT client{};
    GetClientRect(c, &client);
    if (PtInRect(&client, local))
      if (HWND deeper = hitChild(c, pt)) return deeper;
    return c;
  }
  return nullptr;
}

}  // namespace

namespace winsim::user {

HWND windowForMouse(POINT screen) {
  std::vector<HWND> tops;
  HWND desktop = nullptr;
  {
    State& s = state();
    Lock lock(s.mutex);
    tops = s.topLevels;
    desktop = s.desktop;
  }
  for (HWND top : tops) {
    if (!IsWindowVisible(top)) continue;
    RECT r{};
    GetWindowRect(top, &r);
    if (!PtInRect(&r, screen)) continue;
    if (!IsWindowEnabled(top)) return top;
    POINT local = screen;
    ScreenToClient(top, &local);
    RECT client{};
    GetClientRect(top, &client);
    if (PtInRect(&client, local))
      if (HWND child = hitChild(top, screen)) return child;
    return top;
  }
  return desktop;
}

HWND moveCursor(POINT screen) {
  HWND capture = GetCapture();
  HWND target = capture ? capture : windowForMouse(screen);
  HWND left = nullptr;
  {
    State& s = state();
    Lock lock(s.mutex);
    s.cursor = screen;
    if (s.tracked && s.tracked != target) {
      left = s.tracked;
      if (Window* w = findWindow(s, left)) w->trackFlags = 0;
      s.tracked = nullptr;
    }
    if (target == s.desktop) target = nullptr;
  }
  if (left) PostMessageW(left, WM_MOUSELEAVE, 0, 0);
  return target;
}

void windowGoingAway(HWND hwnd, bool destroying) {
  State& s = state();
  HWND focus = nullptr, capture = nullptr, owner = nullptr;
  bool wasActive = false;
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hwnd);
    if (!w) return;
    Queue* q = findQueue(s, w->thread);
    if (!q) return;
    if (within(s, hwnd, q->focus)) {
      focus = q->focus;
      q->focus = nullptr;
    }
    if (within(s, hwnd, q->capture)) capture = q->capture;
    if (q->active == hwnd) {
      wasActive = true;
      owner = w->owner;
    }
    if (destroying && s.tracked && within(s, hwnd, s.tracked)) s.tracked = nullptr;
  }
  if (focus) SendMessageW(focus, WM_KILLFOCUS, 0, 0);
  if (capture) ReleaseCapture();
  if (!wasActive) return;
  // Activation passes to the owner, or to another window of the thread.
  HWND next = nullptr;
  if (owner && IsWindowVisible(owner) && IsWindowEnabled(owner)) {
    next = owner;
  } else {
    Lock lock(s.mutex);
    for (HWND top : s.topLevels) {
      Window* t = findWindow(s, top);
      if (top != hwnd && t && t->thread == GetCurrentThreadId() && (t->style & WS_VISIBLE) &&
          !(t->style & WS_DISABLED) && !t->destroying) {
        next = top;
        break;
      }
    }
  }
  SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(next));
  {
    Lock lock(s.mutex);
    if (Queue* q = findQueue(s, GetCurrentThreadId()); q && q->active == hwnd) q->active = nullptr;
    if (s.foreground == hwnd) s.foreground = nullptr;
    if (Window* w = findWindow(s, hwnd)) w->frameDirty = true;
  }
  if (next) SetActiveWindow(next);
}

}  // namespace winsim::user

HWND SetActiveWindow(HWND hWnd) {
  State& s = state();
  HWND old = nullptr;
  {
    Lock lock(s.mutex);
    Queue& q = currentQueue(s);
    old = q.active;
    if (hWnd) {
      Window* w = findWindow(s, hWnd);
      if (!w || hWnd == s.desktop) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      w = topLevelOf(s, w);
      if (!w || w->thread != q.thread || (w->style & WS_DISABLED)) return nullptr;
      hWnd = w->handle;
    }
    if (old == hWnd) return old;
  }
  if (old && IsWindow(old)) {
    SendMessageW(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hWnd));
    Lock lock(s.mutex);
    if (Window* o = findWindow(s, old)) {
      o->frameDirty = true;
      wakeQueue(s, o->thread);
    }
  }
  {
    Lock lock(s.mutex);
    Queue& q = currentQueue(s);
    q.active = hWnd;
    if (hWnd) {
      s.foreground = hWnd;
      if (Window* w = findWindow(s, hWnd)) {
        w->frameDirty = true;
        std::erase(s.topLevels, hWnd);
        auto at = s.topLevels.begin();
        if (!(w->exStyle & WS_EX_TOPMOST))
          while (at != s.topLevels.end()) {
            Window* o = findWindow(s, *at);
            if (!o || !(o->exStyle & WS_EX_TOPMOST)) break;
            ++at;
          }
        s.topLevels.insert(at, hWnd);
        wakeQueue(s, w->thread);
      }
    } else if (s.foreground == old) {
      s.foreground = nullptr;
    }
  }
  if (hWnd) {
    SendMessageW(hWnd, WM_QUERYNEWPALETTE, 0, 0);
    SendMessageW(hWnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
  }
  return old;
}

HWND GetActiveWindow() {
  State& s = state();
  Lock lock(s.mutex);
  Queue* q = findQueue(s, GetCurrentThreadId());
  return q ? q->active : nullptr;
}

BOOL SetForegroundWindow(HWND hWnd) {
  if (!IsWindow(hWnd)) return FALSE;
  if (windowThread(hWnd) == GetCurrentThreadId()) {
    SetActiveWindow(hWnd);
    HWND active = GetActiveWindow();
    return active && (active == hWnd || IsChild(active, hWnd)) ? TRUE : FALSE;
  }
  State& s = state();
  Lock lock(s.mutex);
  s.foreground = hWnd;
  return TRUE;
}

HWND GetForegroundWindow() {
  State& s = state();
  Lock lock(s.mutex);
  return s.foreground;
}

HWND SetFocus(HWND hWnd) {
  State& s = state();
  HWND old = nullptr;
  HWND top = nullptr;
  {
    Lock lock(s.mutex);
    Queue& q = currentQueue(s);
    old = q.focus;
    if (!hWnd) {
      q.focus = nullptr;
    } else {
      Window* w = findWindow(s, hWnd);
      if (!w || hWnd == s.desktop) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      if (w->thread != q.thread) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return nullptr;
      }
      Window* t = topLevelOf(s, w);
      top = t ? t->handle : nullptr;
    }
  }
  if (!hWnd) {
    if (old) SendMessageW(old, WM_KILLFOCUS, 0, 0);
    return old;
  }
  if (top && GetActiveWindow() != top) SetActiveWindow(top);
  {
    Lock lock(s.mutex);
    Queue& q = currentQueue(s);
    old = q.focus;
    if (old == hWnd) return old;
  }
  if (old && IsWindow(old)) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  {
    Lock lock(s.mutex);
    if (!findWindow(s, hWnd)) return old;
    currentQueue(s).focus = hWnd;
  }
  SendMessageW(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  State& s = state();
  Lock lock(s.mutex);
  Queue* q = findQueue(s, GetCurrentThreadId());
  return q ? q->focus : nullptr;
}

HWND SetCapture(HWND hWnd) {
  State& s = state();
  HWND old = nullptr;
  {
    Lock lock(s.mutex);
    Queue& q = currentQueue(s);
    old = q.capture;
    if (hWnd && !findWindow(s, hWnd)) return old;
    q.capture = hWnd;
  }
  if (old && old != hWnd) SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return old;
}

BOOL ReleaseCapture() {
  State& s = state();
  HWND old = nullptr;
  {
    Lock lock(s.mutex);
    Queue& q = currentQueue(s);
    old = q.capture;
    q.capture = nullptr;
  }
  if (old) SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  State& s = state();
  Lock lock(s.mutex);
  Queue* q = findQueue(s, GetCurrentThreadId());
  return q ? q->capture : nullptr;
}

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  State& s = state();
  Lock lock(s.mutex);
  *lpPoint = s.cursor;
  return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
  const POINT at{X, Y};
  if (HWND target = moveCursor(at)) {
    POINT local = at;
    ScreenToClient(target, &local);
    postInput(target, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(local.x), static_cast<WORD>(local.y)));
  }
  return TRUE;
}

HCURSOR SetCursor(HCURSOR hCursor) {
  State& s = state();
  Lock lock(s.mutex);
  HCURSOR old = s.cursorShape;
  s.cursorShape = hCursor;
  return old;
}

HCURSOR GetCursor() {
  State& s = state();
  Lock lock(s.mutex);
  return s.cursorShape;
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack) {
  if (!lpEventTrack || lpEventTrack->cbSize != sizeof(TRACKMOUSEEVENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  State& s = state();
  if (lpEventTrack->dwFlags & TME_QUERY) {
    Lock lock(s.mutex);
    Window* w = findWindow(s, s.tracked);
    lpEventTrack->hwndTrack = w ? s.tracked : nullptr;
    lpEventTrack->dwFlags = w ? w->trackFlags : 0;
    lpEventTrack->dwHoverTime = HOVER_DEFAULT;
    return TRUE;
  }
  HWND hwnd = lpEventTrack->hwndTrack;
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (lpEventTrack->dwFlags & TME_CANCEL) {
    Lock lock(s.mutex);
    if (Window* w = findWindow(s, hwnd)) w->trackFlags &= ~(lpEventTrack->dwFlags & (TME_LEAVE | TME_HOVER));
    if (s.tracked == hwnd) s.tracked = nullptr;
    return TRUE;
  }
  if (!(lpEventTrack->dwFlags & TME_LEAVE)) return TRUE;  // hover reports are not produced
  POINT cursor{};
  GetCursorPos(&cursor);
  // A pointer that is not over the window leaves at once, as on Windows.
  if (windowForMouse(cursor) != hwnd) {
    PostMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  HWND previous = nullptr;
  {
    Lock lock(s.mutex);
    if (s.tracked && s.tracked != hwnd) {
      previous = s.tracked;
      if (Window* p = findWindow(s, previous)) p->trackFlags = 0;
    }
    s.tracked = hwnd;
    if (Window* w = findWindow(s, hwnd)) w->trackFlags = lpEventTrack->dwFlags & (TME_LEAVE | TME_HOVER);
  }
  if (previous) PostMessageW(previous, WM_MOUSELEAVE, 0, 0);
  return TRUE;
}

int GetSystemMetrics(int nIndex) {
  const auto screen = winsim::virtualScreen();
  const int width = screen ? screen->width() : kScreenDefaultWidth;
  const int height = screen ? screen->height() : kScreenDefaultHeight;
  switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN:
      return width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
      return height;
    case SM_CYFULLSCREEN:
      return height - 22;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
      return 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CYCAPTION:
      return 22;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CYMENU:
      return 20;
    case SM_CXMIN:
      return 112;
    case SM_CYMIN:
      return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
      return 18;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_MOUSEPRESENT:
    case SM_CMONITORS:
      return 1;
    case SM_SWAPBUTTON:
      return 0;
    default:
      return 0;
  }
}

UINT GetDoubleClickTime() { return 500; }

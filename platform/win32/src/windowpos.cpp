// Window visibility, enabled state, position and size, Z order, coordinates
// and the rectangle helpers.
#include <algorithm>

#include "dialogstate.h"
#include "win32/errors.h"
#include "win32/process.h"
#include "windowmanager.h"

using namespace winsim::user;

namespace {

/// Puts a window on top of its siblings (topmost windows stay above the others).
void raiseLocked(State& s, Window& w) {
  std::vector<HWND>* siblings = nullptr;
  if (isTopLevel(s, w)) {
    siblings = &s.topLevels;
  } else if (Window* p = findWindow(s, w.parent)) {
    siblings = &p->children;
  }
  if (!siblings) return;
  std::erase(*siblings, w.handle);
  auto at = siblings->begin();
  if (siblings == &s.topLevels && !(w.exStyle & WS_EX_TOPMOST)) {
    while (at != siblings->end()) {
      Window* o = findWindow(s, *at);
      if (!o || !(o->exStyle & WS_EX_TOPMOST)) break;
      ++at;
    }
  }
  siblings->insert(at, w.handle);
}

void placeLocked(State& s, Window& w, HWND after) {
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    if (after == HWND_TOPMOST) w.exStyle |= WS_EX_TOPMOST;
    if (after == HWND_NOTOPMOST) w.exStyle &= ~WS_EX_TOPMOST;
    raiseLocked(s, w);
    return;
  }
  std::vector<HWND>* siblings = isTopLevel(s, w) ? &s.topLevels : nullptr;
  if (!siblings)
    if (Window* p = findWindow(s, w.parent)) siblings = &p->children;
  if (!siblings) return;
  std::erase(*siblings, w.handle);
  if (after == HWND_BOTTOM) {
    siblings->push_back(w.handle);
    return;
  }
  auto at = std::find(siblings->begin(), siblings->end(), after);
  siblings->insert(at == siblings->end() ? siblings->end() : at + 1, w.handle);
}

/// Invalidates what a window covers in its parent (when it moves away or hides).
void exposeLocked(State& s, Window& w) {
  if (isTopLevel(s, w)) return;  // the screen is composed afresh from the windows
  if (Window* p = findWindow(s, w.parent)) invalidateLocked(s, *p, &w.rect, true);
}

}  // namespace

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  State& s = state();
  bool wasVisible = false;
  bool topLevel = false;
  const bool show = nCmdShow != SW_HIDE;
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hWnd);
    if (!w || hWnd == s.desktop) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    wasVisible = (w->style & WS_VISIBLE) != 0;
    topLevel = isTopLevel(s, *w);
  }
  const bool activate =
      show && topLevel && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE && nCmdShow != SW_SHOWMINNOACTIVE;
  if (show == wasVisible) {
    if (activate) SetActiveWindow(hWnd);
    return wasVisible;
  }
  SendMessageW(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (!show) windowGoingAway(hWnd, false);
  bool announce = false;
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hWnd);
    if (!w) return wasVisible;
    if (show) {
      w->style |= WS_VISIBLE;
      if (topLevel) raiseLocked(s, *w);
      w->frameDirty = true;
      invalidateLocked(s, *w, nullptr, true);
      announce = topLevel && w->dialog && !w->announced;
      w->announced = w->announced || announce;
    } else {
      w->style &= ~WS_VISIBLE;
      exposeLocked(s, *w);
    }
  }
  if (activate) SetActiveWindow(hWnd);
  if (announce) announceDialog(hWnd);
  return wasVisible;
}

BOOL IsWindowVisible(HWND hWnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  return w && isShowing(s, *w);
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  State& s = state();
  bool wasDisabled = false;
  {
    Lock lock(s.mutex);
    Window* w = findWindowOrFail(s, hWnd);
    if (!w) return FALSE;
    wasDisabled = (w->style & WS_DISABLED) != 0;
  }
  if (wasDisabled == !bEnable) return wasDisabled;
  if (!bEnable) {
    SendMessageW(hWnd, WM_CANCELMODE, 0, 0);
    HWND focus = GetFocus();
    if (focus && (focus == hWnd || IsChild(hWnd, focus))) SetFocus(nullptr);
    if (GetCapture() == hWnd) ReleaseCapture();
  }
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hWnd);
    if (!w) return wasDisabled;
    if (bEnable)
      w->style &= ~WS_DISABLED;
    else
      w->style |= WS_DISABLED;
    if ((w->style & WS_CAPTION) == WS_CAPTION) w->frameDirty = true;
  }
  SendMessageW(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                      SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  State& s = state();
  WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
  bool topLevel = false;
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hWnd);
    if (!w || hWnd == s.desktop) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    topLevel = isTopLevel(s, *w);
    if (uFlags & SWP_NOMOVE) {
      pos.x = w->rect.left;
      pos.y = w->rect.top;
    }
    if (uFlags & SWP_NOSIZE) {
      pos.cx = w->rect.right - w->rect.left;
      pos.cy = w->rect.bottom - w->rect.top;
    }
    if (pos.x == w->rect.left && pos.y == w->rect.top) pos.flags |= SWP_NOMOVE;
    if (pos.cx == w->rect.right - w->rect.left && pos.cy == w->rect.bottom - w->rect.top) pos.flags |= SWP_NOSIZE;
  }
  if (!(uFlags & SWP_NOSENDCHANGING)) SendMessageW(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hWnd);
    if (!w) return FALSE;
    const bool redraw = !(pos.flags & SWP_NOREDRAW);
    const bool moves = !(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE);
    if (moves && redraw && (w->style & WS_VISIBLE)) exposeLocked(s, *w);
    if (!(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE)) {
      w->rect = RECT{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
    }
    if (!(pos.flags & SWP_NOSIZE) && topLevel) {
      auto resized = winsim::Surface::create(std::max(1, pos.cx), std::max(1, pos.cy));
      if (resized) {
        auto& fresh = resized.value();
        if (w->backing) {
          const int width = std::min(fresh->width(), w->backing->width());
          const int height = std::min(fresh->height(), w->backing->height());
          for (int y = 0; y < height; ++y) std::copy_n(w->backing->row(y), width, fresh->row(y));
        }
        w->backing = std::move(fresh);
      }
    }
    if (!(pos.flags & SWP_NOZORDER)) placeLocked(s, *w, pos.hwndInsertAfter);
    if (moves || (pos.flags & SWP_FRAMECHANGED)) {
      w->frameDirty = true;
      if (redraw) invalidateLocked(s, *w, nullptr, true);
    }
  }
  if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
  if (!(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE) || (pos.flags & SWP_FRAMECHANGED))
    SendMessageW(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (topLevel && !(uFlags & SWP_NOACTIVATE) && !(uFlags & SWP_HIDEWINDOW) && IsWindowVisible(hWnd))
    SetActiveWindow(hWnd);
  return TRUE;
}

BOOL BringWindowToTop(HWND hWnd) { return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  if (!w || !lpRect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const POINT o = windowOriginOnScreen(s, *w);
  *lpRect = RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  if (!w || !lpRect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const RECT c = clientInWindow(*w);
  *lpRect = RECT{0, 0, c.right - c.left, c.bottom - c.top};
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  if (!w || !lpPoint) return FALSE;
  const POINT o = clientOriginOnScreen(s, *w);
  lpPoint->x -= o.x;
  lpPoint->y -= o.y;
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  if (!w || !lpPoint) return FALSE;
  const POINT o = clientOriginOnScreen(s, *w);
  lpPoint->x += o.x;
  lpPoint->y += o.y;
  return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  State& s = state();
  Lock lock(s.mutex);
  POINT from{0, 0}, to{0, 0};
  if (hWndFrom) {
    Window* w = findWindowOrFail(s, hWndFrom);
    if (!w) return 0;
    from = clientOriginOnScreen(s, *w);
  }
  if (hWndTo) {
    Window* w = findWindowOrFail(s, hWndTo);
    if (!w) return 0;
    to = clientOriginOnScreen(s, *w);
  }
  const LONG dx = from.x - to.x, dy = from.y - to.y;
  for (UINT i = 0; i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  SetLastError(0);
  return static_cast<int>(MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
  if (!lpRect) return FALSE;
  const RECT in = nonClientInsets(dwStyle, dwExStyle);
  lpRect->left -= in.left;
  lpRect->top -= in.top + (bMenu ? GetSystemMetrics(SM_CYMENU) : 0);
  lpRect->right += in.right;
  lpRect->bottom += in.bottom;
  return TRUE;
}

HWND WindowFromPoint(POINT Point) { return windowForMouse(Point); }

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point) {
  State& s = state();
  Lock lock(s.mutex);
  Window* p = findWindow(s, hWndParent);
  if (!p) return nullptr;
  const RECT c = clientInWindow(*p);
  if (Point.x < 0 || Point.y < 0 || Point.x >= c.right - c.left || Point.y >= c.bottom - c.top) return nullptr;
  for (HWND child : p->children) {
    Window* w = findWindow(s, child);
    if (w && PtInRect(&w->rect, Point)) return child;  // hidden and disabled children count, as on Windows
  }
  return hWndParent;
}

BOOL PtInRect(const RECT* lprc, POINT pt) {
  return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (!lprcDst || !lprcSrc) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* lprc) { return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top; }

BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  lprc->left -= dx;
  lprc->right += dx;
  lprc->top -= dy;
  lprc->bottom += dy;
  return TRUE;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  lprc->left += dx;
  lprc->right += dx;
  lprc->top += dy;
  lprc->bottom += dy;
  return TRUE;
}

BOOL IntersectRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (r.left >= r.right || r.top >= r.bottom) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *lprcDst = r;
  return TRUE;
}

BOOL UnionRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    *lprcDst = *b;
  } else if (IsRectEmpty(b)) {
    *lprcDst = *a;
  } else {
    *lprcDst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
  }
  return !IsRectEmpty(lprcDst);
}

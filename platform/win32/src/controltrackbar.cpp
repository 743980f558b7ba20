// The "msctls_trackbar32" class: a channel and a thumb over a range; a click
// or an arrow key moves the thumb and tells the parent with WM_HSCROLL (or
// WM_VSCROLL for TBS_VERT).
#include <algorithm>

#include "commctrl.h"
#include "controls.h"
#include "windowmanager.h"

namespace winsim::user {

namespace {

constexpr int kInset = 8;
constexpr int kThumbHalf = 5;

struct TrackbarState : ControlState {
  int low = 0;
  int high = 100;
  int position = 0;
  int page = 20;
  int line = 1;
};

bool vertical(HWND hwnd) { return (windowStyle(hwnd) & TBS_VERT) != 0; }

int length(HWND hwnd) {
  const RECT r = clientRect(hwnd);
  return std::max<int>(1, (vertical(hwnd) ? r.bottom : r.right) - 2 * kInset);
}

int offsetOf(HWND hwnd, const TrackbarState& t) {
  const int span = std::max(1, t.high - t.low);
  return kInset + static_cast<int>(static_cast<long long>(length(hwnd)) * (t.position - t.low) / span);
}

void paint(HWND hwnd, HDC dc, const TrackbarState& t) {
  HBRUSH brush = controlColor(hwnd, dc, WM_CTLCOLORSTATIC);
  const RECT client = clientRect(hwnd);
  fillUnlessHollow(dc, client, brush);
  const bool vert = vertical(hwnd);
  const int middle = (vert ? client.right : client.bottom) / 2;
  RECT channel = vert ? RECT{middle - 2, kInset, middle + 2, client.bottom - kInset}
                      : RECT{kInset, middle - 2, client.right - kInset, middle + 2};
  DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT);
  const int at = offsetOf(hwnd, t);
  RECT thumb = vert ? RECT{client.left + 4, at - kThumbHalf, client.right - 4, at + kThumbHalf}
                    : RECT{at - kThumbHalf, client.top + 4, at + kThumbHalf, client.bottom - 4};
  FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
  if (hasFocus(hwnd)) {
    RECT focus = client;
    DrawFocusRect(dc, &focus);
  }
}

void setPosition(HWND hwnd, TrackbarState& t, int position, bool redraw) {
  const int clamped = std::clamp(position, t.low, std::max(t.low, t.high));
  if (clamped == t.position) return;
  t.position = clamped;
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

void notifyScroll(HWND hwnd, const TrackbarState& t, WORD code) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  SendMessageW(parent, vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(t.position)),
               reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace

LRESULT trackbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto t = controlState<TrackbarState>(hwnd);
  if (!t) {
    if (message == WM_NCDESTROY) return DefWindowProcW(hwnd, message, wParam, lParam);
    setControlState(hwnd, std::make_shared<TrackbarState>());
    t = controlState<TrackbarState>(hwnd);
    if (!t) return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(hwnd, dc, *t);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      if (!hasFocus(hwnd)) SetFocus(hwnd);
      const int at = vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
      const int span = t->high - t->low;
      setPosition(hwnd, *t, t->low + static_cast<int>(static_cast<long long>(at - kInset) * span / length(hwnd)), true);
      notifyScroll(hwnd, *t, TB_THUMBPOSITION);
      notifyScroll(hwnd, *t, TB_ENDTRACK);
      return 0;
    }
    case WM_KEYDOWN: {
      WORD code = 0;
      int next = t->position;
      switch (wParam) {
        case VK_LEFT:
        case VK_UP:
          next -= t->line;
          code = TB_LINEUP;
          break;
        case VK_RIGHT:
        case VK_DOWN:
          next += t->line;
          code = TB_LINEDOWN;
          break;
        case VK_HOME:
          next = t->low;
          code = TB_TOP;
          break;
        case VK_END:
          next = t->high;
          code = TB_BOTTOM;
          break;
        default:
          return 0;
      }
      setPosition(hwnd, *t, next, true);
      notifyScroll(hwnd, *t, code);
      notifyScroll(hwnd, *t, TB_ENDTRACK);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_GETPOS:
      return t->position;
    case TBM_GETRANGEMIN:
      return t->low;
    case TBM_GETRANGEMAX:
      return t->high;
    case TBM_SETPOS:
      setPosition(hwnd, *t, static_cast<int>(lParam), wParam != 0);
      return 0;
    case TBM_SETRANGE:
      t->low = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
      t->high = static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lParam)));
      setPosition(hwnd, *t, t->position, false);
      if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMIN:
      t->low = static_cast<int>(lParam);
      setPosition(hwnd, *t, t->position, false);
      if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMAX:
      t->high = static_cast<int>(lParam);
      setPosition(hwnd, *t, t->position, false);
      if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETPAGESIZE: {
      const int old = t->page;
      t->page = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETPAGESIZE:
      return t->page;
    case TBM_SETLINESIZE: {
      const int old = t->line;
      t->line = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETLINESIZE:
      return t->line;
    case TBM_SETTICFREQ:
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace winsim::user

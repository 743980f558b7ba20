// The "msctls_progress32" class: a range, a position and a step, drawn as
// blocks (or one smooth bar with PBS_SMOOTH) in the highlight colour.
#include <algorithm>

#include "commctrl.h"
#include "controls.h"
#include "windowmanager.h"

namespace winsim::user {

namespace {

struct ProgressState : ControlState {
  int low = 0;
  int high = 100;
  int position = 0;
  int step = 10;
  COLORREF bar = CLR_DEFAULT;
  COLORREF background = CLR_DEFAULT;
};

void paint(HWND hwnd, HDC dc, const ProgressState& p) {
  RECT r = clientRect(hwnd);
  HBRUSH back = p.background == CLR_DEFAULT ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(p.background);
  FillRect(dc, &r, back);
  if (p.background != CLR_DEFAULT) DeleteObject(back);
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  InflateRect(&r, -1, -1);
  const int span = p.high - p.low;
  if (span <= 0 || r.right <= r.left) return;
  const int width = r.right - r.left;
  const int done = static_cast<int>(static_cast<long long>(width) * (p.position - p.low) / span);
  HBRUSH fill = p.bar == CLR_DEFAULT ? GetSysColorBrush(COLOR_HIGHLIGHT) : CreateSolidBrush(p.bar);
  if (windowStyle(hwnd) & PBS_SMOOTH) {
    RECT bar{r.left, r.top, r.left + done, r.bottom};
    FillRect(dc, &bar, fill);
  } else {
    // Blocks two thirds as wide as the bar is high, two pixels apart.
    const int block = std::max<int>(2, (r.bottom - r.top) * 2 / 3);
    for (int x = r.left; x < r.left + done; x += block + 2) {
      RECT piece{x, r.top, std::min<int>(x + block, r.right), r.bottom};
      FillRect(dc, &piece, fill);
    }
  }
  if (p.bar != CLR_DEFAULT) DeleteObject(fill);
}

int setPosition(HWND hwnd, ProgressState& p, int position) {
  const int old = p.position;
  p.position = std::clamp(position, p.low, std::max(p.low, p.high));
  if (p.position != old) InvalidateRect(hwnd, nullptr, TRUE);
  return old;
}

}  // namespace

LRESULT progressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto p = controlState<ProgressState>(hwnd);
  if (!p) {
    if (message == WM_NCDESTROY) return DefWindowProcW(hwnd, message, wParam, lParam);
    setControlState(hwnd, std::make_shared<ProgressState>());
    p = controlState<ProgressState>(hwnd);
    if (!p) return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(hwnd, dc, *p);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
      const LRESULT old = MAKELRESULT(static_cast<WORD>(p->low), static_cast<WORD>(p->high));
      if (message == PBM_SETRANGE) {
        p->low = LOWORD(static_cast<DWORD_PTR>(lParam));
        p->high = HIWORD(static_cast<DWORD_PTR>(lParam));
      } else {
        p->low = static_cast<int>(wParam);
        p->high = static_cast<int>(lParam);
      }
      p->position = std::clamp(p->position, p->low, std::max(p->low, p->high));
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case PBM_GETRANGE: {
      if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) *range = PBRANGE{p->low, p->high};
      return wParam ? p->low : p->high;
    }
    case PBM_SETPOS:
      return setPosition(hwnd, *p, static_cast<int>(wParam));
    case PBM_DELTAPOS:
      return setPosition(hwnd, *p, p->position + static_cast<int>(wParam));
    case PBM_GETPOS:
      return p->position;
    case PBM_SETSTEP: {
      const int old = p->step;
      p->step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT: {
      // Past the end the bar starts over from the beginning.
      int next = p->position + p->step;
      const int span = p->high - p->low;
      if (span > 0 && next > p->high) next = p->low + (next - p->high) % span;
      if (span > 0 && next < p->low) next = p->high - (p->low - next) % span;
      return setPosition(hwnd, *p, next);
    }
    case PBM_SETBARCOLOR: {
      const COLORREF old = p->bar;
      p->bar = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    case PBM_SETBKCOLOR: {
      const COLORREF old = p->background;
      p->background = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace winsim::user

// DefWindowProcW: what every window does with the messages its procedure
// leaves alone.
#include <algorithm>

#include "win32/errors.h"
#include "windowmanager.h"

using namespace winsim::user;

namespace {

constexpr WPARAM SC_CLOSE = 0xF060;

/// A class background is a brush or a system colour index plus one.
HBRUSH classBrush(HBRUSH background) {
  const auto value = reinterpret_cast<ULONG_PTR>(background);
  if (value > 0 && value <= COLOR_MENUBAR + 1) return GetSysColorBrush(static_cast<int>(value - 1));
  return background;
}

LRESULT defaultControlColor(UINT message, HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  SetBkColor(dc, GetSysColor(COLOR_3DFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
}

LRESULT hitTest(HWND hwnd, LPARAM lParam) {
  const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT window{};
  if (!GetWindowRect(hwnd, &window) || !PtInRect(&window, pt)) return HTNOWHERE;
  POINT local = pt;
  ScreenToClient(hwnd, &local);
  RECT client{};
  GetClientRect(hwnd, &client);
  if (PtInRect(&client, local)) return HTCLIENT;
  const DWORD style = windowStyle(hwnd);
  if ((style & WS_CAPTION) == WS_CAPTION && local.y < 0) return HTCAPTION;
  return HTBORDER;
}

}  // namespace

LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  State& s = state();
  switch (Msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      // A name of the form (0xFFFF, id) names a resource, not a text.
      if (cs && cs->lpszName && cs->lpszName[0] != 0xFFFF) storeWindowText(hWnd, cs->lpszName);
      return TRUE;
    }
    case WM_SETTEXT:
      storeWindowText(hWnd, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"");
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      const std::u16string text = windowText(hWnd);
      auto* buffer = reinterpret_cast<LPWSTR>(lParam);
      const std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
      std::copy_n(text.data(), n, buffer);
      buffer[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(windowText(hWnd).size());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = nullptr;
      {
        Lock lock(s.mutex);
        if (Window* w = findWindow(s, hWnd)) brush = classBrush(w->windowClass->background);
      }
      if (!brush) return 0;
      RECT client{};
      GetClientRect(hWnd, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      return 1;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return defaultControlColor(Msg, reinterpret_cast<HDC>(wParam));
    case WM_SETCURSOR: {
      // The parent has the first say, then the class cursor.
      const DWORD style = windowStyle(hWnd);
      if (style & WS_CHILD) {
        HWND parent = GetParent(hWnd);
        if (parent && SendMessageW(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      }
      if (static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam))) == HTCLIENT) {
        HCURSOR cursor = nullptr;
        {
          Lock lock(s.mutex);
          if (Window* w = findWindow(s, hWnd)) cursor = w->windowClass->cursor;
        }
        if (cursor) {
          SetCursor(cursor);
          return TRUE;
        }
        return FALSE;
      }
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return FALSE;
    }
    case WM_NCHITTEST:
      return hitTest(hWnd, lParam);
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      RECT client{};
      GetClientRect(hWnd, &client);
      if (pos && !(pos->flags & SWP_NOMOVE)) {
        POINT origin{0, 0};
        ClientToScreen(hWnd, &origin);
        if (windowStyle(hWnd) & WS_CHILD) ScreenToClient(GetParent(hWnd), &origin);
        SendMessageW(hWnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
      }
      if (pos && !(pos->flags & SWP_NOSIZE))
        SendMessageW(hWnd, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(client.right), static_cast<WORD>(client.bottom)));
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageW(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        HWND focus = GetFocus();
        if (!focus || (focus != hWnd && !IsChild(hWnd, focus))) SetFocus(hWnd);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    case WM_CANCELMODE:
      if (GetCapture() == hWnd) ReleaseCapture();
      return 0;
    case WM_SETICON: {
      Lock lock(s.mutex);
      Window* w = findWindow(s, hWnd);
      if (!w) return 0;
      HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
      HICON old = slot;
      slot = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON: {
      Lock lock(s.mutex);
      Window* w = findWindow(s, hWnd);
      if (!w) return 0;
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->bigIcon : w->smallIcon);
    }
    case WM_QUERYNEWPALETTE:
      return FALSE;
    case WM_NCACTIVATE:
      return TRUE;
    default:
      return 0;
  }
}

// What the built-in controls share: asking the parent for colours, notifying
// it, the drawing font.
#include "commctrl.h"
#include "controls.h"
#include "windowmanager.h"

namespace winsim::user {

HBRUSH controlColor(HWND control, HDC dc, UINT message) {
  HWND parent = GetParent(control);
  if (!parent) parent = control;
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  if (!brush)
    brush = reinterpret_cast<HBRUSH>(
        DefWindowProcW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  return brush;
}

void notifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
               reinterpret_cast<LPARAM>(control));
}

void fillUnlessHollow(HDC dc, const RECT& rect, HBRUSH brush) {
  if (!brush) return;
  LOGBRUSH info{};
  if (GetObjectW(brush, sizeof info, &info) == sizeof info && info.lbStyle == BS_NULL) return;
  FillRect(dc, &rect, brush);
}

HFONT fontOrSystem(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

bool hasFocus(HWND hwnd) { return GetFocus() == hwnd; }

RECT clientRect(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}

}  // namespace winsim::user

// The common control classes are registered with the window manager.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  return picce && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

// The host's windows as a tool module sees them: where the mouse is, and the
// toolbars of the main frame.
#include <vector>

#include "HvDbUtilsView.h"
#include "afxwin.h"

namespace {

// Floating toolbar frames, visible and hidden, and docked toolbars, visible
// and hidden: the styles the host's toolbars carry, matched exactly.
constexpr DWORD kFloatingShown = 0x940C4000;
constexpr DWORD kFloatingHidden = 0x840C4000;
constexpr DWORD kDockedShown = 0x54000000;
constexpr DWORD kDockedHidden = 0x44000000;
// The class of the bars toolbars dock in, and the room its name is read into.
constexpr const WCHAR* kControlBarClass = u"AfxControlBar";
constexpr int kClassNameSize = 50;

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

struct FloatingSearch {
  HWND frame;
  std::vector<HWND>* found;
};

BOOL collectFloating(HWND window, LPARAM parameter) {
  const auto& search = *reinterpret_cast<FloatingSearch*>(parameter);
  const bool ownedByFrame = GetParent(window) == search.frame || GetWindow(window, GW_OWNER) == search.frame;
  const DWORD style = styleOf(window);
  if (ownedByFrame && (style == kFloatingShown || style == kFloatingHidden)) search.found->push_back(window);
  return TRUE;
}

bool isControlBar(HWND window) {
  WCHAR name[kClassNameSize] = {};
  GetClassNameW(window, name, kClassNameSize);
  return std::u16string_view(name) == kControlBarClass;
}

/// The docked toolbars: the children of the frame's control bars.
void collectDocked(HWND frame, std::vector<HWND>& found) {
  for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!isControlBar(child)) continue;
    for (HWND bar = GetWindow(child, GW_CHILD); bar; bar = GetWindow(bar, GW_HWNDNEXT)) {
      const DWORD style = styleOf(bar);
      if (style == kDockedShown || style == kDockedHidden) found.push_back(bar);
    }
  }
}

}  // namespace

namespace HvDbUtils {

int KeepTheFocus(CWnd* window) {
  if (!window) return 0;
  RECT rect = {};
  ::GetWindowRect(window->GetSafeHwnd(), &rect);
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  return ::PtInRect(&rect, cursor);
}

int HideOrShowAcadToolBar(CWnd* frame, int show) {
  if (!frame) return 0;
  const HWND frameWindow = frame->GetSafeHwnd();
  std::vector<HWND> toolbars;
  FloatingSearch search{frameWindow, &toolbars};
  EnumWindows(collectFloating, reinterpret_cast<LPARAM>(&search));
  collectDocked(frameWindow, toolbars);

  for (HWND toolbar : toolbars) {
    // The window's own visible bit is what tells the two styles apart.
    const bool visible = (styleOf(toolbar) & WS_VISIBLE) != 0;
    ShowWindow(toolbar, (show & 1) || !visible ? SW_SHOWNA : SW_HIDE);
  }
  RECT outer = {};
  ::GetWindowRect(frameWindow, &outer);
  ::SendMessageW(frameWindow, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(static_cast<WORD>(outer.right - outer.left), static_cast<WORD>(outer.bottom - outer.top)));
  return static_cast<int>(toolbars.size());
}

}  // namespace HvDbUtils

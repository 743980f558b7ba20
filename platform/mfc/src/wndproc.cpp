// How a message reaches a window object: the library's window procedure,
// the message map, reflection to controls, the default processing, and the
// default handlers that derived handlers call.
#include "afxgdi.h"
#include "afxmenu.h"
#include "afxwin.h"
#include "threadstate.h"

using winsim::mfc::EntryKind;
using winsim::mfc::MessageCall;
using winsim::mfc::threadState;

namespace {

/// Makes a message the thread's current one while it is handled; nested
/// messages (a handler sending another) put the outer one back.
class CurrentMessage {
 public:
  CurrentMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) : m_saved(threadState().lastSent) {
    MSG& current = threadState().lastSent;
    current.hwnd = hwnd;
    current.message = message;
    current.wParam = wParam;
    current.lParam = lParam;
  }
  ~CurrentMessage() { threadState().lastSent = m_saved; }
  CurrentMessage(const CurrentMessage&) = delete;
  CurrentMessage& operator=(const CurrentMessage&) = delete;

 private:
  MSG m_saved;
};

}  // namespace

CWnd* CWnd::attachWindowBeingMade(HWND hwnd) {
  CWnd* creating = threadState().creating;
  if (!creating) return nullptr;
  threadState().creating = nullptr;
  if (!creating->Attach(hwnd)) return nullptr;
  // A window of the library's own class has its procedure already; a
  // dialog's class procedure stays behind the library's.
  const auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (proc != &CWnd::AfxWndProc) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc));
    creating->m_pfnSuper = proc;
  }
  return creating;
}

LRESULT CWnd::AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  CWnd* window = FromHandlePermanent(hWnd);
  if (!window) window = attachWindowBeingMade(hWnd);
  if (!window) return DefWindowProcW(hWnd, nMsg, wParam, lParam);
  LRESULT result = 0;
  {
    winsim::mfc::DispatchLevel level;
    CurrentMessage current(hWnd, nMsg, wParam, lParam);
    result = window->WindowProc(nMsg, wParam, lParam);
  }
  if (nMsg == WM_NCDESTROY && window->m_hWnd == hWnd) {
    // The window is gone: it gets its first procedure back, and the object
    // lets it go and hears of it last.
    if (window->m_pfnSuper && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &CWnd::AfxWndProc)
      SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window->m_pfnSuper));
    window->m_pfnSuper = nullptr;
    window->Detach();
    window->PostNcDestroy();
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT result = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    result = 1;
  } else {
    const CMessageEntry* entry = GetMessageMap().findMessage(EntryKind::Window, message);
    if (!entry || !entry->invoke(*this, MessageCall{message, wParam, lParam}, result)) return FALSE;
  }
  if (pResult) *pResult = result;
  return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& current = threadState().lastSent;
  return DefWindowProc(current.message, current.wParam, current.lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &threadState().lastSent; }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const WORD code = HIWORD(wParam);
  if (auto control = reinterpret_cast<HWND>(lParam)) {
    // The control first hears of its own notification.
    if (ReflectLastMsg(control)) return TRUE;
  }
  return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* child = FromHandlePermanent(hWndChild);
  if (!child) return FALSE;
  const MSG& current = threadState().lastSent;
  return child->OnChildNotify(current.message, current.wParam, current.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT result = 0;
  bool handled = false;
  if (message == WM_COMMAND) {
    if (const CMessageEntry* entry = GetMessageMap().findReflectedCommand(HIWORD(wParam)))
      handled = entry->invoke(*this, MessageCall{message, wParam, lParam}, result);
  } else if (winsim::mfc::isControlColorMessage(message) || message == WM_DRAWITEM || message == WM_MEASUREITEM) {
    if (const CMessageEntry* entry = GetMessageMap().findMessage(EntryKind::ReflectedWindow, message))
      handled = entry->invoke(*this, MessageCall{message, wParam, lParam}, result);
  }
  if (handled && pResult) *pResult = result;
  return handled ? TRUE : FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hwnd = pMsg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
    if (CWnd* window = FromHandlePermanent(hwnd))
      if (window->PreTranslateMessage(pMsg)) return TRUE;
    if (hwnd == hWndStop) break;
  }
  return FALSE;
}

const CMessageMap& CWnd::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CWnd>(CCmdTarget::GetMessageMap())
                                     .on<WM_CTLCOLOR>(&CWnd::OnCtlColor)
                                     .on<WM_DRAWITEM>(&CWnd::OnDrawItem)
                                     .on<WM_MEASUREITEM>(&CWnd::OnMeasureItem);
  return map;
}

// The default handlers.

int CWnd::OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnCancelMode() { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
void CWnd::OnPaletteChanged(CWnd*) { Default(); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
  LRESULT result = 0;
  if (pWnd && pWnd->m_hWnd != m_hWnd && ReflectLastMsg(pWnd->m_hWnd, &result)) return reinterpret_cast<HBRUSH>(result);
  return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (lpDrawItemStruct->CtlType == ODT_MENU) {
    // A menu's owner-drawn item: the item's menu is named in hwndItem.
    if (CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem))) {
      menu->DrawItem(lpDrawItemStruct);
      return;
    }
  } else if (ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
    return;
  }
  Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  if (lpMeasureItemStruct->CtlType == ODT_MENU) {
    // The menu of an owner-drawn item is not named in the request: the
    // menus attached on this thread are asked by the item's id.
    if (CMenu* menu = winsim::mfc::menuOfItem(m_hWnd, lpMeasureItemStruct->itemID)) {
      menu->MeasureItem(lpMeasureItemStruct);
      return;
    }
  } else if (HWND control = ::GetDlgItem(m_hWnd, nIDCtl); control && ReflectLastMsg(control)) {
    return;
  }
  Default();
}

// Creating.

namespace {

constexpr const WCHAR* kWindowClass = u"AfxWnd";

/// The library's own window class, registered once per process.
bool registerWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CWnd::AfxWndProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

}  // namespace

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;
  if (!lpszClassName) {
    if (!registerWindowClass()) return FALSE;
    lpszClassName = kWindowClass;
  }
  CWnd* const previous = threadState().creating;
  threadState().creating = this;
  HWND hwnd = CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                              nIDorHMenu, AfxGetInstanceHandle(), lpParam);
  threadState().creating = previous;
  if (!hwnd) {
    // The window may have been attached and destroyed again (WM_CREATE
    // answered -1): nothing is left to hold.
    if (m_hWnd && !::IsWindow(m_hWnd)) Detach();
    return FALSE;
  }
  if (!m_hWnd) {
    // A class whose procedure never reached the library: subclass it now.
    return SubclassWindow(hwnd);
  }
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

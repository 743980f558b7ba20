// CWnd's members over the USER layer: attaching objects to windows, and the
// window operations the library's callers use.
#include <algorithm>

#include "afxgdi.h"
#include "afxwnd.h"
#include "threadstate.h"

using winsim::mfc::threadMaps;
using winsim::mfc::ThreadMaps;

const CRuntimeClass CWnd::runtimeClass = CRuntimeClass::Described<CWnd, CCmdTarget>("CWnd");

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

namespace winsim::mfc {

CWnd* windowFromHandle(HWND hwnd) { return CWnd::FromHandle(hwnd); }

CPoint pointFromLParam(LPARAM lParam) { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

}  // namespace winsim::mfc

CWnd::~CWnd() {
  if (!m_hWnd) return;
  ThreadMaps* maps = threadMaps();
  if (maps && maps->windows.permanent(m_hWnd) == this) DestroyWindow();
  // A window of another thread, or one whose thread is ending: let it go.
  if (m_hWnd) {
    if (maps) maps->windows.removePermanent(m_hWnd, this);
    m_hWnd = nullptr;
  }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  ThreadMaps* maps = threadMaps();
  return maps ? maps->windows.find(hWnd, winsim::mfc::threadState().dispatchDepth) : nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (!hWnd) return nullptr;
  ThreadMaps* maps = threadMaps();
  return maps ? maps->windows.permanent(hWnd) : nullptr;
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (m_hWnd || !hWndNew || !::IsWindow(hWndNew)) return FALSE;
  ThreadMaps* maps = threadMaps();
  if (!maps || !maps->windows.addPermanent(hWndNew, this)) return FALSE;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (hwnd)
    if (ThreadMaps* maps = threadMaps()) maps->windows.removePermanent(hwnd, this);
  m_hWnd = nullptr;
  return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  // The procedure is the window thread's to change (the layer refuses
  // others), so a failure leaves the object detached again.
  const auto old =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
  if (!old) {
    Detach();
    return FALSE;
  }
  if (old != &CWnd::AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent || !pParent->m_hWnd) return FALSE;
  HWND control = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_hWnd && m_pfnSuper) SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND hwnd = m_hWnd;
  const BOOL destroyed = ::DestroyWindow(hwnd);
  // A window without the library's procedure never saw its WM_NCDESTROY.
  if (m_hWnd == hwnd && !::IsWindow(hwnd)) Detach();
  return destroyed;
}

// Relations.

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

void CWnd::GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

int CWnd::SetDlgCtrlID(int nID) { return static_cast<int>(SetWindowLongPtrW(m_hWnd, GWLP_ID, nID)); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }

CWnd* CWnd::GetTopLevelParent() const {
  HWND top = m_hWnd;
  while (top && (GetWindowLongPtrW(top, GWL_STYLE) & WS_CHILD)) top = ::GetParent(top);
  return FromHandle(top);
}

CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }

CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
  return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl ? pWndCtl->m_hWnd : nullptr, bPrevious));
}

BOOL CWnd::IsChild(const CWnd* pWnd) const { return pWnd && ::IsChild(m_hWnd, pWnd->m_hWnd); }

// Text and font.

void CWnd::SetWindowText(LPCWSTR lpszString) { SetWindowTextW(m_hWnd, lpszString); }

int CWnd::GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const {
  return GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
  const int length = GetWindowTextLengthW(m_hWnd);
  if (length <= 0) {
    rString.Empty();
    return;
  }
  const int copied = GetWindowTextW(m_hWnd, rString.GetBufferSetLength(length), length + 1);
  rString.ReleaseBuffer(std::clamp(copied, 0, length));
}

int CWnd::GetWindowTextLength() const { return GetWindowTextLengthW(m_hWnd); }

void CWnd::SetDlgItemText(int nID, LPCWSTR lpszString) { SetDlgItemTextW(m_hWnd, nID, lpszString); }

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND item = ::GetDlgItem(m_hWnd, nID);
  if (!item) return 0;
  CWnd::FromHandle(item)->GetWindowText(rString);
  return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->GetSafeHandle() : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const {
  auto font = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
  return font ? CFont::FromHandle(font) : nullptr;
}

// State, style, position.

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }

DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }

namespace {

BOOL modifyStyle(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags) {
  if (!hwnd) return FALSE;
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, index));
  const DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(changed));
  if (flags) SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return modifyStyle(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return modifyStyle(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
  if (!::GetClientRect(m_hWnd, lpRect)) SetRectEmpty(lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
  if (!::GetWindowRect(m_hWnd, lpRect)) SetRectEmpty(lpRect);
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
  ::MapWindowPoints(m_hWnd, pwndTo ? pwndTo->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
  ::MapWindowPoints(m_hWnd, pwndTo ? pwndTo->m_hWnd : nullptr, lpPoint, nCount);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  if (!m_hWnd) return;
  const bool child = (GetStyle() & WS_CHILD) != 0;
  HWND centre = pAlternateOwner ? pAlternateOwner->m_hWnd : child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
  // A hidden or minimised owner is no place to be centred over.
  if (centre && !child && !::IsWindowVisible(centre)) centre = nullptr;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT bounds = area;
  if (child) {
    ::GetClientRect(centre, &area);
    bounds = area;
  } else if (centre) {
    ::GetWindowRect(centre, &area);
  }
  RECT self{};
  ::GetWindowRect(m_hWnd, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  int x = (area.left + area.right) / 2 - width / 2;
  int y = (area.top + area.bottom) / 2 - height / 2;
  // Kept inside the screen (or the parent's client area) where it fits.
  if (x + width > bounds.right) x = bounds.right - width;
  if (y + height > bounds.bottom) y = bounds.bottom - height;
  x = std::max<int>(x, bounds.left);
  y = std::max<int>(y, bounds.top);
  if (child) {
    POINT at{x, y};
    ::MapWindowPoints(centre, ::GetParent(m_hWnd), &at, 1);
    x = at.x;
    y = at.y;
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }

BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(
      SendMessageW(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
  return reinterpret_cast<HICON>(SendMessageW(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

// Painting.

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }

void CWnd::ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }

void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
  if (prgnUpdate) return FALSE;
  return ::RedrawWindow(m_hWnd, lpRectUpdate, nullptr, flags);
}

CDC* CWnd::GetDC() {
  HDC dc = ::GetDC(m_hWnd);
  return dc ? CDC::FromHandle(dc) : nullptr;
}

CDC* CWnd::GetWindowDC() {
  HDC dc = ::GetWindowDC(m_hWnd);
  return dc ? CDC::FromHandle(dc) : nullptr;
}

int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->GetSafeHdc()) : 0; }

// Focus, capture, timers.

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }

CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }

CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }

CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }

CWnd* CWnd::GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }

CWnd* CWnd::WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

// Messages.

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  // A null window would post to the thread: an object without a window
  // posts nowhere.
  if (!m_hWnd) return FALSE;
  return PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam);
}

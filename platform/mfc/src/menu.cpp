// CMenu: menus as objects over the USER layer's menus, and the popup menu a
// thread tracks, for the owner-drawn items' requests.
#include "afxwin.h"
#include "threadstate.h"

using winsim::mfc::threadMaps;
using winsim::mfc::threadState;

const CRuntimeClass CMenu::runtimeClass = CRuntimeClass::Described<CMenu, CObject>("CMenu");

namespace {

/// The menu, or the submenu of it, that holds command `itemId`.
HMENU menuHolding(HMENU menu, UINT itemId, int depth = 0) {
  const int count = GetMenuItemCount(menu);
  if (count <= 0 || depth > 32) return nullptr;
  for (int i = 0; i < count; ++i)
    if (GetMenuItemID(menu, i) == itemId) return menu;
  for (int i = 0; i < count; ++i)
    if (HMENU sub = GetSubMenu(menu, i))
      if (HMENU found = menuHolding(sub, itemId, depth + 1)) return found;
  return nullptr;
}

}  // namespace

namespace winsim::mfc {

CMenu* menuFromHandle(HMENU menu) { return CMenu::FromHandle(menu); }

CMenu* menuOfItem(HWND owner, UINT itemId) {
  const ThreadState& state = threadState();
  if (!state.trackingMenu || state.trackingWindow != owner) return nullptr;
  HMENU holder = menuHolding(state.trackingMenu, itemId);
  return holder ? CMenu::FromHandlePermanent(holder) : nullptr;
}

}  // namespace winsim::mfc

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!hMenu) return nullptr;
  auto* maps = threadMaps();
  return maps ? maps->menus.find(hMenu, threadState().dispatchDepth) : nullptr;
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) {
  if (!hMenu) return nullptr;
  auto* maps = threadMaps();
  return maps ? maps->menus.permanent(hMenu) : nullptr;
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (m_hMenu || !::IsMenu(hMenu)) return FALSE;
  auto* maps = threadMaps();
  if (!maps || !maps->menus.addPermanent(hMenu, this)) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU menu = m_hMenu;
  if (menu)
    if (auto* maps = threadMaps()) maps->menus.removePermanent(menu, this);
  m_hMenu = nullptr;
  return menu;
}

BOOL CMenu::CreateMenu() { return m_hMenu ? FALSE : Attach(::CreateMenu()); }

BOOL CMenu::CreatePopupMenu() { return m_hMenu ? FALSE : Attach(::CreatePopupMenu()); }

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem) {
  return AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem) {
  return InsertMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem) {
  return ModifyMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
  return static_cast<UINT>(::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck));
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
  return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}

UINT CMenu::GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }

UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

int CMenu::GetMenuString(UINT nIDItem, LPWSTR lpString, int nMaxCount, UINT nFlags) const {
  return GetMenuStringW(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  rString.Empty();
  const int length = GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
  if (length <= 0) return 0;
  const int copied = GetMenuStringW(m_hMenu, nIDItem, rString.GetBufferSetLength(length), length + 1, nFlags);
  rString.ReleaseBuffer(copied);
  return copied;
}

CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  HWND owner = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  // While the menu is up its owner's WM_MEASUREITEM requests name only an
  // item id: the tracked menu tells which menu object they are for.
  auto& state = threadState();
  const HMENU outerMenu = state.trackingMenu;
  const HWND outerWindow = state.trackingWindow;
  state.trackingMenu = m_hMenu;
  state.trackingWindow = owner;
  const BOOL result = ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, owner, lpRect);
  state.trackingMenu = outerMenu;
  state.trackingWindow = outerWindow;
  return result;
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

// Menu objects and their items. Menus belong to the process, so one lock
// guards them all; a submenu is owned by the item that holds it.
#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "menutable.h"
#include "win32/errors.h"
#include "winsim/expected.h"

using winsim::user::MenuItem;

namespace {

struct Menu {
  bool popup = false;
  std::vector<MenuItem> items;
};

struct MenuTable {
  std::mutex mutex;
  std::unordered_map<HMENU, Menu> menus;
  UINT_PTR next = 0x10000;
};

MenuTable& table() {
  // Kept for the process: menus may be destroyed while statics go away.
  static MenuTable* const instance = new MenuTable;
  return *instance;
}

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;
constexpr UINT kKindBits = MF_SEPARATOR | MF_OWNERDRAW | MF_POPUP | MF_BITMAP | MF_MENUBREAK | MF_MENUBARBREAK;

Menu* findMenu(MenuTable& t, HMENU menu) {
  auto it = t.menus.find(menu);
  return it == t.menus.end() ? nullptr : &it->second;
}

struct Location {
  Menu* menu = nullptr;
  std::size_t index = 0;
};

/// An item by position, or by command id in the menu and its submenus.
Location locate(MenuTable& t, HMENU menu, UINT position, UINT flags, int depth = 0) {
  Menu* m = findMenu(t, menu);
  if (!m || depth > 32) return {};
  if (flags & MF_BYPOSITION) return position < m->items.size() ? Location{m, position} : Location{};
  for (std::size_t i = 0; i < m->items.size(); ++i)
    if (!(m->items[i].flags & MF_POPUP) && m->items[i].id == position) return {m, i};
  for (const MenuItem& item : m->items)
    if (item.flags & MF_POPUP)
      if (Location inner = locate(t, reinterpret_cast<HMENU>(item.id), position, flags, depth + 1); inner.menu)
        return inner;
  return {};
}

winsim::Expected<MenuItem> makeItem(MenuTable& t, UINT flags, UINT_PTR id, LPCWSTR text) {
  MenuItem item;
  item.flags = flags & (kStateBits | kKindBits);
  item.id = id;
  if (flags & MF_POPUP) {
    Menu* sub = findMenu(t, reinterpret_cast<HMENU>(id));
    if (!sub) return winsim::makeError(ERROR_INVALID_MENU_HANDLE, "no such submenu");
    sub->popup = true;
  }
  if (flags & MF_OWNERDRAW)
    item.data = reinterpret_cast<ULONG_PTR>(text);
  else if (!(flags & (MF_SEPARATOR | MF_BITMAP)) && text)
    item.text = text;
  return item;
}

HMENU createMenu(bool popup) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  auto handle = reinterpret_cast<HMENU>(t.next);
  t.next += 0x10;
  t.menus[handle].popup = popup;
  return handle;
}

void destroyLocked(MenuTable& t, HMENU menu, int depth = 0) {
  auto it = t.menus.find(menu);
  if (it == t.menus.end() || depth > 32) return;
  const std::vector<MenuItem> items = std::move(it->second.items);
  t.menus.erase(it);
  for (const MenuItem& item : items)
    if (item.flags & MF_POPUP) destroyLocked(t, reinterpret_cast<HMENU>(item.id), depth + 1);
}

BOOL failWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

BOOL insertItem(HMENU menu, std::optional<UINT> position, UINT flags, UINT_PTR id, LPCWSTR text) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Menu* m = findMenu(t, menu);
  if (!m) return failWith(ERROR_INVALID_MENU_HANDLE);
  auto item = makeItem(t, flags, id, text);
  if (!item) return failWith(item.error().code);
  std::size_t at = m->items.size();
  if (position) {
    if (flags & MF_BYPOSITION) {
      at = std::min<std::size_t>(*position, m->items.size());
    } else if (Location found = locate(t, menu, *position, flags); found.menu) {
      m = found.menu;
      at = found.index;
    }
  }
  m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item).value());
  return TRUE;
}

BOOL takeItem(HMENU menu, UINT position, UINT flags, bool destroySubmenu) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Location found = locate(t, menu, position, flags);
  if (!found.menu) return failWith(ERROR_INVALID_MENU_HANDLE);
  const MenuItem item = found.menu->items[found.index];
  found.menu->items.erase(found.menu->items.begin() + static_cast<std::ptrdiff_t>(found.index));
  if (destroySubmenu && (item.flags & MF_POPUP)) destroyLocked(t, reinterpret_cast<HMENU>(item.id));
  return TRUE;
}

}  // namespace

namespace winsim::user {

std::optional<std::vector<MenuItem>> menuItems(HMENU menu) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Menu* m = findMenu(t, menu);
  if (!m) return std::nullopt;
  return m->items;
}

}  // namespace winsim::user

HMENU CreateMenu() { return createMenu(false); }

HMENU CreatePopupMenu() { return createMenu(true); }

BOOL DestroyMenu(HMENU hMenu) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  if (!findMenu(t, hMenu)) return failWith(ERROR_INVALID_MENU_HANDLE);
  destroyLocked(t, hMenu);
  return TRUE;
}

BOOL IsMenu(HMENU hMenu) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  return findMenu(t, hMenu) ? TRUE : FALSE;
}

BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  return insertItem(hMenu, std::nullopt, uFlags, uIDNewItem, lpNewItem);
}

BOOL InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  // An id or position that names no item appends, as on the platform.
  return insertItem(hMenu, uPosition == 0xFFFFFFFF ? std::nullopt : std::optional<UINT>(uPosition), uFlags, uIDNewItem,
                    lpNewItem);
}

BOOL ModifyMenuW(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Location found = locate(t, hMnu, uPosition, uFlags);
  if (!found.menu) return failWith(ERROR_INVALID_MENU_HANDLE);
  auto item = makeItem(t, uFlags, uIDNewItem, lpNewItem);
  if (!item) return failWith(item.error().code);
  found.menu->items[found.index] = std::move(item).value();
  return TRUE;
}

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return takeItem(hMenu, uPosition, uFlags, false); }

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return takeItem(hMenu, uPosition, uFlags, true); }

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Location found = locate(t, hMenu, uIDCheckItem, uCheck);
  if (!found.menu) return static_cast<DWORD>(-1);
  UINT& flags = found.menu->items[found.index].flags;
  const DWORD before = flags & MF_CHECKED;
  flags = (flags & ~MF_CHECKED) | (uCheck & MF_CHECKED);
  return before;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Location found = locate(t, hMenu, uIDEnableItem, uEnable);
  if (!found.menu) return -1;
  UINT& flags = found.menu->items[found.index].flags;
  const UINT before = flags & (MF_GRAYED | MF_DISABLED);
  flags = (flags & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
  return static_cast<BOOL>(before);
}

int GetMenuItemCount(HMENU hMenu) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Menu* m = findMenu(t, hMenu);
  if (!m) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return -1;
  }
  return static_cast<int>(m->items.size());
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Menu* m = findMenu(t, hMenu);
  if (!m || nPos < 0 || static_cast<std::size_t>(nPos) >= m->items.size()) return static_cast<UINT>(-1);
  const MenuItem& item = m->items[static_cast<std::size_t>(nPos)];
  return (item.flags & MF_POPUP) ? static_cast<UINT>(-1) : static_cast<UINT>(item.id);
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Location found = locate(t, hMenu, uId, uFlags);
  if (!found.menu) return static_cast<UINT>(-1);
  const MenuItem& item = found.menu->items[found.index];
  if (!(item.flags & MF_POPUP)) return item.flags;
  const Menu* sub = findMenu(t, reinterpret_cast<HMENU>(item.id));
  const UINT count = sub ? static_cast<UINT>(std::min<std::size_t>(sub->items.size(), 0xFF)) : 0;
  return (count << 8) | (item.flags & 0xFF);
}

int GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Location found = locate(t, hMenu, uIDItem, flags);
  if (lpString && cchMax > 0) lpString[0] = 0;
  if (!found.menu) return 0;
  const std::u16string& text = found.menu->items[found.index].text;
  if (!lpString) return static_cast<int>(text.size());
  if (cchMax <= 0) return 0;
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(cchMax - 1));
  std::copy_n(text.data(), n, lpString);
  lpString[n] = 0;
  return static_cast<int>(n);
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
  MenuTable& t = table();
  std::lock_guard lock(t.mutex);
  Menu* m = findMenu(t, hMenu);
  if (!m || nPos < 0 || static_cast<std::size_t>(nPos) >= m->items.size()) return nullptr;
  const MenuItem& item = m->items[static_cast<std::size_t>(nPos)];
  return (item.flags & MF_POPUP) ? reinterpret_cast<HMENU>(item.id) : nullptr;
}

// Menus: menu objects with their items, and popup menus tracked for a
// window (TrackPopupMenu).
//
// A menu is a process-wide object (any thread may fill it) that lives until
// DestroyMenu, which also destroys its submenus. Items are text (MF_STRING),
// separators, or owner-drawn (MF_OWNERDRAW: the item's "text" argument is
// its item data, and the owner window measures and draws it through
// WM_MEASUREITEM / WM_DRAWITEM with CtlType ODT_MENU, the item's command id
// in itemID and the menu in hwndItem).
//
// TrackPopupMenu shows the menu in a popup window of the calling thread and
// runs a modal loop on it: the pointer highlights the item under it and a
// release of the button picks it, a press outside the menu or Escape closes
// it; Up and Down move the highlight and Enter picks it; a character goes to
// the owner as WM_MENUCHAR (an MNC_EXECUTE answer picks the item at the
// position it names), else picks the item whose text has it after "&".
// Submenus are listed but not opened: picking one closes nothing. The owner
// hears WM_ENTERMENULOOP, WM_INITMENUPOPUP and WM_EXITMENULOOP, and gets the
// picked command as WM_COMMAND unless TPM_RETURNCMD or TPM_NONOTIFY.
#pragma once

#include "win32/gdi.h"
#include "win32/types.h"

struct HMENU__;
using HMENU = HMENU__*;

constexpr UINT MF_INSERT = 0x00000000;
constexpr UINT MF_CHANGE = 0x00000080;
constexpr UINT MF_APPEND = 0x00000100;
constexpr UINT MF_DELETE = 0x00000200;
constexpr UINT MF_REMOVE = 0x00001000;
constexpr UINT MF_BYCOMMAND = 0x00000000;
constexpr UINT MF_BYPOSITION = 0x00000400;
constexpr UINT MF_SEPARATOR = 0x00000800;
constexpr UINT MF_ENABLED = 0x00000000;
constexpr UINT MF_GRAYED = 0x00000001;
constexpr UINT MF_DISABLED = 0x00000002;
constexpr UINT MF_UNCHECKED = 0x00000000;
constexpr UINT MF_CHECKED = 0x00000008;
constexpr UINT MF_USECHECKBITMAPS = 0x00000200;
constexpr UINT MF_STRING = 0x00000000;
constexpr UINT MF_BITMAP = 0x00000004;
constexpr UINT MF_OWNERDRAW = 0x00000100;
constexpr UINT MF_POPUP = 0x00000010;
constexpr UINT MF_MENUBARBREAK = 0x00000020;
constexpr UINT MF_MENUBREAK = 0x00000040;
constexpr UINT MF_UNHILITE = 0x00000000;
constexpr UINT MF_HILITE = 0x00000080;
constexpr UINT MF_DEFAULT = 0x00001000;

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// Answers to WM_MENUCHAR, in the high word (the low word is an item position).
constexpr WORD MNC_IGNORE = 0;
constexpr WORD MNC_CLOSE = 1;
constexpr WORD MNC_EXECUTE = 2;
constexpr WORD MNC_SELECT = 3;

constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;

HMENU CreateMenu();
HMENU CreatePopupMenu();
/// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
/// uIDNewItem is the item's command id, or its submenu with MF_POPUP.
BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
BOOL InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
BOOL ModifyMenuW(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
/// Takes an item out; a submenu is kept (RemoveMenu) or destroyed (DeleteMenu).
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
/// The previous state (MF_CHECKED / MF_UNCHECKED), or -1 for no such item.
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
/// The previous state (MF_GRAYED, MF_DISABLED bits), or -1 for no such item.
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
int GetMenuItemCount(HMENU hMenu);
/// The command id at a position; -1 for a submenu or no item.
UINT GetMenuItemID(HMENU hMenu, int nPos);
/// The item's flags; for a submenu, its item count in the high byte. -1 for
/// no such item.
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
/// The item's text (its length with a null lpString).
int GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags);
HMENU GetSubMenu(HMENU hMenu, int nPos);
/// Tracks the popup menu at (x, y), screen coordinates, for hWnd. With
/// TPM_RETURNCMD the result is the picked command (0: none); otherwise TRUE
/// when an item was picked.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);

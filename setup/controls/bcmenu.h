// BCMenu: an owner-drawn menu whose items carry their own text and an
// optional picture, measured and painted by the menu itself in one of two
// looks: the classic 3D look, or the flat look with a tinted icon column of
// Windows XP. CButtonST holds one for its popup menu.
//
// Every item is appended owner-drawn with its record as the item data, so
// the window that tracks the menu (the button) hands the menu's
// WM_MEASUREITEM and WM_DRAWITEM requests here; its WM_MENUCHAR goes to
// FindKeyboardShortcut. A request whose item data is no record of this menu
// tree is left alone rather than read.
//
// Process-wide: the handles of the pop-ups appended to BCMenu objects (to
// recognise our own menus in WM_MENUCHAR), the command ids that have a
// picture with that picture (a command appended without one shows it), the
// version code of the system, the forced flat look and the classic-theme
// flag of the user.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "afximagelist.h"
#include "afxwin.h"

/// One item of a BCMenu.
struct BCMenuData {
  std::u16string text;  // may hold "&" before the shortcut letter
  int menuIconNormal = -1;
  int globalImageIndex = -1;
  UINT nFlags = 0;
  UINT_PTR nID = 0;  // the command, or the pop-up's handle
  std::unique_ptr<CImageList> bitmap;
};

constexpr UINT BCMENU_DRAWMODE_ORIGINAL = 0;
constexpr UINT BCMENU_DRAWMODE_XP = 1;

class BCMenu : public CMenu {
 public:
  static constexpr int kIconWidth = 16;
  static constexpr int kIconHeight = 15;
  /// The colour of a resource picture's pixels that are transparent.
  static constexpr COLORREF kPictureBackground = RGB(192, 192, 192);

  BCMenu() = default;
  ~BCMenu() override;

  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
  /// Replaces the menu by a menu resource of the resource module, every item
  /// owner-drawn and every pop-up a BCMenu. FALSE when the resource is
  /// missing or damaged (the menu is then empty).
  virtual BOOL LoadMenu(UINT nIDResource);
  virtual BOOL LoadMenu(LPCWSTR lpszResourceName);
  /// The same from a menu template in memory of dwSize bytes (nothing past
  /// them is read).
  BOOL LoadMenuIndirect(const void* lpMenuTemplate, DWORD dwSize);
  /// Forgets the menu's handles, destroys its BCMenu pop-ups and its items,
  /// then the menu itself.
  virtual BOOL DestroyMenu();

  /// Appends an item (a separator when nIDNewItem is 0; with MF_POPUP,
  /// nIDNewItem is the pop-up's handle) with the picture nIconNormal, a
  /// bitmap resource of kIconWidth x kIconHeight whose kPictureBackground
  /// pixels are transparent (-1: none). Makes the menu when it has none.
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = nullptr, int nIconNormal = -1);
  /// The same with picture xoffset of an image list.
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem, CImageList* il, int xoffset);
  /// A new BCMenu pop-up appended as item lpstrText, owned by this menu.
  BCMenu* AppendODPopupMenu(LPCWSTR lpstrText);

  /// Pictures for the check marks of items without a picture of their own
  /// (-1: the drawn mark). With bShare the list stays the caller's; else
  /// the menu takes it over and destroys it.
  void SetCheckMarkImages(CImageList* pList, BOOL bShare, int nSelected, int nUnselected);

  /// The item records in menu order.
  const std::vector<std::unique_ptr<BCMenuData>>& GetItems() const { return m_MenuList; }

  /// WM_MENUCHAR for a BCMenu pop-up: the first item whose lower-cased text
  /// holds "&" and the lower-cased key is executed (MNC_EXECUTE and its
  /// position); anything else is not handled (0).
  static LRESULT FindKeyboardShortcut(UINT nChar, UINT nFlags, CMenu* pMenu);
  /// Whether the menu is a pop-up of a BCMenu.
  static BOOL IsMenu(CMenu* submenu);
  static BOOL IsMenu(HMENU submenu);
  /// BCMENU_DRAWMODE_XP forces the flat look whatever the system.
  static void SetMenuDrawMode(UINT mode);
  /// The system's version code: 9x 0 (below 4), 3 (4.10), 4 (4.90), 2
  /// (other); NT 5 (4.x), 6 (5.0), 7 (5.1), 1 (other).
  static int GetVersionCode(const OSVERSIONINFOW& version);

 protected:
  BCMenuData* findRecord(ULONG_PTR itemData);
  bool flatLook() const;
  void drawClassic(CDC& dc, const BCMenuData& data, const DRAWITEMSTRUCT& dis);
  void drawFlat(CDC& dc, const BCMenuData& data, const DRAWITEMSTRUCT& dis);
  /// The picture an item shows: its own, the shared one of its command, or none.
  bool drawPicture(CDC& dc, const BCMenuData& data, CPoint at, bool disabled);
  void drawCheckMark(CDC& dc, const CRect& cell, bool checked, COLORREF colour);
  bool appendRecord(std::unique_ptr<BCMenuData> data);
  bool loadTemplate(const BYTE* bytes, DWORD size);

  std::vector<std::unique_ptr<BCMenuData>> m_MenuList;
  std::vector<HMENU> m_SubMenus;
  std::vector<std::unique_ptr<BCMenu>> m_ownedSubMenus;
  int m_iconX = kIconWidth;
  int m_iconY = kIconHeight;
  int m_selectCheck = -1;
  int m_unselectCheck = -1;
  CImageList* m_checkmaps = nullptr;
  BOOL m_checkmapsshare = TRUE;
};

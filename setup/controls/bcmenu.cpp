#include "bcmenu.h"

#include <algorithm>
#include <cwctype>
#include <mutex>

namespace {

constexpr DWORD kPlatformWin32Windows = 1;  // the Windows 9x family
constexpr int kMaxDepth = 32;               // pop-ups within pop-ups, beyond any real menu
constexpr const WCHAR* kThemeKey = u"Software\\Microsoft\\Plus!\\Themes\\Current";
constexpr std::u16string_view kClassicTheme = u"windows classic.theme";

/// What all BCMenu objects of the process share.
struct Shared {
  std::mutex mutex;
  std::vector<HMENU> menus;        // pop-ups appended to BCMenu objects
  std::vector<UINT_PTR> imageIds;  // commands with a picture, by index in `images`
  HIMAGELIST images = nullptr;     // made on first use, kept for the process
  bool forceFlat = false;
};

Shared& shared() {
  static Shared* s = new Shared;  // menus may be destroyed after static objects
  return *s;
}

char16_t lower(char16_t c) { return static_cast<char16_t>(std::towlower(static_cast<wint_t>(c))); }

std::u16string lowered(std::u16string text) {
  std::transform(text.begin(), text.end(), text.begin(), lower);
  return text;
}

int versionCode() {
  static const int code = [] {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) return 1;
    return BCMenu::GetVersionCode(version);
  }();
  return code;
}

bool classicTheme() {
  static const bool classic = [] {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kThemeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    WCHAR value[MAX_PATH] = {};
    DWORD type = 0, size = sizeof value - sizeof(WCHAR);
    const LSTATUS status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    return lowered(value).ends_with(kClassicTheme);
  }();
  return classic;
}

/// Version 7 (Windows XP) with its themes on.
bool themedXp() { return versionCode() == 7 && !classicTheme(); }

/// Moves each of red, green and blue by f of the way to 255.
COLORREF lighten(double f, COLORREF c) {
  if (!(f > 0 && f <= 1)) return c;
  auto part = [f](BYTE v) { return static_cast<BYTE>(v + f * (255 - v)); };
  return RGB(part(GetRValue(c)), part(GetGValue(c)), part(GetBValue(c)));
}

HIMAGELIST sharedImages() {
  Shared& s = shared();
  if (!s.images) s.images = ImageList_Create(BCMenu::kIconWidth, BCMenu::kIconHeight, ILC_COLORDDB | ILC_MASK, 4, 4);
  return s.images;
}

/// The menu font of the system: the one the menu layer draws its own items with.
HFONT menuFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_EXPANDTABS;

}  // namespace

BCMenu::~BCMenu() { DestroyMenu(); }

// Process-wide state.

int BCMenu::GetVersionCode(const OSVERSIONINFOW& version) {
  const DWORD major = version.dwMajorVersion, minor = version.dwMinorVersion;
  if (version.dwPlatformId == kPlatformWin32Windows) {
    if (major < 4) return 0;
    if (major == 4 && minor == 10) return 3;
    if (major == 4 && minor == 90) return 4;
    return 2;
  }
  if (major == 4) return 5;
  if (major == 5 && minor == 0) return 6;
  if (major == 5 && minor == 1) return 7;
  return 1;
}

void BCMenu::SetMenuDrawMode(UINT mode) {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  s.forceFlat = mode == BCMENU_DRAWMODE_XP;
}

BOOL BCMenu::IsMenu(HMENU submenu) {
  if (!submenu) return FALSE;
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  return std::find(s.menus.begin(), s.menus.end(), submenu) != s.menus.end() ? TRUE : FALSE;
}

BOOL BCMenu::IsMenu(CMenu* submenu) { return submenu ? IsMenu(submenu->GetSafeHmenu()) : FALSE; }

bool BCMenu::flatLook() const {
  HDC screen = GetDC(nullptr);
  const bool palette = screen && (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
  if (screen) ReleaseDC(nullptr, screen);
  if (palette) return false;
  bool forced = false;
  {
    Shared& s = shared();
    std::lock_guard lock(s.mutex);
    forced = s.forceFlat;
  }
  return !((versionCode() != 7 || classicTheme()) && !forced);
}

// Building the menu.

bool BCMenu::appendRecord(std::unique_ptr<BCMenuData> data) {
  if (!m_hMenu && !CreatePopupMenu()) return false;
  UINT flags = data->nFlags & ~(MF_BITMAP | MF_OWNERDRAW);
  const bool popup = (flags & MF_POPUP) != 0;
  if (!popup && data->nID == 0) flags |= MF_SEPARATOR;
  flags |= MF_OWNERDRAW;
  data->nFlags = flags;
  const auto submenu = popup ? reinterpret_cast<HMENU>(data->nID) : nullptr;
  if (!CMenu::AppendMenu(flags, data->nID, reinterpret_cast<LPCWSTR>(data.get()))) return false;

  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  if (popup) {
    s.menus.push_back(submenu);
    m_SubMenus.push_back(submenu);
  } else if (!(flags & MF_SEPARATOR)) {
    // A command shows its picture in every menu: the first picture given
    // for it is kept for the process.
    const auto known = std::find(s.imageIds.begin(), s.imageIds.end(), data->nID);
    if (known != s.imageIds.end()) {
      data->globalImageIndex = static_cast<int>(known - s.imageIds.begin());
    } else if (data->bitmap && data->menuIconNormal >= 0) {
      if (HICON icon = data->bitmap->ExtractIcon(data->menuIconNormal)) {
        const int index = ImageList_AddIcon(sharedImages(), icon);
        DestroyIcon(icon);
        if (index == static_cast<int>(s.imageIds.size())) {
          s.imageIds.push_back(data->nID);
          data->globalImageIndex = index;
        }
      }
    }
  }
  m_MenuList.push_back(std::move(data));
  return true;
}

BOOL BCMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem, int nIconNormal) {
  auto data = std::make_unique<BCMenuData>();
  data->text = lpszNewItem ? lpszNewItem : u"";
  data->nFlags = nFlags;
  data->nID = nIDNewItem;
  if (nIconNormal >= 0) {
    // A picture the resource module lacks leaves the item without one.
    CBitmap picture;
    auto list = std::make_unique<CImageList>();
    if (picture.LoadBitmap(static_cast<UINT>(nIconNormal)) &&
        list->Create(m_iconX, m_iconY, ILC_COLORDDB | ILC_MASK, 1, 1)) {
      data->menuIconNormal = list->Add(&picture, kPictureBackground);
      if (data->menuIconNormal >= 0) data->bitmap = std::move(list);
    }
  }
  return appendRecord(std::move(data)) ? TRUE : FALSE;
}

BOOL BCMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem, CImageList* il, int xoffset) {
  auto data = std::make_unique<BCMenuData>();
  data->text = lpszNewItem ? lpszNewItem : u"";
  data->nFlags = nFlags;
  data->nID = nIDNewItem;
  if (il) {
    if (HICON icon = il->ExtractIcon(xoffset)) {
      auto list = std::make_unique<CImageList>();
      if (list->Create(m_iconX, m_iconY, ILC_COLORDDB | ILC_MASK, 1, 1)) {
        data->menuIconNormal = list->Add(icon);
        if (data->menuIconNormal >= 0) data->bitmap = std::move(list);
      }
      DestroyIcon(icon);
    }
  }
  return appendRecord(std::move(data)) ? TRUE : FALSE;
}

BCMenu* BCMenu::AppendODPopupMenu(LPCWSTR lpstrText) {
  auto submenu = std::make_unique<BCMenu>();
  if (!submenu->CreatePopupMenu()) return nullptr;
  if (!AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(submenu->GetSafeHmenu()), lpstrText)) return nullptr;
  m_ownedSubMenus.push_back(std::move(submenu));
  return m_ownedSubMenus.back().get();
}

void BCMenu::SetCheckMarkImages(CImageList* pList, BOOL bShare, int nSelected, int nUnselected) {
  if (!m_checkmapsshare) delete m_checkmaps;
  m_checkmaps = nullptr;
  m_checkmapsshare = TRUE;
  if (pList && !bShare) {
    auto owned = std::make_unique<CImageList>();
    owned->Attach(pList->Detach());
    m_checkmaps = owned.release();
    m_checkmapsshare = FALSE;
  } else {
    m_checkmaps = pList;
  }
  m_selectCheck = m_checkmaps ? nSelected : -1;
  m_unselectCheck = m_checkmaps ? nUnselected : -1;
}

// Loading from a menu resource: a header of two words (version 0, offset),
// then the items, each an option word, a command word unless it is a
// pop-up, and its text; a pop-up's items follow it, and MF_END marks the
// last item of each level.

namespace {

constexpr WORD kMenuEnd = 0x0080;

class TemplateReader {
 public:
  TemplateReader(const BYTE* bytes, DWORD size) : m_bytes(bytes), m_size(size) {}
  bool word(WORD& out) {
    if (m_size - m_at < 2) return false;  // m_at never passes m_size
    out = static_cast<WORD>(m_bytes[m_at] | (m_bytes[m_at + 1] << 8));
    m_at += 2;
    return true;
  }
  bool text(std::u16string& out) {
    out.clear();
    for (WORD c = 0;;) {
      if (!word(c)) return false;
      if (c == 0) return true;
      out.push_back(static_cast<char16_t>(c));
    }
  }
  bool skip(DWORD bytes) {
    if (bytes > m_size - m_at) return false;
    m_at += bytes;
    return true;
  }

 private:
  const BYTE* m_bytes;
  DWORD m_size;
  DWORD m_at = 0;
};

}  // namespace

BOOL BCMenu::LoadMenuIndirect(const void* lpMenuTemplate, DWORD dwSize) {
  DestroyMenu();
  if (!lpMenuTemplate || !loadTemplate(static_cast<const BYTE*>(lpMenuTemplate), dwSize)) {
    DestroyMenu();
    return FALSE;
  }
  return TRUE;
}

bool BCMenu::loadTemplate(const BYTE* bytes, DWORD size) {
  TemplateReader reader(bytes, size);
  WORD version = 0, offset = 0;
  if (!reader.word(version) || !reader.word(offset) || version != 0 || !reader.skip(offset)) return false;
  if (!CMenu::CreateMenu()) return false;
  // The menus being filled, innermost last.
  std::vector<BCMenu*> open{this};
  while (!open.empty()) {
    WORD option = 0, id = 0;
    std::u16string text;
    if (!reader.word(option)) return false;
    const bool popup = (option & MF_POPUP) != 0;
    if (!popup && !reader.word(id)) return false;
    if (!reader.text(text)) return false;
    BCMenu* into = open.back();
    if (option & kMenuEnd) open.pop_back();
    const UINT flags = option & ~(kMenuEnd | MF_OWNERDRAW | MF_BITMAP);
    if (popup) {
      if (open.size() >= kMaxDepth) return false;
      BCMenu* submenu = into->AppendODPopupMenu(text.c_str());
      if (!submenu) return false;
      // Its state bits (grey, checked) stay with the pop-up item.
      if (flags & (MF_GRAYED | MF_DISABLED))
        into->EnableMenuItem(static_cast<UINT>(into->GetMenuItemCount() - 1),
                             MF_BYPOSITION | (flags & (MF_GRAYED | MF_DISABLED)));
      open.push_back(submenu);
    } else if (!into->AppendMenu(flags, id, text.c_str())) {
      return false;
    }
  }
  return true;
}

BOOL BCMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEW(nIDResource)); }

BOOL BCMenu::LoadMenu(LPCWSTR lpszResourceName) {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC found = FindResourceW(module, lpszResourceName, RT_MENU);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  return LoadMenuIndirect(bytes, bytes ? SizeofResource(module, found) : 0);
}

BOOL BCMenu::DestroyMenu() {
  {
    Shared& s = shared();
    std::lock_guard lock(s.mutex);
    for (HMENU menu : m_SubMenus) std::erase(s.menus, menu);
    if (m_hMenu) std::erase(s.menus, m_hMenu);
  }
  for (HMENU handle : m_SubMenus)
    if (auto* submenu = dynamic_cast<BCMenu*>(CMenu::FromHandlePermanent(handle))) submenu->DestroyMenu();
  m_ownedSubMenus.clear();
  m_SubMenus.clear();
  m_MenuList.clear();
  if (!m_checkmapsshare) delete m_checkmaps;
  m_checkmaps = nullptr;
  m_checkmapsshare = TRUE;
  m_selectCheck = m_unselectCheck = -1;
  return CMenu::DestroyMenu();
}

// Measuring and drawing.

BCMenuData* BCMenu::findRecord(ULONG_PTR itemData) {
  // Depth-first through this menu and its BCMenu pop-ups; item data that is
  // no record of theirs is never dereferenced.
  std::vector<std::pair<BCMenu*, int>> pending{{this, 0}};
  while (!pending.empty()) {
    auto [menu, depth] = pending.back();
    pending.pop_back();
    for (const auto& data : menu->m_MenuList)
      if (reinterpret_cast<ULONG_PTR>(data.get()) == itemData) return data.get();
    if (depth >= kMaxDepth) continue;
    for (HMENU handle : menu->m_SubMenus)
      if (auto* submenu = dynamic_cast<BCMenu*>(CMenu::FromHandlePermanent(handle)))
        pending.emplace_back(submenu, depth + 1);
  }
  return nullptr;
}

void BCMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
  if (!lpMIS || lpMIS->CtlType != ODT_MENU) return;
  const BCMenuData* data = findRecord(lpMIS->itemData);
  if (!data) return;
  const bool flat = flatLook();
  const int gap = flat ? 7 : 4;
  const int menuBar = GetSystemMetrics(SM_CYMENU);
  if (data->nFlags & MF_SEPARATOR) {
    lpMIS->itemWidth = 0;
    lpMIS->itemHeight = static_cast<UINT>(std::max((m_iconY + gap) / 2, menuBar / 2));
    return;
  }
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  HGDIOBJ old = dc.SelectObject(menuFont());
  CRect text(0, 0, 0, 0);
  dc.DrawText(data->text.c_str(), static_cast<int>(data->text.size()), &text, kTextFormat | DT_CALCRECT);
  dc.SelectObject(old);
  const int width = flat ? text.Width() + m_iconX + gap + 8 : text.Width() + 2 * m_iconX + 1;
  lpMIS->itemWidth = static_cast<UINT>(width);
  lpMIS->itemHeight = static_cast<UINT>(std::max(m_iconY + gap, menuBar));
}

void BCMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  if (!lpDIS || lpDIS->CtlType != ODT_MENU) return;
  const BCMenuData* data = findRecord(lpDIS->itemData);
  CDC* dc = CDC::FromHandle(lpDIS->hDC);
  if (!data || !dc) return;
  HGDIOBJ oldFont = dc->SelectObject(menuFont());
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldText = dc->GetTextColor();
  if (flatLook())
    drawFlat(*dc, *data, *lpDIS);
  else
    drawClassic(*dc, *data, *lpDIS);
  dc->SetTextColor(oldText);
  dc->SetBkMode(oldMode);
  dc->SelectObject(oldFont);
}

namespace {

/// The list and index of the picture an item shows, if any.
std::pair<HIMAGELIST, int> pictureOf(const BCMenuData& data) {
  if (data.bitmap && data.menuIconNormal >= 0) return {*data.bitmap, data.menuIconNormal};
  if (data.globalImageIndex >= 0) {
    Shared& s = shared();
    std::lock_guard lock(s.mutex);
    return {s.images, data.globalImageIndex};
  }
  return {nullptr, -1};
}

}  // namespace

bool BCMenu::drawPicture(CDC& dc, const BCMenuData& data, CPoint at, bool disabled) {
  const auto [list, index] = pictureOf(data);
  if (!list) return false;
  if (!disabled) return ImageList_Draw(list, index, dc, at.x, at.y, ILD_TRANSPARENT) != FALSE;
  HICON icon = ImageList_GetIcon(list, index, 0);
  if (!icon) return false;
  dc.DrawState(at, CSize(m_iconX, m_iconY), icon, DSS_DISABLED, static_cast<CBrush*>(nullptr));
  DestroyIcon(icon);
  return true;
}

void BCMenu::drawCheckMark(CDC& dc, const CRect& cell, bool checked, COLORREF colour) {
  const int image = checked ? m_selectCheck : m_unselectCheck;
  const CPoint at(cell.left + (cell.Width() - m_iconX) / 2, cell.top + (cell.Height() - m_iconY) / 2);
  if (m_checkmaps && image >= 0) {
    m_checkmaps->Draw(&dc, image, at, ILD_TRANSPARENT);
    return;
  }
  if (!checked) return;
  // A tick of three strokes, two pixels thick, in the middle of the cell.
  CPen pen(PS_SOLID, 1, colour);
  CPen* old = dc.SelectObject(&pen);
  const int x = cell.left + cell.Width() / 2 - 4, y = cell.top + cell.Height() / 2 - 1;
  for (int stroke = 0; stroke < 3; ++stroke) {
    dc.MoveTo(x, y + stroke);
    dc.LineTo(x + 3, y + 3 + stroke);
    dc.LineTo(x + 8, y - 2 + stroke);
  }
  dc.SelectObject(old);
}

void BCMenu::drawClassic(CDC& dc, const BCMenuData& data, const DRAWITEMSTRUCT& dis) {
  const CRect item(dis.rcItem);
  const COLORREF background = GetSysColor(themedXp() ? COLOR_BTNFACE : COLOR_MENU);
  dc.FillSolidRect(&item, background);
  if (data.nFlags & MF_SEPARATOR) {
    CRect line = item;
    line.top += item.Height() / 2;
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  const bool disabled = (dis.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool checked = (dis.itemState & ODS_CHECKED) != 0;
  const bool picture = pictureOf(data).first != nullptr;

  if (selected) {
    CRect selection = item;
    if (picture || checked) selection.left = item.left + m_iconX + 5;
    dc.FillSolidRect(&selection, GetSysColor(COLOR_HIGHLIGHT));
  }
  const CRect cell(item.left, item.top, item.left + m_iconX + 4, item.bottom);
  if (checked) {
    CRect inside = cell;
    inside.DeflateRect(1, 1);
    dc.FillSolidRect(&inside, lighten(0.6, background));
    dc.Draw3dRect(&cell, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  } else if (selected && picture && !disabled) {
    dc.Draw3dRect(&cell, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
  }
  const CPoint at(cell.left + 2, item.top + (item.Height() - m_iconY) / 2);
  if (!drawPicture(dc, data, at, disabled)) drawCheckMark(dc, cell, checked, GetSysColor(COLOR_MENUTEXT));

  CRect text(item.left + m_iconX + 8, item.top, item.right, item.bottom);
  const auto length = static_cast<int>(data.text.size());
  if (disabled) {
    if (!selected) {
      // Embossed: the highlight shows below and right of the grey.
      CRect below = text;
      below.OffsetRect(1, 1);
      dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
      dc.DrawText(data.text.c_str(), length, &below, kTextFormat);
    }
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
  } else {
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  }
  dc.DrawText(data.text.c_str(), length, &text, kTextFormat);
}

void BCMenu::drawFlat(CDC& dc, const BCMenuData& data, const DRAWITEMSTRUCT& dis) {
  const CRect item(dis.rcItem);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF columnColour = themedXp() ? face : lighten(0.25, face);
  const CRect column(item.left, item.top, item.left + m_iconX + 7, item.bottom);
  dc.FillSolidRect(&item, GetSysColor(COLOR_WINDOW));
  dc.FillSolidRect(&column, columnColour);
  dc.Draw3dRect(&column, columnColour, columnColour);
  if (data.nFlags & MF_SEPARATOR) {
    CRect line(column.right + 7, item.top + item.Height() / 2, item.right, item.bottom);
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  const bool disabled = (dis.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool checked = (dis.itemState & ODS_CHECKED) != 0;
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF selection = lighten(themedXp() ? 0.7 : 0.85, highlight);
  CBrush frame(highlight);
  if (selected && !disabled) {
    dc.FillSolidRect(&item, selection);
    dc.FrameRect(&item, &frame);
  }
  CRect cell = column;
  cell.DeflateRect(1, 1);
  if (checked) {
    dc.FillSolidRect(&cell, selected ? lighten(0.5, highlight) : selection);
    dc.FrameRect(&cell, &frame);
  }
  const CPoint at(column.left + (column.Width() - m_iconX) / 2, item.top + (item.Height() - m_iconY) / 2);
  if (!drawPicture(dc, data, at, disabled)) drawCheckMark(dc, cell, checked, GetSysColor(COLOR_MENUTEXT));

  CRect text(column.right + 5, item.top, item.right, item.bottom);
  dc.SetTextColor(GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
  dc.DrawText(data.text.c_str(), static_cast<int>(data.text.size()), &text, kTextFormat);
}

// The menu character.

LRESULT BCMenu::FindKeyboardShortcut(UINT nChar, UINT, CMenu* pMenu) {
  if (!IsMenu(pMenu)) return 0;
  auto* menu = dynamic_cast<BCMenu*>(CMenu::FromHandlePermanent(pMenu->GetSafeHmenu()));
  if (!menu) return 0;
  std::u16string key = u"&";
  key.push_back(lower(static_cast<char16_t>(nChar)));
  for (std::size_t i = 0; i < menu->m_MenuList.size(); ++i)
    if (lowered(menu->m_MenuList[i]->text).find(key) != std::u16string::npos)
      return MAKELRESULT(static_cast<WORD>(i), MNC_EXECUTE);
  return 0;
}

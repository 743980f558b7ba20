// Popup menus: the menu's window, drawing its items (or having the owner
// draw owner-drawn ones), and the modal loop that tracks the pointer and
// the keys until an item is picked or the menu is closed.
#include <algorithm>
#include <cwctype>
#include <vector>

#include "menutable.h"
#include "win32/errors.h"

using winsim::user::MenuItem;

namespace {

constexpr const WCHAR* kMenuClass = u"#32768";
constexpr int kCheckColumn = 16;  // room for a check mark before the text
constexpr int kTextMargin = 6;
constexpr int kSeparatorHeight = 8;

class Tracker {
 public:
  Tracker(HMENU menu, UINT flags, HWND owner) : m_menu(menu), m_flags(flags), m_owner(owner) {}

  /// The picked command, 0 when the menu closed without one.
  UINT_PTR run(int x, int y);

  void paint(HWND hwnd);

 private:
  struct Row {
    MenuItem item;
    RECT rect{};
  };

  void layout(HDC dc);
  HWND createWindow(int x, int y);
  int rowAt(POINT client) const;
  bool pickable(int row) const;
  void setHot(int row);
  void moveHot(int step);
  /// A character: the owner's WM_MENUCHAR answer, else the item with "&c".
  void character(WCHAR ch);
  void pick(int row);
  void handle(const MSG& msg);

  HMENU m_menu;
  UINT m_flags;
  HWND m_owner;
  HWND m_window = nullptr;
  HFONT m_font = nullptr;
  std::vector<Row> m_rows;
  SIZE m_size{};
  int m_hot = -1;
  bool m_done = false;
  UINT_PTR m_picked = 0;
};

LRESULT menuWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* tracker = reinterpret_cast<Tracker*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (tracker) {
        tracker->paint(hwnd);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // the items cover the whole window
    case WM_MOUSEACTIVATE:
      return 3;  // MA_NOACTIVATE: the owner stays active, as under a menu
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool registerMenuClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = menuWindowProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kMenuClass;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

/// The item's text without its "&" marks ("&&" is one "&").
std::u16string shownText(const std::u16string& text) {
  std::u16string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    shown.push_back(text[i]);
  }
  return shown;
}

char16_t lower(char16_t c) { return static_cast<char16_t>(std::towlower(static_cast<wint_t>(c))); }

/// The character after the first single "&", lower case; 0 when none.
char16_t mnemonic(const std::u16string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] != u'&') return lower(text[i + 1]);
    ++i;
  }
  return 0;
}

void Tracker::layout(HDC dc) {
  const auto items = winsim::user::menuItems(m_menu);
  m_rows.clear();
  if (!items) return;
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int textRow = std::max<int>(tm.tmHeight + 4, GetSystemMetrics(SM_CYMENU));
  int width = 0, y = 0;
  for (const MenuItem& item : *items) {
    int itemWidth = 0, itemHeight = textRow;
    // An owner-drawn separator is measured by its owner, as it is drawn.
    if (item.flags & MF_OWNERDRAW) {
      MEASUREITEMSTRUCT measure{ODT_MENU, 0, static_cast<UINT>(item.id), 0, 0, item.data};
      SendMessageW(m_owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
      itemWidth = static_cast<int>(measure.itemWidth);
      itemHeight = static_cast<int>(measure.itemHeight);
    } else if (item.flags & MF_SEPARATOR) {
      itemHeight = kSeparatorHeight;
    } else {
      const std::u16string text = shownText(item.text);
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      itemWidth = kCheckColumn + kTextMargin + extent.cx + kTextMargin + kCheckColumn;
    }
    m_rows.push_back(Row{item, RECT{0, y, 0, y + itemHeight}});
    width = std::max(width, itemWidth);
    y += itemHeight;
  }
  for (Row& row : m_rows) row.rect.right = width;
  m_size = SIZE{width, y};
}

HWND Tracker::createWindow(int x, int y) {
  RECT frame{0, 0, m_size.cx, m_size.cy};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  if (m_flags & TPM_CENTERALIGN)
    x -= width / 2;
  else if (m_flags & TPM_RIGHTALIGN)
    x -= width;
  if (m_flags & TPM_VCENTERALIGN)
    y -= height / 2;
  else if (m_flags & TPM_BOTTOMALIGN)
    y -= height;
  // Kept on the screen, as far as it fits.
  x = std::max(0, std::min(x, GetSystemMetrics(SM_CXSCREEN) - width));
  y = std::max(0, std::min(y, GetSystemMetrics(SM_CYSCREEN) - height));
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMenuClass, u"", WS_POPUP | WS_BORDER, x, y, width,
                              height, m_owner, nullptr, nullptr, nullptr);
  if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return hwnd;
}

void Tracker::paint(HWND hwnd) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  HGDIOBJ oldFont = SelectObject(dc, m_font);
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    const Row& row = m_rows[i];
    const MenuItem& item = row.item;
    const bool hot = static_cast<int>(i) == m_hot;
    const bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    if (item.flags & MF_OWNERDRAW) {
      UINT state = 0;
      if (hot) state |= ODS_SELECTED;
      if (item.flags & MF_GRAYED) state |= ODS_GRAYED;
      if (item.flags & MF_DISABLED) state |= ODS_DISABLED;
      if (item.flags & MF_CHECKED) state |= ODS_CHECKED;
      DRAWITEMSTRUCT draw{
          ODT_MENU, 0,        static_cast<UINT>(item.id), ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(m_menu), dc,
          row.rect, item.data};
      SendMessageW(m_owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
      continue;
    }
    FillRect(dc, &row.rect, GetSysColorBrush(hot && !(item.flags & MF_SEPARATOR) ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (item.flags & MF_SEPARATOR) {
      RECT line = row.rect;
      line.top = (row.rect.top + row.rect.bottom) / 2 - 1;
      line.bottom = line.top + 2;
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    SetTextColor(dc, GetSysColor(grayed ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    if (item.flags & MF_CHECKED) {
      RECT mark{row.rect.left, row.rect.top, row.rect.left + kCheckColumn, row.rect.bottom};
      DrawTextW(dc, u"\u2713", 1, &mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    RECT text = row.rect;
    text.left += kCheckColumn + kTextMargin;
    DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

int Tracker::rowAt(POINT client) const {
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (PtInRect(&m_rows[i].rect, client)) return static_cast<int>(i);
  return -1;
}

bool Tracker::pickable(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) return false;
  const UINT flags = m_rows[static_cast<std::size_t>(row)].item.flags;
  return !(flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_POPUP));
}

void Tracker::setHot(int row) {
  if (row == m_hot) return;
  for (int changed : {m_hot, row})
    if (changed >= 0) InvalidateRect(m_window, &m_rows[static_cast<std::size_t>(changed)].rect, FALSE);
  m_hot = row;
}

void Tracker::moveHot(int step) {
  const int count = static_cast<int>(m_rows.size());
  if (count == 0) return;
  int row = m_hot;
  for (int tried = 0; tried < count; ++tried) {
    row = row < 0 ? (step > 0 ? 0 : count - 1) : (row + step + count) % count;
    if (!(m_rows[static_cast<std::size_t>(row)].item.flags & MF_SEPARATOR)) break;
  }
  setHot(row);
}

void Tracker::character(WCHAR ch) {
  const LRESULT answer =
      SendMessageW(m_owner, WM_MENUCHAR, MAKEWPARAM(ch, static_cast<WORD>(MF_POPUP)), reinterpret_cast<LPARAM>(m_menu));
  const WORD code = HIWORD(static_cast<DWORD_PTR>(answer));
  const int position = LOWORD(static_cast<DWORD_PTR>(answer));
  if (code == MNC_EXECUTE) return pick(position);
  if (code == MNC_SELECT) return setHot(position);
  if (code == MNC_CLOSE) {
    m_done = true;
    return;
  }
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (mnemonic(m_rows[i].item.text) == lower(ch)) return pick(static_cast<int>(i));
}

void Tracker::pick(int row) {
  if (!pickable(row)) return;
  m_picked = m_rows[static_cast<std::size_t>(row)].item.id;
  m_done = true;
}

void Tracker::handle(const MSG& msg) {
  const bool rightButton = (m_flags & TPM_RIGHTBUTTON) != 0;
  auto clientOf = [&](const MSG& m) {
    POINT p{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    if (m.hwnd != m_window) MapWindowPoints(m.hwnd, m_window, &p, 1);
    return p;
  };
  RECT inside{0, 0, m_size.cx, m_size.cy};
  switch (msg.message) {
    case WM_MOUSEMOVE:
      setHot(rowAt(clientOf(msg)));
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      // A press outside closes the menu; inside, the release picks.
      if (const POINT p = clientOf(msg); !PtInRect(&inside, p)) m_done = true;
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (msg.message == WM_RBUTTONUP && !rightButton) return;
      if (const POINT p = clientOf(msg); PtInRect(&inside, p)) pick(rowAt(p));
      return;
    case WM_KEYDOWN:
      switch (static_cast<int>(msg.wParam)) {
        case VK_ESCAPE:
          m_done = true;
          return;
        case VK_UP:
          return moveHot(-1);
        case VK_DOWN:
          return moveHot(1);
        case VK_RETURN:
          return pick(m_hot);
        default:
          TranslateMessage(&msg);
          return;
      }
    case WM_CHAR:
      if (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN) character(static_cast<WCHAR>(msg.wParam));
      return;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      return;  // a menu takes the keyboard while it is open
    default:
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      return;
  }
}

UINT_PTR Tracker::run(int x, int y) {
  SendMessageW(m_owner, WM_ENTERMENULOOP, TRUE, 0);
  SendMessageW(m_owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m_menu), MAKELPARAM(0, FALSE));
  m_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, m_font);
  layout(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  m_window = m_rows.empty() ? nullptr : createWindow(x, y);
  if (m_window) {
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    SetCapture(m_window);
    MSG msg{};
    while (!m_done) {
      if (!GetMessageW(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
        break;
      }
      handle(msg);
      // Another window took the pointer, or the owner went away: the menu closes.
      if (!m_done && (GetCapture() != m_window || !IsWindow(m_owner))) m_done = true;
    }
    if (GetCapture() == m_window) ReleaseCapture();
    DestroyWindow(m_window);
  }
  if (IsWindow(m_owner)) SendMessageW(m_owner, WM_EXITMENULOOP, TRUE, 0);
  return m_picked;
}

}  // namespace

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
  if (!IsMenu(hMenu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!registerMenuClass()) return FALSE;
  Tracker tracker(hMenu, uFlags, hWnd);
  const UINT_PTR picked = tracker.run(x, y);
  if (uFlags & TPM_RETURNCMD) return static_cast<BOOL>(picked);
  if (!picked) return FALSE;
  if (!(uFlags & TPM_NONOTIFY)) PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(picked), 0), 0);
  return TRUE;
}

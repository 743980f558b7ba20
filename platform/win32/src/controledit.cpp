// The "Edit" class: text typed character by character, a selection and a
// caret, horizontal scrolling that keeps the caret in view, EN_* to the
// parent. The text is the window text.
#include <algorithm>

#include "controls.h"
#include "windowmanager.h"

namespace winsim::user {

namespace {

constexpr int kMargin = 2;
constexpr std::size_t kDefaultLimit = 30000;

struct EditState : ControlState {
  std::size_t anchor = 0;  // the selection runs from anchor to caret
  std::size_t caret = 0;
  int scroll = 0;  // pixels scrolled to the left
  HFONT font = nullptr;
  bool modified = false;
  std::size_t limit = kDefaultLimit;
};

std::size_t selStart(const EditState& e) { return std::min(e.anchor, e.caret); }
std::size_t selEnd(const EditState& e) { return std::max(e.anchor, e.caret); }

std::u16string shown(HWND hwnd, const std::u16string& text) {
  return (windowStyle(hwnd) & ES_PASSWORD) ? std::u16string(text.size(), u'*') : text;
}

int textWidth(HDC dc, std::u16string_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

/// Keeps the caret inside the visible width.
void scrollToCaret(HWND hwnd, EditState& e) {
  const DWORD style = windowStyle(hwnd);
  if (style & ES_MULTILINE) return;
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, fontOrSystem(e.font));
  const std::u16string text = shown(hwnd, windowText(hwnd));
  const int caretX = textWidth(dc, std::u16string_view(text).substr(0, e.caret));
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  const int visible = std::max(1, static_cast<int>(clientRect(hwnd).right) - 2 * kMargin);
  if (caretX - e.scroll > visible - 1) e.scroll = caretX - visible + 1;
  if (caretX < e.scroll) e.scroll = caretX;
  if (e.scroll < 0) e.scroll = 0;
}

void changed(HWND hwnd, EditState& e) {
  e.modified = true;
  scrollToCaret(hwnd, e);
  InvalidateRect(hwnd, nullptr, TRUE);
  notifyParent(hwnd, EN_UPDATE);
  notifyParent(hwnd, EN_CHANGE);
}

/// Replaces the selection with text, within the limit.
bool replaceSelection(HWND hwnd, EditState& e, std::u16string_view insert) {
  std::u16string text = windowText(hwnd);
  const std::size_t start = std::min(selStart(e), text.size());
  const std::size_t end = std::min(selEnd(e), text.size());
  const std::size_t room = e.limit > text.size() - (end - start) ? e.limit - (text.size() - (end - start)) : 0;
  if (insert.size() > room) {
    insert = insert.substr(0, room);
    notifyParent(hwnd, EN_MAXTEXT);
  }
  if (insert.empty() && start == end) return false;
  text.replace(start, end - start, insert);
  storeWindowText(hwnd, text);
  e.anchor = e.caret = start + insert.size();
  return true;
}

void typeCharacter(HWND hwnd, EditState& e, WCHAR ch) {
  const DWORD style = windowStyle(hwnd);
  if (style & ES_READONLY) return;
  if (ch == VK_BACK) {
    if (selStart(e) == selEnd(e)) {
      if (e.caret == 0) return;
      e.anchor = e.caret - 1;
    }
    if (replaceSelection(hwnd, e, u"")) changed(hwnd, e);
    return;
  }
  std::u16string insert;
  if (ch == u'\r' || ch == u'\n') {
    if (!(style & ES_MULTILINE)) return;
    insert = u"\r\n";
  } else if (ch == u'\t') {
    if (!(style & ES_MULTILINE)) return;
    insert = u"\t";
  } else if (ch < 0x20) {
    return;
  } else {
    if ((style & ES_NUMBER) && (ch < u'0' || ch > u'9')) return;
    WCHAR c = ch;
    if ((style & ES_UPPERCASE) && c >= u'a' && c <= u'z') c = static_cast<WCHAR>(c - u'a' + u'A');
    if ((style & ES_LOWERCASE) && c >= u'A' && c <= u'Z') c = static_cast<WCHAR>(c - u'A' + u'a');
    insert.push_back(c);
  }
  if (replaceSelection(hwnd, e, insert)) changed(hwnd, e);
}

void paint(HWND hwnd, HDC dc, EditState& e) {
  const DWORD style = windowStyle(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  HBRUSH brush = controlColor(hwnd, dc, (style & ES_READONLY) || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  const RECT client = clientRect(hwnd);
  fillUnlessHollow(dc, client, brush);
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  HGDIOBJ oldFont = SelectObject(dc, fontOrSystem(e.font));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const std::u16string text = shown(hwnd, windowText(hwnd));
  const bool focused = hasFocus(hwnd);
  if (style & ES_MULTILINE) {
    RECT area{client.left + kMargin, client.top + 1, client.right - kMargin, client.bottom};
    UINT format = DT_EXPANDTABS | DT_NOPREFIX | ((style & ES_AUTOHSCROLL) ? 0 : DT_WORDBREAK);
    if ((style & 3) == ES_CENTER) format |= DT_CENTER;
    if ((style & 3) == ES_RIGHT) format |= DT_RIGHT;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    SelectObject(dc, oldFont);
    return;
  }
  const int y = std::max<int>(0, (client.bottom - tm.tmHeight) / 2);
  int x = kMargin - e.scroll;
  const int full = textWidth(dc, text);
  const int visible = client.right - 2 * kMargin;
  if ((style & 3) == ES_CENTER && full < visible) x = kMargin + (visible - full) / 2;
  if ((style & 3) == ES_RIGHT && full < visible) x = client.right - kMargin - full;
  const std::size_t a = std::min(selStart(e), text.size()), b = std::min(selEnd(e), text.size());
  const std::u16string_view all(text);
  const COLORREF textColor = GetTextColor(dc);
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
  if (a < b && (focused || (style & ES_NOHIDESEL))) {
    const int left = x + textWidth(dc, all.substr(0, a));
    const int right = x + textWidth(dc, all.substr(0, b));
    RECT band{left, y, right, y + tm.tmHeight};
    FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    TextOutW(dc, left, y, text.c_str() + a, static_cast<int>(b - a));
    SetTextColor(dc, textColor);
  }
  if (focused) {
    const int cx = x + textWidth(dc, all.substr(0, std::min(e.caret, text.size())));
    RECT caret{cx, y, cx + 1, y + tm.tmHeight};
    FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
  }
  SelectObject(dc, oldFont);
}

/// The character position nearest a client x.
std::size_t positionAt(HWND hwnd, EditState& e, int x) {
  HDC dc = GetDC(hwnd);
  if (!dc) return e.caret;
  HGDIOBJ old = SelectObject(dc, fontOrSystem(e.font));
  const std::u16string text = shown(hwnd, windowText(hwnd));
  std::size_t best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const int at = kMargin - e.scroll + textWidth(dc, std::u16string_view(text).substr(0, i));
    if (std::abs(at - x) < bestDistance) {
      bestDistance = std::abs(at - x);
      best = i;
    }
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return best;
}

}  // namespace

LRESULT editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto e = controlState<EditState>(hwnd);
  if (!e) {
    if (message == WM_NCDESTROY) return DefWindowProcW(hwnd, message, wParam, lParam);
    setControlState(hwnd, std::make_shared<EditState>());
    e = controlState<EditState>(hwnd);
    if (!e) return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const DWORD style = windowStyle(hwnd);
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | ((style & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(hwnd, dc, *e);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CHAR:
      typeCharacter(hwnd, *e, static_cast<WCHAR>(wParam));
      return 0;
    case WM_KEYDOWN: {
      const std::size_t length = windowText(hwnd).size();
      switch (wParam) {
        case VK_LEFT:
          e->caret = e->caret > 0 ? e->caret - 1 : 0;
          break;
        case VK_RIGHT:
          e->caret = std::min(length, e->caret + 1);
          break;
        case VK_HOME:
          e->caret = 0;
          break;
        case VK_END:
          e->caret = length;
          break;
        case VK_DELETE:
          if (style & ES_READONLY) return 0;
          if (selStart(*e) == selEnd(*e)) e->caret = std::min(length, e->caret + 1);
          if (replaceSelection(hwnd, *e, u"")) changed(hwnd, *e);
          return 0;
        default:
          return 0;
      }
      e->anchor = e->caret;
      scrollToCaret(hwnd, *e);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (!hasFocus(hwnd)) SetFocus(hwnd);
      e->anchor = e->caret = positionAt(hwnd, *e, GET_X_LPARAM(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      InvalidateRect(hwnd, nullptr, TRUE);
      notifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, TRUE);
      notifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT: {
      std::u16string text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
      if (text.size() > e->limit) text.resize(e->limit);
      storeWindowText(hwnd, text);
      e->anchor = e->caret = 0;
      e->scroll = 0;
      e->modified = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      if (!(style & ES_MULTILINE)) notifyParent(hwnd, EN_CHANGE);
      return TRUE;
    }
    case WM_SETFONT:
      e->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(e->font);
    case EM_GETSEL: {
      const auto a = static_cast<DWORD>(selStart(*e)), b = static_cast<DWORD>(selEnd(*e));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
      return MAKELRESULT(static_cast<WORD>(std::min<DWORD>(a, 0xFFFF)), static_cast<WORD>(std::min<DWORD>(b, 0xFFFF)));
    }
    case EM_SETSEL: {
      const std::size_t length = windowText(hwnd).size();
      const auto start = static_cast<long long>(static_cast<INT_PTR>(wParam));
      const auto end = static_cast<long long>(lParam);
      if (start < 0) {
        e->anchor = e->caret;  // no selection; the caret stays
      } else {
        e->anchor = std::min<std::size_t>(static_cast<std::size_t>(start), length);
        e->caret = end < 0 ? length : std::min<std::size_t>(static_cast<std::size_t>(end), length);
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case EM_SCROLLCARET:
      scrollToCaret(hwnd, *e);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case EM_REPLACESEL:
      if (replaceSelection(hwnd, *e, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"")) changed(hwnd, *e);
      return 0;
    case EM_LIMITTEXT:
      e->limit = wParam ? static_cast<std::size_t>(wParam) : 0x7FFFFFFE;
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(e->limit);
    case EM_GETMODIFY:
      return e->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      e->modified = wParam != 0;
      return 0;
    case EM_SETREADONLY: {
      const DWORD now = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
      SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(wParam ? now | ES_READONLY : now & ~ES_READONLY));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_GETLINECOUNT: {
      const std::u16string text = windowText(hwnd);
      return 1 + static_cast<LRESULT>(std::count(text.begin(), text.end(), u'\n'));
    }
    case EM_GETRECT: {
      RECT r = clientRect(hwnd);
      InflateRect(&r, -kMargin, 0);
      if (lParam) *reinterpret_cast<RECT*>(lParam) = r;
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace winsim::user

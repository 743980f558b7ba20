// The "Button" class: push buttons, check boxes, radio buttons, group boxes
// and owner-drawn buttons (WM_DRAWITEM to the parent as their state changes).
#include <algorithm>
#include <cmath>

#include "controls.h"
#include "windowmanager.h"

namespace winsim::user {

namespace {

constexpr int kBoxSize = 13;

struct ButtonState : ControlState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  bool tracking = false;  // the left button went down on it and it has the capture
  HFONT font = nullptr;
  HANDLE image = nullptr;
  UINT imageType = IMAGE_BITMAP;
};

DWORD typeOf(HWND hwnd) { return windowStyle(hwnd) & BS_TYPEMASK; }

bool isCheckType(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool isRadioType(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

void sendDrawItem(HWND hwnd, HDC dc, UINT action, const ButtonState& b) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  UINT state = 0;
  if (b.pushed) state |= ODS_SELECTED;
  if (b.focused) state |= ODS_FOCUS;
  if (!IsWindowEnabled(hwnd)) state |= ODS_DISABLED;
  DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(GetDlgCtrlID(hwnd)), 0, action, state, hwnd, dc, clientRect(hwnd),
                      0};
  // The owner draws with the button's font selected, as on Windows.
  HGDIOBJ const oldFont = SelectObject(dc, fontOrSystem(b.font));
  SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  SelectObject(dc, oldFont);
}

void drawImage(HDC dc, const RECT& area, const ButtonState& b, POINT shift) {
  if (!b.image) return;
  if (b.imageType == IMAGE_ICON) {
    ICONINFO info{};
    if (!GetIconInfo(static_cast<HICON>(b.image), &info)) return;
    BITMAP bm{};
    GetObjectW(info.hbmMask, sizeof bm, &bm);
    const int w = bm.bmWidth, h = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DrawIconEx(dc, (area.left + area.right - w) / 2 + shift.x, (area.top + area.bottom - h) / 2 + shift.y,
               static_cast<HICON>(b.image), w, h, 0, nullptr, DI_NORMAL);
    return;
  }
  BITMAP bm{};
  if (!GetObjectW(b.image, sizeof bm, &bm)) return;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, b.image);
  BitBlt(dc, (area.left + area.right - bm.bmWidth) / 2 + shift.x, (area.top + area.bottom - bm.bmHeight) / 2 + shift.y,
         bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void drawCaption(HWND hwnd, HDC dc, RECT area, UINT format, bool enabled) {
  const std::u16string text = windowText(hwnd);
  SetBkMode(dc, TRANSPARENT);
  if (!enabled) {
    // Embossed, as disabled text is drawn.
    RECT shadow = area;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
}

void paintPush(HWND hwnd, HDC dc, const ButtonState& b, DWORD style) {
  controlColor(hwnd, dc, WM_CTLCOLORBTN);
  RECT r = clientRect(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (isDefault || b.focused) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  if (b.pushed) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&r, -1, -1);
  } else {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  }
  const POINT shift = b.pushed ? POINT{1, 1} : POINT{0, 0};
  if (style & (BS_ICON | BS_BITMAP)) {
    drawImage(dc, r, b, shift);
  } else {
    HGDIOBJ oldFont = SelectObject(dc, fontOrSystem(b.font));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT text = r;
    OffsetRect(&text, shift.x, shift.y);
    drawCaption(hwnd, dc, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, enabled);
    SelectObject(dc, oldFont);
  }
  if (b.focused) {
    RECT focus = clientRect(hwnd);
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

void drawRadioMark(HDC dc, const RECT& box, bool checked, bool pushed) {
  // A disc of 12 pixels: rows of the circle, a dark rim and a light face.
  const int size = box.right - box.left;
  const double radius = size / 2.0;
  for (int y = 0; y < size; ++y) {
    const double dy = y + 0.5 - radius;
    const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
    RECT row{box.left + static_cast<int>(radius - half + 0.5), box.top + y,
             box.left + static_cast<int>(radius + half + 0.5), box.top + y + 1};
    FillRect(dc, &row, GetSysColorBrush(COLOR_BTNSHADOW));
    if (y > 0 && y < size - 1) {
      RECT face = row;
      InflateRect(&face, -1, 0);
      FillRect(dc, &face, GetSysColorBrush(pushed ? COLOR_BTNFACE : COLOR_WINDOW));
    }
  }
  if (checked) {
    RECT dot{box.left + size / 2 - 2, box.top + size / 2 - 2, box.left + size / 2 + 2, box.top + size / 2 + 2};
    FillRect(dc, &dot, GetSysColorBrush(COLOR_WINDOWTEXT));
  }
}

void drawCheckMark(HDC dc, const RECT& box, UINT check, bool pushed) {
  RECT r = box;
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillRect(dc, &r, GetSysColorBrush(check == BST_INDETERMINATE || pushed ? COLOR_BTNFACE : COLOR_WINDOW));
  if (check == BST_UNCHECKED) return;
  // A tick of three-pixel strokes.
  const int x = r.left + 1, y = r.top + 3;
  for (int i = 0; i < 7; ++i) {
    const int top = i < 3 ? y + i + 1 : y + 5 - i + 2;
    RECT stroke{x + i, top, x + i + 1, top + 3};
    FillRect(dc, &stroke, GetSysColorBrush(check == BST_INDETERMINATE ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
  }
}

void paintCheck(HWND hwnd, HDC dc, const ButtonState& b, DWORD style) {
  HBRUSH brush = controlColor(hwnd, dc, WM_CTLCOLORSTATIC);
  const RECT client = clientRect(hwnd);
  fillUnlessHollow(dc, client, brush);
  const bool leftText = (style & BS_LEFTTEXT) != 0;
  const int top = (client.bottom - kBoxSize) / 2;
  RECT box{leftText ? client.right - kBoxSize : 0, top, leftText ? client.right : kBoxSize, top + kBoxSize};
  if (isRadioType(style & BS_TYPEMASK))
    drawRadioMark(dc, box, b.check == BST_CHECKED, b.pushed);
  else
    drawCheckMark(dc, box, b.check, b.pushed);
  RECT text = client;
  if (leftText)
    text.right = box.left - 4;
  else
    text.left = box.right + 4;
  HGDIOBJ oldFont = SelectObject(dc, fontOrSystem(b.font));
  const UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER);
  drawCaption(hwnd, dc, text, format, IsWindowEnabled(hwnd));
  if (b.focused) {
    const std::u16string caption = windowText(hwnd);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    RECT focus{text.left - 1, (client.bottom - extent.cy) / 2 - 1, text.left + extent.cx + 1,
               (client.bottom + extent.cy) / 2 + 1};
    DrawFocusRect(dc, &focus);
  }
  SelectObject(dc, oldFont);
}

void paintGroup(HWND hwnd, HDC dc, const ButtonState& b) {
  HBRUSH brush = controlColor(hwnd, dc, WM_CTLCOLORSTATIC);
  const RECT client = clientRect(hwnd);
  fillUnlessHollow(dc, client, brush);
  HGDIOBJ oldFont = SelectObject(dc, fontOrSystem(b.font));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  RECT frame{client.left, client.top + tm.tmHeight / 2, client.right, client.bottom};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::u16string caption = windowText(hwnd);
  if (!caption.empty()) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    RECT label{8, 0, 8 + extent.cx + 4, tm.tmHeight};
    fillUnlessHollow(dc, label, brush);
    label.left += 2;
    drawCaption(hwnd, dc, label, DT_LEFT | DT_SINGLELINE, IsWindowEnabled(hwnd));
  }
  SelectObject(dc, oldFont);
}

void paint(HWND hwnd, HDC dc, UINT action, const ButtonState& b) {
  const DWORD style = windowStyle(hwnd);
  const DWORD type = style & BS_TYPEMASK;
  if (type == BS_OWNERDRAW) {
    HBRUSH brush = controlColor(hwnd, dc, WM_CTLCOLORBTN);
    if (action == ODA_DRAWENTIRE) fillUnlessHollow(dc, clientRect(hwnd), brush);
    sendDrawItem(hwnd, dc, action, b);
  } else if (type == BS_GROUPBOX) {
    paintGroup(hwnd, dc, b);
  } else if ((isCheckType(type) || isRadioType(type)) && !(style & BS_PUSHLIKE)) {
    paintCheck(hwnd, dc, b, style);
  } else {
    paintPush(hwnd, dc, b, style);
  }
}

/// Redraws at once for an owner-drawn button (the owner sees each change of
/// state as it happens), later for the others.
void stateChanged(HWND hwnd, UINT action, const ButtonState& b) {
  if ((windowStyle(hwnd) & BS_TYPEMASK) == BS_OWNERDRAW) {
    if (!IsWindowVisible(hwnd)) return;
    HDC dc = GetDC(hwnd);
    paint(hwnd, dc, action, b);
    ReleaseDC(hwnd, dc);
  } else {
    InvalidateRect(hwnd, nullptr, FALSE);
  }
}

void setPushed(HWND hwnd, ButtonState& b, bool pushed) {
  if (b.pushed == pushed) return;
  b.pushed = pushed;
  stateChanged(hwnd, ODA_SELECT, b);
}

/// What a completed click does before the parent hears of it.
void clicked(HWND hwnd, ButtonState& b) {
  const DWORD type = typeOf(hwnd);
  if (type == BS_AUTOCHECKBOX) {
    b.check = b.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    InvalidateRect(hwnd, nullptr, FALSE);
  } else if (type == BS_AUTO3STATE) {
    b.check = (b.check + 1) % 3;
    InvalidateRect(hwnd, nullptr, FALSE);
  } else if (type == BS_AUTORADIOBUTTON) {
    // The other automatic radio buttons of its group go off.
    HWND parent = GetParent(hwnd);
    for (HWND c = GetNextDlgGroupItem(parent, hwnd, FALSE); c && c != hwnd; c = GetNextDlgGroupItem(parent, c, FALSE))
      if ((windowStyle(c) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) SendMessageW(c, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
  }
  notifyParent(hwnd, BN_CLICKED);
}

bool pointInside(HWND hwnd, LPARAM lParam) {
  const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const RECT r = clientRect(hwnd);
  return PtInRect(&r, pt);
}

}  // namespace

LRESULT buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto b = controlState<ButtonState>(hwnd);
  if (!b) {
    if (message == WM_NCDESTROY) return DefWindowProcW(hwnd, message, wParam, lParam);
    setControlState(hwnd, std::make_shared<ButtonState>());
    b = controlState<ButtonState>(hwnd);
    if (!b) return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const DWORD type = typeOf(hwnd);
  switch (message) {
    case WM_GETDLGCODE:
      if (type == BS_GROUPBOX) return DLGC_STATIC;
      if (isRadioType(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (type == BS_PUSHBUTTON || type == BS_OWNERDRAW || type == BS_USERBUTTON)
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    case WM_NCHITTEST:
      if (type == BS_GROUPBOX) return HTTRANSPARENT;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;  // everything is drawn in WM_PAINT
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(hwnd, dc, ODA_DRAWENTIRE, *b);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (type == BS_GROUPBOX) return 0;
      if (!hasFocus(hwnd)) SetFocus(hwnd);
      SetCapture(hwnd);
      b->tracking = true;
      setPushed(hwnd, *b, true);
      return 0;
    case WM_MOUSEMOVE:
      if (b->tracking) setPushed(hwnd, *b, pointInside(hwnd, lParam));
      return 0;
    case WM_LBUTTONUP: {
      if (!b->tracking) return 0;
      b->tracking = false;
      const bool click = b->pushed && pointInside(hwnd, lParam);
      setPushed(hwnd, *b, false);
      ReleaseCapture();
      if (click) clicked(hwnd, *b);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (b->tracking && reinterpret_cast<HWND>(lParam) != hwnd) {
        b->tracking = false;
        setPushed(hwnd, *b, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) setPushed(hwnd, *b, true);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && b->pushed) {
        setPushed(hwnd, *b, false);
        clicked(hwnd, *b);
      }
      return 0;
    case WM_SETFOCUS:
      b->focused = true;
      stateChanged(hwnd, ODA_FOCUS, *b);
      if (windowStyle(hwnd) & BS_NOTIFY) notifyParent(hwnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      b->focused = false;
      if (b->tracking) {
        b->tracking = false;
        ReleaseCapture();
      }
      setPushed(hwnd, *b, false);
      stateChanged(hwnd, ODA_FOCUS, *b);
      if (windowStyle(hwnd) & BS_NOTIFY) notifyParent(hwnd, BN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
    case WM_SYSCOLORCHANGE:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      b->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(b->font);
    case BM_GETCHECK:
      return (isCheckType(type) || isRadioType(type)) ? b->check : BST_UNCHECKED;
    case BM_SETCHECK:
      if (isCheckType(type) || isRadioType(type)) {
        const UINT check = wParam == BST_INDETERMINATE && (type == BS_3STATE || type == BS_AUTO3STATE)
                               ? BST_INDETERMINATE
                               : (wParam ? BST_CHECKED : BST_UNCHECKED);
        if (check != b->check) {
          b->check = check;
          InvalidateRect(hwnd, nullptr, FALSE);
        }
      }
      return 0;
    case BM_GETSTATE:
      return b->check | (b->pushed ? BST_PUSHED : 0) | (b->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      setPushed(hwnd, *b, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
      SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>((style & 0xFFFF0000u) | (wParam & 0xFFFFu)));
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      if (!IsWindowEnabled(hwnd)) return 0;
      SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
      return 0;
    case BM_GETIMAGE:
      return reinterpret_cast<LRESULT>(wParam == b->imageType ? b->image : nullptr);
    case BM_SETIMAGE: {
      HANDLE old = b->image;
      b->image = reinterpret_cast<HANDLE>(lParam);
      b->imageType = static_cast<UINT>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace winsim::user

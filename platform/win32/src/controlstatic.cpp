// The "Static" class: texts (SS_LEFT, SS_CENTER, SS_RIGHT ...), pictures
// (SS_BITMAP, SS_ICON, from the template's resource id or STM_SETIMAGE),
// rectangles and frames, and clicks reported with SS_NOTIFY.
#include "controls.h"
#include "win32/image.h"
#include "windowmanager.h"

namespace winsim::user {

namespace {

struct StaticState : ControlState {
  HFONT font = nullptr;
  HANDLE image = nullptr;
  UINT imageType = IMAGE_BITMAP;
  bool ownsImage = false;  // loaded from the template's resource: freed with the control
};

DWORD kindOf(DWORD style) { return style & SS_TYPEMASK; }

SIZE imageSize(HANDLE image, UINT type) {
  if (!image) return SIZE{0, 0};
  if (type == IMAGE_BITMAP) {
    BITMAP bm{};
    if (!GetObjectW(image, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
  }
  ICONINFO info{};
  if (!GetIconInfo(static_cast<HICON>(image), &info)) return SIZE{0, 0};
  BITMAP bm{};
  GetObjectW(info.hbmMask, sizeof bm, &bm);
  const SIZE size{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return size;
}

/// A picture control takes its picture's size unless told to keep its own.
void fitToImage(HWND hwnd, const StaticState& st) {
  const DWORD style = windowStyle(hwnd);
  if (style & (SS_REALSIZECONTROL | SS_CENTERIMAGE)) return;
  const SIZE size = imageSize(st.image, st.imageType);
  if (size.cx > 0 && size.cy > 0)
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void paintImage(HWND hwnd, HDC dc, const StaticState& st, DWORD style) {
  HBRUSH brush = controlColor(hwnd, dc, WM_CTLCOLORSTATIC);
  const RECT client = clientRect(hwnd);
  fillUnlessHollow(dc, client, brush);
  if (!st.image) return;
  const SIZE size = imageSize(st.image, st.imageType);
  RECT to{0, 0, size.cx, size.cy};
  if (style & SS_REALSIZECONTROL) {
    to = client;
  } else if (style & SS_CENTERIMAGE) {
    OffsetRect(&to, (client.right - size.cx) / 2, (client.bottom - size.cy) / 2);
  }
  if (st.imageType == IMAGE_BITMAP) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, st.image);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, memory, 0, 0, size.cx, size.cy, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  } else {
    DrawIconEx(dc, to.left, to.top, static_cast<HICON>(st.image), to.right - to.left, to.bottom - to.top, 0, nullptr,
               DI_NORMAL);
  }
}

void paintText(HWND hwnd, HDC dc, const StaticState& st, DWORD style) {
  HBRUSH brush = controlColor(hwnd, dc, WM_CTLCOLORSTATIC);
  RECT client = clientRect(hwnd);
  fillUnlessHollow(dc, client, brush);
  UINT format = DT_EXPANDTABS;
  switch (kindOf(style)) {
    case SS_CENTER:
      format |= DT_CENTER | DT_WORDBREAK;
      break;
    case SS_RIGHT:
      format |= DT_RIGHT | DT_WORDBREAK;
      break;
    case SS_SIMPLE:
      format = DT_SINGLELINE;
      break;
    case SS_LEFTNOWORDWRAP:
      break;
    default:
      format |= DT_WORDBREAK;
      break;
  }
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  HGDIOBJ oldFont = SelectObject(dc, fontOrSystem(st.font));
  const std::u16string text = windowText(hwnd);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
  SelectObject(dc, oldFont);
}

void paintShape(HWND hwnd, HDC dc, DWORD style) {
  RECT client = clientRect(hwnd);
  switch (kindOf(style)) {
    case SS_BLACKRECT:
      FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
      break;
    case SS_GRAYRECT:
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
      break;
    case SS_WHITERECT:
      FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
      break;
    case SS_BLACKFRAME:
      FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
      break;
    case SS_GRAYFRAME:
      FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
      break;
    case SS_WHITEFRAME:
      FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
      break;
    case SS_ETCHEDHORZ:
      DrawEdge(dc, &client, EDGE_ETCHED, BF_TOP);
      break;
    case SS_ETCHEDVERT:
      DrawEdge(dc, &client, EDGE_ETCHED, BF_LEFT);
      break;
    case SS_ETCHEDFRAME:
      DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
      break;
    default:
      break;
  }
}

void paint(HWND hwnd, HDC dc, const StaticState& st) {
  const DWORD style = windowStyle(hwnd);
  const DWORD kind = kindOf(style);
  if (kind == SS_BITMAP || kind == SS_ICON) {
    paintImage(hwnd, dc, st, style);
  } else if (kind == SS_OWNERDRAW) {
    DRAWITEMSTRUCT item{ODT_STATIC,
                        static_cast<UINT>(GetDlgCtrlID(hwnd)),
                        0,
                        ODA_DRAWENTIRE,
                        IsWindowEnabled(hwnd) ? 0u : ODS_DISABLED,
                        hwnd,
                        dc,
                        clientRect(hwnd),
                        0};
    SendMessageW(GetParent(hwnd), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
  } else if ((kind >= SS_BLACKRECT && kind <= SS_WHITEFRAME) || (kind >= SS_ETCHEDHORZ && kind <= SS_ETCHEDFRAME)) {
    paintShape(hwnd, dc, style);
  } else {
    paintText(hwnd, dc, st, style);
  }
}

HANDLE setImage(HWND hwnd, StaticState& st, UINT type, HANDLE image) {
  HANDLE old = st.image;
  if (st.ownsImage && old) {
    if (st.imageType == IMAGE_BITMAP)
      DeleteObject(old);
    else
      DestroyIcon(static_cast<HICON>(old));
    old = nullptr;
  }
  st.image = image;
  st.imageType = type;
  st.ownsImage = false;
  fitToImage(hwnd, st);
  InvalidateRect(hwnd, nullptr, TRUE);
  return old;
}

}  // namespace

LRESULT staticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto st = controlState<StaticState>(hwnd);
  if (!st) {
    if (message == WM_NCDESTROY) return DefWindowProcW(hwnd, message, wParam, lParam);
    setControlState(hwnd, std::make_shared<StaticState>());
    st = controlState<StaticState>(hwnd);
    if (!st) return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const DWORD style = windowStyle(hwnd);
  switch (message) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      const DWORD kind = kindOf(static_cast<DWORD>(cs->style));
      // A picture named by the template: (0xFFFF, resource id).
      if (cs->lpszName && cs->lpszName[0] == 0xFFFF && (kind == SS_BITMAP || kind == SS_ICON)) {
        const WORD id = cs->lpszName[1];
        st->imageType = kind == SS_BITMAP ? IMAGE_BITMAP : IMAGE_ICON;
        // Its first size, the static's own copy.
        st->image = LoadImageW(cs->hInstance, MAKEINTRESOURCEW(id), st->imageType, 0, 0,
                               kind == SS_BITMAP ? LR_CREATEDIBSECTION : 0);
        st->ownsImage = st->image != nullptr;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    case WM_CREATE:
      fitToImage(hwnd, *st);
      return 0;
    case WM_NCDESTROY:
      if (st->ownsImage && st->image) {
        if (st->imageType == IMAGE_BITMAP)
          DeleteObject(st->image);
        else
          DestroyIcon(static_cast<HICON>(st->image));
        st->image = nullptr;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_NCHITTEST:
      return (style & SS_NOTIFY) ? DefWindowProcW(hwnd, message, wParam, lParam) : HTTRANSPARENT;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_ERASEBKGND:
      return 1;  // the background is drawn with the parent's brush in WM_PAINT
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(hwnd, dc, *st);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (style & SS_NOTIFY) notifyParent(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (style & SS_NOTIFY) notifyParent(hwnd, STN_DBLCLK);
      return 0;
    case WM_ENABLE:
      if (style & SS_NOTIFY) notifyParent(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(st->font);
    case STM_SETIMAGE:
      return reinterpret_cast<LRESULT>(
          setImage(hwnd, *st, static_cast<UINT>(wParam), reinterpret_cast<HANDLE>(lParam)));
    case STM_GETIMAGE:
      return reinterpret_cast<LRESULT>(wParam == st->imageType ? st->image : nullptr);
    case STM_SETICON:
      return reinterpret_cast<LRESULT>(setImage(hwnd, *st, IMAGE_ICON, reinterpret_cast<HANDLE>(wParam)));
    case STM_GETICON:
      return reinterpret_cast<LRESULT>(st->imageType == IMAGE_ICON ? st->image : nullptr);
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace winsim::user

#include "buttonst.h"

#include "shellapi.h"

const CMessageMap& CButtonST::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CButtonST>(CButton::GetMessageMap())
                                     .on<WM_SETCURSOR>(&CButtonST::OnSetCursor)
                                     .on<WM_KILLFOCUS>(&CButtonST::OnKillFocus)
                                     .on<WM_MOUSEMOVE>(&CButtonST::OnMouseMove)
                                     .on<WM_SYSCOLORCHANGE>(&CButtonST::OnSysColorChange)
                                     .onControlReflect(BN_CLICKED, &CButtonST::OnClicked)
                                     .on<WM_ACTIVATE>(&CButtonST::OnActivate)
                                     .on<WM_ENABLE>(&CButtonST::OnEnable)
                                     .on<WM_CANCELMODE>(&CButtonST::OnCancelMode)
                                     .on<WM_GETDLGCODE>(&CButtonST::OnGetDlgCode)
                                     .onReflect<WM_CTLCOLOR>(&CButtonST::CtlColor)
                                     .on<WM_MOUSELEAVE>(&CButtonST::OnMouseLeave)
                                     .on<WM_LBUTTONDBLCLK>(&CButtonST::OnLButtonDblClk)
                                     .onMessage(BM_SETSTYLE, &CButtonST::OnSetStyle)
                                     .onMessage(BM_SETCHECK, &CButtonST::OnSetCheck)
                                     .onMessage(BM_GETCHECK, &CButtonST::OnGetCheck)
                                     .on<WM_MENUCHAR>(&CButtonST::OnMenuChar)
                                     .on<WM_MEASUREITEM>(&CButtonST::OnMeasureItem);
  return map;
}

namespace {

/// Twice an icon's hot spot: its width and height.
bool iconSize(HICON icon, DWORD& width, DWORD& height) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return false;
  width = info.xHotspot * 2;
  height = info.yHotspot * 2;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return true;
}

/// A copy of the icon whose non-black pixels are replaced by their
/// luminance as a grey level; null when the icon cannot be read.
HICON createGrayscaleIcon(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return nullptr;
  HICON gray = nullptr;
  BITMAP colour{};
  if (info.hbmColor && GetObjectW(info.hbmColor, sizeof colour, &colour)) {
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, colour.bmWidth, colour.bmHeight);
    ReleaseDC(nullptr, screen);
    if (source && target && copy) {
      HGDIOBJ oldSource = SelectObject(source, info.hbmColor);
      HGDIOBJ oldTarget = SelectObject(target, copy);
      for (int y = 0; y < colour.bmHeight; ++y) {
        for (int x = 0; x < colour.bmWidth; ++x) {
          COLORREF c = GetPixel(source, x, y);
          if (c != RGB(0, 0, 0)) {
            const auto level = static_cast<BYTE>(GetRValue(c) * 0.299 + GetGValue(c) * 0.587 + GetBValue(c) * 0.114);
            c = RGB(level, level, level);
          }
          SetPixel(target, x, y, c);
        }
      }
      SelectObject(source, oldSource);
      SelectObject(target, oldTarget);
      ICONINFO grayInfo{TRUE, info.xHotspot, info.yHotspot, info.hbmMask, copy};
      gray = CreateIconIndirect(&grayInfo);
    }
    if (copy) DeleteObject(copy);
    if (source) DeleteDC(source);
    if (target) DeleteDC(target);
  }
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return gray;
}

}  // namespace

CButtonST::CButtonST() { SetDefaultColors(FALSE); }

CButtonST::~CButtonST() {
  freeIcons();
  releaseBackground();
  if (m_hCursor) DestroyCursor(m_hCursor);
}

void CButtonST::PreSubclassWindow() {
  const DWORD style = GetStyle();
  m_nTypeStyle = style & BS_TYPEMASK;
  if (style & BS_CHECKBOX) m_bIsCheckBox = TRUE;
  if (m_nTypeStyle == BS_DEFPUSHBUTTON) {
    m_bIsDefault = TRUE;
    m_nTypeStyle = BS_PUSHBUTTON;
  }
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
  CButton::PreSubclassWindow();
}

// Icons.

void CButtonST::freeIcons() {
  for (Icon& icon : m_csIcons) {
    if (icon.hIcon) DestroyIcon(icon.hIcon);
    icon = Icon{};
  }
}

DWORD CButtonST::SetIcon(HICON hIconIn, HICON hIconOut) {
  freeIcons();
  if (hIconIn) {
    m_csIcons[0].hIcon = hIconIn;
    if (!iconSize(hIconIn, m_csIcons[0].dwWidth, m_csIcons[0].dwHeight)) {
      freeIcons();
      return 1;
    }
    if (hIconOut == BTNST_AUTO_GRAY) hIconOut = createGrayscaleIcon(hIconIn);
    if (hIconOut) {
      m_csIcons[1].hIcon = hIconOut;
      if (!iconSize(hIconOut, m_csIcons[1].dwWidth, m_csIcons[1].dwHeight)) {
        freeIcons();
        return 1;
      }
    }
  }
  Invalidate();
  return 0;
}

DWORD CButtonST::SetIcon(int nIconIn, int nIconOut) {
  auto load = [](int id) -> HICON {
    if (id == 0) return nullptr;
    return static_cast<HICON>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0));
  };
  HICON in = load(nIconIn);
  HICON out = load(nIconOut);
  if (!in || (nIconOut != 0 && !out)) {
    if (in) DestroyIcon(in);
    if (out) DestroyIcon(out);
    freeIcons();
    Invalidate();
    return 1;
  }
  return SetIcon(in, out);
}

// Settings.

void CButtonST::DrawTransparent(BOOL bRepaint) {
  m_bDrawTransparent = TRUE;
  m_bSemiTransparent = FALSE;
  releaseBackground();
  if (bRepaint) Invalidate(FALSE);
}

void CButtonST::DrawSemiTransparent(BOOL bRepaint) {
  m_bDrawTransparent = TRUE;
  m_bSemiTransparent = TRUE;
  releaseBackground();
  if (bRepaint) Invalidate(FALSE);
}

DWORD CButtonST::SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint) {
  if (byColorIndex >= BTNST_MAX_COLORS) return 1;
  m_crColors[byColorIndex] = crColor;
  if (bRepaint) Invalidate();
  return 0;
}

COLORREF CButtonST::GetColor(BYTE byColorIndex) const {
  return byColorIndex < BTNST_MAX_COLORS ? m_crColors[byColorIndex] : CLR_INVALID;
}

void CButtonST::SetDefaultColors(BOOL bRepaint) {
  for (BYTE slot : {BTNST_COLOR_BK_IN, BTNST_COLOR_BK_OUT, BTNST_COLOR_BK_FOCUS})
    m_crColors[slot] = GetSysColor(COLOR_BTNFACE);
  for (BYTE slot : {BTNST_COLOR_FG_IN, BTNST_COLOR_FG_OUT, BTNST_COLOR_FG_FOCUS})
    m_crColors[slot] = GetSysColor(COLOR_BTNTEXT);
  if (bRepaint) Invalidate();
}

void CButtonST::SetFlat(BOOL bFlat, BOOL bRepaint) {
  m_bIsFlat = bFlat;
  if (bRepaint) Invalidate();
}

void CButtonST::DrawBorder(BOOL bDrawBorder, BOOL bRepaint) {
  m_bDrawBorder = bDrawBorder;
  if (bRepaint) Invalidate();
}

void CButtonST::DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint) {
  m_bDrawFlatFocus = bDrawFlatFocus;
  if (bRepaint) Invalidate();
}

void CButtonST::SetBtnCursor(HCURSOR hCursor) {
  if (m_hCursor) DestroyCursor(m_hCursor);
  m_hCursor = hCursor ? CopyCursor(hCursor) : nullptr;
}

void CButtonST::SetURL(LPCWSTR lpszURL) {
  int n = 0;
  if (lpszURL)
    for (; n < kUrlLength - 1 && lpszURL[n]; ++n) m_szURL[n] = lpszURL[n];
  m_szURL[n] = 0;
}

DWORD CButtonST::SetMenu(UINT nMenu, HWND hParentWnd, BOOL bRepaint) {
  m_menuPopup.DestroyMenu();
  m_hParentWndMenu = nullptr;
  DWORD result = 0;
  if (nMenu) {
    if (m_menuPopup.LoadMenu(nMenu))
      m_hParentWndMenu = hParentWnd;
    else
      result = 1;
  }
  if (bRepaint) Invalidate();
  return result;
}

// Drawing.

void CButtonST::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
  if (!pDC) return;
  const UINT state = lpDrawItemStruct->itemState;
  m_bIsPressed = (state & ODS_SELECTED) || (m_bIsCheckBox ? m_nCheck == 1 : m_bMenuDisplayed);
  m_bIsFocused = (state & ODS_FOCUS) ? TRUE : FALSE;
  m_bIsDisabled = (state & ODS_DISABLED) ? TRUE : FALSE;

  CRect itemRect(lpDrawItemStruct->rcItem);
  pDC->SetBkMode(TRANSPARENT);
  if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
    CBrush black(RGB(0, 0, 0));
    pDC->FrameRect(&itemRect, &black);
    itemRect.DeflateRect(1, 1);
  }

  if (m_bDrawTransparent)
    paintBackground(pDC);
  else
    OnDrawBackground(pDC, &itemRect);

  if (m_bIsPressed) {
    if (m_bIsFlat) {
      if (m_bDrawBorder) OnDrawBorder(pDC, &itemRect);
    } else {
      CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
      pDC->FrameRect(&itemRect, &shadow);
    }
  } else if (!m_bIsFlat) {
    const CRect& r = itemRect;
    struct Edge {
      int colour;
      POINT from, corner, to;
    } const edges[] = {
        {COLOR_BTNHIGHLIGHT, {r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}},
        {COLOR_3DLIGHT, {r.left + 1, r.bottom - 1}, {r.left + 1, r.top + 1}, {r.right, r.top + 1}},
        {COLOR_3DDKSHADOW, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}},
        {COLOR_BTNSHADOW, {r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, {r.right - 2, r.top}},
    };
    for (const Edge& edge : edges) {
      CPen pen(PS_SOLID, 1, GetSysColor(edge.colour));
      CPen* old = pDC->SelectObject(&pen);
      pDC->MoveTo(edge.from);
      pDC->LineTo(edge.corner);
      pDC->LineTo(edge.to);
      pDC->SelectObject(old);
    }
  } else if (m_bMouseOnButton && m_bDrawBorder) {
    OnDrawBorder(pDC, &itemRect);
  }

  CRect captionRect = itemRect;
  CString title;
  GetWindowText(title);
  if (m_csIcons[0].hIcon) drawIcon(pDC, !title.IsEmpty(), CRect(lpDrawItemStruct->rcItem), captionRect);
  if (!title.IsEmpty()) drawText(pDC, title, captionRect);

  if ((!m_bIsFlat || m_bDrawFlatFocus) && m_bIsFocused) {
    CRect focusRect = itemRect;
    focusRect.DeflateRect(3, 3);
    pDC->DrawFocusRect(&focusRect);
  }
}

void CButtonST::drawIcon(CDC* pDC, bool hasTitle, const CRect& item, CRect& caption) {
  // The out icon shows while the button is neither pressed nor hovered (a
  // check box: while not checked).
  const bool useOut = m_csIcons[1].hIcon && (m_bIsCheckBox ? !m_bIsPressed : !m_bIsPressed && !m_bMouseOnButton);
  const Icon& icon = m_csIcons[useOut ? 1 : 0];
  CRect image = item;
  if (hasTitle) {
    image.left += 3;
    caption.left += static_cast<LONG>(icon.dwWidth) + 3;
  } else {
    image.left += (image.Width() - static_cast<LONG>(icon.dwWidth)) / 2;
  }
  image.top += (image.Height() - static_cast<LONG>(icon.dwHeight)) / 2;
  if (m_bIsPressed && !m_bIsCheckBox) image.OffsetRect(1, 1);
  pDC->DrawState(image.TopLeft(), CSize(static_cast<int>(icon.dwWidth), static_cast<int>(icon.dwHeight)), icon.hIcon,
                 m_bIsDisabled ? DSS_DISABLED : DSS_NORMAL, static_cast<CBrush*>(nullptr));
}

void CButtonST::drawText(CDC* pDC, const CString& title, CRect caption) {
  if (m_bIsPressed && !m_bIsCheckBox) caption.OffsetRect(1, 1);
  CRect measured = caption;
  pDC->DrawText(title, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  // The icon sits at the left: the text is centred 20 pixels right of the
  // caption's centre.
  caption.OffsetRect(20, (caption.Height() - measured.Height()) / 2);
  pDC->SetBkMode(TRANSPARENT);
  if (m_bIsDisabled) {
    caption.OffsetRect(1, 1);
    pDC->SetTextColor(GetSysColor(COLOR_3DHILIGHT));
    pDC->DrawText(title, &caption, DT_WORDBREAK | DT_CENTER);
    caption.OffsetRect(-1, -1);
    pDC->SetTextColor(GetSysColor(COLOR_3DSHADOW));
    pDC->DrawText(title, &caption, DT_WORDBREAK | DT_CENTER);
    return;
  }
  const bool in = m_bMouseOnButton || m_bIsPressed;
  pDC->SetTextColor(m_crColors[in ? BTNST_COLOR_FG_IN : BTNST_COLOR_FG_OUT]);
  pDC->SetBkColor(m_crColors[in ? BTNST_COLOR_BK_IN : BTNST_COLOR_BK_OUT]);
  pDC->DrawText(title, &caption, DT_WORDBREAK | DT_CENTER);
}

DWORD CButtonST::OnDrawBackground(CDC* pDC, CRect* pRect) {
  COLORREF colour = m_crColors[BTNST_COLOR_BK_OUT];
  if (m_bMouseOnButton || m_bIsPressed)
    colour = m_crColors[BTNST_COLOR_BK_IN];
  else if (m_bIsFocused)
    colour = m_crColors[BTNST_COLOR_BK_FOCUS];
  CBrush brush(colour);
  pDC->FillRect(pRect, &brush);
  return 0;
}

DWORD CButtonST::OnDrawBorder(CDC*, CRect*) { return 0; }

void CButtonST::paintBackground(CDC* pDC) {
  CRect client;
  GetClientRect(&client);
  if (!m_dcBk.GetSafeHdc()) {
    CWnd* parent = GetParent();
    if (!parent) return;
    CRect onParent;
    GetWindowRect(&onParent);
    parent->ScreenToClient(&onParent);
    CClientDC parentDC(parent);
    if (!m_dcBk.CreateCompatibleDC(&parentDC)) return;
    if (!m_bmpBk.CreateCompatibleBitmap(&parentDC, client.Width(), client.Height())) {
      m_dcBk.DeleteDC();
      return;
    }
    m_hOldBk = m_dcBk.SelectObject(m_bmpBk.GetSafeHandle());
    if (m_bSemiTransparent) {
      const BLENDFUNCTION blend{AC_SRC_OVER, 0, kSemiTransparentAlpha, 0};
      m_dcBk.AlphaBlend(0, 0, client.Width(), client.Height(), &parentDC, onParent.left, onParent.top, client.Width(),
                        client.Height(), blend);
    } else {
      m_dcBk.BitBlt(0, 0, client.Width(), client.Height(), &parentDC, onParent.left, onParent.top, SRCCOPY);
    }
  }
  pDC->BitBlt(0, 0, client.Width(), client.Height(), &m_dcBk, 0, 0, SRCCOPY);
}

void CButtonST::releaseBackground() {
  if (!m_dcBk.GetSafeHdc()) return;
  if (m_hOldBk) m_dcBk.SelectObject(m_hOldBk);
  m_hOldBk = nullptr;
  m_bmpBk.DeleteObject();
  m_dcBk.DeleteDC();
}

// Messages.

void CButtonST::cancelHover() {
  if (m_bIsFlat && m_bMouseOnButton) {
    m_bMouseOnButton = FALSE;
    Invalidate();
  }
}

BOOL CButtonST::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (m_hCursor) {
    ::SetCursor(m_hCursor);
    return TRUE;
  }
  return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void CButtonST::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  cancelHover();
}

void CButtonST::OnMouseMove(UINT nFlags, CPoint point) {
  CButton::OnMouseMove(nFlags, point);
  CPoint screen = point;
  ClientToScreen(&screen);
  CWnd* under = CWnd::WindowFromPoint(screen);
  if ((nFlags & MK_LBUTTON) && !m_bMouseOnButton) return;
  if (!m_bIsFlat) return;
  CWnd* owner = m_bAlwaysTrack ? this : CWnd::GetActiveWindow();
  if (under && under->GetSafeHwnd() == m_hWnd && owner) {
    if (!m_bMouseOnButton) {
      m_bMouseOnButton = TRUE;
      Invalidate();
      TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
      ::TrackMouseEvent(&track);
    }
  } else {
    cancelHover();
  }
}

void CButtonST::OnMouseLeave() { cancelHover(); }

void CButtonST::OnSysColorChange() {
  CButton::OnSysColorChange();
  releaseBackground();
}

BOOL CButtonST::OnClicked() {
  SetFocus();
  if (m_bIsCheckBox) {
    m_nCheck = m_nCheck ? 0 : 1;
    Invalidate();
  } else if (m_menuPopup.GetSafeHmenu()) {
    showMenu();
  } else if (m_szURL[0]) {
    ShellExecuteW(nullptr, u"open", m_szURL, nullptr, nullptr, SW_SHOWMAXIMIZED);
  }
  // The parent hears the click as well.
  return FALSE;
}

void CButtonST::showMenu() {
  CMenu* popup = m_menuPopup.GetSubMenu(0);
  if (!popup) return;
  CRect onScreen;
  GetWindowRect(&onScreen);
  // Pressed while the menu is up; the button owns the menu, so its
  // measure, draw and character requests come here.
  m_bMenuDisplayed = TRUE;
  Invalidate();
  UpdateWindow();
  const auto command = static_cast<UINT>(
      popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                            onScreen.left, onScreen.bottom, this));
  m_bMenuDisplayed = FALSE;
  Invalidate();
  if (command && m_hParentWndMenu) ::PostMessageW(m_hParentWndMenu, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void CButtonST::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  CButton::OnActivate(nState, pWndOther, bMinimized);
  if (nState == WA_INACTIVE) cancelHover();
}

void CButtonST::OnEnable(BOOL bEnable) {
  CButton::OnEnable(bEnable);
  if (!bEnable) {
    if (CWnd* parent = GetParent()) {
      if (CWnd* next = parent->GetNextDlgTabItem(this))
        next->SetFocus();
      else
        parent->SetFocus();
    }
    cancelHover();
  }
}

void CButtonST::OnCancelMode() {
  CButton::OnCancelMode();
  cancelHover();
}

UINT CButtonST::OnGetDlgCode() {
  UINT code = CButton::OnGetDlgCode();
  code |= m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
  return code;
}

HBRUSH CButtonST::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)); }

void CButtonST::OnLButtonDblClk(UINT nFlags, CPoint point) {
  // A double click is one more press.
  DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
}

LRESULT CButtonST::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
  if (type == BS_DEFPUSHBUTTON)
    m_bIsDefault = TRUE;
  else if (type == BS_PUSHBUTTON)
    m_bIsDefault = FALSE;
  return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CButtonST::OnSetCheck(WPARAM wParam, LPARAM) {
  if (m_bIsCheckBox) {
    m_nCheck = (wParam == BST_CHECKED || wParam == BST_INDETERMINATE) ? 1 : 0;
    Invalidate();
  }
  return 0;
}

LRESULT CButtonST::OnGetCheck(WPARAM, LPARAM) { return m_nCheck; }

LRESULT CButtonST::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
  if (BCMenu::IsMenu(pMenu)) return BCMenu::FindKeyboardShortcut(nChar, nFlags, pMenu);
  return CButton::OnMenuChar(nChar, nFlags, pMenu);
}

void CButtonST::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  if (lpMeasureItemStruct->CtlType == ODT_MENU && m_menuPopup.GetSafeHmenu()) {
    m_menuPopup.MeasureItem(lpMeasureItemStruct);
    return;
  }
  CButton::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

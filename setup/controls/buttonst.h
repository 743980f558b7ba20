// CButtonST: the pages' owner-drawn icon button, used for their icon check
// boxes. It draws an icon and its window text over a filled background, or
// over a copy of the parent's pixels captured once and kept (transparent
// mode), tracks the mouse pointer to draw its hover look, and toggles its
// own check state when it was made from a check-box template. A URL makes a
// click open it; a cursor shows over the button. A menu makes a click show
// its first pop-up under the button and post the chosen command to the
// menu's command window.
//
// The transparent copy is taken lazily, at the first draw after
// DrawTransparent, from whatever the parent shows under the button then:
// pages call DrawTransparent on their first paint, once their background
// picture is on the screen, and the copy stays until they call it again.
#pragma once

#include "afxwin.h"
#include "bcmenu.h"

class CButtonST : public CButton {
 public:
  /// The colour slots (SetColor).
  enum ColorSlot : BYTE {
    BTNST_COLOR_BK_IN = 0,
    BTNST_COLOR_FG_IN = 1,
    BTNST_COLOR_BK_OUT = 2,
    BTNST_COLOR_FG_OUT = 3,
    BTNST_COLOR_BK_FOCUS = 4,
    BTNST_COLOR_FG_FOCUS = 5,
    BTNST_MAX_COLORS = 6,
  };
  /// Passed as the icon out: a grey copy of the icon in.
  static inline HICON const BTNST_AUTO_GRAY = reinterpret_cast<HICON>(static_cast<INT_PTR>(-2));
  static constexpr BYTE kSemiTransparentAlpha = 200;
  static constexpr int kUrlLength = 260;

  CButtonST();
  ~CButtonST() override;

  const CMessageMap& GetMessageMap() const override;

  /// Frees the previous icons, keeps hIconIn (and hIconOut, or a grey copy
  /// of hIconIn for BTNST_AUTO_GRAY) with their sizes and redraws. The
  /// button owns the icons from here. 0 on success; 1 when an icon cannot
  /// be read, and then nothing is kept.
  DWORD SetIcon(HICON hIconIn, HICON hIconOut = nullptr);
  /// The same with icons of the resource module at their natural size.
  DWORD SetIcon(int nIconIn, int nIconOut = 0);

  /// Captures the parent's background anew at the next draw and draws over
  /// it from then on.
  void DrawTransparent(BOOL bRepaint = TRUE);
  /// The same, the captured background blended at kSemiTransparentAlpha.
  void DrawSemiTransparent(BOOL bRepaint = TRUE);

  DWORD SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint = TRUE);
  COLORREF GetColor(BYTE byColorIndex) const;
  /// The system button face for the backgrounds, button text for the texts.
  void SetDefaultColors(BOOL bRepaint = TRUE);

  void SetFlat(BOOL bFlat = TRUE, BOOL bRepaint = TRUE);
  void SetAlwaysTrack(BOOL bAlwaysTrack = TRUE) { m_bAlwaysTrack = bAlwaysTrack; }
  void DrawBorder(BOOL bDrawBorder = TRUE, BOOL bRepaint = TRUE);
  void DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint = TRUE);
  /// A copy of the cursor is shown over the button; null: the default.
  void SetBtnCursor(HCURSOR hCursor);
  /// Opened through the shell by a click; cut to kUrlLength - 1 characters.
  void SetURL(LPCWSTR lpszURL);
  /// The menu resource nMenu (0: none) becomes the button's popup menu, its
  /// commands posted to hParentWnd. 0 on success; 1 when the resource
  /// cannot be loaded, and then the button has no menu.
  DWORD SetMenu(UINT nMenu, HWND hParentWnd, BOOL bRepaint = TRUE);

  BOOL IsHovering() const { return m_bMouseOnButton; }
  BOOL IsCheckBox() const { return m_bIsCheckBox; }
  BOOL IsDefault() const { return m_bIsDefault; }

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

  /// The colours the button draws with, by slot; the pages set the texts.
  COLORREF m_crColors[BTNST_MAX_COLORS];

 protected:
  /// Fills the rectangle: the in background while hovering or pressed, the
  /// focus one while focused, else the out one.
  virtual DWORD OnDrawBackground(CDC* pDC, CRect* pRect);
  /// The border of a flat button (pressed, or hovering); draws nothing here.
  virtual DWORD OnDrawBorder(CDC* pDC, CRect* pRect);

  void PreSubclassWindow() override;

  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnSysColorChange();
  afx_msg BOOL OnClicked();
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnCancelMode();
  afx_msg UINT OnGetDlgCode();
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg void OnMouseLeave();
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
  /// The popup's requests, while it is shown with the button as its owner.
  afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);

  // What the latest draw found.
  BOOL m_bIsPressed = FALSE;
  BOOL m_bIsFocused = FALSE;
  BOOL m_bIsDisabled = FALSE;
  BOOL m_bMouseOnButton = FALSE;

 private:
  struct Icon {
    HICON hIcon = nullptr;
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;
  };

  /// Ends the hover look of a flat button.
  void cancelHover();
  void freeIcons();
  void releaseBackground();
  /// Copies the parent's pixels under the button once, then draws the copy.
  void paintBackground(CDC* pDC);
  void drawIcon(CDC* pDC, bool hasTitle, const CRect& item, CRect& caption);
  void drawText(CDC* pDC, const CString& title, CRect caption);
  /// Shows the menu's first pop-up under the button until it closes.
  void showMenu();

  BOOL m_bIsFlat = TRUE;
  BOOL m_bDrawTransparent = FALSE;
  BOOL m_bSemiTransparent = FALSE;
  BOOL m_bIsDefault = FALSE;
  BOOL m_bIsCheckBox = FALSE;
  int m_nCheck = 0;
  BOOL m_bDrawBorder = TRUE;
  BOOL m_bDrawFlatFocus = FALSE;
  BOOL m_bAlwaysTrack = TRUE;
  HCURSOR m_hCursor = nullptr;
  WCHAR m_szURL[kUrlLength] = {};
  Icon m_csIcons[2];
  UINT m_nTypeStyle = 0;

  BCMenu m_menuPopup;
  HWND m_hParentWndMenu = nullptr;
  BOOL m_bMenuDisplayed = FALSE;

  CDC m_dcBk;
  CBitmap m_bmpBk;
  HGDIOBJ m_hOldBk = nullptr;
};

// CBitmapDialog: the base of every wizard page. Its whole client area shows
// a picture from the resource library (stretched, centred or tiled), its
// static texts and buttons are drawn transparently over it, and on displays
// with a palette it realises the picture's palette when it gets the focus or
// another window changes the system palette.
#pragma once

#include "afxwin.h"
#include "dibitmap.h"

class CBitmapDialog : public CDialog {
 public:
  /// How the background covers the client area.
  enum DrawMode : int { kDrawTile = 0, kDrawStretch = 1, kDrawCenter = 2 };

  /// A dialog of the template nIDTemplate, without a parent window.
  explicit CBitmapDialog(UINT nIDTemplate);
  ~CBitmapDialog() override;

  const CMessageMap& GetMessageMap() const override;

  /// Sets the background from a bitmap resource of the resource module; on
  /// failure (0) a background already loaded stays as it was.
  BOOL LoadBackground(UINT nIDResource);
  /// kDrawStretch, kDrawCenter; any other value tiles.
  void SetDrawMode(int nMode) { m_nDrawMode = nMode; }
  int GetDrawMode() const { return m_nDrawMode; }
  CDIBitmap& GetBackground() { return m_background; }

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  /// Buttons and statics (except trackbars) get a transparent background
  /// and the hollow brush while there is a background picture.
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg BOOL OnQueryNewPalette();
  afx_msg void OnPaletteChanged(CWnd* pFocusWnd);

  CDIBitmap m_background;
  int m_nDrawMode = kDrawTile;
  CBrush m_brushHollow;
};

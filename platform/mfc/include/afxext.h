// CBitmapButton: an owner-drawn button (BS_OWNERDRAW) that shows one of up
// to four bitmaps of the resource module, by its state.
#pragma once

#include "afxwin.h"

class CBitmapButton : public CButton {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  CBitmapButton() = default;

  /// Loads the normal picture and, where given (0 / null: none), the pressed,
  /// focused and disabled ones, replacing what was loaded. FALSE when the
  /// normal picture is missing (nothing else is loaded then) or another one
  /// named is.
  BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0, UINT nIDBitmapResourceFocus = 0,
                   UINT nIDBitmapResourceDisabled = 0);
  BOOL LoadBitmaps(LPCWSTR lpszBitmapResource, LPCWSTR lpszBitmapResourceSel = nullptr,
                   LPCWSTR lpszBitmapResourceFocus = nullptr, LPCWSTR lpszBitmapResourceDisabled = nullptr);
  /// Makes the button the size of its normal picture.
  void SizeToContent();

  /// The pressed picture while pressed, else the focused one while focused,
  /// else the disabled one while disabled, else the normal one; each only
  /// where loaded. Copied 1:1 to the item's top-left corner.
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

  CBitmap m_bitmap;
  CBitmap m_bitmapSel;
  CBitmap m_bitmapFocus;
  CBitmap m_bitmapDisabled;
};

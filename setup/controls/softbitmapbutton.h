// CSoftBitmapButton: the picture buttons of the wizard pages (Back, Next,
// Install, Browse, Finish, Cancel). Up to four pictures of the resource
// library, normal, pressed, hover and disabled, copied 1:1 into the button;
// the framework's focus slot holds the hover picture, shown while the mouse
// pointer is over the button. The button keeps the size its dialog template
// gives it.
#pragma once

#include "afxext.h"

class CSoftBitmapButton : public CBitmapButton {
 public:
  CSoftBitmapButton() = default;

  const CMessageMap& GetMessageMap() const override;

  /// Loads each picture on its own (0: none). A picture the resource library
  /// lacks leaves its slot empty and the others are still loaded; TRUE when
  /// every picture named was found.
  BOOL LoadBitmaps(UINT nIDNormal, UINT nIDPressed = 0, UINT nIDHover = 0, UINT nIDDisabled = 0);

  /// The pressed picture while pressed, else the disabled one while
  /// disabled, else the normal one or, while hovering, the hover one; each
  /// only where loaded. Nothing is drawn without a picture.
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

  /// 1 while the mouse pointer is over the button.
  BOOL IsHovering() const { return m_bHover; }

 protected:
  /// The framework's attach step, then the owner-draw style.
  void PreSubclassWindow() override;

  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnMouseLeave();

 private:
  BOOL m_bHover = FALSE;
};

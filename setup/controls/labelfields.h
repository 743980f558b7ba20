// What the setup pages' two label classes share: the fields the pages write
// directly and the painting, cursor and attach rules of a skinned label.
// CLabelEx and CLabelPath are both static controls with these fields; they
// differ only in how much of the window text the paint shows.
#pragma once

#include "afxwin.h"

class LabelFields {
 public:
  LabelFields() = default;
  /// A cursor the label copied for itself (the fallback hand) goes with it.
  ~LabelFields();
  LabelFields(const LabelFields&) = delete;
  LabelFields& operator=(const LabelFields&) = delete;

  /// The cursor resource of winhlp32.exe that the platform's hand looks like.
  static constexpr WORD kFallbackHandCursorId = 106;

  /// When the label has no cursor yet, a copy of cursor 106 of winhlp32.exe
  /// in the Windows folder, for systems without a hand cursor of their own.
  /// Any step that fails leaves the label without a cursor.
  void SetFallbackHandCursor();

  /// How many characters of a path fit in `width`: the width over one and a
  /// half average characters, or one for a fixed-pitch font.
  static int charactersThatFit(int width, const TEXTMETRICW& metrics);

  CFont m_font;
  BOOL m_bBorder = FALSE;
  BOOL m_bStateA = FALSE;
  BOOL m_bStateB = FALSE;
  BOOL m_bUnderline = FALSE;
  CBitmap m_bmpBack;
  CBitmap m_bmpBackStateB;
  CBitmap m_bmpBackStateA;
  CBitmap m_bmpIcon;
  CBitmap m_bmpIconStateB;
  CBitmap m_bmpIconStateA;
  COLORREF m_crText = RGB(0, 0, 0);
  COLORREF m_crBorder = RGB(0, 0, 0);
  COLORREF m_crFill = RGB(255, 255, 255);
  COLORREF m_crUnderline = RGB(0, 0, 255);
  /// Shown while the pointer is over the label; null leaves the pointer as it is.
  HCURSOR m_hCursor = nullptr;

 protected:
  /// Which part of the text the paint shows: all of it, or as many
  /// characters as the font's average width lets fit (the path label).
  enum class TextFit { Whole, CutToWidth };

  /// Reports clicks to the parent and takes the parent dialog's font.
  static void attachLabel(CWnd& label);
  void paintLabel(CWnd& label, TextFit fit);
  /// The label paints transparently over what its window shows: a text that
  /// changes has the parent repaint the label's place first, so no trace of
  /// the old text stays.
  static void repaintBehind(CWnd& label);
  BOOL setLabelCursor() const;

 private:
  /// The picture of the current state: A before B before the normal one.
  CBitmap* statePicture(CBitmap& normal, CBitmap& stateB, CBitmap& stateA);

  HCURSOR m_ownedCursor = nullptr;
};

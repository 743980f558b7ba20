// What a dialog made from a template keeps beside its window.
#pragma once

#include <string>

#include "windowmanager.h"

namespace winsim::user {

struct DialogState : ControlState {
  WORD templateId = 0;  // the RT_DIALOG resource it was made from; 0 when not known
  HFONT font = nullptr;
  bool ownsFont = false;
  int baseX = 0;  // dialog base units of its font
  int baseY = 0;
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  HWND disabledOwner = nullptr;  // the owner a modal loop disabled, enabled again by EndDialog
  HWND savedFocus = nullptr;
  UINT defaultId = 0;  // DM_SETDEFID; 0: the template's default push button
};

/// The transcript's record of a dialog shown for the first time.
void announceDialog(HWND dialog);

/// Gives a dialog control the focus as the dialog manager does: an edit
/// control (DLGC_HASSETSEL) gets all its text selected.
void setDialogFocus(HWND control);

}  // namespace winsim::user

// The built-in control classes' window procedures, and what they share.
#pragma once

#include <string>

#include "win32/user.h"

namespace winsim::user {

LRESULT buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT staticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT richEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT progressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT trackbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

/// Asks the parent for the control's colours (WM_CTLCOLOR*), as every control
/// does before it paints; a parent that does not answer gets the default.
HBRUSH controlColor(HWND control, HDC dc, UINT message);
/// WM_COMMAND with the control's id and a notification code, sent to the parent.
void notifyParent(HWND control, WORD code);
/// Fills a rectangle unless the brush is hollow (a transparent answer).
void fillUnlessHollow(HDC dc, const RECT& rect, HBRUSH brush);
/// The font a control draws with: the one WM_SETFONT gave, else the system font.
HFONT fontOrSystem(HFONT font);
bool hasFocus(HWND hwnd);
RECT clientRect(HWND hwnd);

}  // namespace winsim::user

// What the UI agent (winsim/uiagent.h) does with windows: the commands a UI
// script gives the window layer, one a line.
//
//   click ID              a control of the active dialog: the pointer moves to its
//                         centre, the left button goes down and up there (mouse
//                         messages, each with WM_SETCURSOR); a button then reports
//                         BN_CLICKED itself
//   double-click ID       the same with a second press (WM_LBUTTONDBLCLK for a
//                         class with CS_DBLCLKS)
//   hover ID              the pointer moves into the control
//   leave ID              the pointer leaves it for the desktop (TrackMouseEvent
//                         users get WM_MOUSELEAVE)
//   type ID TEXT          the control gets the focus and one WM_CHAR a character
//   key ESCAPE|ENTER|TAB  WM_KEYDOWN / WM_KEYUP to the focused control, through the
//                         dialog's IsDialogMessageW
//   advance MS            the machine clock (winsim/clock.h) moves on
//   wait-dialog ID        waits until a dialog made from template ID is active
//   screenshot FILE.png   the active dialog, caption and border included
//   screenshot-screen FILE.png   the whole virtual screen
//   expect-text ID TEXT   the control's window text must be TEXT
//   command TEXT          a line typed at the CAD host's command line: korax,
//                         started without a script, runs each as a script line
//                         and ends its session at the first command of another
//                         verb (kxhost::runUiSession)
//
// ID is a control id in decimal (or IDOK, IDCANCEL, ...). A relative FILE is
// taken from the UI script's folder. The agent acts when a thread that owns
// the window in front has nothing else to do: inside a modal loop, or in
// GetMessageW, when no message is queued and nothing needs painting. Every
// command performed, every dialog shown and every screenshot is written to
// the machine's transcript; a command that cannot be carried out (no such
// control, a text that differs) is a script error there and on standard
// error, and the script goes on.
//
// Nothing waits for ever: when such a thread has had nothing to do for the
// idle bound of real time (WINSIM_UI_TIMEOUT milliseconds, 30000 unless set),
// because the script waits for a dialog that does not come, is used up, or
// there is no script at all, the layer reports it (standard error and a
// ScriptError transcript record) and ends the process with kUiIdleExitCode.
#pragma once

#include <chrono>

namespace winsim {

/// The exit code of a process ended because its user interface waited past
/// the idle bound.
inline constexpr int kUiIdleExitCode = 124;

/// The idle bound: WINSIM_UI_TIMEOUT (milliseconds), else 30 seconds.
std::chrono::milliseconds uiIdleBound();

}  // namespace winsim

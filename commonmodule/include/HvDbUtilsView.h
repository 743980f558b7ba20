// HvDbUtils: the host's current view and document, for a tool module that
// works outside a command of its own: the visible extent, zooming, named
// views, locking the current document, sending command text, and the host's
// windows (mouse position, toolbars).
//
// The view values are the host's system variables of the current document
// (VIEWCTR, VIEWSIZE, SCREENSIZE, VIEWDIR, TARGET, LENSLENGTH, VIEWTWIST,
// VIEWMODE, FRONTZ, BACKZ); points move between the UCS, the WCS and the
// display system (DCS) through the host's conversion.
#pragma once

#include "DbObjectId.h"
#include "Ge.h"
#include "MWCommonModuleApi.h"
#include "OdTypes.h"
#include "afxstr.h"

class CWnd;
class OdDbDatabase;
class OdGiViewportDraw;

namespace HvDbUtils {

/// The zero vector, whatever the context; the argument is not read.
MWCOMMONMODULE_API OdGeVector3d GetViewDirection(OdGiViewportDraw* viewportDraw);
/// The lower-left and upper-right corners of the current view, in the UCS:
/// VIEWSIZE high, as wide as SCREENSIZE's shape makes it, around VIEWCTR.
MWCOMMONMODULE_API void GetViewExtent(ads_point lowerLeft, ads_point upperRight);
/// Makes the current view show the window of `width` x `height` around
/// `center` (UCS), keeping the view direction, target, lens and twist, with
/// clipping and perspective off. Returns 1.
MWCOMMONMODULE_API int ZoomWindow(const OdGePoint3d& center, double width, double height);
/// Saves the current view as the named view `name` of the database (null:
/// the working database), which is locked for writing meanwhile: an existing
/// view of that name is updated, else one is added. The view's id, or the
/// null id when the document cannot be locked (a database of no document),
/// the view table cannot be opened for write, the view cannot be opened, or
/// the name is refused by the table (nothing is left behind then).
MWCOMMONMODULE_API OdDbObjectId CreateViewRecord(const CString& name, OdDbDatabase* database = nullptr);
/// Locks the current document for writing (no prompt); a refused lock prints
/// "Lock failed%d\n" (text 30202) with the status. Pair with UnlockDoc; the
/// module does not count the pairs.
MWCOMMONMODULE_API void LockDoc();
/// Releases the current document's latest lock.
MWCOMMONMODULE_API void UnlockDoc();
/// The longest command text SendCommandToAcad sends.
inline constexpr int kMaxCommandText = 255;
/// Gives the drawing view the focus (when the host has one), cancels a
/// running command with the escape character, then queues `command` as
/// typed input of the current document, unchanged (nothing is added: end it
/// with a blank or a line feed to enter it). A text longer than
/// kMaxCommandText characters is not sent at all: cut short, it would be
/// another command.
MWCOMMONMODULE_API void SendCommandToAcad(const CString& command);
/// Non-zero when the mouse cursor is inside the window's screen rectangle
/// (the right and bottom edges are outside); 0 for a null window.
MWCOMMONMODULE_API int KeepTheFocus(CWnd* window);
/// Shows or hides the toolbars of the main frame `frame`: the floating
/// toolbar frames it owns (top-level windows of style 0x940C4000 shown or
/// 0x840C4000 hidden) and the docked toolbars in its "AfxControlBar" children
/// (styles 0x54000000 and 0x44000000). With bit 0 of `show` set, every one
/// ends visible; otherwise each visible one is hidden and each hidden one
/// shown. The frame then lays its bars out again (WM_SIZE). Returns the
/// number of toolbars found; 0 for a null frame.
MWCOMMONMODULE_API int HideOrShowAcadToolBar(CWnd* frame, int show);

}  // namespace HvDbUtils

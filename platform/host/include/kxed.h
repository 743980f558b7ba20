// The host's editor functions: system variables, coordinate conversion, the
// current view and viewport, input, LISP functions, alerts and module loading.
// All calls come from the host's application thread, one at a time.
//
// System variables (names without case). Points are RTPOINT (2D) or
// RT3DPOINT, integers RTSHORT, reals RTREAL, texts RTSTR. A text value that
// kxedGetVar hands out is allocated with odrxAlloc (odutNewString); the
// caller releases it with odrxFree. The view variables belong to the current
// document and start from the default view: a plan view of the WCS, target at
// the origin, centre (0,0), VIEWSIZE 10, no twist, lens 50, no clipping.
//
//   VIEWCTR     3D point, UCS  centre of the current view; setting TARGET,
//                              VIEWDIR or VIEWTWIST keeps it in place
//   VIEWSIZE    real           height of the view in drawing units (> 0)
//   SCREENSIZE  2D point       viewport size in pixels, 1000 x 500 (host-wide)
//   VIEWDIR     3D point, UCS  from the target towards the viewer (not zero)
//   TARGET      3D point, UCS  the view's target
//   LENSLENGTH  real           lens length in millimetres (> 0), 50
//   VIEWTWIST   real           view twist in radians: the drawing appears
//                              turned counter-clockwise by this angle
//   VIEWMODE    short          1 perspective, 2 front clip, 4 back clip,
//                              16 front clip at the eye
//   FRONTZ      real           front clipping distance from the target
//   BACKZ       real           back clipping distance from the target
//   CMDACTIVE   short          read-only: 1 while a command runs, else 0
//   SECURELOAD  short          0, 1 (default) or 2; see kxedArxLoad
//   TRUSTEDPATHS text          folders kxedArxLoad trusts, separated by ";"
//   AUNITS      short          angle unit mode of kxdbAngToS (0-4), 0
//   AUPREC      short          angle precision (0-8), 0
// Variables kept by the current document's database:
//   CLAYER      text           current layer (must exist)
//   CELTYPE     text           current linetype (must exist)
//   TEXTSTYLE   text           current text style (must exist)
//   CELTSCALE   real           linetype scale of new entities (> 0)
//   TEXTSIZE    real           default text height (> 0)
//   LUNITS      short          linear unit mode of kxdbRToS (1-5)
//   LUPREC      short          linear precision (0-8)
//   TILEMODE    short          1 model space, 0 paper space
//   UCSORG, UCSXDIR, UCSYDIR   3D points, WCS, read-only (the UCS command sets them)
//
// The display system (DCS) of the current view: its origin is the target, its
// Z axis the unit view direction; without twist its X axis is the
// arbitrary-axis X axis of the view direction (so a plan view of the WCS has
// the WCS axes), and the twist turns the X and Y axes by -VIEWTWIST about Z.
#pragma once

#include <cstddef>

#include "DbObjectId.h"
#include "OdResult.h"
#include "ResBuf.h"
#include "kxdefs.h"

class OdDbViewTableRecord;
class OdDbViewport;
class CWnd;

/// The value of a system variable. RTERROR (and restype RTNONE) for a name
/// the host does not know or a null argument.
int kxedGetVar(const OdChar* name, resbuf* result);
/// Sets a system variable. Integers are accepted as RTSHORT or RTLONG, reals
/// also as integers, points as RTPOINT or RT3DPOINT. RTERROR for an unknown
/// or read-only variable, a value of the wrong type or out of range.
int kxedSetVar(const OdChar* name, const resbuf* value);

/// Converts a point (displacement 0) or a direction (displacement 1: axes
/// only, no translation) between systems named by RTSHORT codes (kKxWcs,
/// kKxUcs, kKxDcs) or by an RT3DPOINT extrusion (the ECS of that normal).
/// RTERROR for another kind of buffer or code; `result` then is unchanged.
int kxedTrans(const ads_point point, const resbuf* from, const resbuf* to, int displacement, ads_point result);

/// A modal alert: an OK box with a warning icon and the host's title.
int kxedAlert(const OdChar* text);

/// The current viewport of the current document: the "*Active" viewport
/// record in model space (TILEMODE 1); in paper space the viewport entity
/// that MSPACE made current, else the overall paper-space viewport. Null
/// without a document.
OdDbObjectId kxedGetCurViewportObjectId();
/// The drawing view window. The host program runs without windows, so there
/// is none and the result is null.
CWnd* kxedGetKoraxDwgView();
/// Makes a view current: with a null viewport, the current document's view
/// takes the record's centre, direction, target, lens, twist, clipping and
/// perspective, and a VIEWSIZE that shows the record's width and height
/// whole in the screen's aspect ratio. With a viewport entity (open for
/// write), that viewport's view is set instead. eNullObjectPointer for a null
/// record, eNoDatabase without a document.
OdResult kxedSetCurrentView(OdDbViewTableRecord* view, OdDbViewport* viewport);

/// Input for the running command, read from the command input that follows
/// it (the script's next words, or text sent with sendStringToExecute). A
/// word ends at a blank or a line end; "..." quotes a word with blanks. With
/// `allowSpaces` non-zero, kxedGetString takes the rest of the line instead.
/// The prompt and the answer are echoed on the command line. RTCAN when the
/// input is cancelled (Escape) or there is none; RTERROR for input that is
/// not of the asked kind. kxedGetString cuts at resultSize - 1 characters
/// and always ends the text with a NUL.
int kxedGetString(int allowSpaces, const OdChar* prompt, OdChar* result, std::size_t resultSize);
int kxedGetReal(const OdChar* prompt, double* result);
int kxedGetInt(const OdChar* prompt, int* result);
/// A point entered as "x,y" or "x,y,z", in the UCS; `base` is not used.
int kxedGetPoint(const ads_point base, const OdChar* prompt, ads_point result);

/// LISP functions. A module defines a function while it handles a message
/// (normally message 1); a call "(NAME arg ...)" in the command input then
/// sends it message 5 (kInvkSubrMsg). Arguments are numbers (RTSHORT, RTLONG,
/// RTREAL), "texts" (RTSTR), nil and T. RTERROR outside a module's message,
/// for an empty name or a negative code.
int kxedDefun(const OdChar* name, short functionCode);
int kxedUndef(const OdChar* name, short functionCode);
/// During message 5: the called function's code; otherwise RTERROR.
int kxedGetFunCode();
/// During message 5: the call's arguments (owned by the host, valid until
/// the call returns; null when there are none).
resbuf* kxedGetArgs();
/// The value handed back to the LISP caller; the last one set wins. Without
/// any, the caller gets nil. kxedRetList copies the list.
int kxedRetVoid();
int kxedRetNil();
int kxedRetStr(const OdChar* text);
int kxedRetList(const resbuf* list);

/// Loads a .krx module by its path (a Windows path of the machine): the
/// library is loaded, its "odrxCreateModuleObject" export makes the module
/// object, "odrxGetAPIVersion" (when exported) must report SDK version 3,
/// and the module object is initialised (message 1). A module already loaded
/// is not loaded or initialised again (RTERROR). SECURELOAD 0 loads from
/// anywhere; 1 loads from a trusted folder (the host program's folder and
/// TRUSTEDPATHS) and asks (Yes/No, default No) for any other; 2 loads from
/// trusted folders only. Modules named on the host program's command line
/// are the user's own choice and load whatever SECURELOAD says.
int kxedArxLoad(const OdChar* path);
/// Unloads a module by its path or file name: message 2, the module object
/// deleted, the library freed. RTERROR when it is not loaded, is still
/// locked (it never called unlockApplication) or other modules hold load
/// references to it.
int kxedArxUnload(const OdChar* path);

/// The host's text of a status code.
const OdChar* koraxErrorStatusText(OdResult status);

// Text and dimension styles: creating, updating, erasing and reading text
// styles, and creating a dimension style that becomes the drawing's current
// one. A null database means the working database; nothing here prints or
// shows a message.
#pragma once

#include "DbObjectId.h"
#include "MWCommonModuleApi.h"

class OdDbDatabase;

namespace HvDbUtils {

/// Creates text style `name`, or updates it when it exists, with, in this
/// order: the shape-file flag, the font file, the big-font file (only when
/// `bigFontFile` is neither null nor empty; an existing style otherwise keeps
/// its big font), the obliquing angle, the fixed text height and the width
/// factor. The style's id; the null id when a new style could not be added or
/// the table could not be opened (an existing style that cannot be opened
/// gives its id, unchanged).
MWCOMMONMODULE_API OdDbObjectId CreateTextStyle(const OdChar* name, const OdChar* fontFile, const OdChar* bigFontFile,
                                                double textHeight, double widthFactor, double obliquingAngle,
                                                bool isShapeFile, OdDbDatabase* database = nullptr);

/// Erases text style `name` when it exists and can be opened. False only when
/// the text style table cannot be opened (a missing style gives true).
MWCOMMONMODULE_API bool EraseTextStyle(const OdChar* name, OdDbDatabase* database = nullptr);

/// The id, fixed text height and width factor of text style `name`, or of
/// "STANDARD" when that style is missing. `id` is the null id first. True when
/// a style was read; false when neither exists or one cannot be opened.
MWCOMMONMODULE_API bool GetTextStyleInfor(const OdChar* name, OdDbObjectId& id, double& textHeight, double& widthFactor,
                                          OdDbDatabase* database = nullptr);

/// Creates dimension style `name` with the module's fixed metric dimension
/// variables (DIMALT off ... DIMZIN 0, see dimstyles.cpp) bound to text style
/// `textStyle` (no text style when it is missing or is a shape file), or, when
/// the style exists, sets only its DIMSCALE to 1 and its DIMTXSTY; then makes
/// it the current dimension style and copies its variables into the current
/// dimension variables. True when that succeeded; a style that cannot be
/// named or added leaves the table and the current style unchanged.
MWCOMMONMODULE_API bool CreateDimStyle(const OdChar* name, const OdChar* textStyle, OdDbDatabase* database = nullptr);

}  // namespace HvDbUtils

// HvDbUtils: making entities. Each function builds one entity, gives it the
// settings named below, adds it to the current space of the database (model
// space, or paper space when the layout's own viewport is current; see
// AddToCurrentSpace) and returns its id. Every failure (no drawing, an append
// the database refuses) gives the null id and adds nothing; nothing is
// reported. A null database means the host's working database.
//
// Points marked "UCS" are taken in the user coordinate system and converted
// to the world system by the host; all other coordinates are stored as
// given, as world coordinates. "CELTSCALE" marks the entities whose
// linetype scale is the database's current one (sub-entities included).
#pragma once

#include "DbDatabase.h"
#include "DbText.h"
#include "Ge.h"
#include "MWCommonModuleApi.h"
#include "OdArray.h"
#include "afxstr.h"

namespace HvDbUtils {

/// A line from `start` to `end` (both UCS). CELTSCALE.
MWCOMMONMODULE_API OdDbObjectId CreateLine(OdGePoint3d start, OdGePoint3d end, OdDbDatabase* database = nullptr);

/// An arc about `center` (UCS) with normal (0, 0, 1), counter-clockwise from
/// `startAngle` to `endAngle` (radians, as given). CELTSCALE.
MWCOMMONMODULE_API OdDbObjectId CreateArc(OdGePoint3d center, double radius, double startAngle, double endAngle,
                                          OdDbDatabase* database = nullptr);

/// A circle about `center` (UCS) with normal (0, 0, 1). CELTSCALE.
MWCOMMONMODULE_API OdDbObjectId CreateCircle(OdGePoint3d center, double radius, OdDbDatabase* database = nullptr);

/// A point entity at `position` (UCS); its linetype scale stays 1.
MWCOMMONMODULE_API OdDbObjectId CreatePoint(OdGePoint3d position, OdDbDatabase* database = nullptr);

/// A rotated (linear) dimension measured along `rotation` between the two
/// extension-line points, its dimension line through `dimLinePoint`, in the
/// dimension style `styleName` when the drawing has it (else the current
/// one). The text sits at the default position moved by `textOffset`, turned
/// by `textRotation`; `dimensionText` null shows the measured value.
MWCOMMONMODULE_API OdDbObjectId CreateRotatedDimension(const OdChar* styleName, double rotation, double oblique,
                                                       const OdGePoint3d& xLine1Point, const OdGePoint3d& xLine2Point,
                                                       const OdGePoint3d& dimLinePoint, const OdChar* dimensionText,
                                                       double textRotation, OdGeVector3d textOffset,
                                                       OdDbDatabase* database = nullptr);

/// A multiline text at `location` with the drawing's current text style
/// (TEXTSTYLE) and rotation 0; `contents` keeps its format codes.
MWCOMMONMODULE_API OdDbObjectId CreateMText(OdGePoint3d location, double height, OdDbMText::AttachmentPoint attachment,
                                            const OdChar* contents, OdDbDatabase* database = nullptr);

/// A single-line text in the style `styleName` (else "STANDARD", else no
/// style), aligned by `horizontal` and `vertical`: left and baseline place
/// it at `point` as its position, any other alignment as its alignment point.
MWCOMMONMODULE_API OdDbObjectId CreateText(CString text, OdGePoint3d point, double height, CString styleName,
                                           OdDb::TextHorzMode horizontal, OdDb::TextVertMode vertical,
                                           double widthFactor, OdDbDatabase* database = nullptr);
/// CreateText centred on `point` (center, middle).
MWCOMMONMODULE_API OdDbObjectId CreateCenterText(CString text, OdGePoint3d point, double height, CString styleName,
                                                 double widthFactor, OdDbDatabase* database = nullptr);
/// CreateText from `point` (left, baseline).
MWCOMMONMODULE_API OdDbObjectId CreateLeftBottomText(CString text, OdGePoint3d point, double height, CString styleName,
                                                     double widthFactor, OdDbDatabase* database = nullptr);
/// CreateText ending at `point` (right, baseline).
MWCOMMONMODULE_API OdDbObjectId CreateRightBottomText(CString text, OdGePoint3d point, double height, CString styleName,
                                                      double widthFactor, OdDbDatabase* database = nullptr);

/// A lightweight polyline of two straight vertices with constant `width`.
/// CELTSCALE.
MWCOMMONMODULE_API OdDbObjectId CreatePolyline(OdGePoint2d first, OdGePoint2d second, double width,
                                               OdDbDatabase* database = nullptr);

/// A lightweight polyline with one straight vertex per point (each (x, y, 0)
/// converted from the UCS, its x and y kept), in order, constant `width`,
/// closed when `closed` is not 0. An empty array gives a polyline without
/// vertices. CELTSCALE.
MWCOMMONMODULE_API OdDbObjectId CreatePolyline(OdArray<OdGePoint2d> points, int closed, double width,
                                               OdDbDatabase* database = nullptr);

/// A lightweight polyline of one arc segment about `center` with `radius`,
/// counter-clockwise from `startAngle` to `endAngle` (radians; the arc
/// crosses angle 0 when the start is greater), width 1.0, at elevation 0.
/// CELTSCALE.
MWCOMMONMODULE_API OdDbObjectId CreateArcPolyline(OdGePoint3d center, double radius, double startAngle, double endAngle,
                                                  OdDbDatabase* database = nullptr);

}  // namespace HvDbUtils

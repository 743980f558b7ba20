// HvDbUtils: questions about polylines and the vertices of polylines and
// meshes, copied into arrays so that a tool can rebuild or analyse their
// geometry. The entities are open (read is enough); their vertex objects are
// opened by id for read and closed again. The output arrays are never
// emptied: every function appends to what the caller passes in, so callers
// that want one entity's data pass empty arrays. A null entity gives false,
// 0 or nothing appended.
//
// Vertices that are taken: of a 2D polyline all but the spline-fit vertices
// (OdDb::k2dSplineFitVertex), of a 3D polyline all but the control vertices
// (OdDb::k3dControlVertex).
#pragma once

#include "DbPolylines.h"
#include "MWCommonModuleApi.h"
#include "OdArray.h"

namespace HvDbUtils {

/// True when a taken vertex of the 2D polyline has a start or end width
/// other than 0 (a width that is not a number counts too).
MWCOMMONMODULE_API bool PlineHasWidth(const OdDb2dPolyline* polyline);
/// True when a vertex of the lightweight polyline has a start or end width
/// greater than 0 (the default width -1 and other negative widths do not count).
MWCOMMONMODULE_API bool PlineHasWidth(const OdDbPolyline* polyline);

/// True when a segment of the lightweight polyline is coincident, a point or
/// empty (OdDbPolyline::kCoincident, kPoint, kEmpty).
MWCOMMONMODULE_API bool PlineHasZeroLengthSegments(const OdDbPolyline* polyline);

/// The number of segments of the lightweight polyline: its number of
/// vertices when it is closed, else one less, never below 0.
MWCOMMONMODULE_API int NumSegments(const OdDbPolyline* polyline);

/// Appends each taken vertex's position to `points` (in WCS when `wcs`, else
/// the stored position in the polyline's ECS) and its bulge to `bulges`. A
/// closed polyline then repeats `points`[0] (the first element of the array
/// as passed in) with bulge 0.
MWCOMMONMODULE_API void CollectVertices(const OdDb2dPolyline* polyline, OdArray<OdGePoint3d>& points,
                                        OdArray<double>& bulges, bool wcs);
/// Appends, for each taken vertex, its WCS position, vertex type
/// (OdDb::Vertex2dType), bulge, start width and end width; `hasWidth` is set
/// when a start or end width is not 0 (it is cleared first). A closed
/// polyline then repeats element 0 of the points, types, start and end
/// widths (the arrays as passed in, when none of them is empty) with bulge 0.
MWCOMMONMODULE_API void CollectVertices(const OdDb2dPolyline* polyline, OdArray<OdGePoint3d>& points,
                                        OdArray<int>& vertexTypes, OdArray<double>& bulges,
                                        OdArray<double>& startWidths, OdArray<double>& endWidths, bool& hasWidth);
/// Appends each taken vertex's WCS position; a closed polyline then repeats
/// `points`[0].
MWCOMMONMODULE_API void CollectVertices(const OdDb3dPolyline* polyline, OdArray<OdGePoint3d>& points);
/// Appends the ids of the mesh's face records to `faces` and the positions
/// of its vertices to `points` (the faces' vertex indices are not read). A
/// sub-object that does not open prints "\nARX ERROR: %s" with the status
/// text on the command line and is skipped.
MWCOMMONMODULE_API void CollectVertices(const OdDbPolyFaceMesh* mesh, OdArray<OdDbObjectId>& faces,
                                        OdArray<OdGePoint3d>& points);
/// Appends the mesh's vertex positions row by row. `m` and `n` become the
/// mesh's M and N sizes (its surface densities for a smoothed mesh). A mesh
/// closed in N repeats each row's first point at the end of the row and
/// counts N + 1; a mesh closed in M then repeats the first N points of
/// `points` and counts M + 1. A vertex that does not open as a polygon-mesh
/// vertex prints "\nARX ERROR: %s" with the status text and stops the walk:
/// false, with `m`, `n` and the points gathered so far kept.
MWCOMMONMODULE_API bool CollectVertices(const OdDbPolygonMesh* mesh, OdArray<OdGePoint3d>& points, int& m, int& n);

}  // namespace HvDbUtils

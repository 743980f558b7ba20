// Copying the vertices of 2D and 3D polylines into arrays. A closed polyline
// repeats the first element of each array at its end, so that a tool can
// walk the segments in pairs; the arrays are the caller's and are appended to.
#include "HvDbUtilsPolylines.h"
#include "entities/vertexwalk.h"

namespace HvDbUtils {

namespace {

// Copied before appending: the element lives in the array that grows.
template <class T>
void repeatFirst(OdArray<T>& items) {
  const T first = items[0];
  items.append(first);
}

}  // namespace

void CollectVertices(const OdDb2dPolyline* polyline, OdArray<OdGePoint3d>& points, OdArray<double>& bulges, bool wcs) {
  if (!polyline) return;
  mwcommon::forEachTakenVertex(polyline, [&](const OdDb2dVertex& vertex) {
    points.append(wcs ? polyline->vertexPosition(vertex) : vertex.position());
    bulges.append(vertex.bulge());
    return true;
  });
  if (polyline->isClosed() && !points.isEmpty()) {
    repeatFirst(points);
    bulges.append(0.0);
  }
}

void CollectVertices(const OdDb2dPolyline* polyline, OdArray<OdGePoint3d>& points, OdArray<int>& vertexTypes,
                     OdArray<double>& bulges, OdArray<double>& startWidths, OdArray<double>& endWidths,
                     bool& hasWidth) {
  hasWidth = false;
  if (!polyline) return;
  mwcommon::forEachTakenVertex(polyline, [&](const OdDb2dVertex& vertex) {
    points.append(polyline->vertexPosition(vertex));
    bulges.append(vertex.bulge());
    startWidths.append(vertex.startWidth());
    endWidths.append(vertex.endWidth());
    // "Not 0": a width that is not a number counts as width.
    if (vertex.startWidth() != 0 || vertex.endWidth() != 0) hasWidth = true;
    vertexTypes.append(vertex.vertexType());
    return true;
  });
  // Arrays the caller filled unevenly are left as they are rather than read
  // past their end.
  if (polyline->isClosed() && !points.isEmpty() && !vertexTypes.isEmpty() && !startWidths.isEmpty() &&
      !endWidths.isEmpty()) {
    repeatFirst(points);
    repeatFirst(vertexTypes);
    repeatFirst(startWidths);
    repeatFirst(endWidths);
    bulges.append(0.0);
  }
}

void CollectVertices(const OdDb3dPolyline* polyline, OdArray<OdGePoint3d>& points) {
  if (!polyline) return;
  mwcommon::forEachTakenVertex(polyline, [&](const OdDb3dPolylineVertex& vertex) {
    points.append(vertex.position());
    return true;
  });
  if (polyline->isClosed() && !points.isEmpty()) repeatFirst(points);
}

}  // namespace HvDbUtils

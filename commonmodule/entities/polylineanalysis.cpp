// Simple questions about polylines: whether they have width, whether a
// segment has no length, and how many segments a lightweight polyline has.
#include <algorithm>
#include <climits>

#include "HvDbUtilsPolylines.h"
#include "entities/vertexwalk.h"

namespace HvDbUtils {

bool PlineHasWidth(const OdDb2dPolyline* polyline) {
  bool hasWidth = false;
  mwcommon::forEachTakenVertex(polyline, [&](const OdDb2dVertex& vertex) {
    // Any width but 0 counts, negative ones included.
    if (vertex.startWidth() != 0 || vertex.endWidth() != 0) hasWidth = true;
    return !hasWidth;
  });
  return hasWidth;
}

bool PlineHasWidth(const OdDbPolyline* polyline) {
  if (!polyline) return false;
  for (unsigned int index = 0; index < polyline->numVerts(); ++index) {
    double startWidth = 0, endWidth = 0;
    // The default width -1 (and any other negative width) is no width.
    if (polyline->getWidthsAt(index, startWidth, endWidth) == eOk && (startWidth > 0 || endWidth > 0)) return true;
  }
  return false;
}

bool PlineHasZeroLengthSegments(const OdDbPolyline* polyline) {
  const int segments = NumSegments(polyline);
  for (int index = 0; index < segments; ++index) {
    switch (polyline->segType(static_cast<unsigned int>(index))) {
      case OdDbPolyline::kCoincident:
      case OdDbPolyline::kPoint:
      case OdDbPolyline::kEmpty:
        return true;
      default:
        break;
    }
  }
  return false;
}

int NumSegments(const OdDbPolyline* polyline) {
  if (!polyline) return 0;
  const auto vertices = static_cast<long long>(polyline->numVerts());
  const long long segments = polyline->isClosed() ? vertices : vertices - 1;
  return static_cast<int>(std::clamp<long long>(segments, 0, INT_MAX));
}

}  // namespace HvDbUtils

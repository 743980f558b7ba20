// Questions about polylines: width, zero-length segments, segment counts.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "HvDbUtilsPolylines.h"
#include "entityfixture.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

std::unique_ptr<OdDbPolyline> lightweight(const std::vector<OdGePoint2d>& points, bool closed = false) {
  auto polyline = std::make_unique<OdDbPolyline>();
  unsigned int index = 0;
  for (const OdGePoint2d& point : points) polyline->addVertexAt(index++, point);
  polyline->setClosed(closed);
  return polyline;
}

TEST(PolylineSegments, CountsAndZeroLengthSegments) {
  const OdGePoint2d a(0, 0), b(1, 0), c(1, 1);
  struct Case {
    std::vector<OdGePoint2d> points;
    bool closed;
    int segments;
    bool zeroLength;
  } cases[] = {
      {{}, false, 0, false},           {{}, true, 0, false},
      {{a}, false, 0, false},          {{a}, true, 1, true},  // a closed polyline of one vertex is one point
      {{a, b}, false, 1, false},       {{a, b}, true, 2, false},
      {{a, b, c}, false, 2, false},    {{a, b, c}, true, 3, false},
      {{a, a, b}, false, 2, true},      // two vertices on one spot
      {{a, b, c, a}, false, 3, false},  // ends meeting is no segment of zero length
      {{a, b, c, a}, true, 4, true},    // ... until the closing segment joins them
  };
  for (const Case& test : cases) {
    const auto polyline = lightweight(test.points, test.closed);
    const int line = static_cast<int>(&test - cases);
    EXPECT_EQ(HvDbUtils::NumSegments(polyline.get()), test.segments) << line;
    EXPECT_EQ(HvDbUtils::PlineHasZeroLengthSegments(polyline.get()), test.zeroLength) << line;
  }
  EXPECT_EQ(HvDbUtils::NumSegments(nullptr), 0);
  EXPECT_FALSE(HvDbUtils::PlineHasZeroLengthSegments(nullptr));
}

TEST(PolylineWidth, LightweightPolylinesCountOnlyPositiveWidths) {
  struct Case {
    double start, end;
    bool hasWidth;
  } cases[] = {
      {-1, -1, false},  // the default width
      {0, 0, false},   {-2, -0.5, false}, {0.5, 0, true}, {0, 0.25, true}, {-1, 3, true},
  };
  for (const Case& test : cases) {
    const auto polyline = lightweight({{0, 0}, {1, 0}, {2, 0}});
    ASSERT_EQ(polyline->setWidthsAt(1, test.start, test.end), eOk);
    EXPECT_EQ(HvDbUtils::PlineHasWidth(polyline.get()), test.hasWidth) << test.start << " " << test.end;
  }
  EXPECT_FALSE(HvDbUtils::PlineHasWidth(lightweight({{0, 0}, {1, 0}}).get()));
  EXPECT_FALSE(HvDbUtils::PlineHasWidth(static_cast<const OdDbPolyline*>(nullptr)));
}

class PolylineWidth2d : public DrawingTest {
 protected:
  struct Vertex {
    double start, end;
    OdDb::Vertex2dType type = OdDb::k2dVertex;
  };
  OdDbObjectId polyline(std::initializer_list<Vertex> vertices) {
    auto* polyline = new OdDb2dPolyline();
    double x = 0;
    for (const Vertex& v : vertices) {
      auto* vertex = new OdDb2dVertex(OdGePoint3d(x++, 0, 0), 0, v.start, v.end);
      vertex->setVertexType(v.type);
      EXPECT_EQ(polyline->appendVertex(vertex), eOk);
    }
    return append(polyline);
  }
  bool hasWidth(OdDbObjectId id) {
    Opened<OdDb2dPolyline> open(id, OdDb::kForRead);
    EXPECT_EQ(open.result(), eOk);
    return HvDbUtils::PlineHasWidth(open.get());
  }
};

TEST_F(PolylineWidth2d, AnyWidthOtherThanZeroOfATakenVertexCounts) {
  EXPECT_FALSE(hasWidth(polyline({{0, 0}, {0, 0}})));
  EXPECT_TRUE(hasWidth(polyline({{0, 0}, {-1, 0}})));  // unlike the lightweight polyline
  EXPECT_TRUE(hasWidth(polyline({{0, 0.5}, {0, 0}})));
  EXPECT_TRUE(hasWidth(polyline({{0, 0, OdDb::k2dSplineCtlVertex}, {2, 2, OdDb::k2dSplineCtlVertex}})));
  // Spline-fit vertices are made by fitting: their widths do not count.
  EXPECT_FALSE(hasWidth(polyline({{0, 0}, {1, 1, OdDb::k2dSplineFitVertex}, {0, 0}})));
  EXPECT_FALSE(hasWidth(polyline({})));
  EXPECT_FALSE(HvDbUtils::PlineHasWidth(static_cast<const OdDb2dPolyline*>(nullptr)));
}

TEST_F(PolylineWidth2d, AVertexThatDoesNotOpenIsPassedOver) {
  const OdDbObjectId id = polyline({{0, 0}, {3, 3}});
  Opened<OdDb2dPolyline> open(id, OdDb::kForRead);
  std::unique_ptr<OdDbObjectIterator> vertices(open->vertexIterator());
  vertices->step();
  Opened<OdDb2dVertex> busy(vertices->objectId(), OdDb::kForWrite);
  ASSERT_EQ(busy.result(), eOk);
  EXPECT_FALSE(HvDbUtils::PlineHasWidth(open.get()));
  EXPECT_EQ(printed(), u"");
}

}  // namespace

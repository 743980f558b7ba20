// Copying the vertices of 2D and 3D polylines, polyface meshes and polygon
// meshes into arrays.
#include <gtest/gtest.h>

#include <vector>

#include "HvDbUtilsPolylines.h"
#include "entityfixture.h"
#include "kxed.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

std::vector<OdGePoint3d> asVector(const OdArray<OdGePoint3d>& points) { return {points.begin(), points.end()}; }

class CollectVertices : public DrawingTest {
 protected:
  struct Vertex2d {
    OdGePoint3d position;
    double bulge = 0, start = 0, end = 0;
    OdDb::Vertex2dType type = OdDb::k2dVertex;
  };
  OdDbObjectId polyline2d(const std::vector<Vertex2d>& vertices, bool closed, double elevation = 0,
                          const OdGeVector3d& normal = OdGeVector3d::kZAxis) {
    auto* polyline = new OdDb2dPolyline();
    for (const Vertex2d& v : vertices) {
      auto* vertex = new OdDb2dVertex(v.position, v.bulge, v.start, v.end);
      vertex->setVertexType(v.type);
      EXPECT_EQ(polyline->appendVertex(vertex), eOk);
    }
    if (closed) polyline->makeClosed();
    polyline->setElevation(elevation);
    polyline->setNormal(normal);
    return append(polyline);
  }

  /// A polygon mesh of `m` rows of `n` vertices at (row, column, 0).
  OdDbObjectId polygonMesh(OdInt16 m, OdInt16 n, bool closedInM, bool closedInN,
                           OdDb::PolyMeshType type = OdDb::kSimpleMesh) {
    auto* mesh = new OdDbPolygonMesh(type, m, n);
    for (int row = 0; row < m; ++row)
      for (int column = 0; column < n; ++column)
        EXPECT_EQ(mesh->appendVertex(new OdDbPolygonMeshVertex(OdGePoint3d(row, column, 0))), eOk);
    if (closedInM) mesh->makeMClosed();
    if (closedInN) mesh->makeNClosed();
    return append(mesh);
  }
};

TEST_F(CollectVertices, AClosed2dPolylineEndsWhereItBegan) {
  const OdDbObjectId id = polyline2d({{{0, 0, 0}, 0.5}, {{4, 0, 0}, 0.25}, {{4, 3, 0}, -1}, {{0, 3, 0}, 0.125}}, true);
  Opened<OdDb2dPolyline> open(id, OdDb::kForRead);
  OdArray<OdGePoint3d> points;
  OdArray<double> bulges;
  HvDbUtils::CollectVertices(open.get(), points, bulges, true);
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[4], points[0]);
  EXPECT_EQ(points[2], OdGePoint3d(4, 3, 0));
  EXPECT_EQ(std::vector<double>(bulges.begin(), bulges.end()), (std::vector<double>{0.5, 0.25, -1, 0.125, 0}));

  // An open one does not.
  const OdDbObjectId openId = polyline2d({{{0, 0, 0}}, {{4, 0, 0}}}, false);
  Opened<OdDb2dPolyline> opened(openId, OdDb::kForRead);
  OdArray<OdGePoint3d> few;
  OdArray<double> fewBulges;
  HvDbUtils::CollectVertices(opened.get(), few, fewBulges, true);
  EXPECT_EQ(few.size(), 2u);
  EXPECT_EQ(fewBulges.size(), 2u);
}

TEST_F(CollectVertices, PositionsInTheWorldOrInThePolylinesOwnSystem) {
  // A polyline in a plane seen from below, raised to elevation 2: its ECS x
  // runs against the world's.
  const OdDbObjectId id = polyline2d({{{1, 2, 0}}, {{3, 5, 0}}}, false, 2, OdGeVector3d(0, 0, -1));
  Opened<OdDb2dPolyline> open(id, OdDb::kForRead);
  OdArray<OdGePoint3d> world, own;
  OdArray<double> bulges;
  HvDbUtils::CollectVertices(open.get(), world, bulges, true);
  HvDbUtils::CollectVertices(open.get(), own, bulges, false);
  ASSERT_EQ(world.size(), 2u);
  ASSERT_EQ(own.size(), 2u);
  EXPECT_EQ(own[1], OdGePoint3d(3, 5, 0));  // the stored position
  std::unique_ptr<OdDbObjectIterator> vertices(open->vertexIterator());
  vertices->step();
  Opened<OdDb2dVertex> second(vertices->objectId(), OdDb::kForRead);
  EXPECT_EQ(world[1], open->vertexPosition(*second.get()));
  EXPECT_TRUE(world[1].isEqualTo(OdGePoint3d(-3, 5, -2), OdGeTol(1e-9)));
}

TEST_F(CollectVertices, SplineFitVerticesAreLeftOutOf2dPolylines) {
  const OdDbObjectId id = polyline2d({{{0, 0, 0}, 0, 0, 0, OdDb::k2dSplineCtlVertex},
                                      {{1, 1, 0}, 0, 0, 0, OdDb::k2dSplineFitVertex},
                                      {{2, 0, 0}, 0, 0, 0, OdDb::k2dSplineCtlVertex},
                                      {{3, 1, 0}, 0, 5, 5, OdDb::k2dSplineFitVertex},
                                      {{4, 0, 0}, 0, 0, 0, OdDb::k2dVertex}},
                                     false);
  Opened<OdDb2dPolyline> open(id, OdDb::kForRead);
  OdArray<OdGePoint3d> points;
  OdArray<int> types;
  OdArray<double> bulges, starts, ends;
  bool hasWidth = true;
  HvDbUtils::CollectVertices(open.get(), points, types, bulges, starts, ends, hasWidth);
  EXPECT_EQ(asVector(points), (std::vector<OdGePoint3d>{{0, 0, 0}, {2, 0, 0}, {4, 0, 0}}));
  EXPECT_EQ(std::vector<int>(types.begin(), types.end()),
            (std::vector<int>{OdDb::k2dSplineCtlVertex, OdDb::k2dSplineCtlVertex, OdDb::k2dVertex}));
  EXPECT_FALSE(hasWidth);  // cleared first; the wide vertex is a fitted one
}

TEST_F(CollectVertices, TheFullFormOfAClosed2dPolyline) {
  const OdDbObjectId id = polyline2d(
      {{{0, 0, 0}, 0.5, 1, 2}, {{4, 0, 0}, 0, 0, 0}, {{4, 3, 0}, -0.5, 0, 0, OdDb::k2dCurveFitVertex}}, true, 1.5);
  Opened<OdDb2dPolyline> open(id, OdDb::kForRead);
  OdArray<OdGePoint3d> points;
  OdArray<int> types;
  OdArray<double> bulges, starts, ends;
  bool hasWidth = false;
  HvDbUtils::CollectVertices(open.get(), points, types, bulges, starts, ends, hasWidth);
  EXPECT_TRUE(hasWidth);
  EXPECT_EQ(asVector(points),
            (std::vector<OdGePoint3d>{{0, 0, 1.5}, {4, 0, 1.5}, {4, 3, 1.5}, {0, 0, 1.5}}));  // in WCS
  EXPECT_EQ(std::vector<int>(types.begin(), types.end()), (std::vector<int>{0, 0, 3, 0}));
  EXPECT_EQ(std::vector<double>(bulges.begin(), bulges.end()), (std::vector<double>{0.5, 0, -0.5, 0}));
  EXPECT_EQ(std::vector<double>(starts.begin(), starts.end()), (std::vector<double>{1, 0, 0, 1}));
  EXPECT_EQ(std::vector<double>(ends.begin(), ends.end()), (std::vector<double>{2, 0, 0, 2}));
}

TEST_F(CollectVertices, ArraysThatHoldElementsAreAppendedTo) {
  const OdDbObjectId id = polyline2d({{{1, 1, 0}, 0.5, 3, 3}, {{2, 2, 0}}}, true);
  Opened<OdDb2dPolyline> open(id, OdDb::kForRead);
  OdArray<OdGePoint3d> points;
  points.append(OdGePoint3d(9, 9, 9));
  OdArray<double> bulges;
  bulges.append(7);
  HvDbUtils::CollectVertices(open.get(), points, bulges, true);
  // The closing element repeats the first element of the array as passed in.
  EXPECT_EQ(asVector(points), (std::vector<OdGePoint3d>{{9, 9, 9}, {1, 1, 0}, {2, 2, 0}, {9, 9, 9}}));
  EXPECT_EQ(std::vector<double>(bulges.begin(), bulges.end()), (std::vector<double>{7, 0.5, 0, 0}));

  OdArray<OdGePoint3d> fullPoints;
  fullPoints.append(OdGePoint3d(8, 8, 8));
  OdArray<int> types;
  types.append(42);
  OdArray<double> fullBulges, starts, ends;
  starts.append(-5);
  ends.append(-6);
  bool hasWidth = false;
  HvDbUtils::CollectVertices(open.get(), fullPoints, types, fullBulges, starts, ends, hasWidth);
  EXPECT_EQ(fullPoints.size(), 4u);
  EXPECT_EQ(fullPoints[3], OdGePoint3d(8, 8, 8));
  EXPECT_EQ(std::vector<int>(types.begin(), types.end()), (std::vector<int>{42, 0, 0, 42}));
  EXPECT_EQ(std::vector<double>(starts.begin(), starts.end()), (std::vector<double>{-5, 3, 0, -5}));
  EXPECT_EQ(std::vector<double>(ends.begin(), ends.end()), (std::vector<double>{-6, 3, 0, -6}));
  EXPECT_EQ(std::vector<double>(fullBulges.begin(), fullBulges.end()), (std::vector<double>{0.5, 0, 0}));

  // Arrays the caller filled unevenly get no closing elements rather than a
  // read past the end of an empty one.
  const OdDbObjectId empty = polyline2d({}, true);
  Opened<OdDb2dPolyline> none(empty, OdDb::kForRead);
  OdArray<OdGePoint3d> onePoint;
  onePoint.append(OdGePoint3d(1, 2, 3));
  OdArray<int> noTypes;
  OdArray<double> noBulges, noStarts, noEnds;
  HvDbUtils::CollectVertices(none.get(), onePoint, noTypes, noBulges, noStarts, noEnds, hasWidth);
  EXPECT_EQ(onePoint.size(), 1u);
  EXPECT_TRUE(noTypes.isEmpty() && noBulges.isEmpty() && noStarts.isEmpty() && noEnds.isEmpty());
  // The short form repeats the point it was given.
  HvDbUtils::CollectVertices(none.get(), onePoint, noBulges, true);
  EXPECT_EQ(asVector(onePoint), (std::vector<OdGePoint3d>{{1, 2, 3}, {1, 2, 3}}));
  EXPECT_EQ(std::vector<double>(noBulges.begin(), noBulges.end()), (std::vector<double>{0}));
}

TEST_F(CollectVertices, Splined3dPolylinesGiveTheirFitAndSimpleVertices) {
  auto* polyline = new OdDb3dPolyline();
  const struct {
    OdGePoint3d position;
    OdDb::Vertex3dType type;
  } vertices[] = {{{0, 0, 0}, OdDb::k3dSimpleVertex},
                  {{1, 1, 1}, OdDb::k3dControlVertex},
                  {{2, 0, 2}, OdDb::k3dFitVertex},
                  {{3, 1, 3}, OdDb::k3dControlVertex},
                  {{4, 0, 4}, OdDb::k3dFitVertex}};
  for (const auto& v : vertices) {
    auto* vertex = new OdDb3dPolylineVertex(v.position);
    vertex->setVertexType(v.type);
    ASSERT_EQ(polyline->appendVertex(vertex), eOk);
  }
  polyline->makeClosed();
  const OdDbObjectId id = append(polyline);
  Opened<OdDb3dPolyline> open(id, OdDb::kForRead);
  OdArray<OdGePoint3d> points;
  HvDbUtils::CollectVertices(open.get(), points);
  EXPECT_EQ(asVector(points), (std::vector<OdGePoint3d>{{0, 0, 0}, {2, 0, 2}, {4, 0, 4}, {0, 0, 0}}));
  HvDbUtils::CollectVertices(static_cast<const OdDb3dPolyline*>(nullptr), points);
  EXPECT_EQ(points.size(), 4u);
}

TEST_F(CollectVertices, PolyfaceMeshesGiveVertexPositionsAndFaceRecords) {
  auto* mesh = new OdDbPolyFaceMesh();
  const std::vector<OdGePoint3d> corners{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}};
  for (const OdGePoint3d& corner : corners) ASSERT_EQ(mesh->appendVertex(new OdDbPolyFaceMeshVertex(corner)), eOk);
  ASSERT_EQ(mesh->appendFaceRecord(new OdDbFaceRecord(1, 2, 3, 0)), eOk);
  ASSERT_EQ(mesh->appendFaceRecord(new OdDbFaceRecord(1, 3, -4, 0)), eOk);
  const OdDbObjectId id = append(mesh);

  Opened<OdDbPolyFaceMesh> open(id, OdDb::kForRead);
  OdArray<OdDbObjectId> faces;
  OdArray<OdGePoint3d> points;
  HvDbUtils::CollectVertices(open.get(), faces, points);
  EXPECT_EQ(asVector(points), corners);
  ASSERT_EQ(faces.size(), 2u);
  for (const OdDbObjectId& face : faces) {
    Opened<OdDbFaceRecord> record(face, OdDb::kForWrite);  // a face record, closed again
    EXPECT_EQ(record.result(), eOk);
  }
  EXPECT_EQ(printed(), u"");

  // A sub-object that does not open is reported and skipped.
  std::unique_ptr<OdDbObjectIterator> subs(open->vertexIterator());
  subs->step();
  Opened<OdDbPolyFaceMeshVertex> busy(subs->objectId(), OdDb::kForWrite);
  OdArray<OdDbObjectId> moreFaces;
  OdArray<OdGePoint3d> morePoints;
  HvDbUtils::CollectVertices(open.get(), moreFaces, morePoints);
  EXPECT_EQ(asVector(morePoints), (std::vector<OdGePoint3d>{corners[0], corners[2], corners[3]}));
  EXPECT_EQ(moreFaces.size(), 2u);
  EXPECT_EQ(printed(), std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(eWasOpenForWrite));
}

TEST_F(CollectVertices, PolygonMeshRowsAndClosings) {
  struct Case {
    bool closedInM, closedInN;
    unsigned int points;
    int m, n;
  } cases[] = {
      {false, false, 12, 3, 4},
      {false, true, 15, 3, 5},
      {true, false, 16, 4, 4},
      {true, true, 20, 4, 5},
  };
  for (const Case& c : cases) {
    const OdDbObjectId id = polygonMesh(3, 4, c.closedInM, c.closedInN);
    Opened<OdDbPolygonMesh> open(id, OdDb::kForRead);
    OdArray<OdGePoint3d> points;
    int m = -1, n = -1;
    ASSERT_TRUE(HvDbUtils::CollectVertices(open.get(), points, m, n));
    EXPECT_EQ(points.size(), c.points);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(n, c.n);
    // Row by row, each row of n points; closed in N a row ends at its start,
    // closed in M the first row comes again.
    ASSERT_EQ(points.size(), static_cast<unsigned int>(m * n));
    for (int row = 0; row < m; ++row) {
      const int meshRow = row % 3;
      for (int column = 0; column < n; ++column) {
        const int meshColumn = column % 4;
        EXPECT_EQ(points[row * n + column], OdGePoint3d(meshRow, meshColumn, 0)) << row << "," << column;
      }
    }
  }
}

TEST_F(CollectVertices, SmoothedPolygonMeshesCountTheirSurfaceDensities) {
  auto* mesh = new OdDbPolygonMesh(OdDb::kCubicSurfaceMesh, 2, 2);
  for (int i = 0; i < 4; ++i) ASSERT_EQ(mesh->appendVertex(new OdDbPolygonMeshVertex(OdGePoint3d(i, 0, 0))), eOk);
  mesh->setMSurfaceDensity(6);
  mesh->setNSurfaceDensity(8);
  const OdDbObjectId id = append(mesh);
  Opened<OdDbPolygonMesh> open(id, OdDb::kForRead);
  OdArray<OdGePoint3d> points;
  int m = 0, n = 0;
  ASSERT_TRUE(HvDbUtils::CollectVertices(open.get(), points, m, n));
  EXPECT_EQ(m, 6);
  EXPECT_EQ(n, 8);
  EXPECT_EQ(points.size(), 4u);
}

TEST_F(CollectVertices, APolygonMeshVertexThatDoesNotOpenStopsTheWalk) {
  const OdDbObjectId id = polygonMesh(2, 3, true, true);
  Opened<OdDbPolygonMesh> open(id, OdDb::kForRead);
  std::unique_ptr<OdDbObjectIterator> vertices(open->vertexIterator());
  for (int i = 0; i < 4; ++i) vertices->step();
  Opened<OdDbPolygonMeshVertex> busy(vertices->objectId(), OdDb::kForWrite);
  ASSERT_EQ(busy.result(), eOk);

  OdArray<OdGePoint3d> points;
  points.append(OdGePoint3d(7, 7, 7));
  int m = 0, n = 0;
  EXPECT_FALSE(HvDbUtils::CollectVertices(open.get(), points, m, n));
  EXPECT_EQ(m, 2);  // the sizes as read, not yet counted up for the closings
  EXPECT_EQ(n, 3);
  // The caller's point, the first row with its closing point, one more vertex.
  EXPECT_EQ(asVector(points),
            (std::vector<OdGePoint3d>{{7, 7, 7}, {0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 0, 0}, {1, 0, 0}}));
  EXPECT_EQ(printed(), std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(eWasOpenForWrite));
  EXPECT_FALSE(HvDbUtils::CollectVertices(static_cast<const OdDbPolygonMesh*>(nullptr), points, m, n));
}

}  // namespace

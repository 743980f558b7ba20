// Coordinate systems and point geometry: the angle rules, the point
// comparisons, the host's conversions, the UCS of a database and the
// arbitrary-axis rule of the ECS (checked against ezdxf's).
#include <gtest/gtest.h>
#include <stdio.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "DbCurves.h"
#include "DbDatabase.h"
#include "HvDbUtilsGeometry.h"
#include "kxap.h"
#include "kxdefs.h"
#include "kxed.h"
#include "kxhost.h"
#include "testing/tempmachine.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTurn = 2 * kPi;
constexpr double kNear = 1e-9;

void expectNear(const OdGePoint3d& actual, const OdGePoint3d& expected, const char* what = "") {
  EXPECT_NEAR(actual.x, expected.x, kNear) << what;
  EXPECT_NEAR(actual.y, expected.y, kNear) << what;
  EXPECT_NEAR(actual.z, expected.z, kNear) << what;
}

void expectNear(const OdGeVector3d& actual, const OdGeVector3d& expected, const char* what = "") {
  expectNear(OdGePoint3d(actual.x, actual.y, actual.z), OdGePoint3d(expected.x, expected.y, expected.z), what);
}

void expectIdentity(const OdGeMatrix3d& matrix) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(matrix(r, c), r == c ? 1.0 : 0.0) << r << "," << c;
}

TEST(RuleAngle, BringsDegreesIntoOneTurn) {
  struct Case {
    double in;
    double out;
  } const cases[] = {
      {-90, 270},
      {720, 0},
      {359.9995, 0},
      {360.0005, 0},
      {-359.9995, 0.0005},
      {360, 0},
      {0, 0},
      {45, 45},
      {-720.5, 359.5},
      {0.0009, 0},
      {-0.0009, 0},
      {-360, 0},
      {1080.25, 0.25},
      {359.998, 359.998},
      // Beyond 2^31 turns the remainder is exact.
      {1e12, 280},
      {-1e12, 80},
  };
  for (const Case& c : cases) EXPECT_NEAR(HvDbUtils::RuleAngle(c.in), c.out, 1e-9) << c.in;
}

TEST(RuleAngle, BringsRadiansIntoOneTurn) {
  struct Case {
    double in;
    double out;
  } const cases[] = {
      {-kPi / 2, 3 * kPi / 2},
      {4 * kPi, 0},
      {kTurn - 0.0005, 0},
      {kTurn + 0.0005, 0},
      {-(kTurn - 0.0005), 0.0005},
      {kPi, kPi},
      {kTurn, 0},
      {-3 * kPi, kPi},
      {0.0009, 0},
      {0.002, 0.002},
  };
  for (const Case& c : cases) EXPECT_NEAR(HvDbUtils::RuleRadAngle(c.in), c.out, 1e-9) << c.in;
}

TEST(RuleAngle, ValuesThatAreNoAngleComeBackAsTheyAre) {
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(HvDbUtils::RuleAngle(infinity), infinity);
  EXPECT_EQ(HvDbUtils::RuleRadAngle(-infinity), -infinity);
  EXPECT_TRUE(std::isnan(HvDbUtils::RuleAngle(std::nan(""))));
}

TEST(Angles, DegreesAndRadians) {
  EXPECT_DOUBLE_EQ(HvDbUtils::AngToRad(180), kPi);
  EXPECT_DOUBLE_EQ(HvDbUtils::AngToRad(-90), -kPi / 2);
  EXPECT_DOUBLE_EQ(HvDbUtils::RadToAng(kPi / 2), 90);
  EXPECT_DOUBLE_EQ(HvDbUtils::RadToAng(HvDbUtils::AngToRad(33.5)), 33.5);
}

TEST(Points, EqualMeansLessThanAThousandthApart) {
  struct Case {
    OdGePoint3d a, b;
    int equal;
  } const cases[] = {
      {{0, 0, 0}, {0.001, 0, 0}, 0},
      {{0, 0, 0}, {0.000999, 0, 0}, 1},
      {{1, 2, 3}, {1, 2, 3}, 1},
      {{1, 2, 3}, {1, 2, 3.002}, 0},
      {{0, 0, 0}, {0.0005, 0.0005, 0.0005}, 1},  // 0.000866 apart
      {{0, 0, 0}, {0.0006, 0.0006, 0.0006}, 0},  // 0.00104 apart
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HvDbUtils::PointIsEqual(c.a, c.b), c.equal) << c.b.x << " " << c.b.y << " " << c.b.z;
    EXPECT_EQ(HvDbUtils::PointIsEqual(c.b, c.a), c.equal);
  }
}

TEST(Points, OnASegmentComparesPathLengths) {
  const OdGePoint3d a(0, 0, 0), b(10, 0, 0);
  struct Case {
    OdGePoint3d p;
    int on;
  } const cases[] = {
      {{0, 0, 0}, 1},    {{10, 0, 0}, 1}, {{5, 0, 0}, 1},       {{2.5, 0, 0}, 1},
      {{5, 0.01, 0}, 1},  // the detour is 0.00002
      {{5, 0.1, 0}, 0},   // the detour is 0.002
      {{5, 0, 0.1}, 0},  {{11, 0, 0}, 0}, {{-0.0004, 0, 0}, 1}, {{-0.0006, 0, 0}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(HvDbUtils::PointIsOn(c.p, a, b), c.on) << c.p.x << " " << c.p.y << " " << c.p.z;
}

TEST(Points, FormsAndCopies) {
  const OdGePoint3d p = HvDbUtils::p2to3(OdGePoint2d(1.5, -2));
  EXPECT_EQ(p, OdGePoint3d(1.5, -2, 0));
  EXPECT_EQ(HvDbUtils::p3to2(OdGePoint3d(4, 5, 6)), OdGePoint2d(4, 5));
  ads_point to = {0, 0, 0};
  const ads_point from = {7, 8, 9};
  HvDbUtils::CopyAdsPoint(to, from);
  EXPECT_EQ(to[0], 7);
  EXPECT_EQ(to[1], 8);
  EXPECT_EQ(to[2], 9);
}

TEST(Points, PolarAndAngleComeFromTheHost) {
  expectNear(HvDbUtils::arx_polar({1, 2, 3}, kPi / 2, 2), {1, 4, 3});
  expectNear(HvDbUtils::arx_polar({0, 0, 0}, kPi, 1), {-1, 0, 0});

  struct Case {
    OdGePoint3d to;
    double angle;
  } const cases[] = {
      {{1, 0, 0}, 0}, {{0, 1, 0}, kPi / 2}, {{-1, 0, 0}, kPi}, {{-1, -1, 0}, 5 * kPi / 4}, {{0, -1, 5}, 3 * kPi / 2},
  };
  for (const Case& c : cases) EXPECT_NEAR(HvDbUtils::arx_angle({0, 0, 0}, c.to), c.angle, 1e-12) << c.angle;
  // The host gives a tiny negative angle; a turn added to it is exactly 2 pi,
  // which is not in the range: 0.
  EXPECT_EQ(HvDbUtils::arx_angle({0, 0, 0}, {1, -1e-300, 0}), 0.0);
}

/// A drawing whose UCS is moved to (10, 20, 0) and turned by 90 degrees.
class UcsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kxhost::setCommandLineToStdout(false);
    m_document = kxhost::newDocument();
    ASSERT_NE(m_document, nullptr);
    ASSERT_EQ(db()->setUcs({10, 20, 0}, {0, 1, 0}, {-1, 0, 0}), eOk);
  }
  void TearDown() override {
    kxhost::endSession();
    kxhost::setCommandLineToStdout(true);
  }
  OdDbDatabase* db() const { return m_document->database(); }

  winsim::testing::TempMachine m_machine;
  KxApDocument* m_document = nullptr;
};

TEST_F(UcsTest, AxesAndPlaneOfTheUcs) {
  for (OdDbDatabase* database : {static_cast<OdDbDatabase*>(nullptr), db()}) {
    expectNear(HvDbUtils::GetUcsXAxis(database), {0, 1, 0});
    expectNear(HvDbUtils::GetUcsYAxis(database), {-1, 0, 0});
    expectNear(HvDbUtils::GetUcsZAxis(database), {0, 0, 1});
    const OdGePlane plane = HvDbUtils::GetUcsPlane(database);
    expectNear(plane.pointOnPlane(), {10, 20, 0});
    expectNear(plane.normal(), {0, 0, 1});
    OdGePoint3d origin;
    OdGeVector3d u, v;
    plane.getCoordSystem(origin, u, v);
    expectNear(u, {0, 1, 0});
    expectNear(v, {-1, 0, 0});
  }
}

TEST_F(UcsTest, MatricesOfTheUcs) {
  OdGeMatrix3d toWcs, toUcs;
  HvDbUtils::GetUcsToWcsMatrix(toWcs);
  HvDbUtils::GetWcsToUcsMatrix(toUcs);
  expectNear(toWcs * OdGePoint3d(1, 0, 0), {10, 21, 0});
  expectNear(toWcs * OdGePoint3d(0, 1, 5), {9, 20, 5});
  expectNear(toUcs * OdGePoint3d(10, 21, 0), {1, 0, 0});
  expectNear(toUcs * OdGePoint3d(0, 0, 0), {-20, 10, 0});

  // The system at UCS origin + (1, 2, 3) with the UCS axes, mapped onto the WCS.
  OdGeMatrix3d shifted;
  HvDbUtils::GetUcsToWcsOriginMatrix(shifted, {1, 2, 3});
  expectNear(shifted * OdGePoint3d(11, 22, 3), {0, 0, 0});
  expectNear(shifted * OdGePoint3d(11, 23, 3), {1, 0, 0});
  expectNear(shifted * OdGePoint3d(10, 22, 3), {0, 1, 0});
  expectNear(shifted * OdGePoint3d(11, 22, 4), {0, 0, 1});
}

TEST_F(UcsTest, PointsVectorsAndArraysInPlace) {
  OdGePoint3d point(1, 0, 0);
  HvDbUtils::UcsToWcs(point);
  expectNear(point, {10, 21, 0});
  HvDbUtils::WcsToUcs(point);
  expectNear(point, {1, 0, 0});

  // Directions turn, they do not move.
  OdGeVector3d vector(1, 0, 0);
  HvDbUtils::UcsToWcs(vector);
  expectNear(vector, {0, 1, 0});
  HvDbUtils::WcsToUcs(vector);
  expectNear(vector, {1, 0, 0});

  OdArray<OdGePoint3d> points;
  points.append({0, 0, 0});
  points.append({1, 0, 0});
  points.append({0, 2, 1});
  HvDbUtils::UcsToWcs(points);
  ASSERT_EQ(points.size(), 3u);
  expectNear(points[0], {10, 20, 0});
  expectNear(points[1], {10, 21, 0});
  expectNear(points[2], {8, 20, 1});
  HvDbUtils::WcsToUcs(points);
  expectNear(points[2], {0, 2, 1});

  OdArray<OdGePoint3d> none;
  HvDbUtils::UcsToWcs(none);
  HvDbUtils::WcsToUcs(none);
  EXPECT_TRUE(none.isEmpty());
}

TEST_F(UcsTest, EntitiesAreTransformedWithTheEntity) {
  OdDbLine line({0, 0, 0}, {1, 0, 0});
  HvDbUtils::TransformToWcs(&line);
  expectNear(line.startPoint(), {10, 20, 0});
  expectNear(line.endPoint(), {10, 21, 0});
  HvDbUtils::TransformToUcs(&line);
  expectNear(line.startPoint(), {0, 0, 0});
  expectNear(line.endPoint(), {1, 0, 0});
  HvDbUtils::TransformToWcs(nullptr);
}

TEST_F(UcsTest, AGivenDatabaseHasItsOwnUcs) {
  OdDbDatabase own(true);
  ASSERT_EQ(own.setUcs({0, 0, 5}, {1, 0, 0}, {0, 0, 1}), eOk);
  expectNear(HvDbUtils::GetUcsYAxis(&own), {0, 0, 1});
  expectNear(HvDbUtils::GetUcsZAxis(&own), {0, -1, 0});
  OdGePoint3d point(1, 1, 0);
  HvDbUtils::UcsToWcs(point, &own);
  expectNear(point, {1, 0, 6});
  // The working drawing's UCS is another.
  point.set(1, 1, 0);
  HvDbUtils::UcsToWcs(point);
  expectNear(point, {9, 21, 0});
}

TEST_F(UcsTest, TheHostConvertsBySystemCode) {
  expectNear(HvDbUtils::arx_trans(OdGePoint3d(1, 1, 0), kKxUcs, kKxWcs), {9, 21, 0});
  expectNear(HvDbUtils::arx_trans(OdGePoint3d(9, 21, 0), kKxWcs, kKxUcs), {1, 1, 0});
  expectNear(HvDbUtils::arx_trans(OdGeVector3d(1, 1, 0), kKxUcs, kKxWcs), {-1, 1, 0});
  // A code the host does not know: the point is left as it was.
  expectNear(HvDbUtils::arx_trans(OdGePoint3d(1, 2, 3), 7, kKxWcs), {1, 2, 3});
}

TEST_F(UcsTest, DisplayPointsAreConvertedByTheHost) {
  // A twisted view with its target away from the origin.
  resbuf twist{};
  twist.restype = RTREAL;
  twist.resval.rreal = 0.3;
  ASSERT_EQ(kxedSetVar(u"VIEWTWIST", &twist), RTNORM);
  resbuf target{};
  target.restype = RT3DPOINT;
  target.resval.rpoint[0] = 3;
  target.resval.rpoint[1] = -4;
  target.resval.rpoint[2] = 0;
  ASSERT_EQ(kxedSetVar(u"TARGET", &target), RTNORM);

  const OdGePoint2d display(2.5, -1.5);
  const OdGePoint3d ucs = HvDbUtils::DcsToUcs(display);
  expectNear(ucs, HvDbUtils::arx_trans(OdGePoint3d(2.5, -1.5, 0), kKxDcs, kKxUcs));
  const OdGePoint2d back = HvDbUtils::UcsToDcs(ucs);
  EXPECT_NEAR(back.x, 2.5, kNear);
  EXPECT_NEAR(back.y, -1.5, kNear);
  const OdGePoint3d fromHost = HvDbUtils::arx_trans(OdGePoint3d(7, 8, 9), kKxUcs, kKxDcs);
  const OdGePoint2d dcs = HvDbUtils::UcsToDcs({7, 8, 9});
  EXPECT_NEAR(dcs.x, fromHost.x, kNear);
  EXPECT_NEAR(dcs.y, fromHost.y, kNear);
}

TEST(UcsWithoutDrawing, TheWcsStandsIn) {
  winsim::testing::TempMachine machine;
  kxhost::endSession();
  expectNear(HvDbUtils::GetUcsXAxis(), {1, 0, 0});
  expectNear(HvDbUtils::GetUcsYAxis(), {0, 1, 0});
  expectNear(HvDbUtils::GetUcsZAxis(), {0, 0, 1});
  const OdGePlane plane = HvDbUtils::GetUcsPlane();
  expectNear(plane.pointOnPlane(), {0, 0, 0});
  expectNear(plane.normal(), {0, 0, 1});
  OdGeMatrix3d matrix;
  HvDbUtils::GetUcsToWcsMatrix(matrix);
  expectIdentity(matrix);
  HvDbUtils::GetWcsToUcsMatrix(matrix);
  expectIdentity(matrix);
  HvDbUtils::GetUcsToWcsOriginMatrix(matrix, {1, 2, 3});
  expectIdentity(matrix);
  OdGePoint3d point(4, 5, 6);
  HvDbUtils::UcsToWcs(point);
  HvDbUtils::WcsToUcs(point);
  EXPECT_EQ(point, OdGePoint3d(4, 5, 6));
}

TEST(Ecs, TheArbitraryAxisRule) {
  struct Case {
    OdGeVector3d normal;
    OdGeVector3d x, y;
  } const cases[] = {
      {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
      {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
      {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
      // Both X and Y of the normal below 1/64: the WCS Y axis is the reference.
      {OdGeVector3d(0.015, 0.015, 1).normal(), OdGeVector3d(1, 0, -0.015).normal(),
       OdGeVector3d(0.015, 0.015, 1).normal().crossProduct(OdGeVector3d(1, 0, -0.015).normal()).normal()},
      // One of them at 1/64: the WCS Z axis. (The normal is taken as it is:
      // normalised, its X would drop below 1/64.)
      {{0.015625, 0, 1}, {0, 1, 0}, OdGeVector3d(-1, 0, 0.015625).normal()},
  };
  for (const Case& c : cases) {
    OdGeMatrix3d matrix;
    HvDbUtils::GetEcsToWcsMatrix({5, 6, 7}, c.normal, matrix);
    expectNear(matrix.getCsOrigin(), {0, 0, 0});
    expectNear(matrix.getCsXAxis(), c.x, "x");
    expectNear(matrix.getCsYAxis(), c.y, "y");
    expectNear(matrix.getCsZAxis(), c.normal, "z");
    OdGeVector3d x;
    HvDbUtils::GetEcsXAxis(c.normal, x);
    expectNear(x, c.x);
  }
  OdGeMatrix3d identity;
  HvDbUtils::GetEcsToWcsMatrix({1, 1, 1}, {0, 0, 1}, identity);
  expectIdentity(identity);
}

TEST(Ecs, ANormalThatIsNotOfUnitLengthScalesTheZColumn) {
  OdGeMatrix3d matrix;
  HvDbUtils::GetEcsToWcsMatrix({0, 0, 0}, {0, 0, -2}, matrix);
  expectNear(matrix.getCsXAxis(), {-1, 0, 0});
  expectNear(matrix.getCsYAxis(), {0, 1, 0});
  expectNear(matrix.getCsZAxis(), {0, 0, -2});
  OdGePoint3d point(1, 2, 1);
  HvDbUtils::EcsToWcs(point, {0, 0, -2});
  expectNear(point, {-1, 2, -2});
  OdGeVector3d vector(0, 0, 1);
  HvDbUtils::EcsToWcs(vector, {3, 0, 0});
  expectNear(vector, {3, 0, 0});
}

TEST(Ecs, PlanesGoThroughTheOriginWhateverThePoint) {
  const OdGeVector3d normal = OdGeVector3d(1, 2, 3).normal();
  OdGePlane withPoint, atOrigin, withoutPoint;
  OdGeVector3d x1, x2;
  HvDbUtils::GetEcsPlane({40, -7, 12}, normal, withPoint, x1);
  HvDbUtils::GetEcsPlane({0, 0, 0}, normal, atOrigin, x2);
  HvDbUtils::GetEcsPlane(normal, withoutPoint);
  expectNear(x1, x2);
  for (const OdGePlane* plane : {&withPoint, &atOrigin, &withoutPoint}) {
    expectNear(plane->pointOnPlane(), {0, 0, 0});
    expectNear(plane->normal(), normal);
    OdGePoint3d origin;
    OdGeVector3d u, v;
    plane->getCoordSystem(origin, u, v);
    expectNear(u, x1);
  }
}

// ezdxf's OCS is an independent reading of the same rule.
TEST(Ecs, AgreesWithEzdxf) {
  std::vector<OdGeVector3d> normals;
  for (double x : {-0.9, -0.2, -0.0156, -0.001, 0.0, 0.0101, 0.0157, 0.5})
    for (double y : {-0.7, -0.01, 0.0, 0.014, 0.3})
      for (double z : {-1.0, 0.0, 0.8}) {
        const OdGeVector3d n(x, y, z);
        if (!n.isZeroLength()) normals.push_back(n.normal());
      }
  std::ostringstream script;
  script.precision(17);
  script << "from ezdxf.math import OCS\nfor n in [";
  for (const OdGeVector3d& n : normals) script << "(" << n.x << "," << n.y << "," << n.z << "),";
  script << "]:\n  o = OCS(n)\n  print(*o.ux, *o.uy)\n";
  const std::string command = "/usr/bin/python3 -c '" + script.str() + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char chunk[4096];
  while (std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
  ASSERT_EQ(::pclose(pipe), 0) << output;

  std::istringstream lines(output);
  for (const OdGeVector3d& n : normals) {
    OdGeVector3d ux, uy;
    ASSERT_TRUE(lines >> ux.x >> ux.y >> ux.z >> uy.x >> uy.y >> uy.z);
    OdGeMatrix3d matrix;
    HvDbUtils::GetEcsToWcsMatrix({0, 0, 0}, n, matrix);
    expectNear(matrix.getCsXAxis(), ux, "x");
    expectNear(matrix.getCsYAxis(), uy, "y");
  }
}

}  // namespace

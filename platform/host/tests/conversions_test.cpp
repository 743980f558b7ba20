// The host's coordinate conversions on a moved and rotated UCS and a twisted
// view, against hand computations.
#include <cmath>

#include "hosttest.h"
#include "kxdb.h"
#include "kxed.h"
#include "kxut.h"

namespace {

using kxhost::testing::HostTest;

constexpr double kPi = 3.14159265358979323846;
constexpr double kTolerance = 1e-9;

resbuf code(short system) {
  resbuf r{};
  r.restype = RTSHORT;
  r.resval.rint = system;
  return r;
}

OdGePoint3d trans(const OdGePoint3d& p, short from, short to, int displacement = 0) {
  const resbuf f = code(from), t = code(to);
  ads_point in = {p.x, p.y, p.z}, out = {0, 0, 0};
  EXPECT_EQ(kxedTrans(in, &f, &t, displacement, out), RTNORM);
  return {out[0], out[1], out[2]};
}

void expectNear(const OdGePoint3d& actual, const OdGePoint3d& expected) {
  EXPECT_NEAR(actual.x, expected.x, kTolerance);
  EXPECT_NEAR(actual.y, expected.y, kTolerance);
  EXPECT_NEAR(actual.z, expected.z, kTolerance);
}

void setReal(const char16_t* name, double value) {
  resbuf r{};
  r.restype = RTREAL;
  r.resval.rreal = value;
  ASSERT_EQ(kxedSetVar(name, &r), RTNORM) << winsim::toUtf8(name);
}

void setPoint(const char16_t* name, const OdGePoint3d& p) {
  resbuf r{};
  r.restype = RT3DPOINT;
  r.resval.rpoint[0] = p.x;
  r.resval.rpoint[1] = p.y;
  r.resval.rpoint[2] = p.z;
  ASSERT_EQ(kxedSetVar(name, &r), RTNORM) << winsim::toUtf8(name);
}

// The UCS of the tests: origin (10, 5, 2), turned 30 degrees about Z.
const OdGePoint3d kOrigin(10, 5, 2);
const double kTurn = 30 * kPi / 180;

class ConversionTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    m_document = kxhost::newDocument();
    ASSERT_EQ(m_document->database()->setUcs(kOrigin, OdGeVector3d(std::cos(kTurn), std::sin(kTurn), 0),
                                             OdGeVector3d(-std::sin(kTurn), std::cos(kTurn), 0)),
              eOk);
  }
  KxApDocument* m_document = nullptr;
};

/// WCS to UCS by hand: the offset from the origin on the turned axes.
OdGePoint3d ucsOf(const OdGePoint3d& w) {
  const double dx = w.x - kOrigin.x, dy = w.y - kOrigin.y;
  return {dx * std::cos(kTurn) + dy * std::sin(kTurn), -dx * std::sin(kTurn) + dy * std::cos(kTurn), w.z - kOrigin.z};
}

const OdGePoint3d kPoints[] = {{0, 0, 0}, {10, 5, 2}, {1, 0, 0}, {-3.5, 7.25, 1}, {100, -40, -8}, {1e6, 2e6, 3}};

TEST_F(ConversionTest, WcsToUcsMatchesTheHandComputationAndRoundTrips) {
  for (const OdGePoint3d& w : kPoints) {
    const OdGePoint3d u = trans(w, kKxWcs, kKxUcs);
    expectNear(u, ucsOf(w));
    const OdGePoint3d back = trans(u, kKxUcs, kKxWcs);
    EXPECT_NEAR(back.x, w.x, 1e-6 * (1 + std::fabs(w.x)));
    EXPECT_NEAR(back.y, w.y, 1e-6 * (1 + std::fabs(w.y)));
    EXPECT_NEAR(back.z, w.z, 1e-6 * (1 + std::fabs(w.z)));
  }
  // The UCS origin is the UCS's (0, 0, 0); its X axis points at 30 degrees.
  expectNear(trans(kOrigin, kKxWcs, kKxUcs), {0, 0, 0});
  expectNear(trans({1, 0, 0}, kKxUcs, kKxWcs), {10 + std::cos(kTurn), 5 + std::sin(kTurn), 2});
}

TEST_F(ConversionTest, ADirectionTurnsButDoesNotMove) {
  expectNear(trans({1, 0, 0}, kKxUcs, kKxWcs, 1), {std::cos(kTurn), std::sin(kTurn), 0});
  expectNear(trans({0, 0, 5}, kKxUcs, kKxWcs, 1), {0, 0, 5});
  expectNear(trans({std::cos(kTurn), std::sin(kTurn), 0}, kKxWcs, kKxUcs, 1), {1, 0, 0});
}

TEST_F(ConversionTest, DcsOfATwistedPlanViewMatchesTheHandComputation) {
  const double twist = 0.5;
  const OdGePoint3d target(3, 4, 0);
  setReal(u"VIEWTWIST", twist);
  setPoint(u"TARGET", trans(target, kKxWcs, kKxUcs));  // TARGET is given in the UCS
  for (const OdGePoint3d& w : kPoints) {
    // The drawing turns counter-clockwise by the twist about the target.
    const double dx = w.x - target.x, dy = w.y - target.y;
    const OdGePoint3d expected(dx * std::cos(twist) - dy * std::sin(twist), dx * std::sin(twist) + dy * std::cos(twist),
                               w.z - target.z);
    const OdGePoint3d d = trans(w, kKxWcs, kKxDcs);
    EXPECT_NEAR(d.x, expected.x, 1e-6 * (1 + std::fabs(expected.x)));
    EXPECT_NEAR(d.y, expected.y, 1e-6 * (1 + std::fabs(expected.y)));
    EXPECT_NEAR(d.z, expected.z, 1e-6 * (1 + std::fabs(expected.z)));
    // UCS to DCS is UCS to WCS to DCS.
    const OdGePoint3d viaUcs = trans(trans(w, kKxWcs, kKxUcs), kKxUcs, kKxDcs);
    EXPECT_NEAR(viaUcs.x, d.x, 1e-6 * (1 + std::fabs(d.x)));
    EXPECT_NEAR(viaUcs.y, d.y, 1e-6 * (1 + std::fabs(d.y)));
  }
  // A point on the screen's X axis lies on the WCS line at -twist.
  expectNear(trans({1, 0, 0}, kKxDcs, kKxWcs), {3 + std::cos(twist), 4 - std::sin(twist), 0});
}

TEST_F(ConversionTest, DcsOfAnObliqueViewLooksAlongTheViewDirection) {
  const OdGeVector3d direction(1, -1, 1);  // from the south-east, above
  setPoint(u"VIEWDIR", trans({direction.x, direction.y, direction.z}, kKxWcs, kKxUcs, 1));
  // The viewer's line of sight collapses to one display point.
  const OdGePoint3d a = trans({0, 0, 0}, kKxWcs, kKxDcs);
  const OdGePoint3d b = trans({2, -2, 2}, kKxWcs, kKxDcs);
  EXPECT_NEAR(a.x, b.x, kTolerance);
  EXPECT_NEAR(a.y, b.y, kTolerance);
  EXPECT_NEAR(b.z - a.z, 2 * std::sqrt(3.0), kTolerance);
  // Without twist the WCS Z axis points up the screen and the X axis right.
  const OdGePoint3d up = trans({0, 0, 1}, kKxWcs, kKxDcs, 1);
  EXPECT_NEAR(up.x, 0, kTolerance);
  EXPECT_GT(up.y, 0);
  EXPECT_GT(trans({1, 0, 0}, kKxWcs, kKxDcs, 1).x, 0);
}

TEST_F(ConversionTest, TheEcsOfANormalAndBadSystemsAreHandled) {
  resbuf normal{};
  normal.restype = RT3DPOINT;
  normal.resval.rpoint[2] = -1;  // ECS of (0, 0, -1): X is -X, Y is Y
  const resbuf wcs = code(kKxWcs);
  ads_point in = {1, 2, 3}, out = {0, 0, 0};
  ASSERT_EQ(kxedTrans(in, &normal, &wcs, 0, out), RTNORM);
  expectNear({out[0], out[1], out[2]}, {-1, 2, -3});

  const resbuf bad = code(3);
  resbuf text{};
  text.restype = RTSTR;
  ads_point untouched = {7, 8, 9};
  EXPECT_EQ(kxedTrans(in, &bad, &wcs, 0, untouched), RTERROR);
  EXPECT_EQ(kxedTrans(in, &wcs, &text, 0, untouched), RTERROR);
  EXPECT_EQ(kxedTrans(in, nullptr, &wcs, 0, untouched), RTERROR);
  expectNear({untouched[0], untouched[1], untouched[2]}, {7, 8, 9});
}

TEST_F(ConversionTest, TheUcsMatrixIsTheDatabasesUcs) {
  OdGeMatrix3d matrix;
  ASSERT_TRUE(kxdbUcsMatrix(matrix, nullptr));
  expectNear(matrix * OdGePoint3d(0, 0, 0), kOrigin);
  expectNear(matrix * OdGePoint3d(0, 1, 0), {10 - std::sin(kTurn), 5 + std::cos(kTurn), 2});

  OdDbDatabase own(true);  // a database of no document: its own (world) UCS
  ASSERT_TRUE(kxdbUcsMatrix(matrix, &own));
  EXPECT_TRUE(matrix.isEqualTo(OdGeMatrix3d::kIdentity));
}

TEST_F(HostTest, WithoutADrawingThereIsNoUcsAndNoDcs) {
  OdGeMatrix3d matrix = OdGeMatrix3d::translation(OdGeVector3d(1, 2, 3));
  EXPECT_FALSE(kxdbUcsMatrix(matrix, nullptr));
  EXPECT_TRUE(matrix.isEqualTo(OdGeMatrix3d::kIdentity));
  const resbuf wcs = code(kKxWcs), ucs = code(kKxUcs), dcs = code(kKxDcs);
  ads_point in = {1, 2, 3}, out = {0, 0, 0};
  EXPECT_EQ(kxedTrans(in, &wcs, &ucs, 0, out), RTNORM);  // the UCS is the WCS then
  expectNear({out[0], out[1], out[2]}, {1, 2, 3});
  EXPECT_EQ(kxedTrans(in, &wcs, &dcs, 0, out), RTERROR);
}

TEST(HostGeometry, PolarAndAngle) {
  struct Case {
    OdGePoint3d from;
    double angle;
    double distance;
    OdGePoint3d to;
  } cases[] = {
      {{0, 0, 0}, 0, 5, {5, 0, 0}},
      {{1, 1, 7}, kPi / 2, 2, {1, 3, 7}},
      {{0, 0, 0}, kPi, 1, {-1, 0, 0}},
      {{2, 2, 0}, -kPi / 4, std::sqrt(2.0), {3, 1, 0}},
  };
  for (const Case& c : cases) {
    ads_point from = {c.from.x, c.from.y, c.from.z}, to = {0, 0, 0};
    kxutPolar(from, c.angle, c.distance, to);
    expectNear({to[0], to[1], to[2]}, c.to);
    double angle = kxutAngle(from, to);
    EXPECT_NEAR(std::remainder(angle - c.angle, 2 * kPi), 0, kTolerance);
    EXPECT_GT(angle, -kPi);
    EXPECT_LE(angle, kPi);
  }
  ads_point same = {4, 4, 4};
  EXPECT_EQ(kxutAngle(same, same), 0);
  // The result may be the same array as the point.
  ads_point p = {1, 1, 0};
  kxutPolar(p, 0, 1, p);
  expectNear({p[0], p[1], p[2]}, {2, 1, 0});
}

}  // namespace

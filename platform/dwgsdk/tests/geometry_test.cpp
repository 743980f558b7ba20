// Geometry values.
#include <gtest/gtest.h>

#include "Ge.h"

namespace {
void expectNear(const OdGeVector3d& a, const OdGeVector3d& b) {
  EXPECT_NEAR(a.x, b.x, 1e-12);
  EXPECT_NEAR(a.y, b.y, 1e-12);
  EXPECT_NEAR(a.z, b.z, 1e-12);
}
void expectNear(const OdGePoint3d& a, const OdGePoint3d& b) { expectNear(a.asVector(), b.asVector()); }
}  // namespace

TEST(Geometry, DefaultToleranceIsOneTenBillionth) {
  EXPECT_EQ(OdGeContext::gTol.equalPoint(), 1e-10);
  EXPECT_EQ(OdGeContext::gTol.equalVector(), 1e-10);
  EXPECT_TRUE(OdGePoint3d(1, 1, 1).isEqualTo(OdGePoint3d(1, 1, 1 + 5e-11)));
  EXPECT_FALSE(OdGePoint3d(1, 1, 1).isEqualTo(OdGePoint3d(1, 1, 1 + 5e-10)));
}

TEST(Geometry, ArbitraryAxisRule) {
  struct Case {
    OdGeVector3d normal, x, y;
  } cases[] = {
      {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
      {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
      {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
  };
  for (auto& c : cases) {
    OdGeMatrix3d m = OdGeMatrix3d::planeToWorld(c.normal);
    expectNear(m.getCsXAxis(), c.x);
    expectNear(m.getCsYAxis(), c.y);
    expectNear(m.getCsZAxis(), c.normal);
  }
}

TEST(Geometry, MatrixProductInverseAndCoordinateSystems) {
  OdGeMatrix3d m;
  m.setCoordSystem(OdGePoint3d(1, 2, 3), OdGeVector3d(0, 1, 0), OdGeVector3d(-1, 0, 0), OdGeVector3d(0, 0, 1));
  OdGePoint3d o;
  OdGeVector3d x, y, z;
  m.getCoordSystem(o, x, y, z);
  EXPECT_EQ(o, OdGePoint3d(1, 2, 3));
  EXPECT_EQ(x, OdGeVector3d(0, 1, 0));
  expectNear(m * OdGePoint3d(1, 0, 0), OdGePoint3d(1, 3, 3));
  OdGeMatrix3d inv = m.inverse();
  EXPECT_TRUE((m * inv).isEqualTo(OdGeMatrix3d::kIdentity));
  expectNear(inv * OdGePoint3d(1, 3, 3), OdGePoint3d(1, 0, 0));
  // Vectors ignore the translation.
  expectNear(m * OdGeVector3d(1, 0, 0), OdGeVector3d(0, 1, 0));
  EXPECT_NEAR(m.det(), 1.0, 1e-12);
  OdGeMatrix3d singular;
  singular.entry[0][0] = 0;
  EXPECT_TRUE(singular.isSingular());
}

TEST(Geometry, AlignCoordSysMapsOneSystemOntoAnother) {
  OdGePoint3d origin(5, 5, 0);
  OdGeVector3d x(0, 1, 0), y(-1, 0, 0), z(0, 0, 1);
  OdGeMatrix3d m = OdGeMatrix3d::alignCoordSys(origin, x, y, z, OdGePoint3d::kOrigin, OdGeVector3d::kXAxis,
                                               OdGeVector3d::kYAxis, OdGeVector3d::kZAxis);
  expectNear(m * OdGePoint3d(5, 5, 0), OdGePoint3d(0, 0, 0));
  expectNear(m * OdGePoint3d(5, 6, 0), OdGePoint3d(1, 0, 0));
  expectNear(m * OdGePoint3d(4, 5, 0), OdGePoint3d(0, 1, 0));
}

TEST(Geometry, RotationScalingPlanesAndExtents) {
  OdGeMatrix3d r = OdGeMatrix3d::rotation(M_PI / 2, OdGeVector3d::kZAxis, OdGePoint3d(1, 0, 0));
  expectNear(r * OdGePoint3d(2, 0, 0), OdGePoint3d(1, 1, 0));
  EXPECT_NEAR(OdGeMatrix3d::scaling(3).scale(), 3, 1e-12);
  OdGePlane plane(OdGePoint3d(0, 0, 2), OdGeVector3d(1, 0, 0), OdGeVector3d(0, 1, 0));
  expectNear(plane.normal(), OdGeVector3d::kZAxis);
  EXPECT_TRUE(plane.isOn(OdGePoint3d(7, -3, 2)));
  OdGeExtents3d box(OdGePoint3d(0, 0, 0), OdGePoint3d(2, 1, 0));
  box.transformBy(OdGeMatrix3d::rotation(M_PI / 2, OdGeVector3d::kZAxis));
  expectNear(box.minPoint(), OdGePoint3d(-1, 0, 0));
  expectNear(box.maxPoint(), OdGePoint3d(0, 2, 0));
  OdGeExtents3d empty;
  EXPECT_FALSE(empty.isValidExtents());
  empty.addPoint(OdGePoint3d(1, 2, 3));
  EXPECT_TRUE(empty.isValidExtents());
  EXPECT_NEAR(OdGeVector3d(3, 4, 0).length(), 5, 1e-15);
  expectNear(OdGeVector3d(1, 0, 0).crossProduct(OdGeVector3d(0, 1, 0)), OdGeVector3d::kZAxis);
}

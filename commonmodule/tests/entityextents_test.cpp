// The WCS box around entities, block references measured through their
// definitions.
#include <gtest/gtest.h>

#include <cmath>

#include "HvDbUtilsEdit.h"
#include "entityfixture.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

class EntityExtents : public DrawingTest {
 protected:
  /// A block of one 4 x 2 rectangle with its lower left corner at `corner`.
  OdDbObjectId rectangleBlock(const OdChar* name, const OdGePoint3d& corner = OdGePoint3d::kOrigin,
                              const OdGePoint3d& origin = OdGePoint3d::kOrigin) {
    const OdDbObjectId block = addBlock(name, origin);
    const OdGeVector3d across(4, 0, 0), up(0, 2, 0);
    addLine(corner, corner + across, 256, name);
    addLine(corner + across, corner + across + up, 256, name);
    addLine(corner + across + up, corner + up, 256, name);
    addLine(corner + up, corner, 256, name);
    return block;
  }
};

void expectBox(const OdDbExtents& box, const OdGePoint3d& min, const OdGePoint3d& max) {
  EXPECT_TRUE(box.minPoint().isEqualTo(min, OdGeTol(1e-9)))
      << box.minPoint().x << "," << box.minPoint().y << "," << box.minPoint().z;
  EXPECT_TRUE(box.maxPoint().isEqualTo(max, OdGeTol(1e-9)))
      << box.maxPoint().x << "," << box.maxPoint().y << "," << box.maxPoint().z;
}

TEST_F(EntityExtents, PlainEntitiesGiveTheirOwnBox) {
  const OdDbObjectId line = addLine(OdGePoint3d(1, 5, 0), OdGePoint3d(-2, 3, 4));
  OdDbExtents box;
  ASSERT_TRUE(HvDbUtils::GetEntExtents(line, box));
  expectBox(box, OdGePoint3d(-2, 3, 0), OdGePoint3d(1, 5, 4));
  {
    Opened<OdDbEntity> open(line, OdDb::kForRead);
    OdDbExtents again;
    ASSERT_TRUE(HvDbUtils::GetEntExtents(open.get(), again));
    EXPECT_EQ(again, box);
  }
  OdDbExtents untouched;
  EXPECT_FALSE(HvDbUtils::GetEntExtents(static_cast<OdDbEntity*>(nullptr), untouched));
  EXPECT_FALSE(HvDbUtils::GetEntExtents(OdDbObjectId::kNull, untouched));
  ASSERT_TRUE(HvDbUtils::EraseEntity(line));
  EXPECT_FALSE(HvDbUtils::GetEntExtents(line, untouched));
}

TEST_F(EntityExtents, RotatedReferencesGiveTheBoxOfTheRotatedContents) {
  const OdDbObjectId block = rectangleBlock(u"RECT");
  struct Case {
    double rotation;
    OdGePoint3d min, max;
  } cases[] = {
      {0, {10, 10, 0}, {14, 12, 0}},
      {M_PI / 2, {8, 10, 0}, {10, 14, 0}},
      {M_PI, {6, 8, 0}, {10, 10, 0}},
  };
  for (const Case& c : cases) {
    const OdDbObjectId reference = addReference(block, OdGePoint3d(10, 10, 0), c.rotation);
    OdDbExtents box;
    ASSERT_TRUE(HvDbUtils::GetEntExtents(reference, box)) << c.rotation;
    expectBox(box, c.min, c.max);
  }
}

TEST_F(EntityExtents, TheBoxOfTheContentsIsCarriedAsABox) {
  // A circle's box turned by 45 degrees: the box around the turned box, not
  // the tighter box of the turned circle.
  const OdDbObjectId block = addBlock(u"DISC");
  append(new OdDbCircle(OdGePoint3d(), OdGeVector3d::kZAxis, 1), u"DISC");
  const OdDbObjectId reference = addReference(block, OdGePoint3d(), M_PI / 4);
  OdDbExtents box;
  ASSERT_TRUE(HvDbUtils::GetEntExtents(reference, box));
  expectBox(box, OdGePoint3d(-std::sqrt(2.0), -std::sqrt(2.0), 0), OdGePoint3d(std::sqrt(2.0), std::sqrt(2.0), 0));
}

TEST_F(EntityExtents, ABlockWhoseBasePointIsNotTheOriginIsNotShiftedTwice) {
  // Contents from (10,0) to (14,2) around the base point (10,0): a reference
  // at (0,0) covers (0,0) to (4,2), as the SDK's own extents of it say.
  const OdDbObjectId block = rectangleBlock(u"BASED", OdGePoint3d(10, 0, 0), OdGePoint3d(10, 0, 0));
  const OdDbObjectId reference = addReference(block, OdGePoint3d(), 0);
  OdDbExtents box;
  ASSERT_TRUE(HvDbUtils::GetEntExtents(reference, box));
  expectBox(box, OdGePoint3d(0, 0, 0), OdGePoint3d(4, 2, 0));
  Opened<OdDbEntity> open(reference, OdDb::kForRead);
  OdDbExtents sdk;
  ASSERT_EQ(open->getGeomExtents(sdk), eOk);
  EXPECT_EQ(box, sdk);
}

TEST_F(EntityExtents, AttributesAreNotCountedUnlessTheDefinitionIsEmpty) {
  const OdDbObjectId block = rectangleBlock(u"TAGGED");
  const OdDbObjectId empty = addBlock(u"EMPTY");
  auto withAttribute = [&](OdDbObjectId definition) {
    const OdDbObjectId reference = addReference(definition);
    Opened<OdDbBlockReference> open(reference, OdDb::kForWrite);
    auto* value = new OdDbAttribute();
    value->setTag(u"FAR");
    value->setTextString(u"far away");
    value->setHeight(1);
    value->setPosition(OdGePoint3d(100, 100, 0));
    EXPECT_EQ(open->appendAttribute(value), eOk);
    value->close();
    return reference;
  };

  OdDbExtents box;
  ASSERT_TRUE(HvDbUtils::GetEntExtents(withAttribute(block), box));
  expectBox(box, OdGePoint3d(0, 0, 0), OdGePoint3d(4, 2, 0));

  // An empty definition has no box: the reference's own extents (its
  // attribute) stand in.
  const OdDbObjectId onlyAttribute = withAttribute(empty);
  ASSERT_TRUE(HvDbUtils::GetEntExtents(onlyAttribute, box));
  Opened<OdDbEntity> open(onlyAttribute, OdDb::kForRead);
  OdDbExtents own;
  ASSERT_EQ(open->getGeomExtents(own), eOk);
  EXPECT_EQ(box, own);
  EXPECT_GE(box.minPoint().x, 100);

  // With nothing at all there are no extents.
  EXPECT_FALSE(HvDbUtils::GetEntExtents(addReference(empty), box));
}

}  // namespace

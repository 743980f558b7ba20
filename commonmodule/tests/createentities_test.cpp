// Making entities: where their points land (UCS or as given), their settings,
// the linetype scale, and the current space they go to.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "DbDimension.h"
#include "HvDbUtilsEntities.h"
#include "HvDbUtilsTables.h"
#include "entityfixture.h"
#include "kxed.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

constexpr double kPi = std::numbers::pi;

void expectNear(const OdGePoint3d& actual, const OdGePoint3d& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
  EXPECT_NEAR(actual.z, expected.z, 1e-9);
}

class CreateEntities : public DrawingTest {
 protected:
  /// A UCS moved to (10, 20, 0) and turned 90 degrees: UCS (1, 2, 3) is WCS (8, 21, 3).
  void useTurnedUcs() { ASSERT_TRUE(kxhost::runCommandInput(u"UCS O 10,20,0\nUCS Z 90\n")); }
};

TEST_F(CreateEntities, LinesArcsCirclesAndPointsArePlacedInTheUcs) {
  useTurnedUcs();
  const OdGePoint3d ucs(1, 2, 3), wcs(8, 21, 3);

  Opened<OdDbLine> line(HvDbUtils::CreateLine(ucs, OdGePoint3d(0, 0, 0), nullptr), OdDb::kForRead);
  ASSERT_EQ(line.result(), eOk);
  expectNear(line->startPoint(), wcs);
  expectNear(line->endPoint(), OdGePoint3d(10, 20, 0));

  Opened<OdDbArc> arc(HvDbUtils::CreateArc(ucs, 2, 0.5, 1.5), OdDb::kForRead);
  ASSERT_EQ(arc.result(), eOk);
  expectNear(arc->center(), wcs);
  EXPECT_EQ(arc->radius(), 2);
  EXPECT_EQ(arc->startAngle(), 0.5);  // passed on unchanged
  EXPECT_EQ(arc->endAngle(), 1.5);

  Opened<OdDbCircle> circle(HvDbUtils::CreateCircle(ucs, 4), OdDb::kForRead);
  ASSERT_EQ(circle.result(), eOk);
  expectNear(circle->center(), wcs);
  EXPECT_EQ(circle->radius(), 4);

  Opened<OdDbPoint> point(HvDbUtils::CreatePoint(ucs), OdDb::kForRead);
  ASSERT_EQ(point.result(), eOk);
  expectNear(point->position(), wcs);
}

TEST_F(CreateEntities, ArcsAndCirclesKeepTheWorldNormalInATiltedUcs) {
  // A UCS in the WCS XZ plane: its Z axis is (0, -1, 0).
  ASSERT_TRUE(kxhost::runCommandInput(u"UCS 3 0,0,0 1,0,0 0,0,1\n"));
  Opened<OdDbArc> arc(HvDbUtils::CreateArc(OdGePoint3d(1, 2, 0), 1, 0, kPi), OdDb::kForRead);
  ASSERT_EQ(arc.result(), eOk);
  EXPECT_EQ(arc->normal(), OdGeVector3d::kZAxis);
  expectNear(arc->center(), OdGePoint3d(1, 0, 2));
  Opened<OdDbCircle> circle(HvDbUtils::CreateCircle(OdGePoint3d(1, 2, 0), 1), OdDb::kForRead);
  ASSERT_EQ(circle.result(), eOk);
  EXPECT_EQ(circle->normal(), OdGeVector3d::kZAxis);
  expectNear(circle->center(), OdGePoint3d(1, 0, 2));
}

TEST_F(CreateEntities, TextsDimensionsAndPolylinesKeepTheirCoordinatesAsGiven) {
  useTurnedUcs();
  const OdGePoint3d p(1, 2, 0);

  Opened<OdDbText> text(HvDbUtils::CreateLeftBottomText(u"T", p, 2, u"STANDARD", 1), OdDb::kForRead);
  ASSERT_EQ(text.result(), eOk);
  EXPECT_EQ(text->position(), p);

  Opened<OdDbMText> mtext(HvDbUtils::CreateMText(p, 2, OdDbMText::kTopLeft, u"M"), OdDb::kForRead);
  ASSERT_EQ(mtext.result(), eOk);
  EXPECT_EQ(mtext->location(), p);

  Opened<OdDbRotatedDimension> dimension(
      HvDbUtils::CreateRotatedDimension(u"STANDARD", 0, 0, p, OdGePoint3d(5, 2, 0), OdGePoint3d(3, 4, 0), nullptr, 0,
                                        OdGeVector3d()),
      OdDb::kForRead);
  ASSERT_EQ(dimension.result(), eOk);
  EXPECT_EQ(dimension->xLine1Point(), p);
  EXPECT_EQ(dimension->dimLinePoint(), OdGePoint3d(3, 4, 0));

  Opened<OdDbPolyline> two(HvDbUtils::CreatePolyline(OdGePoint2d(1, 2), OdGePoint2d(3, 4), 0.5), OdDb::kForRead);
  ASSERT_EQ(two.result(), eOk);
  OdGePoint2d vertex;
  two->getPointAt(0, vertex);
  EXPECT_EQ(vertex, OdGePoint2d(1, 2));

  Opened<OdDbPolyline> arc(HvDbUtils::CreateArcPolyline(OdGePoint3d(1, 2, 0), 1, 0, kPi), OdDb::kForRead);
  ASSERT_EQ(arc.result(), eOk);
  arc->getPointAt(0, vertex);
  EXPECT_NEAR(vertex.x, 2, 1e-12);
  EXPECT_NEAR(vertex.y, 2, 1e-12);
}

TEST_F(CreateEntities, APointArrayPolylineIsConvertedVertexByVertex) {
  useTurnedUcs();
  OdArray<OdGePoint2d> points;
  points.append(OdGePoint2d(0, 0));
  points.append(OdGePoint2d(1, 0));
  points.append(OdGePoint2d(1, 2));
  const OdArray<OdGePoint2d> given = points;
  Opened<OdDbPolyline> polyline(HvDbUtils::CreatePolyline(points, 1, 0.25), OdDb::kForRead);
  ASSERT_EQ(polyline.result(), eOk);
  EXPECT_EQ(points, given);  // the caller's array is a copy
  const OdGePoint2d expected[] = {{10, 20}, {10, 21}, {8, 21}};
  ASSERT_EQ(polyline->numVerts(), 3u);
  for (unsigned int i = 0; i < 3; ++i) {
    OdGePoint2d vertex;
    polyline->getPointAt(i, vertex);
    EXPECT_NEAR(vertex.x, expected[i].x, 1e-9) << i;
    EXPECT_NEAR(vertex.y, expected[i].y, 1e-9) << i;
    EXPECT_EQ(polyline->getBulgeAt(i), 0);
  }
  EXPECT_TRUE(polyline->isClosed());
  double width = 0;
  EXPECT_EQ(polyline->getConstantWidth(width), eOk);
  EXPECT_EQ(width, 0.25);

  Opened<OdDbPolyline> open(HvDbUtils::CreatePolyline(given, 0, 0), OdDb::kForRead);
  EXPECT_FALSE(open->isClosed());
  Opened<OdDbPolyline> empty(HvDbUtils::CreatePolyline(OdArray<OdGePoint2d>(), 0, 0), OdDb::kForRead);
  ASSERT_EQ(empty.result(), eOk);
  EXPECT_EQ(empty->numVerts(), 0u);
}

TEST_F(CreateEntities, TheLinetypeScaleIsCeltscaleWhereItApplies) {
  ASSERT_TRUE(kxhost::runCommandInput(u"SETVAR CELTSCALE 2.5\n"));
  const OdGePoint3d p(1, 1, 0);
  OdArray<OdGePoint2d> points;
  points.append(OdGePoint2d(0, 0));
  struct Case {
    const char* what;
    OdDbObjectId id;
    double scale;
  } cases[] = {
      {"line", HvDbUtils::CreateLine(p, OdGePoint3d(2, 2, 0)), 2.5},
      {"arc", HvDbUtils::CreateArc(p, 1, 0, 1), 2.5},
      {"circle", HvDbUtils::CreateCircle(p, 1), 2.5},
      {"point", HvDbUtils::CreatePoint(p), 1},
      {"two-point polyline", HvDbUtils::CreatePolyline(OdGePoint2d(0, 0), OdGePoint2d(1, 1), 0), 2.5},
      {"array polyline", HvDbUtils::CreatePolyline(points, 0, 0), 2.5},
      {"arc polyline", HvDbUtils::CreateArcPolyline(p, 1, 0, 1), 2.5},
      {"text", HvDbUtils::CreateCenterText(u"T", p, 1, u"STANDARD", 1), 1},
      {"multiline text", HvDbUtils::CreateMText(p, 1, OdDbMText::kTopLeft, u"M"), 1},
  };
  for (const Case& c : cases) {
    Opened<OdDbEntity> entity(c.id, OdDb::kForRead);
    ASSERT_EQ(entity.result(), eOk) << c.what;
    EXPECT_EQ(entity->linetypeScale(), c.scale) << c.what;
    EXPECT_EQ(entity->blockId(), HvDbUtils::GetModelSpaceId()) << c.what;
  }
}

TEST_F(CreateEntities, TextAlignmentDecidesBetweenPositionAndAlignmentPoint) {
  const OdGePoint3d p(4, 5, 0);
  struct Case {
    OdDb::TextHorzMode horizontal;
    OdDb::TextVertMode vertical;
    bool byPosition;
  } cases[] = {
      {OdDb::kTextLeft, OdDb::kTextBase, true},       {OdDb::kTextLeft, OdDb::kTextBottom, false},
      {OdDb::kTextCenter, OdDb::kTextBase, false},    {OdDb::kTextRight, OdDb::kTextTop, false},
      {OdDb::kTextCenter, OdDb::kTextVertMid, false},
  };
  for (const Case& c : cases) {
    Opened<OdDbText> text(HvDbUtils::CreateText(u"Title", p, 2.5, u"STANDARD", c.horizontal, c.vertical, 0.8),
                          OdDb::kForRead);
    ASSERT_EQ(text.result(), eOk);
    EXPECT_EQ(text->horizontalMode(), c.horizontal);
    EXPECT_EQ(text->verticalMode(), c.vertical);
    EXPECT_EQ(c.byPosition ? text->position() : text->alignmentPoint(), p) << c.horizontal << c.vertical;
    EXPECT_NE(c.byPosition ? text->alignmentPoint() : text->position(), p) << c.horizontal << c.vertical;
    EXPECT_EQ(text->textString(), OdString(u"Title"));
    EXPECT_EQ(text->height(), 2.5);
    EXPECT_EQ(text->widthFactor(), 0.8);
  }
}

TEST_F(CreateEntities, TheShortTextFormsChooseTheirAlignment) {
  const OdGePoint3d p(1, 1, 0);
  struct Case {
    OdDbObjectId id;
    OdDb::TextHorzMode horizontal;
    OdDb::TextVertMode vertical;
  } cases[] = {
      {HvDbUtils::CreateCenterText(u"C", p, 1, u"STANDARD", 1), OdDb::kTextCenter, OdDb::kTextVertMid},
      {HvDbUtils::CreateLeftBottomText(u"L", p, 1, u"STANDARD", 1), OdDb::kTextLeft, OdDb::kTextBase},
      {HvDbUtils::CreateRightBottomText(u"R", p, 1, u"STANDARD", 1), OdDb::kTextRight, OdDb::kTextBase},
  };
  for (const Case& c : cases) {
    Opened<OdDbText> text(c.id, OdDb::kForRead);
    ASSERT_EQ(text.result(), eOk);
    EXPECT_EQ(text->horizontalMode(), c.horizontal);
    EXPECT_EQ(text->verticalMode(), c.vertical);
  }
}

TEST_F(CreateEntities, AMissingTextStyleFallsBackToStandardThenToNone) {
  OdDbTextStyleTable* styles = nullptr;
  ASSERT_EQ(db()->getTextStyleTable(styles, OdDb::kForWrite), eOk);
  auto* titles = new OdDbTextStyleTableRecord();
  titles->setName(u"Titles");
  OdDbObjectId titlesId;
  ASSERT_EQ(styles->add(titlesId, titles), eOk);
  titles->close();
  const OdDbObjectId standard = styles->getAt(u"STANDARD");
  styles->close();

  const OdGePoint3d p(0, 0, 0);
  auto styleOf = [&](const OdChar* name) {
    Opened<OdDbText> text(HvDbUtils::CreateLeftBottomText(u"x", p, 1, name, 1), OdDb::kForRead);
    EXPECT_EQ(text.result(), eOk);
    return text.get() ? text->textStyle() : OdDbObjectId();
  };
  EXPECT_EQ(styleOf(u"titles"), titlesId);
  EXPECT_EQ(styleOf(u"NoSuchStyle"), standard);

  {
    Opened<OdDbTextStyleTableRecord> renamed(standard, OdDb::kForWrite);
    ASSERT_EQ(renamed->setName(u"Plain"), eOk);
  }
  EXPECT_TRUE(styleOf(u"NoSuchStyle").isNull());
}

TEST_F(CreateEntities, MultilineTextTakesTheCurrentTextStyle) {
  OdDbTextStyleTable* styles = nullptr;
  ASSERT_EQ(db()->getTextStyleTable(styles, OdDb::kForWrite), eOk);
  auto* notes = new OdDbTextStyleTableRecord();
  notes->setName(u"Notes");
  OdDbObjectId notesId;
  ASSERT_EQ(styles->add(notesId, notes), eOk);
  notes->close();
  styles->close();
  ASSERT_TRUE(kxhost::runCommandInput(u"SETVAR TEXTSTYLE Notes\n"));

  Opened<OdDbMText> mtext(HvDbUtils::CreateMText(OdGePoint3d(1, 2, 0), 3, OdDbMText::kMiddleCenter, u"A\\PB"),
                          OdDb::kForRead);
  ASSERT_EQ(mtext.result(), eOk);
  EXPECT_EQ(mtext->textStyle(), notesId);
  EXPECT_EQ(mtext->textHeight(), 3);
  EXPECT_EQ(mtext->attachment(), OdDbMText::kMiddleCenter);
  EXPECT_EQ(mtext->contents(), OdString(u"A\\PB"));
  EXPECT_EQ(mtext->rotation(), 0);
}

TEST_F(CreateEntities, ArcPolylineBulges) {
  const double eighth = std::tan(kPi / 8);  // 0.41421...
  struct Case {
    double start, end, bulge;
  } cases[] = {
      {0, kPi / 2, eighth},
      {3 * kPi / 2, 0, eighth},  // crosses angle 0
      {1, 1, 0},
      {0, kPi, 1},
  };
  const OdGePoint3d center(10, 5, 7);
  for (const Case& c : cases) {
    Opened<OdDbPolyline> polyline(HvDbUtils::CreateArcPolyline(center, 2, c.start, c.end), OdDb::kForRead);
    ASSERT_EQ(polyline.result(), eOk);
    ASSERT_EQ(polyline->numVerts(), 2u);
    for (unsigned int i = 0; i < 2; ++i) EXPECT_NEAR(polyline->getBulgeAt(i), c.bulge, 1e-12) << c.start << c.end;
    OdGePoint2d first, second;
    polyline->getPointAt(0, first);
    polyline->getPointAt(1, second);
    EXPECT_NEAR(first.x, 10 + 2 * std::cos(c.start), 1e-12);
    EXPECT_NEAR(first.y, 5 + 2 * std::sin(c.start), 1e-12);
    EXPECT_NEAR(second.x, 10 + 2 * std::cos(c.end), 1e-12);
    EXPECT_NEAR(second.y, 5 + 2 * std::sin(c.end), 1e-12);
    EXPECT_EQ(polyline->elevation(), 0);
    double width = 0;
    EXPECT_EQ(polyline->getConstantWidth(width), eOk);
    EXPECT_EQ(width, 1.0);
  }
}

TEST_F(CreateEntities, ARotatedDimensionWithItsStyleTextAndOffset) {
  OdDbDimStyleTable* styles = nullptr;
  ASSERT_EQ(db()->getDimStyleTable(styles, OdDb::kForWrite), eOk);
  auto* large = new OdDbDimStyleTableRecord();
  large->setName(u"Large");
  OdDbObjectId largeId;
  ASSERT_EQ(styles->add(largeId, large), eOk);
  large->close();
  styles->close();

  const OdGePoint3d first(0, 0, 0), second(10, 0, 0), line(5, 3, 0);
  Opened<OdDbRotatedDimension> plain(
      HvDbUtils::CreateRotatedDimension(u"NoSuchStyle", 0, 0, first, second, line, nullptr, 0, OdGeVector3d()),
      OdDb::kForRead);
  ASSERT_EQ(plain.result(), eOk);
  EXPECT_EQ(plain->dimensionStyle(), db()->dimstyle());  // the SDK's default stays
  EXPECT_EQ(plain->dimensionText(), OdString());         // the measured value shows
  double measured = 0;
  EXPECT_EQ(plain->measurement(measured), eOk);
  EXPECT_EQ(measured, 10);

  Opened<OdDbRotatedDimension> moved(HvDbUtils::CreateRotatedDimension(u"Large", kPi / 6, 0.1, first, second, line,
                                                                       u"<> mm", 0.25, OdGeVector3d(1, 2, 0)),
                                     OdDb::kForRead);
  ASSERT_EQ(moved.result(), eOk);
  EXPECT_EQ(moved->dimensionStyle(), largeId);
  EXPECT_EQ(moved->rotation(), kPi / 6);
  EXPECT_EQ(moved->oblique(), 0.1);
  EXPECT_EQ(moved->textRotation(), 0.25);
  EXPECT_EQ(moved->dimensionText(), OdString(u"<> mm"));

  // The offset moves the text from where the style puts it by default.
  OdDbRotatedDimension reference(kPi / 6, first, second, line, OdString(), largeId);
  reference.setOblique(0.1);
  reference.useDefaultTextPosition();
  expectNear(moved->textPosition(), reference.textPosition() + OdGeVector3d(1, 2, 0));
}

TEST_F(CreateEntities, AZeroOffsetLeavesTheTextAtItsDefaultPosition) {
  const OdGePoint3d first(0, 0, 0), second(8, 0, 0), line(4, -2, 0);
  Opened<OdDbRotatedDimension> dimension(
      HvDbUtils::CreateRotatedDimension(u"STANDARD", 0, 0, first, second, line, nullptr, 0, OdGeVector3d()),
      OdDb::kForRead);
  ASSERT_EQ(dimension.result(), eOk);
  OdDbRotatedDimension reference(0, first, second, line);
  reference.setDatabaseDefaults(db());
  reference.useDefaultTextPosition();
  expectNear(dimension->textPosition(), reference.textPosition());
}

TEST_F(CreateEntities, ADimensionForADrawingThatIsNotTheWorkingOne) {
  OdDbDatabase other;
  const OdDbObjectId id =
      HvDbUtils::CreateRotatedDimension(u"STANDARD", 0, 0, OdGePoint3d(0, 0, 0), OdGePoint3d(4, 0, 0),
                                        OdGePoint3d(2, 1, 0), nullptr, 0, OdGeVector3d(), &other);
  ASSERT_FALSE(id.isNull());
  EXPECT_EQ(id.database(), &other);
  Opened<OdDbRotatedDimension> dimension(id, OdDb::kForRead);
  EXPECT_EQ(dimension->layerId().database(), &other);
  EXPECT_EQ(dimension->dimensionStyle().database(), &other);
}

TEST_F(CreateEntities, EntitiesGoToTheCurrentSpace) {
  ASSERT_TRUE(kxhost::runCommandInput(u"SETVAR TILEMODE 0\nPSPACE\n"));
  OdArray<OdGePoint2d> points;
  points.append(OdGePoint2d(1, 1));
  const OdDbObjectId ids[] = {
      HvDbUtils::CreateLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 1, 0)),
      HvDbUtils::CreatePolyline(points, 0, 0),
      HvDbUtils::CreateArcPolyline(OdGePoint3d(0, 0, 0), 1, 0, 1),
      HvDbUtils::CreateLeftBottomText(u"T", OdGePoint3d(0, 0, 0), 1, u"STANDARD", 1),
  };
  for (const OdDbObjectId& id : ids) {
    Opened<OdDbEntity> entity(id, OdDb::kForRead);
    ASSERT_EQ(entity.result(), eOk);
    EXPECT_EQ(entity->blockId(), HvDbUtils::GetPaperSpaceId());
  }
}

TEST_F(CreateEntities, NothingIsMadeWhenTheDrawingRefusesIt) {
  const OdGePoint3d p(1, 1, 0);
  OdArray<OdGePoint2d> points;
  {
    // Model space is open for write elsewhere: every append fails.
    Opened<OdDbBlockTableRecord> busy(HvDbUtils::GetModelSpaceId(), OdDb::kForWrite);
    const OdUInt64 before = db()->approxNumObjects();
    EXPECT_TRUE(HvDbUtils::CreateLine(p, p).isNull());
    EXPECT_TRUE(HvDbUtils::CreateCircle(p, 1).isNull());
    EXPECT_TRUE(HvDbUtils::CreateText(u"T", p, 1, u"STANDARD", OdDb::kTextLeft, OdDb::kTextBase, 1).isNull());
    EXPECT_TRUE(HvDbUtils::CreatePolyline(points, 0, 0).isNull());
    EXPECT_TRUE(
        HvDbUtils::CreateRotatedDimension(u"STANDARD", 0, 0, p, OdGePoint3d(2, 1, 0), p, nullptr, 0, OdGeVector3d())
            .isNull());
    EXPECT_EQ(db()->approxNumObjects(), before);
  }
  kxhost::endSession();
  EXPECT_TRUE(HvDbUtils::CreatePoint(p).isNull());
  EXPECT_TRUE(HvDbUtils::CreateArcPolyline(p, 1, 0, 1).isNull());
  EXPECT_TRUE(HvDbUtils::CreateMText(p, 1, OdDbMText::kTopLeft, u"M").isNull());
  EXPECT_EQ(printed(), u"");
}

}  // namespace

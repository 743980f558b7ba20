// Text and dimension styles: creating and updating text styles, erasing and
// reading them, and the dimension style with every variable by value.
#include <gtest/gtest.h>

#include "HvDbUtilsStyles.h"
#include "entityfixture.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

class Styles : public DrawingTest {
 protected:
  OdDbObjectId textStyleId(const OdChar* name) const {
    Opened<OdDbTextStyleTable> table(db()->getTextStyleTableId(), OdDb::kForRead);
    OdDbObjectId id;
    table->getAt(name, id);
    return id;
  }
  OdDbObjectId dimStyleId(const OdChar* name) const {
    Opened<OdDbDimStyleTable> table(db()->getDimStyleTableId(), OdDb::kForRead);
    OdDbObjectId id;
    table->getAt(name, id);
    return id;
  }
};

TEST_F(Styles, ANewTextStyleTakesEveryField) {
  const OdDbObjectId id = HvDbUtils::CreateTextStyle(u"Notes", u"simplex.shx", u"gbcbig.shx", 3.5, 0.8, 0.25, false);
  ASSERT_FALSE(id.isNull());
  EXPECT_EQ(id, textStyleId(u"Notes"));
  Opened<OdDbTextStyleTableRecord> style(id, OdDb::kForRead);
  ASSERT_EQ(style.result(), eOk);  // closed by the call
  EXPECT_EQ(style->fileName(), OdString(u"simplex.shx"));
  EXPECT_EQ(style->bigFontFileName(), OdString(u"gbcbig.shx"));
  EXPECT_DOUBLE_EQ(style->textSize(), 3.5);
  EXPECT_DOUBLE_EQ(style->xScale(), 0.8);
  EXPECT_DOUBLE_EQ(style->obliquingAngle(), 0.25);
  EXPECT_FALSE(style->isShapeFile());
}

TEST_F(Styles, AnExistingTextStyleIsOverwrittenAndKeepsItsBigFontWithoutANewOne) {
  const OdDbObjectId first = HvDbUtils::CreateTextStyle(u"Notes", u"simplex.shx", u"gbcbig.shx", 3.5, 0.8, 0.25, false);
  for (const OdChar* bigFont : {static_cast<const OdChar*>(u""), static_cast<const OdChar*>(nullptr)}) {
    const OdDbObjectId again = HvDbUtils::CreateTextStyle(u"NOTES", u"txt.shx", bigFont, 5, 1, 0, true, db());
    EXPECT_EQ(again, first);
    Opened<OdDbTextStyleTableRecord> style(first, OdDb::kForRead);
    EXPECT_EQ(style->fileName(), OdString(u"txt.shx"));
    EXPECT_EQ(style->bigFontFileName(), OdString(u"gbcbig.shx"));
    EXPECT_DOUBLE_EQ(style->textSize(), 5);
    EXPECT_DOUBLE_EQ(style->xScale(), 1);
    EXPECT_DOUBLE_EQ(style->obliquingAngle(), 0);
    EXPECT_TRUE(style->isShapeFile());
  }
  // A new big font replaces the old one.
  HvDbUtils::CreateTextStyle(u"Notes", u"txt.shx", u"other.shx", 5, 1, 0, true);
  Opened<OdDbTextStyleTableRecord> style(first, OdDb::kForRead);
  EXPECT_EQ(style->bigFontFileName(), OdString(u"other.shx"));
}

TEST_F(Styles, ATextStyleThatCannotBeMadeOrOpenedGivesItsResult) {
  EXPECT_TRUE(HvDbUtils::CreateTextStyle(u"Bad<Name>", u"txt.shx", nullptr, 1, 1, 0, false).isNull());
  EXPECT_TRUE(textStyleId(u"Bad<Name>").isNull());
  const OdDbObjectId id = HvDbUtils::CreateTextStyle(u"Notes", u"simplex.shx", nullptr, 2, 1, 0, false);
  {
    Opened<OdDbTextStyleTableRecord> held(id, OdDb::kForWrite);
    EXPECT_EQ(HvDbUtils::CreateTextStyle(u"Notes", u"txt.shx", nullptr, 9, 1, 0, false), id);
  }
  Opened<OdDbTextStyleTableRecord> style(id, OdDb::kForRead);
  EXPECT_DOUBLE_EQ(style->textSize(), 2);  // unchanged
}

TEST_F(Styles, ErasingAndReadingTextStyles) {
  const OdDbObjectId notes = HvDbUtils::CreateTextStyle(u"Notes", u"simplex.shx", nullptr, 3.5, 0.7, 0, false);
  OdDbObjectId id;
  double height = -1, width = -1;
  EXPECT_TRUE(HvDbUtils::GetTextStyleInfor(u"Notes", id, height, width));
  EXPECT_EQ(id, notes);
  EXPECT_DOUBLE_EQ(height, 3.5);
  EXPECT_DOUBLE_EQ(width, 0.7);

  EXPECT_TRUE(HvDbUtils::EraseTextStyle(u"Notes"));
  EXPECT_TRUE(notes.isErased());
  EXPECT_TRUE(HvDbUtils::EraseTextStyle(u"Notes", db()));  // none left: still true

  // A missing style reads as STANDARD.
  const OdDbObjectId standard = textStyleId(u"STANDARD");
  EXPECT_TRUE(HvDbUtils::GetTextStyleInfor(u"Notes", id, height, width, db()));
  EXPECT_EQ(id, standard);
  {
    Opened<OdDbTextStyleTableRecord> record(standard, OdDb::kForRead);
    EXPECT_DOUBLE_EQ(height, record->textSize());
    EXPECT_DOUBLE_EQ(width, record->xScale());
  }

  // Without STANDARD (renamed here: it cannot be erased) there is nothing to read.
  {
    Opened<OdDbTextStyleTableRecord> writable(standard, OdDb::kForWrite);
    ASSERT_EQ(writable->setName(u"Renamed"), eOk);
  }
  id = standard;
  EXPECT_FALSE(HvDbUtils::GetTextStyleInfor(u"Notes", id, height, width));
  EXPECT_TRUE(id.isNull());
  {
    Opened<OdDbTextStyleTable> held(db()->getTextStyleTableId(), OdDb::kForWrite);
    EXPECT_FALSE(HvDbUtils::EraseTextStyle(u"Notes"));
    EXPECT_FALSE(HvDbUtils::GetTextStyleInfor(u"Notes", id, height, width));
  }
}

TEST_F(Styles, ANewDimensionStyleHasEveryVariableAndBecomesCurrent) {
  const OdDbObjectId notes = HvDbUtils::CreateTextStyle(u"Notes", u"simplex.shx", nullptr, 0, 1, 0, false);
  ASSERT_TRUE(HvDbUtils::CreateDimStyle(u"MW-DIM", u"Notes"));
  const OdDbObjectId id = dimStyleId(u"MW-DIM");
  ASSERT_FALSE(id.isNull());
  EXPECT_EQ(db()->dimstyle(), id);

  Opened<OdDbDimStyleTableRecord> style(id, OdDb::kForRead);
  ASSERT_EQ(style.result(), eOk);
  // Every variable, by value, on the style and in the current settings.
  for (const OdDbDimVars* vars : {&style->dimVars(), &db()->dimVars()}) {
    EXPECT_EQ(vars->dimalt, false);
    EXPECT_EQ(vars->dimaltd, 2);
    EXPECT_DOUBLE_EQ(vars->dimaltf, 25.4);
    EXPECT_EQ(vars->dimalttd, 2);
    EXPECT_EQ(vars->dimalttz, 0);
    EXPECT_EQ(vars->dimaltu, 2);
    EXPECT_EQ(vars->dimaltz, 0);
    EXPECT_EQ(vars->dimapost, OdString());
    EXPECT_DOUBLE_EQ(vars->dimasz, 1.5);
    EXPECT_EQ(vars->dimaunit, 0);
    EXPECT_DOUBLE_EQ(vars->dimcen, 0.0);
    EXPECT_EQ(vars->dimdec, 0);
    EXPECT_DOUBLE_EQ(vars->dimdle, 0.0);
    EXPECT_DOUBLE_EQ(vars->dimdli, 3.8);
    EXPECT_DOUBLE_EQ(vars->dimexe, 1.0);
    EXPECT_DOUBLE_EQ(vars->dimexo, 0.0);
    EXPECT_EQ(vars->dimfit, 1);
    EXPECT_DOUBLE_EQ(vars->dimgap, 1.0);
    EXPECT_EQ(vars->dimjust, 0);
    EXPECT_DOUBLE_EQ(vars->dimlfac, 1.0);
    EXPECT_EQ(vars->dimlim, false);
    EXPECT_EQ(vars->dimpost, OdString());
    EXPECT_DOUBLE_EQ(vars->dimrnd, 0.0);
    EXPECT_EQ(vars->dimsah, true);
    EXPECT_DOUBLE_EQ(vars->dimscale, 1.0);
    EXPECT_EQ(vars->dimsd1, false);
    EXPECT_EQ(vars->dimsd2, false);
    EXPECT_EQ(vars->dimse1, false);
    EXPECT_EQ(vars->dimse2, false);
    EXPECT_EQ(vars->dimsoxd, false);
    EXPECT_EQ(vars->dimtad, 1);
    EXPECT_EQ(vars->dimtdec, 4);
    EXPECT_DOUBLE_EQ(vars->dimtfac, 1.0);
    EXPECT_EQ(vars->dimtih, false);
    EXPECT_EQ(vars->dimtix, true);
    EXPECT_DOUBLE_EQ(vars->dimtm, 0.0);
    EXPECT_EQ(vars->dimtofl, true);
    EXPECT_EQ(vars->dimtoh, false);
    EXPECT_EQ(vars->dimtol, false);
    EXPECT_EQ(vars->dimtolj, 1);
    EXPECT_DOUBLE_EQ(vars->dimtp, 0.0);
    EXPECT_DOUBLE_EQ(vars->dimtsz, 0.0);
    EXPECT_DOUBLE_EQ(vars->dimtvp, 1.0);
    EXPECT_EQ(vars->dimtmove, 2);
    EXPECT_EQ(vars->dimtxsty, notes);
    EXPECT_DOUBLE_EQ(vars->dimtxt, 2.0);
    EXPECT_EQ(vars->dimtzin, 0);
    EXPECT_EQ(vars->dimunit, 2);
    EXPECT_EQ(vars->dimupt, false);
    EXPECT_EQ(vars->dimzin, 0);
  }
  EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0);
}

TEST_F(Styles, AMissingOrShapeTextStyleLeavesTheDimensionTextStyleEmpty) {
  HvDbUtils::CreateTextStyle(u"Shapes", u"ltypeshp.shx", nullptr, 0, 1, 0, true);
  for (const OdChar* textStyle : {u"NoSuchStyle", u"Shapes"}) {
    const std::u16string name = std::u16string(u"MW-") + textStyle;
    ASSERT_TRUE(HvDbUtils::CreateDimStyle(name.c_str(), textStyle, db()));
    Opened<OdDbDimStyleTableRecord> style(dimStyleId(name.c_str()), OdDb::kForRead);
    ASSERT_EQ(style.result(), eOk);
    EXPECT_TRUE(style->dimtxsty().isNull());
    EXPECT_EQ(db()->dimstyle(), style->objectId());
  }
}

TEST_F(Styles, AnExistingDimensionStyleOnlyGetsItsScaleAndTextStyle) {
  const OdDbObjectId notes = HvDbUtils::CreateTextStyle(u"Notes", u"simplex.shx", nullptr, 0, 1, 0, false);
  OdDbObjectId existing;
  {
    Opened<OdDbDimStyleTable> table(db()->getDimStyleTableId(), OdDb::kForWrite);
    auto* style = new OdDbDimStyleTableRecord();
    ASSERT_EQ(style->setName(u"MW-DIM"), eOk);
    style->setDimscale(40);
    style->setDimasz(9);
    style->setDimtad(0);
    ASSERT_EQ(table->add(existing, style), eOk);
    style->close();
  }
  ASSERT_TRUE(HvDbUtils::CreateDimStyle(u"mw-dim", u"Notes"));
  EXPECT_EQ(db()->dimstyle(), existing);
  Opened<OdDbDimStyleTableRecord> style(existing, OdDb::kForRead);
  EXPECT_DOUBLE_EQ(style->dimscale(), 1.0);
  EXPECT_EQ(style->dimtxsty(), notes);
  EXPECT_DOUBLE_EQ(style->dimasz(), 9);
  EXPECT_EQ(style->dimtad(), 0);
  EXPECT_DOUBLE_EQ(db()->dimasz(), 9);  // the current settings are the style's
}

TEST_F(Styles, ADimensionStyleThatCannotBeMadeChangesNothing) {
  const OdDbObjectId before = db()->dimstyle();
  EXPECT_FALSE(HvDbUtils::CreateDimStyle(u"Bad<Name>", u"STANDARD"));
  EXPECT_EQ(db()->dimstyle(), before);
  EXPECT_TRUE(dimStyleId(u"Bad<Name>").isNull());
  {
    Opened<OdDbDimStyleTable> held(db()->getDimStyleTableId(), OdDb::kForWrite);
    EXPECT_FALSE(HvDbUtils::CreateDimStyle(u"MW-DIM", u"STANDARD"));
  }
  EXPECT_TRUE(dimStyleId(u"MW-DIM").isNull());
  EXPECT_EQ(db()->dimstyle(), before);
}

}  // namespace

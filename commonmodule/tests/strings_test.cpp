// Numbers and angles in the drawing's units, and lists of strings.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "DbDatabase.h"
#include "HvDbUtilsStrings.h"
#include "kxap.h"
#include "kxdb.h"
#include "kxhost.h"
#include "testing/tempmachine.h"
#include "winsim/text.h"

namespace {

constexpr double kPi = 3.141592653589793;

std::vector<CString> elements(const CStringArray& array) {
  std::vector<CString> items;
  for (INT_PTR i = 0; i < array.GetSize(); ++i) items.push_back(array[i]);
  return items;
}

void fill(CStringArray& array, std::initializer_list<const char16_t*> items) {
  array.RemoveAll();
  for (const char16_t* item : items) array.Add(item);
}

TEST(ExplodeStr, SplitsAtEveryOccurrenceOfTheSeparator) {
  struct Case {
    const char16_t* text;
    const char16_t* separator;
    std::vector<CString> pieces;
    int result;
  } const cases[] = {
      {u"a,b,c", u",", {u"a", u"b", u"c"}, 1},
      {u"a,b,", u",", {u"a", u"b", u""}, 1},
      {u",a", u",", {u"", u"a"}, 1},
      {u",", u",", {u"", u""}, 1},
      {u",,", u",", {u"", u"", u""}, 1},
      {u"abc", u",", {}, 0},
      {u"", u",", {}, 0},
      {u"a; b; c", u"; ", {u"a", u"b", u"c"}, 1},
      {u"a;b; c", u"; ", {u"a;b", u"c"}, 1},
      {u"aaa", u"aa", {u"", u"a"}, 1},
      {u"x<>y<>", u"<>", {u"x", u"y", u""}, 1},
      // An empty separator occurs nowhere (splitting at it would never end).
      {u"abc", u"", {}, 0},
      {u"", u"", {}, 0},
  };
  for (const Case& c : cases) {
    CStringArray pieces;
    fill(pieces, {u"left", u"over"});
    EXPECT_EQ(HvDbUtils::ExplodeStr(c.text, c.separator, pieces), c.result)
        << winsim::toUtf8(c.text) << " / " << winsim::toUtf8(c.separator);
    EXPECT_EQ(elements(pieces), c.pieces) << winsim::toUtf8(c.text) << " / " << winsim::toUtf8(c.separator);
  }
}

TEST(BuildStr, EndsEveryElementWithTheSeparator) {
  struct Case {
    std::initializer_list<const char16_t*> items;
    const char16_t* separator;
    const char16_t* result;
  } const cases[] = {
      {{u"a", u"b"}, u",", u"a,b,"}, {{u"a"}, u"; ", u"a; "}, {{u"", u""}, u",", u",,"},
      {{u"a", u"b"}, u"", u"ab"},    {{}, u",", u""},
  };
  for (const Case& c : cases) {
    CStringArray items;
    fill(items, c.items);
    CString result(u"previous");
    EXPECT_EQ(HvDbUtils::BuildStr(result, c.separator, items), 1);
    EXPECT_EQ(result, CString(c.result));
  }
}

TEST(BuildStr, UndoesExplodeStrButForTheTrailingSeparator) {
  CStringArray pieces;
  ASSERT_EQ(HvDbUtils::ExplodeStr(u"one|two||three", u"|", pieces), 1);
  CString joined;
  HvDbUtils::BuildStr(joined, u"|", pieces);
  EXPECT_EQ(joined, CString(u"one|two||three|"));
}

TEST(FindString, FindsTheFirstElementWithoutRegardToCase) {
  CStringArray items;
  fill(items, {u"layer0", u"Layer1", u"LAYER1", u"Straße"});
  struct Case {
    const char16_t* text;
    int index;
  } const cases[] = {
      {u"LAYER1", 1}, {u"layer1", 1}, {u"LAYER0", 0}, {u"STRASSE", -1}, {u"straße", 3}, {u"layer", -1}, {u"", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(HvDbUtils::FindString(c.text, items), c.index) << winsim::toUtf8(c.text);
  CStringArray none;
  EXPECT_EQ(HvDbUtils::FindString(u"LAYER1", none), -1);
  fill(items, {u"", u"x"});
  EXPECT_EQ(HvDbUtils::FindString(u"", items), 0);
}

class NumberTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_document = kxhost::newDocument();
    ASSERT_NE(m_document, nullptr);
  }
  void TearDown() override { kxhost::endSession(); }
  OdDbDatabase* db() const { return m_document->database(); }

  winsim::testing::TempMachine m_machine;
  KxApDocument* m_document = nullptr;
};

TEST_F(NumberTextTest, NumbersAndAnglesFollowTheDrawingsLinearUnits) {
  struct Case {
    OdInt16 lunits, luprec;
    double value;
    const char16_t* distance;
    double angle;
    const char16_t* angleText;
  } const cases[] = {
      // The angle takes the linear unit mode as its angle mode: 2 is grads,
      // 1 degrees/minutes/seconds, and 5, no angle mode, decimal degrees.
      {2, 4, 15.5, u"15.5000", kPi / 4, u"50.0000g"},
      {1, 2, 15.5, u"1.55E+01", kPi / 2, u"90d0'"},
      {5, 1, 15.5, u"15 1/2", kPi / 4, u"45.0"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(db()->setLunits(c.lunits), eOk);
    ASSERT_EQ(db()->setLuprec(c.luprec), eOk);
    // The host's own formatting with these settings is what comes back.
    OdChar expected[kKxNumberTextSize];
    kxdbRToS(c.value, c.lunits, c.luprec, expected);
    EXPECT_EQ(HvDbUtils::DoubleToStr(c.value), CString(expected)) << c.lunits;
    EXPECT_EQ(HvDbUtils::DoubleToStr(c.value, db()), CString(c.distance)) << c.lunits;
    kxdbAngToS(c.angle, c.lunits, c.luprec, expected);
    EXPECT_EQ(HvDbUtils::AngleToStr(c.angle), CString(expected)) << c.lunits;
    EXPECT_EQ(HvDbUtils::AngleToStr(c.angle, db()), CString(c.angleText)) << c.lunits;
  }
}

TEST_F(NumberTextTest, AGivenDatabaseUsesItsOwnUnits) {
  ASSERT_EQ(db()->setLunits(2), eOk);
  ASSERT_EQ(db()->setLuprec(2), eOk);
  OdDbDatabase own(true);
  ASSERT_EQ(own.setLunits(2), eOk);
  ASSERT_EQ(own.setLuprec(0), eOk);
  EXPECT_EQ(HvDbUtils::DoubleToStr(2.25), CString(u"2.25"));
  EXPECT_EQ(HvDbUtils::DoubleToStr(2.25, &own), CString(u"2"));
  EXPECT_EQ(HvDbUtils::AngleToStr(kPi, &own), CString(u"200g"));
}

TEST(NumberText, WithoutADrawingThereIsNoText) {
  winsim::testing::TempMachine machine;
  kxhost::endSession();
  EXPECT_EQ(HvDbUtils::DoubleToStr(1.0), CString());
  EXPECT_EQ(HvDbUtils::AngleToStr(1.0), CString());
}

}  // namespace

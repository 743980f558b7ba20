// Distances and angles as text in every unit mode the host supports.
#include <cmath>
#include <limits>

#include "hosttest.h"
#include "kxdb.h"
#include "kxed.h"

namespace {

using kxhost::testing::HostTest;

constexpr double kPi = 3.14159265358979323846;

std::u16string distance(double value, int unit, int precision, int* result = nullptr) {
  OdChar text[kKxNumberTextSize];
  const int status = kxdbRToS(value, unit, precision, text);
  if (result) *result = status;
  return text;
}

std::u16string angle(double radians, int unit, int precision, int* result = nullptr) {
  OdChar text[kKxNumberTextSize];
  const int status = kxdbAngToS(radians, unit, precision, text);
  if (result) *result = status;
  return text;
}

TEST(HostUnits, Distances) {
  struct Case {
    double value;
    int unit;
    int precision;
    const char16_t* text;
  } cases[] = {
      {15.5, 1, 4, u"1.5500E+01"},
      {15.5, 2, 4, u"15.5000"},
      {15.5, 2, 0, u"16"},
      {-0.00001, 2, 4, u"0.0000"},
      {-2.25, 2, 2, u"-2.25"},
      {15.5, 3, 4, u"1'-3.5000\""},
      {11.99999, 3, 2, u"1'-0.00\""},
      {-15.5, 3, 1, u"-1'-3.5\""},
      {15.5, 4, 4, u"1'-3 1/2\""},
      {15.5625, 4, 4, u"1'-3 9/16\""},
      {0.5, 4, 1, u"0'-0 1/2\""},
      {24, 4, 3, u"2'-0\""},
      {15.5, 5, 4, u"15 1/2"},
      {0.75, 5, 2, u"3/4"},
      {-3, 5, 4, u"-3"},
      {0.1, 5, 0, u"0"},
      {1e20, 2, 4, u"1.0000E+20"},
      {1e20, 4, 4, u"1.0000E+20"},
      {2, 2, 12, u"2.00000000"},  // precision is at most 8
      {2, 2, -5, u"2"},
  };
  for (const Case& c : cases) {
    int result = 0;
    EXPECT_EQ(distance(c.value, c.unit, c.precision, &result), c.text)
        << c.value << " " << c.unit << " " << c.precision;
    EXPECT_EQ(result, RTNORM);
  }
  EXPECT_EQ(distance(std::numeric_limits<double>::quiet_NaN(), 2, 4), u"NaN");
  EXPECT_EQ(distance(-std::numeric_limits<double>::infinity(), 4, 4), u"-Inf");
  int result = 0;
  EXPECT_EQ(distance(1.5, 9, 2, &result), u"1.50");  // an unknown mode: decimal, and an error
  EXPECT_EQ(result, RTERROR);
  EXPECT_EQ(kxdbRToS(1, 2, 2, nullptr), RTERROR);
  // The longest texts fit the documented size.
  for (int unit = 1; unit <= 5; ++unit)
    EXPECT_LT(distance(-9.99999e14, unit, 8).size(), static_cast<std::size_t>(kKxNumberTextSize)) << unit;
}

TEST_F(HostTest, DistancesTakeTheWorkingDatabasesUnits) {
  KxApDocument* document = kxhost::newDocument();
  document->database()->setLunits(4);
  document->database()->setLuprec(3);
  EXPECT_EQ(distance(27.25, -1, -1), u"2'-3 1/4\"");
}

TEST(HostUnits, Angles) {
  struct Case {
    double radians;
    int unit;
    int precision;
    const char16_t* text;
  } cases[] = {
      {kPi / 4, 0, 4, u"45.0000"},
      {kPi / 4, 0, 0, u"45"},
      {-kPi / 2, 0, 0, u"270"},
      {2 * kPi - 1e-9, 0, 2, u"0.00"},  // rounds up to a full turn: 0
      {5 * kPi, 0, 1, u"180.0"},
      {45.6 * kPi / 180, 1, 0, u"46d"},  // rounded to whole degrees
      {(45 + 30.0 / 60 + 15.0 / 3600) * kPi / 180, 1, 2, u"45d30'"},
      {(45 + 30.0 / 60 + 15.0 / 3600) * kPi / 180, 1, 4, u"45d30'15\""},
      {(45 + 30.0 / 60 + 15.25 / 3600) * kPi / 180, 1, 6, u"45d30'15.25\""},
      {kPi / 4, 2, 4, u"50.0000g"},
      {kPi / 4, 3, 4, u"0.7854r"},
      {kPi / 4, 4, 4, u"N 45d0'0\" E"},
      {kPi / 2, 4, 4, u"N"},
      {0, 4, 4, u"E"},
      {kPi, 4, 2, u"W"},
      {3 * kPi / 2, 4, 0, u"S"},
      {(90 + 30) * kPi / 180, 4, 4, u"N 30d0'0\" W"},
      {(180 + 10) * kPi / 180, 4, 2, u"S 80d0' W"},
      {(270 + 20) * kPi / 180, 4, 0, u"S 20d E"},
  };
  for (const Case& c : cases) {
    int result = 0;
    EXPECT_EQ(angle(c.radians, c.unit, c.precision, &result), c.text) << c.radians << " " << c.unit;
    EXPECT_EQ(result, RTNORM);
  }
  int result = 0;
  EXPECT_EQ(angle(kPi / 4, 5, 2, &result), u"45.00");  // LUNITS 5 handed over: degrees, and an error
  EXPECT_EQ(result, RTERROR);
}

TEST_F(HostTest, AnglesTakeTheHostsAngleUnits) {
  kxhost::newDocument();
  resbuf value{};
  value.restype = RTSHORT;
  value.resval.rint = 3;
  ASSERT_EQ(kxedSetVar(u"AUNITS", &value), RTNORM);
  value.resval.rint = 2;
  ASSERT_EQ(kxedSetVar(u"AUPREC", &value), RTNORM);
  EXPECT_EQ(angle(1, -1, -1), u"1.00r");
}

}  // namespace

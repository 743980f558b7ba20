// System variables: the documented defaults, what may be set, and the view
// variables' systems.
#include <cmath>

#include "OdAlloc.h"
#include "hosttest.h"
#include "kxed.h"

namespace {

using kxhost::testing::HostTest;

struct Value {
  short type = RTNONE;
  double x = 0, y = 0, z = 0;
  std::u16string text;
};

Value get(const char16_t* name) {
  resbuf r{};
  Value v;
  if (kxedGetVar(name, &r) != RTNORM) return v;
  v.type = r.restype;
  switch (r.restype) {
    case RTSHORT:
      v.x = r.resval.rint;
      break;
    case RTREAL:
      v.x = r.resval.rreal;
      break;
    case RTPOINT:
    case RT3DPOINT:
      v.x = r.resval.rpoint[0];
      v.y = r.resval.rpoint[1];
      v.z = r.resval.rpoint[2];
      break;
    case RTSTR:
      v.text = r.resval.rstring;
      odrxFree(r.resval.rstring);
      break;
  }
  return v;
}

int setShort(const char16_t* name, short value) {
  resbuf r{};
  r.restype = RTSHORT;
  r.resval.rint = value;
  return kxedSetVar(name, &r);
}

int setReal(const char16_t* name, double value) {
  resbuf r{};
  r.restype = RTREAL;
  r.resval.rreal = value;
  return kxedSetVar(name, &r);
}

int setPoint(const char16_t* name, double x, double y, double z) {
  resbuf r{};
  r.restype = RT3DPOINT;
  r.resval.rpoint[0] = x;
  r.resval.rpoint[1] = y;
  r.resval.rpoint[2] = z;
  return kxedSetVar(name, &r);
}

int setText(const char16_t* name, const char16_t* value) {
  std::u16string copy(value);
  resbuf r{};
  r.restype = RTSTR;
  r.resval.rstring = copy.data();
  return kxedSetVar(name, &r);
}

TEST_F(HostTest, AFreshDocumentHasTheDefaultView) {
  kxhost::newDocument();
  struct Case {
    const char16_t* name;
    short type;
    double x, y, z;
  } cases[] = {
      {u"VIEWCTR", RT3DPOINT, 0, 0, 0}, {u"VIEWSIZE", RTREAL, 10, 0, 0},  {u"SCREENSIZE", RTPOINT, 1000, 500, 0},
      {u"VIEWDIR", RT3DPOINT, 0, 0, 1}, {u"TARGET", RT3DPOINT, 0, 0, 0},  {u"LENSLENGTH", RTREAL, 50, 0, 0},
      {u"VIEWTWIST", RTREAL, 0, 0, 0},  {u"VIEWMODE", RTSHORT, 0, 0, 0},  {u"FRONTZ", RTREAL, 0, 0, 0},
      {u"BACKZ", RTREAL, 0, 0, 0},      {u"CMDACTIVE", RTSHORT, 0, 0, 0}, {u"SECURELOAD", RTSHORT, 1, 0, 0},
      {u"AUNITS", RTSHORT, 0, 0, 0},    {u"AUPREC", RTSHORT, 0, 0, 0},    {u"TILEMODE", RTSHORT, 1, 0, 0},
      {u"LUNITS", RTSHORT, 2, 0, 0},    {u"LUPREC", RTSHORT, 4, 0, 0},    {u"CELTSCALE", RTREAL, 1, 0, 0},
      {u"UCSORG", RT3DPOINT, 0, 0, 0},  {u"UCSXDIR", RT3DPOINT, 1, 0, 0}, {u"UCSYDIR", RT3DPOINT, 0, 1, 0},
  };
  for (const Case& c : cases) {
    const Value v = get(c.name);
    EXPECT_EQ(v.type, c.type) << winsim::toUtf8(c.name);
    EXPECT_DOUBLE_EQ(v.x, c.x) << winsim::toUtf8(c.name);
    EXPECT_DOUBLE_EQ(v.y, c.y) << winsim::toUtf8(c.name);
    EXPECT_DOUBLE_EQ(v.z, c.z) << winsim::toUtf8(c.name);
  }
  EXPECT_EQ(get(u"CLAYER").text, u"0");
  EXPECT_EQ(get(u"clayer").text, u"0");  // names without case
  EXPECT_TRUE(winsim::equalsNoCase(get(u"TEXTSTYLE").text, u"Standard"));
  EXPECT_EQ(get(u"TRUSTEDPATHS").type, RTSTR);
}

TEST_F(HostTest, UnknownNamesAndBadArgumentsAreRefused) {
  kxhost::newDocument();
  resbuf r{};
  r.restype = RTSHORT;
  EXPECT_EQ(kxedGetVar(u"NOSUCHVAR", &r), RTERROR);
  EXPECT_EQ(r.restype, RTNONE);
  EXPECT_EQ(kxedGetVar(nullptr, &r), RTERROR);
  EXPECT_EQ(kxedGetVar(u"VIEWSIZE", nullptr), RTERROR);
  EXPECT_EQ(kxedSetVar(u"VIEWSIZE", nullptr), RTERROR);

  struct Case {
    const char* what;
    int result;
  } cases[] = {
      {"CMDACTIVE is read-only", setShort(u"CMDACTIVE", 1)},
      {"UCSORG is read-only", setPoint(u"UCSORG", 1, 2, 3)},
      {"VIEWSIZE must be positive", setReal(u"VIEWSIZE", 0)},
      {"VIEWSIZE is no text", setText(u"VIEWSIZE", u"10")},
      {"VIEWDIR not zero", setPoint(u"VIEWDIR", 0, 0, 0)},
      {"SECURELOAD 0-2", setShort(u"SECURELOAD", 3)},
      {"LUNITS 1-5", setShort(u"LUNITS", 0)},
      {"LUPREC 0-8", setShort(u"LUPREC", 9)},
      {"AUNITS 0-4", setShort(u"AUNITS", 5)},
      {"TILEMODE 0 or 1", setShort(u"TILEMODE", 2)},
      {"CLAYER must exist", setText(u"CLAYER", u"NoSuchLayer")},
      {"VIEWTWIST must be a number", setReal(u"VIEWTWIST", std::nan(""))},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, RTERROR) << c.what;
  EXPECT_DOUBLE_EQ(get(u"VIEWTWIST").x, 0);
  EXPECT_DOUBLE_EQ(get(u"VIEWSIZE").x, 10);
}

TEST_F(HostTest, SetValuesAreWhatLaterReadsGet) {
  kxhost::newDocument();
  EXPECT_EQ(setReal(u"VIEWSIZE", 42.5), RTNORM);
  EXPECT_EQ(setShort(u"VIEWSIZE", 12), RTNORM);  // a real may be given as an integer
  EXPECT_DOUBLE_EQ(get(u"VIEWSIZE").x, 12);
  EXPECT_EQ(setShort(u"SECURELOAD", 0), RTNORM);
  EXPECT_DOUBLE_EQ(get(u"SECURELOAD").x, 0);
  EXPECT_EQ(setShort(u"LUNITS", 4), RTNORM);
  EXPECT_EQ(setShort(u"LUPREC", 2), RTNORM);
  EXPECT_DOUBLE_EQ(get(u"LUNITS").x, 4);
  EXPECT_EQ(setText(u"TRUSTEDPATHS", u"C:\\Tools\\..."), RTNORM);
  EXPECT_EQ(get(u"TRUSTEDPATHS").text, u"C:\\Tools\\...");
  EXPECT_EQ(setReal(u"CELTSCALE", 2.5), RTNORM);
  EXPECT_DOUBLE_EQ(kxDocManagerPtr()->curDocument()->database()->celtscale(), 2.5);
  EXPECT_EQ(setText(u"CLAYER", u"0"), RTNORM);
  resbuf screen{};
  screen.restype = RTPOINT;
  screen.resval.rpoint[0] = 800;
  screen.resval.rpoint[1] = 600;
  EXPECT_EQ(kxedSetVar(u"SCREENSIZE", &screen), RTNORM);
  EXPECT_DOUBLE_EQ(get(u"SCREENSIZE").x, 800);
  // The session's end brings the host's own variables back.
  kxhost::endSession();
  kxhost::newDocument();
  EXPECT_DOUBLE_EQ(get(u"SECURELOAD").x, 1);
  EXPECT_DOUBLE_EQ(get(u"SCREENSIZE").y, 500);
}

TEST_F(HostTest, ViewVariablesAreGivenInTheUcs) {
  KxApDocument* document = kxhost::newDocument();
  ASSERT_EQ(setPoint(u"VIEWCTR", 20, 10, 0), RTNORM);
  ASSERT_EQ(setPoint(u"TARGET", 1, 2, 0), RTNORM);
  // The UCS moves by (100, 0, 0): the same view reads 100 less in X.
  ASSERT_EQ(document->database()->setUcs({100, 0, 0}, OdGeVector3d::kXAxis, OdGeVector3d::kYAxis), eOk);
  const Value center = get(u"VIEWCTR");
  EXPECT_NEAR(center.x, -80, 1e-9);
  EXPECT_NEAR(center.y, 10, 1e-9);
  EXPECT_NEAR(get(u"TARGET").x, -99, 1e-9);
  // Turned a quarter turn about Z, the view direction stays (0, 0, 1) and
  // the UCS X of a WCS Y offset is positive.
  ASSERT_EQ(document->database()->setUcs({0, 0, 0}, OdGeVector3d::kYAxis, -OdGeVector3d::kXAxis), eOk);
  const Value direction = get(u"VIEWDIR");
  EXPECT_NEAR(direction.z, 1, 1e-9);
  EXPECT_NEAR(get(u"TARGET").x, 2, 1e-9);
  EXPECT_NEAR(get(u"TARGET").y, -1, 1e-9);
}

TEST_F(HostTest, WithoutADocumentOnlyTheHostsVariablesAnswer) {
  EXPECT_EQ(get(u"VIEWSIZE").type, RTNONE);
  EXPECT_EQ(get(u"CLAYER").type, RTNONE);
  EXPECT_EQ(get(u"SECURELOAD").type, RTSHORT);
  EXPECT_EQ(get(u"SCREENSIZE").type, RTPOINT);
  EXPECT_EQ(setReal(u"VIEWSIZE", 5), RTERROR);
}

TEST_F(HostTest, TheViewExtentOfTheDefaultViewIsTwentyByTen) {
  // What the common module's GetViewExtent computes from these variables.
  kxhost::newDocument();
  const Value center = get(u"VIEWCTR");
  const double h = get(u"VIEWSIZE").x * 0.5;
  const Value screen = get(u"SCREENSIZE");
  const double w = h / screen.y * screen.x;
  resbuf ucs{}, dcs{};
  ucs.restype = dcs.restype = RTSHORT;
  ucs.resval.rint = kKxUcs;
  dcs.resval.rint = kKxDcs;
  ads_point c = {center.x, center.y, center.z}, cd = {0, 0, 0};
  ASSERT_EQ(kxedTrans(c, &ucs, &dcs, 0, cd), RTNORM);
  ads_point lower = {cd[0] - w, cd[1] - h, cd[2]}, upper = {cd[0] + w, cd[1] + h, cd[2]};
  ads_point lowerUcs = {0, 0, 0}, upperUcs = {0, 0, 0};
  kxedTrans(lower, &dcs, &ucs, 0, lowerUcs);
  kxedTrans(upper, &dcs, &ucs, 0, upperUcs);
  EXPECT_NEAR(lowerUcs[0], -10, 1e-12);
  EXPECT_NEAR(lowerUcs[1], -5, 1e-12);
  EXPECT_NEAR(upperUcs[0], 10, 1e-12);
  EXPECT_NEAR(upperUcs[1], 5, 1e-12);
}

}  // namespace

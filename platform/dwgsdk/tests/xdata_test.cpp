// Result buffers and extended entity data.
#include "drawingfixture.h"

using namespace dwgsdk_test;

TEST(ResBuf, BuildListTakesEveryKindAndReleasesIt) {
  double p[3] = {1, 2, 3};
  char bytes[] = {1, 2, 3};
  ads_binary bin{3, bytes};
  resbuf* list = odutBuildList(RTLB, RTREAL, 1.5, RTPOINT, p, RT3DPOINT, p, RTSHORT, 7, RTLONG, 70000, RTSTR, u"text",
                               RTLE, 1004, &bin, RTNONE);
  ASSERT_NE(list, nullptr);
  std::vector<short> types;
  for (resbuf* rb = list; rb; rb = rb->rbnext) types.push_back(rb->restype);
  EXPECT_EQ(types, (std::vector<short>{RTLB, RTREAL, RTPOINT, RT3DPOINT, RTSHORT, RTLONG, RTSTR, RTLE, 1004}));
  resbuf* rb = list->rbnext->rbnext;
  EXPECT_EQ(rb->resval.rpoint[2], 0.0);  // a 2D point has no z
  EXPECT_EQ(rb->rbnext->resval.rpoint[2], 3.0);
  EXPECT_EQ(rb->rbnext->rbnext->resval.rint, 7);
  EXPECT_EQ(OdString(rb->rbnext->rbnext->rbnext->rbnext->resval.rstring), OdString(u"text"));
  resbuf* last = rb->rbnext->rbnext->rbnext->rbnext->rbnext->rbnext;
  EXPECT_EQ(last->resval.rbinary.clen, 3);
  EXPECT_EQ(last->resval.rbinary.buf[2], 3);
  odutRelRb(list);
  EXPECT_EQ(odutBuildList(4999, 1.0, 0), nullptr);  // an unknown code builds nothing
  resbuf* one = odutNewRb(RTSTR);
  EXPECT_EQ(one->resval.rstring, nullptr);
  one->resval.rstring = odutNewString(u"owned");
  odutRelRb(one);
}

TEST(XData, StoreQueryReplaceAndRemove) {
  OdDbDatabase db;
  registerApp(db, u"APP1");
  registerApp(db, u"APP2");
  OdDbObjectId id = append(db, new OdDbLine());
  OdDbObject* o = nullptr;
  ASSERT_EQ(oddbOpenObject(o, id, OdDb::kForWrite), eOk);
  resbuf* two = odutBuildList(1001, u"APP1", 1000, u"one", 1001, u"APP2", 1070, 2, 0);
  ASSERT_EQ(o->setXData(two), eOk);
  odutRelRb(two);
  resbuf* app2 = o->xData(u"app2");
  ASSERT_NE(app2, nullptr);
  EXPECT_EQ(app2->restype, 1001);
  EXPECT_EQ(app2->rbnext->resval.rint, 2);
  EXPECT_EQ(app2->rbnext->rbnext, nullptr);
  odutRelRb(app2);
  // Replacing one application leaves the other.
  resbuf* replace = odutBuildList(1001, u"APP1", 1040, 9.5, 0);
  ASSERT_EQ(o->setXData(replace), eOk);
  odutRelRb(replace);
  resbuf* all = o->xData();
  int count = 0;
  for (resbuf* rb = all; rb; rb = rb->rbnext) ++count;
  EXPECT_EQ(count, 4);
  odutRelRb(all);
  // An application item alone removes that application's data.
  resbuf* remove = odutBuildList(1001, u"APP1", 0);
  ASSERT_EQ(o->setXData(remove), eOk);
  odutRelRb(remove);
  EXPECT_EQ(o->xData(u"APP1"), nullptr);
  o->close();
  EXPECT_EQ(o->setXData(remove), eNotOpenForWrite);
}

TEST(XData, ChecksWhatItStores) {
  OdDbDatabase db;
  registerApp(db, u"APP");
  OdDbObjectId id = append(db, new OdDbLine());
  OdDbObject* o = nullptr;
  ASSERT_EQ(oddbOpenObject(o, id, OdDb::kForWrite), eOk);
  char big[128] = {};
  ads_binary chunk128{128, big};
  ads_binary chunk127{127, big};
  struct Case {
    const char* what;
    resbuf* list;
    OdResult expected;
  } cases[] = {
      {"an unregistered application", odutBuildList(1001, u"NOBODY", 1000, u"x", 0), eRegappIdNotFound},
      {"data before any application", odutBuildList(1000, u"x", 0), eInvalidInput},
      {"a chunk of 128 bytes", odutBuildList(1001, u"APP", 1004, &chunk128, 0), eInvalidInput},
      {"a chunk of 127 bytes", odutBuildList(1001, u"APP", 1004, &chunk127, 0), eOk},
      {"an open brace", odutBuildList(1001, u"APP", 1002, u"{", 1000, u"x", 0), eInvalidInput},
      {"a close brace first", odutBuildList(1001, u"APP", 1002, u"}", 0), eInvalidInput},
      {"a control string that is no brace", odutBuildList(1001, u"APP", 1002, u"(", 0), eInvalidInput},
      {"a LISP code", odutBuildList(1001, u"APP", RTSTR, u"x", 0), eInvalidInput},
      {"a handle that is no hexadecimal", odutBuildList(1001, u"APP", 1005, u"XY", 0), eInvalidInput},
      {"nested braces", odutBuildList(1001, u"APP", 1002, u"{", 1002, u"{", 1002, u"}", 1002, u"}", 0), eOk},
  };
  for (auto& c : cases) {
    ASSERT_NE(c.list, nullptr) << c.what;
    EXPECT_EQ(o->setXData(c.list), c.expected) << c.what;
    odutRelRb(c.list);
  }
  EXPECT_EQ(o->setXData(nullptr), eInvalidInput);
  o->close();
}

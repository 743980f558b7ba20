// Extended entity data: the stored layouts (checked with the SDK), reading
// back, the value-list conversions, removal, and the reports of bad input.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "HvDbUtilsXdata.h"
#include "OdAlloc.h"
#include "kxed.h"
#include "storagefixture.h"
#include "winsim/text.h"

namespace {

using mwcommon::testing::Opened;
using mwcommon::testing::StorageTest;

constexpr const OdChar* kApp = u"MW_TEST";

// One stored item as the SDK hands it out: its code and a printable value.
struct Item {
  int code;
  std::u16string value;
  friend bool operator==(const Item&, const Item&) = default;
};

std::u16string number(double value) {
  std::string text = std::to_string(value);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return winsim::fromUtf8(text);
}

std::u16string valueOf(const resbuf* node) {
  switch (odutResBufKind(node->restype)) {
    case OdResBufKind::kText:
      return node->resval.rstring ? node->resval.rstring : u"<null>";
    case OdResBufKind::kReal:
      return number(node->resval.rreal);
    case OdResBufKind::kPoint:
      return number(node->resval.rpoint[0]) + u"," + number(node->resval.rpoint[1]) + u"," +
             number(node->resval.rpoint[2]);
    case OdResBufKind::kInt16:
      return number(node->resval.rint);
    case OdResBufKind::kInt32:
      return number(node->resval.rlong);
    case OdResBufKind::kBinary:
      return u"#" + number(node->resval.rbinary.clen);
    default:
      return u"";
  }
}

std::vector<Item> itemsOf(const resbuf* chain) {
  std::vector<Item> items;
  for (const resbuf* node = chain; node; node = node->rbnext) items.push_back({node->restype, valueOf(node)});
  return items;
}

std::u16string repeated(char16_t c, int count) { return std::u16string(static_cast<std::size_t>(count), c); }

class Xdata : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    m_line = addLine(OdGePoint3d(0, 0, 0), OdGePoint3d(10, 0, 0));
    ASSERT_EQ(oddbGetAdsName(m_ename, m_line), eOk);
  }

  /// The object's items for the application (1001 first), as the SDK has them.
  std::vector<Item> stored(OdDbObjectId id, const OdChar* app = kApp) const {
    Opened<OdDbObject> object(id, OdDb::kForRead);
    resbuf* data = object->xData(app);
    std::vector<Item> items = itemsOf(data);
    odutRelRb(data);
    return items;
  }
  std::vector<Item> stored() const { return stored(m_line); }

  void setCodePage(const char16_t* page) {
    ASSERT_TRUE(machine().machine().setProfileValue(u"system", u"codepage", page).ok());
  }

  OdDbObjectId m_line;
  ads_name m_ename = {};
};

// Text storage by the ANSI bytes of the machine's code page.
TEST_F(Xdata, TextsAreStoredAsOneStringUpTo255AnsiBytesElseInChunks) {
  struct Case {
    const char16_t* codePage;
    std::u16string text;
    std::vector<int> chunks;  // empty: one 1000 item
  } cases[] = {
      {u"1252", repeated(u'a', 255), {}},
      {u"1252", repeated(u'a', 256), {127, 127, 2}},
      {u"1252", repeated(u'a', 254) + u"\u00e9", {}},  // é is one byte in 1252
      {u"1252", repeated(u'a', 381), {127, 127, 127, 0}},
      {u"1252", repeated(u'a', 254), {}},
      {u"1252", u"", {}},
      {u"936", repeated(u'a', 253) + u"\u4e2d", {}},                                    // 255 bytes
      {u"936", repeated(u'a', 254) + u"\u4e2d", {127, 127, 2}},                         // 255 characters, 256 bytes
      {u"936", repeated(u'a', 126) + u"\u4e2d" + repeated(u'b', 200), {127, 127, 74}},  // split character
      {u"936", repeated(u'\u4e2d', 128), {127, 127, 2}},
  };
  for (const Case& c : cases) {
    setCodePage(c.codePage);
    CString app(kApp);
    ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, c.text.c_str(), db()), 1);
    std::vector<Item> expected = {{1001, kApp}};
    if (c.chunks.empty()) {
      expected.push_back({1000, c.text});
    } else {
      for (int size : c.chunks) expected.push_back({1004, u"#" + number(size)});
    }
    EXPECT_EQ(stored(), expected) << winsim::toUtf8(c.codePage) << " " << c.text.size();

    // Read back whole, whichever way it was stored.
    CString text(u"earlier");
    EXPECT_EQ(HvDbUtils::GetXdata(m_line, app, text), 1);
    EXPECT_EQ(std::u16string(text.GetString()), c.text) << winsim::toUtf8(c.codePage) << " " << c.text.size();
  }
  EXPECT_EQ(printed(), u"");
}

TEST_F(Xdata, ALongTextTheCodePageCannotHoldIsRefused) {
  // Chunks would turn the character into "?", so the text is not stored.
  CString app(kApp);
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, u"kept", db()), 1);
  const std::u16string text = repeated(u'a', 300) + u"\u4e2d";
  EXPECT_EQ(HvDbUtils::SetXdata(m_line, app, text.c_str(), db()), 0);
  EXPECT_EQ(printed(), u"\nIllegal entry!");
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1000, u"kept"}}));

  // A short one keeps its wide characters in the string item: nothing is lost.
  const std::u16string shortText = u"\u4e2d\u6587 text";
  EXPECT_EQ(HvDbUtils::SetXdata(m_line, app, shortText.c_str(), db()), 1);
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1000, shortText}}));
}

TEST_F(Xdata, TheTextReaderJoinsEveryChunkOfTheData) {
  // Chunks after a string inside braces: the braced string is no value.
  CString registering(kApp);
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, registering, u"x", db()), 1);
  const ads_binary first{3, const_cast<char*>("abc")};
  const ads_binary second{2, const_cast<char*>("de")};
  resbuf* list = odutBuildList(1001, kApp, 1002, u"{", 1000, u"inside", 1002, u"}", 1004, &first, 1004, &second, 0);
  ASSERT_NE(list, nullptr);
  {
    Opened<OdDbObject> writable(m_line, OdDb::kForWrite);
    ASSERT_EQ(writable->setXData(list), eOk);
  }
  odutRelRb(list);
  CString app(kApp), text;
  EXPECT_EQ(HvDbUtils::GetXdata(m_line, app, text), 1);
  EXPECT_EQ(text, u"abcde");
  // findXdata knows no chunks: nothing outside braces.
  Opened<OdDbObject> reader(m_line, OdDb::kForRead);
  text = u"unchanged";
  EXPECT_EQ(HvDbUtils::findXdata(reader.get(), kApp, text), 0);
  EXPECT_EQ(text, u"unchanged");
}

TEST_F(Xdata, FindXdataTellsMissingDataByADash) {
  Opened<OdDbObject> object(m_line, OdDb::kForRead);
  CString text(u"earlier");
  EXPECT_EQ(HvDbUtils::findXdata(object.get(), kApp, text), 0);
  EXPECT_EQ(text, u"-");
  EXPECT_EQ(HvDbUtils::GetXdata(object.get(), kApp, text), 0);
  EXPECT_EQ(text, u"");
  EXPECT_EQ(HvDbUtils::SetXdata(object.get(), kApp, u"value", db()), 1);  // written on a reader
  EXPECT_TRUE(object->isReadEnabled());
  EXPECT_FALSE(object->isWriteEnabled());
  EXPECT_EQ(HvDbUtils::findXdata(object.get(), kApp, text), 1);
  EXPECT_EQ(text, u"value");
  EXPECT_EQ(HvDbUtils::findXdata(nullptr, kApp, text), 0);
  EXPECT_EQ(HvDbUtils::GetXdata(static_cast<const OdDbObject*>(nullptr), kApp, text), 0);
}

TEST_F(Xdata, WritingRegistersTheApplicationOnce) {
  EXPECT_EQ(HvDbUtils::SetXdata(m_ename, kApp, u"one"), 1);
  {
    Opened<OdDbRegAppTable> table(db()->getRegAppTableId(), OdDb::kForRead);
    EXPECT_TRUE(table->has(kApp));
  }
  // The application item of existing data keeps its spelling.
  EXPECT_EQ(HvDbUtils::SetXdata(m_ename, u"mw_test", u"two"), 1);
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1000, u"two"}}));
  // A name the table refuses fails the writer.
  EXPECT_EQ(HvDbUtils::SetXdata(m_ename, u"BAD<NAME>", u"x"), 0);
  EXPECT_EQ(HvDbUtils::SetXdata(m_ename, static_cast<const OdChar*>(nullptr), u"x"), 0);
  EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0);
}

TEST_F(Xdata, AnExplicitNullDatabaseFailsTheWriters) {
  CString app(kApp);
  const double z5[3] = {1, 2, 5};
  resbuf* point = odutBuildList(RT3DPOINT, z5, 0);
  {
    Opened<OdDbObject> object(m_line, OdDb::kForRead);
    EXPECT_EQ(HvDbUtils::SetXdata(object.get(), kApp, u"x", nullptr), 0);
  }
  EXPECT_EQ(HvDbUtils::SetXdata(m_line, app, u"x", nullptr), 0);
  EXPECT_EQ(HvDbUtils::SetXdata(m_ename, kApp, u"x", nullptr), 0);
  EXPECT_EQ(HvDbUtils::SetXdata(m_line, kApp, point, nullptr), 0);
  EXPECT_EQ(HvDbUtils::SetXdata(m_ename, kApp, point, nullptr), 0);
  EXPECT_EQ(HvDbUtils::SetEntXdataPoint(m_line, kApp, OdGePoint3d(1, 2, 3), nullptr), 0);
  EXPECT_EQ(HvDbUtils::AddXdata(m_ename, kApp, point, nullptr), 0);
  odutRelRb(point);
  EXPECT_EQ(stored(), std::vector<Item>{});
  EXPECT_EQ(printed(), u"");
  // Not even the application was registered.
  Opened<OdDbRegAppTable> table(db()->getRegAppTableId(), OdDb::kForRead);
  EXPECT_FALSE(table->has(kApp));
}

TEST_F(Xdata, PointValuesBecomeBracedGroupsOfReals) {
  const double p[3] = {1.5, -2, 5};
  resbuf* point3 = odutBuildList(RT3DPOINT, p, 0);
  resbuf* point2 = odutBuildList(RTPOINT, p, 0);
  EXPECT_EQ(HvDbUtils::AddXdata(m_ename, kApp, point3), 1);
  EXPECT_EQ(stored(),
            (std::vector<Item>{{1001, kApp}, {1002, u"{"}, {1040, u"1.5"}, {1040, u"-2"}, {1040, u"5"}, {1002, u"}"}}));
  // As LISP sees it: the reals of the group.
  resbuf* list = nullptr;
  EXPECT_EQ(HvDbUtils::GetXdata(m_line, kApp, list), 1);
  EXPECT_EQ(
      itemsOf(list),
      (std::vector<Item>{{1001, kApp}, {RTLB, u""}, {RTREAL, u"1.5"}, {RTREAL, u"-2"}, {RTREAL, u"5"}, {RTLE, u""}}));
  odutRelRb(list);

  EXPECT_EQ(HvDbUtils::SetXdata(m_line, kApp, point2), 1);
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1002, u"{"}, {1040, u"1.5"}, {1040, u"-2"}, {1002, u"}"}}));
  odutRelRb(point3);
  odutRelRb(point2);
  EXPECT_EQ(printed(), u"");
}

TEST_F(Xdata, LispListsRoundTrip) {
  const double p[3] = {1, 2, 3};
  struct Case {
    const char* name;
    resbuf* input;
    std::vector<Item> stored;  // after the 1001 item
    std::vector<Item> read;    // after the 1001 item
  } cases[] = {
      {"flat",
       odutBuildList(RTLB, RTREAL, 1.25, RTSHORT, 7, RTLONG, OdInt32(70000), RTSTR, u"door", RT3DPOINT, p, RTANG, 0.5,
                     RTLE, 0),
       {{1002, u"{"},
        {1040, u"1.25"},
        {1070, u"7"},
        {1071, u"70000"},
        {1000, u"door"},
        {1010, u"1,2,3"},
        {1040, u"0.5"},
        {1002, u"}"}},
       {{RTLB, u""},
        {RTREAL, u"1.25"},
        {RTSHORT, u"7"},
        {RTLONG, u"70000"},
        {RTSTR, u"door"},
        {RT3DPOINT, u"1,2,3"},
        {RTREAL, u"0.5"},
        {RTLE, u""}}},
      {"nested",
       odutBuildList(RTLB, RTSTR, u"a", RTLB, RTSHORT, 1, RTSHORT, 2, RTLE, RTSTR, u"b", RTLE, 0),
       {{1002, u"{"}, {1000, u"a"}, {1002, u"{"}, {1070, u"1"}, {1070, u"2"}, {1002, u"}"}, {1000, u"b"}, {1002, u"}"}},
       {{RTLB, u""},
        {RTSTR, u"a"},
        {RTLB, u""},
        {RTSHORT, u"1"},
        {RTSHORT, u"2"},
        {RTLE, u""},
        {RTSTR, u"b"},
        {RTLE, u""}}},
      {"dotted pair",
       odutBuildList(RTLB, RTLB, RTSTR, u"k", RTSHORT, 4, RTDOTE, RTLE, 0),
       {{1002, u"{"}, {1002, u"{"}, {1000, u"k"}, {1070, u"4"}, {1002, u"}"}, {1002, u"}"}},
       {{RTLB, u""}, {RTLB, u""}, {RTSTR, u"k"}, {RTSHORT, u"4"}, {RTLE, u""}, {RTLE, u""}}},
      {"what follows the end is dropped",
       odutBuildList(RTLB, RTSHORT, 1, RTLE, RTSHORT, 2, 0),
       {{1002, u"{"}, {1070, u"1"}, {1002, u"}"}},
       {{RTLB, u""}, {RTSHORT, u"1"}, {RTLE, u""}}},
      {"types without an item are left out",
       odutBuildList(RTLB, RTT, RTNIL, RTSHORT, 3, RTLE, 0),
       {{1002, u"{"}, {1070, u"3"}, {1002, u"}"}},
       {{RTLB, u""}, {RTSHORT, u"3"}, {RTLE, u""}}},
      {"a long text goes to chunks",
       odutBuildList(RTLB, RTSTR, repeated(u'x', 300).c_str(), RTLE, 0),
       {{1002, u"{"}, {1004, u"#127"}, {1004, u"#127"}, {1004, u"#46"}, {1002, u"}"}},
       {{RTLB, u""}, {RTSTR, repeated(u'x', 300)}, {RTLE, u""}}},
  };
  for (Case& c : cases) {
    ASSERT_NE(c.input, nullptr) << c.name;
    kxhost::clearCommandLineText();
    EXPECT_EQ(HvDbUtils::AddXdata(m_ename, kApp, c.input), 1) << c.name;
    std::vector<Item> expected = {{1001, kApp}};
    expected.insert(expected.end(), c.stored.begin(), c.stored.end());
    EXPECT_EQ(stored(), expected) << c.name;

    resbuf* list = nullptr;
    EXPECT_EQ(HvDbUtils::GetXdata(m_ename, kApp, list), 1) << c.name;
    expected = {{1001, kApp}};
    expected.insert(expected.end(), c.read.begin(), c.read.end());
    EXPECT_EQ(itemsOf(list), expected) << c.name;
    odutRelRb(list);
    odutRelRb(c.input);
    EXPECT_EQ(printed(), u"") << c.name;
  }
}

TEST_F(Xdata, SetXdataKeepsALongTextInOneStringItem) {
  resbuf* text = odutBuildList(RTSTR, repeated(u'y', 300).c_str(), 0);
  EXPECT_EQ(HvDbUtils::SetXdata(m_line, kApp, text, db()), 1);
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1000, repeated(u'y', 300)}}));
  // AddXdata stores the same value in chunks.
  EXPECT_EQ(HvDbUtils::AddXdata(m_ename, kApp, text, db()), 1);
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1004, u"#127"}, {1004, u"#127"}, {1004, u"#46"}}));
  odutRelRb(text);
}

TEST_F(Xdata, ATextReplacesABracedList) {
  resbuf* list = odutBuildList(RTLB, RTSHORT, 1, RTLE, 0);
  ASSERT_EQ(HvDbUtils::AddXdata(m_ename, kApp, list), 1);
  CString app(kApp);
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, u"plain"), 1);
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1000, u"plain"}}));
  odutRelRb(list);
  // The value-list reader of text data: no group, only the text.
  resbuf* read = nullptr;
  EXPECT_EQ(HvDbUtils::GetXdata(m_line, kApp, read), 1);
  EXPECT_EQ(itemsOf(read), (std::vector<Item>{{1001, kApp}, {RTSTR, u"plain"}}));
  odutRelRb(read);
}

TEST_F(Xdata, BadValueChainsAreRefusedWithAReport) {
  CString app(kApp);
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, u"kept"), 1);
  const std::vector<Item> kept = {{1001, kApp}, {1000, u"kept"}};
  struct Case {
    const char* name;
    resbuf* value;
  } cases[] = {
      {"an unclosed list", odutBuildList(RTLB, RTSHORT, 1, RTLB, RTSHORT, 2, RTLE, 0)},
      {"a lone value", odutBuildList(RTSHORT, 5, 0)},
      {"a real that is no number", odutBuildList(RTLB, RTREAL, std::numeric_limits<double>::quiet_NaN(), RTLE, 0)},
      {"nothing", nullptr},
  };
  for (Case& c : cases) {
    kxhost::clearCommandLineText();
    EXPECT_EQ(HvDbUtils::AddXdata(m_ename, kApp, c.value), 1) << c.name;
    EXPECT_EQ(printed(), u"\nIllegal entry!") << c.name;
    EXPECT_EQ(stored(), kept) << c.name;
    kxhost::clearCommandLineText();
    EXPECT_EQ(HvDbUtils::SetXdata(m_line, kApp, c.value), 0) << c.name;
    EXPECT_EQ(printed(), u"\nIllegal entry!") << c.name;
    EXPECT_EQ(stored(), kept) << c.name;
    odutRelRb(c.value);
  }
}

TEST_F(Xdata, ItemsTheReadersCannotConvertAreIllegalEntries) {
  const double p[3] = {1, 2, 3};
  resbuf* data = odutBuildList(1001, kApp, 1002, u"{", 1013, p, 1002, u"}", 0);
  {
    CString app(kApp);
    ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, u"x"), 1);
    Opened<OdDbObject> object(m_line, OdDb::kForWrite);
    ASSERT_EQ(object->setXData(data), eOk);
  }
  odutRelRb(data);
  resbuf* list = nullptr;
  EXPECT_EQ(HvDbUtils::GetXdata(m_line, kApp, list), 0);
  EXPECT_EQ(printed(), u"\nIllegal entry!");
  ASSERT_NE(list, nullptr);  // handed out, partly converted
  EXPECT_EQ(itemsOf(list), (std::vector<Item>{{1001, kApp}, {RTLB, u""}, {1013, u"1,2,3"}, {1002, u"}"}}));
  odutRelRb(list);
}

TEST_F(Xdata, ReadersOfMissingObjectsAndData) {
  ads_name nothing = {12345, 678};
  resbuf* list = reinterpret_cast<resbuf*>(this);  // left as it was on a failed open
  EXPECT_EQ(HvDbUtils::GetXdata(OdDbObjectId::kNull, kApp, list), 0);
  EXPECT_EQ(list, reinterpret_cast<resbuf*>(this));
  EXPECT_EQ(printed(), u"Getxdata acdbOpenEntity failed");
  kxhost::clearCommandLineText();
  EXPECT_EQ(HvDbUtils::GetXdata(nothing, kApp, list), 0);
  EXPECT_EQ(printed(), u"\nacdbGetObjectId failed");
  EXPECT_EQ(HvDbUtils::GetXdata(m_line, kApp, list), 0);  // no data: null
  EXPECT_EQ(list, nullptr);

  kxhost::clearCommandLineText();
  CString app(kApp), text(u"earlier");
  EXPECT_EQ(HvDbUtils::GetXdata(OdDbObjectId::kNull, app, text), 0);
  EXPECT_EQ(text, u"");
  EXPECT_EQ(printed(), u"");
  EXPECT_EQ(HvDbUtils::GetXdata(nothing, app, text), 0);
  EXPECT_EQ(printed(), u"\nacdbGetObjectId failed");
  kxhost::clearCommandLineText();
  EXPECT_EQ(HvDbUtils::SetXdata(OdDbObjectId::kNull, app, u"x"), 0);
  EXPECT_EQ(printed(), u"\nAddxdata acdbOpenEntity failed");
  kxhost::clearCommandLineText();
  EXPECT_EQ(HvDbUtils::SetXdata(nothing, kApp, u"x"), 0);
  EXPECT_EQ(printed(), u"");
  resbuf* value = odutBuildList(RTSTR, u"v", 0);
  EXPECT_EQ(HvDbUtils::SetXdata(OdDbObjectId::kNull, kApp, value), 0);
  EXPECT_EQ(printed(), u"Addxdata acdbOpenEntity failed");
  kxhost::clearCommandLineText();
  EXPECT_EQ(HvDbUtils::SetXdata(nothing, kApp, value), 0);
  EXPECT_EQ(printed(), u"\nacdbGetObjectId failed");
  kxhost::clearCommandLineText();
  EXPECT_EQ(HvDbUtils::AddXdata(nothing, kApp, value), 1);
  EXPECT_EQ(printed(), u"\nacdbGetObjectId failed");
  odutRelRb(value);
}

TEST_F(Xdata, NamesAreCutTo31CharactersInTheCallersText) {
  const std::u16string longName = u"MW_" + repeated(u'N', 37);  // 40 characters
  const std::u16string cut = longName.substr(0, 31);
  CString name(longName.c_str());
  EXPECT_EQ(HvDbUtils::SetXdata(m_line, name, u"value"), 1);
  EXPECT_EQ(std::u16string(name.GetString()), cut);
  EXPECT_EQ(stored(m_line, cut.c_str()), (std::vector<Item>{{1001, cut}, {1000, u"value"}}));

  CString again(longName.c_str()), text;
  EXPECT_EQ(HvDbUtils::GetXdata(m_line, again, text), 1);
  EXPECT_EQ(std::u16string(again.GetString()), cut);
  EXPECT_EQ(text, u"value");
  CString byName(longName.c_str());
  EXPECT_EQ(HvDbUtils::GetXdata(m_ename, byName, text), 1);
  EXPECT_EQ(std::u16string(byName.GetString()), cut);

  // The ename writer cuts a copy.
  EXPECT_EQ(HvDbUtils::SetXdata(m_ename, longName.c_str(), u"other"), 1);
  EXPECT_EQ(stored(m_line, cut.c_str()), (std::vector<Item>{{1001, cut}, {1000, u"other"}}));
}

TEST_F(Xdata, AnXdataPointKeepsXAndY) {
  EXPECT_EQ(HvDbUtils::SetEntXdataPoint(m_line, kApp, OdGePoint3d(4, 5, 5)), 1);
  EXPECT_EQ(stored(), (std::vector<Item>{{1001, kApp}, {1011, u"4,5,0"}}));
  OdGePoint3d point(9, 9, 9);
  EXPECT_EQ(HvDbUtils::GetEntXdataPoint(m_line, kApp, point), 1);
  EXPECT_EQ(point, OdGePoint3d(4, 5, 0));

  CString app(kApp);
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, u"text"), 1);
  EXPECT_EQ(HvDbUtils::GetEntXdataPoint(m_line, kApp, point), 0);  // another item first
  EXPECT_EQ(HvDbUtils::GetEntXdataPoint(m_line, u"OTHER", point), 0);
  EXPECT_EQ(HvDbUtils::GetEntXdataPoint(db()->getLayerTableId(), kApp, point), 0);  // no entity
  EXPECT_EQ(HvDbUtils::SetEntXdataPoint(OdDbObjectId::kNull, kApp, point), 0);
}

TEST_F(Xdata, DeletingRemovesOnlyThatApplication) {
  CString app(kApp), other(u"MW_OTHER");
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, u"one"), 1);
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, other, u"two"), 1);
  EXPECT_TRUE(HvDbUtils::DeleteObjectXData(m_line, kApp));
  EXPECT_EQ(stored(), std::vector<Item>{});
  EXPECT_EQ(stored(m_line, u"MW_OTHER"), (std::vector<Item>{{1001, u"MW_OTHER"}, {1000, u"two"}}));
  EXPECT_TRUE(HvDbUtils::DeleteObjectXData(m_line, kApp));  // nothing left: still true
  EXPECT_EQ(printed(), u"");

  EXPECT_FALSE(HvDbUtils::DeleteObjectXData(OdDbObjectId::kNull, kApp));
  EXPECT_EQ(printed(), u"\nOpen entity failed");
  kxhost::clearCommandLineText();
  {
    Opened<OdDbObject> held(m_line, OdDb::kForWrite);  // cannot be opened here
    EXPECT_FALSE(HvDbUtils::DeleteObjectXData(m_line, u"MW_OTHER"));
  }
  EXPECT_EQ(printed(), u"\nOpen entity failed");
  EXPECT_EQ(stored(m_line, u"MW_OTHER").size(), 2u);
}

TEST_F(Xdata, DeletingOnAConditionComparesOneValue) {
  const double p[3] = {1, 2, 0};
  resbuf* data = odutBuildList(RTLB, RTSTR, u"Door", RTSHORT, 3, RT3DPOINT, p, RTREAL, 0.5, RTLE, 0);
  struct Case {
    const char* name;
    const OdChar* text;
    resbuf* value;
    bool removed;
  } cases[] = {
      {"text", u"Door", nullptr, true},
      {"text with another case", u"door", nullptr, false},
      {"missing text", u"Window", nullptr, false},
      {"short", nullptr, odutBuildList(RTSHORT, 3, 0), true},
      {"short of another value", nullptr, odutBuildList(RTSHORT, 4, 0), false},
      {"a long of the same value", nullptr, odutBuildList(RTLONG, OdInt32(3), 0), false},
      {"real", nullptr, odutBuildList(RTREAL, 0.5, 0), true},
      {"angle", nullptr, odutBuildList(RTANG, 0.5, 0), true},
      {"2D point", nullptr, odutBuildList(RTPOINT, p, 0), true},
      {"3D point", nullptr, odutBuildList(RT3DPOINT, p, 0), true},
      {"text value", nullptr, odutBuildList(RTSTR, u"Door", 0), true},
      {"list begin", nullptr, odutBuildList(RTLB, 0), false},
      {"no condition", nullptr, nullptr, true},
  };
  for (Case& c : cases) {
    ASSERT_EQ(HvDbUtils::AddXdata(m_ename, kApp, data), 1);
    EXPECT_EQ(HvDbUtils::DeleteObjectXData(m_line, kApp, c.text, c.value), c.removed) << c.name;
    EXPECT_EQ(stored().empty(), c.removed) << c.name;
    odutRelRb(c.value);
  }
  resbuf* both = odutBuildList(RTSHORT, 3, 0);
  ASSERT_EQ(HvDbUtils::AddXdata(m_ename, kApp, data), 1);
  EXPECT_FALSE(HvDbUtils::DeleteObjectXData(m_line, kApp, u"Door", both));
  EXPECT_FALSE(stored().empty());
  EXPECT_FALSE(HvDbUtils::DeleteObjectXData(m_line, nullptr, u"Door", nullptr));
  EXPECT_FALSE(HvDbUtils::DeleteObjectXData(OdDbObjectId::kNull, kApp, u"Door", nullptr));
  EXPECT_TRUE(HvDbUtils::DeleteObjectXData(m_line, u"NONE", u"Door", nullptr));  // no data
  EXPECT_EQ(printed(), u"");

  // A chunked text takes part whole.
  CString app(kApp);
  const std::u16string longText = repeated(u'z', 400);
  ASSERT_EQ(HvDbUtils::SetXdata(m_line, app, longText.c_str()), 1);
  EXPECT_FALSE(HvDbUtils::DeleteObjectXData(m_line, kApp, repeated(u'z', 127).c_str(), nullptr));
  EXPECT_TRUE(HvDbUtils::DeleteObjectXData(m_line, kApp, longText.c_str(), nullptr));
  EXPECT_TRUE(stored().empty());
  odutRelRb(both);
  odutRelRb(data);
}

TEST_F(Xdata, TheDocumentLockOfTheTextWriterIsReleased) {
  {
    Opened<OdDbObject> object(m_line, OdDb::kForWrite);
    EXPECT_EQ(HvDbUtils::SetXdata(object.get(), kApp, u"x"), 1);
    EXPECT_TRUE(object->isWriteEnabled());  // open for write it stays so
  }
  EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0);

  // Without a current document the lock is refused.
  OdDbDatabase own(true);
  kxhost::endSession();
  OdDbLine* line = new OdDbLine(OdGePoint3d(), OdGePoint3d(1, 1, 0));
  EXPECT_EQ(HvDbUtils::SetXdata(line, kApp, u"x", &own), 0);
  delete line;
}

}  // namespace

// The name index of the symbol tables: names of every length and case,
// growth, erasing, renaming and deleting, anonymous names.
#include <string>
#include <vector>

#include "drawingfixture.h"
#include "winsim/text.h"

using namespace dwgsdk_test;

namespace {
OdString text(const std::string& utf8) { return OdString(winsim::fromUtf8(utf8)); }

OdDbObjectId lookUp(OdDbDatabase& db, const OdString& name, bool getErased = false) {
  OdDbLayerTable* layers = nullptr;
  EXPECT_EQ(db.getLayerTable(layers, OdDb::kForRead), eOk);
  OdDbObjectId id;
  (void)layers->getAt(name, id, getErased);
  layers->close();
  return id;
}

template <class F>
void withLayer(const OdDbObjectId& id, F&& f) {
  OdDbLayerTableRecord* r = nullptr;
  ASSERT_EQ(oddbOpenObject(r, id, OdDb::kForWrite, true), eOk);
  f(r);
  r->close();
}

OdString anonymousBlock(OdDbDatabase& db, const OdChar* name) {
  OdDbBlockTable* blocks = nullptr;
  EXPECT_EQ(db.getBlockTable(blocks, OdDb::kForWrite), eOk);
  auto* b = new OdDbBlockTableRecord();
  EXPECT_EQ(b->setName(name), eOk);
  EXPECT_EQ(blocks->add(b), eOk);
  OdString given = b->getName();
  b->close();
  blocks->close();
  return given;
}
}  // namespace

TEST(SymbolIndex, NamesOfEveryLengthAndCaseFindTheirRecord) {
  // Around the eleven characters a slot holds, the word boundaries of four
  // characters, folding beyond ASCII and the characters next to a..z.
  struct Case {
    std::string name, otherCase, nearMiss;
  } cases[] = {
      {"A", "a", "B"},
      {"Abcd", "aBCD", "Abce"},
      {"Layer-1234", "LAYER-1234", "Layer-1235"},
      {"Layer-12345", "layer-12345", "Layer-12346"},
      {"Layer-123456", "LAYER-123456", "Layer-123457"},
      {"Layer-12345X", "layer-12345x", "Layer-12345"},
      {"A-WALL-FULL-EXISTING-DEMOLISHED", "a-wall-full-existing-demolished", "A-WALL-FULL-EXISTING-DEMOLISHEE"},
      {std::string(255, 'q'), std::string(255, 'Q'), std::string(254, 'q') + "r"},
      {"Stra\xc3\x9f"
       "e-\xc3\xa4rger",
       "STRA\xc3\x9f"
       "E-\xc3\x84RGER",
       "Strasse-\xc3\xa4rger"},
      {"\xd1\x81\xd0\xbb\xd0\xbe\xd0\xb9", "\xd0\xa1\xd0\x9b\xd0\x9e\xd0\x99", "\xd1\x81\xd0\xbb\xd0\xbe"},
      {"x{", "X{", "X["},
      {"Tilde~", "TILDE~", "TILDE^"},
      {"Pipes@Z", "pipes@z", "Pipes`Z"},
  };
  OdDbDatabase db;
  std::vector<OdDbObjectId> ids;
  for (const Case& c : cases) ids.push_back(addLayer(db, text(c.name).c_str(), 1));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].name);
    ASSERT_FALSE(ids[i].isNull());
    EXPECT_EQ(lookUp(db, text(cases[i].name)), ids[i]);
    EXPECT_EQ(lookUp(db, text(cases[i].otherCase)), ids[i]);
    OdDbObjectId miss = lookUp(db, text(cases[i].nearMiss));
    EXPECT_NE(miss, ids[i]);
  }
  EXPECT_TRUE(lookUp(db, text("Layer-12345 ")).isNull());
}

TEST(SymbolIndex, LongNamesAlikeInTheirStartAndLengthStayApart) {
  // A slot tells such names apart by a byte of their hash only: the record's
  // own name decides.
  OdDbDatabase db;
  auto name = [](int i) { return text("Shared-start-" + std::to_string(1000 + i)); };
  std::vector<OdDbObjectId> ids;
  for (int i = 0; i < 2000; i += 2) ids.push_back(addLayer(db, name(i).c_str(), 1));
  for (int i = 0; i < 2000; ++i) {
    SCOPED_TRACE(i);
    OdDbObjectId found = lookUp(db, name(i));
    if (i % 2 == 0)
      ASSERT_EQ(found, ids[static_cast<std::size_t>(i / 2)]);
    else
      ASSERT_TRUE(found.isNull());
  }
  EXPECT_TRUE(lookUp(db, text("")).isNull());
}

TEST(SymbolIndex, ManyRecordsStayRightThroughErasingRenamingAndGrowth) {
  OdDbDatabase db;
  const int n = 3000;
  std::vector<OdDbObjectId> ids;
  auto name = [](int i) { return text("Name-" + std::to_string(i)); };
  auto renamed = [](int i) { return text("Renamed-" + std::to_string(i) + "-with-a-longer-tail"); };
  for (int i = 0; i < n; ++i) ids.push_back(addLayer(db, name(i).c_str(), 1));
  for (int i = 0; i < n; ++i) {
    if (i % 3 == 0) withLayer(ids[i], [](OdDbLayerTableRecord* r) { EXPECT_EQ(r->erase(), eOk); });
    if (i % 3 != 0 && i % 5 == 0)
      withLayer(ids[i], [&](OdDbLayerTableRecord* r) { EXPECT_EQ(r->setName(renamed(i)), eOk); });
  }
  // Half of the erased ones come back; the other half see their names taken.
  std::vector<OdDbObjectId> again(n);
  for (int i = 0; i < n; i += 3) {
    if (i % 2 == 0)
      withLayer(ids[i], [](OdDbLayerTableRecord* r) { EXPECT_EQ(r->erase(false), eOk); });
    else
      again[i] = addLayer(db, name(i).c_str(), 2);
  }
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    if (i % 3 == 0 && i % 2 == 0) {
      EXPECT_EQ(lookUp(db, name(i)), ids[i]);
    } else if (i % 3 == 0) {
      EXPECT_EQ(lookUp(db, name(i)), again[i]);
      withLayer(ids[i], [](OdDbLayerTableRecord* r) { EXPECT_EQ(r->erase(false), eDuplicateRecordName); });
    } else if (i % 5 == 0) {
      EXPECT_TRUE(lookUp(db, name(i)).isNull());
      EXPECT_EQ(lookUp(db, renamed(i)), ids[i]);
    } else {
      EXPECT_EQ(lookUp(db, name(i)), ids[i]);
    }
  }
  EXPECT_TRUE(lookUp(db, name(n)).isNull());
}

TEST(SymbolIndex, ANameErasedAndAddedAgainManyTimes) {
  for (const char* base : {"Temp", "Temporary-layer-of-a-long-name"}) {
    SCOPED_TRACE(base);
    OdDbDatabase db;
    OdDbObjectId last;
    for (int round = 0; round < 500; ++round) {
      last = addLayer(db, text(base).c_str(), 1);
      ASSERT_EQ(lookUp(db, text(base)), last);
      withLayer(last, [](OdDbLayerTableRecord* r) { EXPECT_EQ(r->erase(), eOk); });
      ASSERT_TRUE(lookUp(db, text(base)).isNull());
    }
    // The erased records keep the name: the latest answers for them.
    EXPECT_EQ(lookUp(db, text(base), true), last);
    OdDbObjectId live = addLayer(db, text(base).c_str(), 1);
    EXPECT_EQ(lookUp(db, text(base), true), live);
  }
}

TEST(SymbolIndex, ARecordDeletedInTheTableIsNotFoundAndItsNameIsFree) {
  for (const char* base : {"Gone", "Gone-with-a-name-beyond-a-slot"}) {
    SCOPED_TRACE(base);
    OdDbDatabase db;
    OdDbObjectId id = addLayer(db, text(base).c_str(), 1);
    OdDbLayerTableRecord* r = nullptr;
    ASSERT_EQ(oddbOpenObject(r, id, OdDb::kForWrite), eOk);
    r->close();
    delete r;
    EXPECT_TRUE(lookUp(db, text(base)).isNull());
    // Enough records after it for the index to grow past the deleted one.
    for (int i = 0; i < 100; ++i) addLayer(db, text("More-" + std::to_string(i)).c_str(), 1);
    EXPECT_TRUE(lookUp(db, text(base)).isNull());
    OdDbObjectId again = addLayer(db, text(base).c_str(), 1);
    EXPECT_FALSE(again.isNull());
    EXPECT_EQ(lookUp(db, text(base)), again);
  }
}

TEST(SymbolIndex, AnonymousNamesTakeTheSmallestNumberNoRecordHas) {
  OdDbDatabase db;
  EXPECT_EQ(anonymousBlock(db, u"*U"), OdString(u"*U1"));
  EXPECT_EQ(anonymousBlock(db, u"*U"), OdString(u"*U2"));
  EXPECT_EQ(anonymousBlock(db, u"*U"), OdString(u"*U3"));
  OdDbBlockTable* blocks = nullptr;
  ASSERT_EQ(db.getBlockTable(blocks, OdDb::kForRead), eOk);
  OdDbObjectId first = blocks->getAt(u"*u1");
  OdDbObjectId second = blocks->getAt(u"*U2");
  blocks->close();
  OdDbBlockTableRecord* b = nullptr;
  ASSERT_EQ(oddbOpenObject(b, second, OdDb::kForWrite), eOk);
  EXPECT_EQ(b->erase(), eOk);  // an erased block keeps its name taken
  b->close();
  ASSERT_EQ(oddbOpenObject(b, first, OdDb::kForWrite), eOk);
  EXPECT_EQ(b->setName(u"Kept"), eOk);
  b->close();
  EXPECT_EQ(anonymousBlock(db, u"*U"), OdString(u"*U1"));
  // Another spelling of a number is another name; case is not.
  EXPECT_EQ(anonymousBlock(db, u"*U04"), OdString(u"*U04"));
  EXPECT_EQ(anonymousBlock(db, u"*u5"), OdString(u"*u5"));
  EXPECT_EQ(anonymousBlock(db, u"*U"), OdString(u"*U4"));
  EXPECT_EQ(anonymousBlock(db, u"*U"), OdString(u"*U6"));
  EXPECT_EQ(anonymousBlock(db, u"*D"), OdString(u"*D1"));
}

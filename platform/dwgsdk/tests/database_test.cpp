// The database: default contents, header values, handles, ids and enames,
// and the open protocol.
#include "drawingfixture.h"
#include "winsim/text.h"

using namespace dwgsdk_test;

namespace {
OdDbObjectId lookup(OdDbDatabase& db, OdDbObjectId tableId, const OdChar* name) {
  OdDbSymbolTable* table = nullptr;
  EXPECT_EQ(oddbOpenObject(table, tableId, OdDb::kForRead), eOk);
  OdDbObjectId id;
  table->getAt(name, id);
  table->close();
  return id;
}
}  // namespace

TEST(Database, DefaultDrawingHasTheStandardRecords) {
  OdDbDatabase db;
  struct Record {
    OdDbObjectId (OdDbDatabase::*table)() const;
    const OdChar* name;
  } records[] = {
      {&OdDbDatabase::getLayerTableId, u"0"},
      {&OdDbDatabase::getLinetypeTableId, u"BYBLOCK"},
      {&OdDbDatabase::getLinetypeTableId, u"BYLAYER"},
      {&OdDbDatabase::getLinetypeTableId, u"CONTINUOUS"},
      {&OdDbDatabase::getTextStyleTableId, u"STANDARD"},
      {&OdDbDatabase::getDimStyleTableId, u"STANDARD"},
      {&OdDbDatabase::getRegAppTableId, u"ACAD"},
      {&OdDbDatabase::getBlockTableId, u"*Model_Space"},
      {&OdDbDatabase::getBlockTableId, u"*Paper_Space"},
      {&OdDbDatabase::getViewportTableId, u"*Active"},
  };
  for (auto& r : records) EXPECT_FALSE(lookup(db, (db.*r.table)(), r.name).isNull()) << winsim::toUtf8(r.name);
  EXPECT_FALSE(db.getNamedObjectsDictionaryId().isNull());
  EXPECT_FALSE(db.getUCSTableId().isNull());
  EXPECT_FALSE(db.getViewTableId().isNull());
  // Names compare without case.
  EXPECT_EQ(lookup(db, db.getLinetypeTableId(), u"Continuous"), lookup(db, db.getLinetypeTableId(), u"CONTINUOUS"));

  EXPECT_EQ(db.clayer(), lookup(db, db.getLayerTableId(), u"0"));
  EXPECT_EQ(db.celtype(), lookup(db, db.getLinetypeTableId(), u"BYLAYER"));
  EXPECT_EQ(db.textstyle(), lookup(db, db.getTextStyleTableId(), u"STANDARD"));
  EXPECT_EQ(db.dimstyle(), lookup(db, db.getDimStyleTableId(), u"STANDARD"));
  EXPECT_EQ(db.dimtxsty(), db.textstyle());
  EXPECT_TRUE(db.tilemode());
  EXPECT_EQ(db.celtscale(), 1.0);
  EXPECT_EQ(db.lunits(), 2);
  EXPECT_EQ(db.luprec(), 4);

  OdDbViewport* vp = nullptr;
  ASSERT_EQ(oddbOpenObject(vp, db.paperSpaceVportId(), OdDb::kForRead), eOk);
  EXPECT_EQ(vp->number(), 1);
  EXPECT_EQ(vp->ownerId(), lookup(db, db.getBlockTableId(), u"*Paper_Space"));
  vp->close();
}

TEST(Database, WithoutDefaultsItIsEmpty) {
  OdDbDatabase db(false);
  EXPECT_TRUE(db.getBlockTableId().isNull());
  EXPECT_TRUE(db.getNamedObjectsDictionaryId().isNull());
  EXPECT_EQ(db.approxNumObjects(), 0u);
  OdDbBlockTable* t = nullptr;
  EXPECT_EQ(db.getBlockTable(t, OdDb::kForRead), eNullObjectId);
}

TEST(Database, HeaderValuesAreChecked) {
  OdDbDatabase db;
  OdDbDatabase other;
  EXPECT_EQ(db.setCeltscale(0.5), eOk);
  EXPECT_EQ(db.celtscale(), 0.5);
  EXPECT_EQ(db.setCeltscale(-1), eInvalidInput);
  EXPECT_EQ(db.setLunits(7), eInvalidInput);
  EXPECT_EQ(db.setLuprec(3), eOk);
  EXPECT_EQ(db.setTilemode(false), eOk);
  EXPECT_FALSE(db.tilemode());
  OdDbObjectId walls = addLayer(db, u"Walls", 1);
  EXPECT_EQ(db.setClayer(walls), eOk);
  EXPECT_EQ(db.clayer(), walls);
  EXPECT_EQ(db.setClayer(other.clayer()), eWrongDatabase);
  EXPECT_EQ(db.setClayer(db.textstyle()), eNotThatKindOfClass);
  EXPECT_EQ(db.setClayer(OdDbObjectId::kNull), eNullObjectId);
  EXPECT_EQ(db.setDimscale(2.5), eOk);
  EXPECT_EQ(db.dimscale(), 2.5);
  EXPECT_EQ(db.setUcs(OdGePoint3d(1, 2, 3), OdGeVector3d(0, 1, 0), OdGeVector3d(-1, 0, 0)), eOk);
  EXPECT_EQ(db.ucsxdir(), OdGeVector3d(0, 1, 0));
  EXPECT_EQ(db.setUcs(OdGePoint3d(), OdGeVector3d(1, 0, 0), OdGeVector3d(1, 1, 0)), eInvalidInput);
}

TEST(Database, HandlesIdsAndEnames) {
  OdDbDatabase db;
  OdDbObjectId line = append(db, new OdDbLine(OdGePoint3d(), OdGePoint3d(1, 1, 0)));
  OdDbHandle h = line.getHandle();
  ASSERT_FALSE(h.isNull());
  OdChar text[17];
  h.getIntoAsciiBuffer(text);
  OdDbHandle parsed(text);
  EXPECT_EQ(parsed, h);
  OdDbObjectId found;
  EXPECT_EQ(db.getOdDbObjectId(found, false, parsed, 0), eOk);
  EXPECT_EQ(found, line);
  EXPECT_EQ(db.getOdDbObjectId(found, false, OdDbHandle(0xFFFFFF), 0), eUnknownHandle);
  EXPECT_TRUE(found.isNull());
  EXPECT_EQ(line.database(), &db);

  ads_name ename;
  ASSERT_EQ(oddbGetAdsName(ename, line), eOk);
  OdDbObjectId back;
  EXPECT_EQ(oddbGetObjectId(back, ename), eOk);
  EXPECT_EQ(back, line);
  EXPECT_EQ(oddbGetAdsName(ename, OdDbObjectId::kNull), eNullObjectId);
  ads_name garbage = {123456789, 42};
  EXPECT_EQ(oddbGetObjectId(back, garbage), eInvalidInput);
  ads_name stale;
  {
    OdDbDatabase gone;
    oddbGetAdsName(stale, gone.clayer());
  }
  EXPECT_EQ(oddbGetObjectId(back, stale), eInvalidInput);
}

TEST(Database, HandleText) {
  struct Case {
    const OdChar* text;
    OdUInt64 value;
  } cases[] = {{u"1F", 0x1F}, {u"1f", 0x1F}, {u"0", 0},   {u"FFFFFFFFFFFFFFFF", ~0ull},
               {u"", 0},      {u"G1", 0},    {u"12 ", 0}, {u"10000000000000000", 0}};
  for (auto& c : cases) EXPECT_EQ(OdDbHandle(c.text).value(), c.value) << winsim::toUtf8(c.text);
  EXPECT_EQ(OdDbHandle(0xABCull).ascii(), OdString(u"ABC"));
  OdChar small[3];
  OdDbHandle(0x12345).getIntoAsciiBuffer(small, 3);
  EXPECT_EQ(OdString(small), OdString(u"12"));
}

TEST(OpenProtocol, ModesExcludeEachOtherAsTheyShould) {
  OdDbDatabase db;
  OdDbObjectId id = append(db, new OdDbLine());
  OdDbObject* reader1 = nullptr;
  OdDbObject* reader2 = nullptr;
  OdDbObject* writer = nullptr;
  ASSERT_EQ(oddbOpenObject(reader1, id, OdDb::kForRead), eOk);
  ASSERT_EQ(oddbOpenObject(reader2, id, OdDb::kForRead), eOk);
  EXPECT_EQ(oddbOpenObject(writer, id, OdDb::kForWrite), eWasOpenForRead);
  EXPECT_EQ(writer, nullptr);
  EXPECT_EQ(reader1->upgradeOpen(), eHadMultipleReaders);
  EXPECT_EQ(reader2->close(), eOk);
  EXPECT_EQ(reader1->upgradeOpen(), eOk);
  EXPECT_EQ(reader1->upgradeOpen(), eWasOpenForWrite);  // 91: already open for write
  EXPECT_EQ(eWasOpenForWrite, 91);
  EXPECT_EQ(oddbOpenObject(reader2, id, OdDb::kForRead), eWasOpenForWrite);
  EXPECT_EQ(oddbOpenObject(writer, id, OdDb::kForWrite), eWasOpenForWrite);
  EXPECT_EQ(reader1->downgradeOpen(), eOk);
  EXPECT_EQ(reader1->downgradeOpen(), eWasNotOpenForWrite);
  // A closed object refuses changes; its data stays readable.
  EXPECT_EQ(reader1->close(), eOk);
  auto* line = static_cast<OdDbLine*>(reader1);
  EXPECT_EQ(line->setStartPoint(OdGePoint3d(5, 5, 5)), eNotOpenForWrite);
  EXPECT_EQ(line->startPoint(), OdGePoint3d());
  EXPECT_EQ(line->close(), eInvalidOpenState);
  OdDbObject* notify = nullptr;
  EXPECT_EQ(oddbOpenObject(notify, id, OdDb::kForNotify), eOk);
  EXPECT_EQ(notify->close(), eOk);
}

TEST(OpenProtocol, ErasedObjectsOpenOnlyOnRequest) {
  OdDbDatabase db;
  OdDbObjectId id = append(db, new OdDbCircle(OdGePoint3d(), OdGeVector3d::kZAxis, 1));
  OdDbObject* o = nullptr;
  ASSERT_EQ(oddbOpenObject(o, id, OdDb::kForWrite), eOk);
  EXPECT_EQ(o->erase(), eOk);
  EXPECT_EQ(o->erase(), eWasErased);
  o->close();
  EXPECT_TRUE(id.isErased());
  EXPECT_EQ(oddbOpenObject(o, id, OdDb::kForRead), eWasErased);
  ASSERT_EQ(oddbOpenObject(o, id, OdDb::kForWrite, true), eOk);
  EXPECT_EQ(o->erase(false), eOk);
  o->close();
  EXPECT_FALSE(id.isErased());
}

TEST(OpenProtocol, TypedOpenAndNullIds) {
  OdDbDatabase db;
  OdDbObjectId id = append(db, new OdDbLine());
  OdDbCircle* circle = nullptr;
  EXPECT_EQ(oddbOpenObject(circle, id, OdDb::kForRead), eNotThatKindOfClass);
  EXPECT_EQ(circle, nullptr);
  OdDbLine* line = nullptr;
  EXPECT_EQ(oddbOpenObject(line, id, OdDb::kForRead), eOk);  // the failed typed open closed again
  line->close();
  OdDbObject* o = nullptr;
  EXPECT_EQ(oddbOpenObject(o, OdDbObjectId::kNull, OdDb::kForRead), eNullObjectId);
  EXPECT_EQ(eNullObjectId, 21);
  EXPECT_EQ(eNotThatKindOfClass, 63);
  EXPECT_EQ(eKeyNotFound, 26);
  EXPECT_EQ(eAmbiguousOutput, 5);
  EXPECT_EQ(OdString(odResultText(eKeyNotFound)), OdString(u"eKeyNotFound"));
  EXPECT_EQ(OdString(odResultText(static_cast<OdResult>(9999))), OdString(u"eUnknownResult"));
}

TEST(OpenProtocol, ProtectedObjectsAreNotErased) {
  OdDbDatabase db;
  OdDbObject* o = nullptr;
  for (OdDbObjectId id :
       {db.clayer(), db.getLayerTableId(), db.getNamedObjectsDictionaryId(), db.paperSpaceVportId()}) {
    ASSERT_EQ(oddbOpenObject(o, id, OdDb::kForWrite), eOk);
    EXPECT_EQ(o->erase(), eNotApplicable);
    o->close();
  }
}

TEST(OpenProtocol, DeletingAnObjectOfTheDatabaseLeavesItsIdDead) {
  OdDbDatabase db;
  OdDbObjectId id = append(db, new OdDbLine());
  OdDbObject* o = nullptr;
  ASSERT_EQ(oddbOpenObject(o, id, OdDb::kForWrite), eOk);
  delete o;  // a fault of the caller's: the database must not follow a freed object
  EXPECT_FALSE(id.isValid());
  EXPECT_EQ(oddbOpenObject(o, id, OdDb::kForRead), eUnknownHandle);
}

// Symbol tables and their records.
#include "drawingfixture.h"
#include "winsim/text.h"

using namespace dwgsdk_test;

static OdDbObjectId lookupContinuous(OdDbDatabase& db) {
  OdDbLinetypeTable* t = nullptr;
  db.getLinetypeTable(t, OdDb::kForRead);
  OdDbObjectId id = t->getAt(u"CONTINUOUS");
  t->close();
  return id;
}

TEST(SymbolTable, AddLookUpAndIterateInOrder) {
  OdDbDatabase db;
  OdDbLayerTable* layers = nullptr;
  ASSERT_EQ(db.getLayerTable(layers, OdDb::kForRead), eOk);
  auto* layer = new OdDbLayerTableRecord();
  layer->setName(u"Walls");
  EXPECT_EQ(layers->add(layer), eNotOpenForWrite);
  ASSERT_EQ(layers->upgradeOpen(), eOk);
  OdDbObjectId id;
  ASSERT_EQ(layers->add(id, layer), eOk);
  EXPECT_TRUE(layer->isWriteEnabled());  // a new record stays open for write
  layer->close();
  EXPECT_TRUE(layers->has(u"WALLS"));
  EXPECT_TRUE(layers->has(id));
  auto* twin = new OdDbLayerTableRecord();
  twin->setName(u"walls");
  EXPECT_EQ(layers->add(twin), eDuplicateRecordName);
  OdDbTextStyleTableRecord style;
  EXPECT_EQ(layers->add(&style), eWrongObjectType);
  auto* bad = new OdDbLayerTableRecord();
  EXPECT_EQ(bad->setName(u"a<b"), eInvalidSymbolTableName);
  EXPECT_EQ(bad->setName(u""), eInvalidSymbolTableName);
  EXPECT_EQ(bad->setName(u"*star"), eInvalidSymbolTableName);
  delete bad;
  delete twin;

  OdDbSymbolTableIterator* it = nullptr;
  layers->newIterator(it);
  std::vector<OdString> names;
  for (; !it->done(); it->step()) {
    OdDbSymbolTableRecord* r = nullptr;
    ASSERT_EQ(it->getRecord(r), eOk);
    names.push_back(r->getName());
    r->close();
  }
  delete it;
  EXPECT_EQ(names, (std::vector<OdString>{u"0", u"Walls"}));
  layers->close();
}

TEST(SymbolTable, ErasedRecordsAreSkippedAndTheirNamesFree) {
  OdDbDatabase db;
  OdDbObjectId walls = addLayer(db, u"Walls", 2);
  OdDbLayerTableRecord* r = nullptr;
  ASSERT_EQ(oddbOpenObject(r, walls, OdDb::kForWrite), eOk);
  ASSERT_EQ(r->erase(), eOk);
  r->close();
  OdDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, OdDb::kForRead);
  OdDbObjectId id;
  EXPECT_EQ(layers->getAt(u"Walls", id), eKeyNotFound);
  EXPECT_FALSE(layers->has(u"Walls"));
  EXPECT_EQ(layers->getAt(u"Walls", id, true), eOk);
  EXPECT_EQ(id, walls);
  layers->close();
  OdDbObjectId again = addLayer(db, u"Walls", 3);
  EXPECT_NE(again, walls);
  // The old record cannot come back under a name now taken.
  ASSERT_EQ(oddbOpenObject(r, walls, OdDb::kForWrite, true), eOk);
  EXPECT_EQ(r->erase(false), eDuplicateRecordName);
  r->close();
}

TEST(SymbolTable, RenameKeepsTheIndexRight) {
  OdDbDatabase db;
  OdDbObjectId id = addLayer(db, u"Old", 1);
  OdDbLayerTableRecord* r = nullptr;
  oddbOpenObject(r, id, OdDb::kForWrite);
  EXPECT_EQ(r->setName(u"New"), eOk);
  EXPECT_EQ(r->setName(u"0"), eDuplicateRecordName);
  r->close();
  OdDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, OdDb::kForRead);
  EXPECT_FALSE(layers->has(u"Old"));
  EXPECT_EQ(layers->getAt(u"new"), id);
  layers->close();
  OdDbLayerTableRecord* zero = nullptr;
  oddbOpenObject(zero, db.clayer(), OdDb::kForWrite);
  EXPECT_EQ(zero->setName(u"Zero"), eNotApplicable);  // layer 0 keeps its name
  zero->close();
}

TEST(SymbolTable, AnonymousBlocksGetNamesOfTheirOwn) {
  OdDbDatabase db;
  OdDbBlockTable* blocks = nullptr;
  db.getBlockTable(blocks, OdDb::kForWrite);
  std::vector<OdString> names;
  for (int i = 0; i < 2; ++i) {
    auto* b = new OdDbBlockTableRecord();
    ASSERT_EQ(b->setPathName(u"*U"), eOk);
    ASSERT_EQ(b->setName(u"*U"), eOk);
    OdDbObjectId id;
    ASSERT_EQ(blocks->add(id, b), eOk);
    names.push_back(b->getName());
    EXPECT_TRUE(b->isAnonymous());
    EXPECT_FALSE(b->isLayout());
    EXPECT_EQ(b->pathName(), OdString(u"*U"));
    EXPECT_FALSE(b->isFromExternalReference());
    b->close();
  }
  EXPECT_NE(names[0], names[1]);
  EXPECT_EQ(names[0].left(2), OdString(u"*U"));
  blocks->close();
}

TEST(SymbolTable, LayerPropertiesAndLinetypes) {
  OdDbDatabase db;
  OdDbObjectId id = addLayer(db, u"Hidden", 5);
  OdDbLayerTableRecord* r = nullptr;
  oddbOpenObject(r, id, OdDb::kForWrite);
  EXPECT_EQ(r->setIsOff(true), eOk);
  EXPECT_EQ(r->setIsFrozen(true), eOk);
  EXPECT_EQ(r->setIsLocked(true), eOk);
  EXPECT_EQ(r->setVPDFLT(true), eOk);
  EXPECT_EQ(r->setColorIndex(0), eInvalidInput);
  EXPECT_EQ(r->setColorIndex(256), eInvalidInput);
  EXPECT_EQ(r->setLinetypeObjectId(db.clayer()), eNotThatKindOfClass);
  OdDbDatabase other;
  EXPECT_EQ(r->setLinetypeObjectId(other.celtype()), eWrongDatabase);
  EXPECT_EQ(r->linetypeObjectId(), lookupContinuous(db));
  r->close();
  EXPECT_TRUE(r->isOff() && r->isFrozen() && r->isLocked() && r->VPDFLT());
  EXPECT_EQ(r->colorIndex(), 5);
}

TEST(SymbolTable, LookupByNameTakesConstantTime) {
  // 30,000 layers: a lookup is a hash probe, so this stays quick (the
  // benchmark measures it; here it must merely be right).
  OdDbDatabase db;
  OdDbLayerTable* layers = nullptr;
  db.getLayerTable(layers, OdDb::kForWrite);
  for (int i = 0; i < 30000; ++i) {
    auto* r = new OdDbLayerTableRecord();
    r->setName(OdString(winsim::fromUtf8("L" + std::to_string(i))));
    ASSERT_EQ(layers->add(r), eOk);
    r->close();
  }
  EXPECT_TRUE(layers->has(u"L29999"));
  EXPECT_TRUE(layers->has(u"l15000"));
  EXPECT_FALSE(layers->has(u"L30000"));
  layers->close();
}

TEST(SymbolTable, RecordsOfEveryKindKeepTheirFields) {
  OdDbDatabase db;
  OdDbTextStyleTableRecord style;
  EXPECT_EQ(style.setFileName(u"romans.shx"), eOk);
  EXPECT_EQ(style.setXScale(0), eInvalidInput);
  EXPECT_EQ(style.setTextSize(-1), eInvalidInput);
  EXPECT_EQ(style.setObliquingAngle(0.25), eOk);
  OdDbDimStyleTableRecord dim;
  EXPECT_EQ(dim.dimscale(), 1.0);
  EXPECT_EQ(dim.setDimtad(1), eOk);
  EXPECT_EQ(dim.setDimtxsty(db.textstyle()), eOk);
  EXPECT_EQ(dim.setDimtxsty(db.clayer()), eNotThatKindOfClass);
  EXPECT_EQ(dim.setDimaltf(std::nan("")), eInvalidInput);
  OdDbViewTableRecord view;
  EXPECT_EQ(view.setViewDirection(OdGeVector3d()), eInvalidInput);
  EXPECT_EQ(view.setCenterPoint(OdGePoint2d(1, 2)), eOk);
  EXPECT_EQ(view.centerPoint(), OdGePoint2d(1, 2));
  OdDbUCSTableRecord ucs;
  EXPECT_EQ(ucs.setXAxis(OdGeVector3d(0, 1, 0)), eOk);
  EXPECT_EQ(ucs.xAxis(), OdGeVector3d(0, 1, 0));
}

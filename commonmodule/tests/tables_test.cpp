// Symbol tables and spaces: tables by record class, names and ids, the
// current space, appending entities and anonymous blocks.
#include <gtest/gtest.h>

#include "DbViewport.h"
#include "HvDbUtilsTables.h"
#include "entityfixture.h"
#include "kxed.h"
#include "tables/openobjectas.h"
#include "winsim/text.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

std::u16string arxError(OdResult result) { return std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(result); }

class Tables : public DrawingTest {};

TEST_F(Tables, EachRecordClassOpensItsOwnTable) {
  struct Case {
    OdRxClass* recordClass;
    OdDbObjectId table;
  } cases[] = {
      {OdDbBlockTableRecord::desc(), db()->getBlockTableId()},
      {OdDbDimStyleTableRecord::desc(), db()->getDimStyleTableId()},
      {OdDbLayerTableRecord::desc(), db()->getLayerTableId()},
      {OdDbLinetypeTableRecord::desc(), db()->getLinetypeTableId()},
      {OdDbTextStyleTableRecord::desc(), db()->getTextStyleTableId()},
      {OdDbRegAppTableRecord::desc(), db()->getRegAppTableId()},
      {OdDbUCSTableRecord::desc(), db()->getUCSTableId()},
      {OdDbViewTableRecord::desc(), db()->getViewTableId()},
      {OdDbViewportTableRecord::desc(), db()->getViewportTableId()},
  };
  for (const Case& c : cases) {
    OdDbSymbolTable* table = HvDbUtils::OpenSymbolTable(c.recordClass, OdDb::kForWrite, nullptr);
    ASSERT_NE(table, nullptr) << winsim::toUtf8(c.recordClass->name().str());
    EXPECT_EQ(table->objectId(), c.table);
    EXPECT_TRUE(table->isWriteEnabled());
    EXPECT_EQ(table->close(), eOk);
  }
  EXPECT_EQ(printed(), u"");
}

TEST_F(Tables, AClassOutsideTheTableOfKindsIsReportedAsResultFive) {
  // Base and entity classes name no table: the descriptor must match exactly.
  for (OdRxClass* recordClass :
       {OdDbLine::desc(), OdDbSymbolTableRecord::desc(), OdDbAbstractViewTableRecord::desc(), OdDbObject::desc()}) {
    kxhost::clearCommandLineText();
    EXPECT_EQ(HvDbUtils::OpenSymbolTable(recordClass, OdDb::kForRead), nullptr);
    EXPECT_EQ(printed(), arxError(eAmbiguousOutput)) << winsim::toUtf8(recordClass->name().str());
  }
}

TEST_F(Tables, ATableThatCannotBeOpenedIsReportedWithItsStatus) {
  Opened<OdDbLayerTable> held(db()->getLayerTableId(), OdDb::kForWrite);
  ASSERT_EQ(held.result(), eOk);
  EXPECT_EQ(HvDbUtils::OpenSymbolTable(OdDbLayerTableRecord::desc(), OdDb::kForRead), nullptr);
  EXPECT_EQ(printed(), arxError(eWasOpenForWrite));
  EXPECT_FALSE(HvDbUtils::SymbolExists(OdDbLayerTableRecord::desc(), u"0"));
  OdDbObjectId id = db()->getLayerTableId();
  EXPECT_EQ(HvDbUtils::NameToSymbolId(OdDbLayerTableRecord::desc(), u"0", id), eAmbiguousOutput);
  EXPECT_TRUE(id.isNull());
}

TEST_F(Tables, AGivenDatabaseIsUsedRatherThanTheWorkingOne) {
  OdDbDatabase other;
  OdDbSymbolTable* table = HvDbUtils::OpenSymbolTable(OdDbLayerTableRecord::desc(), OdDb::kForRead, &other);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->database(), &other);
  table->close();
  addLayer(u"ONLY_HERE", false);
  EXPECT_TRUE(HvDbUtils::SymbolExists(OdDbLayerTableRecord::desc(), u"ONLY_HERE"));
  EXPECT_FALSE(HvDbUtils::SymbolExists(OdDbLayerTableRecord::desc(), u"ONLY_HERE", &other));
}

TEST_F(Tables, NamesAndIdsOfRecords) {
  const OdDbObjectId walls = addLayer(u"Walls", false);
  EXPECT_TRUE(HvDbUtils::SymbolExists(OdDbLayerTableRecord::desc(), u"WALLS"));  // names have no case
  EXPECT_FALSE(HvDbUtils::SymbolExists(OdDbLayerTableRecord::desc(), u"Doors"));
  EXPECT_FALSE(HvDbUtils::SymbolExists(OdDbTextStyleTableRecord::desc(), u"Walls"));

  OdDbObjectId id;
  EXPECT_EQ(HvDbUtils::NameToSymbolId(OdDbLayerTableRecord::desc(), u"walls", id), eOk);
  EXPECT_EQ(id, walls);
  EXPECT_EQ(HvDbUtils::NameToSymbolId(OdDbLayerTableRecord::desc(), u"Doors", id), eKeyNotFound);
  EXPECT_TRUE(id.isNull());

  CString name;
  EXPECT_EQ(HvDbUtils::SymbolIdToName(walls, name), eOk);
  EXPECT_EQ(name, u"Walls");
  EXPECT_EQ(HvDbUtils::SymbolIdToName(HvDbUtils::GetModelSpaceId(), name), eOk);
  EXPECT_EQ(name, u"*Model_Space");
  EXPECT_EQ(printed(), u"");
}

TEST_F(Tables, ErasedRecordsAreNotFoundByName) {
  const OdDbObjectId gone = addLayer(u"Gone", false);
  {
    Opened<OdDbLayerTableRecord> layer(gone, OdDb::kForWrite);
    ASSERT_EQ(layer->erase(), eOk);
  }
  EXPECT_FALSE(HvDbUtils::SymbolExists(OdDbLayerTableRecord::desc(), u"Gone"));
  OdDbObjectId id;
  EXPECT_EQ(HvDbUtils::NameToSymbolId(OdDbLayerTableRecord::desc(), u"Gone", id), eKeyNotFound);
}

TEST_F(Tables, TheNameOfTheNullIdAndOfAnEntity) {
  CString name = u"unchanged";
  EXPECT_EQ(HvDbUtils::SymbolIdToName(OdDbObjectId::kNull, name), eNullObjectId);
  EXPECT_EQ(name, u"AcDbObjectId::kNull");
  EXPECT_EQ(printed(), u"");

  name = u"unchanged";
  const OdDbObjectId line = addLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 1, 0));
  EXPECT_EQ(HvDbUtils::SymbolIdToName(line, name), eAmbiguousOutput);
  EXPECT_EQ(printed(), arxError(eNotThatKindOfClass));
  EXPECT_EQ(name, u"unchanged");
  Opened<OdDbLine> closed(line, OdDb::kForWrite);  // the failed open closed the line again
  EXPECT_EQ(closed.result(), eOk);
}

TEST_F(Tables, TheTypedOpen) {
  const OdDbObjectId line = addLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 1, 0));
  OdDbObject* object = reinterpret_cast<OdDbObject*>(1);
  EXPECT_EQ(HvDbUtils::OpenObjectAs(object, OdDbObjectId::kNull, OdDb::kForRead, OdDbLine::desc()), eNullObjectId);
  EXPECT_EQ(object, nullptr);

  // A derived class is accepted, the object is handed over open.
  ASSERT_EQ(HvDbUtils::OpenObjectAs(object, line, OdDb::kForWrite, OdDbCurve::desc()), eOk);
  EXPECT_TRUE(object->isWriteEnabled());
  OdDbObject* again = nullptr;
  EXPECT_EQ(HvDbUtils::OpenObjectAs(again, line, OdDb::kForRead, OdDbLine::desc()), eWasOpenForWrite);
  EXPECT_EQ(again, nullptr);
  object->close();

  OdDbText* text = nullptr;
  EXPECT_EQ(HvDbUtils::OpenObjectAs(text, line, OdDb::kForRead), eNotThatKindOfClass);
  EXPECT_EQ(text, nullptr);
  Opened<OdDbLine> closed(line, OdDb::kForWrite);
  EXPECT_EQ(closed.result(), eOk);
}

TEST_F(Tables, TheSpacesByName) {
  OdDbBlockTable* blocks = nullptr;
  ASSERT_EQ(db()->getBlockTable(blocks, OdDb::kForRead), eOk);
  const OdDbObjectId model = blocks->getAt(u"*Model_Space");
  const OdDbObjectId paper = blocks->getAt(u"*Paper_Space");
  blocks->close();
  EXPECT_FALSE(model.isNull());
  EXPECT_FALSE(paper.isNull());
  EXPECT_EQ(HvDbUtils::GetModelSpaceId(), model);
  EXPECT_EQ(HvDbUtils::GetPaperSpaceId(), paper);

  OdDbDatabase empty(false);  // no tables at all
  EXPECT_TRUE(HvDbUtils::GetModelSpaceId(&empty).isNull());
  EXPECT_TRUE(HvDbUtils::GetPaperSpaceId(&empty).isNull());
}

TEST_F(Tables, AppendingAnEntity) {
  auto* line = new OdDbLine(OdGePoint3d(0, 0, 0), OdGePoint3d(3, 4, 0));
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::AppendEntity(line, id, u"*Model_Space"));
  EXPECT_FALSE(id.isNull());
  EXPECT_EQ(line->objectId(), id);
  EXPECT_FALSE(line->isReadEnabled());  // closed: it is the database's now
  Opened<OdDbLine> appended(id, OdDb::kForWrite);
  ASSERT_EQ(appended.result(), eOk);
  EXPECT_EQ(appended->blockId(), HvDbUtils::GetModelSpaceId());
  EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0);  // the append's lock is gone
}

TEST_F(Tables, AFailedAppendLeavesTheEntityWithTheCaller) {
  OdDbObjectId id = HvDbUtils::GetModelSpaceId();
  EXPECT_FALSE(HvDbUtils::AppendEntity(nullptr, id, u"*Model_Space"));
  EXPECT_TRUE(id.isNull());

  OdDbLine line(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 0, 0));
  id = HvDbUtils::GetModelSpaceId();
  EXPECT_FALSE(HvDbUtils::AppendEntity(&line, id, u"NoSuchBlock"));
  EXPECT_TRUE(id.isNull());
  EXPECT_EQ(line.database(), nullptr);
  EXPECT_TRUE(line.layerId().isNull());  // unchanged: the database never saw it

  // A block that is open elsewhere cannot take the entity either.
  Opened<OdDbBlockTableRecord> busy(HvDbUtils::GetModelSpaceId(), OdDb::kForWrite);
  EXPECT_FALSE(HvDbUtils::AddToModelSpace(&line, id));
  EXPECT_EQ(line.database(), nullptr);
  EXPECT_EQ(kxDocManagerPtr()->curDocument()->lockCount(), 0);
  EXPECT_EQ(printed(), u"");  // the append functions print nothing
}

TEST_F(Tables, TheCallersOwnLockIsKept) {
  KxApDocument* document = kxDocManagerPtr()->curDocument();
  ASSERT_EQ(kxDocManagerPtr()->lockDocument(document, KxAp::kWrite, nullptr, nullptr, false), eOk);
  EXPECT_TRUE(HvDbUtils::AddToModelSpace(new OdDbLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 0, 0))));
  EXPECT_EQ(document->lockCount(), 1);
  kxDocManagerPtr()->unlockDocument(document);
}

TEST_F(Tables, ADatabaseOfNoDocumentStillTakesEntities) {
  // The host refuses to lock a database it has no document for; the append goes on.
  OdDbDatabase own;
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::AddToPaperSpace(new OdDbCircle(OdGePoint3d(1, 1, 0), OdGeVector3d::kZAxis, 2), id, &own));
  EXPECT_EQ(id.database(), &own);
  Opened<OdDbCircle> circle(id, OdDb::kForRead);
  EXPECT_EQ(circle->blockId(), HvDbUtils::GetPaperSpaceId(&own));
}

TEST_F(Tables, WithoutADrawingNothingIsAppended) {
  kxhost::endSession();
  OdDbLine line;
  OdDbObjectId id;
  EXPECT_FALSE(HvDbUtils::AddToCurrentSpace(&line, id));
  EXPECT_FALSE(HvDbUtils::IsPaperSpace());
  EXPECT_TRUE(HvDbUtils::GetModelSpaceId().isNull());
  EXPECT_EQ(HvDbUtils::OpenSymbolTable(OdDbLayerTableRecord::desc(), OdDb::kForRead), nullptr);
  EXPECT_EQ(printed(), arxError(eNoDatabase));
}

// The current space follows TILEMODE and the host's current viewport: paper
// space only while the layout's own viewport is current.
TEST_F(Tables, TheCurrentSpace) {
  auto* viewport = new OdDbViewport();
  viewport->setCenterPoint(OdGePoint3d(5, 5, 0));
  viewport->setWidth(8);
  viewport->setHeight(6);
  append(viewport, u"*Paper_Space");

  struct Case {
    const char16_t* input;
    bool paper;
  } cases[] = {
      {u"SETVAR TILEMODE 1\n", false},
      {u"SETVAR TILEMODE 0\nPSPACE\n", true},
      {u"MSPACE\n", false},  // a model-space viewport active in the layout
      {u"PSPACE\n", true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(kxhost::runCommandInput(c.input)) << winsim::toUtf8(c.input);
    EXPECT_EQ(HvDbUtils::IsPaperSpace(), c.paper) << winsim::toUtf8(c.input);
    OdDbObjectId id;
    ASSERT_TRUE(HvDbUtils::AddToCurrentSpace(new OdDbPoint(OdGePoint3d(1, 2, 0)), id));
    Opened<OdDbPoint> point(id, OdDb::kForRead);
    EXPECT_EQ(point->blockId(), c.paper ? HvDbUtils::GetPaperSpaceId() : HvDbUtils::GetModelSpaceId())
        << winsim::toUtf8(c.input);
  }
}

TEST_F(Tables, NewAnonymousBlocksAreDistinct) {
  OdDbObjectId first = HvDbUtils::GetModelSpaceId();
  OdDbObjectId second;
  ASSERT_EQ(HvDbUtils::DefineNewAnonymousBlock(first), eOk);
  ASSERT_EQ(HvDbUtils::DefineNewAnonymousBlock(second), eOk);
  EXPECT_NE(first, second);
  for (const OdDbObjectId& id : {first, second}) {
    Opened<OdDbBlockTableRecord> block(id, OdDb::kForWrite);  // closed again by the function
    ASSERT_EQ(block.result(), eOk);
    EXPECT_TRUE(block->isAnonymous());
    EXPECT_EQ(block->getName().left(2), OdString(u"*U"));
    EXPECT_EQ(block->pathName(), OdString(u"*U"));
  }
}

TEST_F(Tables, ABlockTableThatCannotBeWrittenGivesItsCode) {
  OdDbObjectId id = HvDbUtils::GetModelSpaceId();
  Opened<OdDbBlockTable> busy(db()->getBlockTableId(), OdDb::kForWrite);
  EXPECT_EQ(HvDbUtils::DefineNewAnonymousBlock(id), eWasOpenForWrite);
  EXPECT_TRUE(id.isNull());
}

TEST_F(Tables, MakingTheBlockOfAReferenceAnonymous) {
  const OdDbObjectId door = addBlock(u"door");
  append(new OdDbLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 2, 0)), u"door");
  const OdDbObjectId reference = addReference(door, OdGePoint3d(5, 5, 0));

  // Given the definition itself rather than a reference: nothing changes.
  EXPECT_EQ(HvDbUtils::SetAnonymousBlock(door), eNullObjectId);
  EXPECT_TRUE(HvDbUtils::SymbolExists(OdDbBlockTableRecord::desc(), u"door"));

  EXPECT_EQ(HvDbUtils::SetAnonymousBlock(reference), eOk);
  EXPECT_FALSE(HvDbUtils::SymbolExists(OdDbBlockTableRecord::desc(), u"door"));
  Opened<OdDbBlockTableRecord> block(door, OdDb::kForWrite);
  ASSERT_EQ(block.result(), eOk);
  EXPECT_TRUE(block->isAnonymous());
  EXPECT_EQ(block->pathName(), OdString(u"*U"));
}

}  // namespace

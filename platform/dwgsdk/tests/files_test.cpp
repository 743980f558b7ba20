// Files of the simulated machine, linetype files and inserting a drawing as a block.
#include "drawingfixture.h"
#include "dxfhelpers.h"
#include "testing/tempmachine.h"

using namespace dwgsdk_test;

TEST(Files, PathsAreWindowsPathsOfTheMachine) {
  winsim::testing::TempMachine machine;
  OdDbDatabase db;
  append(db, new OdDbLine(OdGePoint3d(), OdGePoint3d(1, 1, 0)));
  ASSERT_EQ(db.writeFile(u"C:\\plan.dxf"), eOk);
  EXPECT_TRUE(std::filesystem::exists(machine.host(u"C:\\plan.dxf")));
  OdDbDatabase back(false);
  EXPECT_EQ(back.readFile(u"c:\\PLAN.DXF"), eOk);                // found without regard to case, as Windows does
  EXPECT_EQ(back.readFile(u"Q:\\nowhere.dxf"), eNotApplicable);  // it holds a drawing now
  OdDbDatabase other(false);
  EXPECT_EQ(other.readFile(u"Q:\\nowhere.dxf"), eFileNotFound);
}

TEST(Files, AFailedWriteKeepsTheOldFile) {
  TempFolder folder;
  auto path = folder / "keep.dxf";
  writeText(path, "old");
  OdDbDatabase db;
  // A folder where the temporary file would go makes the write fail early.
  std::filesystem::create_directory(folder / "keep.dxf.dxf-writing");
  EXPECT_NE(db.writeFile(odPath(path)), eOk);
  EXPECT_EQ(readText(path), "old");
}

TEST(Linetypes, ShippedMetricFileLoads) {
  OdDbDatabase db;
  ASSERT_EQ(db.loadLineTypeFile(u"DASH_DOT", u"acadiso.lin"), eOk);
  OdDbLinetypeTable* table = nullptr;
  db.getLinetypeTable(table, OdDb::kForRead);
  OdDbLinetypeTableRecord* lt = nullptr;
  ASSERT_EQ(table->getAt(u"dash_dot", lt, OdDb::kForRead), eOk);
  EXPECT_EQ(lt->numDashes(), 4);
  EXPECT_EQ(lt->dashLengthAt(0), 10);
  EXPECT_EQ(lt->dashLengthAt(1), -2.5);
  EXPECT_EQ(lt->patternLength(), 15);
  lt->close();
  EXPECT_EQ(db.loadLineTypeFile(u"DASH_DOT", u"acadiso.lin"), eDuplicateRecordName);
  EXPECT_EQ(db.loadLineTypeFile(u"DASH_DOT", u"acadiso.lin", OdDb::kDltIgnore), eOk);
  EXPECT_EQ(db.loadLineTypeFile(u"NO_SUCH", u"acadiso.lin"), eUndefinedLineType);
  EXPECT_EQ(db.loadLineTypeFile(u"DASH", u"missing.lin"), eFileNotFound);
  // The table may be open for read while a linetype is loaded into it.
  EXPECT_EQ(db.loadLineTypeFile(u"*", u"acadiso.lin"), eOk);
  EXPECT_TRUE(table->has(u"GAS_LINE"));
  table->close();
  OdDbLinetypeTableRecord* gas = nullptr;
  db.getLinetypeTable(table, OdDb::kForRead);
  ASSERT_EQ(table->getAt(u"GAS_LINE", gas, OdDb::kForRead), eOk);
  table->close();
  EXPECT_EQ(gas->textAt(1), OdString(u"G"));
  EXPECT_EQ(gas->shapeStyleAt(1), db.textstyle());
  gas->close();
}

TEST(Linetypes, BadDefinitionsFailOnlyWhenAskedFor) {
  TempFolder folder;
  auto path = folder / "mixed.lin";
  writeText(
      path,
      ";; a test "
      "file\n*GOOD,fine\nA,1,-1\n*BAD,broken\nA,1,x\n*NOPATTERN,none\n*SHAPES,shape\nA,1,[BOX,ltypeshp.shx,S=1],-1\n"
      "*TOOMANY,long\nA" +
          [] {
            std::string s;
            for (int i = 0; i < 100; ++i) s += ",1";
            return s;
          }() +
          "\n");
  OdDbDatabase db;
  EXPECT_EQ(db.loadLineTypeFile(u"BAD", odPath(path)), eBadLinetypeFile);
  EXPECT_EQ(db.loadLineTypeFile(u"NOPATTERN", odPath(path)), eBadLinetypeFile);
  EXPECT_EQ(db.loadLineTypeFile(u"TOOMANY", odPath(path)), eBadLinetypeFile);
  EXPECT_EQ(db.loadLineTypeFile(u"SHAPES", odPath(path)), eNotImplementedYet);
  EXPECT_EQ(db.loadLineTypeFile(u"*", odPath(path)), eOk);
  OdDbLinetypeTable* table = nullptr;
  db.getLinetypeTable(table, OdDb::kForRead);
  EXPECT_TRUE(table->has(u"GOOD"));
  EXPECT_FALSE(table->has(u"BAD"));
  table->close();
}

TEST(Insert, ADrawingBecomesABlockWithWhatItUses) {
  OdDbDatabase source;
  buildEveryKind(source);
  OdDbDatabase target;
  OdDbObjectId blockId;
  ASSERT_EQ(target.insert(blockId, u"Everything", &source), eOk);
  EXPECT_EQ(target.insert(blockId, u"Everything", &source), eDuplicateRecordName);
  EXPECT_EQ(target.insert(blockId, u"Self", &target), eSelfReference);
  ASSERT_EQ(target.insert(blockId, u"Everything2", &source), eOk);
  OdDbBlockTableRecord* block = nullptr;
  ASSERT_EQ(oddbOpenObject(block, blockId, OdDb::kForRead), eOk);
  int count = 0;
  OdDbBlockTableRecordIterator* it = nullptr;
  block->newIterator(it);
  for (; !it->done(); it->step()) {
    OdDbEntity* e = nullptr;
    ASSERT_EQ(it->getEntity(e), eOk);
    EXPECT_EQ(e->database(), &target);
    EXPECT_EQ(e->layerId().database(), &target);
    if (auto* line = OdDbLine::cast(e)) {
      EXPECT_EQ(line->layer(), OdString(u"Walls"));
    }
    e->close();
    ++count;
  }
  delete it;
  block->close();
  EXPECT_EQ(count, 17);  // every entity of model space; paper space stays behind
  OdDbLayerTable* layers = nullptr;
  target.getLayerTable(layers, OdDb::kForRead);
  EXPECT_TRUE(layers->has(u"Walls"));
  layers->close();
  OdDbBlockTable* blocks = nullptr;
  target.getBlockTable(blocks, OdDb::kForRead);
  EXPECT_TRUE(blocks->has(u"Door"));  // the nested block came along, once
  blocks->close();
  // What the insert made writes and reads like the rest.
  TempFolder folder;
  ASSERT_EQ(target.writeFile(odPath(folder / "inserted.dxf")), eOk);
  OdDbDatabase back(false);
  EXPECT_EQ(back.readFile(odPath(folder / "inserted.dxf")), eOk);
}

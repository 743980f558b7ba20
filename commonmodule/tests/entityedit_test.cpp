// Entity queries and edits: text strings, recolouring (with block
// definitions going BYBLOCK), erasing, external references, locked layers
// and the throw-away default drawing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "HvDbUtilsEdit.h"
#include "commonmoduletest.h"
#include "entityfixture.h"
#include "kxed.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;

class EntityEdit : public DrawingTest {};

TEST_F(EntityEdit, TextStringsOfTextsAttributeDefinitionsAndAttributes) {
  const OdDbObjectId text = append(new OdDbText(OdGePoint3d(1, 1, 0), u"Wand"));
  const OdDbObjectId definition = append(new OdDbAttributeDefinition(OdGePoint3d(), u"default", u"TAG", u"Value?"));
  const OdDbObjectId block = addBlock(u"TITLE");
  const OdDbObjectId reference = addReference(block);
  OdDbObjectId attribute;
  {
    Opened<OdDbBlockReference> open(reference, OdDb::kForWrite);
    ASSERT_EQ(open.result(), eOk);
    auto* value = new OdDbAttribute();
    value->setTag(u"TAG");
    value->setTextString(u"Halvorn \u4e2d");
    ASSERT_EQ(open->appendAttribute(attribute, value), eOk);
    value->close();
  }

  struct Case {
    OdDbObjectId id;
    const char16_t* before;
    const char16_t* after;
  } cases[] = {
      {text, u"Wand", u"Mauer"},
      {definition, u"default", u"other default"},
      {attribute, u"Halvorn \u4e2d", u""},
  };
  for (const Case& c : cases) {
    CString got(u"unchanged");
    ASSERT_TRUE(HvDbUtils::GetTextString(c.id, got));
    EXPECT_EQ(got, c.before);
    HvDbUtils::SetTextString(c.id, c.after);
    ASSERT_TRUE(HvDbUtils::GetTextString(c.id, got));
    EXPECT_EQ(got, c.after);
    // Nothing is left open.
    Opened<OdDbText> check(c.id, OdDb::kForWrite);
    EXPECT_EQ(check.result(), eOk);
  }
}

TEST_F(EntityEdit, TextStringsOfWhatIsNoTextFailQuietly) {
  const OdDbObjectId line = addLine(OdGePoint3d(), OdGePoint3d(1, 0, 0));
  CString got(u"unchanged");
  EXPECT_FALSE(HvDbUtils::GetTextString(line, got));
  EXPECT_FALSE(HvDbUtils::GetTextString(OdDbObjectId::kNull, got));
  EXPECT_EQ(got, u"unchanged");
  HvDbUtils::SetTextString(line, u"ignored");
  HvDbUtils::SetTextString(OdDbObjectId::kNull, u"ignored");

  // A text open for write elsewhere cannot be read or changed now.
  const OdDbObjectId text = append(new OdDbText(OdGePoint3d(), u"busy"));
  {
    Opened<OdDbText> busy(text, OdDb::kForWrite);
    EXPECT_FALSE(HvDbUtils::GetTextString(text, got));
    HvDbUtils::SetTextString(text, u"changed");
  }
  ASSERT_TRUE(HvDbUtils::GetTextString(text, got));
  EXPECT_EQ(got, u"busy");
  // An erased text is gone for both.
  ASSERT_TRUE(HvDbUtils::EraseEntity(text));
  EXPECT_FALSE(HvDbUtils::GetTextString(text, got));
  EXPECT_EQ(printed(), u"");
}

TEST_F(EntityEdit, ALineTakesTheColourAndIsOpenForReadAgain) {
  const OdDbObjectId line = addLine(OdGePoint3d(), OdGePoint3d(1, 0, 0), 7);
  {
    Opened<OdDbEntity> open(line, OdDb::kForRead);
    EXPECT_TRUE(HvDbUtils::ChangeEntityColor(open.get(), 1));
    EXPECT_EQ(open->colorIndex(), 1);
    EXPECT_TRUE(open->isReadEnabled());
    EXPECT_FALSE(open->isWriteEnabled());
  }
  struct Case {
    int color;
    OdUInt16 expected;
  } cases[] = {{0, 0}, {256, 256}, {255, 255}, {300, 255}, {-1, 255}};
  for (const Case& c : cases) {
    EXPECT_TRUE(HvDbUtils::ChangeEntityColor(line, c.color)) << c.color;
    EXPECT_EQ(colorOf(line), c.expected) << c.color;  // a colour out of range is refused by the entity
  }
}

TEST_F(EntityEdit, AReferenceTurnsItsDefinitionsAndAttributesByBlock) {
  const OdDbObjectId inner = addBlock(u"INNER");
  const OdDbObjectId innerLine = addLine(OdGePoint3d(), OdGePoint3d(1, 0, 0), 1, u"INNER");
  const OdDbObjectId innerCircle = append(new OdDbCircle(OdGePoint3d(), OdGeVector3d::kZAxis, 1), u"INNER");
  const OdDbObjectId outer = addBlock(u"OUTER");
  const OdDbObjectId outerLine = addLine(OdGePoint3d(), OdGePoint3d(0, 1, 0), 5, u"OUTER");
  const OdDbObjectId nested = addReference(inner, OdGePoint3d(2, 0, 0), 0, 2, u"OUTER");
  const OdDbObjectId reference = addReference(outer, OdGePoint3d(), 0, 6);
  const OdDbObjectId other = addReference(outer, OdGePoint3d(10, 0, 0), 0, 4);
  const OdDbObjectId lonely = addLine(OdGePoint3d(), OdGePoint3d(5, 5, 0), 1);
  OdDbObjectId attribute;
  {
    Opened<OdDbBlockReference> open(reference, OdDb::kForWrite);
    auto* value = new OdDbAttribute();
    value->setTag(u"NO");
    value->setColorIndex(4);
    ASSERT_EQ(open->appendAttribute(attribute, value), eOk);
    value->close();
  }

  EXPECT_TRUE(HvDbUtils::ChangeEntityColor(reference, 3));
  EXPECT_EQ(colorOf(reference), 3);
  EXPECT_EQ(colorOf(attribute), 0);
  for (OdDbObjectId id : {outerLine, nested, innerLine, innerCircle}) EXPECT_EQ(colorOf(id), 0);
  // The other reference keeps its own colour; its definition's entities now
  // follow it. Entities outside the definitions are untouched.
  EXPECT_EQ(colorOf(other), 4);
  EXPECT_EQ(colorOf(lonely), 1);
  EXPECT_EQ(printed(), u"");
}

TEST_F(EntityEdit, AReferenceWhoseDefinitionDoesNotOpenIsLeftAlone) {
  const OdDbObjectId block = addBlock(u"BUSY");
  const OdDbObjectId line = addLine(OdGePoint3d(), OdGePoint3d(1, 0, 0), 1, u"BUSY");
  const OdDbObjectId reference = addReference(block, OdGePoint3d(), 0, 6);
  {
    Opened<OdDbBlockTableRecord> busy(block, OdDb::kForWrite);
    Opened<OdDbEntity> open(reference, OdDb::kForRead);
    EXPECT_FALSE(HvDbUtils::ChangeEntityColor(open.get(), 3));
    EXPECT_TRUE(open->isReadEnabled());
    EXPECT_EQ(open->colorIndex(), 6);
  }
  EXPECT_EQ(colorOf(line), 1);
  EXPECT_EQ(printed(), u"");
}

TEST_F(EntityEdit, AnEntityOpenElsewhereKeepsItsColourButTheCallSucceeds) {
  const OdDbObjectId line = addLine(OdGePoint3d(), OdGePoint3d(1, 0, 0), 7);
  {
    Opened<OdDbEntity> first(line, OdDb::kForRead);
    Opened<OdDbEntity> second(line, OdDb::kForRead);
    EXPECT_TRUE(HvDbUtils::ChangeEntityColor(first.get(), 2));  // two readers: no upgrade
    EXPECT_TRUE(first->isReadEnabled());
  }
  EXPECT_EQ(colorOf(line), 7);
  {
    Opened<OdDbEntity> writer(line, OdDb::kForWrite);
    EXPECT_FALSE(HvDbUtils::ChangeEntityColor(line, 2));  // the id does not open for read
  }
  EXPECT_FALSE(HvDbUtils::ChangeEntityColor(OdDbObjectId::kNull, 2));
  EXPECT_FALSE(HvDbUtils::ChangeEntityColor(static_cast<OdDbEntity*>(nullptr), 2));
  EXPECT_EQ(colorOf(line), 7);

  // An entity of no database is always writable.
  OdDbLine free(OdGePoint3d(), OdGePoint3d(1, 1, 0));
  EXPECT_TRUE(HvDbUtils::ChangeEntityColor(&free, 5));
  EXPECT_EQ(free.colorIndex(), 5);
}

TEST_F(EntityEdit, ErasingOneOrManyEntities) {
  const OdDbObjectId a = addLine(OdGePoint3d(), OdGePoint3d(1, 0, 0));
  const OdDbObjectId b = addLine(OdGePoint3d(), OdGePoint3d(2, 0, 0));
  const OdDbObjectId c = addLine(OdGePoint3d(), OdGePoint3d(3, 0, 0));
  const OdDbObjectId layer = addLayer(u"NotAnEntity", false);

  EXPECT_TRUE(HvDbUtils::EraseEntity(a));
  EXPECT_TRUE(a.isErased());
  EXPECT_FALSE(HvDbUtils::EraseEntity(a));  // an erased entity does not open
  EXPECT_FALSE(HvDbUtils::EraseEntity(OdDbObjectId::kNull));
  EXPECT_FALSE(HvDbUtils::EraseEntity(layer));
  EXPECT_FALSE(layer.isErased());

  EXPECT_TRUE(HvDbUtils::EraseEntity(OdArray<OdDbObjectId>()));
  OdArray<OdDbObjectId> ids;
  for (OdDbObjectId id : {a, OdDbObjectId::kNull, b, layer, c}) ids.append(id);
  {
    Opened<OdDbEntity> busy(c, OdDb::kForRead);  // skipped: it does not open for write
    EXPECT_TRUE(HvDbUtils::EraseEntity(ids));
  }
  EXPECT_TRUE(b.isErased());
  EXPECT_FALSE(c.isErased());
  EXPECT_FALSE(layer.isErased());
  EXPECT_TRUE(HvDbUtils::EraseEntity(ids));
  EXPECT_TRUE(c.isErased());
  EXPECT_EQ(printed(), u"");
}

TEST_F(EntityEdit, LockedLayers) {
  // The message comes from expressres.dll beside the host program.
  mwcommon::testing::copyFromBuild(machine(), "expressres.dll", u"C:\\Korax");
  ::setenv("WINSIM_IMAGE", "C:\\Korax\\korax.exe", 1);

  const OdDbObjectId locked = addLayer(u"Locked", true);
  const OdDbObjectId open = addLayer(u"Open", false);
  auto* onLocked = new OdDbLine(OdGePoint3d(), OdGePoint3d(1, 0, 0));
  onLocked->setLayer(locked);
  const OdDbObjectId lockedLine = append(onLocked);
  auto* onOpen = new OdDbLine(OdGePoint3d(), OdGePoint3d(1, 0, 0));
  onOpen->setLayer(open);
  const OdDbObjectId openLine = append(onOpen);

  struct Case {
    OdDbObjectId id;
    bool report;
    bool expected;
    const char16_t* printed;
  } cases[] = {
      {lockedLine, false, true, u""},
      {lockedLine, true, true, u"\nSelect the entity on the locked layer."},
      {openLine, true, false, u""},
      {openLine, false, false, u""},
  };
  for (const Case& c : cases) {
    kxhost::clearCommandLineText();
    {
      Opened<OdDbEntity> entity(c.id, OdDb::kForRead);
      EXPECT_EQ(HvDbUtils::IsOnLockedLayer(entity.get(), c.report), c.expected);
    }
    EXPECT_EQ(printed(), c.printed);
    kxhost::clearCommandLineText();
    EXPECT_EQ(HvDbUtils::IsOnLockedLayer(c.id, c.report), c.expected);
    EXPECT_EQ(printed(), c.printed);
  }

  // What does not open counts as locked, and says nothing.
  kxhost::clearCommandLineText();
  ASSERT_TRUE(HvDbUtils::EraseEntity(openLine));
  EXPECT_TRUE(HvDbUtils::IsOnLockedLayer(openLine, true));
  EXPECT_TRUE(HvDbUtils::IsOnLockedLayer(OdDbObjectId::kNull, true));
  EXPECT_EQ(printed(), u"");
  ::unsetenv("WINSIM_IMAGE");
}

TEST_F(EntityEdit, ALayerThatDoesNotOpenIsReported) {
  const OdDbObjectId layer = addLayer(u"Busy", true);
  auto* line = new OdDbLine(OdGePoint3d(), OdGePoint3d(1, 0, 0));
  line->setLayer(layer);
  const OdDbObjectId id = append(line);
  Opened<OdDbLayerTableRecord> busy(layer, OdDb::kForWrite);
  ASSERT_EQ(busy.result(), eOk);
  Opened<OdDbEntity> entity(id, OdDb::kForRead);
  EXPECT_FALSE(HvDbUtils::IsOnLockedLayer(entity.get(), true));
  EXPECT_EQ(printed(), std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(eWasOpenForWrite));

  // A line of no database has no layer to open.
  kxhost::clearCommandLineText();
  OdDbLine free;
  EXPECT_FALSE(HvDbUtils::IsOnLockedLayer(&free, true));
  EXPECT_EQ(printed(), std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(eNullObjectId));
}

TEST_F(EntityEdit, ExternalReferencesAreToldFromBlocks) {
  // An external reference made by ezdxf, an independent DXF implementation.
  if (std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") != 0) GTEST_SKIP() << "ezdxf is missing";
  const std::filesystem::path folder = machine().host(u"C:\\");
  std::ofstream(folder / "xref.py") << "import ezdxf\n"
                                       "doc = ezdxf.new('R2000')\n"
                                       "doc.add_xref_def('C:/Plans/site.dxf', 'SITE')\n"
                                       "doc.blocks.new('LOCAL').add_line((0, 0), (1, 0))\n"
                                       "doc.modelspace().add_blockref('SITE', (0, 0))\n"
                                       "doc.modelspace().add_blockref('LOCAL', (5, 0))\n"
                                       "doc.modelspace().add_line((0, 0), (9, 9))\n"
                                       "doc.saveas('"
                                    << (folder / "xref.dxf").string() << "')\n";
  const std::string command = "/usr/bin/python3 " + (folder / "xref.py").string() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);

  OdDbDatabase read(false);
  ASSERT_EQ(read.readFile(u"C:\\xref.dxf"), eOk);
  OdDbBlockTableRecord* model = nullptr;
  OdDbBlockTable* blocks = nullptr;
  ASSERT_EQ(read.getBlockTable(blocks, OdDb::kForRead), eOk);
  ASSERT_EQ(blocks->getAt(u"*Model_Space", model, OdDb::kForRead), eOk);
  blocks->close();
  OdDbBlockTableRecordIterator* raw = nullptr;
  ASSERT_EQ(model->newIterator(raw), eOk);
  std::unique_ptr<OdDbBlockTableRecordIterator> iterator(raw);
  model->close();
  std::vector<OdDbObjectId> ids;
  for (; !iterator->done(); iterator->step()) ids.push_back(iterator->getEntityId());
  ASSERT_EQ(ids.size(), 3u);

  EXPECT_TRUE(HvDbUtils::IsXref(ids[0]));
  EXPECT_FALSE(HvDbUtils::IsXref(ids[1]));
  EXPECT_FALSE(HvDbUtils::IsXref(ids[2]));
  {
    Opened<OdDbEntity> xref(ids[0], OdDb::kForRead);
    EXPECT_TRUE(HvDbUtils::IsXref(xref.get()));
    EXPECT_TRUE(xref->isReadEnabled());
  }
  EXPECT_FALSE(HvDbUtils::IsXref(OdDbObjectId::kNull));
  EXPECT_FALSE(HvDbUtils::IsXref(static_cast<OdDbEntity*>(nullptr)));
  // The definition is closed again: it opens for write.
  {
    Opened<OdDbBlockReference> xref(ids[0], OdDb::kForRead);
    Opened<OdDbBlockTableRecord> definition(xref->blockTableRecord(), OdDb::kForWrite);
    EXPECT_EQ(definition.result(), eOk);
    // A definition that does not open gives false.
    EXPECT_FALSE(HvDbUtils::IsXref(xref.get()));
  }
}

TEST_F(EntityEdit, ANewDefaultDrawingLeavesNoFile) {
  OdDbDatabase* working = oddbHostApplicationServices()->workingDatabase();
  EXPECT_EQ(HvDbUtils::CreateNewNullDwg(u"C:\\Drawings\\new.dwg"), 1);
  EXPECT_EQ(HvDbUtils::CreateNewNullDwg(u"C:\\new.dwg"), 1);
  EXPECT_EQ(HvDbUtils::CreateNewNullDwg(nullptr), 1);
  EXPECT_FALSE(std::filesystem::exists(machine().host(u"C:\\") / "new.dwg"));
  EXPECT_FALSE(std::filesystem::exists(machine().host(u"C:\\") / "Drawings"));
  EXPECT_EQ(oddbHostApplicationServices()->workingDatabase(), working);
}

}  // namespace

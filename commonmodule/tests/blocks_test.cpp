// Block references of blocks named by drawing files, and their attributes.
// The block drawing door.dxf (data/, made by ezdxf with make_door.py) holds
// a door leaf on layer DOOR and the attribute definitions NUMBER "D-01",
// WIDTH "900" (invisible) and MAKER "Halvorn" (constant).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numbers>

#include "HvDbUtilsBlocks.h"
#include "HvDbUtilsTables.h"
#include "entityfixture.h"
#include "winsim/text.h"

namespace {

using mwcommon::testing::DrawingTest;
using mwcommon::testing::Opened;
using Values = std::map<CString, CString>;

const std::filesystem::path kDoorDrawing = std::filesystem::path(COMMONMODULE_TEST_DATA) / "door.dxf";
constexpr const WCHAR* kDoor = u"C:\\Blocks\\door.dxf";

void expectNear(const OdGePoint3d& actual, const OdGePoint3d& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
  EXPECT_NEAR(actual.z, expected.z, 1e-9);
}

class Blocks : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    std::filesystem::create_directories(machine().host(u"C:\\Blocks"));
    std::filesystem::copy_file(kDoorDrawing, machine().host(u"C:\\Blocks") / "door.dxf");
  }

  /// The entities of a block, in order.
  std::vector<OdDbObjectId> contents(OdDbObjectId block) {
    std::vector<OdDbObjectId> ids;
    Opened<OdDbBlockTableRecord> record(block, OdDb::kForRead);
    EXPECT_EQ(record.result(), eOk);
    if (record.result() != eOk) return ids;
    OdDbBlockTableRecordIterator* iterator = nullptr;
    record->newIterator(iterator);
    for (; !iterator->done(); iterator->step()) ids.push_back(iterator->getEntityId());
    delete iterator;
    return ids;
  }

  OdDbObjectId blockNamed(const OdChar* name) {
    OdDbObjectId id;
    HvDbUtils::NameToSymbolId(OdDbBlockTableRecord::desc(), name, id);
    return id;
  }

  /// The attributes of a reference in the database, by tag.
  std::map<std::u16string, OdDbObjectId> attributesOf(OdDbObjectId reference) {
    std::map<std::u16string, OdDbObjectId> attributes;
    Opened<OdDbBlockReference> insert(reference, OdDb::kForRead);
    EXPECT_EQ(insert.result(), eOk);
    if (insert.result() != eOk) return attributes;
    std::unique_ptr<OdDbObjectIterator> iterator(insert->attributeIterator());
    for (; !iterator->done(); iterator->step()) {
      Opened<OdDbAttribute> attribute(iterator->objectId(), OdDb::kForRead);
      attributes[attribute->tag().str()] = iterator->objectId();
    }
    return attributes;
  }
};

TEST_F(Blocks, AFileDrawingBecomesTheBlockDefinition) {
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(100, 50, 0), OdGeScale3d(2), 0.5, id, nullptr));
  const OdDbObjectId door = blockNamed(u"door");
  ASSERT_FALSE(door.isNull());
  EXPECT_EQ(contents(door).size(), 5u);  // the leaf, its diagonal and three attribute definitions
  EXPECT_TRUE(HvDbUtils::SymbolExists(OdDbLayerTableRecord::desc(), u"DOOR"));

  Opened<OdDbBlockReference> reference(id, OdDb::kForRead);
  ASSERT_EQ(reference.result(), eOk);
  EXPECT_EQ(reference->blockTableRecord(), door);
  EXPECT_EQ(reference->position(), OdGePoint3d(100, 50, 0));
  EXPECT_EQ(reference->scaleFactors(), OdGeScale3d(2));
  EXPECT_EQ(reference->rotation(), 0.5);
  EXPECT_EQ(reference->blockId(), HvDbUtils::GetModelSpaceId());
  std::unique_ptr<OdDbObjectIterator> attributes(reference->attributeIterator());
  EXPECT_TRUE(attributes->done());  // form 2 makes no attributes
}

TEST_F(Blocks, TheSameFileTwiceMakesOneDefinitionAndTwoReferences) {
  OdDbObjectId first, second;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(0, 0, 0), OdGeScale3d(), 0, first));
  // The second time the file is not read: it may even be gone.
  std::filesystem::remove(machine().host(kDoor));
  ASSERT_TRUE(
      HvDbUtils::InsertBlockReference(u"D:\\elsewhere\\DOOR.dwg", OdGePoint3d(30, 0, 0), OdGeScale3d(), 0, second));
  EXPECT_NE(first, second);
  const std::vector<OdDbObjectId> model = contents(HvDbUtils::GetModelSpaceId());
  EXPECT_EQ(model, (std::vector<OdDbObjectId>{first, second}));
  Opened<OdDbBlockReference> a(first, OdDb::kForRead), b(second, OdDb::kForRead);
  EXPECT_EQ(a->blockTableRecord(), b->blockTableRecord());
}

TEST_F(Blocks, ADefinedBlockIsUsedWithoutLookingAtTheFile) {
  const OdDbObjectId own = addBlock(u"door");
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(u"C:\\Nowhere\\door.dwg", OdGePoint3d(1, 2, 3), OdGeScale3d(), 0, id));
  Opened<OdDbBlockReference> reference(id, OdDb::kForRead);
  EXPECT_EQ(reference->blockTableRecord(), own);
  EXPECT_TRUE(contents(own).empty());
}

TEST_F(Blocks, UnusableSourcesAddNothing) {
  // A binary drawing is refused, never misread.
  std::ofstream(machine().host(u"C:\\Blocks") / "binary.dwg", std::ios::binary) << "AC1015\0\0\0\0binary";
  std::ofstream(machine().host(u"C:\\Blocks") / "broken.dxf") << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n";
  const WCHAR* paths[] = {
      u"C:\\Blocks\\",             // no file name
      u"C:\\Blocks\\missing.dxf",  // neither a block nor a file
      u"C:\\Blocks\\binary.dwg",   // a DWG file
      u"C:\\Blocks\\broken.dxf",   // a drawing that does not read
  };
  const OdUInt64 before = db()->approxNumObjects();
  for (const WCHAR* path : paths) {
    OdDbObjectId id = HvDbUtils::GetModelSpaceId();
    EXPECT_FALSE(HvDbUtils::InsertBlockReference(path, OdGePoint3d(), OdGeScale3d(), 0, id)) << winsim::toUtf8(path);
    EXPECT_TRUE(id.isNull());
    OdDbBlockReference* reference = reinterpret_cast<OdDbBlockReference*>(1);
    EXPECT_FALSE(HvDbUtils::InsertBlockReference(path, OdGePoint3d(), OdGeScale3d(), 0, reference));
    EXPECT_EQ(reference, nullptr);
  }
  EXPECT_EQ(db()->approxNumObjects(), before);
  EXPECT_TRUE(contents(HvDbUtils::GetModelSpaceId()).empty());
  EXPECT_EQ(printed(), u"");
}

TEST_F(Blocks, AttributeValuesByTag) {
  const Values values = {
      {u"NUMBER", u"D-07"},  // a tag
      {u"width", u"1200"},   // differs from WIDTH in case: no match
      {u"MAKER", u"Other"},  // constant: never an attribute
      {u"COLOUR", u"red"},   // no such tag
  };
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(10, 10, 0), OdGeScale3d(), 0, values, id));
  const auto attributes = attributesOf(id);
  ASSERT_EQ(attributes.size(), 2u);
  Values read;
  ASSERT_TRUE(HvDbUtils::GetAttribute(id, read));
  EXPECT_EQ(read, (Values{{u"NUMBER", u"D-07"}, {u"WIDTH", u"900"}}));

  for (const auto& [tag, attributeId] : attributes) {
    Opened<OdDbAttribute> attribute(attributeId, OdDb::kForWrite);  // closed by the insert
    ASSERT_EQ(attribute.result(), eOk);
    EXPECT_EQ(attribute->isInvisible(), tag == u"WIDTH");
    EXPECT_FALSE(attribute->isConstant());
    EXPECT_EQ(attribute->ownerId(), id);
  }
}

TEST_F(Blocks, AttributesFollowTheReferencesTransformAndProperties) {
  OdDbBlockReference* reference = nullptr;
  OdArray<void*> attributes;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(100, 0, 0), OdGeScale3d(2), std::numbers::pi / 2,
                                              Values(), reference, attributes));
  ASSERT_NE(reference, nullptr);
  EXPECT_TRUE(reference->objectId().isNull());  // not in the database yet
  ASSERT_EQ(attributes.size(), 2u);
  reference->setColorIndex(5);
  auto* number = static_cast<OdDbAttribute*>(attributes[0]);
  EXPECT_EQ(number->tag(), OdString(u"NUMBER"));
  EXPECT_EQ(number->textString(), OdString(u"D-01"));
  // NUMBER sits at (1, 22), 1.5 high, in the block: scaled by 2, turned a quarter.
  expectNear(number->position(), OdGePoint3d(100 - 44, 2, 0));
  EXPECT_NEAR(number->height(), 3, 1e-9);
  EXPECT_NEAR(number->rotation(), std::numbers::pi / 2, 1e-9);

  // The caller adds the reference and closes the attributes.
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::AddToCurrentSpace(reference, id));
  for (void* attribute : attributes) {
    auto* a = static_cast<OdDbAttribute*>(attribute);
    EXPECT_EQ(a->ownerId(), id);
    a->close();
    Opened<OdDbAttribute> reopened(a->objectId(), OdDb::kForWrite);
    EXPECT_EQ(reopened.result(), eOk);
  }
  EXPECT_EQ(attributesOf(id).size(), 2u);
}

TEST_F(Blocks, AttributesTakeTheLayerOfTheirReference) {
  addLayer(u"Doors", false);
  OdDbBlockReference* reference = nullptr;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(), OdGeScale3d(), 0, reference));
  ASSERT_EQ(reference->setLayer(u"Doors"), eOk);
  reference->setColorIndex(2);
  OdArray<void*> attributes = {};
  attributes.append(nullptr);
  ASSERT_TRUE(HvDbUtils::CreateAttribute(reference, Values{{u"NUMBER", u"D-99"}}, attributes));
  ASSERT_EQ(attributes.size(), 2u);  // emptied first
  for (void* attribute : attributes) {
    auto* a = static_cast<OdDbAttribute*>(attribute);
    EXPECT_EQ(a->layer(), OdString(u"Doors"));
    EXPECT_EQ(a->colorIndex(), 2);
  }
  EXPECT_EQ(static_cast<OdDbAttribute*>(attributes[0])->textString(), OdString(u"D-99"));
  delete reference;  // never added: the attributes go with it

  EXPECT_FALSE(HvDbUtils::CreateAttribute(nullptr, Values(), attributes));
  EXPECT_TRUE(attributes.isEmpty());
}

TEST_F(Blocks, TheDefaultsOfTheAttributeDefinitions) {
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(), OdGeScale3d(), 0, id));
  Values defaults = {{u"stale", u"entry"}};
  ASSERT_TRUE(HvDbUtils::GetAttributeDefinition(blockNamed(u"door"), defaults));
  EXPECT_EQ(defaults, (Values{{u"NUMBER", u"D-01"}, {u"WIDTH", u"900"}}));

  const OdDbObjectId plain = addBlock(u"plain");
  append(new OdDbLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 0, 0)), u"plain");
  ASSERT_TRUE(HvDbUtils::GetAttributeDefinition(plain, defaults));
  EXPECT_TRUE(defaults.empty());

  defaults = {{u"stale", u"entry"}};
  EXPECT_FALSE(HvDbUtils::GetAttributeDefinition(id, defaults));  // a reference, not a definition
  EXPECT_TRUE(defaults.empty());
}

TEST_F(Blocks, ALaterDefinitionOfATagWins) {
  const OdDbObjectId block = addBlock(u"twice");
  append(new OdDbAttributeDefinition(OdGePoint3d(), u"first", u"TAG", u"Prompt"), u"twice");
  append(new OdDbAttributeDefinition(OdGePoint3d(0, 2, 0), u"second", u"TAG", u"Prompt"), u"twice");
  Values defaults;
  ASSERT_TRUE(HvDbUtils::GetAttributeDefinition(block, defaults));
  EXPECT_EQ(defaults, (Values{{u"TAG", u"second"}}));
}

TEST_F(Blocks, ReadingAndWritingTheValuesOfAReference) {
  OdDbObjectId id;
  ASSERT_TRUE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(), OdGeScale3d(), 0, Values(), id));
  Values values;
  ASSERT_TRUE(HvDbUtils::GetAttribute(id, values));
  ASSERT_TRUE(HvDbUtils::SetAttribute(id, values));  // the same map changes nothing
  Values again;
  ASSERT_TRUE(HvDbUtils::GetAttribute(id, again));
  EXPECT_EQ(again, values);

  ASSERT_TRUE(HvDbUtils::SetAttribute(id, Values{{u"WIDTH", u"1000"}, {u"Number", u"no"}, {u"MAKER", u"no"}}));
  ASSERT_TRUE(HvDbUtils::GetAttribute(id, again));
  EXPECT_EQ(again, (Values{{u"NUMBER", u"D-01"}, {u"WIDTH", u"1000"}}));
}

TEST_F(Blocks, TheValuesOfWhatIsNoBlockReference) {
  const OdDbObjectId line = addLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 0, 0));
  Values values = {{u"stale", u"entry"}};
  EXPECT_FALSE(HvDbUtils::GetAttribute(line, values));
  EXPECT_TRUE(values.empty());
  EXPECT_FALSE(HvDbUtils::SetAttribute(line, Values{{u"A", u"B"}}));
  EXPECT_FALSE(HvDbUtils::GetAttribute(OdDbObjectId::kNull, values));
  Opened<OdDbLine> closed(line, OdDb::kForWrite);
  EXPECT_EQ(closed.result(), eOk);
}

TEST_F(Blocks, AReferenceTheDrawingRefusesIsNotAdded) {
  OdDbObjectId id = HvDbUtils::GetModelSpaceId();
  {
    Opened<OdDbBlockTableRecord> busy(HvDbUtils::GetModelSpaceId(), OdDb::kForWrite);
    EXPECT_FALSE(HvDbUtils::InsertBlockReference(kDoor, OdGePoint3d(), OdGeScale3d(), 0, Values(), id));
    EXPECT_TRUE(id.isNull());
  }
  EXPECT_TRUE(contents(HvDbUtils::GetModelSpaceId()).empty());
  // The definition read from the file stays.
  EXPECT_FALSE(blockNamed(u"door").isNull());
}

}  // namespace

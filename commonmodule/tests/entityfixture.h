// What the tests of the entity queries, edits and vertex collections share: a
// fresh machine with a host document, and small builders that put entities,
// layers and block definitions into its drawing with the SDK itself (so that
// the functions under test are checked against the SDK, not against each
// other).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "DbBlockReference.h"
#include "DbCurves.h"
#include "DbDatabase.h"
#include "DbPolylines.h"
#include "DbSymbolTable.h"
#include "DbText.h"
#include "kxap.h"
#include "kxhost.h"
#include "testing/tempmachine.h"

namespace mwcommon::testing {

/// A machine with one open document; the session ends with the test.
class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_document = kxhost::newDocument();
    ASSERT_NE(m_document, nullptr);
    kxhost::clearCommandLineText();
  }
  void TearDown() override { kxhost::endSession(); }

  OdDbDatabase* db() const { return m_document->database(); }
  winsim::testing::TempMachine& machine() { return m_machine; }

  /// Appends an entity of no database to a block (model space by default)
  /// and closes it.
  OdDbObjectId append(OdDbEntity* entity, const OdChar* block = u"*Model_Space") {
    OdDbBlockTable* blocks = nullptr;
    EXPECT_EQ(db()->getBlockTable(blocks, OdDb::kForRead), eOk);
    OdDbBlockTableRecord* record = nullptr;
    EXPECT_EQ(blocks->getAt(block, record, OdDb::kForWrite), eOk);
    blocks->close();
    OdDbObjectId id;
    EXPECT_EQ(record->appendOdDbEntity(id, entity), eOk);
    entity->close();
    record->close();
    return id;
  }

  /// A new, empty block definition with its base point at `origin`.
  OdDbObjectId addBlock(const OdChar* name, const OdGePoint3d& origin = OdGePoint3d::kOrigin) {
    OdDbBlockTable* blocks = nullptr;
    EXPECT_EQ(db()->getBlockTable(blocks, OdDb::kForWrite), eOk);
    auto* record = new OdDbBlockTableRecord();
    EXPECT_EQ(record->setName(name), eOk);
    record->setOrigin(origin);
    OdDbObjectId id;
    EXPECT_EQ(blocks->add(id, record), eOk);
    record->close();
    blocks->close();
    return id;
  }

  OdDbObjectId addLayer(const OdChar* name, bool locked) {
    OdDbLayerTable* layers = nullptr;
    EXPECT_EQ(db()->getLayerTable(layers, OdDb::kForWrite), eOk);
    auto* layer = new OdDbLayerTableRecord();
    EXPECT_EQ(layer->setName(name), eOk);
    layer->setIsLocked(locked);
    OdDbObjectId id;
    EXPECT_EQ(layers->add(id, layer), eOk);
    layer->close();
    layers->close();
    return id;
  }

  OdDbObjectId addLine(const OdGePoint3d& start, const OdGePoint3d& end, OdUInt16 color = 256,
                       const OdChar* block = u"*Model_Space") {
    auto* line = new OdDbLine(start, end);
    line->setColorIndex(color);
    return append(line, block);
  }

  /// A reference to `definition` in model space.
  OdDbObjectId addReference(OdDbObjectId definition, const OdGePoint3d& position = OdGePoint3d::kOrigin,
                            double rotation = 0, OdUInt16 color = 256, const OdChar* block = u"*Model_Space") {
    auto* reference = new OdDbBlockReference(position, definition);
    reference->setRotation(rotation);
    reference->setColorIndex(color);
    return append(reference, block);
  }

  /// The colour index of an object by id (the test fails when it does not open).
  OdUInt16 colorOf(OdDbObjectId id) const {
    OdDbEntity* entity = nullptr;
    if (oddbOpenObject(entity, id, OdDb::kForRead) != eOk) {
      ADD_FAILURE() << "the entity does not open";
      return 0xFFFF;
    }
    const OdUInt16 color = entity->colorIndex();
    entity->close();
    return color;
  }

  /// The command-line text since the test began.
  static std::u16string printed() { return kxhost::commandLineText(); }

 private:
  winsim::testing::TempMachine m_machine;
  KxApDocument* m_document = nullptr;
};

/// Opens an object for the test and closes it when the holder goes.
template <class T>
class Opened {
 public:
  Opened(OdDbObjectId id, OdDb::OpenMode mode) { m_result = oddbOpenObject(m_object, id, mode); }
  ~Opened() {
    if (m_object) m_object->close();
  }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
  OdResult result() const { return m_result; }
  T* get() const { return m_object; }
  T* operator->() const { return m_object; }

 private:
  T* m_object = nullptr;
  OdResult m_result = eOk;
};

}  // namespace mwcommon::testing

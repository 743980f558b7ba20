// Recolouring an entity. A block reference takes its colour through its
// definition: the definition's entities (and those of the definitions nested
// in it) become BYBLOCK, so they show whatever colour each reference to the
// definition has. The definition is shared, so every reference to it follows.
#include <memory>

#include "DbBlockReference.h"
#include "DbSymbolTable.h"
#include "DbText.h"
#include "HvDbUtilsEdit.h"
#include "tables/openedobject.h"

namespace HvDbUtils {

namespace {

constexpr OdUInt16 kByBlock = 0;

// Every entity of `definition` (open for read) becomes BYBLOCK, nested
// references included after their own definitions. What cannot be opened is
// left as it is: the SDK keeps block nesting free of cycles, so the walk ends.
void recolorDefinitionByBlock(const OdDbBlockTableRecord* definition) {
  OdDbBlockTableRecordIterator* raw = nullptr;
  if (definition->newIterator(raw) != eOk) return;
  std::unique_ptr<OdDbBlockTableRecordIterator> iterator(raw);
  for (; !iterator->done(); iterator->step()) {
    mwcommon::OpenedObject<OdDbEntity> entity;
    if (iterator->getEntity(entity.slot(), OdDb::kForWrite) != eOk) continue;
    if (auto* nested = OdDbBlockReference::cast(entity.get())) {
      mwcommon::OpenedObject<OdDbBlockTableRecord> nestedDefinition;
      if (oddbOpenObject(nestedDefinition.slot(), nested->blockTableRecord(), OdDb::kForRead) != eOk) continue;
      recolorDefinitionByBlock(nestedDefinition.get());
    }
    entity->setColorIndex(kByBlock, true);
  }
}

// The attributes of a reference follow it too.
void recolorAttributesByBlock(const OdDbBlockReference* reference) {
  std::unique_ptr<OdDbObjectIterator> iterator(reference->attributeIterator());
  for (; iterator && !iterator->done(); iterator->step()) {
    mwcommon::OpenedObject<OdDbAttribute> attribute;
    if (oddbOpenObject(attribute.slot(), iterator->objectId(), OdDb::kForWrite) != eOk) continue;
    attribute->setColorIndex(kByBlock, true);
  }
}

}  // namespace

bool ChangeEntityColor(OdDbEntity* entity, int color) {
  if (!entity) return false;
  const auto* reference = OdDbBlockReference::cast(entity);
  if (reference) {
    mwcommon::OpenedObject<OdDbBlockTableRecord> definition;
    if (oddbOpenObject(definition.slot(), reference->blockTableRecord(), OdDb::kForRead) != eOk) return false;
    recolorDefinitionByBlock(definition.get());
    definition.close();
    recolorAttributesByBlock(reference);
  }
  // An entity of no database counts as open for write already.
  const OdResult upgraded = entity->upgradeOpen();
  if (upgraded == eOk || upgraded == eWasOpenForWrite) {
    // The attributes of a reference stay BYBLOCK: they follow the reference's
    // colour instead of taking a copy of it.
    entity->setColorIndex(static_cast<OdUInt16>(color), !reference);
  }
  entity->downgradeOpen();
  return true;
}

bool ChangeEntityColor(OdDbObjectId id, int color) {
  if (id.isNull()) return false;
  mwcommon::OpenedObject<OdDbEntity> entity;
  if (oddbOpenObject(entity.slot(), id, OdDb::kForRead) != eOk) return false;
  return ChangeEntityColor(entity.get(), color);
}

}  // namespace HvDbUtils

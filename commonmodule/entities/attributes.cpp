// Attributes of block references by tag: made from a block's attribute
// definitions, read and written through a reference's attribute iterator.
#include <memory>

#include "DbSymbolTable.h"
#include "DbText.h"
#include "HvDbUtilsBlocks.h"
#include "tables/openedobject.h"
#include "tables/openobjectas.h"

namespace HvDbUtils {

namespace {

using AttributeValues = std::map<CString, CString>;

/// Calls `visit` with every non-constant attribute definition of an open
/// block definition, each open for read while it is visited. False when the
/// block cannot be walked.
template <class Visit>
bool forEachAttributeDefinition(const OdDbBlockTableRecord* block, Visit&& visit) {
  OdDbBlockTableRecordIterator* walk = nullptr;
  if (block->newIterator(walk, true, true) != eOk || !walk) return false;
  const std::unique_ptr<OdDbBlockTableRecordIterator> iterator(walk);
  for (; !iterator->done(); iterator->step(true, true)) {
    mwcommon::OpenedObject<OdDbEntity> entity;
    if (iterator->getEntity(entity.slot(), OdDb::kForRead) != eOk) continue;
    const OdDbAttributeDefinition* definition = OdDbAttributeDefinition::cast(entity.get());
    if (definition && !definition->isConstant()) visit(*definition);
  }
  return true;
}

/// Calls `visit` with every attribute of a block reference that opens in
/// `mode`. False when the id is not that of a block reference.
template <class Visit>
bool forEachAttribute(const OdDbObjectId& referenceId, OdDb::OpenMode mode, Visit&& visit) {
  mwcommon::OpenedObject<OdDbBlockReference> reference;
  if (OpenObjectAs(reference.slot(), referenceId, OdDb::kForRead) != eOk) return false;
  const std::unique_ptr<OdDbObjectIterator> iterator(reference->attributeIterator());
  if (!iterator) return false;
  for (; !iterator->done(); iterator->step()) {
    mwcommon::OpenedObject<OdDbAttribute> attribute;
    if (oddbOpenObject(attribute.slot(), iterator->objectId(), mode) != eOk) continue;
    visit(*attribute.get());
  }
  return true;
}

}  // namespace

bool CreateAttribute(OdDbBlockReference* reference, AttributeValues values, OdArray<void*>& attributes) {
  attributes.clear();
  if (!reference) return false;
  mwcommon::OpenedObject<OdDbBlockTableRecord> block;
  if (OpenObjectAs(block.slot(), reference->blockTableRecord(), OdDb::kForRead) != eOk) return false;
  const OdGeMatrix3d transform = reference->blockTransform();
  return forEachAttributeDefinition(block.get(), [&](const OdDbAttributeDefinition& definition) {
    auto attribute = std::make_unique<OdDbAttribute>();
    attribute->setPropertiesFrom(reference, true);
    if (definition.isInvisible()) attribute->setInvisible(true);
    attribute->setAttributeFromBlock(&definition, transform);
    attribute->setTag(definition.tag());
    attribute->setFieldLength(definition.fieldLength());
    if (const auto value = values.find(CString(definition.tag().c_str())); value != values.end())
      attribute->setTextString(OdString(value->second));
    if (reference->appendAttribute(attribute.get()) != eOk) return;
    attributes.append(attribute.release());
  });
}

bool GetAttributeDefinition(const OdDbObjectId& blockId, AttributeValues& values) {
  values.clear();
  mwcommon::OpenedObject<OdDbBlockTableRecord> block;
  if (OpenObjectAs(block.slot(), blockId, OdDb::kForRead) != eOk) return false;
  return forEachAttributeDefinition(block.get(), [&](const OdDbAttributeDefinition& definition) {
    values[CString(definition.tag().c_str())] = definition.textString().c_str();
  });
}

bool GetAttribute(const OdDbObjectId& referenceId, AttributeValues& values) {
  values.clear();
  return forEachAttribute(referenceId, OdDb::kForRead, [&](OdDbAttribute& attribute) {
    values[CString(attribute.tag().c_str())] = attribute.textString().c_str();
  });
}

bool SetAttribute(const OdDbObjectId& referenceId, AttributeValues values) {
  return forEachAttribute(referenceId, OdDb::kForWrite, [&](OdDbAttribute& attribute) {
    if (const auto value = values.find(CString(attribute.tag().c_str())); value != values.end())
      attribute.setTextString(OdString(value->second));
  });
}

}  // namespace HvDbUtils

// Inserting one drawing into another as a block: the model space's entities
// are copied with the records and nested blocks they use. Records and
// blocks the target has already (by name) are used as they are, as a CAD
// program's insert does.
#include <unordered_map>

#include "internals.h"
#include "standard.h"

namespace {

class Copier {
 public:
  Copier(OdDbDatabaseImpl& source, OdDbDatabaseImpl& target) : m_src(source), m_dst(target) {}

  OdDbStub* reference(OdDbStub* s) {
    if (!s || s->database != &m_src || !s->object) return nullptr;
    OdDbStub* owner = OdDbInternals::owner(s->object);
    if (owner && owner == m_src.blockTable) return block(s);
    return record(s);
  }

  void copyEntities(const OdDbBlockTableRecord* from, OdDbStub* to) {
    for (OdDbStub* s : OdDbInternals::blockEntities(from)) {
      auto* e = s->object ? static_cast<OdDbEntity*>(s->object) : nullptr;
      if (!e || e->isErased() || OdDbOpaqueEntity::cast(e)) continue;
      auto* copy = static_cast<OdDbEntity*>(e->clone());
      OdDbInternals::forEachReference(copy, [&](OdDbStub*& ref) { ref = reference(ref); });
      registerApplications(*copy);
      if (OdDbSubObjects* subs = OdDbInternals::subObjects(copy))
        subs->forEach([&](OdDbEntity& c) { registerApplications(c); });
      auto fill = [&](OdDbEntity& x) {
        if (!OdDbInternals::layer(&x)) OdDbInternals::layer(&x) = m_dst.layer0;
        if (!OdDbInternals::linetype(&x)) OdDbInternals::linetype(&x) = m_dst.byLayer;
      };
      fill(*copy);
      if (OdDbSubObjects* subs = OdDbInternals::subObjects(copy)) subs->forEach(fill);
      m_dst.add(copy, to, false);
      OdDbInternals::blockEntities(static_cast<OdDbBlockTableRecord*>(to->object)).push_back(OdDbInternals::stub(copy));
      if (auto* d = OdDbDimension::cast(copy)) OdDbInternals::buildDimBlock(d);
    }
  }

 private:
  OdDbStub* targetTable(OdDbStub* sourceTable) {
    const std::pair<OdDbStub*, OdDbStub*> tables[] = {
        {m_src.layerTable, m_dst.layerTable},         {m_src.linetypeTable, m_dst.linetypeTable},
        {m_src.textStyleTable, m_dst.textStyleTable}, {m_src.dimStyleTable, m_dst.dimStyleTable},
        {m_src.regAppTable, m_dst.regAppTable},       {m_src.ucsTable, m_dst.ucsTable},
        {m_src.viewTable, m_dst.viewTable},           {m_src.viewportTable, m_dst.viewportTable}};
    for (auto& [from, to] : tables)
      if (from == sourceTable) return to;
    return nullptr;
  }

  OdDbStub* record(OdDbStub* s) {
    if (auto it = m_map.find(s); it != m_map.end()) return it->second;
    auto* rec = OdDbSymbolTableRecord::cast(s->object);
    OdDbStub* table = rec ? targetTable(OdDbInternals::owner(rec)) : nullptr;
    if (!table) return nullptr;
    const OdString& name = OdDbInternals::recordName(rec);
    OdDbStub* found =
        rec->isErased() ? nullptr : OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(table->object), name.view());
    if (!found) {
      auto* copy = static_cast<OdDbSymbolTableRecord*>(rec->clone());
      OdDbInternals::setErasedFlag(copy, false);
      m_map[s] = nullptr;  // a record that names itself stops here
      OdDbInternals::forEachReference(copy, [&](OdDbStub*& ref) { ref = reference(ref); });
      if (auto* layer = OdDbLayerTableRecord::cast(copy); layer && !OdDbInternals::layerLinetype(layer))
        OdDbInternals::layerLinetype(layer) = m_dst.continuous;
      found = addStandardRecord(m_dst, table, copy);
    }
    m_map[s] = found;
    return found;
  }

  OdDbStub* block(OdDbStub* s) {
    if (auto it = m_map.find(s); it != m_map.end()) return it->second;
    auto* rec = static_cast<OdDbBlockTableRecord*>(s->object);
    if (rec->isLayout()) return nullptr;
    auto* blocks = static_cast<OdDbSymbolTable*>(m_dst.blockTable->object);
    const OdString& name = OdDbInternals::recordName(rec);
    if (!rec->isAnonymous())
      if (OdDbStub* found = OdDbInternals::tableFind(blocks, name.view())) return m_map[s] = found;
    auto* copy = static_cast<OdDbBlockTableRecord*>(rec->clone());
    if (rec->isAnonymous())
      OdDbInternals::setRecordName(copy, OdDbInternals::uniqueAnonymousName(blocks, name.left(2)));
    OdDbStub* made = addStandardRecord(m_dst, m_dst.blockTable, copy);
    m_map[s] = made;
    copyEntities(rec, made);
    return made;
  }

  void registerApplications(const OdDbObject& o) {
    const auto* apps = OdDbInternals::xdata(&o);
    if (!apps) return;
    auto* table = static_cast<OdDbSymbolTable*>(m_dst.regAppTable->object);
    for (const auto& app : *apps) {
      if (OdDbInternals::tableFind(table, app.name.view())) continue;
      auto* record = new OdDbRegAppTableRecord();
      OdDbInternals::setRecordName(record, app.name);
      addStandardRecord(m_dst, m_dst.regAppTable, record);
    }
  }

  OdDbDatabaseImpl& m_src;
  OdDbDatabaseImpl& m_dst;
  std::unordered_map<OdDbStub*, OdDbStub*> m_map;
};

}  // namespace

OdResult OdDbDatabase::insert(OdDbObjectId& blockId, const OdString& blockName, OdDbDatabase* source, bool) {
  blockId = OdDbObjectId::kNull;
  if (!source) return eNullObjectPointer;
  if (source == this) return eSelfReference;
  OdDbDatabaseImpl& src = *source->impl();
  OdDbDatabaseImpl& dst = *m_impl;
  if (!src.modelSpace || !src.modelSpace->object || !dst.blockTable) return eNoDatabase;
  auto* block = new OdDbBlockTableRecord();
  if (OdResult r = block->setName(blockName); r != eOk || block->isLayout()) {
    delete block;
    return r != eOk ? r : eInvalidSymbolTableName;
  }
  if (OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(dst.blockTable->object), blockName.view())) {
    delete block;
    return eDuplicateRecordName;
  }
  block->setOrigin(src.header.insbase);
  OdDbStub* made = addStandardRecord(dst, dst.blockTable, block);
  Copier copier(src, dst);
  copier.copyEntities(static_cast<OdDbBlockTableRecord*>(src.modelSpace->object), made);
  blockId = OdDbObjectId(made);
  return eOk;
}

// The standard contents of a drawing.
#include "standard.h"

#include "winsim/text.h"

namespace {

template <class T>
OdDbStub* ensureObject(OdDbDatabaseImpl& db, OdDbStub*& slot, OdDbStub* owner) {
  if (!slot || !slot->object || !T::cast(slot->object)) {
    auto* object = new T();
    db.add(object, owner, false);
    slot = OdDbInternals::stub(object);
  }
  return slot;
}

OdDbStub* findRecord(OdDbStub* table, const char16_t* name) {
  return OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(table->object), name);
}

template <class T, class F>
OdDbStub* ensureRecord(OdDbDatabaseImpl& db, OdDbStub* table, const char16_t* name, F&& setUp) {
  if (OdDbStub* s = findRecord(table, name)) return s;
  auto* record = new T();
  OdDbInternals::setRecordName(record, name);
  setUp(*record);
  return addStandardRecord(db, table, record);
}

OdDbStub* dictionaryEntry(OdDbDictionary* dictionary, const char16_t* key) {
  std::u16string folded = foldName(key);
  for (auto& e : OdDbInternals::dictEntries(dictionary))
    if (e.stub && e.stub->object && !e.stub->object->isErased() && foldName(e.key.view()) == folded) return e.stub;
  return nullptr;
}

OdDbStub* ensureDictionary(OdDbDatabaseImpl& db, OdDbDictionary* parent, const char16_t* key) {
  if (OdDbStub* s = dictionaryEntry(parent, key))
    if (OdDbDictionary::cast(s->object)) return s;
  auto* d = new OdDbDictionary();
  db.add(d, OdDbInternals::stub(parent), false);
  OdDbInternals::dictAppend(parent, key, OdDbInternals::stub(d));
  return OdDbInternals::stub(d);
}

void ensureLayout(OdDbDatabaseImpl& db, OdDbDictionary* layouts, OdDbStub* block, const char16_t* name,
                  OdInt16 tabOrder) {
  auto* record = static_cast<OdDbBlockTableRecord*>(block->object);
  OdDbStub*& layout = OdDbInternals::blockLayout(record);
  if (layout && layout->object && !layout->object->isErased()) return;
  for (auto& e : OdDbInternals::dictEntries(layouts)) {
    auto* l = e.stub && e.stub->object ? OdDbLayout::cast(e.stub->object) : nullptr;
    if (l && l->block == block) {
      layout = e.stub;
      return;
    }
  }
  auto* l = new OdDbLayout();
  l->name = name;
  l->tabOrder = tabOrder;
  l->block = block;
  db.add(l, OdDbInternals::stub(layouts), false);
  std::u16string key = name;
  int n = 1;
  while (dictionaryEntry(layouts, key.c_str()))
    key = std::u16string(name) + u"_" + winsim::fromUtf8(std::to_string(n++));
  OdDbInternals::dictAppend(layouts, key.c_str(), OdDbInternals::stub(l));
  layout = OdDbInternals::stub(l);
}

}  // namespace

void addStandardRecordEnds(OdDbDatabaseImpl& db, OdDbBlockTableRecord* block) {
  for (OdDbStub** end : {&OdDbInternals::blockBegin(block), &OdDbInternals::blockEnd(block)}) {
    if (*end) continue;
    OdDbEntity* marker =
        end == &OdDbInternals::blockBegin(block) ? static_cast<OdDbEntity*>(new OdDbBlockBegin()) : new OdDbBlockEnd();
    db.add(marker, OdDbInternals::stub(block), false);
    *end = OdDbInternals::stub(marker);
  }
}

OdDbStub* addStandardRecord(OdDbDatabaseImpl& db, OdDbStub* table, OdDbSymbolTableRecord* record) {
  db.add(record, table, false);
  OdDbInternals::tableInsert(static_cast<OdDbSymbolTable*>(table->object), OdDbInternals::stub(record));
  if (auto* block = OdDbBlockTableRecord::cast(record)) addStandardRecordEnds(db, block);
  return OdDbInternals::stub(record);
}

void ensureStandardTables(OdDbDatabaseImpl& db) {
  using namespace standard;
  ensureObject<OdDbBlockTable>(db, db.blockTable, nullptr);
  ensureObject<OdDbLayerTable>(db, db.layerTable, nullptr);
  ensureObject<OdDbTextStyleTable>(db, db.textStyleTable, nullptr);
  ensureObject<OdDbLinetypeTable>(db, db.linetypeTable, nullptr);
  ensureObject<OdDbViewTable>(db, db.viewTable, nullptr);
  ensureObject<OdDbUCSTable>(db, db.ucsTable, nullptr);
  ensureObject<OdDbViewportTable>(db, db.viewportTable, nullptr);
  ensureObject<OdDbRegAppTable>(db, db.regAppTable, nullptr);
  ensureObject<OdDbDimStyleTable>(db, db.dimStyleTable, nullptr);

  db.byBlock = ensureRecord<OdDbLinetypeTableRecord>(db, db.linetypeTable, kByBlock, [](auto&) {});
  db.byLayer = ensureRecord<OdDbLinetypeTableRecord>(db, db.linetypeTable, kByLayer, [](auto&) {});
  db.continuous = ensureRecord<OdDbLinetypeTableRecord>(db, db.linetypeTable, kContinuous,
                                                        [](auto& r) { r.setComments(u"Solid line"); });
  OdDbStub* continuous = db.continuous;
  db.layer0 = ensureRecord<OdDbLayerTableRecord>(
      db, db.layerTable, kLayer0, [&](OdDbLayerTableRecord& r) { OdDbInternals::layerLinetype(&r) = continuous; });
  db.standardStyle =
      ensureRecord<OdDbTextStyleTableRecord>(db, db.textStyleTable, kStandard, [](auto& r) { r.setFileName(u"txt"); });
  OdDbStub* style = db.standardStyle;
  db.standardDimStyle = ensureRecord<OdDbDimStyleTableRecord>(db, db.dimStyleTable, kStandard, [&](auto& r) {
    OdDbDimVars vars;
    vars.dimtxsty = OdDbObjectId(style);
    r.setDimVars(vars);
  });
  ensureRecord<OdDbRegAppTableRecord>(db, db.regAppTable, kAcad, [](auto&) {});
  ensureRecord<OdDbViewportTableRecord>(db, db.viewportTable, kActive, [](OdDbViewportTableRecord& r) {
    r.setCenterPoint(OdGePoint2d(210, 148.5));
    r.setHeight(297);
    r.setWidth(420);
  });

  db.modelSpace = ensureRecord<OdDbBlockTableRecord>(db, db.blockTable, kModelSpace, [](auto&) {});
  db.paperSpace = ensureRecord<OdDbBlockTableRecord>(db, db.blockTable, kPaperSpace, [](auto&) {});
}

void ensureStandardContents(OdDbDatabaseImpl& db) {
  using namespace standard;
  ensureStandardTables(db);

  ensureObject<OdDbDictionary>(db, db.namedObjects, nullptr);
  auto* nod = static_cast<OdDbDictionary*>(db.namedObjects->object);
  ensureDictionary(db, nod, kGroupDictionary);
  auto* layouts = static_cast<OdDbDictionary*>(ensureDictionary(db, nod, kLayoutDictionary)->object);
  ensureLayout(db, layouts, db.modelSpace, u"Model", 0);
  ensureLayout(db, layouts, db.paperSpace, u"Layout1", 1);

  if (!db.paperViewport || !db.paperViewport->object || db.paperViewport->object->isErased()) {
    db.paperViewport = nullptr;
    auto* paper = static_cast<OdDbBlockTableRecord*>(db.paperSpace->object);
    for (OdDbStub* s : OdDbInternals::blockEntities(paper)) {
      auto* v = s->object ? OdDbViewport::cast(s->object) : nullptr;
      if (v && !v->isErased() && (!db.paperViewport || v->number() == 1)) db.paperViewport = s;
    }
    if (!db.paperViewport) {
      auto* v = new OdDbViewport();
      v->setCenterPoint(OdGePoint3d(210, 148.5, 0));
      v->setWidth(420);
      v->setHeight(297);
      v->setViewCenter(OdGePoint2d(210, 148.5));
      v->setViewHeight(297);
      OdDbInternals::layer(v) = db.layer0;
      OdDbInternals::linetype(v) = db.byLayer;
      db.add(v, db.paperSpace, false);
      OdDbInternals::blockEntities(paper).push_back(OdDbInternals::stub(v));
      db.paperViewport = OdDbInternals::stub(v);
    }
    OdDbInternals::viewportNumber(static_cast<OdDbViewport*>(db.paperViewport->object)) = 1;
  }

  auto live = [](OdDbStub* s) { return s && s->object && !s->object->isErased(); };
  OdDbHeader& h = db.header;
  if (!live(h.clayer)) h.clayer = db.layer0;
  if (!live(h.celtype)) h.celtype = db.byLayer;
  if (!live(h.textstyle)) h.textstyle = db.standardStyle;
  if (!live(h.dimstyle)) h.dimstyle = db.standardDimStyle;
  if (!live(h.dimvars.dimtxsty.stub())) h.dimvars.dimtxsty = OdDbObjectId(db.standardStyle);
}

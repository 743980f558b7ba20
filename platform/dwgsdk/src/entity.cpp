// OdDbEntity: common properties, database defaults, sub-objects and the
// references an object makes.
#include "internals.h"
#include "standard.h"

ODDB_DEFINE_MEMBERS(OdDbEntity, OdDbObject, u"AcDbEntity", nullptr)
ODDB_DEFINE_MEMBERS(OdDbCurve, OdDbEntity, u"AcDbCurve", nullptr)
ODDB_DEFINE_MEMBERS(OdDbBlockBegin, OdDbEntity, u"AcDbBlockBegin", u"BLOCK")
ODDB_DEFINE_MEMBERS(OdDbBlockEnd, OdDbEntity, u"AcDbBlockEnd", u"ENDBLK")
ODDB_DEFINE_MEMBERS(OdDbSequenceEnd, OdDbEntity, u"AcDbSequenceEnd", u"SEQEND")
ODDB_DEFINE_MEMBERS(OdDbLayout, OdDbObject, u"AcDbLayout", u"LAYOUT")
ODDB_DEFINE_MEMBERS(OdDbOpaqueObject, OdDbObject, u"AcDbOpaqueObject", nullptr)
ODDB_DEFINE_MEMBERS(OdDbOpaqueEntity, OdDbEntity, u"AcDbOpaqueEntity", nullptr)

OdDbEntity::OdDbEntity() = default;
OdDbEntity::~OdDbEntity() = default;
OdDbEntity::OdDbEntity(const OdDbEntity& other) = default;

OdDbCurve::OdDbCurve() = default;
bool OdDbCurve::isClosed() const { return false; }

OdDbObjectId OdDbEntity::blockId() const { return ownerId(); }

static OdDbDatabaseImpl* databaseFor(const OdDbEntity* e) {
  if (OdDbDatabaseImpl* db = OdDbInternals::impl(e)) return db;
  OdDbDatabase* working = workingDatabaseOrNull();
  return working ? working->impl() : nullptr;
}

void OdDbEntity::forEachSubEntity(const std::function<void(OdDbEntity&)>&) {}

OdResult OdDbEntity::applyProperty(bool doSubents, const std::function<void(OdDbEntity&)>& change) {
  ODDB_ASSERT_WRITE();
  change(*this);
  if (doSubents) forEachSubEntity(change);
  return eOk;
}

/// A record of `table` named by an id, checked against the entity's database.
static OdResult checkEntityRecord(const OdDbEntity* e, const OdDbObjectId& id, const OdRxClass* cls) {
  OdDbStub* s = id.stub();
  if (!s) return eNullObjectId;
  if (OdDbDatabaseImpl* db = OdDbInternals::impl(e); db && s->database != db) return eWrongDatabase;
  if (!s->object || !s->object->isKindOf(cls)) return eNotThatKindOfClass;
  if (s->object->isErased()) return eWasErased;
  return eOk;
}

OdString OdDbEntity::layer() const {
  return m_layer && m_layer->object ? OdDbInternals::recordName(static_cast<OdDbSymbolTableRecord*>(m_layer->object))
                                    : OdString();
}
OdDbObjectId OdDbEntity::layerId() const { return OdDbObjectId(m_layer); }

OdResult OdDbEntity::setLayer(const OdString& name, bool doSubents) {
  ODDB_ASSERT_WRITE();
  OdDbDatabaseImpl* db = databaseFor(this);
  if (!db || !db->layerTable) return eNoDatabase;
  OdDbStub* s = OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(db->layerTable->object), name.view());
  if (!s) return eKeyNotFound;
  return applyProperty(doSubents, [s](OdDbEntity& e) { e.m_layer = s; });
}

OdResult OdDbEntity::setLayer(OdDbObjectId id, bool doSubents) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkEntityRecord(this, id, OdDbLayerTableRecord::desc()); r != eOk) return r;
  OdDbStub* s = id.stub();
  return applyProperty(doSubents, [s](OdDbEntity& e) { e.m_layer = s; });
}

OdString OdDbEntity::linetype() const {
  return m_linetype && m_linetype->object
             ? OdDbInternals::recordName(static_cast<OdDbSymbolTableRecord*>(m_linetype->object))
             : OdString();
}
OdDbObjectId OdDbEntity::linetypeId() const { return OdDbObjectId(m_linetype); }

OdResult OdDbEntity::setLinetype(const OdString& name, bool doSubents) {
  ODDB_ASSERT_WRITE();
  OdDbDatabaseImpl* db = databaseFor(this);
  if (!db || !db->linetypeTable) return eNoDatabase;
  OdDbStub* s = OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(db->linetypeTable->object), name.view());
  if (!s) return eKeyNotFound;
  return applyProperty(doSubents, [s](OdDbEntity& e) { e.m_linetype = s; });
}

OdResult OdDbEntity::setLinetype(OdDbObjectId id, bool doSubents) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkEntityRecord(this, id, OdDbLinetypeTableRecord::desc()); r != eOk) return r;
  OdDbStub* s = id.stub();
  return applyProperty(doSubents, [s](OdDbEntity& e) { e.m_linetype = s; });
}

OdUInt16 OdDbEntity::colorIndex() const { return m_color; }
OdResult OdDbEntity::setColorIndex(OdUInt16 color, bool doSubents) {
  if (color > 256) return eInvalidInput;
  return applyProperty(doSubents, [color](OdDbEntity& e) { e.m_color = color; });
}

double OdDbEntity::linetypeScale() const { return m_linetypeScale; }
OdResult OdDbEntity::setLinetypeScale(double scale, bool doSubents) {
  if (!std::isfinite(scale) || scale <= 0) return eInvalidInput;
  return applyProperty(doSubents, [scale](OdDbEntity& e) { e.m_linetypeScale = scale; });
}

OdDb::Visibility OdDbEntity::visibility() const { return static_cast<OdDb::Visibility>(m_visibility); }
OdResult OdDbEntity::setVisibility(OdDb::Visibility visibility, bool doSubents) {
  OdUInt8 v = visibility == OdDb::kInvisible ? 1 : 0;
  return applyProperty(doSubents, [v](OdDbEntity& e) { e.m_visibility = v; });
}

OdResult OdDbEntity::setPropertiesFrom(const OdDbEntity* other, bool doSubents) {
  if (!other) return eNullObjectPointer;
  ODDB_ASSERT_WRITE();
  OdDbDatabaseImpl* mine = OdDbInternals::impl(this);
  for (OdDbStub* s : {other->m_layer, other->m_linetype})
    if (mine && s && s->database != mine) return eWrongDatabase;
  OdDbStub* layer = other->m_layer;
  OdDbStub* linetype = other->m_linetype;
  OdUInt16 color = other->m_color;
  double scale = other->m_linetypeScale;
  OdUInt8 visibility = other->m_visibility;
  return applyProperty(doSubents, [=](OdDbEntity& e) {
    e.m_layer = layer;
    e.m_linetype = linetype;
    e.m_color = color;
    e.m_linetypeScale = scale;
    e.m_visibility = visibility;
  });
}

OdResult OdDbEntity::setDatabaseDefaults(OdDbDatabase* database, bool doSubents) {
  ODDB_ASSERT_WRITE();
  OdDbDatabaseImpl* db = database ? database->impl() : databaseFor(this);
  if (!db) return eNoDatabase;
  if (OdDbDatabaseImpl* mine = OdDbInternals::impl(this); mine && mine != db) return eWrongDatabase;
  OdDbStub* layer = db->header.clayer;
  OdDbStub* linetype = db->header.celtype;
  double scale = db->header.celtscale;
  auto apply = [=](OdDbEntity& e) {
    e.m_layer = layer;
    e.m_linetype = linetype;
    e.m_linetypeScale = scale;
    e.m_color = 256;
    e.m_visibility = 0;
  };
  apply(*this);
  subSetDatabaseDefaults(db->owner, doSubents);
  if (doSubents) forEachSubEntity(apply);
  return eOk;
}

void OdDbEntity::subSetDatabaseDefaults(OdDbDatabase*, bool) {}

OdResult OdDbEntity::transformBy(const OdGeMatrix3d&) { return eNotApplicable; }
OdResult OdDbEntity::getGeomExtents(OdGeExtents3d&) const { return eInvalidExtents; }

// Sub-objects.
OdDbSubObjects::OdDbSubObjects(const OdDbSubObjects& other) {
  other.forEach([&](OdDbEntity& e) {
    if (e.isErased()) return;
    pending.emplace_back(static_cast<OdDbEntity*>(e.clone()));
  });
}

std::vector<OdDbObjectIterator::Item> OdDbSubObjects::items() const {
  std::vector<OdDbObjectIterator::Item> result;
  result.reserve(size());
  for (OdDbStub* s : stubs) result.push_back({s, s->object ? static_cast<OdDbEntity*>(s->object) : nullptr});
  for (auto& p : pending) result.push_back({nullptr, p.get()});
  return result;
}

OdDbSubObjects* OdDbInternals::subObjects(const OdDbObject* o) {
  // The common simple entities answer at once.
  const OdRxClass* cls = o->isA();
  if (cls == OdDbLine::desc() || cls == OdDbText::desc() || cls == OdDbCircle::desc()) return nullptr;
  if (auto* c = OdDbComplexEntity::cast(o)) return c->m_subs.get();
  if (auto* r = OdDbBlockReference::cast(o)) return r->m_attributes.get();
  return nullptr;
}

OdDbObjectIterator::OdDbObjectIterator(std::vector<Item> items) : m_items(std::move(items)) { start(); }
OdDbObjectIterator::~OdDbObjectIterator() = default;

void OdDbObjectIterator::skip(bool backwards, bool skipErased) {
  auto n = static_cast<std::ptrdiff_t>(m_items.size());
  while (m_index >= 0 && m_index < n) {
    const Item& item = m_items[static_cast<std::size_t>(m_index)];
    OdDbEntity* e = item.stub ? static_cast<OdDbEntity*>(item.stub->object) : item.object;
    if (e && !(skipErased && e->isErased())) return;
    m_index += backwards ? -1 : 1;
  }
}

void OdDbObjectIterator::start(bool atBeginning, bool skipErased) {
  m_index = atBeginning ? 0 : static_cast<std::ptrdiff_t>(m_items.size()) - 1;
  skip(!atBeginning, skipErased);
}

bool OdDbObjectIterator::done() const { return m_index < 0 || m_index >= static_cast<std::ptrdiff_t>(m_items.size()); }

void OdDbObjectIterator::step(bool backwards, bool skipErased) {
  if (done()) return;
  m_index += backwards ? -1 : 1;
  skip(backwards, skipErased);
}

OdDbObjectId OdDbObjectIterator::objectId() const {
  return done() ? OdDbObjectId() : OdDbObjectId(m_items[static_cast<std::size_t>(m_index)].stub);
}

OdDbEntity* OdDbObjectIterator::entity() const {
  if (done()) return nullptr;
  const Item& item = m_items[static_cast<std::size_t>(m_index)];
  return item.stub ? nullptr : item.object;
}

void OdDbInternals::forEachReference(OdDbObject* o, const std::function<void(OdDbStub*&)>& visit) {
  if (auto* e = OdDbEntity::cast(o)) {
    visit(e->m_layer);
    visit(e->m_linetype);
    if (auto* t = OdDbText::cast(o)) visit(t->m_style);
    if (auto* t = OdDbMText::cast(o)) visit(t->m_style);
    if (auto* r = OdDbBlockReference::cast(o)) visit(r->m_block);
    if (auto* d = OdDbDimension::cast(o)) {
      visit(d->m_style);
      visit(d->m_block);
    }
    if (OdDbSubObjects* subs = subObjects(o))
      subs->forEach([&](OdDbEntity& child) { forEachReference(&child, visit); });
  } else if (auto* l = OdDbLayerTableRecord::cast(o)) {
    visit(l->m_linetype);
  } else if (auto* d = OdDbDimStyleTableRecord::cast(o)) {
    OdDbStub* s = d->m_vars.dimtxsty.stub();
    visit(s);
    d->m_vars.dimtxsty = OdDbObjectId(s);
  } else if (auto* lt = OdDbLinetypeTableRecord::cast(o)) {
    for (int i = 0; i < lt->numDashes(); ++i) {
      OdDbStub* s = lt->shapeStyleAt(i).stub();
      OdDbStub* before = s;
      visit(s);
      if (s != before) setDashStyle(lt, i, s);
    }
  } else if (auto* layout = OdDbLayout::cast(o)) {
    visit(layout->block);
  }
}

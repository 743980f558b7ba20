// Block references and their attributes.
#include "geometry.h"
#include "internals.h"

ODDB_DEFINE_MEMBERS(OdDbBlockReference, OdDbEntity, u"AcDbBlockReference", u"INSERT")

OdDbBlockReference::OdDbBlockReference() = default;
OdDbBlockReference::OdDbBlockReference(const OdGePoint3d& position, OdDbObjectId blockTableRecord)
    : m_block(blockTableRecord.stub()), m_position(position) {}
OdDbBlockReference::~OdDbBlockReference() = default;
OdDbBlockReference::OdDbBlockReference(const OdDbBlockReference& other)
    : OdDbEntity(other),
      m_block(other.m_block),
      m_position(other.m_position),
      m_scale(other.m_scale),
      m_normal(other.m_normal),
      m_rotation(other.m_rotation),
      m_attributes(other.m_attributes ? std::make_unique<OdDbSubObjects>(*other.m_attributes) : nullptr) {}

OdDbObjectId OdDbBlockReference::blockTableRecord() const { return OdDbObjectId(m_block); }

OdResult OdDbBlockReference::setBlockTableRecord(OdDbObjectId blockId) {
  ODDB_ASSERT_WRITE();
  OdDbStub* s = blockId.stub();
  if (!s) return eNullObjectId;
  OdDbStub* self = OdDbInternals::stub(this);
  if (self && s->database != self->database) return eWrongDatabase;
  if (!s->object || !OdDbBlockTableRecord::cast(s->object)) return eNotThatKindOfClass;
  auto* block = static_cast<OdDbBlockTableRecord*>(s->object);
  if (block->isLayout()) return eInvalidInput;
  if (self && OdDbInternals::owner(this) && OdDbInternals::blockReaches(block, OdDbInternals::owner(this)))
    return eSelfReference;
  m_block = s;
  return eOk;
}

OdResult OdDbBlockReference::setPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_position = position;
  return eOk;
}

OdResult OdDbBlockReference::setRotation(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_rotation = angle;
  return eOk;
}

OdResult OdDbBlockReference::setScaleFactors(const OdGeScale3d& scale) {
  ODDB_ASSERT_WRITE();
  for (double f : {scale.sx, scale.sy, scale.sz})
    if (!std::isfinite(f) || f == 0) return eInvalidInput;
  m_scale = scale;
  return eOk;
}

OdResult OdDbBlockReference::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}

OdGeMatrix3d OdDbBlockReference::blockTransform() const {
  OdGePoint3d origin;
  if (m_block && m_block->object) origin = static_cast<OdDbBlockTableRecord*>(m_block->object)->origin();
  OdGeMatrix3d scale;
  scale.entry[0][0] = m_scale.sx;
  scale.entry[1][1] = m_scale.sy;
  scale.entry[2][2] = m_scale.sz;
  return OdGeMatrix3d::translation(m_position.asVector()) * ecsToWcs(m_normal) *
         OdGeMatrix3d::rotation(m_rotation, OdGeVector3d::kZAxis) * scale *
         OdGeMatrix3d::translation(-origin.asVector());
}

OdDbObjectIterator* OdDbBlockReference::attributeIterator() const {
  return new OdDbObjectIterator(m_attributes ? m_attributes->items() : std::vector<OdDbObjectIterator::Item>{});
}

void OdDbBlockReference::forEachSubEntity(const std::function<void(OdDbEntity&)>& visit) {
  if (m_attributes) m_attributes->forEach([&](OdDbEntity& e) { visit(e); });
}

OdResult OdDbBlockReference::appendAttribute(OdDbAttribute* attribute) {
  OdDbObjectId id;
  return appendAttribute(id, attribute);
}

OdResult OdDbBlockReference::appendAttribute(OdDbObjectId& id, OdDbAttribute* attribute) {
  id = OdDbObjectId::kNull;
  ODDB_ASSERT_WRITE();
  if (!attribute) return eNullObjectPointer;
  if (OdDbInternals::stub(attribute)) return eAlreadyInDb;
  if (!m_attributes) m_attributes = std::make_unique<OdDbSubObjects>();
  if (OdDbStub* self = OdDbInternals::stub(this)) {
    OdDbDatabaseImpl* db = self->database;
    bool foreign = false;
    OdDbInternals::forEachReference(attribute, [&](OdDbStub*& s) {
      if (s && s->database != db) foreign = true;
    });
    if (foreign) return eWrongDatabase;
    if (!OdDbInternals::layer(attribute)) OdDbInternals::layer(attribute) = OdDbInternals::layer(this);
    if (!OdDbInternals::linetype(attribute)) OdDbInternals::linetype(attribute) = OdDbInternals::linetype(this);
    if (OdResult r = db->add(attribute, self, true); r != eOk) return r;
    m_attributes->stubs.push_back(OdDbInternals::stub(attribute));
    if (!m_attributes->seqEnd) {
      auto* end = new OdDbSequenceEnd();
      db->add(end, self, false);
      m_attributes->seqEnd = OdDbInternals::stub(end);
    }
    id = attribute->objectId();
  } else {
    m_attributes->pending.emplace_back(attribute);
  }
  return eOk;
}

namespace {
constexpr int kMaxNesting = 64;

void addEntityExtents(const OdDbEntity& e, const OdGeMatrix3d& xform, OdGeExtents3d& extents, int depth);

void addBlockExtents(const OdDbBlockTableRecord* block, const OdGeMatrix3d& xform, OdGeExtents3d& extents, int depth) {
  if (depth > kMaxNesting) return;
  for (OdDbStub* s : OdDbInternals::blockEntities(block)) {
    auto* e = s->object ? static_cast<OdDbEntity*>(s->object) : nullptr;
    if (!e || e->isErased()) continue;
    // Attribute definitions show in a reference only when constant.
    if (auto* def = OdDbAttributeDefinition::cast(e); def && !def->isConstant()) continue;
    addEntityExtents(*e, xform, extents, depth);
  }
}

void addEntityExtents(const OdDbEntity& e, const OdGeMatrix3d& xform, OdGeExtents3d& extents, int depth) {
  OdGeExtents3d part;
  if (auto* ref = OdDbBlockReference::cast(&e)) {
    if (ref->geomExtentsBestFit(part, xform) == eOk) extents.addExt(part);
    (void)depth;
    return;
  }
  if (xform == OdGeMatrix3d::kIdentity) {
    if (e.getGeomExtents(part) == eOk) extents.addExt(part);
    return;
  }
  // The geometry carried through the transform is tighter than its box.
  std::unique_ptr<OdDbEntity> copy(static_cast<OdDbEntity*>(e.clone()));
  if (copy && copy->transformBy(xform) == eOk && copy->getGeomExtents(part) == eOk) {
    extents.addExt(part);
  } else if (e.getGeomExtents(part) == eOk) {
    extents.addExt(part.transformBy(xform));
  }
}

thread_local int tNesting = 0;
}  // namespace

OdResult OdDbBlockReference::geomExtentsBestFit(OdGeExtents3d& extents, const OdGeMatrix3d& parentTransform) const {
  extents = OdGeExtents3d();
  if (!m_block || !m_block->object) return eInvalidExtents;
  if (tNesting > kMaxNesting) return eInvalidExtents;
  ++tNesting;
  addBlockExtents(static_cast<OdDbBlockTableRecord*>(m_block->object), parentTransform * blockTransform(), extents,
                  tNesting);
  --tNesting;
  if (m_attributes)
    m_attributes->forEach([&](OdDbEntity& a) {
      if (!a.isErased()) addEntityExtents(a, parentTransform, extents, 0);
    });
  return extents.isValidExtents() ? eOk : eInvalidExtents;
}

OdResult OdDbBlockReference::getGeomExtents(OdGeExtents3d& extents) const {
  return geomExtentsBestFit(extents, OdGeMatrix3d::kIdentity);
}

OdResult OdDbBlockReference::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  OdGeMatrix3d placed = xform * OdGeMatrix3d::translation(m_position.asVector()) * ecsToWcs(m_normal) *
                        OdGeMatrix3d::rotation(m_rotation, OdGeVector3d::kZAxis);
  OdGeVector3d cx = placed.getCsXAxis() * m_scale.sx, cy = placed.getCsYAxis() * m_scale.sy,
               cz = placed.getCsZAxis() * m_scale.sz;
  if (cx.isZeroLength() || cy.isZeroLength() || cz.isZeroLength()) return eNotApplicable;
  if (std::fabs(cx.normal().dotProduct(cy.normal())) > 1e-9) return eNotApplicable;  // a skew cannot be inserted
  OdGeVector3d normal = cx.crossProduct(cy).normal();
  double sz = cz.dotProduct(normal);
  if (std::fabs(std::fabs(sz) - cz.length()) > 1e-9 * cz.length()) return eNotApplicable;
  OdGeMatrix3d toEcsMatrix = ecsToWcs(normal).transpose();
  OdGeVector3d ex = toEcsMatrix * cx;
  double sx = cx.length();
  double rotation = std::atan2(ex.y, ex.x);
  OdGeVector3d yDir = normal.crossProduct(cx.normal());
  double sy = cy.dotProduct(yDir);
  if (m_attributes) {
    OdResult failed = eOk;
    m_attributes->forEach([&](OdDbEntity& a) {
      if (OdResult r = OdDbInternals::asWritable(&a, [&] { return a.transformBy(xform); }); r != eOk) failed = r;
    });
    if (failed != eOk) return failed;
  }
  m_position = xform * m_position;
  m_normal = normal;
  m_rotation = normalizeAngle(rotation);
  m_scale = OdGeScale3d(sx, sy, sz);
  return eOk;
}

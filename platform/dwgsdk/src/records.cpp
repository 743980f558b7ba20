// The symbol table records.
#include <type_traits>
#include <unordered_set>

#include "internals.h"
#include "standard.h"
#include "winsim/text.h"

ODDB_DEFINE_MEMBERS(OdDbBlockTableRecord, OdDbSymbolTableRecord, u"AcDbBlockTableRecord", u"BLOCK_RECORD")
ODDB_DEFINE_MEMBERS(OdDbLayerTableRecord, OdDbSymbolTableRecord, u"AcDbLayerTableRecord", u"LAYER")
ODDB_DEFINE_MEMBERS(OdDbLinetypeTableRecord, OdDbSymbolTableRecord, u"AcDbLinetypeTableRecord", u"LTYPE")
ODDB_DEFINE_MEMBERS(OdDbTextStyleTableRecord, OdDbSymbolTableRecord, u"AcDbTextStyleTableRecord", u"STYLE")
ODDB_DEFINE_MEMBERS(OdDbDimStyleTableRecord, OdDbSymbolTableRecord, u"AcDbDimStyleTableRecord", u"DIMSTYLE")
ODDB_DEFINE_MEMBERS(OdDbRegAppTableRecord, OdDbSymbolTableRecord, u"AcDbRegAppTableRecord", u"APPID")
ODDB_DEFINE_MEMBERS(OdDbUCSTableRecord, OdDbSymbolTableRecord, u"AcDbUCSTableRecord", u"UCS")
ODDB_DEFINE_MEMBERS(OdDbAbstractViewTableRecord, OdDbSymbolTableRecord, u"AcDbAbstractViewTableRecord", nullptr)
ODDB_DEFINE_MEMBERS(OdDbViewTableRecord, OdDbAbstractViewTableRecord, u"AcDbViewTableRecord", u"VIEW")
ODDB_DEFINE_MEMBERS(OdDbViewportTableRecord, OdDbAbstractViewTableRecord, u"AcDbViewportTableRecord", u"VPORT")

// Block table records.
struct OdDbBlockTableRecord::Contents {
  std::vector<OdDbStub*> entities;
  OdDbStub* begin = nullptr;
  OdDbStub* end = nullptr;
  OdDbStub* layout = nullptr;
};

OdDbBlockTableRecord::OdDbBlockTableRecord() : m_contents(std::make_unique<Contents>()) {}
OdDbBlockTableRecord::~OdDbBlockTableRecord() = default;
// A copy keeps the block's properties; its entities stay with the original.
OdDbBlockTableRecord::OdDbBlockTableRecord(const OdDbBlockTableRecord& other)
    : OdDbSymbolTableRecord(other),
      m_contents(std::make_unique<Contents>()),
      m_pathName(other.m_pathName),
      m_comments(other.m_comments),
      m_origin(other.m_origin),
      m_blockFlags(other.m_blockFlags) {}

std::vector<OdDbStub*>& OdDbInternals::blockEntities(const OdDbBlockTableRecord* b) { return b->m_contents->entities; }
OdDbStub*& OdDbInternals::blockBegin(const OdDbBlockTableRecord* b) { return b->m_contents->begin; }
OdDbStub*& OdDbInternals::blockEnd(const OdDbBlockTableRecord* b) { return b->m_contents->end; }
OdDbStub*& OdDbInternals::blockLayout(const OdDbBlockTableRecord* b) { return b->m_contents->layout; }

static bool reaches(const OdDbBlockTableRecord* block, const OdDbStub* target,
                    std::unordered_set<const OdDbBlockTableRecord*>& seen) {
  if (OdDbInternals::stub(block) == target) return true;
  if (!seen.insert(block).second) return false;
  for (OdDbStub* s : OdDbInternals::blockEntities(block)) {
    auto* ref = s->object ? OdDbBlockReference::cast(s->object) : nullptr;
    if (!ref) continue;
    OdDbStub* b = OdDbInternals::blockOf(ref);
    if (b && b->object && reaches(static_cast<OdDbBlockTableRecord*>(b->object), target, seen)) return true;
  }
  return false;
}

bool OdDbInternals::blockReaches(const OdDbBlockTableRecord* block, const OdDbStub* target, int) {
  std::unordered_set<const OdDbBlockTableRecord*> seen;
  return reaches(block, target, seen);
}

OdResult OdDbBlockTableRecord::appendOdDbEntity(OdDbEntity* entity) {
  OdDbObjectId id;
  return appendOdDbEntity(id, entity);
}

OdResult OdDbBlockTableRecord::appendOdDbEntity(OdDbObjectId& id, OdDbEntity* entity) {
  id = OdDbObjectId::kNull;
  if (!entity) return eNullObjectPointer;
  OdDbStub* self = OdDbInternals::stub(this);
  if (!self) return eNotInDatabase;
  ODDB_ASSERT_WRITE();
  if (OdDbInternals::stub(entity)) return eAlreadyInDb;
  if (OdDbBlockBegin::cast(entity) || OdDbBlockEnd::cast(entity) || OdDbSequenceEnd::cast(entity) ||
      OdDbVertex::cast(entity) || OdDbAttribute::cast(entity))
    return eIllegalEntityType;
  OdDbDatabaseImpl* db = self->database;
  bool foreign = false;
  OdDbInternals::forEachReference(entity, [&](OdDbStub*& s) {
    if (s && s->database != db) foreign = true;
  });
  if (foreign) return eWrongDatabase;
  if (auto* ref = OdDbBlockReference::cast(entity)) {
    OdDbStub* b = OdDbInternals::blockOf(ref);
    if (b && b->object && OdDbInternals::blockReaches(static_cast<OdDbBlockTableRecord*>(b->object), self))
      return eSelfReference;
  }
  OdDbStub* layer = db->header.clayer ? db->header.clayer : db->layer0;
  OdDbStub* linetype = db->header.celtype ? db->header.celtype : db->byLayer;
  auto defaults = [&](OdDbEntity& e, OdDbStub* parentLayer) {
    if (!OdDbInternals::layer(&e)) OdDbInternals::layer(&e) = parentLayer ? parentLayer : layer;
    if (!OdDbInternals::linetype(&e)) OdDbInternals::linetype(&e) = linetype;
  };
  defaults(*entity, nullptr);
  if (OdDbSubObjects* subs = OdDbInternals::subObjects(entity))
    subs->forEach([&](OdDbEntity& e) { defaults(e, OdDbInternals::layer(entity)); });
  if (OdResult r = db->add(entity, self, true); r != eOk) return r;
  m_contents->entities.push_back(OdDbInternals::stub(entity));
  if (auto* dim = OdDbDimension::cast(entity)) OdDbInternals::buildDimBlock(dim);
  id = entity->objectId();
  return eOk;
}

OdResult OdDbBlockTableRecord::newIterator(OdDbBlockTableRecordIterator*& iterator, bool atBeginning,
                                           bool skipDeleted) const {
  iterator = new OdDbBlockTableRecordIterator(this);
  iterator->start(atBeginning, skipDeleted);
  return eOk;
}

OdString OdDbBlockTableRecord::pathName() const { return m_pathName; }
OdResult OdDbBlockTableRecord::pathName(OdString& path) const {
  path = m_pathName;
  return eOk;
}
OdResult OdDbBlockTableRecord::setPathName(const OdString& path) {
  ODDB_ASSERT_WRITE();
  for (char16_t c : path.view())
    if (c < 0x20) return eInvalidInput;
  m_pathName = path;
  return eOk;
}
OdString OdDbBlockTableRecord::comments() const { return m_comments; }
OdResult OdDbBlockTableRecord::setComments(const OdString& text) {
  ODDB_ASSERT_WRITE();
  m_comments = text;
  return eOk;
}
OdGePoint3d OdDbBlockTableRecord::origin() const { return m_origin; }
OdResult OdDbBlockTableRecord::setOrigin(const OdGePoint3d& origin) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(origin);
  m_origin = origin;
  return eOk;
}

bool OdDbBlockTableRecord::isLayout() const {
  std::u16string name = foldName(OdDbInternals::recordName(this).view());
  return name == u"*MODEL_SPACE" || name.rfind(u"*PAPER_SPACE", 0) == 0;
}

bool OdDbBlockTableRecord::isAnonymous() const {
  const OdString& name = OdDbInternals::recordName(this);
  return !name.isEmpty() && name[0] == u'*' && !isLayout();
}

bool OdDbBlockTableRecord::isFromExternalReference() const { return (m_blockFlags & 4) != 0; }

bool OdDbBlockTableRecord::hasAttributeDefinitions() const {
  for (OdDbStub* s : m_contents->entities)
    if (s->object && !s->object->isErased() && OdDbAttributeDefinition::cast(s->object)) return true;
  return false;
}

OdDbBlockTableRecordIterator::OdDbBlockTableRecordIterator(const OdDbBlockTableRecord* block) : m_block(block) {}
OdDbBlockTableRecordIterator::~OdDbBlockTableRecordIterator() = default;

void OdDbBlockTableRecordIterator::skip(bool forward, bool skipDeleted) {
  const auto& list = m_block->m_contents->entities;
  auto n = static_cast<std::ptrdiff_t>(list.size());
  while (m_index >= 0 && m_index < n) {
    OdDbStub* s = list[static_cast<std::size_t>(m_index)];
    if (s->object && !(skipDeleted && s->object->isErased())) return;
    m_index += forward ? 1 : -1;
  }
}

void OdDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted) {
  m_index = atBeginning ? 0 : static_cast<std::ptrdiff_t>(m_block->m_contents->entities.size()) - 1;
  skip(atBeginning, skipDeleted);
}

bool OdDbBlockTableRecordIterator::done() const {
  return m_index < 0 || m_index >= static_cast<std::ptrdiff_t>(m_block->m_contents->entities.size());
}

void OdDbBlockTableRecordIterator::step(bool forward, bool skipDeleted) {
  if (done()) return;
  m_index += forward ? 1 : -1;
  skip(forward, skipDeleted);
}

OdDbObjectId OdDbBlockTableRecordIterator::getEntityId() const {
  return done() ? OdDbObjectId() : OdDbObjectId(m_block->m_contents->entities[static_cast<std::size_t>(m_index)]);
}

OdResult OdDbBlockTableRecordIterator::getEntityId(OdDbObjectId& id) const {
  id = getEntityId();
  return id.isNull() ? eInvalidIndex : eOk;
}

OdResult OdDbBlockTableRecordIterator::getEntity(OdDbEntity*& entity, OdDb::OpenMode mode, bool openErased) const {
  entity = nullptr;
  if (done()) return eInvalidIndex;
  return oddbOpenObject(entity, getEntityId(), mode, openErased);
}

OdResult OdDbBlockTableRecordIterator::seek(OdDbObjectId id) {
  const auto& list = m_block->m_contents->entities;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == id.stub()) {
      m_index = static_cast<std::ptrdiff_t>(i);
      return eOk;
    }
  }
  return eInvalidInput;
}

// Layers.
OdDbLayerTableRecord::OdDbLayerTableRecord() = default;
bool OdDbLayerTableRecord::isOff() const { return m_off; }
OdResult OdDbLayerTableRecord::setIsOff(bool off) {
  ODDB_ASSERT_WRITE();
  m_off = off;
  return eOk;
}
bool OdDbLayerTableRecord::isFrozen() const { return m_frozen; }
OdResult OdDbLayerTableRecord::setIsFrozen(bool frozen) {
  ODDB_ASSERT_WRITE();
  m_frozen = frozen;
  return eOk;
}
bool OdDbLayerTableRecord::isLocked() const { return m_locked; }
OdResult OdDbLayerTableRecord::setIsLocked(bool locked) {
  ODDB_ASSERT_WRITE();
  m_locked = locked;
  return eOk;
}
bool OdDbLayerTableRecord::VPDFLT() const { return m_vpdflt; }
OdResult OdDbLayerTableRecord::setVPDFLT(bool frozen) {
  ODDB_ASSERT_WRITE();
  m_vpdflt = frozen;
  return eOk;
}
bool OdDbLayerTableRecord::isPlottable() const { return m_plottable; }
OdResult OdDbLayerTableRecord::setIsPlottable(bool plottable) {
  ODDB_ASSERT_WRITE();
  m_plottable = plottable;
  return eOk;
}
OdInt16 OdDbLayerTableRecord::colorIndex() const { return m_color; }
OdResult OdDbLayerTableRecord::setColorIndex(OdInt16 color) {
  ODDB_ASSERT_WRITE();
  if (color < 1 || color > 255) return eInvalidInput;
  m_color = color;
  return eOk;
}
OdDbObjectId OdDbLayerTableRecord::linetypeObjectId() const { return OdDbObjectId(m_linetype); }
OdResult OdDbLayerTableRecord::setLinetypeObjectId(OdDbObjectId id) {
  ODDB_ASSERT_WRITE();
  OdDbStub* s = id.stub();
  if (!s) return eNullObjectId;
  if (OdDbStub* self = OdDbInternals::stub(this); self && s->database != self->database) return eWrongDatabase;
  if (!s->object || !OdDbLinetypeTableRecord::cast(s->object)) return eNotThatKindOfClass;
  m_linetype = s;
  return eOk;
}

// Linetypes.
struct OdDbLinetypeTableRecord::Dash {
  double length = 0;
  OdString text;
  OdDbStub* style = nullptr;
  double scale = 1, rotation = 0;
  OdGeVector2d offset;
  bool ucsOriented = false;
  bool operator==(const Dash&) const = default;
};

OdDbLinetypeTableRecord::OdDbLinetypeTableRecord() : m_dashes(std::make_unique<OdArray<Dash>>()) {}
OdDbLinetypeTableRecord::~OdDbLinetypeTableRecord() = default;
OdDbLinetypeTableRecord::OdDbLinetypeTableRecord(const OdDbLinetypeTableRecord& other)
    : OdDbSymbolTableRecord(other),
      m_dashes(std::make_unique<OdArray<Dash>>(*other.m_dashes)),
      m_comments(other.m_comments),
      m_patternLength(other.m_patternLength),
      m_scaledToFit(other.m_scaledToFit) {}

void OdDbInternals::setDashStyle(OdDbLinetypeTableRecord* l, int index, OdDbStub* style) {
  (*l->m_dashes)[static_cast<unsigned>(index)].style = style;
}

OdString OdDbLinetypeTableRecord::comments() const { return m_comments; }
OdResult OdDbLinetypeTableRecord::setComments(const OdString& text) {
  ODDB_ASSERT_WRITE();
  m_comments = text;
  return eOk;
}
double OdDbLinetypeTableRecord::patternLength() const { return m_patternLength; }
OdResult OdDbLinetypeTableRecord::setPatternLength(double length) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(length);
  if (length < 0) return eInvalidInput;
  m_patternLength = length;
  return eOk;
}
bool OdDbLinetypeTableRecord::isScaledToFit() const { return m_scaledToFit; }
OdResult OdDbLinetypeTableRecord::setIsScaledToFit(bool scaledToFit) {
  ODDB_ASSERT_WRITE();
  m_scaledToFit = scaledToFit;
  return eOk;
}
int OdDbLinetypeTableRecord::numDashes() const { return static_cast<int>(m_dashes->size()); }
OdResult OdDbLinetypeTableRecord::setNumDashes(int count) {
  ODDB_ASSERT_WRITE();
  // A pattern line of a .lin file holds at most a few dozen dashes.
  if (count < 0 || count > 1024) return eInvalidInput;
  m_dashes->resize(static_cast<unsigned>(count));
  return eOk;
}

#define DASH_AT(index)                              \
  if (index < 0 || index >= numDashes()) return {}; \
  const Dash& dash = (*m_dashes)[static_cast<unsigned>(index)]
#define DASH_FOR_WRITE(index)                                  \
  ODDB_ASSERT_WRITE();                                         \
  if (index < 0 || index >= numDashes()) return eInvalidIndex; \
  Dash& dash = (*m_dashes)[static_cast<unsigned>(index)]

double OdDbLinetypeTableRecord::dashLengthAt(int index) const {
  DASH_AT(index);
  return dash.length;
}
OdResult OdDbLinetypeTableRecord::setDashLengthAt(int index, double length) {
  DASH_FOR_WRITE(index);
  ODDB_CHECK_FINITE(length);
  dash.length = length;
  return eOk;
}
OdString OdDbLinetypeTableRecord::textAt(int index) const {
  DASH_AT(index);
  return dash.text;
}
OdResult OdDbLinetypeTableRecord::setTextAt(int index, const OdString& text) {
  DASH_FOR_WRITE(index);
  dash.text = text;
  return eOk;
}
OdDbObjectId OdDbLinetypeTableRecord::shapeStyleAt(int index) const {
  DASH_AT(index);
  return OdDbObjectId(dash.style);
}
OdResult OdDbLinetypeTableRecord::setShapeStyleAt(int index, OdDbObjectId styleId) {
  DASH_FOR_WRITE(index);
  if (OdResult r = checkDimVar(OdDbInternals::impl(this), styleId); r != eOk) return r;
  dash.style = styleId.stub();
  return eOk;
}
double OdDbLinetypeTableRecord::shapeScaleAt(int index) const {
  DASH_AT(index);
  return dash.scale;
}
OdResult OdDbLinetypeTableRecord::setShapeScaleAt(int index, double scale) {
  DASH_FOR_WRITE(index);
  ODDB_CHECK_FINITE(scale);
  dash.scale = scale;
  return eOk;
}
double OdDbLinetypeTableRecord::shapeRotationAt(int index) const {
  DASH_AT(index);
  return dash.rotation;
}
OdResult OdDbLinetypeTableRecord::setShapeRotationAt(int index, double rotation) {
  DASH_FOR_WRITE(index);
  ODDB_CHECK_FINITE(rotation);
  dash.rotation = rotation;
  return eOk;
}
OdGeVector2d OdDbLinetypeTableRecord::shapeOffsetAt(int index) const {
  DASH_AT(index);
  return dash.offset;
}
OdResult OdDbLinetypeTableRecord::setShapeOffsetAt(int index, const OdGeVector2d& offset) {
  DASH_FOR_WRITE(index);
  if (!std::isfinite(offset.x) || !std::isfinite(offset.y)) return eInvalidInput;
  dash.offset = offset;
  return eOk;
}
bool OdDbLinetypeTableRecord::shapeIsUcsOrientedAt(int index) const {
  DASH_AT(index);
  return dash.ucsOriented;
}
OdResult OdDbLinetypeTableRecord::setShapeIsUcsOrientedAt(int index, bool ucsOriented) {
  DASH_FOR_WRITE(index);
  dash.ucsOriented = ucsOriented;
  return eOk;
}

// Text styles.
OdDbTextStyleTableRecord::OdDbTextStyleTableRecord() = default;
bool OdDbTextStyleTableRecord::isShapeFile() const { return m_shapeFile; }
OdResult OdDbTextStyleTableRecord::setIsShapeFile(bool shapeFile) {
  ODDB_ASSERT_WRITE();
  m_shapeFile = shapeFile;
  return eOk;
}
bool OdDbTextStyleTableRecord::isVertical() const { return m_vertical; }
OdResult OdDbTextStyleTableRecord::setIsVertical(bool vertical) {
  ODDB_ASSERT_WRITE();
  m_vertical = vertical;
  return eOk;
}
OdString OdDbTextStyleTableRecord::fileName() const { return m_fileName; }
OdResult OdDbTextStyleTableRecord::setFileName(const OdString& file) {
  ODDB_ASSERT_WRITE();
  m_fileName = file;
  return eOk;
}
OdString OdDbTextStyleTableRecord::bigFontFileName() const { return m_bigFontFileName; }
OdResult OdDbTextStyleTableRecord::setBigFontFileName(const OdString& file) {
  ODDB_ASSERT_WRITE();
  m_bigFontFileName = file;
  return eOk;
}
double OdDbTextStyleTableRecord::obliquingAngle() const { return m_oblique; }
OdResult OdDbTextStyleTableRecord::setObliquingAngle(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_oblique = angle;
  return eOk;
}
double OdDbTextStyleTableRecord::textSize() const { return m_textSize; }
OdResult OdDbTextStyleTableRecord::setTextSize(double size) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(size);
  if (size < 0) return eInvalidInput;
  m_textSize = size;
  return eOk;
}
double OdDbTextStyleTableRecord::xScale() const { return m_xScale; }
OdResult OdDbTextStyleTableRecord::setXScale(double factor) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(factor);
  if (factor <= 0) return eInvalidInput;
  m_xScale = factor;
  return eOk;
}
OdUInt8 OdDbTextStyleTableRecord::flagBits() const { return m_flagBits; }
OdResult OdDbTextStyleTableRecord::setFlagBits(OdUInt8 flags) {
  ODDB_ASSERT_WRITE();
  m_flagBits = flags & 6;
  return eOk;
}
double OdDbTextStyleTableRecord::priorSize() const { return m_priorSize; }
OdResult OdDbTextStyleTableRecord::setPriorSize(double size) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(size);
  m_priorSize = size;
  return eOk;
}

// Dimension styles.
OdDbDimStyleTableRecord::OdDbDimStyleTableRecord() = default;

OdResult OdDbDimStyleTableRecord::setDimVars(const OdDbDimVars& vars) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkDimVar(OdDbInternals::impl(this), vars.dimtxsty); r != eOk) return r;
  m_vars = vars;
  return eOk;
}

#define ODDB_RECORD_DIMVAR(Suffix, name, type, code, value)                              \
  type OdDbDimStyleTableRecord::name() const { return m_vars.name; }                     \
  OdResult OdDbDimStyleTableRecord::set##Suffix(type value_) {                           \
    ODDB_ASSERT_WRITE();                                                                 \
    if (OdResult r = checkDimVar(OdDbInternals::impl(this), value_); r != eOk) return r; \
    m_vars.name = value_;                                                                \
    return eOk;                                                                          \
  }
ODDB_DIMVARS(ODDB_RECORD_DIMVAR)
#undef ODDB_RECORD_DIMVAR

OdDbRegAppTableRecord::OdDbRegAppTableRecord() = default;

// UCS.
OdDbUCSTableRecord::OdDbUCSTableRecord() = default;
OdGePoint3d OdDbUCSTableRecord::origin() const { return m_origin; }
OdResult OdDbUCSTableRecord::setOrigin(const OdGePoint3d& origin) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(origin);
  m_origin = origin;
  return eOk;
}
OdGeVector3d OdDbUCSTableRecord::xAxis() const { return m_xAxis; }
OdResult OdDbUCSTableRecord::setXAxis(const OdGeVector3d& axis) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(axis);
  m_xAxis = axis;
  return eOk;
}
OdGeVector3d OdDbUCSTableRecord::yAxis() const { return m_yAxis; }
OdResult OdDbUCSTableRecord::setYAxis(const OdGeVector3d& axis) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(axis);
  m_yAxis = axis;
  return eOk;
}

// Views.
OdDbAbstractViewTableRecord::OdDbAbstractViewTableRecord() = default;

#define VIEW_PROPERTY(Type, getter, Setter, member, check)                                 \
  std::remove_cvref_t<Type> OdDbAbstractViewTableRecord::getter() const { return member; } \
  OdResult OdDbAbstractViewTableRecord::Setter(Type value) {                               \
    ODDB_ASSERT_WRITE();                                                                   \
    check;                                                                                 \
    member = value;                                                                        \
    return eOk;                                                                            \
  }
VIEW_PROPERTY(const OdGePoint2d&, centerPoint, setCenterPoint, m_center, ODDB_CHECK_POINT(value))
VIEW_PROPERTY(double, height, setHeight, m_height, ODDB_CHECK_FINITE(value))
VIEW_PROPERTY(double, width, setWidth, m_width, ODDB_CHECK_FINITE(value))
VIEW_PROPERTY(const OdGePoint3d&, target, setTarget, m_target, ODDB_CHECK_POINT(value))
VIEW_PROPERTY(double, lensLength, setLensLength, m_lens, ODDB_CHECK_FINITE(value))
VIEW_PROPERTY(double, viewTwist, setViewTwist, m_twist, ODDB_CHECK_FINITE(value))
VIEW_PROPERTY(bool, perspectiveEnabled, setPerspectiveEnabled, m_perspective, (void)0)
VIEW_PROPERTY(bool, frontClipEnabled, setFrontClipEnabled, m_frontClip, (void)0)
VIEW_PROPERTY(bool, backClipEnabled, setBackClipEnabled, m_backClip, (void)0)
VIEW_PROPERTY(bool, frontClipAtEye, setFrontClipAtEye, m_frontAtEye, (void)0)
VIEW_PROPERTY(double, frontClipDistance, setFrontClipDistance, m_front, ODDB_CHECK_FINITE(value))
VIEW_PROPERTY(double, backClipDistance, setBackClipDistance, m_back, ODDB_CHECK_FINITE(value))
#undef VIEW_PROPERTY

OdGeVector3d OdDbAbstractViewTableRecord::viewDirection() const { return m_direction; }
OdResult OdDbAbstractViewTableRecord::setViewDirection(const OdGeVector3d& direction) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(direction);
  m_direction = direction;
  return eOk;
}

OdDbViewTableRecord::OdDbViewTableRecord() = default;
bool OdDbViewTableRecord::isPaperspaceView() const { return m_paperSpace; }
OdResult OdDbViewTableRecord::setIsPaperspaceView(bool paperSpace) {
  ODDB_ASSERT_WRITE();
  m_paperSpace = paperSpace;
  return eOk;
}

OdDbViewportTableRecord::OdDbViewportTableRecord() = default;
OdGePoint2d OdDbViewportTableRecord::lowerLeftCorner() const { return m_lowerLeft; }
OdResult OdDbViewportTableRecord::setLowerLeftCorner(const OdGePoint2d& corner) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(corner);
  m_lowerLeft = corner;
  return eOk;
}
OdGePoint2d OdDbViewportTableRecord::upperRightCorner() const { return m_upperRight; }
OdResult OdDbViewportTableRecord::setUpperRightCorner(const OdGePoint2d& corner) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(corner);
  m_upperRight = corner;
  return eOk;
}

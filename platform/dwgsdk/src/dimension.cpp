// Dimensions: the measured value, the default text position and the block
// that draws a dimension.
#include <cstdio>

#include "geometry.h"
#include "internals.h"
#include "standard.h"
#include "winsim/text.h"

ODDB_DEFINE_MEMBERS(OdDbDimension, OdDbEntity, u"AcDbDimension", nullptr)
ODDB_DEFINE_MEMBERS(OdDbRotatedDimension, OdDbDimension, u"AcDbRotatedDimension", u"DIMENSION")

struct OdDbDimension::Layout {
  OdGePoint3d textPosition;
  double textRotation = 0;
  std::vector<std::pair<OdGePoint3d, OdGePoint3d>> lines;
};

OdDbDimension::OdDbDimension() = default;
OdDbDimension::~OdDbDimension() = default;
// A copy draws through a block of its own.
OdDbDimension::OdDbDimension(const OdDbDimension& other)
    : OdDbEntity(other),
      m_text(other.m_text),
      m_textPosition(other.m_textPosition),
      m_normal(other.m_normal),
      m_style(other.m_style),
      m_block(nullptr),
      m_textRotation(other.m_textRotation),
      m_defaultTextPosition(other.m_defaultTextPosition),
      m_blockStale(true) {}

OdDbObjectId OdDbDimension::dimensionStyle() const { return OdDbObjectId(m_style); }

OdResult OdDbDimension::setDimensionStyle(OdDbObjectId styleId) {
  ODDB_ASSERT_WRITE();
  OdDbStub* s = styleId.stub();
  if (s) {
    if (OdDbDatabaseImpl* db = OdDbInternals::impl(this); db && s->database != db) return eWrongDatabase;
    if (!s->object || !OdDbDimStyleTableRecord::cast(s->object)) return eNotThatKindOfClass;
  }
  m_style = s;
  m_blockStale = true;
  return eOk;
}

OdResult OdDbDimension::setDimensionText(const OdString& text) {
  ODDB_ASSERT_WRITE();
  m_text = text;
  m_blockStale = true;
  return eOk;
}

OdResult OdDbDimension::setTextPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_textPosition = position;
  m_defaultTextPosition = false;
  m_blockStale = true;
  return eOk;
}

OdResult OdDbDimension::useDefaultTextPosition() {
  ODDB_ASSERT_WRITE();
  m_defaultTextPosition = true;
  m_blockStale = true;
  return recomputeDimBlock(false);
}

OdResult OdDbDimension::setTextRotation(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_textRotation = angle;
  m_blockStale = true;
  return eOk;
}

OdResult OdDbDimension::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  m_blockStale = true;
  return eOk;
}

OdDbObjectId OdDbDimension::dimBlockId() const { return OdDbObjectId(m_block); }

OdResult OdDbDimension::measurement(double& value) const {
  value = 0;
  return eNotApplicable;
}

OdResult OdDbDimension::computeLayout(const OdDbDimVars&, Layout&) const { return eNotApplicable; }

OdDbDimVars OdDbDimension::styleVars() const {
  if (m_style && m_style->object) return static_cast<OdDbDimStyleTableRecord*>(m_style->object)->dimVars();
  OdDbDatabaseImpl* db = OdDbInternals::impl(this);
  if (!db && workingDatabaseOrNull()) db = workingDatabaseOrNull()->impl();
  return db ? db->header.dimvars : OdDbDimVars{};
}

void OdDbDimension::subSetDatabaseDefaults(OdDbDatabase* database, bool) {
  m_style = database->impl()->header.dimstyle;
  m_blockStale = true;
}

OdResult OdDbDimension::recomputeDimBlock(bool) {
  ODDB_ASSERT_WRITE();
  Layout layout;
  if (OdResult r = computeLayout(styleVars(), layout); r != eOk) return r;
  if (m_defaultTextPosition) m_textPosition = layout.textPosition;
  m_blockStale = true;
  if (OdDbInternals::stub(this)) return OdDbInternals::buildDimBlock(this);
  return eOk;
}

/// The dimension's text: the measurement as the style formats it, in the
/// place of "<>" in an override.
static OdString dimensionString(const OdString& override, double value, const OdDbDimVars& v) {
  double shown = value * v.dimlfac;
  if (v.dimrnd > 0) shown = std::round(shown / v.dimrnd) * v.dimrnd;
  int decimals = std::clamp<int>(v.dimdec, 0, 8);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, shown);
  std::string number = buffer;
  if ((v.dimzin & 8) && number.find('.') != std::string::npos) {
    while (!number.empty() && number.back() == '0') number.pop_back();
    if (!number.empty() && number.back() == '.') number.pop_back();
  }
  std::u16string measured = winsim::fromUtf8(number);
  std::u16string post = v.dimpost.str();
  if (post.empty()) {
    post = measured;
  } else if (auto at = post.find(u"<>"); at != std::u16string::npos) {
    post.replace(at, 2, measured);
  } else {
    post = measured + post;
  }
  if (override.isEmpty()) return OdString(post);
  std::u16string text = override.str();
  if (auto at = text.find(u"<>"); at != std::u16string::npos) text.replace(at, 2, post);
  return OdString(text);
}

OdResult OdDbInternals::buildDimBlock(OdDbDimension* d) {
  OdDbStub* self = d->m_stub;
  if (!self) return eNotInDatabase;
  OdDbDatabaseImpl* db = self->database;
  OdDbDimVars vars = d->styleVars();
  OdDbDimension::Layout layout;
  if (OdResult r = d->computeLayout(vars, layout); r != eOk) return r;
  if (d->m_defaultTextPosition) d->m_textPosition = layout.textPosition;
  auto* blocks = static_cast<OdDbBlockTable*>(db->blockTable->object);
  OdDbBlockTableRecord* block =
      d->m_block && d->m_block->object ? OdDbBlockTableRecord::cast(d->m_block->object) : nullptr;
  if (!block) {
    block = new OdDbBlockTableRecord();
    setRecordName(block, uniqueAnonymousName(blocks, u"*D"));
    addStandardRecord(*db, db->blockTable, block);
    d->m_block = stub(block);
  }
  for (OdDbStub* s : blockEntities(block))
    if (s->object) setErasedFlag(s->object, true);
  blockEntities(block).clear();
  auto append = [&](OdDbEntity* e) {
    e->m_layer = db->layer0;
    e->m_linetype = db->byBlock;
    e->m_color = 0;
    db->add(e, stub(block), false);
    blockEntities(block).push_back(stub(e));
  };
  for (auto& [a, b] : layout.lines) append(new OdDbLine(a, b));
  double value = 0;
  d->measurement(value);
  OdString text = dimensionString(d->m_text, value, vars);
  if (text != u" ") {
    auto* mtext = new OdDbMText();
    mtext->m_location = d->m_textPosition;
    mtext->m_height = vars.dimtxt * vars.dimscale;
    mtext->m_attachment = OdDbMText::kMiddleCenter;
    mtext->m_contents = text;
    mtext->m_rotation = d->m_textRotation != 0 ? d->m_textRotation : layout.textRotation;
    mtext->m_normal = d->m_normal;
    mtext->m_style =
        vars.dimtxsty.stub() && vars.dimtxsty.stub()->database == db ? vars.dimtxsty.stub() : db->header.textstyle;
    append(mtext);
  }
  d->m_blockStale = false;
  return eOk;
}

// Rotated dimensions.
OdDbRotatedDimension::OdDbRotatedDimension() = default;
OdDbRotatedDimension::OdDbRotatedDimension(double rotation, const OdGePoint3d& xLine1Point,
                                           const OdGePoint3d& xLine2Point, const OdGePoint3d& dimLinePoint,
                                           const OdString& dimText, OdDbObjectId dimStyle)
    : m_xLine1(xLine1Point), m_xLine2(xLine2Point), m_dimLine(dimLinePoint), m_rotation(rotation) {
  setDimensionText(dimText);
  if (!dimStyle.isNull()) setDimensionStyle(dimStyle);
}

#define DIM_POINT(Setter, member)                                   \
  OdResult OdDbRotatedDimension::Setter(const OdGePoint3d& point) { \
    ODDB_ASSERT_WRITE();                                            \
    ODDB_CHECK_POINT(point);                                        \
    member = point;                                                 \
    OdDbInternals::dimBlockStale(this) = true;                      \
    return eOk;                                                     \
  }
DIM_POINT(setXLine1Point, m_xLine1)
DIM_POINT(setXLine2Point, m_xLine2)
DIM_POINT(setDimLinePoint, m_dimLine)
#undef DIM_POINT

OdResult OdDbRotatedDimension::setRotation(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_rotation = angle;
  OdDbInternals::dimBlockStale(this) = true;
  return eOk;
}

OdResult OdDbRotatedDimension::setOblique(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_oblique = angle;
  OdDbInternals::dimBlockStale(this) = true;
  return eOk;
}

OdResult OdDbRotatedDimension::measurement(double& value) const {
  OdGeMatrix3d ecs = ecsToWcs(normal());
  OdGeVector3d dir = ecs * OdGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
  value = std::fabs((m_xLine2 - m_xLine1).dotProduct(dir));
  return eOk;
}

OdResult OdDbRotatedDimension::computeLayout(const OdDbDimVars& v, Layout& layout) const {
  OdGeMatrix3d ecs = ecsToWcs(normal());
  OdGeVector3d dir = ecs * OdGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
  OdGeVector3d up = ecs * OdGeVector3d(-std::sin(m_rotation), std::cos(m_rotation), 0);
  OdGePoint3d q1 = m_dimLine + dir * (m_xLine1 - m_dimLine).dotProduct(dir);
  OdGePoint3d q2 = m_dimLine + dir * (m_xLine2 - m_dimLine).dotProduct(dir);
  double scale = v.dimscale > 0 ? v.dimscale : 1.0;
  // Extension lines run from just off the measured points to just past the dimension line.
  for (auto [p, q] : {std::pair{m_xLine1, q1}, std::pair{m_xLine2, q2}}) {
    OdGeVector3d along = q - p;
    double length = along.length();
    if (length <= 1e-12) continue;
    OdGeVector3d unit = along / length;
    if ((v.dimse1 && p == m_xLine1) || (v.dimse2 && p == m_xLine2)) continue;
    layout.lines.emplace_back(p + unit * (v.dimexo * scale), q + unit * (v.dimexe * scale));
  }
  layout.lines.emplace_back(q1, q2);
  // Open arrowheads at both ends, pointing outwards.
  OdGeVector3d span = q2 - q1;
  if (span.length() > 1e-12) {
    OdGeVector3d u = span.normal();
    double size = v.dimasz * scale;
    for (auto [tip, back] : {std::pair{q1, u}, std::pair{q2, -u}}) {
      OdGePoint3d base = tip + back * size;
      layout.lines.emplace_back(tip, base + up * (size / 6));
      layout.lines.emplace_back(tip, base - up * (size / 6));
    }
  }
  OdGePoint3d middle = q1 + (q2 - q1) * 0.5;
  double lift = v.dimtad != 0 ? (v.dimgap + v.dimtxt / 2) * scale : 0.0;
  layout.textPosition = middle + up * lift;
  layout.textRotation = m_rotation;
  return eOk;
}

OdResult OdDbRotatedDimension::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale;
  if (!isUniformOrtho(xform, scale)) return eNotApplicable;
  OdGeMatrix3d ecs = ecsToWcs(normal());
  OdGeVector3d dir = xform * (ecs * OdGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0));
  m_xLine1 = xform * m_xLine1;
  m_xLine2 = xform * m_xLine2;
  m_dimLine = xform * m_dimLine;
  OdGeVector3d n = transformNormal(xform, normal());
  OdGePoint3d text = xform * textPosition();
  bool defaultText = isUsingDefaultTextPosition();
  setNormal(n);
  OdGeVector3d d = ecsToWcs(n).transpose() * dir;
  m_rotation = normalizeAngle(std::atan2(d.y, d.x));
  if (!defaultText) setTextPosition(text);
  return recomputeDimBlock();
}

OdResult OdDbRotatedDimension::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  Layout layout;
  computeLayout(styleVars(), layout);
  for (auto& [a, b] : layout.lines) extents.addPoint(a).addPoint(b);
  extents.addPoint(textPosition());
  return eOk;
}

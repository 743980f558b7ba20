// Texts, attribute definitions, attributes and multiline texts.
#include "geometry.h"
#include "internals.h"

ODDB_DEFINE_MEMBERS(OdDbText, OdDbEntity, u"AcDbText", u"TEXT")
ODDB_DEFINE_MEMBERS(OdDbAttributeDefinition, OdDbText, u"AcDbAttributeDefinition", u"ATTDEF")
ODDB_DEFINE_MEMBERS(OdDbAttribute, OdDbText, u"AcDbAttribute", u"ATTRIB")
ODDB_DEFINE_MEMBERS(OdDbMText, OdDbEntity, u"AcDbMText", u"MTEXT")

namespace {
constexpr double kCharWidth = 0.6;  // of the height, for extents without fonts

OdResult checkTextStyle(const OdDbEntity* e, OdDbObjectId id) {
  OdDbStub* s = id.stub();
  if (!s) return eOk;  // no style: the drawing's current one shows
  if (OdDbDatabaseImpl* db = OdDbInternals::impl(e); db && s->database != db) return eWrongDatabase;
  if (!s->object || !OdDbTextStyleTableRecord::cast(s->object)) return eNotThatKindOfClass;
  return eOk;
}

OdResult checkTag(const OdString& tag) {
  if (tag.isEmpty()) return eInvalidInput;
  for (char16_t c : tag.view())
    if (c <= u' ') return eInvalidInput;
  return eOk;
}

/// The direction of the text's baseline in WCS and the rotation that gives it.
double rotationIn(const OdGeVector3d& normal, const OdGeVector3d& wcsDirection) {
  OdGeVector3d d = ecsToWcs(normal).transpose() * wcsDirection;
  return normalizeAngle(std::atan2(d.y, d.x));
}
}  // namespace

OdDbText::OdDbText() = default;
OdDbText::OdDbText(const OdGePoint3d& position, const OdString& text, OdDbObjectId style, double height,
                   double rotation)
    : m_position(position), m_text(text), m_style(style.stub()), m_height(height), m_rotation(rotation) {}
OdDbText::~OdDbText() = default;
OdDbText::OdDbText(const OdDbText& other) = default;

OdResult OdDbText::setPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_position = position;
  return eOk;
}
OdResult OdDbText::setAlignmentPoint(const OdGePoint3d& point) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(point);
  m_alignment = point;
  return eOk;
}
OdResult OdDbText::setHeight(double height) {
  ODDB_ASSERT_WRITE();
  if (!std::isfinite(height) || height < 0) return eInvalidInput;
  m_height = height;
  return eOk;
}
OdResult OdDbText::setRotation(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_rotation = angle;
  return eOk;
}
OdResult OdDbText::setWidthFactor(double factor) {
  ODDB_ASSERT_WRITE();
  if (!std::isfinite(factor) || factor <= 0) return eInvalidInput;
  m_widthFactor = factor;
  return eOk;
}
OdResult OdDbText::setOblique(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_oblique = angle;
  return eOk;
}
OdResult OdDbText::setTextString(const OdString& text) {
  ODDB_ASSERT_WRITE();
  m_text = text;
  return eOk;
}
OdDbObjectId OdDbText::textStyle() const { return OdDbObjectId(m_style); }
OdResult OdDbText::setTextStyle(OdDbObjectId styleId) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkTextStyle(this, styleId); r != eOk) return r;
  m_style = styleId.stub();
  return eOk;
}
OdResult OdDbText::setHorizontalMode(OdDb::TextHorzMode mode) {
  ODDB_ASSERT_WRITE();
  if (mode < OdDb::kTextLeft || mode > OdDb::kTextFit) return eInvalidInput;
  m_horz = mode;
  return eOk;
}
OdResult OdDbText::setVerticalMode(OdDb::TextVertMode mode) {
  ODDB_ASSERT_WRITE();
  if (mode < OdDb::kTextBase || mode > OdDb::kTextTop) return eInvalidInput;
  m_vert = mode;
  return eOk;
}
OdResult OdDbText::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}
OdResult OdDbText::setThickness(double thickness) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(thickness);
  m_thickness = thickness;
  return eOk;
}
OdResult OdDbText::mirrorInX(bool mirror) {
  ODDB_ASSERT_WRITE();
  m_generation = static_cast<OdUInt8>(mirror ? (m_generation | 2) : (m_generation & ~2));
  return eOk;
}
OdResult OdDbText::mirrorInY(bool mirror) {
  ODDB_ASSERT_WRITE();
  m_generation = static_cast<OdUInt8>(mirror ? (m_generation | 4) : (m_generation & ~4));
  return eOk;
}

void OdDbText::subSetDatabaseDefaults(OdDbDatabase* database, bool) {
  m_style = database->impl()->header.textstyle;
  if (m_height == 0) m_height = database->impl()->header.textsize;
}

OdResult OdDbText::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale;
  if (!isUniformOrtho(xform, scale)) return eNotApplicable;
  OdGeVector3d direction = ecsToWcs(m_normal) * OdGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
  m_position = xform * m_position;
  m_alignment = xform * m_alignment;
  m_normal = transformNormal(xform, m_normal);
  m_rotation = rotationIn(m_normal, xform * direction);
  m_height *= scale;
  m_thickness *= scale;
  return eOk;
}

OdResult OdDbText::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  double h = m_height > 0 ? m_height : 1.0;
  double w = static_cast<double>(m_text.getLength()) * kCharWidth * h * m_widthFactor;
  OdGePoint3d anchor = isDefaultAlignment() ? m_position : m_alignment;
  double x0 = 0, y0 = 0;
  switch (m_horz) {
    case OdDb::kTextCenter:
    case OdDb::kTextMid:
      x0 = -w / 2;
      break;
    case OdDb::kTextRight:
      x0 = -w;
      break;
    case OdDb::kTextAlign:
    case OdDb::kTextFit:
      anchor = m_position;
      w = m_position.distanceTo(m_alignment);
      break;
    default:
      break;
  }
  if (m_horz == OdDb::kTextMid) y0 = -h / 2;
  if (m_vert == OdDb::kTextVertMid) y0 = -h / 2;
  if (m_vert == OdDb::kTextTop) y0 = -h;
  OdGeMatrix3d ecs = ecsToWcs(m_normal);
  OdGeVector3d dx = ecs * OdGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
  OdGeVector3d dy = ecs * OdGeVector3d(-std::sin(m_rotation), std::cos(m_rotation), 0);
  for (double x : {x0, x0 + w})
    for (double y : {y0, y0 + h}) extents.addPoint(anchor + dx * x + dy * y);
  return eOk;
}

// Attribute definitions.
OdDbAttributeDefinition::OdDbAttributeDefinition() = default;
OdDbAttributeDefinition::OdDbAttributeDefinition(const OdGePoint3d& position, const OdString& defaultValue,
                                                 const OdString& tag, const OdString& prompt, OdDbObjectId style)
    : OdDbText(position, defaultValue, style), m_tag(tag), m_prompt(prompt) {}

OdResult OdDbAttributeDefinition::setTag(const OdString& tag) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkTag(tag); r != eOk) return r;
  m_tag = tag;
  return eOk;
}
OdResult OdDbAttributeDefinition::setPrompt(const OdString& prompt) {
  ODDB_ASSERT_WRITE();
  m_prompt = prompt;
  return eOk;
}

static OdUInt8 withFlag(OdUInt8 flags, OdUInt8 bit, bool on) {
  return static_cast<OdUInt8>(on ? flags | bit : flags & ~bit);
}

OdResult OdDbAttributeDefinition::setInvisible(bool invisible) {
  ODDB_ASSERT_WRITE();
  m_flags = withFlag(m_flags, 1, invisible);
  return eOk;
}
OdResult OdDbAttributeDefinition::setConstant(bool constant) {
  ODDB_ASSERT_WRITE();
  m_flags = withFlag(m_flags, 2, constant);
  return eOk;
}
OdResult OdDbAttributeDefinition::setVerifiable(bool verifiable) {
  ODDB_ASSERT_WRITE();
  m_flags = withFlag(m_flags, 4, verifiable);
  return eOk;
}
OdResult OdDbAttributeDefinition::setPreset(bool preset) {
  ODDB_ASSERT_WRITE();
  m_flags = withFlag(m_flags, 8, preset);
  return eOk;
}
OdResult OdDbAttributeDefinition::setFieldLength(OdUInt16 length) {
  ODDB_ASSERT_WRITE();
  m_fieldLength = length;
  return eOk;
}

// Attributes.
OdDbAttribute::OdDbAttribute() = default;

OdResult OdDbAttribute::setTag(const OdString& tag) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkTag(tag); r != eOk) return r;
  m_tag = tag;
  return eOk;
}
OdResult OdDbAttribute::setInvisible(bool invisible) {
  ODDB_ASSERT_WRITE();
  m_flags = withFlag(m_flags, 1, invisible);
  return eOk;
}
OdResult OdDbAttribute::setConstant(bool constant) {
  ODDB_ASSERT_WRITE();
  m_flags = withFlag(m_flags, 2, constant);
  return eOk;
}
OdResult OdDbAttribute::setFieldLength(OdUInt16 length) {
  ODDB_ASSERT_WRITE();
  m_fieldLength = length;
  return eOk;
}

OdResult OdDbAttribute::setAttributeFromBlock(const OdDbAttributeDefinition* definition,
                                              const OdGeMatrix3d& blockTransform) {
  ODDB_ASSERT_WRITE();
  if (!definition) return eNullObjectPointer;
  if (OdResult r = checkTextStyle(this, definition->textStyle()); r != eOk) return r;
  // The text part comes from the definition; identity and the common
  // properties stay this attribute's own.
  setPosition(definition->position());
  setAlignmentPoint(definition->alignmentPoint());
  setNormal(definition->normal());
  setTextString(definition->textString());
  setTextStyle(definition->textStyle());
  setHeight(definition->height());
  setRotation(definition->rotation());
  setWidthFactor(definition->widthFactor());
  setOblique(definition->oblique());
  setThickness(definition->thickness());
  setHorizontalMode(definition->horizontalMode());
  setVerticalMode(definition->verticalMode());
  mirrorInX(definition->isMirroredInX());
  mirrorInY(definition->isMirroredInY());
  m_tag = definition->tag();
  m_fieldLength = definition->fieldLength();
  m_flags = static_cast<OdUInt8>((definition->isInvisible() ? 1 : 0) | (definition->isConstant() ? 2 : 0) |
                                 (definition->isVerifiable() ? 4 : 0) | (definition->isPreset() ? 8 : 0));
  double scale;
  if (isUniformOrtho(blockTransform, scale)) return OdDbText::transformBy(blockTransform);
  // A block scaled unevenly: place the text, keep its shape.
  setPosition(blockTransform * position());
  setAlignmentPoint(blockTransform * alignmentPoint());
  return eOk;
}

// Multiline texts.
OdDbMText::OdDbMText() = default;
OdDbMText::~OdDbMText() = default;

OdResult OdDbMText::setLocation(const OdGePoint3d& location) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(location);
  m_location = location;
  return eOk;
}
OdResult OdDbMText::setTextHeight(double height) {
  ODDB_ASSERT_WRITE();
  if (!std::isfinite(height) || height < 0) return eInvalidInput;
  m_height = height;
  return eOk;
}
OdResult OdDbMText::setWidth(double width) {
  ODDB_ASSERT_WRITE();
  if (!std::isfinite(width) || width < 0) return eInvalidInput;
  m_width = width;
  return eOk;
}
OdResult OdDbMText::setAttachment(AttachmentPoint attachment) {
  ODDB_ASSERT_WRITE();
  if (attachment < kTopLeft || attachment > kBottomRight) return eInvalidInput;
  m_attachment = attachment;
  return eOk;
}
OdResult OdDbMText::setContents(const OdString& contents) {
  ODDB_ASSERT_WRITE();
  m_contents = contents;
  return eOk;
}
OdDbObjectId OdDbMText::textStyle() const { return OdDbObjectId(m_style); }
OdResult OdDbMText::setTextStyle(OdDbObjectId styleId) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkTextStyle(this, styleId); r != eOk) return r;
  m_style = styleId.stub();
  return eOk;
}
OdResult OdDbMText::setRotation(double angle) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(angle);
  m_rotation = angle;
  return eOk;
}
OdResult OdDbMText::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}
OdGeVector3d OdDbMText::direction() const {
  return ecsToWcs(m_normal) * OdGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
}

void OdDbMText::subSetDatabaseDefaults(OdDbDatabase* database, bool) {
  m_style = database->impl()->header.textstyle;
  if (m_height == 0) m_height = database->impl()->header.textsize;
}

OdResult OdDbMText::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale;
  if (!isUniformOrtho(xform, scale)) return eNotApplicable;
  OdGeVector3d dir = xform * direction();
  m_location = xform * m_location;
  m_normal = transformNormal(xform, m_normal);
  m_rotation = rotationIn(m_normal, dir);
  m_height *= scale;
  m_width *= scale;
  return eOk;
}

OdResult OdDbMText::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  double h = m_height > 0 ? m_height : 1.0;
  // Lines are split at \P; the widest line sets the width unless the text wraps.
  int lines = 1, longest = 0, current = 0;
  const auto& s = m_contents.str();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'\\' && i + 1 < s.size() && (s[i + 1] == u'P' || s[i + 1] == u'p')) {
      ++lines;
      longest = std::max(longest, current);
      current = 0;
      ++i;
    } else {
      ++current;
    }
  }
  longest = std::max(longest, current);
  double w = m_width > 0 ? m_width : longest * kCharWidth * h;
  double total = h + (lines - 1) * h * 5.0 / 3.0;
  int column = (m_attachment - 1) % 3, row = (m_attachment - 1) / 3;
  double x0 = -w * column / 2.0;
  double y0 = row == 0 ? -total : row == 1 ? -total / 2 : 0;
  OdGeMatrix3d ecs = ecsToWcs(m_normal);
  OdGeVector3d dx = ecs * OdGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
  OdGeVector3d dy = ecs * OdGeVector3d(-std::sin(m_rotation), std::cos(m_rotation), 0);
  for (double x : {x0, x0 + w})
    for (double y : {y0, y0 + total}) extents.addPoint(m_location + dx * x + dy * y);
  return eOk;
}

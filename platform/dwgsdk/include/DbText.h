// Single-line text, attribute definitions and attributes, multiline text.
#pragma once

#include "DbEntity.h"

namespace OdDb {
/// As DXF group code 72 of a text.
enum TextHorzMode { kTextLeft = 0, kTextCenter = 1, kTextRight = 2, kTextAlign = 3, kTextMid = 4, kTextFit = 5 };
/// As DXF group code 73 of a text.
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };
}  // namespace OdDb

/// A single-line text. With the default alignment (left, baseline) the text
/// sits at its position; with any other, at its alignment point.
class OdDbText : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbText);
  OdDbText();
  OdDbText(const OdGePoint3d& position, const OdString& text, OdDbObjectId style = OdDbObjectId::kNull,
           double height = 0, double rotation = 0);
  ~OdDbText() override;

  OdGePoint3d position() const { return m_position; }
  OdResult setPosition(const OdGePoint3d& position);
  OdGePoint3d alignmentPoint() const { return m_alignment; }
  OdResult setAlignmentPoint(const OdGePoint3d& point);
  bool isDefaultAlignment() const { return m_horz == OdDb::kTextLeft && m_vert == OdDb::kTextBase; }
  double height() const { return m_height; }
  OdResult setHeight(double height);
  double rotation() const { return m_rotation; }
  OdResult setRotation(double angle);
  double widthFactor() const { return m_widthFactor; }
  OdResult setWidthFactor(double factor);
  double oblique() const { return m_oblique; }
  OdResult setOblique(double angle);
  OdString textString() const { return m_text; }
  OdResult setTextString(const OdString& text);
  OdDbObjectId textStyle() const;
  OdResult setTextStyle(OdDbObjectId styleId);
  OdDb::TextHorzMode horizontalMode() const { return m_horz; }
  OdResult setHorizontalMode(OdDb::TextHorzMode mode);
  OdDb::TextVertMode verticalMode() const { return m_vert; }
  OdResult setVerticalMode(OdDb::TextVertMode mode);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  double thickness() const { return m_thickness; }
  OdResult setThickness(double thickness);
  bool isMirroredInX() const { return (m_generation & 2) != 0; }
  OdResult mirrorInX(bool mirror);
  bool isMirroredInY() const { return (m_generation & 4) != 0; }
  OdResult mirrorInY(bool mirror);

  void subSetDatabaseDefaults(OdDbDatabase* database, bool doSubents) override;
  OdResult transformBy(const OdGeMatrix3d& xform) override;
  /// The layer has no fonts: a text's box is one height high and, per
  /// character, 0.6 of the height times the width factor wide.
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbText(const OdDbText& other);

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_position;
  OdGePoint3d m_alignment;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  OdString m_text;
  OdDbStub* m_style = nullptr;
  double m_height = 0, m_rotation = 0, m_widthFactor = 1, m_oblique = 0, m_thickness = 0;
  OdDb::TextHorzMode m_horz = OdDb::kTextLeft;
  OdDb::TextVertMode m_vert = OdDb::kTextBase;
  OdUInt8 m_generation = 0;
};

/// An attribute definition of a block: its text is the default value.
class OdDbAttributeDefinition : public OdDbText {
  ODDB_DECLARE_MEMBERS(OdDbAttributeDefinition);
  OdDbAttributeDefinition();
  OdDbAttributeDefinition(const OdGePoint3d& position, const OdString& defaultValue, const OdString& tag,
                          const OdString& prompt, OdDbObjectId style = OdDbObjectId::kNull);

  OdString tag() const { return m_tag; }
  /// eInvalidInput for an empty tag or one with spaces.
  OdResult setTag(const OdString& tag);
  OdString prompt() const { return m_prompt; }
  OdResult setPrompt(const OdString& prompt);
  bool isInvisible() const { return (m_flags & 1) != 0; }
  OdResult setInvisible(bool invisible);
  bool isConstant() const { return (m_flags & 2) != 0; }
  OdResult setConstant(bool constant);
  bool isVerifiable() const { return (m_flags & 4) != 0; }
  OdResult setVerifiable(bool verifiable);
  bool isPreset() const { return (m_flags & 8) != 0; }
  OdResult setPreset(bool preset);
  OdUInt16 fieldLength() const { return m_fieldLength; }
  OdResult setFieldLength(OdUInt16 length);

 protected:
  OdDbAttributeDefinition(const OdDbAttributeDefinition&) = default;

 private:
  friend struct OdDbInternals;
  OdString m_tag;
  OdString m_prompt;
  OdUInt16 m_fieldLength = 0;
  OdUInt8 m_flags = 0;
};

/// An attribute of a block reference.
class OdDbAttribute : public OdDbText {
  ODDB_DECLARE_MEMBERS(OdDbAttribute);
  OdDbAttribute();

  OdString tag() const { return m_tag; }
  OdResult setTag(const OdString& tag);
  bool isInvisible() const { return (m_flags & 1) != 0; }
  OdResult setInvisible(bool invisible);
  bool isConstant() const { return (m_flags & 2) != 0; }
  OdResult setConstant(bool constant);
  bool isVerifiable() const { return (m_flags & 4) != 0; }
  bool isPreset() const { return (m_flags & 8) != 0; }
  OdUInt16 fieldLength() const { return m_fieldLength; }
  OdResult setFieldLength(OdUInt16 length);
  /// Takes the definition's text settings, default value, tag, flags and
  /// field length, with its position (and height, rotation, normal) carried
  /// through the block transform `blockTransform`.
  OdResult setAttributeFromBlock(const OdDbAttributeDefinition* definition, const OdGeMatrix3d& blockTransform);

 protected:
  OdDbAttribute(const OdDbAttribute&) = default;

 private:
  friend struct OdDbInternals;
  OdString m_tag;
  OdUInt16 m_fieldLength = 0;
  OdUInt8 m_flags = 0;
};

/// Multiline text; its contents keep the format codes (\P for a new paragraph).
class OdDbMText : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbMText);
  enum AttachmentPoint {
    kTopLeft = 1,
    kTopCenter = 2,
    kTopRight = 3,
    kMiddleLeft = 4,
    kMiddleCenter = 5,
    kMiddleRight = 6,
    kBottomLeft = 7,
    kBottomCenter = 8,
    kBottomRight = 9,
  };
  OdDbMText();
  ~OdDbMText() override;

  OdGePoint3d location() const { return m_location; }
  OdResult setLocation(const OdGePoint3d& location);
  double textHeight() const { return m_height; }
  OdResult setTextHeight(double height);
  /// The reference rectangle's width; 0 for no wrapping.
  double width() const { return m_width; }
  OdResult setWidth(double width);
  AttachmentPoint attachment() const { return m_attachment; }
  OdResult setAttachment(AttachmentPoint attachment);
  OdString contents() const { return m_contents; }
  OdResult setContents(const OdString& contents);
  OdDbObjectId textStyle() const;
  OdResult setTextStyle(OdDbObjectId styleId);
  double rotation() const { return m_rotation; }
  OdResult setRotation(double angle);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  OdGeVector3d direction() const;

  void subSetDatabaseDefaults(OdDbDatabase* database, bool doSubents) override;
  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbMText(const OdDbMText&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_location;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  OdString m_contents;
  OdDbStub* m_style = nullptr;
  double m_height = 0, m_width = 0, m_rotation = 0;
  AttachmentPoint m_attachment = kTopLeft;
};

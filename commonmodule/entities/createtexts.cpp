// Single-line and multiline texts.
#include "HvDbUtilsEntities.h"
#include "core/workingdatabase.h"
#include "entities/newentity.h"
#include "tables/openedobject.h"

namespace HvDbUtils {

namespace {
// The style every drawing has, for a text whose style is not there.
constexpr const OdChar* kStandardStyle = u"STANDARD";
}  // namespace

OdDbObjectId CreateText(CString text, OdGePoint3d point, double height, CString styleName,
                        OdDb::TextHorzMode horizontal, OdDb::TextVertMode vertical, double widthFactor,
                        OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  OdDbObjectId styleId;
  {
    mwcommon::OpenedObject<OdDbTextStyleTable> styles;
    if (database->getTextStyleTable(styles.slot(), OdDb::kForRead) == eOk &&
        styles->getAt(OdString(styleName), styleId) != eOk)
      styles->getAt(kStandardStyle, styleId);
  }
  auto entity = std::make_unique<OdDbText>();
  entity->setTextStyle(styleId);
  entity->setHorizontalMode(horizontal);
  entity->setVerticalMode(vertical);
  entity->setTextString(OdString(text));
  entity->setWidthFactor(widthFactor);
  // Left and baseline is the one alignment that places a text by its position.
  if (horizontal == OdDb::kTextLeft && vertical == OdDb::kTextBase)
    entity->setPosition(point);
  else
    entity->setAlignmentPoint(point);
  entity->setHeight(height);
  return mwcommon::addToCurrentSpace(std::move(entity), database);
}

OdDbObjectId CreateCenterText(CString text, OdGePoint3d point, double height, CString styleName, double widthFactor,
                              OdDbDatabase* database) {
  return CreateText(text, point, height, styleName, OdDb::kTextCenter, OdDb::kTextVertMid, widthFactor, database);
}

OdDbObjectId CreateLeftBottomText(CString text, OdGePoint3d point, double height, CString styleName, double widthFactor,
                                  OdDbDatabase* database) {
  return CreateText(text, point, height, styleName, OdDb::kTextLeft, OdDb::kTextBase, widthFactor, database);
}

OdDbObjectId CreateRightBottomText(CString text, OdGePoint3d point, double height, CString styleName,
                                   double widthFactor, OdDbDatabase* database) {
  return CreateText(text, point, height, styleName, OdDb::kTextRight, OdDb::kTextBase, widthFactor, database);
}

OdDbObjectId CreateMText(OdGePoint3d location, double height, OdDbMText::AttachmentPoint attachment,
                         const OdChar* contents, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  auto entity = std::make_unique<OdDbMText>();
  entity->setLocation(location);
  entity->setTextHeight(height);
  entity->setAttachment(attachment);
  entity->setContents(OdString(contents));
  entity->setTextStyle(database->textstyle());
  entity->setRotation(0);
  return mwcommon::addToCurrentSpace(std::move(entity), database);
}

}  // namespace HvDbUtils

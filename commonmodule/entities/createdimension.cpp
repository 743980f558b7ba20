// Rotated (linear) dimensions.
#include "DbDimension.h"
#include "HvDbUtilsEntities.h"
#include "core/workingdatabase.h"
#include "entities/newentity.h"
#include "tables/openedobject.h"

namespace HvDbUtils {

OdDbObjectId CreateRotatedDimension(const OdChar* styleName, double rotation, double oblique,
                                    const OdGePoint3d& xLine1Point, const OdGePoint3d& xLine2Point,
                                    const OdGePoint3d& dimLinePoint, const OdChar* dimensionText, double textRotation,
                                    OdGeVector3d textOffset, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  auto dimension = std::make_unique<OdDbRotatedDimension>();
  // The defaults (layer, linetype, dimension style ...) come from the drawing
  // the dimension goes to, so that it refers to that drawing's records also
  // when it is not the working one.
  dimension->setDatabaseDefaults(database, false);
  OdDbObjectId styleId;
  {
    mwcommon::OpenedObject<OdDbDimStyleTable> styles;
    if (database->getDimStyleTable(styles.slot(), OdDb::kForRead) == eOk) styles->getAt(OdString(styleName), styleId);
  }
  if (!styleId.isNull()) dimension->setDimensionStyle(styleId);
  dimension->setXLine1Point(xLine1Point);
  dimension->setXLine2Point(xLine2Point);
  dimension->setDimLinePoint(dimLinePoint);
  dimension->setRotation(rotation);
  dimension->setOblique(oblique);
  // The offset is taken from where the style would put the text.
  dimension->useDefaultTextPosition();
  dimension->recomputeDimBlock();
  dimension->setTextPosition(dimension->textPosition() + textOffset);
  dimension->setTextRotation(textRotation);
  if (dimensionText) dimension->setDimensionText(dimensionText);
  return mwcommon::addToCurrentSpace(std::move(dimension), database);
}

}  // namespace HvDbUtils

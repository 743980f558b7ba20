// Text styles of HvDbUtils: create or update, erase, read.
#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "HvDbUtilsStyles.h"
#include "core/workingdatabase.h"
#include "tables/openedobject.h"
#include "tables/openobjectas.h"

namespace {

using mwcommon::OpenedObject;

// The style read when the requested one is missing.
constexpr const OdChar* kStandardStyle = u"STANDARD";

}  // namespace

namespace HvDbUtils {

OdDbObjectId CreateTextStyle(const OdChar* name, const OdChar* fontFile, const OdChar* bigFontFile, double textHeight,
                             double widthFactor, double obliquingAngle, bool isShapeFile, OdDbDatabase* database) {
  OdDbObjectId id;
  database = mwcommon::resolveDatabase(database);
  if (!database) return id;
  OpenedObject<OdDbTextStyleTable> table;
  if (database->getTextStyleTable(table.slot(), OdDb::kForWrite) != eOk) return id;

  const bool existing = table->has(name);
  OdDbTextStyleTableRecord* style = nullptr;
  if (existing) {
    id = table->getAt(name);
    if (OpenObjectAs(style, id, OdDb::kForWrite) != eOk) return id;
  } else {
    style = new OdDbTextStyleTableRecord();
    style->setName(name);
  }
  OpenedObject<OdDbTextStyleTableRecord> record(existing ? style : nullptr);

  style->setIsShapeFile(isShapeFile);
  style->setFileName(fontFile);
  if (bigFontFile && *bigFontFile) style->setBigFontFileName(bigFontFile);
  style->setObliquingAngle(obliquingAngle);
  style->setTextSize(textHeight);
  style->setXScale(widthFactor);

  if (!existing) {
    if (table->add(id, style) != eOk) {
      delete style;
      return OdDbObjectId::kNull;
    }
    record = OpenedObject<OdDbTextStyleTableRecord>(style);
  }
  table.close();
  return id;
}

bool EraseTextStyle(const OdChar* name, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  OpenedObject<OdDbTextStyleTable> table;
  if (database->getTextStyleTable(table.slot(), OdDb::kForWrite) != eOk) return false;
  if (table->has(name)) {
    OpenedObject<OdDbTextStyleTableRecord> style;
    if (table->getAt(name, style.slot(), OdDb::kForWrite) == eOk) style->erase();
  }
  return true;
}

bool GetTextStyleInfor(const OdChar* name, OdDbObjectId& id, double& textHeight, double& widthFactor,
                       OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  OpenedObject<OdDbTextStyleTable> table;
  if (database->getTextStyleTable(table.slot(), OdDb::kForRead) != eOk) return false;
  if (table->getAt(name, id) != eOk && table->getAt(kStandardStyle, id) != eOk) {
    id = OdDbObjectId::kNull;
    return false;
  }
  table.close();
  OpenedObject<OdDbTextStyleTableRecord> style;
  if (oddbOpenObject(style.slot(), id, OdDb::kForRead) != eOk) return false;
  textHeight = style->textSize();
  widthFactor = style->xScale();
  return true;
}

}  // namespace HvDbUtils

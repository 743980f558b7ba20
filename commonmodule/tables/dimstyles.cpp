// The dimension style of HvDbUtils: a metric style bound to a text style,
// made current with its variables.
#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "HvDbUtilsStyles.h"
#include "core/workingdatabase.h"
#include "tables/openedobject.h"

namespace {

using mwcommon::OpenedObject;

// The text style a dimension style is bound to: the record of that name,
// unless it is missing or a shape file (then none).
OdDbObjectId dimensionTextStyle(OdDbDatabase* database, const OdChar* name) {
  OpenedObject<OdDbTextStyleTable> table;
  if (database->getTextStyleTable(table.slot(), OdDb::kForRead) != eOk) return OdDbObjectId::kNull;
  OpenedObject<OdDbTextStyleTableRecord> style;
  if (table->getAt(name, style.slot(), OdDb::kForRead, false) != eOk) return OdDbObjectId::kNull;
  return style->isShapeFile() ? OdDbObjectId::kNull : style->objectId();
}

// The variables of a new style, in the order they are set.
void setNewStyleVariables(OdDbDimStyleTableRecord* style, OdDbObjectId textStyle) {
  style->setDimalt(false);
  style->setDimaltd(2);
  style->setDimaltf(25.4);
  style->setDimalttd(2);
  style->setDimalttz(0);
  style->setDimaltu(2);
  style->setDimaltz(0);
  style->setDimapost(OdString());
  style->setDimasz(1.5);
  style->setDimaunit(0);
  style->setDimcen(0.0);
  style->setDimdec(0);
  style->setDimdle(0.0);
  style->setDimdli(3.8);
  style->setDimexe(1.0);
  style->setDimexo(0.0);
  style->setDimfit(1);
  style->setDimgap(1.0);
  style->setDimjust(0);
  style->setDimlfac(1.0);
  style->setDimlim(false);
  style->setDimpost(OdString());
  style->setDimrnd(0.0);
  style->setDimsah(true);
  style->setDimscale(1.0);
  style->setDimsd1(false);
  style->setDimsd2(false);
  style->setDimse1(false);
  style->setDimse2(false);
  style->setDimsoxd(false);
  style->setDimtad(1);
  style->setDimtdec(4);
  style->setDimtfac(1.0);
  style->setDimtih(false);
  style->setDimtix(true);
  style->setDimtm(0.0);
  style->setDimtofl(true);
  style->setDimtoh(false);
  style->setDimtol(false);
  style->setDimtolj(1);
  style->setDimtp(0.0);
  style->setDimtsz(0.0);
  style->setDimtvp(1.0);
  style->setDimtmove(2);
  style->setDimtxsty(textStyle);
  style->setDimtxt(2.0);
  style->setDimtzin(0);
  style->setDimunit(2);
  style->setDimupt(false);
  style->setDimzin(0);
}

}  // namespace

namespace HvDbUtils {

bool CreateDimStyle(const OdChar* name, const OdChar* textStyle, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return false;
  const OdDbObjectId textStyleId = dimensionTextStyle(database, textStyle);
  OpenedObject<OdDbDimStyleTable> table;
  if (database->getDimStyleTable(table.slot(), OdDb::kForWrite) != eOk) return false;

  OpenedObject<OdDbDimStyleTableRecord> record;
  if (table->has(name)) {
    const OdResult opened = table->getAt(name, record.slot(), OdDb::kForWrite);
    table.close();
    if (opened != eOk) return false;
    record->setDimscale(1.0);
    record->setDimtxsty(textStyleId);
  } else {
    auto* style = new OdDbDimStyleTableRecord();
    if (style->setName(name) != eOk) {
      table.close();
      delete style;
      return false;
    }
    setNewStyleVariables(style, textStyleId);
    if (table->add(style) != eOk) {
      table.close();
      delete style;
      return false;
    }
    record = OpenedObject<OdDbDimStyleTableRecord>(style);
    table.close();
  }

  const OdDbObjectId id = record->objectId();
  record.close();
  database->setDimstyle(id);
  database->setDimstyleData(id);
  return true;
}

}  // namespace HvDbUtils

// Reading and replacing the string of a text entity. Attributes and
// attribute definitions are texts too, so a block's values are read and set
// the same way.
#include "DbText.h"
#include "HvDbUtilsEdit.h"
#include "tables/openedobject.h"
#include "tables/openobjectas.h"

namespace HvDbUtils {

void SetTextString(OdDbObjectId id, const OdChar* text) {
  mwcommon::OpenedObject<OdDbText> entity;
  if (OpenObjectAs(entity.slot(), id, OdDb::kForWrite) != eOk) return;
  entity->setTextString(text);
}

bool GetTextString(OdDbObjectId id, CString& text) {
  mwcommon::OpenedObject<OdDbText> entity;
  if (OpenObjectAs(entity.slot(), id, OdDb::kForRead) != eOk) return false;
  const OdString value = entity->textString();
  text = CString(value.c_str(), value.getLength());
  return true;
}

}  // namespace HvDbUtils

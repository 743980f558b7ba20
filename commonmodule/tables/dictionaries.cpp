// The free dictionary functions of HvDbUtils.
#include "DbDatabase.h"
#include "HvDictManager.h"
#include "core/workingdatabase.h"
#include "tables/namedictionary.h"

namespace HvDbUtils {

void GetObjectIdFromDictionary(const OdChar* dictName, const OdChar* entryName, OdDbObjectId& id,
                               OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  database = mwcommon::resolveDatabase(database);
  mwcommon::OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(database, dictName, OdDb::kForRead, dictionary) != eOk) return;
  if (dictionary->getAt(entryName, id) != eOk) id = OdDbObjectId::kNull;
}

void AddObjectToDictionary(OdDbObject* object, const OdChar* dictName, const OdChar* entryName, OdDbObjectId& id,
                           OdDbDatabase* database) {
  id = OdDbObjectId::kNull;
  if (!object) return;
  database = mwcommon::resolveDatabase(database);
  if (!database) return;
  mwcommon::OpenedObject<OdDbDictionary> namedObjects;
  if (database->getNamedObjectsDictionary(namedObjects.slot(), OdDb::kForWrite) != eOk) return;
  mwcommon::OpenedObject<OdDbDictionary> dictionary;
  mwcommon::openOrMakeNamedDictionary(namedObjects.get(), dictName, dictionary);
  namedObjects.close();
  if (!dictionary) return;
  // Not stored, an object of no database stays the caller's (closing it does
  // nothing then).
  if (dictionary->setAt(entryName, object, id) != eOk) id = OdDbObjectId::kNull;
  object->close();
}

}  // namespace HvDbUtils

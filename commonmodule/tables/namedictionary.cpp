#include "tables/namedictionary.h"

#include "DbDatabase.h"

namespace mwcommon {

namespace {

// An entry of the lookup opened as a dictionary, or closed again.
OdResult asDictionary(OdResult looked, OdDbObject* entry, OpenedObject<OdDbDictionary>& dictionary) {
  if (looked != eOk) return looked;
  OdDbDictionary* typed = OdDbDictionary::cast(entry);
  if (!typed) {
    entry->close();
    return eNotThatKindOfClass;
  }
  dictionary = OpenedObject<OdDbDictionary>(typed);
  return eOk;
}

}  // namespace

OdResult openNamedDictionary(OdDbDatabase* database, const OdString& name, OdDb::OpenMode mode,
                             OpenedObject<OdDbDictionary>& dictionary) {
  dictionary.close();
  if (!database) return eNoDatabase;
  OpenedObject<OdDbDictionary> namedObjects;
  if (OdResult opened = database->getNamedObjectsDictionary(namedObjects.slot(), OdDb::kForRead); opened != eOk)
    return opened;
  OdDbObject* entry = nullptr;
  const OdResult looked = namedObjects->getAt(name, entry, mode);
  namedObjects.close();
  return asDictionary(looked, entry, dictionary);
}

OdResult openOrMakeNamedDictionary(OdDbDictionary* namedObjects, const OdString& name,
                                   OpenedObject<OdDbDictionary>& dictionary) {
  dictionary.close();
  OdDbObject* entry = nullptr;
  const OdResult looked = namedObjects->getAt(name, entry, OdDb::kForWrite);
  if (looked != eKeyNotFound) return asDictionary(looked, entry, dictionary);
  auto* made = new OdDbDictionary();
  OdDbObjectId madeId;
  // Stored, the new dictionary belongs to the drawing and stays open for write.
  if (OdResult stored = namedObjects->setAt(name, made, madeId); stored != eOk) {
    delete made;
    return stored;
  }
  dictionary = OpenedObject<OdDbDictionary>(made);
  return eOk;
}

}  // namespace mwcommon

// CHvDictManager: one named dictionary of one database.
#include <memory>

#include "DbDatabase.h"
#include "HvDictManager.h"
#include "core/workingdatabase.h"
#include "tables/lockeddocument.h"
#include "tables/namedictionary.h"

namespace {

using mwcommon::OpenedObject;

// What addEntry does with an object it does not store: one of no database is
// deleted (it was handed over), one of a database stays there and is closed.
void disposeOf(OdDbObject* object) {
  if (!object) return;
  if (object->objectId().isNull())
    delete object;
  else
    object->close();
}

}  // namespace

CHvDictManager::CHvDictManager(OdDbDatabase* database) : m_database(mwcommon::resolveDatabase(database)) {}

CHvDictManager::CHvDictManager(const OdChar* dictName, OdDbDatabase* database)
    : m_dictName(dictName), m_database(mwcommon::resolveDatabase(database)) {}

CHvDictManager::CHvDictManager(const CHvDictManager& other) = default;
CHvDictManager& CHvDictManager::operator=(const CHvDictManager& other) = default;
CHvDictManager::~CHvDictManager() = default;

void CHvDictManager::setDictionary(const OdChar* dictName) { m_dictName = dictName; }

void CHvDictManager::SetDb(OdDbDatabase* database) { m_database = mwcommon::resolveDatabase(database); }

int CHvDictManager::addEntry(const OdChar* name, OdDbObject* object, OdDbObjectId& id) {
  id = OdDbObjectId::kNull;
  // The lock's answer is not examined: the entry is added either way.
  const auto lock = mwcommon::LockedDocument::current(KxAp::kWrite, mwcommon::LockedDocument::Prompt::Yes);
  if (!m_database) {
    disposeOf(object);
    return 0;
  }
  OpenedObject<OdDbDictionary> namedObjects;
  if (m_database->getNamedObjectsDictionary(namedObjects.slot(), OdDb::kForWrite) != eOk) {
    disposeOf(object);
    return 0;
  }
  OpenedObject<OdDbDictionary> dictionary;
  mwcommon::openOrMakeNamedDictionary(namedObjects.get(), OdString(m_dictName.GetString()), dictionary);
  namedObjects.close();
  if (!dictionary) {
    disposeOf(object);
    return 0;
  }
  const OdResult looked = dictionary->getAt(name, id);
  if (looked == eKeyNotFound) {
    if (object && dictionary->setAt(name, object, id) == eOk) {
      object->close();
    } else {
      id = OdDbObjectId::kNull;
      disposeOf(object);
    }
  } else {
    disposeOf(object);
  }
  return 1;
}

int CHvDictManager::addEntry(const OdChar* base, int number, OdDbObject* object, OdDbObjectId& id) {
  CString name;
  name.Format(u"%s%d", base ? base : u"", number);
  return addEntry(name, object, id);
}

int CHvDictManager::dictionaryExist(OdDbDatabase* database, const OdChar* dictName) {
  if (!database) return 0;
  OpenedObject<OdDbDictionary> namedObjects;
  if (database->getNamedObjectsDictionary(namedObjects.slot(), OdDb::kForRead) != eOk) return 0;
  OdDbObject* entry = nullptr;
  const OdResult looked = namedObjects->getAt(dictName, entry, OdDb::kForRead);
  namedObjects.close();
  if (looked != eOk) return 0;
  entry->close();
  return 1;
}

int CHvDictManager::dictionaryExist(const OdChar* path, const OdChar* dictName) {
  // An empty database (no default drawing) that only the file fills.
  auto drawing = std::make_unique<OdDbDatabase>(false);
  if (drawing->readFile(path, OdDb::kShareDenyWrite, false, nullptr) != eOk) return 0;
  return dictionaryExist(drawing.get(), dictName);
}

int CHvDictManager::getEntryId(const OdChar* name, OdDbObjectId& id) const {
  id = OdDbObjectId::kNull;
  if (!m_database) return 0;
  OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForRead, dictionary) != eOk)
    return 0;
  if (dictionary->getAt(name, id) != eOk) {
    id = OdDbObjectId::kNull;
    return 0;
  }
  return 1;
}

OdDbObject* CHvDictManager::getEntryObj(const OdChar* name, OdDb::OpenMode mode) const {
  if (!m_database) return nullptr;
  OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForRead, dictionary) != eOk)
    return nullptr;
  OdDbObject* entry = nullptr;
  if (dictionary->getAt(name, entry, mode) != eOk) return nullptr;
  return entry;
}

bool CHvDictManager::IsExistItem(const OdChar* name) const {
  if (!m_database) return false;
  OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForWrite, dictionary) != eOk)
    return false;
  OdDbObject* entry = nullptr;
  if (dictionary->getAt(name, entry, OdDb::kForWrite) != eOk) return false;
  entry->close();
  return true;
}

int CHvDictManager::deleteEntry(const OdChar* name) {
  if (!m_database) return 0;
  OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForWrite, dictionary) != eOk)
    return 0;
  OpenedObject<OdDbObject> entry;
  if (dictionary->getAt(name, entry.slot(), OdDb::kForWrite) != eOk) return 0;
  return entry->erase() == eOk ? 1 : 0;
}

int CHvDictManager::RemoveAll() {
  if (!m_database) return 0;
  OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForWrite, dictionary) != eOk)
    return 0;
  std::unique_ptr<OdDbDictionaryIterator> entries(dictionary->newIterator());
  for (; !entries->done(); entries->next()) {
    OpenedObject<OdDbObject> entry;
    if (entries->getObject(entry.slot(), OdDb::kForWrite) != eOk) continue;  // open elsewhere: skipped
    entry->erase();
  }
  dictionary->erase();
  return 1;
}

int CHvDictManager::getEntryIds(OdArray<OdDbObjectId>& ids) const {
  if (!m_database) return 0;
  OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForRead, dictionary) != eOk)
    return 0;
  ids.clear();
  std::unique_ptr<OdDbDictionaryIterator> entries(dictionary->newIterator());
  for (; !entries->done(); entries->next()) {
    OpenedObject<OdDbObject> entry;
    if (entries->getObject(entry.slot(), OdDb::kForRead) != eOk) continue;
    ids.append(entry->objectId());
  }
  return 1;
}

int CHvDictManager::renameEntry(OdDbObjectId entryId, const OdChar* newName) {
  if (!m_database) return 0;
  OpenedObject<OdDbDictionary> dictionary;
  if (mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForWrite, dictionary) != eOk)
    return 0;
  OdString oldName;
  if (dictionary->nameAt(entryId, oldName) == eOk) dictionary->setName(oldName, newName);
  return 1;
}

int CHvDictManager::GetNewEntryName(const OdChar* base, CString& newName) const {
  const CString wanted(base);
  int count = 0;
  OpenedObject<OdDbDictionary> dictionary;
  if (m_database &&
      mwcommon::openNamedDictionary(m_database, OdString(m_dictName.GetString()), OdDb::kForRead, dictionary) == eOk) {
    std::unique_ptr<OdDbDictionaryIterator> entries(dictionary->newIterator());
    for (; !entries->done(); entries->next())
      if (CString(entries->name().c_str()).Find(wanted) >= 0) ++count;
  }
  if (count != 0)
    newName.Format(u"%s-%d", wanted.GetString(), count);
  else
    newName.Format(u"%s", wanted.GetString());
  return 1;
}

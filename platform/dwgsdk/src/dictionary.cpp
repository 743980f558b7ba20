// Dictionaries: entries in insertion order with a case-free name index.
#include <unordered_map>

#include "internals.h"

ODDB_DEFINE_MEMBERS(OdDbDictionary, OdDbObject, u"AcDbDictionary", u"DICTIONARY")

struct OdDbDictionary::Entries {
  std::vector<OdDbInternals::DictEntry> list;             // removed entries leave gaps with a null stub
  std::unordered_map<std::u16string, std::size_t> index;  // folded key -> position in list
  std::size_t live = 0;
};

OdDbDictionary::OdDbDictionary() : m_entries(std::make_unique<Entries>()) {}
OdDbDictionary::~OdDbDictionary() = default;
// A copied dictionary starts empty: entries belong to one owner.
OdDbDictionary::OdDbDictionary(const OdDbDictionary& other)
    : OdDbObject(other), m_entries(std::make_unique<Entries>()), m_cloning(other.m_cloning) {}

std::vector<OdDbInternals::DictEntry>& OdDbInternals::dictEntries(const OdDbDictionary* d) {
  return d->m_entries->list;
}

void OdDbInternals::dictAppend(OdDbDictionary* d, const OdString& key, OdDbStub* stub) {
  auto& e = *d->m_entries;
  e.index[foldName(key.view())] = e.list.size();
  e.list.push_back(DictEntry{key, stub});
  ++e.live;
}

static bool liveStub(const OdDbStub* s) { return s && s->object && !s->object->isErased(); }

/// The position of a live entry, or -1.
template <class Entries>
static std::ptrdiff_t findKey(const Entries& e, std::u16string_view key) {
  auto it = e.index.find(foldName(key));
  if (it == e.index.end()) return -1;
  const auto& entry = e.list[it->second];
  return liveStub(entry.stub) ? static_cast<std::ptrdiff_t>(it->second) : -1;
}

OdResult OdDbDictionary::getAt(const OdString& key, OdDbObjectId& id) const {
  id = OdDbObjectId::kNull;
  std::ptrdiff_t at = findKey(*m_entries, key.view());
  if (at < 0) return eKeyNotFound;
  id = OdDbObjectId(m_entries->list[static_cast<std::size_t>(at)].stub);
  return eOk;
}

OdDbObjectId OdDbDictionary::getAt(const OdString& key) const {
  OdDbObjectId id;
  (void)getAt(key, id);
  return id;
}

OdResult OdDbDictionary::getAt(const OdString& key, OdDbObject*& object, OdDb::OpenMode mode) const {
  object = nullptr;
  OdDbObjectId id;
  if (OdResult r = getAt(key, id); r != eOk) return r;
  return oddbOpenObject(object, id, mode);
}

OdResult OdDbDictionary::nameAt(const OdDbObjectId& id, OdString& key) const {
  for (const auto& e : m_entries->list) {
    if (e.stub && e.stub == id.stub() && liveStub(e.stub)) {
      key = e.key;
      return eOk;
    }
  }
  return eKeyNotFound;
}

bool OdDbDictionary::has(const OdString& key) const { return findKey(*m_entries, key.view()) >= 0; }

bool OdDbDictionary::has(const OdDbObjectId& id) const {
  OdString key;
  return nameAt(id, key) == eOk;
}

OdUInt32 OdDbDictionary::numEntries() const {
  OdUInt32 n = 0;
  for (const auto& e : m_entries->list)
    if (liveStub(e.stub)) ++n;
  return n;
}

OdResult OdDbDictionary::setAt(const OdString& key, OdDbObject* value, OdDbObjectId& id) {
  id = OdDbObjectId::kNull;
  if (!value) return eNullObjectPointer;
  if (key.isEmpty()) return eInvalidKey;
  for (char16_t c : key.view())
    if (c < 0x20) return eInvalidKey;
  OdDbStub* self = OdDbInternals::stub(this);
  if (!self) return eNotInDatabase;
  ODDB_ASSERT_WRITE();
  OdDbStub* valueStub = OdDbInternals::stub(value);
  if (valueStub && valueStub->database != self->database) return eWrongDatabase;
  if (value == this) return eSelfReference;
  // A dictionary may not come to hold one of its own owners.
  for (OdDbStub* o = self; o && o->object; o = OdDbInternals::owner(o->object))
    if (o == valueStub) return eSelfReference;
  auto& e = *m_entries;
  std::u16string folded = foldName(key.view());
  auto it = e.index.find(folded);
  if (it != e.index.end() && e.list[it->second].stub == valueStub && valueStub) {
    id = OdDbObjectId(valueStub);
    return eOk;
  }
  if (!valueStub) {
    if (OdResult r = self->database->add(value, self, true); r != eOk) return r;
    valueStub = OdDbInternals::stub(value);
  } else {
    // The object moves here from its previous owner.
    if (OdDbStub* previous = OdDbInternals::owner(value); previous && previous->object && previous != self)
      if (auto* d = OdDbDictionary::cast(previous->object)) d->remove(OdDbObjectId(valueStub));
    OdDbInternals::setOwner(value, self);
  }
  if (it != e.index.end()) {
    auto& entry = e.list[it->second];
    if (liveStub(entry.stub) && entry.stub != valueStub && OdDbInternals::owner(entry.stub->object) == self)
      OdDbInternals::setErasedFlag(entry.stub->object, true);
    if (!entry.stub) ++e.live;
    entry.key = key;
    entry.stub = valueStub;
  } else {
    OdDbInternals::dictAppend(this, key, valueStub);
  }
  id = OdDbObjectId(valueStub);
  return eOk;
}

OdDbObjectId OdDbDictionary::setAt(const OdString& key, OdDbObject* value) {
  OdDbObjectId id;
  (void)setAt(key, value, id);
  return id;
}

OdResult OdDbDictionary::remove(const OdString& key) {
  OdDbObjectId id;
  return remove(key, id);
}

OdResult OdDbDictionary::remove(const OdString& key, OdDbObjectId& id) {
  id = OdDbObjectId::kNull;
  ODDB_ASSERT_WRITE();
  auto& e = *m_entries;
  auto it = e.index.find(foldName(key.view()));
  if (it == e.index.end() || !liveStub(e.list[it->second].stub)) return eKeyNotFound;
  auto& entry = e.list[it->second];
  id = OdDbObjectId(entry.stub);
  if (entry.stub->object && OdDbInternals::owner(entry.stub->object) == OdDbInternals::stub(this))
    OdDbInternals::setOwner(entry.stub->object, nullptr);
  entry.stub = nullptr;
  e.index.erase(it);
  --e.live;
  return eOk;
}

OdResult OdDbDictionary::remove(const OdDbObjectId& id) {
  OdString key;
  if (OdResult r = nameAt(id, key); r != eOk) return r;
  return remove(key);
}

bool OdDbDictionary::setName(const OdString& oldName, const OdString& newName) {
  if (assertWriteEnabled() != eOk || newName.isEmpty()) return false;
  auto& e = *m_entries;
  std::ptrdiff_t at = findKey(e, oldName.view());
  if (at < 0) return false;
  std::u16string oldKey = foldName(oldName.view());
  std::u16string newKey = foldName(newName.view());
  if (newKey != oldKey && findKey(e, newName.view()) >= 0) return false;
  for (char16_t c : newName.view())
    if (c < 0x20) return false;
  e.index.erase(oldKey);
  e.index[newKey] = static_cast<std::size_t>(at);
  e.list[static_cast<std::size_t>(at)].key = newName;
  return true;
}

OdDbDictionaryIterator* OdDbDictionary::newIterator() const { return new OdDbDictionaryIterator(this); }

OdDbDictionaryIterator::OdDbDictionaryIterator(const OdDbDictionary* dictionary) : m_dictionary(dictionary) {
  skipErased();
}
OdDbDictionaryIterator::~OdDbDictionaryIterator() = default;

void OdDbDictionaryIterator::skipErased() {
  const auto& list = m_dictionary->m_entries->list;
  while (m_index < list.size() && !liveStub(list[m_index].stub)) ++m_index;
}

bool OdDbDictionaryIterator::done() const { return m_index >= m_dictionary->m_entries->list.size(); }

bool OdDbDictionaryIterator::next() {
  if (done()) return false;
  ++m_index;
  skipErased();
  return !done();
}

OdString OdDbDictionaryIterator::name() const {
  return done() ? OdString() : m_dictionary->m_entries->list[m_index].key;
}

OdDbObjectId OdDbDictionaryIterator::objectId() const {
  return done() ? OdDbObjectId() : OdDbObjectId(m_dictionary->m_entries->list[m_index].stub);
}

OdResult OdDbDictionaryIterator::getObject(OdDbObject*& object, OdDb::OpenMode mode) const {
  object = nullptr;
  if (done()) return eInvalidIndex;
  return oddbOpenObject(object, objectId(), mode);
}

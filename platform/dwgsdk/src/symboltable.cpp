// Symbol tables: records by name (without case, in constant time) and in
// the order they were added.
#include "internals.h"
#include "standard.h"
#include "symbolindex.h"
#include "winsim/text.h"

std::u16string foldName(std::u16string_view name) {
  std::u16string folded(name);
  for (auto& c : folded) c = winsim::upperCase(c);
  return folded;
}

ODDB_DEFINE_MEMBERS(OdDbSymbolTableRecord, OdDbObject, u"AcDbSymbolTableRecord", nullptr)
ODDB_DEFINE_MEMBERS(OdDbSymbolTable, OdDbObject, u"AcDbSymbolTable", nullptr)

namespace {
const OdString& nameOf(const OdDbStub* record) {
  return OdDbInternals::recordName(static_cast<const OdDbSymbolTableRecord*>(record->object));
}
}  // namespace

struct OdDbSymbolTable::Index {
  std::vector<OdDbStub*> records;  // every record, erased ones too, in order
  SymbolIndex live;                // the records not erased, by name
};

OdDbSymbolTable::OdDbSymbolTable() : m_index(std::make_unique<Index>()) {}
OdDbSymbolTable::~OdDbSymbolTable() = default;
// A copied table starts empty: records belong to one table.
OdDbSymbolTable::OdDbSymbolTable(const OdDbSymbolTable& other)
    : OdDbObject(other), m_index(std::make_unique<Index>()) {}

const OdRxClass* OdDbSymbolTable::recordClass() const { return OdDbSymbolTableRecord::desc(); }

void OdDbInternals::tableInsert(OdDbSymbolTable* table, OdDbStub* record) {
  table->m_index->records.push_back(record);
  if (!record->object->isErased()) table->m_index->live.assign(nameOf(record).view(), record);
}

void OdDbInternals::tableRename(OdDbSymbolTable* table, OdDbStub* record, const OdString& oldName) {
  SymbolIndex& live = table->m_index->live;
  live.remove(oldName.view(), record);
  if (!record->object->isErased()) live.assign(nameOf(record).view(), record);
}

void OdDbInternals::tableErased(OdDbSymbolTable* table, OdDbStub* record, bool erased) {
  SymbolIndex& live = table->m_index->live;
  if (erased)
    live.remove(nameOf(record).view(), record);
  else
    live.assignIfAbsent(nameOf(record).view(), record);
}

const std::vector<OdDbStub*>& OdDbInternals::tableRecords(const OdDbSymbolTable* table) {
  return table->m_index->records;
}

OdDbStub* OdDbInternals::tableFind(const OdDbSymbolTable* table, std::u16string_view name) {
  OdDbStub* found = table->m_index->live.find(name);
  return found && found->object ? found : nullptr;
}

static bool isAnonymousStem(std::u16string_view name) {
  // "*U", "*D", "*X", ...: a star and one letter; the table numbers it.
  return name.size() == 2 && name[0] == u'*' &&
         ((name[1] >= u'A' && name[1] <= u'Z') || (name[1] >= u'a' && name[1] <= u'z'));
}

OdString OdDbInternals::uniqueAnonymousName(OdDbSymbolTable* table, const OdString& stem) {
  // The smallest number no record's name (erased ones included) has after
  // the stem, found in one pass: with n records only 1..n+1 can be it.
  const std::vector<OdDbStub*>& records = table->m_index->records;
  std::vector<bool> taken(records.size() + 2);
  std::u16string_view prefix = stem.view();
  for (OdDbStub* r : records) {
    if (!r->object) continue;
    std::u16string_view name = nameOf(r).view();
    if (name.size() <= prefix.size() || name.size() - prefix.size() > 9 || name[prefix.size()] == u'0' ||
        !winsim::equalsNoCase(name.substr(0, prefix.size()), prefix))
      continue;
    std::size_t n = 0;
    for (char16_t c : name.substr(prefix.size())) {
      if (c < u'0' || c > u'9') {
        n = 0;  // not a number: 0 is never a candidate
        break;
      }
      n = n * 10 + static_cast<std::size_t>(c - u'0');
    }
    if (n < taken.size()) taken[n] = true;
  }
  std::size_t n = 1;
  while (taken[n]) ++n;
  return stem + OdString(winsim::fromUtf8(std::to_string(n)));
}

static OdResult checkName(std::u16string_view name, bool starAllowed) {
  if (name.empty() || name.size() > 255) return eInvalidSymbolTableName;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char16_t c = name[i];
    if (c < 0x20) return eInvalidSymbolTableName;
    if (std::u16string_view(u"<>/\\\":;?,=`").find(c) != std::u16string_view::npos) return eInvalidSymbolTableName;
    if (c == u'*' && !(i == 0 && starAllowed)) return eInvalidSymbolTableName;
  }
  return eOk;
}

static bool starAllowed(const OdDbSymbolTableRecord* record) {
  return OdDbBlockTableRecord::cast(record) || OdDbViewportTableRecord::cast(record);
}

// Records.
OdDbSymbolTableRecord::OdDbSymbolTableRecord() = default;

OdString OdDbSymbolTableRecord::getName() const { return m_name; }

OdResult OdDbSymbolTableRecord::getName(OdString& name) const {
  name = m_name;
  return eOk;
}

bool OdDbSymbolTableRecord::isDependent() const { return (m_standardFlags & 16) != 0; }

OdResult OdDbSymbolTableRecord::setName(const OdString& name) {
  ODDB_ASSERT_WRITE();
  if (OdResult r = checkName(name.view(), starAllowed(this)); r != eOk) return r;
  OdDbStub* self = OdDbInternals::stub(this);
  OdDbStub* ownerStub = OdDbInternals::owner(this);
  auto* table = ownerStub && ownerStub->object ? OdDbSymbolTable::cast(ownerStub->object) : nullptr;
  if (!table) {
    m_name = name;
    return eOk;
  }
  OdDbDatabaseImpl* db = self->database;
  for (OdDbStub* fixed : {db->layer0, db->byBlock, db->byLayer, db->continuous, db->modelSpace, db->paperSpace})
    if (fixed == self) return eNotApplicable;
  OdString newName = name;
  if (isAnonymousStem(name.view())) {
    newName = OdDbInternals::uniqueAnonymousName(table, name);
  } else if (OdDbStub* other = OdDbInternals::tableFind(table, name.view()); other && other != self) {
    return eDuplicateRecordName;
  }
  OdString oldName = m_name;
  m_name = newName;
  OdDbInternals::tableRename(table, self, oldName);
  return eOk;
}

// Tables.
bool OdDbSymbolTable::has(const OdString& name) const { return OdDbInternals::tableFind(this, name.view()) != nullptr; }

bool OdDbSymbolTable::has(const OdDbObjectId& id) const {
  OdDbStub* s = id.stub();
  return s && s->object && !s->object->isErased() && OdDbInternals::owner(s->object) == OdDbInternals::stub(this);
}

OdResult OdDbSymbolTable::getAt(const OdString& name, OdDbObjectId& id, bool getErased) const {
  id = OdDbObjectId::kNull;
  if (OdDbStub* s = OdDbInternals::tableFind(this, name.view())) {
    id = OdDbObjectId(s);
    return eOk;
  }
  if (getErased) {
    for (auto it = m_index->records.rbegin(); it != m_index->records.rend(); ++it) {
      OdDbStub* s = *it;
      if (s->object && winsim::equalsNoCase(nameOf(s).view(), name.view())) {
        id = OdDbObjectId(s);
        return eOk;
      }
    }
  }
  return eKeyNotFound;
}

OdDbObjectId OdDbSymbolTable::getAt(const OdString& name) const {
  OdDbObjectId id;
  (void)getAt(name, id, false);
  return id;
}

OdResult OdDbSymbolTable::getAt(const OdString& name, OdDbSymbolTableRecord*& record, OdDb::OpenMode mode,
                                bool openErased) const {
  record = nullptr;
  OdDbObjectId id;
  if (OdResult r = getAt(name, id, openErased); r != eOk) return r;
  return oddbOpenObject(record, id, mode, openErased);
}

OdResult OdDbSymbolTable::add(OdDbSymbolTableRecord* record) {
  OdDbObjectId id;
  return add(id, record);
}

OdResult OdDbSymbolTable::add(OdDbObjectId& id, OdDbSymbolTableRecord* record) {
  id = OdDbObjectId::kNull;
  if (!record) return eNullObjectPointer;
  OdDbStub* self = OdDbInternals::stub(this);
  if (!self) return eNotInDatabase;
  ODDB_ASSERT_WRITE();
  if (!record->isKindOf(recordClass())) return eWrongObjectType;
  if (OdDbInternals::stub(record)) return eAlreadyInDb;
  OdDbDatabaseImpl* db = self->database;
  bool foreign = false;
  OdDbInternals::forEachReference(record, [&](OdDbStub*& s) {
    if (s && s->database != db) foreign = true;
  });
  if (foreign) return eWrongDatabase;
  const OdString& name = OdDbInternals::recordName(record);
  if (OdResult r = checkName(name.view(), starAllowed(record)); r != eOk) return r;
  bool viewport = OdDbViewportTableRecord::cast(record) != nullptr;  // VPORT names repeat (*Active)
  if (isAnonymousStem(name.view()) && OdDbBlockTableRecord::cast(record)) {
    OdDbInternals::setRecordName(record, OdDbInternals::uniqueAnonymousName(this, name));
  } else if (!viewport && OdDbInternals::tableFind(this, name.view())) {
    return eDuplicateRecordName;
  }
  if (auto* layer = OdDbLayerTableRecord::cast(record); layer && !OdDbInternals::layerLinetype(layer))
    OdDbInternals::layerLinetype(layer) = db->continuous;
  addStandardRecord(*db, self, record);
  OdDbInternals::openObject(record, OdDb::kForWrite);
  id = record->objectId();
  return eOk;
}

OdResult OdDbSymbolTable::newIterator(OdDbSymbolTableIterator*& iterator, bool atBeginning, bool skipDeleted) const {
  iterator = new OdDbSymbolTableIterator(this);
  iterator->start(atBeginning, skipDeleted);
  return eOk;
}

OdDbSymbolTableIterator::OdDbSymbolTableIterator(const OdDbSymbolTable* table) : m_table(table) {}
OdDbSymbolTableIterator::~OdDbSymbolTableIterator() = default;

void OdDbSymbolTableIterator::skip(bool forward, bool skipDeleted) {
  const auto& records = m_table->m_index->records;
  auto n = static_cast<std::ptrdiff_t>(records.size());
  while (m_index >= 0 && m_index < n) {
    OdDbStub* s = records[static_cast<std::size_t>(m_index)];
    if (s->object && !(skipDeleted && s->object->isErased())) return;
    m_index += forward ? 1 : -1;
  }
}

void OdDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted) {
  m_index = atBeginning ? 0 : static_cast<std::ptrdiff_t>(m_table->m_index->records.size()) - 1;
  skip(atBeginning, skipDeleted);
}

bool OdDbSymbolTableIterator::done() const {
  return m_index < 0 || m_index >= static_cast<std::ptrdiff_t>(m_table->m_index->records.size());
}

void OdDbSymbolTableIterator::step(bool forward, bool skipDeleted) {
  if (done()) return;
  m_index += forward ? 1 : -1;
  skip(forward, skipDeleted);
}

OdDbObjectId OdDbSymbolTableIterator::getRecordId() const {
  return done() ? OdDbObjectId() : OdDbObjectId(m_table->m_index->records[static_cast<std::size_t>(m_index)]);
}

OdResult OdDbSymbolTableIterator::getRecordId(OdDbObjectId& id) const {
  id = getRecordId();
  return id.isNull() ? eInvalidIndex : eOk;
}

OdResult OdDbSymbolTableIterator::getRecord(OdDbSymbolTableRecord*& record, OdDb::OpenMode mode,
                                            bool openErased) const {
  record = nullptr;
  if (done()) return eInvalidIndex;
  return oddbOpenObject(record, getRecordId(), mode, openErased);
}

OdResult OdDbSymbolTableIterator::seek(OdDbObjectId id) {
  const auto& records = m_table->m_index->records;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i] == id.stub()) {
      m_index = static_cast<std::ptrdiff_t>(i);
      return eOk;
    }
  }
  return eInvalidInput;
}

#define ODDB_DEFINE_TABLE(TableName, RecordName, nameText)                                                           \
  ODDB_DEFINE_MEMBERS(TableName, OdDbSymbolTable, nameText, nullptr)                                                 \
  const OdRxClass* TableName::recordClass() const { return RecordName::desc(); }                                     \
  OdResult TableName::getAt(const OdString& name, RecordName*& record, OdDb::OpenMode mode, bool openErased) const { \
    record = nullptr;                                                                                                \
    OdDbObjectId id;                                                                                                 \
    if (OdResult r = OdDbSymbolTable::getAt(name, id, openErased); r != eOk) return r;                               \
    return oddbOpenObject(record, id, mode, openErased);                                                             \
  }                                                                                                                  \
  OdResult TableName::add(RecordName* record) { return OdDbSymbolTable::add(record); }                               \
  OdResult TableName::add(OdDbObjectId& id, RecordName* record) { return OdDbSymbolTable::add(id, record); }

ODDB_DEFINE_TABLE(OdDbBlockTable, OdDbBlockTableRecord, u"AcDbBlockTable")
ODDB_DEFINE_TABLE(OdDbLayerTable, OdDbLayerTableRecord, u"AcDbLayerTable")
ODDB_DEFINE_TABLE(OdDbLinetypeTable, OdDbLinetypeTableRecord, u"AcDbLinetypeTable")
ODDB_DEFINE_TABLE(OdDbTextStyleTable, OdDbTextStyleTableRecord, u"AcDbTextStyleTable")
ODDB_DEFINE_TABLE(OdDbDimStyleTable, OdDbDimStyleTableRecord, u"AcDbDimStyleTable")
ODDB_DEFINE_TABLE(OdDbRegAppTable, OdDbRegAppTableRecord, u"AcDbRegAppTable")
ODDB_DEFINE_TABLE(OdDbUCSTable, OdDbUCSTableRecord, u"AcDbUCSTable")
ODDB_DEFINE_TABLE(OdDbViewTable, OdDbViewTableRecord, u"AcDbViewTable")
ODDB_DEFINE_TABLE(OdDbViewportTable, OdDbViewportTableRecord, u"AcDbViewportTable")

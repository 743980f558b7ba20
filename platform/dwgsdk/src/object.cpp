// OdDbObject: identity, owners, the open protocol and erasing.
#include "internals.h"
#include "xdata.h"

ODDB_DEFINE_MEMBERS(OdDbObject, OdRxObject, u"AcDbObject", nullptr)

namespace {
constexpr OdUInt8 kOpenForWrite = 1;
constexpr OdUInt8 kErased = 2;
constexpr OdUInt16 kMaxReaders = 255;
}  // namespace

OdDbObject::OdDbObject() = default;

OdDbObject::OdDbObject(const OdDbObject& other) : OdRxObject(other) {
  if (other.m_xdata) m_xdata = std::make_unique<XData>(*other.m_xdata);
}

OdDbObject::~OdDbObject() {
  // Deleting an object that is still in a live database leaves its id
  // pointing at nothing rather than at freed memory.
  if (m_stub && !m_stub->database->destroying) m_stub->object = nullptr;
}

OdDbObjectId OdDbObject::objectId() const { return OdDbObjectId(m_stub); }
OdDbObjectId OdDbObject::ownerId() const { return OdDbObjectId(m_owner); }

OdResult OdDbObject::setOwnerId(OdDbObjectId ownerId) {
  if (OdResult r = assertWriteEnabled(); r != eOk) return r;
  if (m_stub && ownerId.stub() && ownerId.stub()->database != m_stub->database) return eWrongDatabase;
  m_owner = ownerId.stub();
  return eOk;
}

OdDbDatabase* OdDbObject::database() const { return m_stub ? m_stub->database->owner : nullptr; }
OdDbHandle OdDbObject::handle() const { return m_stub ? OdDbHandle(m_stub->handle) : OdDbHandle(); }

bool OdDbObject::isReadEnabled() const { return !m_stub || m_readers > 0 || (m_flags & kOpenForWrite); }
bool OdDbObject::isWriteEnabled() const { return !m_stub || (m_flags & kOpenForWrite); }
bool OdDbObject::isNotifyEnabled() const { return m_stub && m_notifiers > 0; }
bool OdDbObject::isErased() const { return (m_flags & kErased) != 0; }

OdResult OdDbObject::assertReadEnabled() const { return isReadEnabled() ? eOk : eNotOpenForRead; }
OdResult OdDbObject::assertWriteEnabled() const { return isWriteEnabled() ? eOk : eNotOpenForWrite; }

OdResult OdDbObject::upgradeOpen() {
  // An object of no database counts as open for write.
  if (!m_stub || (m_flags & kOpenForWrite)) return eWasOpenForWrite;
  if (m_readers == 0) return eNotOpenForRead;
  if (m_readers > 1) return eHadMultipleReaders;
  m_readers = 0;
  m_flags |= kOpenForWrite;
  return eOk;
}

OdResult OdDbObject::downgradeOpen() {
  if (!m_stub) return eOk;
  if (!(m_flags & kOpenForWrite)) return eWasNotOpenForWrite;
  m_flags &= ~kOpenForWrite;
  m_readers = 1;
  return eOk;
}

OdResult OdDbObject::close() {
  if (!m_stub) return eOk;
  if (m_flags & kOpenForWrite) {
    m_flags &= ~kOpenForWrite;
    return eOk;
  }
  if (m_readers > 0) {
    --m_readers;
    return eOk;
  }
  if (m_notifiers > 0) {
    --m_notifiers;
    return eOk;
  }
  return eInvalidOpenState;
}

static bool isProtected(const OdDbDatabaseImpl* db, const OdDbStub* s) {
  const OdDbHeader& h = db->header;
  for (const OdDbStub* p :
       {db->blockTable,    db->layerTable, db->linetypeTable, db->textStyleTable, db->dimStyleTable, db->regAppTable,
        db->ucsTable,      db->viewTable,  db->viewportTable, db->namedObjects,   db->modelSpace,    db->paperSpace,
        db->paperViewport, db->layer0,     db->byBlock,       db->byLayer,        db->continuous,    h.clayer,
        h.celtype,         h.textstyle,    h.dimstyle})
    if (p == s) return true;
  return false;
}

OdResult OdDbObject::erase(bool erasing) {
  if (!m_stub) return eNotInDatabase;
  if (OdResult r = assertWriteEnabled(); r != eOk) return r;
  if (erasing == isErased()) return erasing ? eWasErased : eOk;
  if (erasing && isProtected(m_stub->database, m_stub)) return eNotApplicable;
  if (m_owner && m_owner->object) {
    if (auto* table = OdDbSymbolTable::cast(m_owner->object)) {
      if (!erasing &&
          OdDbInternals::tableFind(table, OdDbInternals::recordName(static_cast<OdDbSymbolTableRecord*>(this)).view()))
        return eDuplicateRecordName;
      OdDbInternals::setErasedFlag(this, erasing);
      OdDbInternals::tableErased(table, m_stub, erasing);
      return eOk;
    }
  }
  OdDbInternals::setErasedFlag(this, erasing);
  if (OdDbSubObjects* subs = OdDbInternals::subObjects(this)) {
    for (OdDbStub* s : subs->stubs)
      if (s->object) OdDbInternals::setErasedFlag(s->object, erasing);
    if (subs->seqEnd && subs->seqEnd->object) OdDbInternals::setErasedFlag(subs->seqEnd->object, erasing);
  }
  return eOk;
}

void OdDbInternals::setErasedFlag(OdDbObject* o, bool erased) {
  if (erased)
    o->m_flags |= kErased;
  else
    o->m_flags &= ~kErased;
}

void OdDbInternals::attach(OdDbObject* o, OdDbStub* s, OdDbStub* owner, bool openForWrite) {
  o->m_stub = s;
  o->m_owner = owner;
  o->m_readers = 0;
  o->m_notifiers = 0;
  o->m_flags = static_cast<OdUInt8>((o->m_flags & kErased) | (openForWrite ? kOpenForWrite : 0));
  s->object = o;
}

OdResult OdDbInternals::openObject(OdDbObject* o, OdDb::OpenMode mode) {
  switch (mode) {
    case OdDb::kForRead:
      if (o->m_flags & kOpenForWrite) return eWasOpenForWrite;
      if (o->m_readers >= kMaxReaders) return eAtMaxReaders;
      ++o->m_readers;
      return eOk;
    case OdDb::kForWrite:
      if (o->m_flags & kOpenForWrite) return eWasOpenForWrite;
      if (o->m_readers > 0) return eWasOpenForRead;
      o->m_flags |= kOpenForWrite;
      return eOk;
    case OdDb::kForNotify:
      if (o->m_notifiers >= kMaxReaders) return eAtMaxReaders;
      ++o->m_notifiers;
      return eOk;
    default:
      return eInvalidOpenState;
  }
}

OdResult oddbOpenObject(OdDbObject*& object, const OdDbObjectId& id, OdDb::OpenMode mode, bool openErased) {
  object = nullptr;
  OdDbStub* stub = id.stub();
  if (!stub) return eNullObjectId;
  OdDbObject* o = stub->object;
  if (!o) return eUnknownHandle;
  if (o->isErased() && !openErased) return eWasErased;
  if (OdResult r = OdDbInternals::openObject(o, mode); r != eOk) return r;
  object = o;
  return eOk;
}

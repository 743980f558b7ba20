// OdDbDatabase: objects and handles, the tables, header values and the
// standard contents of a drawing.
#include <algorithm>

#include "internals.h"
#include "standard.h"

OdUInt64 registerDatabase(OdDbDatabaseImpl* impl);
void unregisterDatabase(OdUInt64 serial);

ODRX_DEFINE_RTTI(OdDbDatabase, OdRxObject, u"AcDbDatabase", nullptr, nullptr)

OdDbDatabaseImpl::OdDbDatabaseImpl(OdDbDatabase* o) : owner(o), serial(registerDatabase(this)) {}

OdDbDatabaseImpl::~OdDbDatabaseImpl() {
  unregisterDatabase(serial);
  destroying = true;
  // Owners first would leave children pointing at freed owners while they
  // go; objects never look at their owner in their destructor, so any order
  // is safe. Sub-objects that joined the database are its own.
  stubs.forEach([](OdDbStub& s) {
    delete s.object;
    s.object = nullptr;
  });
}

OdDbStub* OdDbDatabaseImpl::newStub(OdUInt64 handle) {
  OdDbStub* s = stubs.allocate();
  s->database = this;
  s->handle = handle;
  handles.insert(s);
  if (handle >= handseed) handseed = handle + 1;
  return s;
}

OdDbStub* OdDbDatabaseImpl::stubFor(OdUInt64 handle) {
  if (handle == 0) return nullptr;
  if (OdDbStub* s = handles.find(handle)) return s;
  return newStub(handle);
}

void OdDbDatabaseImpl::assignHandle(OdDbStub* s) {
  while (handles.find(handseed)) ++handseed;
  s->handle = handseed++;
  handles.insert(s);
}

OdResult OdDbDatabaseImpl::add(OdDbObject* object, OdDbStub* ownerStub, bool openForWrite, OdUInt64 handle,
                               bool joinSubObjects) {
  if (!object) return eNullObjectPointer;
  if (OdDbInternals::stub(object)) return eAlreadyInDb;
  OdDbStub* s;
  if (handle) {
    s = handles.find(handle);
    if (s && s->object) return eHandleInUse;
    if (!s) s = newStub(handle);
  } else if (deferHandles) {
    s = stubs.allocate();
    s->database = this;
    unhandled.push_back(s);
  } else {
    s = stubs.allocate();
    s->database = this;
    assignHandle(s);
  }
  OdDbInternals::attach(object, s, ownerStub, openForWrite);
  OdDbSubObjects* subs = joinSubObjects ? OdDbInternals::subObjects(object) : nullptr;
  if (subs) {
    for (auto& p : subs->pending) {
      OdDbEntity* child = p.release();
      add(child, s, false);
      subs->stubs.push_back(OdDbInternals::stub(child));
    }
    subs->pending.clear();
    if (!subs->seqEnd && (OdDbComplexEntity::cast(object) || !subs->stubs.empty())) {
      auto* end = new OdDbSequenceEnd();
      add(end, s, false);
      subs->seqEnd = OdDbInternals::stub(end);
    }
  }
  return eOk;
}

OdDbDatabase* workingDatabaseOrNull() { return oddbHostApplicationServices()->workingDatabase(); }

OdDbDatabase::OdDbDatabase(bool buildDefaultDrawing, bool) : m_impl(std::make_unique<OdDbDatabaseImpl>(this)) {
  if (buildDefaultDrawing) ensureStandardContents(*m_impl);
}

OdDbDatabase::~OdDbDatabase() {
  OdDbHostAppServices* services = oddbHostApplicationServices();
  if (services->workingDatabase() == this) services->setWorkingDatabase(nullptr);
}

void OdDbDatabase::swapContents(OdDbDatabase& other) {
  std::swap(m_impl, other.m_impl);
  m_impl->owner = this;
  other.m_impl->owner = &other;
}

static OdDbObjectId idOf(OdDbStub* s) { return OdDbObjectId(s); }

OdDbObjectId OdDbDatabase::getBlockTableId() const { return idOf(m_impl->blockTable); }
OdDbObjectId OdDbDatabase::getLayerTableId() const { return idOf(m_impl->layerTable); }
OdDbObjectId OdDbDatabase::getLinetypeTableId() const { return idOf(m_impl->linetypeTable); }
OdDbObjectId OdDbDatabase::getTextStyleTableId() const { return idOf(m_impl->textStyleTable); }
OdDbObjectId OdDbDatabase::getDimStyleTableId() const { return idOf(m_impl->dimStyleTable); }
OdDbObjectId OdDbDatabase::getRegAppTableId() const { return idOf(m_impl->regAppTable); }
OdDbObjectId OdDbDatabase::getUCSTableId() const { return idOf(m_impl->ucsTable); }
OdDbObjectId OdDbDatabase::getViewTableId() const { return idOf(m_impl->viewTable); }
OdDbObjectId OdDbDatabase::getViewportTableId() const { return idOf(m_impl->viewportTable); }
OdDbObjectId OdDbDatabase::getNamedObjectsDictionaryId() const { return idOf(m_impl->namedObjects); }

template <class T>
static OdResult openTable(OdDbStub* stub, T*& table, OdDb::OpenMode mode) {
  table = nullptr;
  if (!stub) return eNullObjectId;
  return oddbOpenObject(table, OdDbObjectId(stub), mode);
}

OdResult OdDbDatabase::getBlockTable(OdDbBlockTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->blockTable, t, m);
}
OdResult OdDbDatabase::getLayerTable(OdDbLayerTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->layerTable, t, m);
}
OdResult OdDbDatabase::getLinetypeTable(OdDbLinetypeTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->linetypeTable, t, m);
}
OdResult OdDbDatabase::getTextStyleTable(OdDbTextStyleTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->textStyleTable, t, m);
}
OdResult OdDbDatabase::getDimStyleTable(OdDbDimStyleTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->dimStyleTable, t, m);
}
OdResult OdDbDatabase::getRegAppTable(OdDbRegAppTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->regAppTable, t, m);
}
OdResult OdDbDatabase::getUCSTable(OdDbUCSTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->ucsTable, t, m);
}
OdResult OdDbDatabase::getViewTable(OdDbViewTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->viewTable, t, m);
}
OdResult OdDbDatabase::getViewportTable(OdDbViewportTable*& t, OdDb::OpenMode m) const {
  return openTable(m_impl->viewportTable, t, m);
}
OdResult OdDbDatabase::getNamedObjectsDictionary(OdDbDictionary*& d, OdDb::OpenMode m) const {
  return openTable(m_impl->namedObjects, d, m);
}

OdResult OdDbDatabase::getOdDbObjectId(OdDbObjectId& id, bool createIfNotFound, const OdDbHandle& handle, OdUInt32) {
  id = OdDbObjectId::kNull;
  if (handle.isNull()) return eNullHandle;
  OdDbStub* s = m_impl->find(handle);
  if (!s && createIfNotFound) s = m_impl->newStub(handle);
  if (!s || (!s->object && !createIfNotFound)) return eUnknownHandle;
  id = OdDbObjectId(s);
  return eOk;
}

OdDbObjectId OdDbDatabase::getOdDbObjectId(const OdDbHandle& handle, bool createIfNotFound, OdUInt32 xRefId) {
  OdDbObjectId id;
  (void)getOdDbObjectId(id, createIfNotFound, handle, xRefId);
  return id;
}

OdResult OdDbDatabase::addOdDbObject(OdDbObjectId& id, OdDbObject* object, OdDbObjectId ownerId) {
  id = OdDbObjectId::kNull;
  if (!object) return eNullObjectPointer;
  if (ownerId.stub() && ownerId.stub()->database != m_impl.get()) return eWrongDatabase;
  if (OdResult r = m_impl->add(object, ownerId.stub(), true); r != eOk) return r;
  id = object->objectId();
  return eOk;
}

OdDbHandle OdDbDatabase::handseed() const { return OdDbHandle(m_impl->handseed); }
OdUInt64 OdDbDatabase::approxNumObjects() const { return m_impl->stubs.count(); }

// Header values.
bool OdDbDatabase::tilemode() const { return m_impl->header.tilemode; }
OdResult OdDbDatabase::setTilemode(bool tilemode) {
  m_impl->header.tilemode = tilemode;
  return eOk;
}
double OdDbDatabase::celtscale() const { return m_impl->header.celtscale; }
OdResult OdDbDatabase::setCeltscale(double scale) {
  if (!(scale > 0) || !std::isfinite(scale)) return eInvalidInput;
  m_impl->header.celtscale = scale;
  return eOk;
}
double OdDbDatabase::ltscale() const { return m_impl->header.ltscale; }
OdResult OdDbDatabase::setLtscale(double scale) {
  if (!(scale > 0) || !std::isfinite(scale)) return eInvalidInput;
  m_impl->header.ltscale = scale;
  return eOk;
}
double OdDbDatabase::textsize() const { return m_impl->header.textsize; }
OdResult OdDbDatabase::setTextsize(double size) {
  if (!(size > 0) || !std::isfinite(size)) return eInvalidInput;
  m_impl->header.textsize = size;
  return eOk;
}

/// A record id of this database's table `table`, or the reason it is not.
static OdResult checkRecord(const OdDbDatabaseImpl* db, OdDbObjectId id, OdDbStub* table) {
  OdDbStub* s = id.stub();
  if (!s) return eNullObjectId;
  if (s->database != db) return eWrongDatabase;
  if (!s->object) return eUnknownHandle;
  if (OdDbInternals::owner(s->object) != table) return eNotThatKindOfClass;
  if (s->object->isErased()) return eWasErased;
  return eOk;
}

OdDbObjectId OdDbDatabase::textstyle() const { return idOf(m_impl->header.textstyle); }
OdResult OdDbDatabase::setTextstyle(OdDbObjectId id) {
  if (OdResult r = checkRecord(m_impl.get(), id, m_impl->textStyleTable); r != eOk) return r;
  m_impl->header.textstyle = id.stub();
  return eOk;
}
OdDbObjectId OdDbDatabase::clayer() const { return idOf(m_impl->header.clayer); }
OdResult OdDbDatabase::setClayer(OdDbObjectId id) {
  if (OdResult r = checkRecord(m_impl.get(), id, m_impl->layerTable); r != eOk) return r;
  m_impl->header.clayer = id.stub();
  return eOk;
}
OdDbObjectId OdDbDatabase::celtype() const { return idOf(m_impl->header.celtype); }
OdResult OdDbDatabase::setCeltype(OdDbObjectId id) {
  if (OdResult r = checkRecord(m_impl.get(), id, m_impl->linetypeTable); r != eOk) return r;
  m_impl->header.celtype = id.stub();
  return eOk;
}
OdInt16 OdDbDatabase::lunits() const { return m_impl->header.lunits; }
OdResult OdDbDatabase::setLunits(OdInt16 units) {
  if (units < 1 || units > 6) return eInvalidInput;
  m_impl->header.lunits = units;
  return eOk;
}
OdInt16 OdDbDatabase::luprec() const { return m_impl->header.luprec; }
OdResult OdDbDatabase::setLuprec(OdInt16 precision) {
  if (precision < 0 || precision > 8) return eInvalidInput;
  m_impl->header.luprec = precision;
  return eOk;
}
OdGePoint3d OdDbDatabase::ucsorg() const { return m_impl->header.ucsorg; }
OdGeVector3d OdDbDatabase::ucsxdir() const { return m_impl->header.ucsxdir; }
OdGeVector3d OdDbDatabase::ucsydir() const { return m_impl->header.ucsydir; }
OdResult OdDbDatabase::setUcs(const OdGePoint3d& origin, const OdGeVector3d& xAxis, const OdGeVector3d& yAxis) {
  if (xAxis.isZeroLength() || yAxis.isZeroLength()) return eInvalidInput;
  if (std::fabs(xAxis.normal().dotProduct(yAxis.normal())) > 1e-9) return eInvalidInput;
  m_impl->header.ucsorg = origin;
  m_impl->header.ucsxdir = xAxis.normal();
  m_impl->header.ucsydir = yAxis.normal();
  return eOk;
}
OdDbObjectId OdDbDatabase::paperSpaceVportId() const { return idOf(m_impl->paperViewport); }

OdDbObjectId OdDbDatabase::dimstyle() const { return idOf(m_impl->header.dimstyle); }
OdResult OdDbDatabase::setDimstyle(OdDbObjectId id) {
  if (OdResult r = checkRecord(m_impl.get(), id, m_impl->dimStyleTable); r != eOk) return r;
  m_impl->header.dimstyle = id.stub();
  return eOk;
}
OdResult OdDbDatabase::setDimstyleData(const OdDbDimStyleTableRecord* record) {
  if (!record) return eNullObjectPointer;
  OdDbStub* s = OdDbInternals::stub(record);
  if (s && s->database != m_impl.get()) return eWrongDatabase;
  OdDbStub* style = record->dimVars().dimtxsty.stub();
  if (style && style->database != m_impl.get()) return eWrongDatabase;
  m_impl->header.dimvars = record->dimVars();
  return eOk;
}
OdResult OdDbDatabase::setDimstyleData(OdDbObjectId id) {
  if (OdResult r = checkRecord(m_impl.get(), id, m_impl->dimStyleTable); r != eOk) return r;
  return setDimstyleData(static_cast<const OdDbDimStyleTableRecord*>(id.stub()->object));
}
OdResult OdDbDatabase::getDimstyleData(OdDbDimStyleTableRecord* record) const {
  if (!record) return eNullObjectPointer;
  return record->setDimVars(m_impl->header.dimvars);
}
const OdDbDimVars& OdDbDatabase::dimVars() const { return m_impl->header.dimvars; }

#define ODDB_DB_DIMVAR(Suffix, name, type, code, value)                     \
  type OdDbDatabase::name() const { return m_impl->header.dimvars.name; }   \
  OdResult OdDbDatabase::set##Suffix(type value_) {                         \
    if (OdResult r = checkDimVar(m_impl.get(), value_); r != eOk) return r; \
    m_impl->header.dimvars.name = value_;                                   \
    return eOk;                                                             \
  }
ODDB_DIMVARS(ODDB_DB_DIMVAR)
#undef ODDB_DB_DIMVAR

// Host application services.
ODRX_DEFINE_RTTI(OdDbHostAppServices, OdRxObject, u"OdDbHostAppServices", nullptr, nullptr)

OdDbHostAppServices::OdDbHostAppServices() = default;
OdDbHostAppServices::~OdDbHostAppServices() = default;
OdDbDatabase* OdDbHostAppServices::workingDatabase() const { return m_working; }
void OdDbHostAppServices::setWorkingDatabase(OdDbDatabase* database) { m_working = database; }

namespace {
OdDbHostAppServices& ownServices() {
  static OdDbHostAppServices services;
  return services;
}
OdDbHostAppServices* gServices = nullptr;
}  // namespace

OdDbHostAppServices* oddbHostApplicationServices() { return gServices ? gServices : &ownServices(); }

void oddbSetHostApplicationServices(OdDbHostAppServices* services) {
  OdDbDatabase* working = oddbHostApplicationServices()->workingDatabase();
  gServices = services;
  if (services && !services->workingDatabase()) services->setWorkingDatabase(working);
}

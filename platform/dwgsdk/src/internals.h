// Private representation of the drawing database: object stubs, the handle
// map, the database's state and the friend through which the layer's own
// code reaches the classes' fields.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DbBlockReference.h"
#include "DbCurves.h"
#include "DbDatabase.h"
#include "DbDictionary.h"
#include "DbDimension.h"
#include "DbEntity.h"
#include "DbPolylines.h"
#include "DbSymbolTable.h"
#include "DbText.h"
#include "DbViewport.h"

#define ODRX_DEFINE_RTTI(ClassName, ParentName, nameText, dxfText, constructor)                                     \
  OdRxClass* ClassName::desc() {                                                                                    \
    static OdRxClass cls(nameText, ParentName::desc(), constructor, dxfText);                                       \
    return &cls;                                                                                                    \
  }                                                                                                                 \
  OdRxClass* ClassName::isA() const { return ClassName::desc(); }                                                   \
  ClassName* ClassName::cast(const OdRxObject* object) {                                                            \
    return object && object->isKindOf(ClassName::desc()) ? static_cast<ClassName*>(const_cast<OdRxObject*>(object)) \
                                                         : nullptr;                                                 \
  }

#define ODDB_DEFINE_MEMBERS(ClassName, ParentName, nameText, dxfText)                                         \
  ODRX_DEFINE_RTTI(ClassName, ParentName, nameText, dxfText, []() -> OdRxObject* { return new ClassName(); }) \
  OdRxObject* ClassName::clone() const { return new ClassName(*this); }

struct OdDbDatabaseImpl;

/// What an id points at: the object (null when it was deleted, or for a
/// handle that has no object yet), its database and its handle.
struct OdDbStub {
  OdDbObject* object = nullptr;
  OdDbDatabaseImpl* database = nullptr;
  OdUInt64 handle = 0;
};

/// Handle -> stub, open addressing with the handle beside the stub so that a
/// probe touches one cache line.
class HandleMap {
 public:
  OdDbStub* find(OdUInt64 handle) const;
  void insert(OdDbStub* stub);
  std::size_t size() const { return m_count; }
  /// Makes room for `count` handles at once.
  void reserve(std::size_t count);

 private:
  struct Slot {
    OdUInt64 handle;
    OdDbStub* stub;
  };
  void rehash(std::size_t slots);
  std::vector<Slot> m_slots;
  std::size_t m_count = 0;
};

/// Stubs live in chunks that never move, so ids stay valid.
class StubArena {
 public:
  OdDbStub* allocate();
  template <class F>
  void forEach(F&& f) {
    for (std::size_t c = 0; c < m_chunks.size(); ++c) {
      std::size_t n = c + 1 == m_chunks.size() ? m_used : kChunk;
      for (std::size_t i = 0; i < n; ++i) f(m_chunks[c][i]);
    }
  }
  std::size_t count() const { return m_chunks.empty() ? 0 : (m_chunks.size() - 1) * kChunk + m_used; }

 private:
  static constexpr std::size_t kChunk = 1024;
  std::vector<std::unique_ptr<OdDbStub[]>> m_chunks;
  std::size_t m_used = kChunk;
};

struct OdDbHeader {
  bool tilemode = true;
  double celtscale = 1.0, ltscale = 1.0, textsize = 2.5;
  OdInt16 lunits = 2, luprec = 4;
  OdDbStub* textstyle = nullptr;
  OdDbStub* clayer = nullptr;
  OdDbStub* celtype = nullptr;
  OdDbStub* dimstyle = nullptr;
  OdGePoint3d ucsorg;
  OdGeVector3d ucsxdir = OdGeVector3d::kXAxis, ucsydir = OdGeVector3d::kYAxis;
  OdGePoint3d insbase;
  OdDbDimVars dimvars;
};

struct OdDbDatabaseImpl {
  explicit OdDbDatabaseImpl(OdDbDatabase* owner);
  ~OdDbDatabaseImpl();

  OdDbDatabase* owner;
  OdUInt64 serial;  // the first word of the enames of this database's objects
  StubArena stubs;
  HandleMap handles;
  OdUInt64 handseed = 1;
  bool destroying = false;
  // Objects added while a file is read that the file gave no handle; they get
  // handles once every handle of the file is known.
  bool deferHandles = false;
  std::vector<OdDbStub*> unhandled;

  OdDbStub* blockTable = nullptr;
  OdDbStub* layerTable = nullptr;
  OdDbStub* linetypeTable = nullptr;
  OdDbStub* textStyleTable = nullptr;
  OdDbStub* dimStyleTable = nullptr;
  OdDbStub* regAppTable = nullptr;
  OdDbStub* ucsTable = nullptr;
  OdDbStub* viewTable = nullptr;
  OdDbStub* viewportTable = nullptr;
  OdDbStub* namedObjects = nullptr;
  OdDbStub* modelSpace = nullptr;
  OdDbStub* paperSpace = nullptr;
  OdDbStub* paperViewport = nullptr;
  OdDbStub* layer0 = nullptr;
  OdDbStub* byBlock = nullptr;
  OdDbStub* byLayer = nullptr;
  OdDbStub* continuous = nullptr;
  OdDbStub* standardStyle = nullptr;
  OdDbStub* standardDimStyle = nullptr;
  OdDbHeader header;

  /// A stub for a handle, made when missing.
  OdDbStub* stubFor(OdUInt64 handle);
  OdDbStub* find(OdUInt64 handle) const { return handles.find(handle); }
  /// Makes `object` (of no database) resident under a new handle (or the
  /// given one) and owned by `owner`; open for write when `openForWrite`.
  /// Sub-objects waiting in the object join with it.
  OdResult add(OdDbObject* object, OdDbStub* owner, bool openForWrite, OdUInt64 handle = 0, bool joinSubObjects = true);
  OdDbStub* newStub(OdUInt64 handle);
  void assignHandle(OdDbStub* stub);
  OdDbObjectId id(OdDbStub* stub) const { return OdDbObjectId(stub); }
};

/// Sub-objects of a complex entity or a block reference: stubs once the
/// parent is in a database, the objects themselves before.
struct OdDbSubObjects {
  std::vector<OdDbStub*> stubs;
  std::vector<std::unique_ptr<OdDbEntity>> pending;
  OdDbStub* seqEnd = nullptr;
  OdDbSubObjects() = default;
  OdDbSubObjects(const OdDbSubObjects& other);  // copies the sub-objects
  std::size_t size() const { return stubs.size() + pending.size(); }
  template <class F>
  void forEach(F&& f) const {
    for (OdDbStub* s : stubs)
      if (s->object) f(*static_cast<OdDbEntity*>(s->object));
    for (auto& p : pending) f(*p);
  }
  std::vector<OdDbObjectIterator::Item> items() const;
};

/// One item of extended data or of an xrecord.
struct OdDbDataItem {
  OdInt16 code = 0;
  double v[3] = {0, 0, 0};
  OdInt64 i = 0;
  std::u16string text;
  std::string bytes;
  bool operator==(const OdDbDataItem&) const = default;
};

struct OdDbXDataApp {
  OdString name;
  std::vector<OdDbDataItem> items;
};

/// Objects the layer keeps for DXF's sake: the BLOCK and ENDBLK records of
/// a block, the SEQEND of a complex entity, the layouts of the two spaces.
class OdDbBlockBegin : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbBlockBegin);
};
class OdDbBlockEnd : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbBlockEnd);
};
class OdDbSequenceEnd : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbSequenceEnd);
};
class OdDbLayout : public OdDbObject {
  ODDB_DECLARE_MEMBERS(OdDbLayout);
  OdString name;
  OdInt16 tabOrder = 0;
  OdDbStub* block = nullptr;
};

/// A record of a kind the layer does not model, kept as the file gave it so
/// that a drawing from another program is written back whole.
struct OdDbRawGroup {
  int code = 0;
  std::u16string text;  // for text codes, decoded
  std::string raw;      // for the others, as written
};
class OdDbOpaqueObject : public OdDbObject {
  ODDB_DECLARE_MEMBERS(OdDbOpaqueObject);
  std::string type;
  std::vector<OdDbRawGroup> groups;
};
class OdDbOpaqueEntity : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbOpaqueEntity);
  std::string type;
  std::vector<OdDbRawGroup> groups;
};

/// The friend of every class: the layer's own code reaches fields through it.
struct OdDbInternals {
  static OdDbStub* stub(const OdDbObject* o) { return o->m_stub; }
  static OdDbStub* owner(const OdDbObject* o) { return o->m_owner; }
  static void setOwner(OdDbObject* o, OdDbStub* owner) { o->m_owner = owner; }
  static OdDbDatabaseImpl* impl(const OdDbObject* o) { return o->m_stub ? o->m_stub->database : nullptr; }
  static void attach(OdDbObject* o, OdDbStub* s, OdDbStub* owner, bool openForWrite);
  static void setErasedFlag(OdDbObject* o, bool erased);
  static OdResult openObject(OdDbObject* o, OdDb::OpenMode mode);
  /// Runs `f` with `o` writable: a parent changes the sub-objects it owns
  /// whatever their open state.
  template <class F>
  static auto asWritable(OdDbObject* o, F&& f) {
    OdUInt8 flags = o->m_flags;
    o->m_flags |= 1;
    struct Restore {
      OdDbObject* o;
      OdUInt8 flags;
      ~Restore() { o->m_flags = flags; }
    } restore{o, flags};
    return f();
  }
  static bool openForWrite(const OdDbObject* o) { return (o->m_flags & 1) != 0; }
  static void closeAll(OdDbObject* o) {
    o->m_flags &= ~1;
    o->m_readers = 0;
    o->m_notifiers = 0;
  }
  static const std::vector<OdDbXDataApp>* xdata(const OdDbObject* o);
  static std::vector<OdDbXDataApp>& xdataForWrite(OdDbObject* o);

  // Sub-objects.
  static OdDbSubObjects* subObjects(const OdDbObject* o);

  // Tables.
  static void tableInsert(OdDbSymbolTable* table, OdDbStub* record);
  static void tableRename(OdDbSymbolTable* table, OdDbStub* record, const OdString& oldName);
  static void tableErased(OdDbSymbolTable* table, OdDbStub* record, bool erased);
  static const std::vector<OdDbStub*>& tableRecords(const OdDbSymbolTable* table);
  static OdDbStub* tableFind(const OdDbSymbolTable* table, std::u16string_view name);
  static OdString uniqueAnonymousName(OdDbSymbolTable* table, const OdString& prefix);
  static const OdString& recordName(const OdDbSymbolTableRecord* r) { return r->m_name; }
  static void setRecordName(OdDbSymbolTableRecord* r, const OdString& name) { r->m_name = name; }
  static OdUInt8& standardFlags(OdDbSymbolTableRecord* r) { return r->m_standardFlags; }
  static OdDbDimVars& dimVars(OdDbDimStyleTableRecord* d) { return d->m_vars; }

  // Blocks.
  static std::vector<OdDbStub*>& blockEntities(const OdDbBlockTableRecord* b);
  static OdDbStub*& blockBegin(const OdDbBlockTableRecord* b);
  static OdDbStub*& blockEnd(const OdDbBlockTableRecord* b);
  static OdDbStub*& blockLayout(const OdDbBlockTableRecord* b);
  static OdUInt8& blockFlags(OdDbBlockTableRecord* b) { return b->m_blockFlags; }
  /// Whether `block` is `target` or holds (nested) a reference to it.
  static bool blockReaches(const OdDbBlockTableRecord* block, const OdDbStub* target, int depth = 0);

  // Dictionaries.
  struct DictEntry {
    OdString key;
    OdDbStub* stub;
  };
  static std::vector<DictEntry>& dictEntries(const OdDbDictionary* d);
  static void dictAppend(OdDbDictionary* d, const OdString& key, OdDbStub* stub);
  static OdInt16& dictCloning(OdDbDictionary* d) { return d->m_cloning; }
  static std::vector<OdDbDataItem>& xrecordItems(const OdDbXrecord* x);

  // Entities.
  static OdDbStub*& layer(OdDbEntity* e) { return e->m_layer; }
  static OdDbStub*& linetype(OdDbEntity* e) { return e->m_linetype; }
  static OdDbStub* layer(const OdDbEntity* e) { return e->m_layer; }
  static OdDbStub* linetype(const OdDbEntity* e) { return e->m_linetype; }
  static OdDbStub*& textStyle(OdDbText* t) { return t->m_style; }
  static OdDbStub*& textStyle(OdDbMText* t) { return t->m_style; }
  static OdDbStub*& blockOf(OdDbBlockReference* r) { return r->m_block; }
  static void attributesForRead(OdDbBlockReference* r) {
    if (!r->m_attributes) r->m_attributes = std::make_unique<OdDbSubObjects>();
  }
  static OdUInt8& attributeFlags(OdDbAttribute* a) { return a->m_flags; }
  static OdDbStub*& dimStyle(OdDbDimension* d) { return d->m_style; }
  static OdDbStub*& dimBlock(OdDbDimension* d) { return d->m_block; }
  static bool& dimBlockStale(OdDbDimension* d) { return d->m_blockStale; }
  static bool& dimDefaultTextPosition(OdDbDimension* d) { return d->m_defaultTextPosition; }
  static OdArray<OdDbPolyline::Vertex>& vertices(OdDbPolyline* p) { return p->m_vertices; }
  static double& constantWidth(OdDbPolyline* p) { return p->m_constantWidth; }
  static OdDbStub*& layerLinetype(OdDbLayerTableRecord* l) { return l->m_linetype; }
  static void setDashStyle(OdDbLinetypeTableRecord* l, int index, OdDbStub* style);
  static OdInt16& viewportNumber(OdDbViewport* v) { return v->m_number; }
  static OdGePoint3d& position(OdDb2dVertex* v) { return v->m_position; }
  static OdGePoint3d& position(OdDb3dPolylineVertex* v) { return v->m_position; }
  static OdGePoint3d& position(OdDbPolyFaceMeshVertex* v) { return v->m_position; }
  static OdGePoint3d& position(OdDbPolygonMeshVertex* v) { return v->m_position; }
  static OdDbStub*& layoutBlock(OdDbLayout* l) { return l->block; }

  /// Builds (again) the block of a dimension in a database.
  static OdResult buildDimBlock(OdDbDimension* d);
  /// Every reference an object makes to another object of its database, for
  /// the checks of appending and for remapping when a drawing is inserted.
  static void forEachReference(OdDbObject* o, const std::function<void(OdDbStub*&)>& visit);
};

/// Upper-cased key of a symbol or dictionary name (names compare without case).
std::u16string foldName(std::u16string_view name);
/// The database of the host's working drawing, or null.
OdDbDatabase* workingDatabaseOrNull();

/// Ends a setter with the open-state code when the object may not change now.
#define ODDB_ASSERT_WRITE()                                                                        \
  do {                                                                                             \
    if (OdResult assertResult_ = assertWriteEnabled(); assertResult_ != eOk) return assertResult_; \
  } while (0)

/// A finite value, as everything written to DXF must be.
#define ODDB_CHECK_FINITE(value)                     \
  do {                                               \
    if (!std::isfinite(value)) return eInvalidInput; \
  } while (0)

inline bool finitePoint(const OdGePoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
inline bool finitePoint(const OdGeVector3d& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}
inline bool finitePoint(const OdGePoint2d& p) { return std::isfinite(p.x) && std::isfinite(p.y); }
#define ODDB_CHECK_POINT(p)                    \
  do {                                         \
    if (!finitePoint(p)) return eInvalidInput; \
  } while (0)
/// A normal must be a direction.
#define ODDB_CHECK_NORMAL(n)                                                       \
  do {                                                                             \
    if (!finitePoint(n) || (n).isZeroLength(OdGeTol(1e-12))) return eInvalidInput; \
  } while (0)

// OdDbObjectId: the identity of a database object, valid as long as its
// database lives. The null id (kNull) is the result of every failed lookup.
#pragma once

#include <functional>

#include "DbHandle.h"
#include "OdResult.h"

class OdDbDatabase;
class OdDbObject;
struct OdDbStub;

namespace OdDb {
enum OpenMode { kNotOpen = -1, kForRead = 0, kForWrite = 1, kForNotify = 2 };
}

class OdDbObjectId {
 public:
  OdDbObjectId() = default;
  static const OdDbObjectId kNull;

  bool isNull() const { return m_stub == nullptr; }
  /// True when the id names an object that exists (erased or not).
  bool isValid() const;
  bool isErased() const;
  OdDbDatabase* database() const;
  OdDbHandle getHandle() const;
  OdDbHandle handle() const { return getHandle(); }
  void setNull() { m_stub = nullptr; }

  /// Opens the object (see oddbOpenObject).
  OdResult openObject(OdDbObject*& object, OdDb::OpenMode mode, bool openErased = false) const;

  friend bool operator==(const OdDbObjectId& a, const OdDbObjectId& b) { return a.m_stub == b.m_stub; }
  friend bool operator!=(const OdDbObjectId& a, const OdDbObjectId& b) { return a.m_stub != b.m_stub; }
  friend bool operator<(const OdDbObjectId& a, const OdDbObjectId& b);

  // The layer's own representation.
  explicit OdDbObjectId(OdDbStub* stub) : m_stub(stub) {}
  OdDbStub* stub() const { return m_stub; }

 private:
  OdDbStub* m_stub = nullptr;
};

template <>
struct std::hash<OdDbObjectId> {
  std::size_t operator()(const OdDbObjectId& id) const noexcept { return std::hash<const void*>()(id.stub()); }
};

/// The ename of an object: two words that name the database and the handle.
OdResult oddbGetAdsName(ads_name& name, const OdDbObjectId& id);
/// The id of an ename; eInvalidInput when the ename names no object of a live
/// database (it is never dereferenced blindly).
OdResult oddbGetObjectId(OdDbObjectId& id, const ads_name name);

// OdDbObject: the base of everything a drawing database holds, with the open
// protocol (read, write, notify), erasing, owners and extended entity data.
#pragma once

#include <memory>

#include "DbObjectId.h"
#include "RxObject.h"

struct resbuf;
struct OdDbInternals;

/// As ODRX_DECLARE_MEMBERS, for database classes (they clone themselves).
#define ODDB_DECLARE_MEMBERS(ClassName) \
  ODRX_DECLARE_MEMBERS(ClassName);      \
  OdRxObject* clone() const override;

class OdDbObject : public OdRxObject {
  ODDB_DECLARE_MEMBERS(OdDbObject);
  OdDbObject();
  ~OdDbObject() override;

  /// The null id until the object is added to a database.
  OdDbObjectId objectId() const;
  OdDbObjectId ownerId() const;
  OdResult setOwnerId(OdDbObjectId ownerId);
  /// The database the object belongs to; null before it is added.
  OdDbDatabase* database() const;
  OdDbHandle handle() const;
  void getDbHandle(OdDbHandle& handle) const { handle = this->handle(); }

  // The open protocol. An object outside a database is always writable and
  // its close does nothing; inside, an object is open for read by up to 255
  // readers, or for write by one, and each open is matched by one close.
  bool isReadEnabled() const;
  bool isWriteEnabled() const;
  bool isNotifyEnabled() const;
  /// Read to write: eWasOpenForWrite when already open for write,
  /// eHadMultipleReaders when another reader holds it, eNotOpenForRead when not open.
  OdResult upgradeOpen();
  /// Write to read: eWasNotOpenForWrite when not open for write.
  OdResult downgradeOpen();
  OdResult close();
  /// Erases (or with false, brings back) an object open for write. An erased
  /// object stays in the database, is skipped by lookups and iterators and is
  /// not saved.
  OdResult erase(bool erasing = true);
  bool isErased() const;

  /// A fresh copy of the data of one application (all applications when
  /// `regappName` is null): its 1001 item and what follows it. The caller
  /// releases it with odutRelRb. Null when there is none.
  resbuf* xData(const OdChar* regappName = nullptr) const;
  /// Replaces the data of each application named by a 1001 item of the list;
  /// an application item with nothing after it removes that application's
  /// data. The object must be open for write; the applications must be
  /// registered (eRegappIdNotFound); items are checked (eInvalidInput).
  OdResult setXData(const resbuf* xdata);

 protected:
  OdDbObject(const OdDbObject& other);
  OdDbObject& operator=(const OdDbObject&) = delete;
  /// eOk when the object may be read / changed now, else the open-state code.
  OdResult assertReadEnabled() const;
  OdResult assertWriteEnabled() const;

 private:
  friend struct OdDbInternals;
  struct XData;
  OdDbStub* m_stub = nullptr;
  OdDbStub* m_owner = nullptr;
  std::unique_ptr<XData> m_xdata;
  OdUInt16 m_readers = 0;
  OdUInt8 m_notifiers = 0;
  OdUInt8 m_flags = 0;
};

/// Opens an object by id. eNullObjectId for the null id; eWasErased for an
/// erased object unless `openErased`; eWasOpenForWrite / eWasOpenForRead /
/// eAtMaxReaders when the open state forbids the mode.
OdResult oddbOpenObject(OdDbObject*& object, const OdDbObjectId& id, OdDb::OpenMode mode, bool openErased = false);

/// Opens an object as a class; eNotThatKindOfClass (the object is closed
/// again) when it is of another class.
template <class T>
OdResult oddbOpenObject(T*& object, const OdDbObjectId& id, OdDb::OpenMode mode, bool openErased = false) {
  object = nullptr;
  OdDbObject* opened = nullptr;
  OdResult result = oddbOpenObject(opened, id, mode, openErased);
  if (result != eOk) return result;
  T* typed = T::cast(opened);
  if (!typed) {
    opened->close();
    return eNotThatKindOfClass;
  }
  object = typed;
  return eOk;
}

// A document lock of the host's document manager held for the length of a
// call, released on every way out of it. The layer, style and dictionary
// functions change a drawing outside any command of their own, so they lock
// the document that owns it (or the current one) as the host asks of modules.
#pragma once

#include "kxap.h"

class OdDbDatabase;

namespace mwcommon {

class LockedDocument {
 public:
  enum class Prompt { No, Yes };

  /// Locks the document whose database this is (none for a database of no
  /// document: the lock is then refused).
  static LockedDocument ofDatabase(OdDbDatabase* database, KxAp::DocLockMode mode);
  /// Locks the host's current document.
  static LockedDocument current(KxAp::DocLockMode mode, Prompt prompt);

  LockedDocument(LockedDocument&& other) noexcept;
  LockedDocument& operator=(LockedDocument&&) = delete;
  LockedDocument(const LockedDocument&) = delete;
  LockedDocument& operator=(const LockedDocument&) = delete;
  /// Releases the lock when it was taken; a refused lock releases nothing, so
  /// a lock the caller holds itself is never taken away.
  ~LockedDocument();

  bool locked() const { return m_document != nullptr; }
  /// What the document manager answered (0 when locked).
  OdResult status() const { return m_status; }
  /// Releases the lock now (it is then not released again).
  void release();

 private:
  LockedDocument(KxApDocument* document, KxAp::DocLockMode mode, Prompt prompt);
  KxApDocument* m_document = nullptr;
  OdResult m_status = eOk;
};

}  // namespace mwcommon

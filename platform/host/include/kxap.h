// The host's documents and their manager. Each open drawing is a document:
// its database, its file, its view, its command input and its locks.
//
// Locks are how a module says it changes (or reads) a document outside a
// command of its own. Every lockDocument that returns eOk is matched by one
// unlockDocument; locks nest and are released last first. The host runs one
// execution context (its application thread), so a lock never waits for
// another and the prompt flag changes nothing. After each command the host
// checks that the command left no more locks than it found, and reports the
// run as failed when it did.
#pragma once

#include <memory>

#include "OdResult.h"
#include "OdString.h"

class OdDbDatabase;

namespace KxAp {
enum DocLockMode {
  kNone = 0,
  kAutoWrite = 1,
  kNotLocked = 2,
  kWrite = 4,
  kProtectedAutoWrite = 8,
  kRead = 32,
  kXWrite = 64,
};
}  // namespace KxAp

namespace kxhost {
struct DocumentState;
}

class KxApDocument {
 public:
  ~KxApDocument();
  KxApDocument(const KxApDocument&) = delete;
  KxApDocument& operator=(const KxApDocument&) = delete;

  OdDbDatabase* database() const;
  /// The drawing's file as a Windows path; empty for a drawing never saved.
  const OdString& fileName() const;
  /// The strongest lock held (kXWrite, then the write modes, then kRead);
  /// kNotLocked when there is none.
  KxAp::DocLockMode lockMode() const;
  /// The number of locks held.
  int lockCount() const;

  // The host's own representation.
  explicit KxApDocument(std::unique_ptr<kxhost::DocumentState> state);
  kxhost::DocumentState& state() const { return *m_state; }

 private:
  std::unique_ptr<kxhost::DocumentState> m_state;
};

class KxApDocManager {
 public:
  /// The document the user works in; null when none is open.
  KxApDocument* curDocument() const;
  /// The document whose database this is; null for a database of none (one
  /// a module made itself, say).
  KxApDocument* document(const OdDbDatabase* database) const;
  int documentCount() const;

  /// Locks a document in a mode (kAutoWrite, kWrite, kProtectedAutoWrite,
  /// kRead or kXWrite). eOk when locked; eNullObjectPointer for a null
  /// document, eInvalidInput for a document that is not open or another mode.
  /// The command names name the lock's purpose and are not used.
  OdResult lockDocument(KxApDocument* document, KxAp::DocLockMode mode = KxAp::kWrite,
                        const OdChar* globalCommandName = nullptr, const OdChar* localCommandName = nullptr,
                        bool prompt = true);
  /// Releases the document's most recent lock. eNotApplicable when it holds
  /// none, eNullObjectPointer / eInvalidInput as for lockDocument.
  OdResult unlockDocument(KxApDocument* document);
  /// Queues text as command input of a document, to run when the host next
  /// reads input for it: after the running command, before the script goes
  /// on. The text is taken as typed: a blank or a line feed ends a word and
  /// the escape character (27) cancels what was typed before it; the end of
  /// the text ends its last word, as Enter does. `activate` makes the document current
  /// first; `wrapUpInactiveDoc` and `echoString` are accepted (the host always
  /// echoes). eNullObjectPointer, eInvalidInput as for lockDocument.
  OdResult sendStringToExecute(KxApDocument* document, const OdChar* text, bool activate = true,
                               bool wrapUpInactiveDoc = false, bool echoString = true);
};

KxApDocManager* kxDocManagerPtr();

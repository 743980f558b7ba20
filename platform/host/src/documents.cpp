// The host's documents and their manager: open drawings, the current one
// (whose database is the SDK's working database), locks and command input.
#include <algorithm>

#include "hoststate.h"
#include "kxhost.h"

namespace kxhost {

namespace {

struct Documents {
  std::vector<std::unique_ptr<KxApDocument>> open;  // in the order opened
  KxApDocument* current = nullptr;
};

// Kept for the process: a document closed by a static destructor would
// outlive the SDK's own state.
Documents& documents() {
  static Documents* const instance = new Documents;
  return *instance;
}

void makeCurrent(KxApDocument* document) {
  documents().current = document;
  oddbHostApplicationServices()->setWorkingDatabase(document ? document->database() : nullptr);
}

KxApDocument* addDocument(std::unique_ptr<OdDbDatabase> database, OdString fileName) {
  auto state = std::make_unique<DocumentState>();
  state->database = std::move(database);
  state->fileName = std::move(fileName);
  documents().open.push_back(std::make_unique<KxApDocument>(std::move(state)));
  KxApDocument* document = documents().open.back().get();
  makeCurrent(document);
  return document;
}

bool isLockMode(KxAp::DocLockMode mode) {
  switch (mode) {
    case KxAp::kAutoWrite:
    case KxAp::kWrite:
    case KxAp::kProtectedAutoWrite:
    case KxAp::kRead:
    case KxAp::kXWrite:
      return true;
    default:
      return false;
  }
}

OdResult checkDocument(const KxApDocument* document) {
  if (!document) return eNullObjectPointer;
  if (!isOpenDocument(document)) return eInvalidInput;
  return eOk;
}

}  // namespace

KxApDocument* currentDocument() { return documents().current; }

bool isOpenDocument(const KxApDocument* document) {
  const auto& open = documents().open;
  return std::any_of(open.begin(), open.end(), [&](const auto& d) { return d.get() == document; });
}

void closeAllDocuments() {
  makeCurrent(nullptr);
  documents().open.clear();
}

KxApDocument* newDocument() { return addDocument(std::make_unique<OdDbDatabase>(true), OdString()); }

KxApDocument* openDocument(const OdString& path, OdResult& status) {
  auto database = std::make_unique<OdDbDatabase>(false);
  status = database->readFile(path);
  if (status != eOk) return nullptr;
  return addDocument(std::move(database), path);
}

OdResult saveDocumentAs(KxApDocument* document, const OdString& path) {
  if (OdResult status = checkDocument(document); status != eOk) return status;
  const OdResult status = document->database()->writeFile(path);
  if (status == eOk) document->state().fileName = path;
  return status;
}

OdResult closeDocument(KxApDocument* document) {
  if (OdResult status = checkDocument(document); status != eOk) return status;
  if (document->lockCount() > 0) return eInvalidInput;
  auto& open = documents().open;
  const bool wasCurrent = documents().current == document;
  if (wasCurrent) makeCurrent(nullptr);
  open.erase(std::find_if(open.begin(), open.end(), [&](const auto& d) { return d.get() == document; }));
  if (wasCurrent && !open.empty()) makeCurrent(open.back().get());
  return eOk;
}

OdResult activateDocument(KxApDocument* document) {
  if (OdResult status = checkDocument(document); status != eOk) return status;
  makeCurrent(document);
  return eOk;
}

}  // namespace kxhost

using namespace kxhost;

KxApDocument::KxApDocument(std::unique_ptr<DocumentState> state) : m_state(std::move(state)) {}
KxApDocument::~KxApDocument() = default;

OdDbDatabase* KxApDocument::database() const { return m_state->database.get(); }
const OdString& KxApDocument::fileName() const { return m_state->fileName; }
int KxApDocument::lockCount() const { return static_cast<int>(m_state->locks.size()); }

KxAp::DocLockMode KxApDocument::lockMode() const {
  const auto& locks = m_state->locks;
  if (locks.empty()) return KxAp::kNotLocked;
  auto strength = [](KxAp::DocLockMode mode) {
    switch (mode) {
      case KxAp::kXWrite:
        return 3;
      case KxAp::kRead:
        return 1;
      default:
        return 2;
    }
  };
  return *std::max_element(locks.begin(), locks.end(),
                           [&](KxAp::DocLockMode a, KxAp::DocLockMode b) { return strength(a) < strength(b); });
}

KxApDocument* KxApDocManager::curDocument() const { return currentDocument(); }

KxApDocument* KxApDocManager::document(const OdDbDatabase* database) const {
  if (!database) return nullptr;
  for (const auto& d : documents().open)
    if (d->database() == database) return d.get();
  return nullptr;
}

int KxApDocManager::documentCount() const { return static_cast<int>(documents().open.size()); }

OdResult KxApDocManager::lockDocument(KxApDocument* document, KxAp::DocLockMode mode, const OdChar*, const OdChar*,
                                      bool) {
  if (OdResult status = checkDocument(document); status != eOk) return status;
  if (!isLockMode(mode)) return eInvalidInput;
  document->state().locks.push_back(mode);
  return eOk;
}

OdResult KxApDocManager::unlockDocument(KxApDocument* document) {
  if (OdResult status = checkDocument(document); status != eOk) return status;
  auto& locks = document->state().locks;
  if (locks.empty()) return eNotApplicable;
  locks.pop_back();
  return eOk;
}

OdResult KxApDocManager::sendStringToExecute(KxApDocument* document, const OdChar* text, bool activate, bool, bool) {
  if (OdResult status = checkDocument(document); status != eOk) return status;
  if (!text) return eInvalidInput;
  if (activate) activateDocument(document);
  // Sent text waits until the host next reads a command: after the running
  // command, before the rest of the script, in the order sent.
  std::u16string& deferred = document->state().deferredInput;
  deferred += text;
  if (!deferred.empty() && deferred.back() != u'\n') deferred += u'\n';
  return eOk;
}

KxApDocManager* kxDocManagerPtr() {
  static KxApDocManager manager;
  return &manager;
}

#include "tables/lockeddocument.h"

namespace mwcommon {

LockedDocument::LockedDocument(KxApDocument* document, KxAp::DocLockMode mode, Prompt prompt) {
  m_status = kxDocManagerPtr()->lockDocument(document, mode, nullptr, nullptr, prompt == Prompt::Yes);
  if (m_status == eOk) m_document = document;
}

LockedDocument LockedDocument::ofDatabase(OdDbDatabase* database, KxAp::DocLockMode mode) {
  return LockedDocument(kxDocManagerPtr()->document(database), mode, Prompt::No);
}

LockedDocument LockedDocument::current(KxAp::DocLockMode mode, Prompt prompt) {
  return LockedDocument(kxDocManagerPtr()->curDocument(), mode, prompt);
}

LockedDocument::LockedDocument(LockedDocument&& other) noexcept
    : m_document(other.m_document), m_status(other.m_status) {
  other.m_document = nullptr;
}

LockedDocument::~LockedDocument() { release(); }

void LockedDocument::release() {
  if (!m_document) return;
  kxDocManagerPtr()->unlockDocument(m_document);
  m_document = nullptr;
}

}  // namespace mwcommon

// The module-object base and the dynamic linker's record of applications.
#include <mutex>
#include <set>

#include "RxModule.h"
#include "internals.h"

ODRX_DEFINE_RTTI(OdRxModule, OdRxObject, u"OdRxModule", nullptr, nullptr)
ODRX_DEFINE_RTTI(OdRxExtendModule, OdRxModule, u"OdRxExtendModule", nullptr, nullptr)
ODRX_DEFINE_RTTI(OdRxDynamicLinker, OdRxObject, u"OdRxDynamicLinker", nullptr, nullptr)

OdRxExtendModule::~OdRxExtendModule() = default;
bool OdRxExtendModule::isKrxModule() const { return true; }
void OdRxExtendModule::addLoadReference() { ++m_loadReferences; }
void OdRxExtendModule::releaseLoadReference() {
  if (m_loadReferences > 0) --m_loadReferences;
}
long OdRxExtendModule::loadReference() const { return m_loadReferences; }

struct OdRxDynamicLinker::State {
  mutable std::mutex mutex;
  std::set<void*> unlocked;
  std::set<void*> mdiAware;
};

OdRxDynamicLinker::OdRxDynamicLinker() : m_state(std::make_unique<State>()) {}
OdRxDynamicLinker::~OdRxDynamicLinker() = default;

bool OdRxDynamicLinker::unlockApplication(void* appId) const {
  if (!appId) return false;
  std::lock_guard lock(m_state->mutex);
  m_state->unlocked.insert(appId);
  return true;
}

bool OdRxDynamicLinker::lockApplication(void* appId) const {
  if (!appId) return false;
  std::lock_guard lock(m_state->mutex);
  m_state->unlocked.erase(appId);
  return true;
}

bool OdRxDynamicLinker::isApplicationLocked(void* appId) const {
  std::lock_guard lock(m_state->mutex);
  return m_state->unlocked.count(appId) == 0;
}

bool OdRxDynamicLinker::registerAppMDIAware(void* appId) const {
  if (!appId) return false;
  std::lock_guard lock(m_state->mutex);
  m_state->mdiAware.insert(appId);
  return true;
}

bool OdRxDynamicLinker::isAppMDIAware(void* appId) const {
  std::lock_guard lock(m_state->mutex);
  return m_state->mdiAware.count(appId) != 0;
}

void OdRxDynamicLinker::forgetApplication(void* appId) const {
  std::lock_guard lock(m_state->mutex);
  m_state->unlocked.erase(appId);
  m_state->mdiAware.erase(appId);
}

OdRxDynamicLinker* odrxDynamicLinker() {
  static OdRxDynamicLinker linker;
  return &linker;
}

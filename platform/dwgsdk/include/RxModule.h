// The module-object base that extension modules derive from, the dynamic
// linker that the modules tell about themselves, and their load references.
#pragma once

#include <memory>

#include "RxObject.h"

class OdRxModule : public OdRxObject {
  ODRX_DECLARE_MEMBERS(OdRxModule);

  /// The module's system data: its Windows module handle.
  virtual void* sysData() = 0;
  /// Destroys the module object.
  virtual void deleteModule() = 0;
  /// Runs the module's start (message 1) and stop (message 2).
  virtual void initApp() = 0;
  virtual void uninitApp() = 0;
  /// The full file path of the module.
  virtual OdString moduleName() const = 0;
};

class OdRxExtendModule : public OdRxModule {
  ODRX_DECLARE_MEMBERS(OdRxExtendModule);
  OdRxExtendModule() = default;
  ~OdRxExtendModule() override;

  /// Whether the module is a KRX extension module (true).
  virtual bool isKrxModule() const;
  /// Load references: modules that need this one count here; the host keeps a
  /// module loaded while the count is above zero.
  virtual void addLoadReference();
  virtual void releaseLoadReference();
  virtual long loadReference() const;

 private:
  long m_loadReferences = 0;
};

/// What the SDK knows of the loaded applications. An application is locked
/// (cannot be unloaded) until it unlocks itself, and is taken as not MDI-aware
/// until it registers as aware.
class OdRxDynamicLinker : public OdRxObject {
  ODRX_DECLARE_MEMBERS(OdRxDynamicLinker);
  OdRxDynamicLinker();
  ~OdRxDynamicLinker() override;

  bool unlockApplication(void* appId) const;
  bool lockApplication(void* appId) const;
  bool isApplicationLocked(void* appId) const;
  bool registerAppMDIAware(void* appId) const;
  bool isAppMDIAware(void* appId) const;
  /// The host forgets an application once its module object is gone.
  void forgetApplication(void* appId) const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

OdRxDynamicLinker* odrxDynamicLinker();

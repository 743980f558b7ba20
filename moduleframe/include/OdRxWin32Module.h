// OdRxWin32Module: the module object of a module that is a Windows DLL. It
// keeps its own reference count (which never deletes it: only deleteModule
// does) and the module instance handle, and lives in memory of the SDK's
// allocator. `Base` is the class it derives from, `Module` the class the
// frame remembers it as.
#pragma once

#include <cstddef>

#include "OdAlloc.h"
#include "moduleframe.h"
#include "win32/module.h"

template <class Base, class Module>
class KXRX_FRAME_INTERNAL OdRxWin32Module : public Base {
 public:
  explicit OdRxWin32Module(HINSTANCE instance) : m_instance(instance) {}

  void addRef() override { ++m_refCount; }
  /// Counts down only: the module object goes when the host deletes the module.
  void release() override { --m_refCount; }
  long numRefs() const override { return m_refCount; }
  bool isReferenced() const override { return true; }
  void onFinalRelease() override {}

  void* sysData() override { return m_instance; }
  void deleteModule() override {
    moduleframe::forgetModuleObject(static_cast<Module*>(this));
    delete this;
  }
  /// The module's file, as the Windows loader names it (at most MAX_PATH
  /// characters).
  OdString moduleName() const override {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(m_instance, path, MAX_PATH);
    return OdString(path);
  }

  // The object lives in memory of the SDK's allocator. A failed allocation
  // gives a null object rather than an exception across the module boundary.
  static void* operator new(std::size_t size) noexcept { return odrxAlloc(size); }
  static void operator delete(void* memory) { odrxFree(memory); }

 private:
  OdInt32 m_refCount = 0;
  HINSTANCE m_instance;
};

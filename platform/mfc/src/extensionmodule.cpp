// The extension-module records and the resource search chain of the
// library: one chain for the process, shared by every DLL that uses the
// library, as it is one library instance.
#include <algorithm>
#include <mutex>
#include <vector>

#include "afxdll.h"

namespace {

struct ResourceChain {
  std::mutex mutex;
  std::vector<CDynLinkLibrary*> libraries;  // the latest added first
};

// Kept for the process: DLLs leave the chain while static objects go away.
ResourceChain& chain() {
  static ResourceChain* const instance = new ResourceChain;
  return *instance;
}

bool isLoadedModule(HMODULE module) {
  WCHAR path[MAX_PATH];
  return GetModuleFileNameW(module, path, MAX_PATH) != 0;
}

}  // namespace

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
  if (state.bInitialized) return TRUE;
  if (!hModule || !isLoadedModule(hModule)) return FALSE;
  state.hModule = hModule;
  state.hResource = hModule;
  state.bInitialized = TRUE;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
  if (!state.bInitialized) return;
  std::vector<CDynLinkLibrary*> ending;
  {
    std::lock_guard lock(chain().mutex);
    for (CDynLinkLibrary* library : chain().libraries)
      if (bAll || library->m_hModule == state.hModule) ending.push_back(library);
  }
  // Each destructor takes its library off the chain.
  for (CDynLinkLibrary* library : ending) delete library;
  state = AFX_EXTENSION_MODULE{};
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem) {
  std::lock_guard lock(chain().mutex);
  chain().libraries.insert(chain().libraries.begin(), this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
  std::lock_guard lock(chain().mutex);
  auto& libraries = chain().libraries;
  libraries.erase(std::remove(libraries.begin(), libraries.end(), this), libraries.end());
}

HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType) {
  HINSTANCE application = AfxGetResourceHandle();
  if (application && FindResourceW(application, lpszName, lpszType)) return application;
  std::lock_guard lock(chain().mutex);
  for (const CDynLinkLibrary* library : chain().libraries)
    if (library->m_hResource && FindResourceW(library->m_hResource, lpszName, lpszType)) return library->m_hResource;
  return application;
}

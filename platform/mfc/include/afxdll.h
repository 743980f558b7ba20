// Extension modules of the class library: a DLL that uses the library keeps
// one AFX_EXTENSION_MODULE record. At process attach it initialises the
// record once (AfxInitExtensionModule) and makes a CDynLinkLibrary for it,
// which puts the DLL's resources on the library's resource search chain; at
// process detach AfxTermExtensionModule takes its CDynLinkLibrary objects
// off the chain again and clears the record.
#pragma once

#include "afxwin.h"

struct AFX_EXTENSION_MODULE {
  BOOL bInitialized = FALSE;
  HMODULE hModule = nullptr;
  HMODULE hResource = nullptr;  // where the DLL's resources are: the DLL itself
};

/// Initialises the record for a loaded module. TRUE at once when the record
/// is initialised already; FALSE for a null handle or one that names no
/// loaded module.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
/// Deletes the CDynLinkLibrary objects of the record's module (with bAll,
/// every one on the chain) and clears the record. Nothing for a record that
/// is not initialised.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

/// A DLL on the resource search chain. Made with new at process attach;
/// AfxTermExtensionModule deletes it.
class CDynLinkLibrary {
 public:
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
  virtual ~CDynLinkLibrary();
  CDynLinkLibrary(const CDynLinkLibrary&) = delete;
  CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

  HMODULE m_hModule;
  HMODULE m_hResource;
  BOOL m_bSystem;
};

/// The module that holds a resource: the application's resource module
/// (AfxGetResourceHandle) when it has it, else the first DLL of the chain
/// that has it (the latest added first), else the application's resource
/// module.
HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);

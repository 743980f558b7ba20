// COM: initialising a thread, creating the layer's in-process objects and
// looking up class ids of programmatic identifiers.
//
// Each thread keeps its own initialisation count and model: the first
// CoInitialize(Ex) of a thread answers S_OK, every further one S_FALSE (and
// needs its CoUninitialize too); asking for the other model while initialised
// answers RPC_E_CHANGED_MODE and counts nothing. CoCreateInstance needs an
// initialised thread (CO_E_NOTINITIALIZED otherwise) and knows the classes
// the layer implements itself (CLSID_ShellLink, shobjidl.h); any other class
// is REGDB_E_CLASSNOTREG, whatever the registry says, since no server code of
// another vendor runs here. An object lives until its last Release, also past
// CoUninitialize.
#pragma once

#include "objbase.h"
#include "win32/types.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using LPCLSID = CLSID*;

// Results of the COM calls.
constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);

/// A Win32 error code as an HRESULT (facility 7), as the system forms it.
constexpr HRESULT HRESULT_FROM_WIN32(DWORD error) {
  return static_cast<HRESULT>(error) <= 0 ? static_cast<HRESULT>(error)
                                          : static_cast<HRESULT>((error & 0x0000FFFF) | (7 << 16) | 0x80000000);
}

// Concurrency models of CoInitializeEx.
constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
constexpr DWORD COINIT_SPEED_OVER_MEMORY = 0x8;

// Server contexts of CoCreateInstance: only in-process servers exist here.
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

/// The apartment model: CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED).
HRESULT CoInitialize(LPVOID pvReserved);
/// pvReserved must be null (E_INVALIDARG); dwCoInit is a model with the
/// optional flags, which change nothing here.
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
/// Ends one initialisation of the thread; does nothing on a thread that is
/// not initialised.
void CoUninitialize();

/// E_POINTER for a null ppv; CLASS_E_NOAGGREGATION for an outer object;
/// REGDB_E_CLASSNOTREG for a class the layer does not implement or a context
/// without CLSCTX_INPROC_SERVER; E_NOINTERFACE (and *ppv null) when the
/// object lacks the interface.
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);

/// The class id registered for a programmatic identifier: the default value
/// of HKEY_CLASSES_ROOT\<progid>\CLSID in the program's registry view, a
/// string "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}". CO_E_CLASSSTRING when the
/// identifier is not registered or its value is not such a string (the id is
/// then all zero). Needs no initialised thread.
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);

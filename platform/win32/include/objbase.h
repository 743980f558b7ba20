// The COM basics the shell's callers use: IUnknown, the task allocator
// (IMalloc, CoTaskMemAlloc / CoTaskMemFree) and HRESULT codes.
#pragma once

#include "win32/types.h"

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr bool IsEqualGUID(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
constexpr bool IsEqualIID(const IID& a, const IID& b) { return IsEqualGUID(a, b); }

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IMalloc = {0x00000002, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // objects go through Release
};

struct IMalloc : IUnknown {
  virtual void* Alloc(SIZE_T cb) = 0;
  virtual void* Realloc(void* pv, SIZE_T cb) = 0;
  virtual void Free(void* pv) = 0;
  virtual SIZE_T GetSize(void* pv) = 0;
  /// 1 when the block is this allocator's, 0 when not, -1 when it cannot tell.
  virtual int DidAlloc(void* pv) = 0;
  virtual void HeapMinimize() = 0;

 protected:
  ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;
using LPUNKNOWN = IUnknown*;

/// Memory that crosses COM and the shell (item lists, strings). A size of 0
/// still gives a block; freeing null does nothing.
LPVOID CoTaskMemAlloc(SIZE_T cb);
LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
void CoTaskMemFree(LPVOID pv);

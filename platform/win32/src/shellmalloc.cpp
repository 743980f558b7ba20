// The COM task allocator and the shell's IMalloc over it.
//
// Every block carries its size in a header in front of it, so GetSize and
// Realloc need no table; the header keeps the block aligned as malloc's is.
#include <cstdlib>
#include <cstring>

#include "objbase.h"
#include "shlobj.h"

namespace {

struct alignas(std::max_align_t) BlockHeader {
  SIZE_T size;
};

BlockHeader* headerOf(void* block) { return static_cast<BlockHeader*>(block) - 1; }

/// The shell allocator is one object for the whole process; AddRef and
/// Release count, and it is never destroyed.
class ShellAllocator final : public IMalloc {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    if (!ppvObject) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMalloc)) {
      *ppvObject = static_cast<IMalloc*>(this);
      AddRef();
      return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  void* Alloc(SIZE_T cb) override { return CoTaskMemAlloc(cb); }
  void* Realloc(void* pv, SIZE_T cb) override { return CoTaskMemRealloc(pv, cb); }
  void Free(void* pv) override { CoTaskMemFree(pv); }
  SIZE_T GetSize(void* pv) override { return pv ? headerOf(pv)->size : static_cast<SIZE_T>(-1); }
  // Blocks carry no mark that could be read safely from a foreign pointer.
  int DidAlloc(void* pv) override { return pv ? -1 : 0; }
  void HeapMinimize() override {}
};

ShellAllocator g_shellAllocator;

}  // namespace

LPVOID CoTaskMemAlloc(SIZE_T cb) {
  if (cb > static_cast<SIZE_T>(-1) - sizeof(BlockHeader)) return nullptr;
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + cb));
  if (!header) return nullptr;
  header->size = cb;
  return header + 1;
}

LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) {
  if (!pv) return CoTaskMemAlloc(cb);
  void* block = CoTaskMemAlloc(cb);
  if (!block) return nullptr;  // the old block stays valid, as with realloc
  const SIZE_T old = headerOf(pv)->size;
  std::memcpy(block, pv, old < cb ? old : cb);
  CoTaskMemFree(pv);
  return block;
}

void CoTaskMemFree(LPVOID pv) {
  if (pv) std::free(headerOf(pv));
}

HRESULT SHGetMalloc(IMalloc** ppMalloc) {
  if (!ppMalloc) return E_INVALIDARG;
  *ppMalloc = &g_shellAllocator;
  return S_OK;
}

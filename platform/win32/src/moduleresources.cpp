// The resource functions over the modules' checked resource tables.
#include <algorithm>
#include <cstring>

#include "moduletable.h"
#include "win32/errors.h"
#include "win32/module.h"

using namespace winsim;
using namespace winsim::modules;

namespace {

/// The resource image of a module, or the error FindResourceW reports.
Expected<std::shared_ptr<const LoadedModule>> moduleWithResources(HMODULE handle) {
  auto module = findModule(handle);
  if (!module) return makeError(ERROR_INVALID_HANDLE, "no such module");
  if (!module->image || !module->image->hasResourceSection())
    return makeError(ERROR_RESOURCE_DATA_NOT_FOUND, "the module has no resource section");
  return module;
}

Expected<const pe::Resource*> findIn(const pe::ResourceImage& image, const pe::ResourceKey& type,
                                     const pe::ResourceKey& name, std::optional<WORD> language) {
  if (!image.hasType(type)) return makeError(ERROR_RESOURCE_TYPE_NOT_FOUND, "no resource of that type");
  if (!image.hasName(type, name)) return makeError(ERROR_RESOURCE_NAME_NOT_FOUND, "no resource of that name");
  const pe::Resource* resource = image.find(type, name, language);
  if (!resource) return makeError(ERROR_RESOURCE_LANG_NOT_FOUND, "no resource of that language");
  return resource;
}

/// Whether a handle from FindResourceW names a resource of this module.
bool ownsResource(const LoadedModule& module, HRSRC handle) {
  if (!module.image) return false;
  const auto& list = module.image->resources();
  const auto address = reinterpret_cast<std::uintptr_t>(handle);
  const auto begin = reinterpret_cast<std::uintptr_t>(list.data());
  const auto end = begin + list.size() * sizeof(pe::Resource);
  return address >= begin && address < end && (address - begin) % sizeof(pe::Resource) == 0;
}

/// The module that a resource handle belongs to; a null module means any.
std::shared_ptr<const LoadedModule> ownerOf(HMODULE handle, HRSRC resource) {
  if (handle) {
    auto module = findModule(handle);
    return module && ownsResource(*module, resource) ? module : nullptr;
  }
  for (auto& module : loadedModules())
    if (ownsResource(*module, resource)) return module;
  return nullptr;
}

}  // namespace

HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
  return FindResourceExW(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
  auto module = moduleWithResources(hModule);
  if (!module) {
    SetLastError(module.error().code);
    return nullptr;
  }
  const auto type = pe::ResourceKey::fromWin32(lpType);
  const auto name = pe::ResourceKey::fromWin32(lpName);
  if (!type || !name) {
    SetLastError(!type ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const std::optional<WORD> language =
      wLanguage == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL) ? std::nullopt : std::optional<WORD>(wLanguage);
  auto resource = findIn(*module.value()->image, *type, *name, language);
  if (!resource) {
    SetLastError(resource.error().code);
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(const_cast<pe::Resource*>(resource.value()));
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) {
  const auto module = ownerOf(hModule, hResInfo);
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const auto data = module->image->bytes(*reinterpret_cast<const pe::Resource*>(hResInfo));
  return const_cast<std::uint8_t*>(data.data());
}

LPVOID LockResource(HGLOBAL hResData) { return hResData; }

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  const auto module = ownerOf(hModule, hResInfo);
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return reinterpret_cast<const pe::Resource*>(hResInfo)->size;
}

// Resource data lives as long as its module; there is nothing to free.
BOOL FreeResource(HGLOBAL hResData) { return FALSE; }

int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cchBufferMax > 0) lpBuffer[0] = 0;
  if (uID > 0xFFFF) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  const WORD id = static_cast<WORD>(uID);
  auto module = moduleWithResources(hInstance);
  if (!module) {
    SetLastError(module.error().code);
    return 0;
  }
  const pe::ResourceImage& image = *module.value()->image;
  auto block = findIn(image, *pe::ResourceKey::fromWin32(RT_STRING), pe::ResourceKey::fromId(pe::stringBlockId(id)),
                      std::nullopt);
  if (!block) {
    SetLastError(block.error().code);
    return 0;
  }
  const auto bytes = image.bytes(*block.value());
  auto slots = pe::decodeStringBlock(bytes);
  if (!slots) {
    SetLastError(slots.error().code);
    return 0;
  }
  const pe::StringSlot slot = slots.value()[pe::stringBlockIndex(id)];
  if (slot.length == 0) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  if (cchBufferMax == 0) {
    // The caller gets the string in place; every resource compiler puts
    // string data on even offsets, and a string that is not cannot be handed
    // out as UTF-16.
    const std::uint8_t* text = bytes.data() + slot.offset;
    if (reinterpret_cast<std::uintptr_t>(text) % alignof(WCHAR) != 0) {
      SetLastError(ERROR_INVALID_DATA);
      return 0;
    }
    const WCHAR* inPlace = reinterpret_cast<const WCHAR*>(text);
    std::memcpy(lpBuffer, &inPlace, sizeof inPlace);
    return static_cast<int>(slot.length);
  }
  const std::size_t count = std::min<std::size_t>(slot.length, static_cast<std::size_t>(cchBufferMax) - 1);
  for (std::size_t i = 0; i < count; ++i)
    lpBuffer[i] = static_cast<WCHAR>(bytes[slot.offset + 2 * i] | (bytes[slot.offset + 2 * i + 1] << 8));
  lpBuffer[count] = 0;
  return static_cast<int>(count);
}

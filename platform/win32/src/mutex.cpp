// The mutex surface of the Win32 layer.
#include "mutexobject.h"
#include "win32/errors.h"
#include "win32/synch.h"
#include "winsim/handles.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace {

/// The name under which the machine keeps a mutex: "Local\" is this session's
/// namespace, the bare name's own; "Global\" is kept as a namespace of its
/// own. Any other backslash is not allowed in a name.
winsim::Expected<std::u16string> objectName(std::u16string_view name) {
  constexpr std::u16string_view kLocal = u"Local\\";
  constexpr std::u16string_view kGlobal = u"Global\\";
  if (name.size() > MAX_PATH) return winsim::makeError(ERROR_FILENAME_EXCED_RANGE, "mutex name too long");
  if (name.substr(0, kLocal.size()) == kLocal) name.remove_prefix(kLocal.size());
  const std::size_t plain = name.substr(0, kGlobal.size()) == kGlobal ? kGlobal.size() : 0;
  if (name.find(u'\\', plain) != std::u16string_view::npos)
    return winsim::makeError(ERROR_BAD_PATHNAME, "a mutex name holds no backslash");
  return std::u16string(name);
}

}  // namespace

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCWSTR lpName) {
  if (!lpName || !*lpName) {
    SetLastError(ERROR_SUCCESS);
    return winsim::addHandle(winsim::MutexObject::createUnnamed(bInitialOwner != FALSE));
  }
  auto name = objectName(lpName);
  winsim::Machine* machine = winsim::currentMachine();
  if (!name || !machine) {
    SetLastError(name ? ERROR_PATH_NOT_FOUND : name.error().code);
    return nullptr;
  }
  auto opened = winsim::MutexObject::openNamed(*machine, name.value(), winsim::MutexObject::IfMissing::Create,
                                               bInitialOwner != FALSE);
  if (!opened) {
    SetLastError(opened.error().code);
    return nullptr;
  }
  HANDLE handle = winsim::addHandle(opened->mutex);
  SetLastError(opened->existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

HANDLE OpenMutexW(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCWSTR lpName) {
  if (!lpName || !*lpName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto name = objectName(lpName);
  winsim::Machine* machine = winsim::currentMachine();
  if (!name || !machine) {
    SetLastError(name ? ERROR_PATH_NOT_FOUND : name.error().code);
    return nullptr;
  }
  auto opened = winsim::MutexObject::openNamed(*machine, name.value(), winsim::MutexObject::IfMissing::Fail, false);
  if (!opened) {
    SetLastError(opened.error().code);
    return nullptr;
  }
  return winsim::addHandle(opened->mutex);
}

BOOL ReleaseMutex(HANDLE hMutex) {
  auto mutex = winsim::lookupHandleAs<winsim::MutexObject>(hMutex);
  if (!mutex) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (auto released = mutex->release(); !released) {
    SetLastError(released.error().code);
    return FALSE;
  }
  return TRUE;
}

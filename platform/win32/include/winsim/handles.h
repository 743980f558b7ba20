// The process's kernel handle table.
//
// A HANDLE names a reference-counted kernel object (a process, a mutex, a
// snapshot, a token, an open file ...). CloseHandle drops the table's
// reference; the object lives on while other handles or threads hold it.
#pragma once

#include <memory>

#include "win32/types.h"

namespace winsim {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

/// Adds an object to the table and returns its new handle.
HANDLE addHandle(std::shared_ptr<KernelObject> object);

/// The object of a handle if it is of type T; null for an unknown, closed or
/// differently typed handle.
std::shared_ptr<KernelObject> lookupHandle(HANDLE handle);
template <class T>
std::shared_ptr<T> lookupHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(lookupHandle(handle));
}

/// Removes a handle; false when it was not open.
bool removeHandle(HANDLE handle);

}  // namespace winsim

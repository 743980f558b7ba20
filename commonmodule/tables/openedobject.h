// An object of a drawing open for read or write, closed when the holder goes
// out of scope unless it was closed already or handed on. The storage
// functions close what they open on every path, in the order their callers
// rely on; close() lets them close early where that order matters.
#pragma once

#include <utility>

#include "DbObject.h"

namespace mwcommon {

template <class T>
class OpenedObject {
 public:
  OpenedObject() = default;
  explicit OpenedObject(T* object) : m_object(object) {}
  OpenedObject(OpenedObject&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  OpenedObject& operator=(OpenedObject&& other) noexcept {
    if (this != &other) {
      close();
      m_object = std::exchange(other.m_object, nullptr);
    }
    return *this;
  }
  OpenedObject(const OpenedObject&) = delete;
  OpenedObject& operator=(const OpenedObject&) = delete;
  ~OpenedObject() { close(); }

  /// Where an open call puts the object it opened (the holder must be empty).
  T*& slot() { return m_object; }
  T* get() const { return m_object; }
  T* operator->() const { return m_object; }
  explicit operator bool() const { return m_object != nullptr; }

  void close() {
    if (m_object) std::exchange(m_object, nullptr)->close();
  }
  /// Hands the open object on; the holder no longer closes it.
  T* release() { return std::exchange(m_object, nullptr); }

 private:
  T* m_object = nullptr;
};

}  // namespace mwcommon

// Which C++ object stands for a GDI handle: the permanent objects that own
// their handles (one process-wide map, as GDI objects are not bound to a
// thread) and each thread's temporary objects that FromHandle makes for
// handles nobody attached.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

namespace winsim::mfc {

template <class Base>
class PermanentMap {
 public:
  void add(const void* handle, Base* object) {
    std::lock_guard lock(m_mutex);
    m_objects[handle] = object;
  }
  /// Forgets the handle only while it still names this object: another
  /// object may hold the same (stock) handle since.
  void remove(const void* handle, const Base* object) {
    std::lock_guard lock(m_mutex);
    auto it = m_objects.find(handle);
    if (it != m_objects.end() && it->second == object) m_objects.erase(it);
  }
  Base* find(const void* handle) const {
    std::lock_guard lock(m_mutex);
    auto it = m_objects.find(handle);
    return it == m_objects.end() ? nullptr : it->second;
  }

 private:
  mutable std::mutex m_mutex;
  std::unordered_map<const void*, Base*> m_objects;
};

/// Temporary objects never delete their handles: they are detached before
/// they are deleted.
template <class Base>
class TemporaryMap {
 public:
  TemporaryMap() = default;
  ~TemporaryMap() { clear(); }
  TemporaryMap(const TemporaryMap&) = delete;
  TemporaryMap& operator=(const TemporaryMap&) = delete;

  Base* find(const void* handle) const {
    auto it = m_objects.find(handle);
    return it == m_objects.end() ? nullptr : it->second.get();
  }
  Base* add(const void* handle, std::unique_ptr<Base> object) {
    Base* raw = object.get();
    m_objects[handle] = std::move(object);
    return raw;
  }
  void clear() {
    for (auto& entry : m_objects) entry.second->Detach();
    m_objects.clear();
  }

 private:
  std::unordered_map<const void*, std::unique_ptr<Base>> m_objects;
};

}  // namespace winsim::mfc

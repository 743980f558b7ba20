// What the class library keeps per thread: the message being handled, the
// window object whose window is being made, and the thread's maps of
// permanent and temporary window and menu objects.
#pragma once

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "afxmenu.h"
#include "afxwnd.h"

class CWinThread;

namespace winsim::mfc {

/// The pairs of one thread: permanent objects (owned by their creators) and
/// temporary ones (owned here, their handle cleared before they are
/// deleted, so deleting one never destroys what it stands for). A temporary
/// object remembers the dispatch depth (ThreadState::dispatchDepth) it was
/// first asked for at: only code at that depth or below can still hold it.
template <class Handle, class Object, Handle Object::*handleMember>
class HandleMap {
 public:
  HandleMap() = default;
  HandleMap(const HandleMap&) = delete;
  HandleMap& operator=(const HandleMap&) = delete;
  ~HandleMap() { deleteTemporaries(); }

  Object* permanent(Handle handle) const {
    auto it = m_permanent.find(handle);
    return it == m_permanent.end() ? nullptr : it->second;
  }
  /// False when the handle has a permanent object already.
  bool addPermanent(Handle handle, Object* object) { return m_permanent.emplace(handle, object).second; }
  void removePermanent(Handle handle, const Object* object) {
    auto it = m_permanent.find(handle);
    if (it != m_permanent.end() && it->second == object) m_permanent.erase(it);
  }
  /// The permanent object, else the temporary one, made on first use.
  Object* find(Handle handle, int depth) {
    if (Object* object = permanent(handle)) return object;
    Temporary& slot = m_temporary[handle];
    if (!slot.object) {
      slot.object = std::make_unique<Object>();
      (*slot.object).*handleMember = handle;
      slot.depth = depth;
    }
    slot.depth = std::min(slot.depth, depth);
    return slot.object.get();
  }
  /// Deletes the temporary objects first asked for deeper than `depth`.
  void deleteTemporariesAbove(int depth) {
    std::vector<std::unique_ptr<Object>> ending;
    for (auto it = m_temporary.begin(); it != m_temporary.end();) {
      if (it->second.depth > depth) {
        (*it->second.object).*handleMember = nullptr;
        ending.push_back(std::move(it->second.object));
        it = m_temporary.erase(it);
      } else {
        ++it;
      }
    }
  }
  void deleteTemporaries() { deleteTemporariesAbove(-1); }

 private:
  struct Temporary {
    std::unique_ptr<Object> object;
    int depth = 0;
  };
  std::unordered_map<Handle, Object*> m_permanent;
  std::unordered_map<Handle, Temporary> m_temporary;
};

using WindowMap = HandleMap<HWND, CWnd, &CWnd::m_hWnd>;
using MenuMap = HandleMap<HMENU, CMenu, &CMenu::m_hMenu>;

struct ThreadMaps {
  WindowMap windows;
  MenuMap menus;
};

/// The calling thread's maps; null while the thread is ending (its maps are
/// gone then, and objects destroyed after them have nothing to leave).
ThreadMaps* threadMaps();

struct ThreadState {
  MSG lastSent{};                 // the message being handled (Default)
  int dispatchDepth = 0;          // window procedures and thread handlers on the stack
  CWnd* creating = nullptr;       // attached at its window's first message
  CWinThread* thread = nullptr;   // the CWinThread that runs this thread
  HMENU trackingMenu = nullptr;   // the popup menu CMenu::TrackPopupMenu shows
  HWND trackingWindow = nullptr;  // and the window it shows it for
};
/// Trivially destructible, so it is there for the thread's whole life.
ThreadState& threadState();

/// Deletes the thread's temporary objects that no code running at `depth`
/// or below can hold: window and menu objects first asked for deeper; the
/// GDI layer's objects (which keep no depth) only when `depth` is 0, the
/// outermost level of the thread.
void deleteTemporaryObjects(int depth);

/// Counts a dispatch (a window procedure, a thread message handler) for as
/// long as it runs.
class DispatchLevel {
 public:
  DispatchLevel() { ++threadState().dispatchDepth; }
  ~DispatchLevel() { --threadState().dispatchDepth; }
  DispatchLevel(const DispatchLevel&) = delete;
  DispatchLevel& operator=(const DispatchLevel&) = delete;
};

/// The permanent menu object that holds owner-drawn item `itemId` of the
/// popup menu the thread tracks for `owner`; null when there is none.
CMenu* menuOfItem(HWND owner, UINT itemId);

}  // namespace winsim::mfc

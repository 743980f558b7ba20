// The process's menu objects, for the menu functions and the popup tracker.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "win32/user.h"

namespace winsim::user {

struct MenuItem {
  UINT flags = 0;       // MF_* kind and state bits
  UINT_PTR id = 0;      // the command id, or the submenu of an MF_POPUP item
  std::u16string text;  // MF_STRING items
  ULONG_PTR data = 0;   // MF_OWNERDRAW items: the application's item data
};

/// A copy of a menu's items; nothing when the menu does not exist.
std::optional<std::vector<MenuItem>> menuItems(HMENU menu);

}  // namespace winsim::user

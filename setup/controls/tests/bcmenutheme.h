// What the menu look tests on Windows XP share: the user's current theme
// written where the menu reads it, and one item measured. The menu reads the
// system version and the theme once per process, so each look has its own
// test program (bcmenuxp_test.cpp, bcmenuclassic_test.cpp).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "bcmenu.h"

namespace bcmenutheme {

inline void setCurrentTheme(const std::u16string& theme) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Microsoft\\Plus!\\Themes\\Current", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(theme.c_str()),
                           static_cast<DWORD>((theme.size() + 1) * sizeof(char16_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

inline UINT measuredHeight(BCMenu& menu, const BCMenuData& data) {
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, static_cast<UINT>(data.nID), 0, 0, reinterpret_cast<ULONG_PTR>(&data)};
  menu.MeasureItem(&mis);
  return mis.itemHeight;
}

}  // namespace bcmenutheme

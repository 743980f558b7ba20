// Dialog templates written in memory (the old DLGTEMPLATE layout), for tests
// that need a dialog of their own shape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win32/user.h"

namespace dialogtest {

struct Item {
  WORD atom;  // 0x0080 Button, 0x0081 Edit, 0x0082 Static
  std::u16string text;
  WORD id;
  DWORD style;
  short x, y, cx, cy;
};

/// A template that outlives the dialogs made from it, DWORD-aligned as the
/// format wants.
class Template {
 public:
  Template(DWORD style, short cx, short cy, std::u16string title, std::vector<Item> items,
           std::u16string face = u"MS Shell Dlg", WORD points = 8) {
    dword(style | (face.empty() ? 0 : DS_SETFONT));
    dword(0);
    word(static_cast<WORD>(items.size()));
    word(0).word(0).word(static_cast<WORD>(cx)).word(static_cast<WORD>(cy));
    word(0);  // no menu
    word(0);  // the dialog class
    text(title);
    if (!face.empty()) {
      word(points);
      text(face);
    }
    for (const Item& item : items) {
      align();
      dword(item.style | WS_CHILD | WS_VISIBLE);
      dword(0);
      word(static_cast<WORD>(item.x)).word(static_cast<WORD>(item.y));
      word(static_cast<WORD>(item.cx)).word(static_cast<WORD>(item.cy));
      word(item.id);
      word(0xFFFF).word(item.atom);
      text(item.text);
      word(0);  // no creation data
    }
    m_words.resize(m_words.size() + 1);  // room so the reader never touches past the end
  }
  LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data()); }

 private:
  Template& word(WORD w) {
    m_words.push_back(w);
    return *this;
  }
  Template& dword(DWORD d) { return word(static_cast<WORD>(d)).word(static_cast<WORD>(d >> 16)); }
  Template& text(const std::u16string& s) {
    for (char16_t c : s) word(c);
    return word(0);
  }
  Template& align() {
    while (m_words.size() % 2) word(0);
    return *this;
  }
  std::vector<WORD> m_words;  // WORD storage keeps the DWORD boundaries of the format
};

}  // namespace dialogtest

// Dialog templates written in memory (the old DLGTEMPLATE layout), for tests
// of dialogs whose shape no resource library has.
#pragma once

#include <string>
#include <vector>

#include "win32/user.h"

namespace mfctest {

struct TemplateItem {
  WORD atom;  // 0x0080 Button, 0x0081 Edit, 0x0082 Static
  std::u16string text;
  WORD id;
  DWORD style;
  short x, y, cx, cy;
};

/// A template that outlives the dialogs made from it, DWORD-aligned as the
/// format wants, with the dialog font "MS Shell Dlg" 8.
class MemoryTemplate {
 public:
  MemoryTemplate(DWORD style, short cx, short cy, const std::u16string& title, const std::vector<TemplateItem>& items) {
    dword(style | DS_SETFONT).dword(0).word(static_cast<WORD>(items.size()));
    word(0).word(0).word(static_cast<WORD>(cx)).word(static_cast<WORD>(cy));
    word(0).word(0);  // no menu, the dialog class
    text(title).word(8).text(u"MS Shell Dlg");
    for (const TemplateItem& item : items) {
      while (m_words.size() % 2) word(0);
      dword(item.style | WS_CHILD | WS_VISIBLE).dword(0);
      word(static_cast<WORD>(item.x)).word(static_cast<WORD>(item.y));
      word(static_cast<WORD>(item.cx)).word(static_cast<WORD>(item.cy)).word(item.id);
      word(0xFFFF).word(item.atom).text(item.text).word(0);
    }
    m_words.push_back(0);  // room so the reader never touches past the end
  }
  LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data()); }

 private:
  MemoryTemplate& word(WORD w) {
    m_words.push_back(w);
    return *this;
  }
  MemoryTemplate& dword(DWORD d) { return word(static_cast<WORD>(d)).word(static_cast<WORD>(d >> 16)); }
  MemoryTemplate& text(const std::u16string& s) {
    for (char16_t c : s) word(c);
    return word(0);
  }
  std::vector<WORD> m_words;
};

}  // namespace mfctest

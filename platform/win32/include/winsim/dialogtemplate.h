// Dialog templates (RT_DIALOG resources) decoded into plain values.
//
// Both layouts are read: the extended one (DLGTEMPLATEEX, what DIALOGEX
// scripts compile to) and the old one (DLGTEMPLATE). A template comes from a
// resource library on disk, so every field is bounds-checked, strings must
// end inside the data, and each item starts on the DWORD boundary the format
// puts it on (counted from the template's start). A damaged template is
// refused with ERROR_INVALID_DATA; nothing is guessed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "win32/types.h"
#include "winsim/expected.h"

namespace winsim {

/// The predefined control classes an item may name by atom.
enum : WORD {
  kButtonClassAtom = 0x0080,
  kEditClassAtom = 0x0081,
  kStaticClassAtom = 0x0082,
  kListBoxClassAtom = 0x0083,
  kScrollBarClassAtom = 0x0084,
  kComboBoxClassAtom = 0x0085,
};

/// A field that holds nothing, an ordinal, or a string.
struct NameOrOrdinal {
  enum class Kind { None, Ordinal, Name };
  Kind kind = Kind::None;
  WORD ordinal = 0;
  std::u16string name;

  bool isOrdinal() const { return kind == Kind::Ordinal; }
};

struct DialogFont {
  WORD pointSize = 0;
  WORD weight = 0;  // 0 in the old layout, which gives none
  bool italic = false;
  BYTE charset = 0;
  std::u16string face;
};

struct DialogItem {
  DWORD helpId = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  SHORT x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD id = 0;                        // 16 bits in the old layout
  NameOrOrdinal windowClass;           // an atom above or a class name
  NameOrOrdinal text;                  // initial text, or a resource ordinal (icons, bitmaps)
  std::vector<BYTE> creationData;

  /// "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" for the
  /// atoms, the name itself for a named class; empty for an unknown atom.
  std::u16string className() const;
};

struct DialogTemplate {
  bool extended = false;
  DWORD helpId = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  SHORT x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  NameOrOrdinal menu;
  NameOrOrdinal windowClass;
  std::u16string title;
  std::optional<DialogFont> font;  // present when the style has DS_SETFONT
  std::vector<DialogItem> items;
};

Expected<DialogTemplate> decodeDialogTemplate(std::span<const std::uint8_t> bytes);

}  // namespace winsim

#include "winsim/dialogtemplate.h"

#include "win32/errors.h"

namespace winsim {

namespace {

constexpr DWORD kDsSetFont = 0x40;
constexpr WORD kExtendedSignature = 0xFFFF;

Error damaged(const std::string& what) { return makeError(ERROR_INVALID_DATA, "damaged dialog template: " + what); }

/// Reads the template front to back; every read checks the bounds first.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> data) : m_data(data) {}

  std::size_t position() const { return m_position; }
  bool has(std::size_t length) const { return length <= m_data.size() - m_position; }

  bool readWord(WORD& out) {
    if (!has(2)) return false;
    out = static_cast<WORD>(m_data[m_position] | (m_data[m_position + 1] << 8));
    m_position += 2;
    return true;
  }
  bool readDword(DWORD& out) {
    WORD low = 0, high = 0;
    if (!has(4)) return false;
    (void)readWord(low);
    (void)readWord(high);
    out = static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16);
    return true;
  }
  bool readShort(SHORT& out) {
    WORD word = 0;
    if (!readWord(word)) return false;
    out = static_cast<SHORT>(word);
    return true;
  }
  bool readByte(BYTE& out) {
    if (!has(1)) return false;
    out = m_data[m_position++];
    return true;
  }
  bool readBytes(std::size_t length, std::vector<BYTE>& out) {
    if (!has(length)) return false;
    out.assign(m_data.begin() + static_cast<std::ptrdiff_t>(m_position),
               m_data.begin() + static_cast<std::ptrdiff_t>(m_position + length));
    m_position += length;
    return true;
  }
  /// A NUL-terminated UTF-16 string; false when the NUL lies past the end.
  bool readString(std::u16string& out) {
    out.clear();
    for (WORD unit = 0;;) {
      if (!readWord(unit)) return false;
      if (unit == 0) return true;
      out.push_back(static_cast<char16_t>(unit));
    }
  }
  /// The rest of a string whose first unit has been read already.
  bool readStringAfter(WORD first, std::u16string& out) {
    if (!readString(out)) return false;
    out.insert(out.begin(), static_cast<char16_t>(first));
    return true;
  }
  bool alignToDword() {
    const std::size_t padding = (4 - m_position % 4) % 4;
    if (!has(padding)) return false;
    m_position += padding;
    return true;
  }

 private:
  std::span<const std::uint8_t> m_data;
  std::size_t m_position = 0;
};

/// Menu and class: 0x0000 none, 0xFFFF and an ordinal, or a string.
bool readNameOrOrdinal(Cursor& in, NameOrOrdinal& out) {
  WORD first = 0;
  if (!in.readWord(first)) return false;
  if (first == 0x0000) {
    out = {};
    return true;
  }
  if (first == 0xFFFF) {
    out.kind = NameOrOrdinal::Kind::Ordinal;
    return in.readWord(out.ordinal);
  }
  out.kind = NameOrOrdinal::Kind::Name;
  return in.readStringAfter(first, out.name);
}

/// An item's class and text: 0xFFFF and an ordinal, or a string (an empty
/// string is a single 0x0000).
bool readItemField(Cursor& in, NameOrOrdinal& out) {
  WORD first = 0;
  if (!in.readWord(first)) return false;
  if (first == 0xFFFF) {
    out.kind = NameOrOrdinal::Kind::Ordinal;
    return in.readWord(out.ordinal);
  }
  out.kind = NameOrOrdinal::Kind::Name;
  out.name.clear();
  return first == 0 || in.readStringAfter(first, out.name);
}

Status readItem(Cursor& in, bool extended, DialogItem& item) {
  if (!in.alignToDword()) return damaged("item alignment past the end");
  bool ok = true;
  if (extended) {
    ok = in.readDword(item.helpId) && in.readDword(item.exStyle) && in.readDword(item.style);
  } else {
    ok = in.readDword(item.style) && in.readDword(item.exStyle);
  }
  ok = ok && in.readShort(item.x) && in.readShort(item.y) && in.readShort(item.cx) && in.readShort(item.cy);
  if (extended) {
    ok = ok && in.readDword(item.id);
  } else {
    WORD id = 0;
    ok = ok && in.readWord(id);
    item.id = id;
  }
  if (!ok) return damaged("item header past the end");
  if (!readItemField(in, item.windowClass)) return damaged("item class past the end");
  if (!readItemField(in, item.text)) return damaged("item text past the end");
  WORD extra = 0;
  if (!in.readWord(extra)) return damaged("item creation data size past the end");
  // The extended layout counts the bytes after the size word; the old one
  // counts the size word itself too.
  std::size_t length = extra;
  if (!extended && extra != 0) {
    if (extra < 2) return damaged("creation data size smaller than its own word");
    length = extra - 2u;
  }
  if (!in.readBytes(length, item.creationData)) return damaged("item creation data past the end");
  return {};
}

}  // namespace

std::u16string DialogItem::className() const {
  if (windowClass.kind == NameOrOrdinal::Kind::Name) return windowClass.name;
  if (windowClass.kind == NameOrOrdinal::Kind::None) return {};
  switch (windowClass.ordinal) {
    case kButtonClassAtom:
      return u"Button";
    case kEditClassAtom:
      return u"Edit";
    case kStaticClassAtom:
      return u"Static";
    case kListBoxClassAtom:
      return u"ListBox";
    case kScrollBarClassAtom:
      return u"ScrollBar";
    case kComboBoxClassAtom:
      return u"ComboBox";
    default:
      return {};
  }
}

Expected<DialogTemplate> decodeDialogTemplate(std::span<const std::uint8_t> bytes) {
  Cursor in(bytes);
  DialogTemplate dialog;
  WORD version = 0, signature = 0;
  if (bytes.size() >= 4) {
    version = static_cast<WORD>(bytes[0] | (bytes[1] << 8));
    signature = static_cast<WORD>(bytes[2] | (bytes[3] << 8));
  }
  dialog.extended = version == 1 && signature == kExtendedSignature;

  WORD itemCount = 0;
  bool ok = true;
  if (dialog.extended) {
    ok = in.readWord(version) && in.readWord(signature) && in.readDword(dialog.helpId) &&
         in.readDword(dialog.exStyle) && in.readDword(dialog.style);
  } else {
    ok = in.readDword(dialog.style) && in.readDword(dialog.exStyle);
  }
  ok = ok && in.readWord(itemCount) && in.readShort(dialog.x) && in.readShort(dialog.y) && in.readShort(dialog.cx) &&
       in.readShort(dialog.cy);
  if (!ok) return damaged("header past the end");
  if (!readNameOrOrdinal(in, dialog.menu)) return damaged("menu past the end");
  if (!readNameOrOrdinal(in, dialog.windowClass)) return damaged("class past the end");
  if (!in.readString(dialog.title)) return damaged("title past the end");

  if (dialog.style & kDsSetFont) {
    DialogFont font;
    ok = in.readWord(font.pointSize);
    if (dialog.extended) {
      BYTE italic = 0;
      ok = ok && in.readWord(font.weight) && in.readByte(italic) && in.readByte(font.charset);
      font.italic = italic != 0;
    }
    if (!ok || !in.readString(font.face)) return damaged("font past the end");
    dialog.font = std::move(font);
  }

  for (WORD i = 0; i < itemCount; ++i) {
    DialogItem item;
    if (auto status = readItem(in, dialog.extended, item); !status) return status.error();
    dialog.items.push_back(std::move(item));
  }
  return dialog;
}

}  // namespace winsim

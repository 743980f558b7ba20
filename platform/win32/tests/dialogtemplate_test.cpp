#include "winsim/dialogtemplate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "IntallerRes.h"
#include "moduletesthelpers.h"
#include "testres.h"
#include "win32/errors.h"
#include "win32/module.h"
#include "winsim/text.h"

using winsim::DialogTemplate;
using winsim::NameOrOrdinal;
using winsim::testing::TempMachine;

namespace {

constexpr DWORD kChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr DWORD kDsSetFont = 0x40;

/// The template of a dialog resource, decoded as a page would decode it.
winsim::Expected<DialogTemplate> dialogOf(const char* library, WORD id) {
  TempMachine m;
  moduletest::install(m, library, u"C:\\Lib\\library.dll");
  HMODULE module = LoadLibraryExW(u"C:\\Lib\\library.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_NE(module, nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
  EXPECT_NE(found, nullptr);
  if (!found) return winsim::makeError(ERROR_RESOURCE_NAME_NOT_FOUND, "no dialog");
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
  auto dialog = winsim::decodeDialogTemplate({data, SizeofResource(module, found)});
  FreeLibrary(module);
  return dialog;
}

using Bytes = std::vector<std::uint8_t>;

class TemplateWriter {
 public:
  TemplateWriter& word(WORD w) {
    m_bytes.push_back(static_cast<std::uint8_t>(w));
    m_bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    return *this;
  }
  TemplateWriter& dword(DWORD d) { return word(static_cast<WORD>(d)).word(static_cast<WORD>(d >> 16)); }
  TemplateWriter& text(std::u16string_view s) {
    for (char16_t c : s) word(c);
    return word(0);
  }
  TemplateWriter& align() {
    while (m_bytes.size() % 4) m_bytes.push_back(0);
    return *this;
  }
  TemplateWriter& bytes(std::initializer_list<std::uint8_t> b) {
    m_bytes.insert(m_bytes.end(), b);
    return *this;
  }
  Bytes done() const { return m_bytes; }

 private:
  Bytes m_bytes;
};

/// An old-layout template: a menu by ordinal, a class by name, a font, and
/// two items with creation data (the old size word counts itself).
Bytes oldTemplateWithData() {
  TemplateWriter w;
  w.dword(kDsSetFont | 0x80000000).dword(0x8).word(2).word(1).word(2).word(30).word(40);
  w.word(0xFFFF).word(77).text(u"MyDialogClass").text(u"Title").word(9).text(u"Arial");
  w.align().dword(kChildVisible).dword(0).word(1).word(2).word(3).word(4).word(5);
  w.word(0xFFFF).word(0x0080).text(u"Push").word(4).bytes({0xAB, 0xCD});
  w.align().dword(kChildVisible).dword(0).word(0).word(0).word(1).word(1).word(6);
  w.text(u"Custom").word(0xFFFF).word(12).word(0);
  return w.done();
}

/// An extended template with one item holding three bytes of data.
Bytes extendedTemplateWithData() {
  TemplateWriter w;
  w.word(1).word(0xFFFF).dword(5).dword(0x200).dword(0x80000000).word(1).word(0).word(0).word(50).word(20);
  w.word(0).word(0).text(u"");
  w.align().dword(9).dword(0x4).dword(kChildVisible).word(1).word(1).word(20).word(10).dword(100000);
  w.word(0xFFFF).word(0x0085).text(u"").word(3).bytes({1, 2, 3});
  return w.done();
}

}  // namespace

TEST(DialogTemplate, DecodesTheSampleDialogOfTheResourceCompiler) {
  auto dialog = dialogOf("IntallerRes.dll", IDD_SAMPLE);
  ASSERT_TRUE(dialog.ok()) << dialog.error().message;
  EXPECT_TRUE(dialog->extended);
  EXPECT_EQ(dialog->title, u"Sample");
  EXPECT_EQ(dialog->cx, 240);
  EXPECT_EQ(dialog->cy, 120);
  EXPECT_EQ(dialog->style & 0x80C000C8u, 0x80C000C8u);  // WS_POPUP | WS_CAPTION | DS_SHELLFONT | DS_MODALFRAME
  EXPECT_EQ(dialog->menu.kind, NameOrOrdinal::Kind::None);
  EXPECT_EQ(dialog->windowClass.kind, NameOrOrdinal::Kind::None);
  ASSERT_TRUE(dialog->font.has_value());
  EXPECT_EQ(dialog->font->face, u"MS Shell Dlg");
  EXPECT_EQ(dialog->font->pointSize, 8);
  EXPECT_EQ(dialog->font->weight, 400);
  EXPECT_FALSE(dialog->font->italic);
  EXPECT_EQ(dialog->font->charset, 1);

  const struct {
    DWORD id;
    const char16_t* className;
    const char16_t* text;  // null: a resource ordinal
    WORD ordinal;
    DWORD styleBits;
    SHORT x, y, cx, cy;
    bool byAtom;  // the compiler stores the atom for its own statements, the name of a CONTROL's class
  } kItems[] = {
      {IDC_SAMPLE_PICTURE, u"Static", nullptr, IDB_SAMPLE_PICTURE, kChildVisible | 0x0E | 0x40, 7, 7, 60, 80, false},
      {IDC_SAMPLE_TEXT, u"Static", u"Install folder:", 0, kChildVisible, 74, 7, 159, 8, true},
      {IDC_SAMPLE_EDIT, u"Edit", u"", 0, kChildVisible | 0x00010000 | 0x80, 74, 20, 159, 14, true},
      {1, u"Button", u"OK", 0, kChildVisible | 0x00010000 | 0x01, 129, 99, 50, 14, true},
      {2, u"Button", u"Cancel", 0, kChildVisible | 0x00010000, 183, 99, 50, 14, true},
  };
  ASSERT_EQ(dialog->items.size(), std::size(kItems));
  for (std::size_t i = 0; i < std::size(kItems); ++i) {
    const auto& item = dialog->items[i];
    const auto& want = kItems[i];
    EXPECT_EQ(item.id, want.id) << i;
    // Class names compare without case, as window classes do.
    EXPECT_TRUE(winsim::equalsNoCase(item.className(), want.className)) << i;
    EXPECT_EQ(item.windowClass.isOrdinal(), want.byAtom) << i;
    if (want.text) {
      EXPECT_EQ(item.text.kind, NameOrOrdinal::Kind::Name) << i;
      EXPECT_EQ(item.text.name, want.text) << i;
    } else {
      EXPECT_TRUE(item.text.isOrdinal()) << i;
      EXPECT_EQ(item.text.ordinal, want.ordinal) << i;
    }
    EXPECT_EQ(item.style & want.styleBits, want.styleBits) << i;
    EXPECT_EQ(item.x, want.x) << i;
    EXPECT_EQ(item.y, want.y) << i;
    EXPECT_EQ(item.cx, want.cx) << i;
    EXPECT_EQ(item.cy, want.cy) << i;
    EXPECT_TRUE(item.creationData.empty()) << i;
  }
}

TEST(DialogTemplate, DecodesTheOldLayoutOfTheResourceCompiler) {
  auto dialog = dialogOf("testres.dll", IDD_TEST_OLD);
  ASSERT_TRUE(dialog.ok()) << dialog.error().message;
  EXPECT_FALSE(dialog->extended);
  EXPECT_EQ(dialog->title, u"Old layout");
  EXPECT_EQ(dialog->x, 10);
  EXPECT_EQ(dialog->y, 20);
  ASSERT_TRUE(dialog->font.has_value());
  EXPECT_EQ(dialog->font->face, u"MS Sans Serif");
  EXPECT_EQ(dialog->font->pointSize, 8);
  EXPECT_EQ(dialog->font->weight, 0);
  ASSERT_EQ(dialog->items.size(), 4u);
  EXPECT_EQ(dialog->items[0].className(), u"Button");
  EXPECT_EQ(dialog->items[0].text.name, u"Go");
  EXPECT_EQ(dialog->items[0].id, 10u);
  EXPECT_EQ(dialog->items[1].className(), u"Static");
  EXPECT_EQ(dialog->items[1].text.name, u"");
  EXPECT_EQ(dialog->items[2].className(), u"Static");
  EXPECT_EQ(dialog->items[2].style & 0x1F, 0x03u);  // SS_ICON
  EXPECT_TRUE(dialog->items[2].text.isOrdinal());
  EXPECT_EQ(dialog->items[2].text.ordinal, IDI_TEST);
  EXPECT_TRUE(winsim::equalsNoCase(dialog->items[3].className(), u"CustomClass"));
  EXPECT_FALSE(dialog->items[3].windowClass.isOrdinal());
  EXPECT_EQ(dialog->items[3].text.name, u"Named class");
}

TEST(DialogTemplate, ExtendedItemsHaveWideIdsAndExtendedStyles) {
  auto dialog = dialogOf("testres.dll", IDD_TEST_EX);
  ASSERT_TRUE(dialog.ok()) << dialog.error().message;
  EXPECT_TRUE(dialog->extended);
  EXPECT_FALSE(dialog->font.has_value());
  ASSERT_EQ(dialog->items.size(), 1u);
  EXPECT_EQ(dialog->items[0].id, 70000u);
  EXPECT_EQ(dialog->items[0].exStyle, 0x200u);
  EXPECT_EQ(dialog->items[0].helpId, 77u);
  EXPECT_EQ(dialog->items[0].cx, 3);
}

TEST(DialogTemplate, DecodesOrdinalsNamesAndCreationData) {
  auto old = winsim::decodeDialogTemplate(oldTemplateWithData());
  ASSERT_TRUE(old.ok()) << old.error().message;
  EXPECT_TRUE(old->menu.isOrdinal());
  EXPECT_EQ(old->menu.ordinal, 77);
  EXPECT_EQ(old->windowClass.name, u"MyDialogClass");
  EXPECT_EQ(old->font->face, u"Arial");
  ASSERT_EQ(old->items.size(), 2u);
  EXPECT_EQ(old->items[0].creationData, (Bytes{0xAB, 0xCD}));
  EXPECT_EQ(old->items[0].id, 5u);
  EXPECT_EQ(old->items[1].className(), u"Custom");
  EXPECT_EQ(old->items[1].text.ordinal, 12);

  auto extended = winsim::decodeDialogTemplate(extendedTemplateWithData());
  ASSERT_TRUE(extended.ok()) << extended.error().message;
  EXPECT_EQ(extended->helpId, 5u);
  EXPECT_EQ(extended->exStyle, 0x200u);
  ASSERT_EQ(extended->items.size(), 1u);
  EXPECT_EQ(extended->items[0].helpId, 9u);
  EXPECT_EQ(extended->items[0].id, 100000u);
  EXPECT_EQ(extended->items[0].className(), u"ComboBox");
  EXPECT_EQ(extended->items[0].creationData, (Bytes{1, 2, 3}));
}

TEST(DialogTemplate, RefusesEveryTruncation) {
  for (const Bytes& whole : {oldTemplateWithData(), extendedTemplateWithData()}) {
    for (std::size_t length = 0; length < whole.size(); ++length) {
      auto dialog = winsim::decodeDialogTemplate({whole.data(), length});
      EXPECT_FALSE(dialog.ok()) << length << " of " << whole.size();
      if (!dialog.ok()) {
        EXPECT_EQ(dialog.error().code, ERROR_INVALID_DATA);
      }
    }
  }
}

TEST(DialogTemplate, RefusesDamagedFields) {
  const struct {
    const char* what;
    Bytes bytes;
  } kCases[] = {
      {"creation data size below its own word",
       [] {
         Bytes b = oldTemplateWithData();
         // The first item's size word sits before its two data bytes.
         const auto data = std::find(b.begin(), b.end(), 0xAB);
         *(data - 2) = 1;
         return b;
       }()},
      {"more items than the data holds",
       [] {
         Bytes b = extendedTemplateWithData();
         b[16] = 2;  // cDlgItems
         return b;
       }()},
      {"title without its end",
       [] {
         TemplateWriter w;
         w.dword(0).dword(0).word(0).word(0).word(0).word(0).word(0).word(0).word(0).word(u'T');
         return w.done();
       }()},
  };
  for (const auto& c : kCases) {
    auto dialog = winsim::decodeDialogTemplate(c.bytes);
    EXPECT_FALSE(dialog.ok()) << c.what;
  }
}

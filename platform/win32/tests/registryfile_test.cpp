// The registry file: every kind of value through the file and back, the text
// regedit writes and reads, and damaged files.
#include "winsim/registryfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/errors.h"
#include "win32/registry.h"

namespace {

using winsim::RegistryKey;
using winsim::RegistryTree;

std::vector<BYTE> wide(std::u16string_view text, bool withNul = true) {
  std::vector<BYTE> data;
  for (char16_t c : text) {
    data.push_back(static_cast<BYTE>(c & 0xFF));
    data.push_back(static_cast<BYTE>(c >> 8));
  }
  if (withNul) data.insert(data.end(), {0, 0});
  return data;
}

/// The file's text without its BOM, for looking at lines.
std::u16string textOf(const std::string& bytes) {
  std::u16string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<BYTE>(bytes[i]) | (static_cast<BYTE>(bytes[i + 1]) << 8)));
  return text;
}

RegistryTree parsed(std::string_view text) {
  auto tree = winsim::parseRegistryFile(text);
  EXPECT_TRUE(tree.ok()) << tree.error().message;
  return tree.ok() ? std::move(tree.value()) : RegistryTree{};
}

struct RoundTripCase {
  const char16_t* key;
  const char16_t* name;
  DWORD type;
  std::vector<BYTE> data;
  const char16_t* line;  // the value's line in the file, when it fits on one
};

TEST(RegistryFile, EveryValueComesBackExactly) {
  std::vector<BYTE> large(300);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<BYTE>(i * 7);
  const RoundTripCase cases[] = {
      {u"Plain", u"path", REG_SZ, wide(u"C:\\Program Files\\Halvorn"), u"\"path\"=\"C:\\\\Program Files\\\\Halvorn\""},
      {u"Plain", u"", REG_SZ, wide(u"default"), u"@=\"default\""},
      {u"Plain", u"empty", REG_SZ, wide(u""), u"\"empty\"=\"\""},
      {u"Names", u"say \"hi\"", REG_SZ, wide(u"\"quoted\""), u"\"say \\\"hi\\\"\"=\"\\\"quoted\\\"\""},
      {u"Names", u"back\\slash", REG_SZ, wide(u"x"), u"\"back\\\\slash\"=\"x\""},
      {u"Names", u"a=b", REG_SZ, wide(u"c=d"), u"\"a=b\"=\"c=d\""},
      {u"Names", u"[not a key]", REG_SZ, wide(u";not a comment"), nullptr},
      {u"Names", u"\u540d\u524d", REG_SZ, wide(u"\u4e2d\u6587 caf\u00e9"),
       u"\"\u540d\u524d\"=\"\u4e2d\u6587 caf\u00e9\""},
      {u"With ] and \u00e9", u"v", REG_DWORD, {10, 0, 0, 0}, u"\"v\"=dword:0000000a"},
      {u"Odd", u"no nul", REG_SZ, wide(u"abc", false), u"\"no nul\"=hex(1):61,00,62,00,63,00"},
      {u"Odd", u"odd size", REG_SZ, {0x61}, u"\"odd size\"=hex(1):61"},
      {u"Odd", u"two lines", REG_SZ, wide(u"a\r\nb"), nullptr},
      {u"Odd", u"inner nul", REG_SZ, wide(std::u16string(u"a\0b", 3)), nullptr},
      {u"Odd", u"short dword", REG_DWORD, {1, 2, 3}, u"\"short dword\"=hex(4):01,02,03"},
      {u"Odd", u"type 0x12345", 0x12345, {0xFF}, u"\"type 0x12345\"=hex(12345):ff"},
      {u"Types", u"expand", REG_EXPAND_SZ, wide(u"%TEMP%\\x"), nullptr},
      {u"Types", u"multi", REG_MULTI_SZ, wide(std::u16string(u"one\0two\0", 8)), nullptr},
      {u"Types", u"dword", REG_DWORD, {0xEF, 0xBE, 0xAD, 0xDE}, u"\"dword\"=dword:deadbeef"},
      {u"Types", u"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0x80}, u"\"qword\"=hex(b):01,00,00,00,00,00,00,80"},
      {u"Types", u"binary", REG_BINARY, {0, 0xAB}, u"\"binary\"=hex:00,ab"},
      {u"Types", u"empty binary", REG_BINARY, {}, u"\"empty binary\"=hex:"},
      {u"Types", u"none", REG_NONE, {}, u"\"none\"=hex(0):"},
      {u"Types", u"large", REG_BINARY, large, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.name));
    RegistryTree tree;
    tree.localMachine.addSubkey(u"SOFTWARE").addSubkey(u"Halvorn").addSubkey(c.key).setValue(c.name, c.type, c.data);
    const std::string bytes = winsim::serializeRegistryFile(tree);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    auto back = winsim::parseRegistryFile(bytes);
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_TRUE(back.value() == tree);
    const auto* value = back->localMachine.subkey(u"SOFTWARE")->subkey(u"Halvorn")->subkey(c.key)->value(c.name);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->data, c.data);
    const std::u16string text = textOf(bytes);
    if (c.line) {
      EXPECT_NE(text.find(std::u16string(u"\r\n") + c.line + u"\r\n"), std::u16string::npos) << winsim::toUtf8(text);
    }
    // Every line stays in regedit's 80 columns, however long the data.
    for (std::size_t start = 0, end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2) {
      EXPECT_LE(end - start, 80u);
    }
  }
}

TEST(RegistryFile, WritesEveryKeyAsASectionSoEmptyKeysSurvive) {
  RegistryTree tree;
  tree.localMachine.addSubkey(u"SOFTWARE").addSubkey(u"Empty");
  tree.currentUser.setValue(u"root value", REG_DWORD, {1, 0, 0, 0});
  const std::u16string text = textOf(winsim::serializeRegistryFile(tree));
  EXPECT_EQ(text,
            u"Windows Registry Editor Version 5.00\r\n\r\n"
            u"[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
            u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty]\r\n\r\n"
            u"[HKEY_CURRENT_USER]\r\n\"root value\"=dword:00000001\r\n\r\n");
  auto back = winsim::parseRegistryFile(winsim::serializeRegistryFile(tree));
  ASSERT_TRUE(back.ok());
  EXPECT_TRUE(back.value() == tree);
}

TEST(RegistryFile, ReadsWhatRegeditWritesAndImports) {
  // UTF-8, LF line ends, comments, continued hex data, deletions and a
  // section of HKEY_CLASSES_ROOT, as people and regedit write .reg files.
  const RegistryTree tree = parsed(
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n"
      "\n"
      "; written by hand\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvorn]\n"
      "\"list\"=hex(7):6f,00,6e,00,65,00,00,00,\\\n"
      "  74,00,77,00,6f,00,00,00,00,00\n"
      "\"gone\"=\"soon\"\n"
      "\"gone\"=-\n"
      "\"caf\xC3\xA9\"=dword:1\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvorn\\Old]\n"
      "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvorn\\Old]\n"
      "[hkey_classes_root\\.dwg]\n"
      "@=\"Merrowin.Drawing\"\n");
  const RegistryKey* halvorn = tree.localMachine.subkey(u"software")->subkey(u"halvorn");
  ASSERT_NE(halvorn, nullptr);
  ASSERT_EQ(halvorn->values().size(), 2u);
  EXPECT_EQ(halvorn->values()[0].type, REG_MULTI_SZ);
  EXPECT_EQ(halvorn->values()[0].data, wide(std::u16string(u"one\0two\0", 8)));
  EXPECT_EQ(halvorn->values()[1].name, u"caf\u00e9");
  EXPECT_EQ(halvorn->values()[1].data, (std::vector<BYTE>{1, 0, 0, 0}));
  EXPECT_EQ(halvorn->subkey(u"Old"), nullptr);
  const RegistryKey* dwg = tree.localMachine.subkey(u"SOFTWARE")->subkey(u"Classes")->subkey(u".dwg");
  ASSERT_NE(dwg, nullptr);
  EXPECT_EQ(dwg->value(u"")->data, wide(u"Merrowin.Drawing"));
}

TEST(RegistryFile, DamagedFilesNameTheLine) {
  const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string deep = [] {
    std::string path = "[HKEY_CURRENT_USER";
    for (int i = 0; i < 600; ++i) path += "\\k";
    return path + "]\n";
  }();
  struct Case {
    std::string text;
    int line;
    const char* says;
  } const cases[] = {
      {"", 1, "does not start with"},
      {"REGEDIT4\n\n[HKEY_CURRENT_USER\\x]\n", 1, "does not start with"},
      {header + "\"v\"=\"before any key\"\n", 3, "outside a key"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=hex:zz\n", 4, "hex data"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=hex:1,,2\n", 4, "hex data"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v=\"x\"\n", 4, "expected ="},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=\"unterminated\n", 4, "closing quote"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=\"a\\qb\"\n", 4, "backslash"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=dword:123456789\n", 4, "dword"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=hex(zz):00\n", 4, "hex(TYPE)"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=string\n", 4, "unknown value data"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"v\"=hex:00,\\\n", 4, "past the end"},
      {header + "[HKEY_CURRENT_USER\\x]\n\"\"=\"x\"\n", 4, "written @"},
      {header + "[HKEY_USERS\\x]\n", 3, "unknown root"},
      {header + "[HKEY_CURRENT_USER\\a\\\\b]\n", 3, "invalid key name"},
      {header + "[HKEY_CURRENT_USER\\x\n", 3, "end with ]"},
      {header + "[HKEY_CURRENT_USER\\x]\njunk\n", 4, "expected a [KEY]"},
      {header + deep, 3, "too deep"},
      {std::string("\xFE\xFF\0W", 4), 0, "big-endian"},
      {std::string("\xFF\xFEW\0x", 5), 0, "odd number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 120));
    auto tree = winsim::parseRegistryFile(c.text);
    ASSERT_FALSE(tree.ok());
    EXPECT_EQ(tree.error().code, ERROR_REGISTRY_CORRUPT);
    EXPECT_NE(tree.error().message.find(c.says), std::string::npos) << tree.error().message;
    if (c.line) {
      EXPECT_EQ(tree.error().message.rfind("line " + std::to_string(c.line) + ":", 0), 0u) << tree.error().message;
    }
  }
}

TEST(RegistryFile, RefusesDataPastTheValueLimit) {
  std::string text = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\x]\n\"v\"=hex:";
  const std::size_t count = winsim::kMaxRegistryValueBytes + 1;
  text.reserve(text.size() + count * 3);
  for (std::size_t i = 0; i < count; ++i) text += i + 1 < count ? "00," : "00";
  auto tree = winsim::parseRegistryFile(text);
  ASSERT_FALSE(tree.ok());
  EXPECT_NE(tree.error().message.find("larger than"), std::string::npos) << tree.error().message;
}

}  // namespace

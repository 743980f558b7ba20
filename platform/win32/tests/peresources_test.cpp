#include "winsim/peresources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "IntallerRes.h"
#include "moduletesthelpers.h"
#include "testres.h"
#include "win32/errors.h"
#include "winsim/text.h"

using winsim::pe::ResourceImage;
using winsim::pe::ResourceKey;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The layout of the smallest resource DLL: one section .rsrc at file offset
// kRsrc holding one string table block (id 1 is "hello").
constexpr std::size_t kPe = 0x40;
constexpr std::size_t kCoff = kPe + 4;
constexpr std::size_t kOptional = kCoff + 20;
constexpr std::size_t kOptionalSize = 96 + 16 * 8;
constexpr std::size_t kSectionTable = kOptional + kOptionalSize;
constexpr std::size_t kRsrc = 0x200;
constexpr std::uint32_t kRsrcRva = 0x1000;
constexpr std::size_t kTypeEntry = kRsrc + 0x10;
constexpr std::size_t kNameDirectory = kRsrc + 0x18;
constexpr std::size_t kNameEntry = kRsrc + 0x28;
constexpr std::size_t kLanguageDirectory = kRsrc + 0x30;
constexpr std::size_t kLanguageEntry = kRsrc + 0x40;
constexpr std::size_t kDataEntry = kRsrc + 0x48;
constexpr std::size_t kStringData = 0x58;
constexpr std::uint32_t kStringSize = 2 + 2 + 10 + 14 * 2;

Bytes minimalResourceDll() {
  Bytes b(0x400, 0);
  b[0] = 'M';
  b[1] = 'Z';
  put32(b, 0x3C, kPe);
  put32(b, kPe, 0x00004550);
  put16(b, kCoff, 0x014C);
  put16(b, kCoff + 2, 1);
  put16(b, kCoff + 16, kOptionalSize);
  put16(b, kCoff + 18, 0x2102);
  put16(b, kOptional, 0x010B);
  put32(b, kOptional + 92, 16);
  put32(b, kOptional + 96 + 2 * 8, kRsrcRva);
  put32(b, kOptional + 96 + 2 * 8 + 4, kStringData + kStringSize);
  std::memcpy(&b[kSectionTable], ".rsrc", 5);
  put32(b, kSectionTable + 8, kStringData + kStringSize);
  put32(b, kSectionTable + 12, kRsrcRva);
  put32(b, kSectionTable + 16, 0x200);
  put32(b, kSectionTable + 20, kRsrc);
  // type 6 -> name 1 -> language 0x409 -> data
  put16(b, kRsrc + 14, 1);
  put32(b, kTypeEntry, 6);
  put32(b, kTypeEntry + 4, 0x80000000u | (kNameDirectory - kRsrc));
  put16(b, kNameDirectory + 14, 1);
  put32(b, kNameEntry, 1);
  put32(b, kNameEntry + 4, 0x80000000u | (kLanguageDirectory - kRsrc));
  put16(b, kLanguageDirectory + 14, 1);
  put32(b, kLanguageEntry, 0x409);
  put32(b, kLanguageEntry + 4, kDataEntry - kRsrc);
  put32(b, kDataEntry, kRsrcRva + kStringData);
  put32(b, kDataEntry + 4, kStringSize);
  put16(b, kRsrc + kStringData + 2, 5);
  const char16_t hello[] = u"hello";
  for (int i = 0; i < 5; ++i) put16(b, kRsrc + kStringData + 4 + 2 * i, hello[i]);
  return b;
}

std::u16string stringOf(const ResourceImage& image, WORD id) {
  const auto* block = image.find(ResourceKey::fromId(6), ResourceKey::fromId(winsim::pe::stringBlockId(id)));
  if (!block) return u"<no block>";
  const auto bytes = image.bytes(*block);
  auto slots = winsim::pe::decodeStringBlock(bytes);
  if (!slots) return u"<damaged>";
  const auto slot = slots.value()[winsim::pe::stringBlockIndex(id)];
  return winsim::pe::readUtf16(bytes, slot.offset, slot.length);
}

ResourceImage parseBuilt(const std::string& name) {
  auto image = ResourceImage::parse(moduletest::readFile(moduletest::built(name)));
  if (!image) ADD_FAILURE() << name << ": " << image.error().message;
  return std::move(image.value());
}

}  // namespace

TEST(PeResources, ReadsTheSmallestResourceDll) {
  auto image = ResourceImage::parse(minimalResourceDll());
  ASSERT_TRUE(image.ok()) << image.error().message;
  EXPECT_EQ(image->machine(), winsim::pe::MachineType::I386);
  EXPECT_TRUE(image->isDll());
  EXPECT_FALSE(image->hasEntryPoint());
  ASSERT_EQ(image->resources().size(), 1u);
  EXPECT_EQ(image->resources()[0].language, 0x409);
  EXPECT_EQ(image->resources()[0].offset, kRsrc + kStringData);
  EXPECT_EQ(stringOf(*image, 1), u"hello");
  EXPECT_EQ(stringOf(*image, 2), u"");
}

TEST(PeResources, RefusesDamagedFiles) {
  const struct {
    const char* what;
    const char* reason;  // what the reader's message names
    std::function<void(Bytes&)> damage;
  } kDamages[] = {
      {"truncated DOS header", "no DOS header", [](Bytes& b) { b.resize(0x30); }},
      {"no MZ", "no DOS header", [](Bytes& b) { b[0] = 'X'; }},
      {"e_lfanew past the end", "e_lfanew", [](Bytes& b) { put32(b, 0x3C, 0x10000); }},
      {"e_lfanew leaves no room for the file header", "e_lfanew", [](Bytes& b) { put32(b, 0x3C, 0x3F0); }},
      {"no PE signature", "no PE signature", [](Bytes& b) { b[kPe + 2] = 'X'; }},
      {"truncated inside the headers", "optional header past the end", [](Bytes& b) { b.resize(kOptional + 40); }},
      {"unknown machine", "neither i386 nor AMD64", [](Bytes& b) { put16(b, kCoff, 0x01C0); }},
      {"PE32+ magic on i386", "magic", [](Bytes& b) { put16(b, kOptional, 0x020B); }},
      {"AMD64 with PE32 magic", "magic", [](Bytes& b) { put16(b, kCoff, 0x8664); }},
      {"optional header past the end", "optional header past the end", [](Bytes& b) { put16(b, kCoff + 16, 0xFFFF); }},
      {"optional header too short", "optional header too short", [](Bytes& b) { put16(b, kCoff + 16, 64); }},
      {"data directories past the optional header", "data directories",
       [](Bytes& b) { put32(b, kOptional + 92, 0x1000); }},
      {"huge section count", "section table", [](Bytes& b) { put16(b, kCoff + 2, 0xFFFF); }},
      {"section data past the end", "section 0 data", [](Bytes& b) { put32(b, kSectionTable + 20, 0x300); }},
      {"file cut inside the section", "section 0 data", [](Bytes& b) { b.resize(0x300); }},
      {"resource directory outside every section", "resource directory RVA",
       [](Bytes& b) { put32(b, kOptional + 112, 0x5000); }},
      {"huge directory counts", "entries past the end",
       [](Bytes& b) {
         put16(b, kRsrc + 12, 0xFFFF);
         put16(b, kRsrc + 14, 0xFFFF);
       }},
      {"subdirectory out of bounds", "out of bounds", [](Bytes& b) { put32(b, kTypeEntry + 4, 0xFFFFFFF0u); }},
      {"name directory loops to the root", "reached twice", [](Bytes& b) { put32(b, kNameEntry + 4, 0x80000000u); }},
      {"type directory points to itself", "reached twice", [](Bytes& b) { put32(b, kTypeEntry + 4, 0x80000000u); }},
      {"data entry where a directory belongs", "where a directory belongs",
       [](Bytes& b) { put32(b, kTypeEntry + 4, kDataEntry - kRsrc); }},
      {"directory below the language level", "below the language level",
       [](Bytes& b) { put32(b, kLanguageEntry + 4, 0x80000000u); }},
      {"data entry out of bounds", "data entry at", [](Bytes& b) { put32(b, kLanguageEntry + 4, 0x7FFFFF00u); }},
      {"data RVA outside every section", "outside the file's sections", [](Bytes& b) { put32(b, kDataEntry, 0x9000); }},
      {"data size past the section", "outside the file's sections",
       [](Bytes& b) { put32(b, kDataEntry + 4, 0x10000); }},
      {"data size wraps around", "outside the file's sections",
       [](Bytes& b) { put32(b, kDataEntry + 4, 0xFFFFFFF0u); }},
      {"name string out of bounds", "resource name at 0x7000 out of bounds",
       [](Bytes& b) { put32(b, kNameEntry, 0x80007000u); }},
      {"name string runs past the section", "runs past the section",
       [](Bytes& b) {
         put32(b, kNameEntry, 0x80000000u | kStringData);
         put16(b, kRsrc + kStringData, 0xFFFF);
       }},
      {"id wider than 16 bits", "wider than 16 bits", [](Bytes& b) { put32(b, kNameEntry, 0x12345); }},
      {"language given by name", "language given by name",
       [](Bytes& b) { put32(b, kLanguageEntry, 0x80000000u | kStringData); }},
  };
  for (const auto& d : kDamages) {
    Bytes bytes = minimalResourceDll();
    d.damage(bytes);
    auto image = ResourceImage::parse(std::move(bytes));
    ASSERT_FALSE(image.ok()) << d.what;
    EXPECT_EQ(image.error().code, ERROR_BAD_EXE_FORMAT) << d.what;
    EXPECT_NE(image.error().message.find(d.reason), std::string::npos) << d.what << ": " << image.error().message;
  }
}

TEST(PeResources, FileWithoutResourceDirectoryHasNoResources) {
  Bytes bytes = minimalResourceDll();
  put32(bytes, kOptional + 112, 0);
  put32(bytes, kOptional + 116, 0);
  auto image = ResourceImage::parse(std::move(bytes));
  ASSERT_TRUE(image.ok()) << image.error().message;
  EXPECT_FALSE(image->hasResourceSection());
  EXPECT_TRUE(image->resources().empty());
}

TEST(PeResources, StringBlocksAreChecked) {
  const struct {
    const char* what;
    Bytes block;
    bool ok;
  } kBlocks[] = {
      {"sixteen empty strings", Bytes(32, 0), true},
      {"trailing padding", Bytes(40, 0), true},
      {"empty", Bytes(), false},
      {"fifteen entries", Bytes(30, 0), false},
      {"length past the end",
       [] {
         Bytes b(32, 0);
         b[0] = 2;
         return b;
       }(),
       false},
      {"huge length",
       [] {
         Bytes b(32, 0xFF);
         return b;
       }(),
       false},
  };
  for (const auto& c : kBlocks) {
    auto slots = winsim::pe::decodeStringBlock(c.block);
    EXPECT_EQ(slots.ok(), c.ok) << c.what;
    if (!slots.ok()) {
      EXPECT_EQ(slots.error().code, ERROR_INVALID_DATA) << c.what;
    }
  }
}

TEST(PeResources, KeysFromWin32Names) {
  const struct {
    const char16_t* name;
    bool valid;
    bool isId;
    WORD id;
  } kCases[] = {
      {u"#123", true, true, 123},       {u"#0", true, true, 0},           {u"#65535", true, true, 65535},
      {u"#65536", false, false, 0},     {u"#", false, false, 0},          {u"#12a", false, false, 0},
      {u"REQUIREMENT", true, false, 0}, {u"requirement", true, false, 0},
  };
  for (const auto& c : kCases) {
    const auto key = ResourceKey::fromWin32(c.name);
    ASSERT_EQ(key.has_value(), c.valid) << winsim::toUtf8(c.name);
    if (!key) continue;
    EXPECT_EQ(key->isId(), c.isId);
    if (c.isId) {
      EXPECT_EQ(key->id(), c.id);
    }
  }
  EXPECT_FALSE(ResourceKey::fromWin32(nullptr));
  EXPECT_EQ(ResourceKey::fromWin32(reinterpret_cast<const char16_t*>(std::uintptr_t{5}))->id(), 5);
  EXPECT_TRUE(ResourceKey::fromName(u"Requirement").matches(ResourceKey::fromName(u"REQUIREMENT")));
  EXPECT_FALSE(ResourceKey::fromName(u"5").matches(ResourceKey::fromId(5)));
}

TEST(PeResources, ReadsTheBuiltLibraries) {
  const ResourceImage texts = parseBuilt("IntallerRes.dll");
  EXPECT_EQ(texts.machine(), winsim::pe::MachineType::I386);
  EXPECT_TRUE(texts.isDll());
  EXPECT_FALSE(texts.hasEntryPoint());
  EXPECT_TRUE(texts.find(ResourceKey::fromId(5), ResourceKey::fromId(IDD_SAMPLE), 0x409));
  EXPECT_TRUE(texts.find(ResourceKey::fromId(2), ResourceKey::fromId(IDB_SAMPLE_PICTURE)));
  EXPECT_EQ(stringOf(texts, IDS_PRODUCT_NAME), u"DWG Merrowin");

  const ResourceImage express = parseBuilt("expressres.dll");
  EXPECT_EQ(express.machine(), winsim::pe::MachineType::Amd64);
  EXPECT_FALSE(express.hasEntryPoint());
  EXPECT_EQ(stringOf(express, 30202), u"Lock failed%d\n");

  const ResourceImage test = parseBuilt("testres.dll");
  const auto* named = test.find(ResourceKey::fromId(23), ResourceKey::fromName(u"Requirement"));
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(named->name.name(), u"REQUIREMENT");  // the resource compiler stores names upper-case
  EXPECT_TRUE(test.find(ResourceKey::fromName(u"TESTDATA"), ResourceKey::fromName(u"SAMPLE")));
  EXPECT_TRUE(test.find(ResourceKey::fromId(3), ResourceKey::fromId(1)));  // the icon's image
}

// An independent reader of PE files (pev's readpe and peres) agrees with ours
// on the libraries the build makes.
TEST(PeResources, AgreesWithPev) {
  if (std::system("command -v readpe >/dev/null 2>&1 && command -v peres >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "readpe / peres (package pev) not installed: cross-check skipped";
  winsim::testing::TempMachine m;
  const auto folder = m.folder() / "pev";
  std::filesystem::create_directories(folder);
  for (const char* name : {"IntallerRes.dll", "expressres.dll"}) {
    const auto dll = moduletest::built(name);
    const auto listing = folder / "directories.txt";
    ASSERT_EQ(std::system(("readpe -d '" + dll.string() + "' > '" + listing.string() + "' 2>/dev/null").c_str()), 0);
    const auto text = moduletest::readFile(listing);
    EXPECT_NE(std::string(text.begin(), text.end()).find("IMAGE_DIRECTORY_ENTRY_RESOURCE"), std::string::npos);

    std::filesystem::remove_all(folder / "resources");
    ASSERT_EQ(std::system(("cd '" + folder.string() + "' && peres -x '" + dll.string() + "' >/dev/null 2>&1").c_str()),
              0);
    const ResourceImage image = parseBuilt(name);
    int compared = 0;
    for (const auto& r : image.resources()) {
      if (!r.type.isId() || !r.name.isId()) continue;
      std::filesystem::path extracted;
      if (r.type.id() == 6) extracted = folder / "resources" / "strings" / (std::to_string(r.name.id()) + ".rc");
      if (r.type.id() == 5) extracted = folder / "resources" / "dialogs" / (std::to_string(r.name.id()) + ".dlg");
      if (extracted.empty()) continue;
      const auto ours = image.bytes(r);
      EXPECT_EQ(moduletest::readFile(extracted), Bytes(ours.begin(), ours.end())) << extracted;
      ++compared;
    }
    EXPECT_GT(compared, 0) << name;
  }
}

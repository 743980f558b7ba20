// The registry functions on a fresh machine: views, sizes, enumeration, names,
// deletion, access rights and the profile's access-denied keys.
#include "win32/registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "winsim/registryfile.h"

namespace {

using winsim::testing::TempMachine;

/// An open key, closed at the end of the scope.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (m_key) RegCloseKey(m_key);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &m_key; }
  HKEY get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

/// Runs a test as a program of the given bitness.
class BitnessScope {
 public:
  explicit BitnessScope(winsim::Bitness bitness) : m_old(winsim::programBitness()) {
    winsim::setProgramBitness(bitness);
  }
  ~BitnessScope() { winsim::setProgramBitness(m_old); }

 private:
  winsim::Bitness m_old;
};

LSTATUS create(HKEY root, const char16_t* path, Key& key, REGSAM sam = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
  return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, sam, nullptr, key.out(), disposition);
}

LSTATUS setString(HKEY key, const char16_t* name, std::u16string_view text) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                        static_cast<DWORD>((text.size() + 1) * 2));
}

LSTATUS setDword(HKEY key, const char16_t* name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool exists(HKEY root, const char16_t* path, REGSAM sam = KEY_WOW64_64KEY) {
  Key key;
  return RegOpenKeyExW(root, path, 0, KEY_READ | sam, key.out()) == ERROR_SUCCESS;
}

TEST(Registry, StringSizesAndMissingValues) {
  TempMachine machine;
  Key key;
  ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\DWG Merrowin", key), ERROR_SUCCESS);
  ASSERT_EQ(setString(key.get(), u"path", u"C:\\Program Files"), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExW(key.get(), u"path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, (16u + 1) * 2);

  char16_t small[4] = {};
  DWORD smallSize = sizeof small;
  EXPECT_EQ(RegQueryValueExW(key.get(), u"path", nullptr, &type, reinterpret_cast<BYTE*>(small), &smallSize),
            ERROR_MORE_DATA);
  EXPECT_EQ(smallSize, 34u);

  char16_t buffer[64] = {};
  DWORD bufferSize = sizeof buffer;
  ASSERT_EQ(RegQueryValueExW(key.get(), u"path", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bufferSize),
            ERROR_SUCCESS);
  EXPECT_EQ(bufferSize, 34u);
  EXPECT_EQ(std::u16string(buffer), u"C:\\Program Files");

  // Stored byte for byte: a string written without its NUL comes back so.
  const std::u16string bare = u"abc";
  ASSERT_EQ(RegSetValueExW(key.get(), u"bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare.data()), 6),
            ERROR_SUCCESS);
  ASSERT_EQ(RegQueryValueExW(key.get(), u"bare", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);

  // The default value: a null or empty name.
  ASSERT_EQ(setString(key.get(), nullptr, u"default"), ERROR_SUCCESS);
  ASSERT_EQ(RegQueryValueExW(key.get(), u"", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 16u);

  EXPECT_EQ(RegQueryValueExW(key.get(), u"missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  Key missing;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\Nothing", 0, KEY_READ, missing.out()),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.get(), nullptr);
}

TEST(Registry, DwordAndQwordData) {
  TempMachine machine;
  Key key;
  ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Halvorn", key), ERROR_SUCCESS);
  ASSERT_EQ(setDword(key.get(), u"NUM", 0x56), ERROR_SUCCESS);
  const ULONGLONG big = 0x0123456789ABCDEFULL;
  ASSERT_EQ(RegSetValueExW(key.get(), u"big", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&big), sizeof big),
            ERROR_SUCCESS);

  DWORD value = 0, size = sizeof value, type = 0;
  ASSERT_EQ(RegQueryValueExW(key.get(), u"NUM", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(value, 0x56u);
  ULONGLONG read = 0;
  size = sizeof read;
  ASSERT_EQ(RegQueryValueExW(key.get(), u"big", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_QWORD);
  EXPECT_EQ(read, big);
}

struct ViewCase {
  const char* processor;
  winsim::Bitness bitness;
  REGSAM view;
  const char16_t* stored;  // where HKLM\SOFTWARE\Halvorn\View lands
};

TEST(Registry, ViewsRedirectSoftwareOfThe32BitView) {
  using winsim::Bitness;
  const ViewCase cases[] = {
      {"x64", Bitness::Bits32, 0, u"SOFTWARE\\WOW6432Node\\Halvorn\\View"},
      {"x64", Bitness::Bits32, KEY_WOW64_32KEY, u"SOFTWARE\\WOW6432Node\\Halvorn\\View"},
      {"x64", Bitness::Bits32, KEY_WOW64_64KEY, u"SOFTWARE\\Halvorn\\View"},
      {"x64", Bitness::Bits64, 0, u"SOFTWARE\\Halvorn\\View"},
      {"x64", Bitness::Bits64, KEY_WOW64_32KEY, u"SOFTWARE\\WOW6432Node\\Halvorn\\View"},
      {"ia64", Bitness::Bits32, 0, u"SOFTWARE\\WOW6432Node\\Halvorn\\View"},
      {"x86", Bitness::Bits32, 0, u"SOFTWARE\\Halvorn\\View"},
      {"x86", Bitness::Bits32, KEY_WOW64_64KEY, u"SOFTWARE\\Halvorn\\View"},
      {"x86", Bitness::Bits32, KEY_WOW64_32KEY, u"SOFTWARE\\Halvorn\\View"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.processor) + (c.bitness == Bitness::Bits32 ? " 32-bit" : " 64-bit") + " view " +
                 std::to_string(c.view));
    TempMachine machine({{"system", "processor", c.processor}});
    {
      BitnessScope program(c.bitness);
      Key key;
      ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\View", key, KEY_ALL_ACCESS | c.view), ERROR_SUCCESS);
      ASSERT_EQ(setDword(key.get(), u"v", 1), ERROR_SUCCESS);
    }
    BitnessScope inspector(Bitness::Bits64);
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, c.stored));
    const bool redirected = std::u16string_view(c.stored).find(u"WOW6432Node") != std::u16string_view::npos;
    EXPECT_EQ(exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\View"), !redirected);
    // A 32-bit view exists only on a 64-bit machine.
    EXPECT_EQ(exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node"), std::string(c.processor) != "x86");
  }
}

TEST(Registry, CurrentUserAndSystemAreNotRedirected) {
  TempMachine machine;
  BitnessScope program(winsim::Bitness::Bits32);
  Key user, system;
  ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Halvorn", user), ERROR_SUCCESS);
  ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"SYSTEM\\Halvorn", system), ERROR_SUCCESS);
  EXPECT_TRUE(exists(HKEY_CURRENT_USER, u"Software\\Halvorn"));
  EXPECT_FALSE(exists(HKEY_CURRENT_USER, u"Software\\WOW6432Node"));
  EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, u"SYSTEM\\Halvorn"));
}

TEST(Registry, ClassesRootIsSoftwareClassesOfTheView) {
  TempMachine machine;
  {
    BitnessScope program(winsim::Bitness::Bits32);
    Key key;
    ASSERT_EQ(create(HKEY_CLASSES_ROOT, u".dwg", key), ERROR_SUCCESS);
    ASSERT_EQ(setString(HKEY_CLASSES_ROOT, u"", u"root default"), ERROR_SUCCESS);
  }
  EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node\\Classes\\.dwg"));
  EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, u".dwg"));
  EXPECT_TRUE(exists(HKEY_CLASSES_ROOT, u".dwg", KEY_WOW64_32KEY));

  Key classes;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node\\Classes", 0, KEY_READ, classes.out()),
            ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(classes.get(), nullptr, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 26u);
}

TEST(Registry, AHandleDoesNotRememberItsView) {
  // As on Windows: a 32-bit program that opened SOFTWARE in the 64-bit view
  // must pass the flag again for the keys below it.
  TempMachine machine;
  BitnessScope program(winsim::Bitness::Bits32);
  Key software;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, software.out()),
            ERROR_SUCCESS);
  Key redirected, native;
  ASSERT_EQ(create(software.get(), u"Redirected", redirected), ERROR_SUCCESS);
  ASSERT_EQ(create(software.get(), u"Native", native, KEY_ALL_ACCESS | KEY_WOW64_64KEY), ERROR_SUCCESS);
  EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node\\Redirected"));
  EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Native"));

  Key both;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_READ | KEY_WOW64_32KEY | KEY_WOW64_64KEY, both.out()),
            ERROR_INVALID_PARAMETER);
}

TEST(Registry, EnumeratesSubkeysByNameAndValuesInWriteOrder) {
  TempMachine machine;
  Key key;
  ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Enum", key), ERROR_SUCCESS);
  for (const char16_t* name : {u"gamma", u"Alpha", u"beta"}) {
    Key sub;
    ASSERT_EQ(create(key.get(), name, sub), ERROR_SUCCESS);
  }
  std::vector<std::u16string> names;
  char16_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    const LSTATUS status = RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(length, std::u16string(name).size());
    names.emplace_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));

  // "Alpha" needs 6 characters with its NUL; 5 is too few, and the count is left alone.
  DWORD length = 5;
  EXPECT_EQ(RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(length, 5u);
  length = 6;
  EXPECT_EQ(RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(length, 5u);

  ASSERT_EQ(setString(key.get(), u"zeta", u"last letter"), ERROR_SUCCESS);
  ASSERT_EQ(setDword(key.get(), u"alpha", 7), ERROR_SUCCESS);
  ASSERT_EQ(setString(key.get(), u"mu", u"m"), ERROR_SUCCESS);
  ASSERT_EQ(setString(key.get(), u"zeta", u"rewritten keeps its place"), ERROR_SUCCESS);
  names.clear();
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 256, type = 0, size = 0;
    const LSTATUS status = RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, nullptr, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(status, ERROR_SUCCESS);
    names.emplace_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"zeta", u"alpha", u"mu"}));

  DWORD nameLength = 4, type = 0;
  EXPECT_EQ(RegEnumValueW(key.get(), 0, name, &nameLength, nullptr, &type, nullptr, nullptr), ERROR_MORE_DATA);
  BYTE data[8];
  DWORD size = sizeof data;
  nameLength = 256;
  EXPECT_EQ(RegEnumValueW(key.get(), 0, name, &nameLength, nullptr, &type, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, (25u + 1) * 2);
  EXPECT_EQ(std::u16string(name), u"zeta");

  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, largestData = 0;
  ASSERT_EQ(RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                             &longestName, &largestData, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 3u);
  EXPECT_EQ(longestSubkey, 5u);
  EXPECT_EQ(values, 3u);
  EXPECT_EQ(longestName, 5u);
  EXPECT_EQ(largestData, 52u);
}

TEST(Registry, NamesIgnoreCaseAndKeepTheirSpelling) {
  TempMachine machine;
  Key key;
  DWORD disposition = 0;
  ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"Software\\Halvorn\\MixedCase", key, KEY_ALL_ACCESS, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, DWORD{REG_CREATED_NEW_KEY});
  Key again;
  ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\HALVORN\\mixedcase", again, KEY_ALL_ACCESS, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, DWORD{REG_OPENED_EXISTING_KEY});

  ASSERT_EQ(setString(key.get(), u"Name", u"first"), ERROR_SUCCESS);
  ASSERT_EQ(setString(again.get(), u"NAME", u"second"), ERROR_SUCCESS);
  char16_t name[32];
  DWORD length = 32;
  ASSERT_EQ(RegEnumValueW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name), u"Name");
  length = 32;
  EXPECT_EQ(RegEnumValueW(key.get(), 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  char16_t text[16];
  DWORD size = sizeof text;
  ASSERT_EQ(RegQueryValueExW(key.get(), u"name", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(text), u"second");

  Key halvorn;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\halvorn", 0, KEY_READ, halvorn.out()), ERROR_SUCCESS);
  length = 32;
  ASSERT_EQ(RegEnumKeyExW(halvorn.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(name), u"MixedCase");
}

TEST(Registry, SubKeyPathRules) {
  TempMachine machine;
  struct Case {
    const char16_t* path;
    LSTATUS expected;
  } const cases[] = {
      {u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\", ERROR_SUCCESS},  // one trailing backslash is fine
      {u"\\SOFTWARE\\Halvorn", ERROR_BAD_PATHNAME},
      {u"SOFTWARE\\\\Halvorn", ERROR_BAD_PATHNAME},
      {u"SOFTWARE\\Halvorn\\\\", ERROR_BAD_PATHNAME},
      {u"SOFTWARE\\Bad\nName", ERROR_INVALID_PARAMETER},
      {u"Halvorn", ERROR_ACCESS_DENIED},  // HKEY_LOCAL_MACHINE takes no new keys
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.path));
    Key key;
    EXPECT_EQ(create(HKEY_LOCAL_MACHINE, c.path, key), c.expected);
  }
  const std::u16string longName = u"SOFTWARE\\" + std::u16string(256, u'x');
  Key key;
  EXPECT_EQ(create(HKEY_LOCAL_MACHINE, longName.c_str(), key), ERROR_INVALID_PARAMETER);
  const std::u16string longest = u"SOFTWARE\\" + std::u16string(255, u'x');
  Key ok;
  EXPECT_EQ(create(HKEY_LOCAL_MACHINE, longest.c_str(), ok), ERROR_SUCCESS);
  EXPECT_EQ(setString(HKEY_LOCAL_MACHINE, u"value", u"on the root"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup"));
}

TEST(Registry, DeletesOnlyKeysWithoutSubkeys) {
  TempMachine machine;
  Key leaf;
  ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Halvorn\\Parent\\Leaf", leaf), ERROR_SUCCESS);
  ASSERT_EQ(setString(leaf.get(), u"v", u"x"), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Halvorn\\Parent"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Halvorn\\Parent\\Leaf"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Halvorn\\Parent\\Leaf"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Halvorn\\Parent"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes"), ERROR_ACCESS_DENIED);

  // The open handle names a key that no longer exists.
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(leaf.get(), u"v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(setString(leaf.get(), u"v", u"y"), ERROR_KEY_DELETED);
  Key below;
  EXPECT_EQ(create(leaf.get(), u"Below", below), ERROR_KEY_DELETED);

  Key key;
  ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Halvorn", key), ERROR_SUCCESS);
  ASSERT_EQ(setDword(key.get(), u"gone", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key.get(), u"GONE"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key.get(), u"gone"), ERROR_FILE_NOT_FOUND);
}

TEST(Registry, AccessRightsOfAHandle) {
  TempMachine machine;
  Key writer;
  ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn", writer, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
  ASSERT_EQ(setDword(writer.get(), u"v", 1), ERROR_SUCCESS);

  Key reader;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn", 0, KEY_READ, reader.out()), ERROR_SUCCESS);
  EXPECT_EQ(setDword(reader.get(), u"v", 2), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueW(reader.get(), u"v"), ERROR_ACCESS_DENIED);
  Key sub;
  EXPECT_EQ(create(reader.get(), u"New", sub), ERROR_ACCESS_DENIED);

  Key writeOnly;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn", 0, KEY_WRITE, writeOnly.out()), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(writeOnly.get(), u"v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
  char16_t name[16];
  DWORD length = 16;
  EXPECT_EQ(RegEnumKeyExW(writeOnly.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
}

TEST(Registry, ProfileDeniesWriteAccessToKeys) {
  TempMachine machine;
  Key existing;
  ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node\\Denied\\Old", existing), ERROR_SUCCESS);
  ASSERT_EQ(setDword(existing.get(), u"v", 1), ERROR_SUCCESS);
  ASSERT_TRUE(machine.machine().setProfileValue(u"registry", u"deny",
                                                u"HKLM\\SOFTWARE\\WOW6432Node\\denied; HKCU\\Software\\Locked"));

  BitnessScope program(winsim::Bitness::Bits32);
  Key key;
  EXPECT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Denied\\New", key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Denied\\Old", key, KEY_READ | KEY_WRITE), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Denied\\Old", 0, KEY_ALL_ACCESS, key.out()),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Denied\\Old"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(create(HKEY_CURRENT_USER, u"Software\\Locked", key), ERROR_ACCESS_DENIED);

  // Reading still works, and the 64-bit view and neighbours are not denied.
  Key reader;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Denied\\Old", 0, KEY_READ, reader.out()), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(reader.get(), u"v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  Key native, neighbour;
  EXPECT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Denied", native, KEY_ALL_ACCESS | KEY_WOW64_64KEY), ERROR_SUCCESS);
  EXPECT_EQ(create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\DeniedNot", neighbour), ERROR_SUCCESS);
}

TEST(Registry, BadHandlesAndLastError) {
  TempMachine machine;
  SetLastError(77);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(reinterpret_cast<HKEY>(0x1234), u"v", nullptr, nullptr, nullptr, &size),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetLastError(), 77u);  // registry functions return their error, they do not set it

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(key, u"v", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST(Registry, ThreadsOfOneProcessShareTheRegistry) {
  TempMachine machine;
  constexpr DWORD kCount = 20;
  auto writer = [](const char16_t* prefix) {
    Key key;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Threads", key), ERROR_SUCCESS);
    for (DWORD i = 0; i < kCount; ++i) {
      const std::u16string name = prefix + winsim::fromUtf8(std::to_string(i));
      ASSERT_EQ(setDword(key.get(), name.c_str(), i), ERROR_SUCCESS);
    }
  };
  std::thread a(writer, u"a"), b(writer, u"b");
  a.join();
  b.join();
  Key key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Threads", 0, KEY_READ, key.out()), ERROR_SUCCESS);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 2 * kCount);
}

TEST(Registry, PersistsToTheMachineFileAndSeesOutsideChanges) {
  TempMachine machine;
  Key key;
  ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Halvorn\\Empty", key), ERROR_SUCCESS);
  auto tree = winsim::readRegistryFile(machine.machine().stateFile("registry.reg"));
  ASSERT_TRUE(tree.ok()) << tree.error().message;
  ASSERT_NE(tree->currentUser.subkey(u"Software"), nullptr);
  EXPECT_NE(tree->currentUser.subkey(u"Software")->subkey(u"Halvorn")->subkey(u"Empty"), nullptr);

  // Another writer (here: a person with an editor) replaces the file.
  {
    std::ofstream out(machine.machine().stateFile("registry.reg"), std::ios::binary | std::ios::trunc);
    out << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Halvorn\\Edited]\n\"by\"=\"hand\"\n";
  }
  EXPECT_TRUE(exists(HKEY_CURRENT_USER, u"Software\\Halvorn\\Edited"));
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(key.get(), u"v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
}

TEST(Registry, ADamagedFileFailsEveryCallAndIsKeptAsItIs) {
  TempMachine machine;
  const auto path = machine.machine().stateFile("registry.reg");
  const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\"v\"=hex:zz\n";
  {
    std::ofstream out(path, std::ios::binary);
    out << damaged;
  }
  Key key;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, key.out()), ERROR_REGISTRY_CORRUPT);
  EXPECT_EQ(create(HKEY_CURRENT_USER, u"Software\\New", key), ERROR_REGISTRY_CORRUPT);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
  auto tree = winsim::readRegistryFile(path);
  ASSERT_FALSE(tree.ok());
  EXPECT_NE(tree.error().message.find("line 4"), std::string::npos) << tree.error().message;
}

}  // namespace

#include "win32/module.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "moduletesthelpers.h"
#include "testres.h"
#include "win32/errors.h"
#include "winsim/builtinmodules.h"

using moduletest::install;
using moduletest::ProgramBitness;
using moduletest::ProgramImage;
using winsim::testing::TempMachine;

namespace {

std::u16string fileNameOf(HMODULE module) {
  WCHAR name[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
  return std::u16string(name, length);
}

std::u16string stringOf(HMODULE module, UINT id) {
  WCHAR text[64] = {};
  const int length = LoadStringW(module, id, text, 64);
  return std::u16string(text, static_cast<std::size_t>(length));
}

}  // namespace

TEST(ModuleLoader, BareNameFollowsTheSearchOrder) {
  const auto workingFolder = std::filesystem::current_path();
  TempMachine m;
  ProgramImage image("C:\\Setup\\Setup.exe");
  // Each folder of the search order holds a different library under one name;
  // testres.dll answers string 0 with "zero", expressres.dll has none.
  install(m, "testres.dll", u"C:\\Setup\\Texts.dll");
  install(m, "expressres.dll", u"C:\\Windows\\System32\\Texts.dll");
  install(m, "expressres.dll", u"C:\\Windows\\Texts.dll");
  install(m, "expressres.dll", u"C:\\Work\\Texts.dll");
  ASSERT_TRUE(m.machine().setCurrentFolder(u"C:\\Work").ok());

  const struct {
    const char16_t* remove;  // the folder's copy taken away before the load
    const char16_t* expectedPath;
  } kSteps[] = {
      {nullptr, u"C:\\Setup\\Texts.dll"},
      {u"C:\\Setup\\Texts.dll", u"C:\\Windows\\System32\\Texts.dll"},
      {u"C:\\Windows\\System32\\Texts.dll", u"C:\\Windows\\Texts.dll"},
      {u"C:\\Windows\\Texts.dll", u"C:\\Work\\Texts.dll"},
  };
  for (const auto& step : kSteps) {
    if (step.remove) std::filesystem::remove(m.host(step.remove));
    HMODULE module = LoadLibraryW(u"texts");  // no extension: ".dll" is added
    ASSERT_NE(module, nullptr) << winsim::toUtf8(step.expectedPath);
    EXPECT_TRUE(winsim::equalsNoCase(fileNameOf(module), step.expectedPath)) << winsim::toUtf8(fileNameOf(module));
    EXPECT_TRUE(FreeLibrary(module));
  }
  std::filesystem::remove(m.host(u"C:\\Work\\Texts.dll"));
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(u"Texts.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  std::filesystem::current_path(workingFolder);
}

TEST(ModuleLoader, LoadingTwiceCountsReferences) {
  TempMachine m;
  install(m, "testres.dll", u"C:\\Lib\\testres.dll");
  HMODULE first = LoadLibraryW(u"C:\\Lib\\testres.dll");
  HMODULE second = LoadLibraryExW(u"c:\\LIB\\TestRes.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(GetModuleHandleW(u"TESTRES.dll"), first);
  EXPECT_EQ(GetModuleHandleW(u"C:\\lib\\testres.dll"), first);
  // A loaded module is found by its bare name before the search order.
  EXPECT_EQ(LoadLibraryW(u"testres.dll"), first);

  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(stringOf(first, IDS_TEST_ZERO), u"zero");
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleW(u"testres.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_EQ(stringOf(first, IDS_TEST_ZERO), u"");

  // Loaded again, it is a new module with a new handle.
  HMODULE again = LoadLibraryW(u"C:\\Lib\\testres.dll");
  EXPECT_NE(again, nullptr);
  EXPECT_NE(again, first);
  EXPECT_TRUE(FreeLibrary(again));
}

TEST(ModuleLoader, RefusesWhatIsNoModule) {
  TempMachine m;
  moduletest::writeFile(m, u"C:\\Lib\\text.dll", {'h', 'e', 'l', 'l', 'o'});
  moduletest::writeFile(m, u"C:\\Lib\\damaged.dll", {'M', 'Z', 0, 0});
  install(m, "testmodule.krx", u"C:\\Lib\\testmodule.krx");
  const struct {
    const char16_t* path;
    DWORD flags;
    DWORD error;
  } kCases[] = {
      {u"C:\\Lib\\missing.dll", 0, ERROR_MOD_NOT_FOUND},
      {u"C:\\Missing\\x.dll", 0, ERROR_MOD_NOT_FOUND},
      {u"C:\\Lib", 0, ERROR_MOD_NOT_FOUND},
      {u"C:\\Lib\\text.dll", 0, ERROR_BAD_EXE_FORMAT},
      {u"C:\\Lib\\damaged.dll", 0, ERROR_BAD_EXE_FORMAT},
      {u"C:\\Lib\\damaged.dll", LOAD_LIBRARY_AS_DATAFILE, ERROR_BAD_EXE_FORMAT},
      // A shared object has no resources to read as data.
      {u"C:\\Lib\\testmodule.krx", LOAD_LIBRARY_AS_DATAFILE, ERROR_BAD_EXE_FORMAT},
      {u"C:\\Lib\\text.dll", 0x100, ERROR_INVALID_PARAMETER},
      {u"", 0, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : kCases) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryExW(c.path, nullptr, c.flags), nullptr) << winsim::toUtf8(c.path);
    EXPECT_EQ(GetLastError(), c.error) << winsim::toUtf8(c.path);
  }
  EXPECT_EQ(GetModuleHandleW(u"testmodule.krx"), nullptr);
}

TEST(ModuleLoader, PeFileOfTheOtherBitnessLoadsOnlyAsData) {
  TempMachine m;
  install(m, "IntallerRes.dll", u"C:\\Setup\\IntallerRes.dll");  // i386
  install(m, "expressres.dll", u"C:\\Host\\expressres.dll");     // AMD64
  {
    ProgramBitness bits(winsim::Bitness::Bits32);
    HMODULE texts = LoadLibraryW(u"C:\\Setup\\IntallerRes.dll");
    EXPECT_NE(texts, nullptr);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(u"C:\\Host\\expressres.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    HMODULE data = LoadLibraryExW(u"C:\\Host\\expressres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(data, nullptr);
    // Loaded as data, it still is no module a plain load may use.
    EXPECT_EQ(LoadLibraryW(u"C:\\Host\\expressres.dll"), nullptr);
    EXPECT_TRUE(FreeLibrary(data));
    EXPECT_TRUE(FreeLibrary(texts));
  }
  ProgramBitness bits(winsim::Bitness::Bits64);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(u"C:\\Setup\\IntallerRes.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
  HMODULE express = LoadLibraryW(u"C:\\Host\\expressres.dll");
  EXPECT_NE(express, nullptr);
  EXPECT_TRUE(FreeLibrary(express));
}

TEST(ModuleFileName, FollowsTheWindowsBufferRules) {
  TempMachine m;
  install(m, "testres.dll", u"C:\\Lib\\testres.dll");
  HMODULE module = LoadLibraryW(u"C:\\Lib\\testres.dll");
  ASSERT_NE(module, nullptr);
  const std::u16string path = u"C:\\Lib\\testres.dll";
  const DWORD length = static_cast<DWORD>(path.size());

  WCHAR buffer[64];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameW(module, buffer, length + 1), length);
  EXPECT_EQ(std::u16string(buffer), path);
  EXPECT_EQ(GetLastError(), 0u);

  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(GetModuleFileNameW(module, buffer, length), length);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer), path.substr(0, length - 1));
  EXPECT_EQ(buffer[length], u'#');

  EXPECT_EQ(GetModuleFileNameW(module, buffer, 0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleFileNameW(module, buffer, 64), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(ModuleFileName, ProgramIsItsWindowsImage) {
  TempMachine m;
  EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
  {
    ProgramImage image("C:\\Package\\Setup.exe");
    EXPECT_EQ(fileNameOf(nullptr), u"C:\\Package\\Setup.exe");
    EXPECT_EQ(fileNameOf(GetModuleHandleW(nullptr)), u"C:\\Package\\Setup.exe");
    EXPECT_EQ(GetModuleHandleW(u"setup.EXE"), GetModuleHandleW(nullptr));
    EXPECT_EQ(GetModuleHandleW(u"C:\\PACKAGE\\Setup.exe"), GetModuleHandleW(nullptr));
  }
  // Without an image path, the test program itself, which lies outside the
  // machine: its host path.
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  EXPECT_EQ(fileNameOf(nullptr), winsim::fromUtf8(self.string()));
  // The program's module serves no strings.
  EXPECT_EQ(stringOf(nullptr, IDS_TEST_ZERO), u"");
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(GetModuleHandleW(nullptr)));
}

TEST(ModuleLoader, BareNameWithoutImagePathSearchesTheProgramsHostFolder) {
  // The tests lie beside the built libraries, as the setup program lies
  // beside IntallerRes.dll.
  TempMachine m;
  HMODULE module = LoadLibraryW(u"testres.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(fileNameOf(module), winsim::fromUtf8(moduletest::built("testres.dll").string()));
  EXPECT_EQ(stringOf(module, IDS_TEST_ZERO), u"zero");
  EXPECT_TRUE(FreeLibrary(module));
}

namespace {
std::vector<std::u16string> g_detached;
void observeDetach(HINSTANCE, const char16_t* name) { g_detached.push_back(name); }
}  // namespace

TEST(SharedModule, LoadsFindsItsExportsAndAttachesAndDetaches) {
  TempMachine m;
  install(m, "testmodule.krx", u"C:\\Tools\\testmodule.krx");
  HMODULE module = LoadLibraryW(u"C:\\Tools\\testmodule.krx");
  ASSERT_NE(module, nullptr) << GetLastError();

  auto add = reinterpret_cast<int (*)(int, int)>(GetProcAddress(module, "winsimTestAdd"));
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add(2, 40), 42);
  // DllMain saw the module's own handle and could ask for its name.
  auto instance = reinterpret_cast<HINSTANCE (*)()>(GetProcAddress(module, "winsimTestInstance"));
  auto attachedName = reinterpret_cast<const char16_t* (*)()>(GetProcAddress(module, "winsimTestAttachedName"));
  ASSERT_NE(instance, nullptr);
  ASSERT_NE(attachedName, nullptr);
  EXPECT_EQ(instance(), module);
  EXPECT_EQ(std::u16string(attachedName()), u"C:\\Tools\\testmodule.krx");
  EXPECT_EQ(GetModuleHandleW(u"testmodule.krx"), module);

  SetLastError(0);
  EXPECT_EQ(GetProcAddress(module, "winsimTestMissing"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);  // ordinals: none
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  // A shared object has no resource section.
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1), RT_STRING), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);

  auto observe = reinterpret_cast<void (*)(void (*)(HINSTANCE, const char16_t*))>(
      GetProcAddress(module, "winsimTestObserveDetach"));
  ASSERT_NE(observe, nullptr);
  observe(&observeDetach);
  g_detached.clear();
  EXPECT_EQ(LoadLibraryW(u"C:\\tools\\TESTMODULE.krx"), module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_TRUE(g_detached.empty());
  EXPECT_TRUE(FreeLibrary(module));
  ASSERT_EQ(g_detached.size(), 1u);
  EXPECT_EQ(g_detached[0], u"C:\\Tools\\testmodule.krx");
  EXPECT_EQ(GetModuleHandleW(u"testmodule.krx"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "winsimTestAdd"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(SharedModule, ExportsAreTheModulesOwnNotThoseOfWhatItLinks) {
  TempMachine m;
  install(m, "testmodule.krx", u"C:\\Tools\\testmodule.krx");
  install(m, "testmodule2.krx", u"C:\\Tools\\testmodule2.krx");
  HMODULE second = LoadLibraryW(u"C:\\Tools\\testmodule2.krx");
  ASSERT_NE(second, nullptr) << GetLastError();
  auto twice = reinterpret_cast<int (*)(int)>(GetProcAddress(second, "winsimTestTwice"));
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice(21), 42);
  EXPECT_EQ(GetProcAddress(second, "winsimTestAdd"), nullptr);
  EXPECT_EQ(GetProcAddress(second, "DllMain"), nullptr);
  EXPECT_TRUE(FreeLibrary(second));
}

TEST(SharedModule, MissingDependencyAndRefusedAttachFail) {
  TempMachine m;
  install(m, "testmodule2.krx", u"C:\\Alone\\testmodule2.krx");
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(u"C:\\Alone\\testmodule2.krx"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  install(m, "testmodule.krx", u"C:\\Tools\\testmodule.krx");
  ::setenv("WINSIM_TESTMODULE_REFUSE", "1", 1);
  ::unsetenv("WINSIM_TESTMODULE_DETACHED");
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(u"C:\\Tools\\testmodule.krx"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_DLL_INIT_FAILED);
  EXPECT_NE(std::getenv("WINSIM_TESTMODULE_DETACHED"), nullptr);  // a refused attach is detached
  ::unsetenv("WINSIM_TESTMODULE_REFUSE");
  ::unsetenv("WINSIM_TESTMODULE_DETACHED");
  EXPECT_EQ(GetModuleHandleW(u"testmodule.krx"), nullptr);
  HMODULE module = LoadLibraryW(u"C:\\Tools\\testmodule.krx");
  EXPECT_NE(module, nullptr);
  EXPECT_TRUE(FreeLibrary(module));
}

namespace {
int builtinAnswer() { return 42; }
}  // namespace

TEST(BuiltinModule, RegisteredExportsAreFoundByName) {
  TempMachine m;
  HMODULE msi = LoadLibraryW(u"msi.dll");
  ASSERT_NE(msi, nullptr);
  EXPECT_EQ(fileNameOf(msi), u"C:\\Windows\\System32\\msi.dll");
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(msi, "MsiInstallProductA"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

  winsim::registerBuiltinModule(u"winsimtest.dll", {{"answer", reinterpret_cast<FARPROC>(&builtinAnswer)}});
  EXPECT_TRUE(winsim::isBuiltinModule(u"WinsimTest.DLL"));
  HMODULE test = LoadLibraryW(u"WINSIMTEST");
  ASSERT_NE(test, nullptr);
  EXPECT_NE(test, msi);
  FARPROC answer = GetProcAddress(test, "answer");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(reinterpret_cast<int (*)()>(answer)(), 42);
  EXPECT_EQ(GetProcAddress(test, "Answer"), nullptr);  // export names keep their case
  // By its bare name a built-in module is found before a file of that name;
  // the file is still there for a load by path.
  install(m, "testres.dll", u"C:\\Windows\\System32\\winsimtest.dll");
  EXPECT_EQ(LoadLibraryW(u"winsimtest.dll"), test);
  HMODULE file = LoadLibraryW(u"C:\\Windows\\System32\\winsimtest.dll");
  ASSERT_NE(file, nullptr);
  EXPECT_NE(file, test);
  EXPECT_EQ(stringOf(file, IDS_TEST_ZERO), u"zero");
  EXPECT_TRUE(FreeLibrary(file));
  EXPECT_TRUE(FreeLibrary(test));
  EXPECT_TRUE(FreeLibrary(test));
  EXPECT_TRUE(FreeLibrary(msi));
}

TEST(ModuleLoader, ThreadsLoadingAndFreeingShareOneModule) {
  TempMachine m;
  install(m, "testres.dll", u"C:\\Lib\\testres.dll");
  HMODULE kept = LoadLibraryW(u"C:\\Lib\\testres.dll");
  ASSERT_NE(kept, nullptr);
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        HMODULE module = LoadLibraryW(u"testres.dll");
        if (module != kept || stringOf(module, IDS_TEST_ZERO) != u"zero") ++mismatches;
        FreeLibrary(module);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_TRUE(FreeLibrary(kept));
  EXPECT_EQ(GetModuleHandleW(u"testres.dll"), nullptr);
}

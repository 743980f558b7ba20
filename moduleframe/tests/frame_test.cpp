// The module frame's protocol, on modules built with it and loaded by the
// Windows loader of the machine, as the host loads them.
#include <gtest/gtest.h>

#include <filesystem>

#include "RxModule.h"
#include "kxui.h"
#include "testing/tempmachine.h"
#include "win32/module.h"

namespace {

namespace fs = std::filesystem;

using CreateFunction = OdRxModule* (*)(HINSTANCE*);
using VersionFunction = int (*)(OdInt32*, OdInt32*, OdInt32*, OdInt32*);
using DispatchFunction = int (*)(int, void*);
using DllMainFunction = BOOL (*)(HINSTANCE, DWORD, LPVOID);

template <class Function>
Function exported(HMODULE module, const char* name) {
  auto address = reinterpret_cast<Function>(GetProcAddress(module, name));
  EXPECT_NE(address, nullptr) << name;
  return address;
}

/// A test module copied into a fresh machine and loaded from there.
class FrameTest : public ::testing::Test {
 protected:
  HMODULE load(const char* name) {
    const fs::path target = m_machine.host(u"C:\\Modules");
    fs::create_directories(target);
    fs::copy_file(fs::path(KX_TEST_MODULES) / (std::string(name) + ".krx"), target / (std::string(name) + ".krx"),
                  fs::copy_options::overwrite_existing);
    m_path = u"C:\\Modules\\" + std::u16string(name, name + std::char_traits<char>::length(name)) + u".krx";
    m_module = LoadLibraryW(m_path.c_str());
    EXPECT_NE(m_module, nullptr);
    return m_module;
  }
  void TearDown() override {
    if (m_module) FreeLibrary(m_module);
  }

  OdRxModule* create(HINSTANCE* instance) {
    return exported<CreateFunction>(m_module, "odrxCreateModuleObject")(instance);
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_module = nullptr;
  std::u16string m_path;
};

TEST_F(FrameTest, ReportsApiVersion35) {
  HMODULE module = load("frametest_kxrx");
  OdInt32 version[4] = {-1, -1, -1, -1};
  EXPECT_EQ(exported<VersionFunction>(module, "odrxGetAPIVersion")(&version[0], &version[1], &version[2], &version[3]),
            0);
  EXPECT_EQ(version[0], 3);
  EXPECT_EQ(version[1], 5);
  EXPECT_EQ(version[2], 0);
  EXPECT_EQ(version[3], 0);
}

TEST_F(FrameTest, AttachKeepsInstanceAndInitialisesExtensionModuleOnce) {
  HMODULE module = load("frametest_kxrx");
  EXPECT_EQ(exported<HINSTANCE (*)()>(module, "frameTestInstance")(), module);
  auto initialised = exported<BOOL (*)()>(module, "frameTestExtensionInitialised");
  auto extensionModule = exported<HMODULE (*)()>(module, "frameTestExtensionModule");
  EXPECT_TRUE(initialised());
  EXPECT_EQ(extensionModule(), module);
  // InitKxUiDLL ran: the host's resources (beside this program) are ready.
  EXPECT_NE(kxuiResourceHandle(), nullptr);

  auto dllMain = exported<DllMainFunction>(module, "DllMain");
  EXPECT_TRUE(dllMain(module, DLL_PROCESS_ATTACH, nullptr));  // a second attach initialises nothing again
  EXPECT_TRUE(initialised());
  EXPECT_EQ(extensionModule(), module);
  EXPECT_TRUE(dllMain(module, DLL_PROCESS_DETACH, nullptr));
  EXPECT_FALSE(initialised());
  EXPECT_TRUE(dllMain(module, DLL_PROCESS_DETACH, nullptr));  // nothing left to end
  EXPECT_FALSE(initialised());
  EXPECT_TRUE(dllMain(module, DLL_PROCESS_ATTACH, nullptr));
  EXPECT_TRUE(initialised());
}

TEST_F(FrameTest, SecondCreateReturnsTheSameObjectAndLeavesTheVariable) {
  HMODULE module = load("frametest_kxrx");
  HINSTANCE instance = module;
  OdRxModule* first = create(&instance);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(instance, nullptr);
  EXPECT_EQ(first->sysData(), module);
  EXPECT_EQ(exported<OdRxModule* (*)()>(module, "frameTestModuleObject")(), first);

  HINSTANCE other = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x1234});
  EXPECT_EQ(create(&other), first);
  EXPECT_EQ(other, reinterpret_cast<HINSTANCE>(std::uintptr_t{0x1234}));
  EXPECT_EQ(first->sysData(), module);
  first->deleteModule();
}

TEST_F(FrameTest, ReleasingToZeroKeepsTheObjectDeletingMakesANewOne) {
  HMODULE module = load("frametest_kxrx");
  auto current = exported<OdRxModule* (*)()>(module, "frameTestModuleObject");
  HINSTANCE instance = module;
  OdRxModule* object = create(&instance);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->numRefs(), 0);
  EXPECT_TRUE(object->isReferenced());
  object->addRef();
  object->addRef();
  EXPECT_EQ(object->numRefs(), 2);
  object->release();
  object->release();
  EXPECT_EQ(object->numRefs(), 0);
  // Still the module object, still usable.
  EXPECT_EQ(current(), object);
  EXPECT_EQ(object->moduleName(), OdString(m_path));
  EXPECT_TRUE(OdRxExtendModule::cast(object)->isKrxModule());
  object->addRef();

  object->deleteModule();
  EXPECT_EQ(current(), nullptr);
  instance = module;
  OdRxModule* again = create(&instance);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(instance, nullptr);
  EXPECT_EQ(current(), again);
  EXPECT_EQ(again->numRefs(), 0);  // a new object, whatever its address
  again->deleteModule();
}

TEST_F(FrameTest, MessagesReachTheEntryFunctionWithTheModuleObject) {
  HMODULE module = load("frametest_kxrx");
  auto count = exported<int (*)()>(module, "frameTestMessageCount");
  auto message = exported<int (*)(int)>(module, "frameTestMessage");
  auto packet = exported<void* (*)(int)>(module, "frameTestPacket");
  auto dispatch = exported<DispatchFunction>(module, "frameTestDispatch");
  HINSTANCE instance = module;
  OdRxModule* object = create(&instance);
  ASSERT_NE(object, nullptr);

  object->initApp();
  object->uninitApp();
  ASSERT_EQ(count(), 2);
  EXPECT_EQ(message(0), 1);
  EXPECT_EQ(packet(0), object);
  EXPECT_EQ(message(1), 2);
  EXPECT_EQ(packet(1), object);

  int data = 0;
  struct Case {
    int message;
    int answer;
  } cases[] = {{5, 45}, {0, 40}, {9, 49}, {1234, 1274}, {-1, 39}};
  for (const Case& c : cases) {
    EXPECT_EQ(dispatch(c.message, &data), c.answer) << c.message;
    EXPECT_EQ(message(count() - 1), c.message);
    EXPECT_EQ(packet(count() - 1), &data);
  }
  object->deleteModule();
}

TEST_F(FrameTest, TheOlderEntryNameIsFoundWhenTheNewOneIsMissing) {
  HMODULE module = load("frametest_acrx");
  HINSTANCE instance = module;
  OdRxModule* object = create(&instance);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(exported<DispatchFunction>(module, "frameTestDispatch")(5, object), 7);
  EXPECT_EQ(exported<int (*)()>(module, "frameTestLastMessage")(), 5);
  object->initApp();
  EXPECT_EQ(exported<int (*)()>(module, "frameTestLastMessage")(), 1);
  object->deleteModule();
}

TEST_F(FrameTest, AModuleWithoutEntryFunctionAnswersThree) {
  HMODULE module = load("frametest_none");
  HINSTANCE instance = module;
  OdRxModule* object = create(&instance);
  ASSERT_NE(object, nullptr);
  auto dispatch = exported<DispatchFunction>(module, "frameTestDispatch");
  for (int message : {1, 2, 5, 77}) EXPECT_EQ(dispatch(message, object), 3) << message;
  object->initApp();  // nothing to call, nothing happens
  object->uninitApp();
  object->deleteModule();
}

TEST_F(FrameTest, ANullModuleHandleFindsNoEntryFunction) {
  HMODULE module = load("frametest_kxrx");
  HINSTANCE instance = nullptr;
  OdRxModule* object = create(&instance);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->sysData(), nullptr);
  EXPECT_EQ(exported<DispatchFunction>(module, "frameTestDispatch")(5, object), 3);
  EXPECT_EQ(exported<int (*)()>(module, "frameTestMessageCount")(), 0);
  object->deleteModule();
}

}  // namespace

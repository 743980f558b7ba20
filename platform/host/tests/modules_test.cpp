// Loading and unloading modules: the module object, messages 1 and 2, no
// second initialisation, refusals, the order modules go in, and SECURELOAD.
#include <stdlib.h>

#include <fstream>

#include "hosttest.h"
#include "kxed.h"
#include "transcript.h"
#include "win32/module.h"

namespace {

using kxhost::testing::HostTest;
using kxhost::testing::moduleEvents;
using kxhost::testing::transcriptRecords;

/// The test's own reference keeps a module's memory while the host loads and
/// unloads it, so that the test can ask it what it was sent.
class ModuleProbe {
 public:
  explicit ModuleProbe(const std::u16string& path) : m_module(LoadLibraryW(path.c_str())) {}
  ~ModuleProbe() {
    if (m_module) FreeLibrary(m_module);
  }
  std::vector<int> messages() const {
    auto count = reinterpret_cast<int (*)()>(GetProcAddress(m_module, "hostTestMessageCount"));
    auto message = reinterpret_cast<int (*)(int)>(GetProcAddress(m_module, "hostTestMessage"));
    std::vector<int> all;
    for (int i = 0; count && i < count(); ++i) all.push_back(message(i));
    return all;
  }
  int deleted() const { return reinterpret_cast<int (*)()>(GetProcAddress(m_module, "hostTestDeleted"))(); }

 private:
  HMODULE m_module;
};

class ModuleTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    kxhost::newDocument();
  }
  void TearDown() override {
    ::unsetenv("HOSTTEST_CHILD");
    ::unsetenv("HOSTTEST_UNLOAD_CHILD");
    ::unsetenv("WINSIM_UI");
    HostTest::TearDown();
  }
  static int setSecureLoad(short mode) {
    resbuf value{};
    value.restype = RTSHORT;
    value.resval.rint = mode;
    return kxedSetVar(u"SECURELOAD", &value);
  }
};

TEST_F(ModuleTest, AModuleIsInitialisedOnceAndStoppedWhenUnloaded) {
  const std::u16string path = install("hosttest_app.krx");
  ModuleProbe probe(path);
  ASSERT_EQ(kxhost::loadModuleByUser(path), RTNORM);
  EXPECT_EQ(probe.messages(), std::vector<int>({1}));
  ASSERT_EQ(kxhost::loadedModules(), std::vector<OdString>({OdString(path)}));

  // Loaded again, by path or by the host's own request: refused, not initialised.
  EXPECT_EQ(kxedArxLoad(path.c_str()), RTERROR);
  EXPECT_EQ(kxhost::loadModuleByUser(u"C:\\MODULES\\HOSTTEST_APP.KRX"), RTERROR);
  EXPECT_TRUE(shown(path + u" is already loaded."));
  EXPECT_EQ(probe.messages(), std::vector<int>({1}));
  EXPECT_EQ(kxhost::loadedModules().size(), 1u);

  EXPECT_EQ(kxedArxUnload(u"hosttest_app.krx"), RTNORM);  // by file name
  EXPECT_EQ(probe.messages(), std::vector<int>({1, 2}));
  EXPECT_EQ(probe.deleted(), 1);
  EXPECT_TRUE(kxhost::loadedModules().empty());
  EXPECT_EQ(kxedArxUnload(path.c_str()), RTERROR);
  EXPECT_TRUE(shown(path + u" is not loaded."));
  EXPECT_EQ(moduleEvents(m_machine),
            std::vector<std::string>({"load C:\\Modules\\hosttest_app.krx", "unload C:\\Modules\\hosttest_app.krx"}));

  // And loads afresh after that.
  ASSERT_EQ(kxhost::loadModuleByUser(path), RTNORM);
  EXPECT_EQ(probe.messages(), std::vector<int>({1, 2, 1}));
}

TEST_F(ModuleTest, ALockedModuleStaysUntilTheSessionEnds) {
  const std::u16string path = install("hosttest_locked.krx");
  ASSERT_EQ(kxhost::loadModuleByUser(path), RTNORM);
  EXPECT_EQ(kxedArxUnload(path.c_str()), RTERROR);
  EXPECT_TRUE(shown(path + u" is locked and cannot be unloaded."));
  EXPECT_EQ(kxhost::loadedModules().size(), 1u);
  EXPECT_TRUE(kxhost::endSession());
  EXPECT_TRUE(kxhost::loadedModules().empty());
  EXPECT_EQ(moduleEvents(m_machine).back(), "unload " + winsim::toUtf8(path));
}

TEST_F(ModuleTest, WhatIsNoModuleOfThisHostIsRefused) {
  struct Case {
    std::u16string path;
    std::u16string message;
  } cases[] = {
      {install("hosttest_oldsdk.krx"), u"hosttest_oldsdk.krx was built for SDK version 2.5, not for this host's 3.x."},
      {install("hosttest_nomodule.krx"),
       u"hosttest_nomodule.krx is no module: it does not export odrxCreateModuleObject."},
      {u"C:\\Modules\\missing.krx", u"Cannot load C:\\Modules\\missing.krx (Windows error 126)."},
      {install("koraxkwlres.dll"), u"koraxkwlres.dll is no module"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kxhost::loadModuleByUser(c.path), RTERROR) << winsim::toUtf8(c.path);
    EXPECT_TRUE(shown(c.message)) << winsim::toUtf8(c.message);
    EXPECT_EQ(GetModuleHandleW(c.path.c_str()), nullptr) << "released: " << winsim::toUtf8(c.path);
  }
  EXPECT_TRUE(kxhost::loadedModules().empty());
  EXPECT_TRUE(moduleEvents(m_machine).empty());
  EXPECT_EQ(kxedArxLoad(nullptr), RTERROR);
  EXPECT_EQ(kxedArxLoad(u""), RTERROR);
}

TEST_F(ModuleTest, AModuleUnloadsWhatItLoadedItselfFirst) {
  const std::u16string parent = install("hosttest_app.krx");
  const std::u16string child = install("hosttest_locked.krx");
  ::setenv("HOSTTEST_CHILD", winsim::toUtf8(child).c_str(), 1);
  ::setenv("HOSTTEST_UNLOAD_CHILD", "1", 1);
  ASSERT_EQ(setSecureLoad(0), RTNORM);
  ASSERT_EQ(kxhost::loadModuleByUser(parent), RTNORM);
  EXPECT_EQ(kxhost::loadedModules(), std::vector<OdString>({OdString(parent), OdString(child)}));
  // The child never unlocked itself, so the parent's request is refused; the
  // session's end takes it after the parent.
  EXPECT_TRUE(kxhost::endSession());
  EXPECT_TRUE(shown(child + u" is locked and cannot be unloaded."));
  EXPECT_EQ(moduleEvents(m_machine),
            std::vector<std::string>({"load " + winsim::toUtf8(parent), "load " + winsim::toUtf8(child),
                                      "unload " + winsim::toUtf8(parent), "unload " + winsim::toUtf8(child)}));
}

TEST_F(ModuleTest, AtTheEndAModulesOwnModulesAreLeftToIt) {
  ASSERT_EQ(setSecureLoad(0), RTNORM);
  const std::u16string other = install("hosttest_locked.krx");
  ASSERT_EQ(kxhost::loadModuleByUser(other), RTNORM);
  const std::u16string parent = install("hosttest_app.krx");
  // A second file of the same module, to be the child.
  const std::u16string child = install("hosttest_app.krx", u"C:\\Modules\\Child");
  ::setenv("HOSTTEST_CHILD", winsim::toUtf8(child).c_str(), 1);
  ::setenv("HOSTTEST_UNLOAD_CHILD", "1", 1);
  ASSERT_EQ(kxhost::loadModuleByUser(parent), RTNORM);
  EXPECT_TRUE(kxhost::unloadAllModules());
  // Latest first, but the child is the parent's to unload, and goes once.
  EXPECT_EQ(moduleEvents(m_machine), std::vector<std::string>({
                                         "load " + winsim::toUtf8(other),
                                         "load " + winsim::toUtf8(parent),
                                         "load " + winsim::toUtf8(child),
                                         "unload " + winsim::toUtf8(child),
                                         "unload " + winsim::toUtf8(parent),
                                         "unload " + winsim::toUtf8(other),
                                     }));
}

TEST_F(ModuleTest, SecureLoadDecidesWhatModulesMayLoad) {
  const std::u16string untrusted = install("hosttest_app.krx", u"C:\\Plugins\\Sub");

  // 1 (the default): the user is asked, and No is the default answer.
  EXPECT_EQ(kxedArxLoad(untrusted.c_str()), RTERROR);
  const auto boxes = transcriptRecords(m_machine, "MessageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].value("answer", ""), "IDNO");
  EXPECT_NE(boxes[0].value("text", "").find("is not in a trusted folder"), std::string::npos);
  EXPECT_TRUE(
      shown(u"C:\\Plugins\\Sub\\hosttest_app.krx was not loaded: it is not in a trusted folder (SECURELOAD 1)."));

  // A user who answers Yes gets it loaded.
  const std::filesystem::path script = m_machine.folder() / "ui.txt";
  std::ofstream(script) << "answer IDYES\n";
  ::setenv("WINSIM_UI", script.c_str(), 1);
  EXPECT_EQ(kxedArxLoad(untrusted.c_str()), RTNORM);
  EXPECT_EQ(kxedArxUnload(untrusted.c_str()), RTNORM);
  ::unsetenv("WINSIM_UI");

  // 2: only trusted folders; a folder with "\..." trusts its subfolders.
  ASSERT_EQ(setSecureLoad(2), RTNORM);
  EXPECT_EQ(kxedArxLoad(untrusted.c_str()), RTERROR);
  EXPECT_EQ(transcriptRecords(m_machine, "MessageBox").size(), 2u);  // not asked
  std::u16string paths = u"C:\\Plugins";
  resbuf trusted{};
  trusted.restype = RTSTR;
  trusted.resval.rstring = paths.data();
  ASSERT_EQ(kxedSetVar(u"TRUSTEDPATHS", &trusted), RTNORM);
  EXPECT_EQ(kxedArxLoad(untrusted.c_str()), RTERROR);
  paths = u"D:\\Other;C:\\plugins\\...";
  trusted.resval.rstring = paths.data();
  ASSERT_EQ(kxedSetVar(u"TRUSTEDPATHS", &trusted), RTNORM);
  EXPECT_EQ(kxedArxLoad(untrusted.c_str()), RTNORM);
  EXPECT_EQ(kxedArxUnload(untrusted.c_str()), RTNORM);

  // 0: anywhere. And what the user names loads whatever SECURELOAD says.
  ASSERT_EQ(setSecureLoad(0), RTNORM);
  const std::u16string elsewhere = install("hosttest_app.krx", u"C:\\Elsewhere");
  EXPECT_EQ(kxedArxLoad(elsewhere.c_str()), RTNORM);
  EXPECT_EQ(kxedArxUnload(elsewhere.c_str()), RTNORM);
  ASSERT_EQ(setSecureLoad(2), RTNORM);
  EXPECT_EQ(kxhost::loadModuleByUser(elsewhere), RTNORM);
  // The LOAD command is a load like any other.
  EXPECT_TRUE(kxhost::runCommandInput(u"UNLOAD hosttest_app.krx\n"));
  EXPECT_FALSE(kxhost::runCommandInput(u"LOAD C:\\Elsewhere\\hosttest_app.krx\n"));
}

}  // namespace

// The run-time classes, the module base, the dynamic linker and the command stack.
#include <gtest/gtest.h>

#include "dwgsdk.h"

namespace {

int gRuns = 0;
void countRun() { ++gRuns; }

class TestModule : public OdRxExtendModule {
 public:
  void* sysData() override { return this; }
  void deleteModule() override { delete this; }
  void initApp() override { ++inits; }
  void uninitApp() override { --inits; }
  OdString moduleName() const override { return u"C:\\Tools\\test.krx"; }
  int inits = 0;
};

class CountedCommand : public OdEdCommand {
 public:
  const OdString groupName() const override { return u"GROUP"; }
  const OdString globalName() const override { return u"COUNTED"; }
  void execute(OdEdCommandContext*) override { ++gRuns; }
};

}  // namespace

TEST(RxClass, DescriptorsCompareByIdentityAndKnowTheirParents) {
  OdDbLine line;
  EXPECT_EQ(line.isA(), OdDbLine::desc());
  EXPECT_TRUE(line.isKindOf(OdDbCurve::desc()));
  EXPECT_TRUE(line.isKindOf(OdDbEntity::desc()));
  EXPECT_FALSE(line.isKindOf(OdDbCircle::desc()));
  EXPECT_NE(OdDbLayerTableRecord::desc(), OdDbSymbolTableRecord::desc());
  EXPECT_EQ(OdDbLayerTableRecord::desc()->myParent(), OdDbSymbolTableRecord::desc());
  EXPECT_EQ(OdDbLine::desc()->name(), OdString(u"AcDbLine"));
  EXPECT_EQ(OdDbLine::cast(&line), &line);
  EXPECT_EQ(OdDbCircle::cast(&line), nullptr);
  EXPECT_EQ(line.queryX(OdDbCurve::desc()), &line);
  std::unique_ptr<OdRxObject> copy(OdDbLine::desc()->create());
  EXPECT_NE(OdDbLine::cast(copy.get()), nullptr);
  OdDbLine original(OdGePoint3d(1, 2, 3), OdGePoint3d(4, 5, 6));
  std::unique_ptr<OdDbLine> cloned(static_cast<OdDbLine*>(original.clone()));
  EXPECT_EQ(cloned->endPoint(), OdGePoint3d(4, 5, 6));
  EXPECT_TRUE(cloned->objectId().isNull());
}

TEST(RxModule, LoadReferencesAndKrxQuery) {
  auto* module = new TestModule();
  EXPECT_TRUE(module->isKrxModule());
  EXPECT_EQ(module->loadReference(), 0);
  module->addLoadReference();
  module->addLoadReference();
  module->releaseLoadReference();
  EXPECT_EQ(module->loadReference(), 1);
  EXPECT_TRUE(module->isKindOf(OdRxModule::desc()));
  module->initApp();
  EXPECT_EQ(module->inits, 1);
  module->deleteModule();
}

TEST(RxModule, DynamicLinkerRemembersUnlockedAndMdiAwareApplications) {
  OdRxDynamicLinker* linker = odrxDynamicLinker();
  EXPECT_EQ(linker, odrxDynamicLinker());
  int app = 0;
  EXPECT_TRUE(linker->isApplicationLocked(&app));
  EXPECT_FALSE(linker->isAppMDIAware(&app));
  EXPECT_TRUE(linker->unlockApplication(&app));
  EXPECT_TRUE(linker->registerAppMDIAware(&app));
  EXPECT_FALSE(linker->isApplicationLocked(&app));
  EXPECT_TRUE(linker->isAppMDIAware(&app));
  EXPECT_TRUE(linker->lockApplication(&app));
  EXPECT_TRUE(linker->isApplicationLocked(&app));
  linker->forgetApplication(&app);
  EXPECT_FALSE(linker->isAppMDIAware(&app));
  EXPECT_FALSE(linker->unlockApplication(nullptr));
}

TEST(CommandStack, GroupsAddLookUpAndRemove) {
  OdEdCommandStackPtr stack = odedRegCmds();
  long refs = stack->numRefs();
  {
    OdEdCommandStackPtr again = odedRegCmds();
    EXPECT_EQ(again.get(), stack.get());
    EXPECT_EQ(stack->numRefs(), refs + 1);
  }
  EXPECT_EQ(stack->numRefs(), refs);
  gRuns = 0;
  ASSERT_EQ(stack->addCommand(u"MWCommonModule", u"DRAWFRAME", u"ZEICHNE", OdEdCommand::kModal, countRun), eOk);
  EXPECT_EQ(stack->addCommand(u"MWCommonModule", u"drawframe", u"x", 0, countRun), eDuplicateKey);
  EXPECT_EQ(stack->addCommand(u"", u"X", u"X", 0, countRun), eInvalidInput);
  OdEdCommandPtr found = stack->lookupCmd(u"drawFrame");
  ASSERT_FALSE(found.isNull());
  found->execute(nullptr);
  EXPECT_EQ(gRuns, 1);
  EXPECT_FALSE(stack->lookupCmd(u"zeichne").isNull());  // by local name too
  EXPECT_TRUE(stack->lookupCmd(u"DRAWFRAME", u"OtherGroup").isNull());

  OdEdCommandPtr counted(new OdRxObjectImpl<CountedCommand>(), kOdRxObjAttach);
  ASSERT_EQ(stack->addCommand(counted.get()), eOk);
  EXPECT_EQ(counted->numRefs(), 2);  // the stack holds one
  EXPECT_TRUE(stack->hasGroup(u"group"));
  EXPECT_EQ(stack->commandsOfGroup(u"GROUP").size(), 1u);
  EXPECT_EQ(stack->removeGroup(u"GROUP"), eOk);
  EXPECT_EQ(counted->numRefs(), 1);
  EXPECT_EQ(stack->removeGroup(u"GROUP"), eKeyNotFound);
  EXPECT_EQ(stack->removeGroup(u"MWCommonModule"), eOk);
  EXPECT_TRUE(stack->lookupCmd(u"DRAWFRAME").isNull());
  stack.release();
  EXPECT_TRUE(stack.isNull());
}

TEST(Basics, StringsArraysAndTheAllocator) {
  OdString s(u"Layer One");
  EXPECT_EQ(s.getLength(), 9);
  EXPECT_EQ(OdString(s).makeUpper(), OdString(u"LAYER ONE"));
  EXPECT_EQ(s.iCompare(u"LAYER one"), 0);
  EXPECT_EQ(s.find(u"One"), 6);
  EXPECT_EQ(s.mid(6), OdString(u"One"));
  EXPECT_EQ(OdString(u"  x ").trimLeft().trimRight(), OdString(u"x"));
  const OdChar* raw = s;
  EXPECT_EQ(raw[0], u'L');
  OdArray<int> a;
  a.append(1);
  a.append(3);
  a.insertAt(1, 2);
  EXPECT_EQ(a.length(), 3u);
  EXPECT_EQ(a[1], 2);
  EXPECT_TRUE(a.contains(3));
  a.removeAt(0);
  EXPECT_EQ(a.first(), 2);
  void* p = odrxAlloc(64);
  ASSERT_NE(p, nullptr);
  p = odrxRealloc(p, 128, 64);
  odrxFree(p);
}

// Documents, their locks (modes 4 and 32, with and without the prompt flag),
// the host's check that commands release what they lock, and text sent to a
// document's command input.
#include "EdCommandStack.h"
#include "hosttest.h"
#include "kxap.h"
#include "kxed.h"
#include "kxut.h"

namespace {

using kxhost::testing::HostTest;

KxApDocManager* manager() { return kxDocManagerPtr(); }

TEST_F(HostTest, TheManagerKnowsTheCurrentDocumentAndEachDatabasesDocument) {
  EXPECT_EQ(manager()->curDocument(), nullptr);
  KxApDocument* first = kxhost::newDocument();
  KxApDocument* second = kxhost::newDocument();
  EXPECT_EQ(manager()->curDocument(), second);
  EXPECT_EQ(manager()->documentCount(), 2);
  EXPECT_EQ(manager()->document(first->database()), first);
  EXPECT_EQ(manager()->document(second->database()), second);
  OdDbDatabase own(true);
  EXPECT_EQ(manager()->document(&own), nullptr);
  EXPECT_EQ(manager()->document(nullptr), nullptr);
  EXPECT_EQ(oddbHostApplicationServices()->workingDatabase(), second->database());
  ASSERT_EQ(kxhost::activateDocument(first), eOk);
  EXPECT_EQ(oddbHostApplicationServices()->workingDatabase(), first->database());
  ASSERT_EQ(kxhost::closeDocument(first), eOk);
  EXPECT_EQ(manager()->curDocument(), second);
  EXPECT_EQ(oddbHostApplicationServices()->workingDatabase(), second->database());
}

TEST_F(HostTest, LocksNestAndAreReleasedLastFirst) {
  KxApDocument* document = kxhost::newDocument();
  EXPECT_EQ(document->lockMode(), KxAp::kNotLocked);
  struct Case {
    KxAp::DocLockMode mode;
    bool prompt;
    KxAp::DocLockMode strongest;
  } cases[] = {
      {KxAp::kRead, false, KxAp::kRead},  // LayerExist's read lock
      {KxAp::kWrite, false, KxAp::kWrite},
      {KxAp::kWrite, true, KxAp::kWrite},  // CHvDictManager::addEntry asks with the prompt flag
      {KxAp::kRead, true, KxAp::kWrite},
  };
  int depth = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(manager()->lockDocument(document, c.mode, nullptr, nullptr, c.prompt), eOk);
    EXPECT_EQ(document->lockCount(), ++depth);
    EXPECT_EQ(document->lockMode(), c.strongest);
  }
  EXPECT_EQ(kxhost::closeDocument(document), eInvalidInput);  // not while locked
  for (; depth > 0; --depth) EXPECT_EQ(manager()->unlockDocument(document), eOk);
  EXPECT_EQ(document->lockMode(), KxAp::kNotLocked);
  EXPECT_EQ(manager()->unlockDocument(document), eNotApplicable);
  EXPECT_EQ(kxhost::closeDocument(document), eOk);
}

TEST_F(HostTest, BadLockRequestsAreRefused) {
  KxApDocument* document = kxhost::newDocument();
  EXPECT_EQ(manager()->lockDocument(nullptr, KxAp::kWrite), eNullObjectPointer);
  EXPECT_EQ(manager()->unlockDocument(nullptr), eNullObjectPointer);
  EXPECT_EQ(manager()->lockDocument(document, KxAp::kNotLocked), eInvalidInput);
  EXPECT_EQ(manager()->lockDocument(document, static_cast<KxAp::DocLockMode>(3)), eInvalidInput);
  EXPECT_EQ(document->lockCount(), 0);
  // A document that was closed is not dereferenced, only refused.
  KxApDocument* closed = kxhost::newDocument();
  ASSERT_EQ(kxhost::closeDocument(closed), eOk);
  EXPECT_EQ(manager()->lockDocument(closed, KxAp::kWrite), eInvalidInput);
  EXPECT_EQ(manager()->unlockDocument(closed), eInvalidInput);
  EXPECT_EQ(manager()->sendStringToExecute(closed, u"X"), eInvalidInput);
}

// Commands of the tests, in a group of their own.
constexpr const OdChar* kGroup = u"HOSTTEST";

void lockAndUnlock() {
  KxApDocument* document = manager()->curDocument();
  if (manager()->lockDocument(document, KxAp::kWrite, nullptr, nullptr, false) != eOk) return;
  kxutPrintf(u"\nchanging the drawing");
  manager()->unlockDocument(document);
}

/// Leaves its lock behind on the path where its input is bad, as a careless
/// command might.
void lockAndForgetOnFailure() {
  KxApDocument* document = manager()->curDocument();
  if (manager()->lockDocument(document, KxAp::kWrite, nullptr, nullptr, false) != eOk) return;
  double value = 0;
  if (kxedGetReal(u"\nValue: ", &value) != RTNORM) return;
  manager()->unlockDocument(document);
}

void sendTwoCommands() {
  KxApDocManager* m = manager();
  m->sendStringToExecute(m->curDocument(), u"HTECHO first ", false, true, true);
  m->sendStringToExecute(m->curDocument(), u"HTECHO second", false, true, true);
  kxutPrintf(u"\nsent");
}

void echoCommand() {
  OdChar text[32] = {};
  if (kxedGetString(0, u"\nText: ", text, 32) == RTNORM) kxutPrintf(u"\necho %s", text);
}

class CommandLockTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    OdEdCommandStackPtr stack = odedRegCmds();
    stack->addCommand(kGroup, u"HTLOCK", u"HTLOCK", OdEdCommand::kModal, lockAndUnlock);
    stack->addCommand(kGroup, u"HTLEAK", u"HTLEAK", OdEdCommand::kModal, lockAndForgetOnFailure);
    stack->addCommand(kGroup, u"HTSEND", u"HTSEND", OdEdCommand::kModal, sendTwoCommands);
    stack->addCommand(kGroup, u"HTECHO", u"HTECHO", OdEdCommand::kModal, echoCommand);
    m_document = kxhost::newDocument();
  }
  void TearDown() override {
    odedRegCmds()->removeGroup(kGroup);
    while (m_document->lockCount() > 0) manager()->unlockDocument(m_document);
    HostTest::TearDown();
  }
  KxApDocument* m_document = nullptr;
};

TEST_F(CommandLockTest, ACommandThatReleasesItsLockRunsClean) {
  EXPECT_TRUE(kxhost::runCommandInput(u"HTLOCK\n"));
  EXPECT_TRUE(shown(u"changing the drawing"));
  EXPECT_EQ(m_document->lockCount(), 0);
}

TEST_F(CommandLockTest, ALockLeftOnAFailurePathIsReported) {
  EXPECT_TRUE(kxhost::runCommandInput(u"HTLEAK 2.5\n"));  // the good path unlocks
  EXPECT_EQ(m_document->lockCount(), 0);
  EXPECT_FALSE(kxhost::runCommandInput(u"HTLEAK nonsense\n"));
  EXPECT_TRUE(shown(u"*Warning* HTLEAK left 1 document lock(s) behind."));
  EXPECT_EQ(m_document->lockCount(), 1);  // the host does not unlock what it did not lock
}

TEST_F(CommandLockTest, LocksTakenBeforeACommandAreNotItsOwn) {
  ASSERT_EQ(manager()->lockDocument(m_document, KxAp::kRead, nullptr, nullptr, false), eOk);
  EXPECT_TRUE(kxhost::runCommandInput(u"HTLOCK\n"));
  EXPECT_EQ(m_document->lockCount(), 1);
  EXPECT_EQ(manager()->unlockDocument(m_document), eOk);
}

TEST_F(CommandLockTest, SentTextRunsAfterTheCommandInTheOrderSent) {
  EXPECT_TRUE(kxhost::runCommandInput(u"HTSEND\nHTECHO third\n"));
  const std::u16string& text = kxhost::commandLineText();
  const auto sent = text.find(u"\nsent");
  const auto first = text.find(u"echo first");
  const auto second = text.find(u"echo second");
  const auto third = text.find(u"echo third");
  ASSERT_NE(sent, std::u16string::npos);
  ASSERT_NE(first, std::u16string::npos);
  ASSERT_NE(second, std::u16string::npos);  // the end of the input ends the last word
  ASSERT_NE(third, std::u16string::npos);
  EXPECT_LT(sent, first);
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
}

TEST_F(CommandLockTest, EscapeCancelsWhatWasTypedBeforeIt) {
  ASSERT_EQ(manager()->sendStringToExecute(m_document, u"HTEC\x1BHTECHO kept "), eOk);
  EXPECT_TRUE(kxhost::runCommandInput(u""));
  EXPECT_TRUE(shown(u"*Cancel*"));
  EXPECT_TRUE(shown(u"echo kept"));
  EXPECT_FALSE(shown(u"Unknown command"));
  // An escape while a prompt waits cancels the command.
  EXPECT_FALSE(kxhost::runCommandInput(u"HTECHO \x1B\n"));
  EXPECT_FALSE(shown(u"echo \n"));
}

TEST_F(CommandLockTest, CmdactiveIsSetWhileACommandRuns) {
  static short seen = -1;
  odedRegCmds()->addCommand(kGroup, u"HTACTIVE", u"HTACTIVE", OdEdCommand::kModal, [] {
    resbuf value{};
    kxedGetVar(u"CMDACTIVE", &value);
    seen = value.resval.rint;
  });
  EXPECT_TRUE(kxhost::runCommandInput(u"HTACTIVE\n"));
  EXPECT_EQ(seen, 1);
  resbuf after{};
  ASSERT_EQ(kxedGetVar(u"CMDACTIVE", &after), RTNORM);
  EXPECT_EQ(after.resval.rint, 0);
}

}  // namespace

// LISP functions a module defines: the call from the command input, the
// function code and arguments the module reads, the value it hands back.
#include "hosttest.h"
#include "kxed.h"

namespace {

using kxhost::testing::HostTest;

class LispTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    kxhost::newDocument();
    ASSERT_EQ(kxhost::loadModuleByUser(install("hosttest_app.krx")), RTNORM);
    kxhost::clearCommandLineText();
  }
  /// What the call printed as its value.
  std::u16string call(std::u16string_view expression, bool* ok = nullptr) {
    kxhost::clearCommandLineText();
    const bool ran = kxhost::runCommandInput(std::u16string(expression) + u"\n");
    if (ok) *ok = ran;
    const std::u16string& text = kxhost::commandLineText();
    const std::u16string echo = u"\nCommand: " + std::u16string(expression);
    std::u16string value = text.substr(std::min(text.size(), echo.size()));
    value.erase(0, value.find_first_not_of(u'\n'));
    return value;
  }
};

TEST_F(LispTest, ValuesComeBackAsTheModuleHandsThem) {
  struct Case {
    const char16_t* expression;
    const char16_t* value;
  } cases[] = {
      {u"(hosttest-echo \"hello world\")", u"\"hello world\""},
      {u"(HOSTTEST-ECHO \"a\\\"b\\\\c\")", u"\"a\\\"b\\\\c\""},
      {u"(hosttest-echo 5)", u"\"no text\""},
      {u"(hosttest-list 1 -2 2.5 \"x\" nil T 70000)", u"(1 -2 2.5 \"x\" nil T 70000)"},
      {u"(hosttest-list)", u"()"},
      {u"(hosttest-nothing)", u"nil"},
      {u"(hosttest-code)", u"10"},
  };
  for (const Case& c : cases) {
    bool ok = false;
    EXPECT_EQ(call(c.expression, &ok), c.value) << winsim::toUtf8(c.expression);
    EXPECT_TRUE(ok);
  }
}

TEST_F(LispTest, BadCallsAreErrors) {
  struct Case {
    const char16_t* expression;
    const char16_t* error;
  } cases[] = {
      {u"(nosuchfunction)", u"; error: no function definition: NOSUCHFUNCTION"},
      {u"(hosttest-echo \"open)", u"; error: unterminated text"},
      {u"(hosttest-list (1 2))", u"; error: lists are not taken as arguments"},
      {u"(hosttest-list 99999999999)", u"; error: integer too large: 99999999999"},
      {u"()", u"; error: no function name"},
  };
  for (const Case& c : cases) {
    bool ok = true;
    EXPECT_EQ(call(c.expression, &ok), c.error) << winsim::toUtf8(c.expression);
    EXPECT_FALSE(ok);
  }
}

TEST_F(LispTest, OutsideACallTheLispInterfaceAnswersErrors) {
  EXPECT_EQ(kxedGetFunCode(), RTERROR);
  EXPECT_EQ(kxedGetArgs(), nullptr);
  EXPECT_EQ(kxedRetStr(u"x"), RTERROR);
  EXPECT_EQ(kxedRetVoid(), RTERROR);
  EXPECT_EQ(kxedDefun(u"outsider", 1), RTERROR);  // no module is handling a message
}

TEST_F(LispTest, AnUnloadedModulesFunctionsAreGone) {
  ASSERT_EQ(kxedArxUnload(u"hosttest_app.krx"), RTNORM);
  bool ok = true;
  EXPECT_EQ(call(u"(hosttest-echo \"x\")", &ok), u"; error: no function definition: HOSTTEST-ECHO");
  EXPECT_FALSE(ok);
}

}  // namespace

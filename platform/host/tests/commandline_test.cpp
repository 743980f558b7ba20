// The command line, alerts, status texts and the host's UI library.
#include "hosttest.h"
#include "kxed.h"
#include "kxui.h"
#include "kxut.h"
#include "transcript.h"
#include "win32/module.h"

namespace {

using kxhost::testing::HostTest;
using kxhost::testing::transcriptRecords;

TEST_F(HostTest, PrintfGoesToTheTextWindowAndTheTranscript) {
  EXPECT_EQ(kxutPrintf(u"\nARX ERROR: %s (%d)", u"eKeyNotFound", 26), 29);
  EXPECT_EQ(kxutPrintf(u"%s", u"\u00e9t\u00e9 \u4e2d"), 5);
  EXPECT_EQ(kxhost::commandLineText(), u"\nARX ERROR: eKeyNotFound (26)\u00e9t\u00e9 \u4e2d");
  const auto lines = transcriptRecords(m_machine, "CommandLine");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].value("text", ""), "\nARX ERROR: eKeyNotFound (26)");
  EXPECT_EQ(lines[1].value("text", ""), "\u00e9t\u00e9 \u4e2d");
  EXPECT_EQ(kxutPrintf(nullptr), 0);
  // A conversion without its argument is printed as written.
  kxhost::clearCommandLineText();
  kxutPrintf(u"Lock failed%d\n");
  EXPECT_EQ(kxhost::commandLineText(), u"Lock failed%d\n");
}

TEST_F(HostTest, AnAlertIsAWarningBoxWithTheHostsTitle) {
  ASSERT_TRUE(InitKxUiDLL());
  EXPECT_EQ(kxedAlert(u"Something to know"), RTNORM);
  const auto boxes = transcriptRecords(m_machine, "MessageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].value("caption", ""), "DWG Merrowin");
  EXPECT_EQ(boxes[0].value("text", ""), "Something to know");
  EXPECT_EQ(boxes[0].value("style", ""), "0x00000030");
  EXPECT_EQ(boxes[0].value("answer", ""), "IDOK");
}

TEST(HostStatusText, IsTheSdksNameOfTheCode) {
  EXPECT_EQ(std::u16string(koraxErrorStatusText(eOk)), u"eOk");
  EXPECT_EQ(std::u16string(koraxErrorStatusText(eKeyNotFound)), u"eKeyNotFound");
  EXPECT_EQ(std::u16string(koraxErrorStatusText(eWasOpenForWrite)), u"eWasOpenForWrite");
}

TEST(HostUi, IsMadeReadyOnceWithTheHostsResources) {
  ASSERT_TRUE(InitKxUiDLL());
  const HINSTANCE resources = kxuiResourceHandle();
  ASSERT_NE(resources, nullptr);
  EXPECT_TRUE(InitKxUiDLL());
  EXPECT_EQ(kxuiResourceHandle(), resources);
  WCHAR title[32] = {};
  EXPECT_GT(LoadStringW(resources, 1, title, 32), 0);
  EXPECT_EQ(std::u16string(title), u"DWG Merrowin");
}

}  // namespace

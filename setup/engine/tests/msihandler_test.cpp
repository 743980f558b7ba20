// The Windows Installer external UI handler: its answer to each message kind,
// its boxes, the language it keeps from common-data records, and the internal
// UI level it sets on its first call in the process.
#include "msihandler.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "enginetest.h"
#include "msilibrary.h"
#include "win32/msgbox.h"

namespace {

class MsiHandlerTest : public enginetest::EngineTest {
 protected:
  ~MsiHandlerTest() override { FreeMsiLibrary(); }

  std::vector<nlohmann::json> records(const std::string& kind) {
    std::vector<nlohmann::json> found;
    std::ifstream in(machine().folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      auto record = nlohmann::json::parse(line);
      if (record["kind"] == kind) found.push_back(record);
    }
    return found;
  }
  static int call(UINT type, LPCWSTR text) {
    return MsiInstallErrorHandler(const_cast<char16_t*>(u"Msi Install Error Check"), type, text);
  }
};

// First in this file: the handler's first call happens here in a run of the
// whole program, and in its own process when the tests run one by one.
TEST_F(MsiHandlerTest, ItsFirstCallSetsTheBasicInternalUiOnce) {
  ASSERT_TRUE(LoadMsiLibrary());
  const auto setInternalUI = GetMsiEntryPoints().setInternalUI;
  setInternalUI(INSTALLUILEVEL_NONE, nullptr);
  EXPECT_EQ(call(INSTALLMESSAGE_INITIALIZE, nullptr), 0);  // a call without text answers 0
  EXPECT_EQ(setInternalUI(INSTALLUILEVEL_NONE, nullptr), INSTALLUILEVEL_BASIC);
  EXPECT_EQ(call(INSTALLMESSAGE_ACTIONSTART, u"Action 10:00:00: InstallFiles. Copying new files"), IDOK);
  EXPECT_EQ(setInternalUI(INSTALLUILEVEL_NOCHANGE, nullptr), INSTALLUILEVEL_NONE);
}

TEST_F(MsiHandlerTest, AnswersEachKindAsItsTableSays) {
  struct Case {
    UINT kind;
    int answer;
  } cases[] = {
      {INSTALLMESSAGE_USER, IDOK},
      {INSTALLMESSAGE_INFO, IDOK},
      {INSTALLMESSAGE_OUTOFDISKSPACE, IDOK},
      {INSTALLMESSAGE_ACTIONSTART, IDOK},
      {INSTALLMESSAGE_ACTIONDATA, IDOK},
      {INSTALLMESSAGE_PROGRESS, IDOK},
      {INSTALLMESSAGE_COMMONDATA, IDOK},
      {INSTALLMESSAGE_INITIALIZE, IDOK},
      {INSTALLMESSAGE_TERMINATE, IDOK},
      {INSTALLMESSAGE_SHOWDIALOG, IDOK},
      {INSTALLMESSAGE_FILESINUSE, 0},
      {INSTALLMESSAGE_RESOLVESOURCE, 0},
      {0x0F000000, 0},
      {0x1A000000, 0},
      {0xFF000000, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(call(c.kind | MB_OKCANCEL, u"1: 2 2: 1"), c.answer) << std::hex << c.kind;
    EXPECT_EQ(call(c.kind, nullptr), 0) << std::hex << c.kind;
  }
  EXPECT_TRUE(messageBoxes().empty());
  EXPECT_TRUE(records("Beep").empty());
}

TEST_F(MsiHandlerTest, ShowsFatalErrorAndWarningMessagesWithTheirStyles) {
  EXPECT_EQ(call(INSTALLMESSAGE_FATALEXIT | MB_OK | MB_ICONERROR, u"It ended early."), IDOK);
  EXPECT_EQ(call(INSTALLMESSAGE_ERROR | MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, u"Go on?"), IDNO);
  EXPECT_EQ(call(INSTALLMESSAGE_WARNING | MB_RETRYCANCEL | MB_ICONINFORMATION, u"Careful."), IDRETRY);
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0]["caption"], "FatalError");
  EXPECT_EQ(boxes[0]["text"], "It ended early.");
  EXPECT_EQ(boxes[0]["style"], "0x00000010");
  EXPECT_EQ(boxes[1]["caption"], "Error");
  EXPECT_EQ(boxes[1]["style"], "0x00000134");
  EXPECT_EQ(boxes[2]["caption"], "Warning");
  EXPECT_EQ(boxes[2]["style"], "0x00000045");
  // Only the error box is preceded by a beep, with the icon part of its style.
  const auto beeps = records("Beep");
  ASSERT_EQ(beeps.size(), 1u);
  EXPECT_EQ(beeps[0]["type"], "0x00000030");
}

TEST_F(MsiHandlerTest, KeepsTheLanguageOfACommonDataRecordWhoseFieldOneIsZero) {
  struct Case {
    const char16_t* record;
    WORD language;  // after the record
  } cases[] = {
      {u"1: 0 2: 2052 3: 936", 2052},
      {u"1: 1 2: DWG Merrowin", 2052},  // the caption
      {u"1: 2 2: 0", 2052},             // the cancel button
      {u"1: 0 2: 1033 3: 1252 ", 1033},
      {u"1: 0 2: words", 1033},
      {u"1: 0", 1033},
      {u"1: 0 2: 70000", 1033},
      {u"1: 10 2: 1041", 1033},
      {u"2: 1041 1: 0", 1041},
      {u"1:0 2:1028", 1028},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(call(INSTALLMESSAGE_COMMONDATA, c.record), IDOK);
    EXPECT_EQ(GetMsiHandlerLanguage(), c.language) << enginetest::utf8(c.record);
  }
}

}  // namespace

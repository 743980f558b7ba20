// The module's message boxes, status texts and the conversions between
// object ids, enames and handle strings, with expressres.dll loaded.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "HvDbUtilsMessages.h"
#include "commonmoduletest.h"
#include "core/expresstext.h"
#include "core/modulestate.h"
#include "entityfixture.h"
#include "kxed.h"
#include "uitranscript.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "winsim/text.h"

namespace {

using mwcommon::testing::transcriptRecords;
using mwcommon::testing::UiScript;

std::string styleText(unsigned style) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", style);
  return text;
}

/// A drawing with the module's message library loaded from the machine,
/// and let go again at the end, so that each test has its own.
class MessagesTest : public mwcommon::testing::DrawingTest {
 protected:
  void SetUp() override {
    kxhost::setCommandLineToStdout(false);
    DrawingTest::SetUp();
    mwcommon::testing::copyFromBuild(machine(), "expressres.dll", u"C:\\Korax");
    mwcommon::testing::copyFromBuild(machine(), "testres.dll", u"C:\\Korax");
    HINSTANCE& resources = mwcommon::moduleState().expressResources;
    ASSERT_EQ(resources, nullptr);
    resources = LoadLibraryW(u"C:\\Korax\\expressres.dll");
    ASSERT_NE(resources, nullptr);
  }
  void TearDown() override {
    HINSTANCE& resources = mwcommon::moduleState().expressResources;
    if (resources) FreeLibrary(std::exchange(resources, nullptr));
    DrawingTest::TearDown();
    kxhost::setCommandLineToStdout(true);
  }

  std::vector<nlohmann::json> boxes() { return transcriptRecords(machine(), "MessageBox"); }

  OdDbObjectId addErasedLayer(const OdChar* name) {
    const OdDbObjectId id = addLayer(name, false);
    OdDbObject* layer = nullptr;
    EXPECT_EQ(id.openObject(layer, OdDb::kForWrite), eOk);
    EXPECT_EQ(layer->erase(), eOk);
    layer->close();
    return id;
  }
};

TEST_F(MessagesTest, TheThreeAlertBoxesShowTheirTextWithTheirIcon) {
  struct Case {
    void (*show)(const WCHAR*);
    const char16_t* text;
    unsigned style;
  } const cases[] = {
      {HvDbUtils::AlertBox, u"Careful", 0x30},
      {HvDbUtils::StopAlertBox, u"Stopped\nfor good", 0x10},
      {HvDbUtils::InfoAlertBox, u"For your information", 0x40},
  };
  for (const Case& c : cases) c.show(c.text);
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), std::size(cases));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i]["text"], winsim::toUtf8(cases[i].text));
    EXPECT_EQ(shown[i]["style"], styleText(cases[i].style));
    // The framework's box: captioned by the application, here the program.
    EXPECT_EQ(shown[i]["caption"], "commonmodule_messages_test");
    EXPECT_EQ(shown[i]["answer"], "IDOK");
  }
  EXPECT_EQ(printed(), u"");
}

TEST_F(MessagesTest, YesNoAlertMakesNoTheDefaultUnlessYesIsAsked) {
  struct Case {
    int defaultButton;
    unsigned style;
    int unanswered;  // what the box gives when nobody answers: its default
  } const cases[] = {{IDYES, 0x24, IDYES}, {IDNO, 0x124, IDNO}, {0, 0x124, IDNO}, {IDCANCEL, 0x124, IDNO}};
  for (const Case& c : cases) EXPECT_EQ(HvDbUtils::YesNoAlert(u"Go on?", c.defaultButton), c.unanswered);
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), std::size(cases));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i]["style"], styleText(cases[i].style)) << cases[i].defaultButton;
    EXPECT_EQ(shown[i]["text"], "Go on?");
  }
}

TEST_F(MessagesTest, YesNoAlertReturnsTheButtonPressed) {
  UiScript script(machine(), "answer IDNO\nanswer IDYES\n");
  EXPECT_EQ(HvDbUtils::YesNoAlert(u"First?", IDYES), IDNO);
  EXPECT_EQ(HvDbUtils::YesNoAlert(u"Second?", IDNO), IDYES);
}

TEST_F(MessagesTest, YesNoCancelAlertMakesCancelTheDefaultUnlessYesOrNoIsAsked) {
  struct Case {
    int defaultButton;
    unsigned style;
    int unanswered;
  } const cases[] = {{IDYES, 0x23, IDYES},
                     {IDNO, 0x123, IDNO},
                     {0, 0x223, IDCANCEL},
                     {IDCANCEL, 0x223, IDCANCEL},
                     {8, 0x223, IDCANCEL}};
  for (const Case& c : cases) EXPECT_EQ(HvDbUtils::YesNoCancelAlert(u"Save?", c.defaultButton), c.unanswered);
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), std::size(cases));
  for (std::size_t i = 0; i < shown.size(); ++i)
    EXPECT_EQ(shown[i]["style"], styleText(cases[i].style)) << cases[i].defaultButton;

  UiScript script(machine(), "answer IDCANCEL\nanswer IDNO\nanswer IDYES\n");
  EXPECT_EQ(HvDbUtils::YesNoCancelAlert(u"Save?", IDYES), IDCANCEL);
  EXPECT_EQ(HvDbUtils::YesNoCancelAlert(u"Save?", IDYES), IDNO);
  EXPECT_EQ(HvDbUtils::YesNoCancelAlert(u"Save?", IDNO), IDYES);
}

TEST_F(MessagesTest, StubAlertNamesTheFunction) {
  HvDbUtils::StubAlert(u"ExportToSheet");
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]["text"], "Function not implemented: ExportToSheet");
  EXPECT_EQ(shown[0]["style"], styleText(0x40));
  EXPECT_EQ(printed(), u"");
}

TEST_F(MessagesTest, StatusTextsAreTheHostsAndSuccessSaysNothing) {
  HvDbUtils::RxErrorMsg(eOk);
  HvDbUtils::RxErrorAlert(eOk);
  EXPECT_EQ(printed(), u"");
  EXPECT_TRUE(boxes().empty());

  HvDbUtils::RxErrorMsg(eKeyNotFound);
  EXPECT_EQ(printed(), std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(eKeyNotFound));
  HvDbUtils::RxErrorAlert(eNotThatKindOfClass);
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]["text"], "ARX ERROR: " + winsim::toUtf8(koraxErrorStatusText(eNotThatKindOfClass)));
  EXPECT_EQ(shown[0]["style"], styleText(0x30));

  // The host's own string, for every code, success and unknown numbers included.
  for (OdResult status : {eOk, eAmbiguousOutput, eNullObjectId, eKeyNotFound, static_cast<OdResult>(9999)})
    EXPECT_EQ(HvDbUtils::RxErrorStr(status), koraxErrorStatusText(status)) << status;
}

TEST_F(MessagesTest, EnamesAndIdsConvertBothWays) {
  const OdDbObjectId layer = addLayer(u"Walls", false);
  ads_name ename = {0, 0};
  ASSERT_EQ(HvDbUtils::ObjIdToEname(layer, ename), eOk);
  EXPECT_NE(ename[1], 0);
  OdDbObjectId back;
  ASSERT_EQ(HvDbUtils::EnameToObjId(ename, back), eOk);
  EXPECT_EQ(back, layer);

  ads_name copy = {7, 7};
  HvDbUtils::CopyEname(copy, ename);
  EXPECT_EQ(copy[0], ename[0]);
  EXPECT_EQ(copy[1], ename[1]);
  EXPECT_EQ(printed(), u"");
}

TEST_F(MessagesTest, FailedEnameConversionsAreReportedAndReturned) {
  ads_name ename = {1, 1};
  EXPECT_EQ(HvDbUtils::ObjIdToEname(OdDbObjectId::kNull, ename), eNullObjectId);
  EXPECT_EQ(printed(), std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(eNullObjectId));
  kxhost::clearCommandLineText();

  const ads_name nowhere = {0, 12345};
  OdDbObjectId id = db()->getLayerTableId();
  EXPECT_EQ(HvDbUtils::EnameToObjId(nowhere, id), eInvalidInput);
  EXPECT_TRUE(id.isNull());
  EXPECT_EQ(printed(), std::u16string(u"\nARX ERROR: ") + koraxErrorStatusText(eInvalidInput));
}

TEST_F(MessagesTest, HandleStringsNameTheObjectsOfTheDatabase) {
  const OdDbObjectId layer = addLayer(u"Doors", false);
  const CString handle = HvDbUtils::ObjIdToHandleStr(layer);
  EXPECT_EQ(std::u16string(handle.GetString()), layer.getHandle().ascii().str());

  CString lower(handle);
  lower.MakeLower();
  for (const CString& text : {handle, lower}) {
    OdDbObjectId found;
    EXPECT_EQ(HvDbUtils::HandleStrToObjId(nullptr, text, found, true), eOk);
    EXPECT_EQ(found, layer);
    found.setNull();
    EXPECT_EQ(HvDbUtils::HandleStrToObjId(db(), text, found, true), eOk);
    EXPECT_EQ(found, layer);
  }
  EXPECT_EQ(printed(), u"");
}

TEST_F(MessagesTest, HandleStringsThatNameNothingGiveFiveAndSpeakOnlyWhenAsked) {
  for (const char16_t* text : {u"FFFFFF", u"", u"XYZ", u"0"}) {
    kxhost::clearCommandLineText();
    OdDbObjectId id = db()->getLayerTableId();
    EXPECT_EQ(HvDbUtils::HandleStrToObjId(nullptr, text, id, false), eAmbiguousOutput);
    EXPECT_TRUE(id.isNull());
    EXPECT_EQ(printed(), u"");

    id = db()->getLayerTableId();
    EXPECT_EQ(HvDbUtils::HandleStrToObjId(nullptr, text, id, true), eAmbiguousOutput);
    EXPECT_TRUE(id.isNull());
    // The SDK's own reason, as the database gives it for that text.
    OdDbObjectId unused;
    const OdResult reason = db()->getOdDbObjectId(unused, false, OdDbHandle(text), 0);
    ASSERT_NE(reason, eOk);
    EXPECT_EQ(printed(), std::u16string(u"\nError: Handle string cannot be converted to database object ID (") +
                             koraxErrorStatusText(reason) + u")");
  }
}

TEST_F(MessagesTest, AGivenDatabaseIsSearchedInsteadOfTheWorkingOne) {
  OdDbDatabase own(true);
  OdDbLayerTable* layers = nullptr;
  ASSERT_EQ(own.getLayerTable(layers, OdDb::kForWrite), eOk);
  auto* layer = new OdDbLayerTableRecord();
  ASSERT_EQ(layer->setName(u"Own"), eOk);
  OdDbObjectId ownId;
  ASSERT_EQ(layers->add(ownId, layer), eOk);
  layer->close();
  layers->close();

  const CString handle = HvDbUtils::ObjIdToHandleStr(ownId);
  OdDbObjectId found;
  EXPECT_EQ(HvDbUtils::HandleStrToObjId(&own, handle, found, false), eOk);
  EXPECT_EQ(found, ownId);
  // The working drawing may give out the same handle, but never this object.
  HvDbUtils::HandleStrToObjId(nullptr, handle, found, false);
  EXPECT_NE(found, ownId);
}

TEST_F(MessagesTest, HandleTextsOfIdsSayWhatWentWrong) {
  EXPECT_EQ(HvDbUtils::ObjIdToHandleStr(OdDbObjectId::kNull), CString(u"AcDbObjectId::kNull"));

  // Erased objects keep their handle.
  const OdDbObjectId erased = addErasedLayer(u"Gone");
  EXPECT_EQ(std::u16string(HvDbUtils::ObjIdToHandleStr(erased).GetString()), erased.getHandle().ascii().str());

  // An object someone holds open for write cannot be read: its status text.
  const OdDbObjectId busy = addLayer(u"Busy", false);
  OdDbObject* held = nullptr;
  ASSERT_EQ(busy.openObject(held, OdDb::kForWrite), eOk);
  EXPECT_EQ(HvDbUtils::ObjIdToHandleStr(busy), CString(koraxErrorStatusText(eWasOpenForWrite)));
  held->close();
  // ObjIdToHandleStr closed what it opened: the object opens for write again.
  EXPECT_NE(HvDbUtils::ObjIdToHandleStr(busy), CString(koraxErrorStatusText(eWasOpenForWrite)));
  ASSERT_EQ(busy.openObject(held, OdDb::kForWrite), eOk);
  held->close();
}

TEST_F(MessagesTest, TheHandleTextOfAnOpenObject) {
  const OdDbObjectId layer = addLayer(u"Open", false);
  OdDbObject* object = nullptr;
  ASSERT_EQ(layer.openObject(object, OdDb::kForRead), eOk);
  EXPECT_EQ(std::u16string(HvDbUtils::ObjToHandleStr(object).GetString()), object->handle().ascii().str());
  object->close();
  EXPECT_EQ(HvDbUtils::ObjToHandleStr(nullptr), CString());
}

TEST_F(MessagesTest, MessageTextsComeFromTheLibraryBeforeTheirFallback) {
  // The library's text wins over whatever fallback the caller gives.
  EXPECT_EQ(std::u16string(LoadExpressText(30202, u"other").text()), u"Lock failed%d\n");
  EXPECT_EQ(std::u16string(LoadExpressText(mwcommon::kIllegalEntry).text()), u"\nIllegal entry!");
  // An id the library lacks: the fallback, or nothing for a null one.
  EXPECT_EQ(std::u16string(LoadExpressText(30209, u"Fallback %s").text()), u"Fallback %s");
  EXPECT_EQ(std::u16string(LoadExpressText(30209, nullptr).text()), u"");
  EXPECT_EQ(printed(), u"");
}

TEST_F(MessagesTest, MessageTextsAreCutToTheirBuffer) {
  // testres.dll has strings of 999 and 1200 characters.
  HINSTANCE& resources = mwcommon::moduleState().expressResources;
  const HINSTANCE express = resources;
  resources = LoadLibraryW(u"C:\\Korax\\testres.dll");
  ASSERT_NE(resources, nullptr);
  const mwcommon::ExpressText exact = LoadExpressText(100, u"");
  EXPECT_EQ(std::u16string(exact.text()), std::u16string(998, u'x') + u"z");
  const mwcommon::ExpressText cut = LoadExpressText(101, u"");
  EXPECT_EQ(std::u16string(cut.text()), std::u16string(999, u'y'));
  FreeLibrary(resources);
  resources = express;

  const std::u16string longFallback(1500, u'f');
  EXPECT_EQ(std::u16string(LoadExpressText(30209, longFallback.c_str()).text()), std::u16string(999, u'f'));
}

}  // namespace

// The module's message boxes: the framework's modal box, captioned by the
// host application, with the style each kind of message asks for.
#include "HvDbUtilsMessages.h"
#include "afxwin.h"
#include "core/expresstext.h"

namespace {

constexpr UINT kAlertStyle = MB_OK | MB_ICONEXCLAMATION;              // 0x30
constexpr UINT kStopStyle = MB_OK | MB_ICONSTOP;                      // 0x10
constexpr UINT kInfoStyle = MB_OK | MB_ICONINFORMATION;               // 0x40
constexpr UINT kYesNoStyle = MB_YESNO | MB_ICONQUESTION;              // 0x24
constexpr UINT kYesNoCancelStyle = MB_YESNOCANCEL | MB_ICONQUESTION;  // 0x23
constexpr UINT kNoHelp = 0;

}  // namespace

namespace HvDbUtils {

void AlertBox(const WCHAR* text) { AfxMessageBox(text, kAlertStyle, kNoHelp); }

void StopAlertBox(const WCHAR* text) { AfxMessageBox(text, kStopStyle, kNoHelp); }

void InfoAlertBox(const WCHAR* text) { AfxMessageBox(text, kInfoStyle, kNoHelp); }

void StubAlert(const WCHAR* functionName) {
  CString text;
  text.Format(LoadExpressText(mwcommon::kFunctionNotImplemented), functionName);
  AfxMessageBox(text, kInfoStyle, kNoHelp);
}

int YesNoAlert(const WCHAR* text, int defaultButton) {
  const UINT style = defaultButton == IDYES ? kYesNoStyle : kYesNoStyle | MB_DEFBUTTON2;
  return AfxMessageBox(text, style, kNoHelp);
}

int YesNoCancelAlert(const WCHAR* text, int defaultButton) {
  UINT style = kYesNoCancelStyle | MB_DEFBUTTON3;
  if (defaultButton == IDYES) style = kYesNoCancelStyle;
  if (defaultButton == IDNO) style = kYesNoCancelStyle | MB_DEFBUTTON2;
  return AfxMessageBox(text, style, kNoHelp);
}

}  // namespace HvDbUtils

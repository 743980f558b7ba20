// SDK status codes as the user sees them: the host's text of the code on the
// command line or in a box.
#include "HvDbUtilsMessages.h"
#include "afxwin.h"
#include "kxed.h"
#include "kxut.h"

namespace HvDbUtils {

void RxErrorMsg(OdResult status) {
  if (status != eOk) kxutPrintf(u"\nARX ERROR: %s", RxErrorStr(status));
}

void RxErrorAlert(OdResult status) {
  if (status == eOk) return;
  CString text;
  text.Format(u"ARX ERROR: %s", RxErrorStr(status));
  AlertBox(text);
}

const WCHAR* RxErrorStr(OdResult status) { return koraxErrorStatusText(status); }

}  // namespace HvDbUtils

// Sending command text to the host as if the user typed it.
#include <algorithm>

#include "HvDbUtilsView.h"
#include "afxwin.h"
#include "core/hostvariables.h"
#include "kxap.h"
#include "kxed.h"

namespace {

/// Queues text as the current document's typed input.
void sendToCurrentDocument(const WCHAR* text) {
  KxApDocManager* documents = kxDocManagerPtr();
  documents->sendStringToExecute(documents->curDocument(), text, false, true, true);
}

}  // namespace

namespace HvDbUtils {

void SendCommandToAcad(const CString& command) {
  if (CWnd* view = kxedGetKoraxDwgView()) ::SetFocus(view->GetSafeHwnd());
  if (mwcommon::shortVariable(u"CMDACTIVE") != 0) {
    const WCHAR escape[] = {27, 0};
    sendToCurrentDocument(escape);
  }
  if (command.IsEmpty() || command.GetLength() > kMaxCommandText) return;
  WCHAR text[kMaxCommandText + 1] = {};
  std::copy_n(command.GetString(), command.GetLength(), text);
  sendToCurrentDocument(text);
}

}  // namespace HvDbUtils

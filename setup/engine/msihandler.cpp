#include "msihandler.h"

#include <atomic>

#include "msilibrary.h"
#include "win32/msgbox.h"

namespace {

constexpr WCHAR kFatalCaption[] = u"FatalError";
constexpr WCHAR kErrorCaption[] = u"Error";
constexpr WCHAR kWarningCaption[] = u"Warning";

// The installer calls the handler on the thread that installs; the flag and
// the language are kept atomically, as the wizard and the quiet flows install
// on different threads.
std::atomic<bool> g_firstCall{true};
std::atomic<WORD> g_languageId{0};

bool isDigit(WCHAR c) { return c >= u'0' && c <= u'9'; }

/// Field `number` of a record in the documented form "1: 0 2: 1033 3: 1252":
/// the value after "N: " read as a decimal number; -1 when the record has no
/// such field or its value is not a number.
long long recordField(LPCWSTR record, int number) {
  for (LPCWSTR at = record; *at; ++at) {
    // A field label starts the record or follows a blank.
    if (!isDigit(*at) || (at != record && at[-1] != u' ')) continue;
    long long label = 0;
    LPCWSTR end = at;
    while (isDigit(*end) && label < 1000) label = label * 10 + (*end++ - u'0');
    if (*end != u':') continue;
    if (label != number) {
      at = end;
      continue;
    }
    ++end;
    while (*end == u' ') ++end;
    if (!isDigit(*end)) return -1;
    long long value = 0;
    while (isDigit(*end) && value <= 0xFFFFFFFFll) value = value * 10 + (*end++ - u'0');
    return value;
  }
  return -1;
}

}  // namespace

int MsiInstallErrorHandler(LPVOID context, UINT messageType, LPCWSTR message) {
  if (g_firstCall.exchange(false)) {
    if (const auto setInternalUI = GetMsiEntryPoints().setInternalUI) setInternalUI(INSTALLUILEVEL_BASIC, nullptr);
  }
  if (!message) return 0;
  const UINT style = messageType & 0x00FFFFFF;
  switch (static_cast<INSTALLMESSAGE>(messageType & 0xFF000000)) {
    case INSTALLMESSAGE_FATALEXIT:
      return MessageBoxW(nullptr, message, kFatalCaption, style);
    case INSTALLMESSAGE_ERROR:
      MessageBeep(style & MB_ICONMASK);
      return MessageBoxExW(nullptr, message, kErrorCaption, style, g_languageId.load());
    case INSTALLMESSAGE_WARNING:
      return MessageBoxW(nullptr, message, kWarningCaption, style);
    case INSTALLMESSAGE_USER:
    case INSTALLMESSAGE_INFO:
    case INSTALLMESSAGE_OUTOFDISKSPACE:
    case INSTALLMESSAGE_ACTIONSTART:
    case INSTALLMESSAGE_ACTIONDATA:
    case INSTALLMESSAGE_PROGRESS:
    case INSTALLMESSAGE_INITIALIZE:
    case INSTALLMESSAGE_TERMINATE:
    case INSTALLMESSAGE_SHOWDIALOG:
      return IDOK;
    case INSTALLMESSAGE_COMMONDATA:
      if (recordField(message, 1) == 0) {
        const long long language = recordField(message, 2);
        if (language >= 0 && language <= 0xFFFF) g_languageId = static_cast<WORD>(language);
      }
      return IDOK;
    default:  // files in use, resolve source and kinds it does not know
      return 0;
  }
}

WORD GetMsiHandlerLanguage() { return g_languageId.load(); }

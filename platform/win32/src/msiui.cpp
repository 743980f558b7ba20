#include "msiui.h"

#include <mutex>

#include "win32/msgbox.h"

namespace winsim::msi {

namespace {

constexpr int kLevelMask = 0x0F;
constexpr int kKnownFlags = INSTALLUILEVEL_HIDECANCEL | INSTALLUILEVEL_PROGRESSONLY | INSTALLUILEVEL_ENDDIALOG |
                            INSTALLUILEVEL_SOURCERESONLY | INSTALLUILEVEL_UACONLY;
constexpr char16_t kInternalCaption[] = u"Windows Installer";

struct UiState {
  std::mutex mutex;
  INSTALLUILEVEL level = INSTALLUILEVEL_DEFAULT;
  HWND owner = nullptr;
  INSTALLUI_HANDLERW handler = nullptr;
  DWORD filter = 0;
  LPVOID context = nullptr;
};

UiState& state() {
  static UiState instance;
  return instance;
}

/// The kinds a person must see; the others are for logs and progress displays.
bool isShownByInternalUi(UINT kind) {
  switch (kind) {
    case INSTALLMESSAGE_FATALEXIT:
    case INSTALLMESSAGE_ERROR:
    case INSTALLMESSAGE_WARNING:
    case INSTALLMESSAGE_USER:
    case INSTALLMESSAGE_OUTOFDISKSPACE:
      return true;
    default:
      return false;
  }
}

}  // namespace

INSTALLUILEVEL setInternalUi(INSTALLUILEVEL level, HWND* owner) {
  const int base = level & kLevelMask;
  if (base > INSTALLUILEVEL_FULL || (level & ~(kLevelMask | kKnownFlags)) != 0) return INSTALLUILEVEL_NOCHANGE;
  UiState& s = state();
  std::lock_guard lock(s.mutex);
  const INSTALLUILEVEL previous = s.level;
  if (owner) std::swap(s.owner, *owner);
  if (base != INSTALLUILEVEL_NOCHANGE) s.level = level;
  return previous;
}

INSTALLUI_HANDLERW setExternalUi(INSTALLUI_HANDLERW handler, DWORD filter, LPVOID context) {
  UiState& s = state();
  std::lock_guard lock(s.mutex);
  const INSTALLUI_HANDLERW previous = s.handler;
  s.handler = handler;
  s.filter = handler ? filter : 0;
  s.context = handler ? context : nullptr;
  return previous;
}

int deliverMessage(UINT type, const std::u16string* text) {
  const UINT kind = type & 0xFF000000u;
  UiState& s = state();
  INSTALLUI_HANDLERW handler;
  DWORD filter;
  LPVOID context;
  {
    std::lock_guard lock(s.mutex);
    handler = s.handler;
    filter = s.filter;
    context = s.context;
  }
  // The handler runs without the lock: it may change the UI level itself.
  const DWORD bit = 1u << (kind >> 24);
  if (handler && (filter & bit)) {
    const int answer = handler(context, type, text ? text->c_str() : nullptr);
    if (answer != 0) return answer;
  }
  if (!text || !isShownByInternalUi(kind)) return 0;
  INSTALLUILEVEL level;
  HWND owner;
  {
    std::lock_guard lock(s.mutex);
    level = s.level;
    owner = s.owner;
  }
  const int base = level & kLevelMask;
  if (base == INSTALLUILEVEL_NONE || (level & INSTALLUILEVEL_PROGRESSONLY)) return 0;
  return MessageBoxW(owner, text->c_str(), kInternalCaption, type & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK));
}

}  // namespace winsim::msi

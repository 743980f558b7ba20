// The dialog manager: DefDlgProcW, the modal loop, EndDialog, keyboard
// navigation (IsDialogMessageW) and the dialog item helpers.
#include <cstdlib>
#include <string>

#include "dialogcreate.h"
#include "dialogstate.h"
#include "win32/errors.h"
#include "windowmanager.h"
#include "winsim/text.h"

using namespace winsim;
using namespace winsim::user;

namespace {

/// Messages whose answer is the dialog procedure's return value itself, not
/// DWLP_MSGRESULT.
bool answersDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case 0x002F:  // WM_VKEYTOITEM
    case 0x002E:  // WM_CHARTOITEM
    case 0x0039:  // WM_COMPAREITEM
    case 0x0037:  // WM_QUERYDRAGICON
      return true;
    default:
      return false;
  }
}

bool isTabStop(HWND hwnd) {
  // The control's own style counts, not its dialog's: a dialog being made
  // is still hidden.
  const DWORD style = windowStyle(hwnd);
  return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

UINT findDefaultButton(HWND dlg) {
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return static_cast<UINT>(GetDlgCtrlID(c));
  return 0;
}

void setDefaultId(HWND dlg, DialogState& state, UINT id) {
  const UINT old = state.defaultId ? state.defaultId : findDefaultButton(dlg);
  state.defaultId = id;
  if (old && old != id)
    if (HWND button = GetDlgItem(dlg, static_cast<int>(old));
        button && (SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
      SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  if (HWND button = GetDlgItem(dlg, static_cast<int>(id));
      button && (SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void restoreFocus(HWND dlg, DialogState* state) {
  HWND target = state && state->savedFocus && IsChild(dlg, state->savedFocus) ? state->savedFocus : nullptr;
  if (!target) target = GetNextDlgTabItem(dlg, nullptr, FALSE);
  if (target) setDialogFocus(target);
}

void saveFocus(HWND dlg, DialogState* state) {
  HWND focus = GetFocus();
  if (state && focus && IsChild(dlg, focus)) state->savedFocus = focus;
}

LRESULT defaultDialogHandling(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = dialogState<DialogState>(dlg);
  switch (message) {
    case WM_ERASEBKGND: {
      auto dc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(SendMessageW(dlg, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dlg)));
      if (brush) {
        RECT client{};
        GetClientRect(dlg, &client);
        FillRect(dc, &client, brush);
      }
      return 1;
    }
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(dlg, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel))
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case DM_GETDEFID: {
      const UINT id = state && state->defaultId ? state->defaultId : findDefaultButton(dlg);
      return id ? MAKELRESULT(static_cast<WORD>(id), DC_HASDEFID) : 0;
    }
    case DM_SETDEFID:
      if (state) setDefaultId(dlg, *state, static_cast<UINT>(wParam));
      return TRUE;
    case WM_NEXTDLGCTL: {
      HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dlg, GetFocus(), wParam != 0);
      if (target) setDialogFocus(target);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE)
        saveFocus(dlg, state.get());
      else
        restoreFocus(dlg, state.get());
      return 0;
    case WM_SETFOCUS:
      restoreFocus(dlg, state.get());
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam) saveFocus(dlg, state.get());
      return DefWindowProcW(dlg, message, wParam, lParam);
    case WM_SETFONT:
      if (state) state->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    case WM_NCDESTROY:
      if (state && state->ownsFont && state->font) {
        DeleteObject(state->font);
        state->font = nullptr;
        state->ownsFont = false;
      }
      return DefWindowProcW(dlg, message, wParam, lParam);
    default:
      return DefWindowProcW(dlg, message, wParam, lParam);
  }
}

HWND topLevelOwner(HWND parent) {
  HWND w = parent;
  while (w && (windowStyle(w) & WS_CHILD)) w = GetParent(w);
  return w;
}

INT_PTR runModal(HWND dlg, HWND owner) {
  auto state = dialogState<DialogState>(dlg);
  if (!state) return -1;
  if (owner && IsWindowEnabled(owner) && !state->ended) {
    EnableWindow(owner, FALSE);
    state->disabledOwner = owner;
  }
  if (!state->ended && !IsWindowVisible(dlg)) ShowWindow(dlg, SW_SHOWNORMAL);
  MSG msg{};
  while (!state->ended) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      // The quit message belongs to the loop outside; it is put back.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageW(dlg, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (state->disabledOwner) {
    EnableWindow(state->disabledOwner, TRUE);
    state->disabledOwner = nullptr;
  }
  const INT_PTR result = state->ended ? state->result : 0;
  DestroyWindow(dlg);
  return result;
}

}  // namespace

namespace winsim::user {

void setDialogFocus(HWND control) {
  if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
  SetFocus(control);
}

}  // namespace winsim::user

LRESULT DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hDlg, DWLP_DLGPROC));
  if (proc) {
    const INT_PTR answer = proc(hDlg, Msg, wParam, lParam);
    if (answer) {
      if (answersDirectly(Msg)) return answer;
      return IsWindow(hDlg) ? GetWindowLongPtrW(hDlg, DWLP_MSGRESULT) : 0;
    }
    if (!IsWindow(hDlg)) return 0;
  }
  return defaultDialogHandling(hDlg, Msg, wParam, lParam);
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  if (!hDialogTemplate) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  HWND owner = topLevelOwner(hWndParent);
  const TemplateOrigin origin = templateOrigin(hDialogTemplate);
  HWND dlg = createDialog(hInstance, {reinterpret_cast<const std::uint8_t*>(hDialogTemplate), origin.size}, origin.id,
                          owner, lpDialogFunc, dwInitParam, true);
  if (!dlg) return -1;
  return runModal(dlg, owner);
}

INT_PTR DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
  auto found = findDialogResource(hInstance, lpTemplateName);
  if (!found) return -1;
  HWND owner = topLevelOwner(hWndParent);
  HWND dlg = createDialog(hInstance, found->bytes, found->id, owner, lpDialogFunc, dwInitParam, true);
  if (!dlg) return -1;
  return runModal(dlg, owner);
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
  auto state = dialogState<DialogState>(hDlg);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->result = nResult;
  state->ended = true;
  if (state->disabledOwner) {
    EnableWindow(state->disabledOwner, TRUE);
    state->disabledOwner = nullptr;
  }
  if (state->modal) ShowWindow(hDlg, SW_HIDE);
  // The modal loop may be waiting in GetMessageW: something to read wakes it.
  PostMessageW(hDlg, WM_NULL, 0, 0);
  return TRUE;
}

BOOL IsDialogMessageW(HWND hDlg, LPMSG lpMsg) {
  if (!lpMsg || !lpMsg->hwnd || !hDlg) return FALSE;
  if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
  const UINT message = lpMsg->message;
  if (message == WM_KEYDOWN || message == WM_CHAR) {
    const LRESULT code = SendMessageW(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg));
    const int key = static_cast<int>(lpMsg->wParam);
    if (!(code & DLGC_WANTMESSAGE)) {
      if (message == WM_KEYDOWN) {
        if (key == VK_TAB && !(code & DLGC_WANTTAB)) {
          const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
          if (HWND next = GetNextDlgTabItem(hDlg, GetFocus(), back ? TRUE : FALSE)) setDialogFocus(next);
          return TRUE;
        }
        if (key == VK_ESCAPE) {
          SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
          return TRUE;
        }
        if (key == VK_RETURN) {
          // A focused push button is the one Enter presses; else the default.
          UINT id = 0;
          HWND focus = GetFocus();
          const LRESULT focusCode = focus ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
          if (focus && IsChild(hDlg, focus) && (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
            id = static_cast<UINT>(GetDlgCtrlID(focus));
          } else {
            const LRESULT def = SendMessageW(hDlg, DM_GETDEFID, 0, 0);
            id = HIWORD(static_cast<DWORD_PTR>(def)) == DC_HASDEFID ? LOWORD(static_cast<DWORD_PTR>(def)) : IDOK;
          }
          HWND button = GetDlgItem(hDlg, static_cast<int>(id));
          if (!button || IsWindowEnabled(button))
            SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
          return TRUE;
        }
      } else {
        if ((key == VK_TAB && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) ||
            ((key == VK_ESCAPE || key == VK_RETURN) && !(code & DLGC_WANTALLKEYS)))
          return TRUE;
      }
    }
  }
  TranslateMessage(lpMsg);
  DispatchMessageW(lpMsg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  std::vector<HWND> controls;
  for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) controls.push_back(c);
  if (controls.empty()) return nullptr;
  const auto n = static_cast<long>(controls.size());
  long start = -1;
  for (long i = 0; i < n; ++i)
    if (controls[static_cast<std::size_t>(i)] == hCtl) start = i;
  const long step = bPrevious ? -1 : 1;
  if (start < 0) start = bPrevious ? 0 : n - 1;
  for (long k = 1; k <= n; ++k) {
    HWND c = controls[static_cast<std::size_t>(((start + step * k) % n + n) % n)];
    if (isTabStop(c)) return c;
  }
  return nullptr;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  std::vector<HWND> controls;
  for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) controls.push_back(c);
  std::size_t at = 0;
  while (at < controls.size() && controls[at] != hCtl) ++at;
  if (at == controls.size()) return nullptr;
  // The group runs from the control with WS_GROUP at or before hCtl up to the next one.
  std::size_t first = at;
  while (first > 0 && !(windowStyle(controls[first]) & WS_GROUP)) --first;
  std::size_t last = at + 1;
  while (last < controls.size() && !(windowStyle(controls[last]) & WS_GROUP)) ++last;
  const std::size_t size = last - first;
  for (std::size_t k = 1; k < size; ++k) {
    const std::size_t i = bPrevious ? first + (at - first + size - k) % size : first + (at - first + k) % size;
    const DWORD style = windowStyle(controls[i]);
    if ((style & WS_VISIBLE) && !(style & WS_DISABLED)) return controls[i];
  }
  return hCtl;
}

LRESULT SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SendMessageW(item, Msg, wParam, lParam) : 0;
}

BOOL SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SetWindowTextW(item, lpString) : FALSE;
}

UINT GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  if (!item) {
    if (lpString && cchMax > 0) lpString[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(item, lpString, cchMax));
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
  const std::string text = bSigned ? std::to_string(static_cast<int>(uValue)) : std::to_string(uValue);
  return SetDlgItemTextW(hDlg, nIDDlgItem, fromUtf8(text).c_str());
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
  WCHAR buffer[32] = {};
  GetDlgItemTextW(hDlg, nIDDlgItem, buffer, 32);
  const std::string text = toUtf8(std::u16string_view(buffer));
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  const bool ok = !text.empty() && end && *end == 0 && (bSigned || value >= 0);
  if (lpTranslated) *lpTranslated = ok ? TRUE : FALSE;
  return ok ? static_cast<UINT>(value) : 0;
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND item = GetDlgItem(hDlg, nIDButton);
  if (!item) return FALSE;
  SendMessageW(item, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  return static_cast<UINT>(SendDlgItemMessageW(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
    if (HWND item = GetDlgItem(hDlg, id))
      SendMessageW(item, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}

// Dialogs made from templates: the font and its base units, dialog units to
// pixels, the controls, WM_SETFONT and WM_INITDIALOG, and the transcript's
// record of a dialog shown.
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "dialogcreate.h"
#include "dialogstate.h"
#include "moduletable.h"
#include "win32/errors.h"
#include "windowmanager.h"
#include "winsim/dialogtemplate.h"
#include "winsim/text.h"
#include "winsim/transcript.h"
#include "winsim/windowing.h"

using namespace winsim;
using namespace winsim::user;

namespace {

constexpr int kScreenDpi = 96;
constexpr std::u16string_view kAlphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// A template in memory that no module holds has no known length; it is read
// as the platform reads it, trusting it to end where its own counts say.
constexpr std::size_t kUnboundedTemplate = 1 << 20;

/// a * b / c, rounded half away from zero, as the platform's MulDiv.
int mulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::llabs(c) / 2;
  const long long rounded =
      (product >= 0) == (c > 0) ? product + half * (c > 0 ? 1 : -1) : product - half * (c > 0 ? 1 : -1);
  return static_cast<int>(rounded / c);
}

}  // namespace

namespace winsim::user {

BaseUnits baseUnitsOf(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE extent{};
  GetTextExtentPoint32W(dc, kAlphabet.data(), static_cast<int>(kAlphabet.size()), &extent);
  SelectObject(dc, old);
  DeleteDC(dc);
  // The average width of the 52 letters, rounded: ((cx / 26) + 1) / 2.
  return BaseUnits{(extent.cx / 26 + 1) / 2, tm.tmHeight};
}

TemplateOrigin templateOrigin(const void* bytes) {
  for (const auto& module : modules::loadedModules()) {
    if (!module->image) continue;
    for (const auto& resource : module->image->resources()) {
      if (!resource.type.isId() || resource.type.id() != 5 || !resource.name.isId()) continue;
      const auto data = module->image->bytes(resource);
      if (data.data() == bytes) return TemplateOrigin{resource.name.id(), data.size()};
    }
  }
  return TemplateOrigin{0, kUnboundedTemplate};
}

HWND createDialog(HINSTANCE instance, std::span<const std::uint8_t> bytes, WORD templateId, HWND parent, DLGPROC proc,
                  LPARAM param, bool modal) {
  auto decoded = decodeDialogTemplate(bytes);
  if (!decoded) {
    SetLastError(decoded.error().code);
    return nullptr;
  }
  const DialogTemplate& t = decoded.value();
  auto dialog = std::make_shared<DialogState>();
  dialog->templateId = templateId;
  dialog->modal = modal;
  if ((t.style & DS_SETFONT) && t.font) {
    LOGFONTW lf{};
    lf.lfHeight = -mulDiv(t.font->pointSize, kScreenDpi, 72);
    lf.lfWeight = t.font->weight ? t.font->weight : FW_NORMAL;
    lf.lfItalic = t.font->italic ? 1 : 0;
    lf.lfCharSet = t.font->charset;
    const std::size_t n = std::min<std::size_t>(t.font->face.size(), LF_FACESIZE - 1);
    std::copy_n(t.font->face.data(), n, lf.lfFaceName);
    dialog->font = CreateFontIndirectW(&lf);
    dialog->ownsFont = dialog->font != nullptr;
  }
  const BaseUnits units = baseUnitsOf(dialog->font);
  dialog->baseX = units.x;
  dialog->baseY = units.y;
  auto toX = [&](int dlu) { return mulDiv(dlu, units.x, 4); };
  auto toY = [&](int dlu) { return mulDiv(dlu, units.y, 8); };

  const DWORD style = t.style;
  DWORD exStyle = t.exStyle;
  if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  if (style & DS_CONTROL) exStyle |= WS_EX_CONTROLPARENT;
  RECT frame{0, 0, toX(t.cx), toY(t.cy)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  int x = toX(t.x) + frame.left;
  int y = toY(t.y) + frame.top;
  if (style & WS_CHILD) {
    x = toX(t.x);
    y = toY(t.y);
  } else if (style & (DS_CENTER | DS_CENTERMOUSE)) {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  } else if (parent && !(style & DS_ABSALIGN)) {
    POINT origin{0, 0};
    ClientToScreen(parent, &origin);
    x = origin.x + toX(t.x);
    y = origin.y + toY(t.y);
  }
  const std::u16string className = t.windowClass.kind == NameOrOrdinal::Kind::Name ? t.windowClass.name : u"#32770";
  HWND hwnd = CreateWindowExW(exStyle, className.c_str(), t.title.c_str(), style & ~WS_VISIBLE, x, y, width, height,
                              parent, nullptr, instance, reinterpret_cast<LPVOID>(param));
  if (!hwnd) {
    if (dialog->ownsFont) DeleteObject(dialog->font);
    return nullptr;
  }
  {
    State& s = state();
    Lock lock(s.mutex);
    if (Window* w = findWindow(s, hwnd)) w->dialog = dialog;
  }
  SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  if (dialog->font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font), FALSE);

  for (const DialogItem& item : t.items) {
    const std::u16string itemClass = item.className();
    if (itemClass.empty()) {
      if (style & DS_NOFAILCREATE) continue;
      DestroyWindow(hwnd);
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    DWORD itemStyle = item.style | WS_CHILD;
    DWORD itemEx = item.exStyle | WS_EX_NOPARENTNOTIFY;
    // The three-dimensional look: a bordered edit control gets a sunken edge.
    if (upperCase(itemClass) == u"EDIT" && (itemStyle & WS_BORDER)) {
      itemStyle &= ~WS_BORDER;
      itemEx |= WS_EX_CLIENTEDGE;
    }
    WCHAR ordinal[3] = {0xFFFF, item.text.ordinal, 0};
    LPCWSTR text = item.text.kind == NameOrOrdinal::Kind::Ordinal ? ordinal
                   : item.text.kind == NameOrOrdinal::Kind::Name  ? item.text.name.c_str()
                                                                  : u"";
    void* creation = item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data());
    HWND control = CreateWindowExW(itemEx, itemClass.c_str(), text, itemStyle, toX(item.x), toY(item.y), toX(item.cx),
                                   toY(item.cy), hwnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)),
                                   instance, creation);
    if (!control) {
      if (style & DS_NOFAILCREATE) continue;
      DestroyWindow(hwnd);
      return nullptr;
    }
    if (dialog->font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font), FALSE);
  }

  HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
  const LRESULT setFocus = SendMessageW(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!IsWindow(hwnd)) return nullptr;
  if (setFocus && first && IsWindow(first)) {
    dialog->savedFocus = first;
    if (IsWindowVisible(hwnd)) setDialogFocus(first);
  }
  if ((style & WS_VISIBLE) && !dialog->ended) ShowWindow(hwnd, SW_SHOWNORMAL);
  return hwnd;
}

void announceDialog(HWND dialog) {
  TranscriptRecord record("Dialog");
  if (const WORD id = dialogTemplateId(dialog)) record.number("template", id);
  record.text("title", windowText(dialog));
  (void)appendTranscript(std::move(record));  // a dialog without a machine still shows
}

}  // namespace winsim::user

namespace winsim {

WORD dialogTemplateId(HWND hwnd) {
  auto dialog = user::dialogState<user::DialogState>(hwnd);
  return dialog ? dialog->templateId : 0;
}

}  // namespace winsim

HWND CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent, DLGPROC lpDialogFunc,
                                LPARAM dwInitParam) {
  if (!lpTemplate) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const TemplateOrigin origin = templateOrigin(lpTemplate);
  return createDialog(hInstance, {reinterpret_cast<const std::uint8_t*>(lpTemplate), origin.size}, origin.id,
                      hWndParent, lpDialogFunc, dwInitParam, false);
}

HWND CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
  auto found = findDialogResource(hInstance, lpTemplateName);
  if (!found) return nullptr;
  return createDialog(hInstance, found->bytes, found->id, hWndParent, lpDialogFunc, dwInitParam, false);
}

namespace winsim::user {

std::optional<DialogResource> findDialogResource(HINSTANCE instance, LPCWSTR name) {
  HRSRC found = FindResourceW(instance, name, RT_DIALOG);
  if (!found) return std::nullopt;
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
  if (!data) return std::nullopt;
  const WORD id = IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)) : 0;
  return DialogResource{{data, SizeofResource(instance, found)}, id};
}

}  // namespace winsim::user

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
  if (!lpRect) return FALSE;
  auto dialog = dialogState<DialogState>(hDlg);
  BaseUnits units{};
  if (dialog) {
    units = BaseUnits{dialog->baseX, dialog->baseY};
  } else {
    const LONG system = GetDialogBaseUnits();
    units = BaseUnits{LOWORD(static_cast<DWORD>(system)), HIWORD(static_cast<DWORD>(system))};
  }
  lpRect->left = mulDiv(lpRect->left, units.x, 4);
  lpRect->right = mulDiv(lpRect->right, units.x, 4);
  lpRect->top = mulDiv(lpRect->top, units.y, 8);
  lpRect->bottom = mulDiv(lpRect->bottom, units.y, 8);
  return TRUE;
}

LONG GetDialogBaseUnits() {
  static const BaseUnits units = baseUnitsOf(nullptr);
  return static_cast<LONG>(MAKELONG(static_cast<WORD>(units.x), static_cast<WORD>(units.y)));
}

// The "RichEdit20W" class: a document streamed in with EM_STREAMIN (rich
// text through the RTF reader, winsim/rtf.h, or plain text), laid out and
// drawn with winsim/rtflayout.h in the control's default character format,
// over its background colour (none with WS_EX_TRANSPARENT).
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "controls.h"
#include "richedit.h"
#include "windowmanager.h"
#include "winsim/codepage.h"
#include "winsim/rtf.h"
#include "winsim/rtflayout.h"

namespace winsim::user {

namespace {

constexpr int kMargin = 1;
// A stream longer than this is cut, as the control's text limit cuts it.
constexpr std::size_t kMaxStream = std::size_t{64} << 20;
constexpr int kTwipsPerPixel = 15;  // 1440 twips an inch, 96 pixels an inch

struct RichEditState : ControlState {
  RtfDocument document;
  std::unique_ptr<RtfLayout> layout;
  int laidOutWidth = -1;
  CHARFORMAT2W format{};
  COLORREF background = CLR_INVALID;  // CLR_INVALID: the system window colour
  DWORD eventMask = 0;
  CHARRANGE selection{0, 0};
  HFONT font = nullptr;
};

CHARFORMAT2W defaultFormat() {
  CHARFORMAT2W f{};
  f.cbSize = sizeof f;
  f.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK | CFM_SIZE | CFM_COLOR |
             CFM_FACE | CFM_OFFSET | CFM_CHARSET;
  f.dwEffects = CFE_AUTOCOLOR;
  f.yHeight = 8 * 20;  // 8 points
  f.bCharSet = DEFAULT_CHARSET;
  f.bPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  std::u16string_view face = u"MS Shell Dlg";
  std::copy(face.begin(), face.end(), f.szFaceName);
  f.wWeight = FW_NORMAL;
  return f;
}

RtfDefaults defaultsOf(const CHARFORMAT2W& f) {
  RtfDefaults d;
  d.color = (f.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : f.crTextColor;
  d.face = f.szFaceName;
  return d;
}

/// A plain text as a document: one paragraph a line, in the default format.
RtfDocument documentOfText(std::u16string_view text, const CHARFORMAT2W& f) {
  RtfDocument doc;
  RtfCharFormat format;
  format.bold = (f.dwEffects & CFE_BOLD) != 0;
  format.italic = (f.dwEffects & CFE_ITALIC) != 0;
  format.underline = (f.dwEffects & CFE_UNDERLINE) != 0;
  format.halfPoints = std::max<int>(1, f.yHeight / 10);
  format.face = f.szFaceName;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = text.size();
    RtfParagraph paragraph;
    paragraph.markFormat = format;
    if (end > start) paragraph.runs.push_back(RtfRun{std::u16string(text.substr(start, end - start)), format});
    doc.paragraphs.push_back(std::move(paragraph));
    if (end == text.size()) break;
    start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
  }
  return doc;
}

void setDocument(HWND hwnd, RichEditState& st, RtfDocument document) {
  st.document = std::move(document);
  st.layout.reset();
  st.selection = CHARRANGE{0, 0};
  storeWindowText(hwnd, st.document.plainText());
  InvalidateRect(hwnd, nullptr, TRUE);
}

/// Pulls the whole stream from the application's callback.
std::string readStream(EDITSTREAM& stream) {
  std::string bytes;
  stream.dwError = 0;
  if (!stream.pfnCallback) return bytes;
  BYTE chunk[4096];
  for (;;) {
    LONG got = 0;
    const DWORD error = stream.pfnCallback(stream.dwCookie, chunk, static_cast<LONG>(sizeof chunk), &got);
    if (error) {
      stream.dwError = error;
      break;
    }
    if (got <= 0) break;
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(got), sizeof chunk);
    if (bytes.size() + n > kMaxStream) break;
    bytes.append(reinterpret_cast<const char*>(chunk), n);
  }
  return bytes;
}

LRESULT streamIn(HWND hwnd, RichEditState& st, UINT flags, EDITSTREAM* stream) {
  if (!stream) return 0;
  const std::string bytes = readStream(*stream);
  RtfDocument document;
  if ((flags & 0x3) == SF_TEXT) {
    if (flags & SF_UNICODE) {
      std::u16string text(bytes.size() / 2, u'\0');
      std::memcpy(text.data(), bytes.data(), text.size() * 2);
      document = documentOfText(text, st.format);
    } else {
      document = documentOfText(fromAnsi(bytes), st.format);
    }
  } else {
    auto parsed = parseRtf(bytes);
    if (!parsed) {
      stream->dwError = parsed.error().code;
      return 0;
    }
    document = std::move(parsed.value());
  }
  setDocument(hwnd, st, std::move(document));
  return static_cast<LRESULT>(st.document.plainText().size());
}

void applyFormat(RichEditState& st, const CHARFORMATW& in) {
  CHARFORMAT2W& f = st.format;
  const DWORD mask = in.dwMask;
  const DWORD effects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_PROTECTED | CFE_LINK;
  f.dwEffects = (f.dwEffects & ~(mask & effects)) | (in.dwEffects & mask & effects);
  if (mask & CFM_COLOR) {
    f.dwEffects = (f.dwEffects & ~CFE_AUTOCOLOR) | (in.dwEffects & CFE_AUTOCOLOR);
    f.crTextColor = in.crTextColor;
  }
  if (mask & CFM_SIZE) f.yHeight = in.yHeight;
  if (mask & CFM_OFFSET) f.yOffset = in.yOffset;
  if (mask & CFM_CHARSET) f.bCharSet = in.bCharSet;
  if (mask & CFM_FACE) {
    std::copy(std::begin(in.szFaceName), std::end(in.szFaceName), f.szFaceName);
    f.szFaceName[LF_FACESIZE - 1] = 0;
    f.bPitchAndFamily = in.bPitchAndFamily;
  }
  if (in.cbSize >= sizeof(CHARFORMAT2W)) {
    const auto& in2 = static_cast<const CHARFORMAT2W&>(in);
    if (mask & CFM_WEIGHT) f.wWeight = in2.wWeight;
    if (mask & CFM_BACKCOLOR) f.crBackColor = in2.crBackColor;
  }
  st.layout.reset();
}

void paint(HWND hwnd, HDC dc, RichEditState& st) {
  RECT client = clientRect(hwnd);
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  if (!(exStyle & WS_EX_TRANSPARENT)) {
    const COLORREF color = st.background == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : st.background;
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
  RECT area{client.left + kMargin, client.top + kMargin, client.right - kMargin, client.bottom - kMargin};
  const int width = std::max<int>(1, area.right - area.left);
  if (!st.layout || st.laidOutWidth != width) {
    st.layout = std::make_unique<RtfLayout>(st.document, defaultsOf(st.format));
    st.layout->layout(dc, width);
    st.laidOutWidth = width;
  }
  st.layout->draw(dc, area, 0);
}

}  // namespace

LRESULT richEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto st = controlState<RichEditState>(hwnd);
  if (!st) {
    if (message == WM_NCDESTROY) return DefWindowProcW(hwnd, message, wParam, lParam);
    auto fresh = std::make_shared<RichEditState>();
    fresh->format = defaultFormat();
    setControlState(hwnd, fresh);
    st = controlState<RichEditState>(hwnd);
    if (!st) return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const DWORD style = windowStyle(hwnd);
  switch (message) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (cs && cs->lpszName && cs->lpszName[0] && cs->lpszName[0] != 0xFFFF)
        st->document = documentOfText(cs->lpszName, st->format);
      const LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
      storeWindowText(hwnd, st->document.plainText());
      return r;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | ((style & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(hwnd, dc, *st);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE:
      st->layout.reset();
      return 0;
    case WM_SETTEXT:
      setDocument(hwnd, *st, documentOfText(lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"", st->format));
      return TRUE;
    case WM_CHAR: {
      if (style & ES_READONLY) return 0;
      std::u16string text = windowText(hwnd);
      const WCHAR ch = static_cast<WCHAR>(wParam);
      const auto start = static_cast<std::size_t>(
          std::clamp<LONG>(std::min(st->selection.cpMin, st->selection.cpMax), 0, static_cast<LONG>(text.size())));
      const auto end = static_cast<std::size_t>(
          std::clamp<LONG>(std::max(st->selection.cpMin, st->selection.cpMax), 0, static_cast<LONG>(text.size())));
      std::size_t caret = start;
      if (ch == VK_BACK) {
        if (start == end && start > 0) {
          text.erase(start - 1, 1);
          caret = start - 1;
        } else {
          text.erase(start, end - start);
        }
      } else if (ch == u'\r' || ch >= 0x20 || ch == u'\t') {
        const std::u16string insert = ch == u'\r' ? u"\r\n" : std::u16string(1, ch);
        text.replace(start, end - start, insert);
        caret = start + insert.size();
      } else {
        return 0;
      }
      setDocument(hwnd, *st, documentOfText(text, st->format));
      st->selection = CHARRANGE{static_cast<LONG>(caret), static_cast<LONG>(caret)};
      notifyParent(hwnd, EN_CHANGE);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (!hasFocus(hwnd)) SetFocus(hwnd);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETFONT: {
      // The font becomes the default character format's face and size.
      st->font = reinterpret_cast<HFONT>(wParam);
      LOGFONTW lf{};
      if (st->font && GetObjectW(st->font, sizeof lf, &lf)) {
        std::copy(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), st->format.szFaceName);
        if (lf.lfHeight) st->format.yHeight = std::abs(lf.lfHeight) * kTwipsPerPixel;
        st->format.wWeight = static_cast<WORD>(lf.lfWeight);
        st->format.dwEffects = (st->format.dwEffects & ~(CFE_BOLD | CFE_ITALIC)) |
                               (lf.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (lf.lfItalic ? CFE_ITALIC : 0);
        st->format.bCharSet = lf.lfCharSet;
        st->layout.reset();
      }
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(st->font);
    case EM_STREAMIN:
      return streamIn(hwnd, *st, static_cast<UINT>(wParam), reinterpret_cast<EDITSTREAM*>(lParam));
    case EM_GETCHARFORMAT: {
      auto* out = reinterpret_cast<CHARFORMATW*>(lParam);
      if (!out || (out->cbSize != sizeof(CHARFORMATW) && out->cbSize != sizeof(CHARFORMAT2W))) return 0;
      const UINT size = out->cbSize;
      std::memcpy(static_cast<void*>(out), &st->format, size);
      out->cbSize = size;
      out->dwMask = st->format.dwMask;
      return static_cast<LRESULT>(out->dwMask);
    }
    case EM_SETCHARFORMAT: {
      const auto* in = reinterpret_cast<const CHARFORMATW*>(lParam);
      if (!in || (in->cbSize != sizeof(CHARFORMATW) && in->cbSize != sizeof(CHARFORMAT2W))) return FALSE;
      // The control shows its text in one format: the default one, whatever
      // range the call names.
      applyFormat(*st, *in);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETBKGNDCOLOR: {
      const COLORREF old = st->background == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : st->background;
      st->background = wParam ? CLR_INVALID : static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    case EM_SETEVENTMASK: {
      const DWORD old = st->eventMask;
      st->eventMask = static_cast<DWORD>(lParam);
      return static_cast<LRESULT>(old);
    }
    case EM_GETEVENTMASK:
      return static_cast<LRESULT>(st->eventMask);
    case EM_SETREADONLY: {
      const DWORD now = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
      SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(wParam ? now | ES_READONLY : now & ~ES_READONLY));
      return TRUE;
    }
    case EM_SETSEL: {
      const auto length = static_cast<LONG>(windowText(hwnd).size());
      const auto start = static_cast<LONG>(static_cast<INT_PTR>(wParam));
      const auto end = static_cast<LONG>(lParam);
      if (start >= 0) st->selection = CHARRANGE{std::min(start, length), end < 0 ? length : std::min(end, length)};
      return 0;
    }
    case EM_EXSETSEL: {
      const auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
      if (range) SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(static_cast<INT_PTR>(range->cpMin)), range->cpMax);
      return st->selection.cpMax;
    }
    case EM_GETSEL:
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(st->selection.cpMin);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(st->selection.cpMax);
      return MAKELRESULT(static_cast<WORD>(st->selection.cpMin), static_cast<WORD>(st->selection.cpMax));
    case EM_EXGETSEL:
      if (lParam) *reinterpret_cast<CHARRANGE*>(lParam) = st->selection;
      return 0;
    case EM_SCROLLCARET:
      return 0;  // the document is shown from its top; the caret is at its start
    case EM_EXLIMITTEXT:
    case EM_LIMITTEXT:
    case EM_AUTOURLDETECT:
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace winsim::user

#include "labelfields.h"

#include <algorithm>
#include <array>

#include "afxwindowdc.h"
#include "win32/sysinfo.h"

int LabelFields::charactersThatFit(int width, const TEXTMETRICW& metrics) {
  // The platform sets TMPF_FIXED_PITCH for fonts of VARIABLE pitch.
  const int pitchFactor = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) ? 3 : 2;
  const int perCharacter = (pitchFactor * metrics.tmAveCharWidth) / 2;
  if (perCharacter <= 0) return 0;
  return std::max(width / perCharacter, 0);
}

LabelFields::~LabelFields() {
  if (m_ownedCursor) DestroyCursor(m_ownedCursor);
}

void LabelFields::SetFallbackHandCursor() {
  if (m_hCursor) return;
  std::array<WCHAR, MAX_PATH> folder{};
  const UINT length = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) return;
  CString path(folder.data());
  if (path.Right(1) != u"\\") path += u"\\";
  path += u"winhlp32.exe";
  HMODULE library = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!library) return;
  if (HCURSOR shared = LoadCursorW(library, MAKEINTRESOURCEW(kFallbackHandCursorId))) {
    // The library's cursor goes with the library: keep a copy of our own.
    m_ownedCursor = CopyCursor(shared);
    m_hCursor = m_ownedCursor;
  }
  FreeLibrary(library);
}

void LabelFields::attachLabel(CWnd& label) {
  label.ModifyStyle(0, SS_NOTIFY);
  if (CWnd* parent = label.GetParent()) label.SetFont(parent->GetFont(), TRUE);
}

CBitmap* LabelFields::statePicture(CBitmap& normal, CBitmap& stateB, CBitmap& stateA) {
  if (m_bStateA && stateA.GetSafeHandle()) return &stateA;
  if (m_bStateB && stateB.GetSafeHandle()) return &stateB;
  if (normal.GetSafeHandle()) return &normal;
  return nullptr;
}

void LabelFields::paintLabel(CWnd& label, TextFit fit) {
  CPaintDC dc(&label);
  dc.SetTextColor(m_crText);
  dc.SetBkMode(TRANSPARENT);
  CFont* oldFont = nullptr;
  if (CFont* font = label.GetFont()) oldFont = dc.SelectObject(font);

  CRect rect;
  label.GetClientRect(&rect);
  if (m_bBorder) {
    CPen pen(PS_SOLID, 1, m_crBorder);
    CBrush brush(m_crFill);
    CPen* oldPen = dc.SelectObject(&pen);
    CBrush* oldBrush = dc.SelectObject(&brush);
    dc.Rectangle(&rect);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    rect.DeflateRect(1, 1);
  }

  CDC pictures;
  pictures.CreateCompatibleDC(&dc);
  if (CBitmap* back = statePicture(m_bmpBack, m_bmpBackStateB, m_bmpBackStateA)) {
    BITMAP info{};
    back->GetBitmap(&info);
    CBitmap* old = pictures.SelectObject(back);
    dc.BitBlt(rect.left, rect.top, std::min<int>(info.bmWidth, rect.Width()),
              std::min<int>(info.bmHeight, rect.Height()), &pictures, 0, 0, SRCCOPY);
    pictures.SelectObject(old);
  }
  int x = 4;
  if (CBitmap* icon = statePicture(m_bmpIcon, m_bmpIconStateB, m_bmpIconStateA)) {
    BITMAP info{};
    icon->GetBitmap(&info);
    const int width = info.bmHeight > 0 ? info.bmWidth * rect.Height() / info.bmHeight : 0;
    CBitmap* old = pictures.SelectObject(icon);
    dc.StretchBlt(rect.left, rect.top, width, rect.Height(), &pictures, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    pictures.SelectObject(old);
    x = width + 4;
  }

  TEXTMETRICW metrics{};
  dc.GetTextMetrics(&metrics);
  const int y = rect.top + (rect.Height() - metrics.tmHeight) / 2;
  CString text;
  label.GetWindowText(text);
  if (fit == TextFit::CutToWidth) text = text.Left(charactersThatFit(rect.Width(), metrics));
  if (!text.IsEmpty()) dc.TextOut(x, y, text);

  if (m_bUnderline) {
    CPen pen(PS_SOLID, 1, m_crUnderline);
    CPen* oldPen = dc.SelectObject(&pen);
    const int lineY = y + metrics.tmHeight + 1;
    dc.MoveTo(x - 2, lineY);
    dc.LineTo(x - 2 + dc.GetTextExtent(text).cx, lineY);
    dc.SelectObject(oldPen);
  }
  if (oldFont) dc.SelectObject(oldFont);
}

void LabelFields::repaintBehind(CWnd& label) {
  CWnd* parent = label.GetParent();
  if (!parent) return;
  CRect place;
  label.GetWindowRect(&place);
  parent->ScreenToClient(&place);
  parent->InvalidateRect(&place, TRUE);
  label.Invalidate();
}

BOOL LabelFields::setLabelCursor() const {
  if (!m_hCursor) return FALSE;
  ::SetCursor(m_hCursor);
  return TRUE;
}

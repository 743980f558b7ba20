// The framework's message box.
#include "afxwin.h"
#include "winapp.h"

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT) {
  if ((nType & MB_ICONMASK) == 0) nType |= MB_ICONEXCLAMATION;
  const CString caption = winsim::mfc::messageBoxCaption();
  return MessageBoxW(nullptr, lpszText ? lpszText : u"", caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  // The string is taken in place (length 0 asks for a pointer into the
  // resource), so a prompt of any length is shown whole.
  const WCHAR* text = nullptr;
  const int length = LoadStringW(AfxGetResourceHandle(), nIDPrompt, reinterpret_cast<LPWSTR>(&text), 0);
  const CString prompt = length > 0 && text ? CString(text, length) : CString();
  return AfxMessageBox(prompt, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

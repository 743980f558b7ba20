// Shows the sample dialog of IntallerRes.dll (template 200: a stretched
// picture, a text, an edit box, OK and Cancel) modally, so that a UI script
// can drive it under `winsim run`:
//
//   winsim-dialogdemo
//
// OK prints the edit box's text and exits with 1, Cancel exits with 2; a
// missing library or template exits with 3.
#include <cstdio>
#include <string>

#include "win32/module.h"
#include "win32/user.h"
#include "winsim/text.h"

namespace {

constexpr WORD kSampleDialog = 200;
constexpr int kSampleEdit = 1002;

INT_PTR demoProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextW(dlg, kSampleEdit, u"");
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        WCHAR text[MAX_PATH] = {};
        GetDlgItemTextW(dlg, kSampleEdit, text, MAX_PATH);
        std::printf("%s\n", winsim::toUtf8(std::u16string_view(text)).c_str());
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int main() {
  // The library is 32-bit, as the setup program is: it is read for its resources.
  HMODULE resources = LoadLibraryExW(u"IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!resources) {
    std::fprintf(stderr, "dialogdemo: IntallerRes.dll not found\n");
    return 3;
  }
  const INT_PTR result = DialogBoxParamW(resources, MAKEINTRESOURCEW(kSampleDialog), nullptr, demoProc, 0);
  FreeLibrary(resources);
  if (result == -1) {
    std::fprintf(stderr, "dialogdemo: the dialog could not be made\n");
    return 3;
  }
  return static_cast<int>(result);
}

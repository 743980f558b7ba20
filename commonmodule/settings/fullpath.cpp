// Full file paths in a folder that is made on the way, and the module's own
// folders.
#include "HvDbUtilsFiles.h"
#include "afxwin.h"
#include "core/expresstext.h"
#include "moduleframe.h"
#include "win32/module.h"

namespace HvDbUtils {

int GetFileFullPath(const CString& folder, const CString& fileName, const CString& extension, CString& fullPath) {
  fullPath.Empty();
  if (folder.FindOneOf(u"\\/:") < 0) return 0;
  CString directory(folder);
  directory.Replace(u'/', u'\\');
  directory.TrimRight(u'\\');
  directory += u'\\';
  CString suffix(extension);
  if (!suffix.IsEmpty() && suffix[0] != u'.') suffix.Insert(0, u'.');
  // The folder part and the joined path have fixed room (255 and 259
  // characters): a longer one is refused before anything is made.
  if (directory.GetLength() > kMaxFullPathFolder ||
      directory.GetLength() + fileName.GetLength() + suffix.GetLength() > kMaxFullPath)
    return 0;
  if (!MkdirEx(directory)) {
    AfxMessageBox(LoadExpressText(mwcommon::kCreateDirectoryFailed).text(), MB_OK, 0);
    return 0;
  }
  fullPath = directory + fileName + suffix;
  return 1;
}

CString GetModulePath() {
  WCHAR path[MAX_PATH] = {};
  const HINSTANCE module = moduleframe::moduleInstance();
  if (!module || GetModuleFileNameW(module, path, MAX_PATH) == 0) return CString();
  const CString file(path);
  const int separator = file.ReverseFind(u'\\');
  return separator < 0 ? CString() : file.Left(separator);
}

CString GetSetupPath() {
  const CString module = GetModulePath();
  const int separator = module.ReverseFind(u'\\');
  return separator < 0 ? CString() : module.Left(separator);
}

}  // namespace HvDbUtils

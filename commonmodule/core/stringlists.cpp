// Lists of strings: split at a separator, joined with one, searched without
// case.
#include "HvDbUtilsStrings.h"

namespace HvDbUtils {

int ExplodeStr(const CString& text, const CString& separator, CStringArray& pieces) {
  pieces.RemoveAll();
  // An empty separator would be found at every position and the split would
  // never end: it is taken as one that does not occur.
  if (separator.IsEmpty()) return 0;
  int position = text.Find(separator);
  if (position < 0) return 0;
  int start = 0;
  while (position >= 0) {
    pieces.Add(text.Mid(start, position - start));
    start = position + separator.GetLength();
    position = text.Find(separator, start);
  }
  pieces.Add(text.Mid(start));
  return 1;
}

int BuildStr(CString& result, const CString& separator, const CStringArray& pieces) {
  result.Empty();
  for (INT_PTR i = 0; i < pieces.GetSize(); ++i) {
    result += pieces[i];
    result += separator;
  }
  return 1;
}

int FindString(const CString& text, const CStringArray& pieces) {
  for (INT_PTR i = 0; i < pieces.GetSize(); ++i) {
    if (pieces[i].CompareNoCase(text) == 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace HvDbUtils

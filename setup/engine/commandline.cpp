#include "commandline.h"

#include <climits>
#include <vector>

namespace {

constexpr WCHAR kQuote = u'"';
constexpr WCHAR kBlank = u' ';

/// Splits at blanks; a double quote with a partner later in the text opens a
/// run up to that partner in which blanks do not split (the quotes stay in the
/// token); a double quote without a partner is an ordinary character. Empty
/// tokens are dropped.
std::vector<CString> splitTokens(const CString& text) {
  std::vector<CString> tokens;
  CString token;
  const int length = text.GetLength();
  for (int at = 0; at < length; ++at) {
    const WCHAR c = text[at];
    if (c == kQuote) {
      const int partner = text.Find(kQuote, at + 1);
      if (partner >= 0) {
        token += text.Mid(at, partner - at + 1);
        at = partner;
        continue;
      }
    }
    if (c == kBlank) {
      if (!token.IsEmpty()) tokens.push_back(token);
      token.Empty();
      continue;
    }
    token += c;
  }
  if (!token.IsEmpty()) tokens.push_back(token);
  return tokens;
}

}  // namespace

void ParseCommandLine(LPCWSTR commandLine, CArgumentMap& arguments) {
  CString line(commandLine);
  // A quoted program path ends at the line's second double quote; when the
  // path is not quoted but a value is, this drops everything up to the end of
  // that value, as the program always has.
  if (const int first = line.Find(kQuote); first >= 0) {
    if (const int second = line.Find(kQuote, first + 1); second >= 0) line = line.Mid(second + 1);
  }
  line.Trim();

  arguments.clear();
  for (CString token : splitTokens(line)) {
    token.Trim();
    const int equals = token.ReverseFind(u'=');
    if (equals < 0) continue;
    CString key = token.Left(equals);
    CString value = token.Mid(equals + 1);
    key.Trim();
    value.Trim();
    if (key.IsEmpty() || value.IsEmpty()) continue;
    arguments[key] = value;
  }
}

CString FolderArgument(const CString& value) {
  CString folder = value;
  folder.TrimLeft(kQuote);
  folder.TrimRight(kQuote);
  folder.TrimRight(u'\\');
  return folder;
}

int NumberArgument(const CString& value) {
  long long number = 0;
  for (int at = 0; at < value.GetLength() && value[at] >= u'0' && value[at] <= u'9'; ++at) {
    number = number * 10 + (value[at] - u'0');
    if (number > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(number);
}

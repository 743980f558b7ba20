#include "setupini.h"

#include "setupstate.h"
#include "setuptext.h"

namespace {

constexpr DWORD kValueCapacity = MAX_PATH;
constexpr WCHAR kSetupIniName[] = u"\\Setup.ini";

constexpr WCHAR kDefaultCompanyName[] = u"Halvorn";
constexpr WCHAR kDefaultVersion[] = u"16.0";
constexpr WCHAR kDefaultPath64[] = u"C:\\Program Files\\Halvorn\\Merrowin\\";
constexpr WCHAR kDefaultDest32On64[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
constexpr WCHAR kDefaultDest32[] = u"C:\\Program Files\\Halvorn\\Merrowin";

struct LanguageEntry {
  const WCHAR* key;
  const WCHAR* lcid;
};
// First match wins; keys are compared with the lower-case LANGUAGE value, so
// the edition names match in any letter case.
constexpr LanguageEntry kLanguageTable[] = {
    {u"zh_cn", u"2052"}, {u"veltrane_cn", u"2052"}, {u"zh_tw", u"1028"}, {u"veltrane_tw", u"1028"},
    {u"fr_fr", u"1036"}, {u"lindra", u"1041"},      {u"ja_jp", u"1041"},
};
constexpr WCHAR kDefaultLcid[] = u"1033";

CString readString(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, const CString& file) {
  WCHAR value[kValueCapacity] = {};
  GetPrivateProfileStringW(section, key, fallback, value, kValueCapacity, file);
  return CString(value);
}

/// A string that takes `fallback` when empty, then loses its white space at
/// both ends (so a value of blanks alone ends up empty).
CString orDefaultTrimmed(CString value, LPCWSTR fallback) {
  if (value.IsEmpty()) value = fallback;
  value.Trim();
  return value;
}

}  // namespace

CString GetSetupFolder() {
  WCHAR path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return CString();
  const CString module(path);
  const int slash = module.ReverseFind(u'\\');
  return slash < 0 ? CString() : module.Left(slash);
}

CString LcidForLanguageKey(const CString& languageKey) {
  for (const auto& entry : kLanguageTable)
    if (languageKey == entry.key) return CString(entry.lcid);
  return CString(kDefaultLcid);
}

bool ReadSetupIni() {
  const CString folder = GetSetupFolder();
  if (folder.IsEmpty()) return false;
  const CString file = folder + kSetupIniName;
  if (file.GetLength() >= static_cast<int>(MAX_PATH)) return false;
  const DWORD attributes = GetFileAttributesW(file);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;

  CSetupState& state = SetupState();
  state.productName = orDefaultTrimmed(GetSetupText(IDS_PRODUCT_NAME, kFallbackProductName), kFallbackProductName);
  state.companyName = orDefaultTrimmed(readString(u"SETUP", u"COMPANYNAME", u"", file), kDefaultCompanyName);
  state.version = orDefaultTrimmed(readString(u"SETUP", u"VERSION", u"", file), kDefaultVersion);
  state.package64 = static_cast<int>(GetPrivateProfileIntW(u"SETUP", u"WOW64", 0, file));

  CString installDir;
  if (state.package64 == 1)
    installDir = readString(u"SETUP", u"PATH", kDefaultPath64, file);
  else if (state.os64)
    installDir = readString(u"x64", u"SETUP_DEST", kDefaultDest32On64, file);
  else
    installDir = readString(u"x86", u"SETUP_DEST", kDefaultDest32, file);
  installDir.Trim();
  installDir.TrimRight(u'\\');
  state.installDir = installDir;

  state.language = readString(u"RES", u"LANGUAGE", u"", file);
  state.languageKey = state.language;
  state.languageKey.MakeLower();
  state.lcid = LcidForLanguageKey(state.languageKey);
  state.netTest = static_cast<int>(GetPrivateProfileIntW(u"RES", u"NetTest", 0, file));
  return true;
}

// Folder listings: FindFirstFileW / FindNextFileW / FindClose.
//
// A search lists one folder when it starts (later changes to the folder are
// not seen, as a caller that deletes while it lists expects), sorted as NTFS
// keeps a folder: by the names' upper-case forms. Names are matched with the
// rules Windows applies to the Win32 wildcards:
//   *    any run of characters; before a "." it stops at the name's last dot
//   ?    one character, or none at a dot or at the end of the name
//   .    before a wildcard, a dot or the end of the name ("*.*" is "*",
//        "readme.*" finds "readme")
//   a pattern ending in "." finds names without a dot ("*." finds "README",
//        "." and "..")
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "filesattributes.h"
#include "filespath.h"
#include "win32/files.h"
#include "winsim/handles.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::files {

namespace {

namespace fs = std::filesystem;

class NamePattern {
 public:
  explicit NamePattern(std::u16string_view pattern) {
    if (pattern == u"*.*") pattern = u"*";
    while (!pattern.empty() && pattern.back() == u'.') {
      pattern.remove_suffix(1);
      m_noDot = true;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const char16_t c = pattern[i];
      const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
      if (c == u'*')
        m_tokens.push_back({next == u'.' ? Token::DosStar : Token::Star, 0});
      else if (c == u'?')
        m_tokens.push_back({Token::OneOrNone, 0});
      else if (c == u'.' && (next == u'*' || next == u'?'))
        m_tokens.push_back({Token::DotOrEnd, 0});
      else
        m_tokens.push_back({Token::Literal, upperCase(c)});
    }
  }

  bool matches(std::u16string_view name) const {
    // "." and ".." count as names without an extension.
    if (m_noDot && name != u"." && name != u".." && name.find(u'.') != std::u16string_view::npos) return false;
    const std::size_t lastDot = name.rfind(u'.');
    m_name = name;
    m_lastDot = lastDot == std::u16string_view::npos ? name.size() : lastDot;
    m_memo.assign((m_tokens.size() + 1) * (name.size() + 1), kUnknown);
    return match(0, 0);
  }

 private:
  struct Token {
    enum Kind { Literal, Star, DosStar, OneOrNone, DotOrEnd } kind;
    char16_t c;
  };
  static constexpr signed char kUnknown = -1;

  bool match(std::size_t t, std::size_t n) const {
    signed char& memo = m_memo[t * (m_name.size() + 1) + n];
    if (memo == kUnknown) memo = compute(t, n) ? 1 : 0;
    return memo == 1;
  }

  bool compute(std::size_t t, std::size_t n) const {
    const std::size_t size = m_name.size();
    if (t == m_tokens.size()) return n == size;
    const Token& token = m_tokens[t];
    switch (token.kind) {
      case Token::Literal:
        return n < size && upperCase(m_name[n]) == token.c && match(t + 1, n + 1);
      case Token::Star:
        return match(t + 1, n) || (n < size && match(t, n + 1));
      case Token::DosStar:
        return match(t + 1, n) || (n < m_lastDot && match(t, n + 1));
      case Token::OneOrNone:
        if (n == size || m_name[n] == u'.') return match(t + 1, n);
        return match(t + 1, n + 1);
      case Token::DotOrEnd:
        if (n == size) return match(t + 1, n);
        return m_name[n] == u'.' && match(t + 1, n + 1);
    }
    return false;
  }

  std::vector<Token> m_tokens;
  bool m_noDot = false;
  mutable std::u16string_view m_name;
  mutable std::size_t m_lastDot = 0;
  mutable std::vector<signed char> m_memo;
};

FILETIME fileTime(const struct timespec& t) {
  // 100-nanosecond steps since 1601-01-01, the Windows epoch.
  constexpr long long kEpochDifference = 11644473600LL;
  const unsigned long long ticks =
      static_cast<unsigned long long>(t.tv_sec + kEpochDifference) * 10000000ULL + t.tv_nsec / 100;
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

struct FoundEntry {
  std::u16string name;
  WIN32_FIND_DATAW data;
};

bool describe(const fs::path& host, std::u16string name, FoundEntry& out) {
  struct stat st {};
  if (name.size() >= MAX_PATH || ::stat(host.c_str(), &st) != 0) return false;
  WIN32_FIND_DATAW data{};
  data.dwFileAttributes = readAttributes(host, st);
  data.ftLastWriteTime = fileTime(st.st_mtim);
  data.ftLastAccessTime = fileTime(st.st_atim);
  // The birth time where the host file system keeps one, else the last write.
  data.ftCreationTime = data.ftLastWriteTime;
  struct statx sx {};
  if (::statx(AT_FDCWD, host.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
    data.ftCreationTime = fileTime(timespec{sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec});
  if (!S_ISDIR(st.st_mode)) {
    const auto size = static_cast<unsigned long long>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
  }
  copyTruncated(name, data.cFileName, MAX_PATH);
  out = FoundEntry{std::move(name), data};
  return true;
}

class FindSearch : public KernelObject {
 public:
  explicit FindSearch(std::vector<FoundEntry> entries) : m_entries(std::move(entries)) {}
  /// The next entry, or null at the end.
  const WIN32_FIND_DATAW* next() {
    std::lock_guard lock(m_mutex);
    return m_next < m_entries.size() ? &m_entries[m_next++].data : nullptr;
  }

 private:
  std::mutex m_mutex;
  std::vector<FoundEntry> m_entries;
  std::size_t m_next = 0;
};

Expected<std::vector<FoundEntry>> listMatches(std::u16string_view request) {
  // The folder is what comes before the last separator; a bare "X:" names
  // the drive, and a bare pattern the current folder.
  const auto cut = request.find_last_of(u"\\/");
  std::u16string folder;
  std::u16string_view pattern;
  if (cut != std::u16string_view::npos) {
    folder = std::u16string(request.substr(0, cut + 1));
    pattern = request.substr(cut + 1);
  } else if (request.size() >= 2 && request[1] == u':') {
    folder = std::u16string(request.substr(0, 2));
    pattern = request.substr(2);
  } else {
    folder = u".";
    pattern = request;
  }
  auto checked = resolvePath(request, AllowWildcards::InLastComponent);
  if (!checked) return checked.error();
  auto where = resolvePath(folder);
  if (!where) return where.error();
  if (statHost(where->host).kind != Kind::Folder) return makeError(ERROR_PATH_NOT_FOUND, "no such folder");
  if (pattern.empty()) return makeError(ERROR_FILE_NOT_FOUND, "nothing to find");

  const NamePattern matcher(pattern);
  std::vector<FoundEntry> found;
  std::error_code ec;
  for (fs::directory_iterator it(where->host, ec), end; !ec && it != end; it.increment(ec)) {
    std::u16string name = fromUtf8(it->path().filename().string());
    FoundEntry entry;
    if (matcher.matches(name) && describe(it->path(), std::move(name), entry)) found.push_back(std::move(entry));
  }
  if (ec) return makeError(errorFromErrno(ec.value()), "cannot list the folder");
  std::sort(found.begin(), found.end(),
            [](const FoundEntry& a, const FoundEntry& b) { return compareNoCase(a.name, b.name) < 0; });

  if (!where->isRoot()) {
    std::vector<FoundEntry> dots;
    FoundEntry entry;
    if (matcher.matches(u".") && describe(where->host, u".", entry)) dots.push_back(entry);
    if (matcher.matches(u"..") && describe(where->host.parent_path(), u"..", entry)) dots.push_back(entry);
    found.insert(found.begin(), dots.begin(), dots.end());
  }
  if (found.empty()) return makeError(ERROR_FILE_NOT_FOUND, "no match");
  return found;
}

}  // namespace

}  // namespace winsim::files

using namespace winsim::files;

HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
  if (!lpFindFileData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (!lpFileName) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto found = listMatches(lpFileName);
  if (!found) {
    SetLastError(found.error().code);
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_shared<FindSearch>(std::move(found.value()));
  *lpFindFileData = *search->next();
  return winsim::addHandle(std::move(search));
}

BOOL FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
  auto search = winsim::lookupHandleAs<FindSearch>(hFindFile);
  if (!search) return failWith(ERROR_INVALID_HANDLE);
  if (!lpFindFileData) return failWith(ERROR_INVALID_PARAMETER);
  const WIN32_FIND_DATAW* next = search->next();
  if (!next) return failWith(ERROR_NO_MORE_FILES);
  *lpFindFileData = *next;
  return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
  if (!winsim::lookupHandleAs<FindSearch>(hFindFile) || !winsim::removeHandle(hFindFile))
    return failWith(ERROR_INVALID_HANDLE);
  return TRUE;
}

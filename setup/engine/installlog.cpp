#include "installlog.h"

#include <cstring>

#include "setupstate.h"
#include "win32/crt.h"

namespace {

constexpr WCHAR kLogFileName[] = u"\\install.log";
constexpr int kAnsiCapacity = MAX_PATH;  // bytes, terminator included
constexpr WCHAR kRecordBreak[] = u"\r\n";
constexpr WCHAR kMachineRoot[] = u"HKEY_LOCAL_MACHINE\\";

/// The ANSI form of `text` into `buffer` (terminated); false when it does not
/// fit or cannot be converted.
bool toAnsi(const CString& text, char (&buffer)[kAnsiCapacity]) {
  return WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, kAnsiCapacity, nullptr, nullptr) > 0;
}

CString quoted(LPCWSTR text) { return CString(u"\"") + text + u"\""; }

}  // namespace

void AppendInstallLog(LPCWSTR text) {
  if (!text) return;
  const CString record = CString(kRecordBreak) + text;
  if (record.GetLength() - 2 > kMaxLogRecordLength) return;
  char path[kAnsiCapacity];
  if (!toAnsi(SetupState().installDir + kLogFileName, path)) return;
  char bytes[kAnsiCapacity];
  if (!toAnsi(record, bytes)) return;

  int fd = -1;
  if (_sopen_s(&fd, path, _O_RDWR | _O_CREAT, _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) return;
  if (_lseek(fd, 0, SEEK_END) >= 0) {
    const std::size_t length = std::strlen(bytes);
    _write(fd, bytes, static_cast<unsigned int>(length));
  }
  _close(fd);
}

CString CreateDirectoryRecord(LPCWSTR folder, bool created) {
  return CString(u"CreateDirectory: ") + quoted(folder) + (created ? u" created" : u" (0)");
}

CString CreateShortcutRecord(LPCWSTR linkPath, LPCWSTR target) {
  return CString(u"CreateShortCut: out: ") + quoted(linkPath) + u", in: " + quoted(CString(target) + u" ") +
         u", icon: ,0, sw=0, hk=0";
}

CString WriteRegStrRecord(LPCWSTR keyPath, LPCWSTR valueName, LPCWSTR value) {
  return CString(u"WriteRegStr: ") + quoted(CString(kMachineRoot) + keyPath) + u" " + quoted(valueName) + u"=" +
         quoted(value);
}

CString WriteRegDwordRecord(LPCWSTR keyPath, DWORD value) {
  CString number;
  number.Format(u"%x", value);
  return CString(u"WriteRegDWORD: ") + quoted(CString(kMachineRoot) + keyPath) + u" " + quoted(u"Version") + u"=" +
         quoted(number);
}

CString FileNameRecord(LPCWSTR name) {
  return CString(u"File: overwriteflag=4, allowskipfilesflag=0, name=") + quoted(name);
}

CString FileWroteRecord(DWORD size, LPCWSTR path) {
  CString record;
  record.Format(u"File: wrote %u to ", size);
  return record + quoted(path);
}

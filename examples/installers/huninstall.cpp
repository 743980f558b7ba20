// The stand-in of the product's uninstaller, HUninstall.exe:
//
//   HUninstall.exe [/quiet] [/norestart]
//
// Started from a folder that holds the setup program's action log install.log
// (and IntallerRes.dll, for the product's name), it removes the installation:
//   1. the payload's Windows Installer product, by its product code, if it is
//      still installed (after a failed installation nobody has removed it);
//   2. what the log recorded, newest record first: each shortcut (CreateShortCut
//      out:), each file (File: wrote ... to), each registry value (WriteRegStr,
//      WriteRegDWORD, under HKEY_LOCAL_MACHINE) with its key once the key holds
//      nothing more, and each folder the setup program created (CreateDirectory
//      ... created) once it is empty;
//   3. the install folder with everything left in it. The install folder is the
//      folder of the uninstaller file the log recorded, else the recorded
//      InstallLocation value, else the product key's path value (a quiet
//      installation logs folders only).
// Without /quiet it asks first (Yes/No; No removes nothing) and says when it is
// done, in message boxes captioned "<product> Uninstall". The machine never
// restarts, so /norestart changes nothing. Like the setup program it is a
// 32-bit program, so it sees the registry values and folders in the view the
// setup program wrote them in. Its run is recorded (standins.h).
//
// Exit code: 0 removed, 1 no install.log beside it, 2 the person said No.
#include <string>
#include <string_view>
#include <vector>

#include "msi.h"
#include "standins.h"
#include "win32/codepage.h"
#include "win32/crt.h"
#include "win32/files.h"
#include "win32/msgbox.h"
#include "winsim/machine.h"

namespace {

constexpr char16_t kPayloadProductCode[] = u"{7DB4C454-5CBC-48FF-B070-7FED49DD181E}";
constexpr char16_t kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\";
constexpr char16_t kMachineRoot[] = u"HKEY_LOCAL_MACHINE\\";
constexpr UINT kProductNameText = 2038;
constexpr char16_t kFallbackProductName[] = u"DWG Merrowin";
/// A log larger than this is no log the setup program wrote.
constexpr long kMaxLogBytes = 4 * 1024 * 1024;

constexpr int kRemoved = 0;
constexpr int kNoLog = 1;
constexpr int kDeclined = 2;

/// The log's records: the text between its line breaks (the setup program
/// writes 0D 0D 0A before each), converted from the ANSI code page.
std::vector<std::u16string> readLog(const std::u16string& path) {
  std::vector<std::u16string> records;
  int fd = -1;
  if (_wsopen_s(&fd, path.c_str(), _O_RDONLY | _O_BINARY, _SH_DENYNO, _S_IREAD) != 0) return records;
  std::string bytes;
  char chunk[4096];
  for (int count; (count = _read(fd, chunk, sizeof chunk)) > 0;) {
    bytes.append(chunk, static_cast<std::size_t>(count));
    if (bytes.size() > static_cast<std::size_t>(kMaxLogBytes)) break;
  }
  _close(fd);
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) {
      const int size = MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
      std::u16string text(size > 0 ? static_cast<std::size_t>(size) : 0, u'\0');
      if (size > 0) MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), text.data(), size);
      records.push_back(text);
    }
    start = end + 1;
  }
  return records;
}

/// The quoted parts of a record, in order ("a" "b"="c" gives a, b, c).
std::vector<std::u16string> quotedParts(std::u16string_view record) {
  std::vector<std::u16string> parts;
  for (std::size_t open = record.find(u'"'); open != std::u16string_view::npos;) {
    const std::size_t close = record.find(u'"', open + 1);
    if (close == std::u16string_view::npos) break;
    parts.emplace_back(record.substr(open + 1, close - open - 1));
    open = record.find(u'"', close + 1);
  }
  return parts;
}

bool startsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}
bool endsWith(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool keyIsEmpty(HKEY key) {
  DWORD subkeys = 0, values = 0;
  return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                          nullptr, nullptr) == ERROR_SUCCESS &&
         subkeys == 0 && values == 0;
}

/// Deletes a value under HKEY_LOCAL_MACHINE, and its key when nothing is left
/// in it.
void removeValue(const std::u16string& fullKey, const std::u16string& name) {
  if (!startsWith(fullKey, kMachineRoot)) return;
  const std::u16string path = fullKey.substr(std::u16string_view(kMachineRoot).size());
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name.c_str());
  const bool empty = keyIsEmpty(key);
  RegCloseKey(key);
  if (empty) RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

/// Removes a folder with everything in it. Drive roots are never removed.
void removeTree(const std::u16string& folder) {
  if (folder.size() <= 3) return;  // "C:" or "C:\"
  WIN32_FIND_DATAW entry{};
  const std::u16string pattern = folder + u"\\*";
  HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::u16string name = entry.cFileName;
      if (name == u"." || name == u"..") continue;
      const std::u16string child = folder + u"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        removeTree(child);
      else
        DeleteFileW(child.c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

std::u16string productKeyPath() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  WCHAR value[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH * sizeof(WCHAR);
  DWORD type = 0;
  const LSTATUS read = RegQueryValueExW(key, u"path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_SZ ? std::u16string(value) : std::u16string();
}

std::u16string withoutTrailingBackslashes(std::u16string path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  return path;
}

/// The product's display name from the resource library beside the program.
std::u16string productName(const std::u16string& folder) {
  std::u16string name = kFallbackProductName;
  const std::u16string library = folder + u"\\IntallerRes.dll";
  if (HMODULE module = LoadLibraryW(library.c_str())) {
    WCHAR text[256] = {};
    if (LoadStringW(module, kProductNameText, text, 256) > 0) name = text;
    FreeLibrary(module);
  }
  return name;
}

}  // namespace

int main() {
  winsim::setProgramBitness(winsim::Bitness::Bits32);
  const std::u16string image = standins::imagePath();
  if (HKEY record = standins::recordRun(image)) RegCloseKey(record);

  bool quiet = false;
  const auto words = systemtools::splitCommandLine(GetCommandLineW());
  for (std::size_t i = 1; i < words.size(); ++i)
    if (const std::u16string option = systemtools::optionName(words[i]); option == u"quiet" || option == u"q")
      quiet = true;

  const std::u16string folder = standins::folderOf(image);
  const std::u16string logPath = folder + u"\\install.log";
  if (GetFileAttributesW(logPath.c_str()) == INVALID_FILE_ATTRIBUTES) return kNoLog;
  const std::vector<std::u16string> records = readLog(logPath);

  const std::u16string product = productName(folder);
  const std::u16string caption = product + u" Uninstall";
  if (!quiet) {
    const std::u16string question =
        u"Are you sure you want to completely remove " + product + u" and all of its components?";
    if (MessageBoxW(nullptr, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return kDeclined;
  }

  MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  MsiConfigureProductW(kPayloadProductCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);  // unknown once removed

  std::u16string installFolder;
  std::u16string installLocation;
  for (auto at = records.rbegin(); at != records.rend(); ++at) {
    const std::u16string& text = *at;
    const std::vector<std::u16string> parts = quotedParts(text);
    if (parts.empty()) continue;
    if (startsWith(text, u"CreateShortCut: out: ")) {
      DeleteFileW(parts[0].c_str());
    } else if (startsWith(text, u"File: wrote ")) {
      SetFileAttributesW(parts[0].c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(parts[0].c_str());
      if (installFolder.empty()) installFolder = parts[0].substr(0, parts[0].find_last_of(u'\\'));
    } else if ((startsWith(text, u"WriteRegStr: ") || startsWith(text, u"WriteRegDWORD: ")) && parts.size() >= 2) {
      removeValue(parts[0], parts[1]);
      if (parts[1] == u"InstallLocation" && parts.size() >= 3) installLocation = parts[2];
    } else if (startsWith(text, u"CreateDirectory: ") && endsWith(text, u" created")) {
      RemoveDirectoryW(parts[0].c_str());  // only when empty: other products may share it
    }
  }
  if (installFolder.empty()) installFolder = installLocation;
  if (installFolder.empty()) installFolder = productKeyPath();
  installFolder = withoutTrailingBackslashes(installFolder);
  if (!installFolder.empty()) removeTree(installFolder);

  if (!quiet) {
    const std::u16string done = product + u" was successfully removed from your computer.";
    MessageBoxW(nullptr, done.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
  }
  return kRemoved;
}

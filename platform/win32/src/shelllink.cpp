// The shell link object and the .lnk files it writes.
//
// The file is the shell link binary format: ShellLinkHeader (76 bytes),
// LinkInfo with a VolumeID and the local base path in ANSI and UTF-16, the
// Unicode StringData present by the link flags, and the terminal block of an
// empty ExtraData. All numbers are little-endian.
#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "comclasses.h"
#include "shobjidl.h"
#include "win32/codepage.h"
#include "win32/crt.h"
#include "win32/errors.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::com {

namespace {

// LinkFlags.
constexpr DWORD kHasLinkInfo = 0x00000002;
constexpr DWORD kHasName = 0x00000004;
constexpr DWORD kHasWorkingDir = 0x00000010;
constexpr DWORD kHasArguments = 0x00000020;
constexpr DWORD kHasIconLocation = 0x00000040;
constexpr DWORD kIsUnicode = 0x00000080;

constexpr DWORD kHeaderSize = 0x4C;
// A LinkInfo header with the offsets of the Unicode forms.
constexpr DWORD kLinkInfoHeaderSize = 0x24;
constexpr DWORD kVolumeIdAndLocalBasePath = 0x1;
constexpr DWORD kVolumeIdHeaderSize = 0x10;
constexpr DWORD kDriveFixed = 3;

// The show commands a link file keeps.
constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;
constexpr int kShowMinNoActive = 7;

constexpr std::size_t kMaxPathText = MAX_PATH - 1;
constexpr std::size_t kMaxInfoText = INFOTIPSIZE - 1;

class Bytes {
 public:
  void u16(WORD value) {
    m_data.push_back(static_cast<BYTE>(value));
    m_data.push_back(static_cast<BYTE>(value >> 8));
  }
  void u32(DWORD value) {
    for (int shift = 0; shift < 32; shift += 8) m_data.push_back(static_cast<BYTE>(value >> shift));
  }
  void fileTime(const FILETIME& time) {
    u32(time.dwLowDateTime);
    u32(time.dwHighDateTime);
  }
  void guid(const GUID& id) {
    u32(id.Data1);
    u16(id.Data2);
    u16(id.Data3);
    for (BYTE b : id.Data4) m_data.push_back(b);
  }
  void raw(const std::string& text) { m_data.insert(m_data.end(), text.begin(), text.end()); }
  void wide(std::u16string_view text) {
    for (char16_t c : text) u16(c);
  }
  /// Overwrites a 32-bit number written earlier (a size known only later).
  void patch32(std::size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) m_data[at + i] = static_cast<BYTE>(value >> (8 * i));
  }
  std::size_t size() const { return m_data.size(); }
  const std::vector<BYTE>& data() const { return m_data; }
  void append(const Bytes& other) { m_data.insert(m_data.end(), other.m_data.begin(), other.m_data.end()); }

 private:
  std::vector<BYTE> m_data;
};

std::string ansiOf(const std::u16string& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string(1, '\0');
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;  // with its NUL, as the format stores it
}

/// The win32 error of a failed C runtime call.
DWORD win32ErrorOf(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
      return ERROR_ACCESS_DENIED;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EMFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    default:
      return ERROR_WRITE_FAULT;
  }
}

HRESULT copyOut(const std::u16string& text, LPWSTR buffer, int cch) {
  if (!buffer || cch <= 0) return E_INVALIDARG;
  winsim::copyTruncated(text, buffer, static_cast<std::size_t>(cch));
  return S_OK;
}

/// Text of a Set call: null and too long are refused.
HRESULT takeText(LPCWSTR text, std::size_t limit, std::u16string& into) {
  if (!text) return E_INVALIDARG;
  const std::u16string_view value(text);
  if (value.size() > limit) return E_INVALIDARG;
  into.assign(value);
  return S_OK;
}

class ShellLink final : public IShellLinkW, public IPersistFile {
 public:
  // IUnknown (both bases share one object identity: IShellLinkW's).
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    if (!ppvObject) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellLinkW)) {
      *ppvObject = static_cast<IShellLinkW*>(this);
    } else if (IsEqualIID(riid, IID_IPersistFile) || IsEqualIID(riid, IID_IPersist)) {
      *ppvObject = static_cast<IPersistFile*>(this);
    } else {
      *ppvObject = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }

  // IShellLinkW.
  HRESULT GetPath(LPWSTR pszFile, int cch, WIN32_FIND_DATAW* pfd, DWORD) override {
    const HRESULT hr = copyOut(m_path, pszFile, cch);
    if (FAILED(hr)) return hr;
    if (pfd) *pfd = m_target;
    return m_path.empty() ? S_FALSE : S_OK;
  }
  HRESULT GetDescription(LPWSTR pszName, int cch) override { return copyOut(m_description, pszName, cch); }
  HRESULT SetDescription(LPCWSTR pszName) override { return change(takeText(pszName, kMaxInfoText, m_description)); }
  HRESULT GetWorkingDirectory(LPWSTR pszDir, int cch) override { return copyOut(m_workingDir, pszDir, cch); }
  HRESULT SetWorkingDirectory(LPCWSTR pszDir) override { return change(takeText(pszDir, kMaxPathText, m_workingDir)); }
  HRESULT GetArguments(LPWSTR pszArgs, int cch) override { return copyOut(m_arguments, pszArgs, cch); }
  HRESULT SetArguments(LPCWSTR pszArgs) override { return change(takeText(pszArgs, kMaxInfoText, m_arguments)); }
  HRESULT GetShowCmd(int* piShowCmd) override {
    if (!piShowCmd) return E_INVALIDARG;
    *piShowCmd = m_showCmd;
    return S_OK;
  }
  HRESULT SetShowCmd(int iShowCmd) override {
    m_showCmd = iShowCmd;
    m_dirty = true;
    return S_OK;
  }
  HRESULT GetIconLocation(LPWSTR pszIconPath, int cch, int* piIcon) override {
    if (!piIcon) return E_INVALIDARG;
    *piIcon = m_iconIndex;
    return copyOut(m_iconPath, pszIconPath, cch);
  }
  HRESULT SetIconLocation(LPCWSTR pszIconPath, int iIcon) override {
    const HRESULT hr = change(takeText(pszIconPath, kMaxPathText, m_iconPath));
    if (SUCCEEDED(hr)) m_iconIndex = iIcon;
    return hr;
  }
  HRESULT SetPath(LPCWSTR pszFile) override {
    std::u16string given;
    if (HRESULT hr = takeText(pszFile, kMaxPathText, given); FAILED(hr)) return hr;
    m_target = WIN32_FIND_DATAW{};
    if (given.empty()) {
      m_path.clear();
      m_dirty = true;
      return S_OK;
    }
    auto full = fullPath(given);
    if (!full || full->size() > kMaxPathText) return E_INVALIDARG;
    m_path = *full;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(m_path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      m_target = found;
    } else {
      const auto slash = m_path.find_last_of(u'\\');
      winsim::copyTruncated(m_path.substr(slash + 1), m_target.cFileName, MAX_PATH);
    }
    m_dirty = true;
    return S_OK;
  }

  // IPersistFile.
  HRESULT GetClassID(CLSID* pClassID) override {
    if (!pClassID) return E_POINTER;
    *pClassID = CLSID_ShellLink;
    return S_OK;
  }
  HRESULT IsDirty() override { return m_dirty ? S_OK : S_FALSE; }
  HRESULT Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
  HRESULT Save(LPCOLESTR pszFileName, BOOL fRemember) override {
    std::u16string file;
    if (pszFileName) {
      auto full = fullPath(pszFileName);
      if (!full || full->size() > kMaxPathText) return E_INVALIDARG;
      file = *full;
    } else {
      if (m_curFile.empty()) return E_INVALIDARG;
      file = m_curFile;
    }
    const Bytes bytes = linkFile();
    if (HRESULT hr = writeFile(file, bytes); FAILED(hr)) return hr;
    if (fRemember) {
      m_curFile = file;
      m_dirty = false;
    }
    return S_OK;
  }
  HRESULT SaveCompleted(LPCOLESTR) override { return S_OK; }
  HRESULT GetCurFile(LPOLESTR* ppszFileName) override {
    if (!ppszFileName) return E_POINTER;
    *ppszFileName = nullptr;
    if (m_curFile.empty()) return S_FALSE;
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((m_curFile.size() + 1) * sizeof(OLECHAR)));
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy, m_curFile.c_str(), (m_curFile.size() + 1) * sizeof(OLECHAR));
    *ppszFileName = copy;
    return S_OK;
  }

 private:
  HRESULT change(HRESULT hr) {
    if (SUCCEEDED(hr)) m_dirty = true;
    return hr;
  }

  static std::optional<std::u16string> fullPath(std::u16string_view path) {
    winsim::Machine* machine = winsim::currentMachine();
    if (!machine) return std::nullopt;
    auto full = machine->fullWindowsPath(path);
    // A link's LinkInfo names a local drive: the machine has no network.
    if (!full || full.value().size() < 3 || full.value()[1] != u':') return std::nullopt;
    return full.value();
  }

  static int savedShowCommand(int showCmd) {
    return showCmd == kShowMaximized || showCmd == kShowMinNoActive ? showCmd : kShowNormal;
  }

  Bytes linkInfo() const {
    const std::string ansiPath = ansiOf(m_path);
    Bytes volume;
    volume.u32(kVolumeIdHeaderSize + 1);  // the header and an empty label
    volume.u32(kDriveFixed);
    volume.u32(0);  // serial number: the machine's volumes have none
    volume.u32(kVolumeIdHeaderSize);
    volume.raw(std::string(1, '\0'));

    const DWORD volumeOffset = kLinkInfoHeaderSize;
    const DWORD localBasePathOffset = volumeOffset + static_cast<DWORD>(volume.size());
    const DWORD commonPathSuffixOffset = localBasePathOffset + static_cast<DWORD>(ansiPath.size());
    const DWORD localBasePathUnicodeOffset = commonPathSuffixOffset + 1;
    const DWORD commonPathSuffixUnicodeOffset =
        localBasePathUnicodeOffset + static_cast<DWORD>((m_path.size() + 1) * sizeof(WCHAR));
    const DWORD size = commonPathSuffixUnicodeOffset + sizeof(WCHAR);

    Bytes info;
    info.u32(size);
    info.u32(kLinkInfoHeaderSize);
    info.u32(kVolumeIdAndLocalBasePath);
    info.u32(volumeOffset);
    info.u32(localBasePathOffset);
    info.u32(0);  // no network share
    info.u32(commonPathSuffixOffset);
    info.u32(localBasePathUnicodeOffset);
    info.u32(commonPathSuffixUnicodeOffset);
    info.append(volume);
    info.raw(ansiPath);
    info.raw(std::string(1, '\0'));  // the common path suffix is empty
    info.wide(m_path);
    info.u16(0);
    info.u16(0);
    return info;
  }

  Bytes linkFile() const {
    DWORD flags = kIsUnicode;
    if (!m_path.empty()) flags |= kHasLinkInfo;
    if (!m_description.empty()) flags |= kHasName;
    if (!m_workingDir.empty()) flags |= kHasWorkingDir;
    if (!m_arguments.empty()) flags |= kHasArguments;
    if (!m_iconPath.empty()) flags |= kHasIconLocation;

    Bytes file;
    file.u32(kHeaderSize);
    file.guid(CLSID_ShellLink);
    file.u32(flags);
    file.u32(m_target.dwFileAttributes);
    file.fileTime(m_target.ftCreationTime);
    file.fileTime(m_target.ftLastAccessTime);
    file.fileTime(m_target.ftLastWriteTime);
    file.u32(m_target.nFileSizeLow);
    file.u32(static_cast<DWORD>(m_iconIndex));
    file.u32(static_cast<DWORD>(savedShowCommand(m_showCmd)));
    file.u16(0);  // no hot key
    file.u16(0);
    file.u32(0);
    file.u32(0);
    if (flags & kHasLinkInfo) file.append(linkInfo());
    // StringData in the format's order: name, (relative path), working
    // folder, arguments, icon location.
    for (const std::u16string* text : {&m_description, &m_workingDir, &m_arguments, &m_iconPath}) {
      if (text->empty()) continue;
      file.u16(static_cast<WORD>(text->size()));
      file.wide(*text);
    }
    file.u32(0);  // the terminal block of the extra data
    return file;
  }

  static HRESULT writeFile(const std::u16string& path, const Bytes& bytes) {
    int fd = -1;
    if (const errno_t error =
            _wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _SH_DENYRW, _S_IREAD | _S_IWRITE);
        error != 0)
      return HRESULT_FROM_WIN32(win32ErrorOf(error));
    const auto& data = bytes.data();
    const int written = _write(fd, data.data(), static_cast<unsigned>(data.size()));
    const int writeError = errno;
    const bool closed = _close(fd) == 0;
    if (written != static_cast<int>(data.size()) || !closed) {
      DeleteFileW(path.c_str());  // no half link is left behind
      return HRESULT_FROM_WIN32(win32ErrorOf(written < 0 ? writeError : EIO));
    }
    return S_OK;
  }

  std::atomic<ULONG> m_references{1};
  std::u16string m_path;
  WIN32_FIND_DATAW m_target{};
  std::u16string m_description;
  std::u16string m_workingDir;
  std::u16string m_arguments;
  std::u16string m_iconPath;
  int m_iconIndex = 0;
  int m_showCmd = kShowNormal;
  std::u16string m_curFile;
  bool m_dirty = false;
};

}  // namespace

HRESULT createShellLink(REFIID riid, void** ppv) {
  auto* link = new (std::nothrow) ShellLink;
  if (!link) return E_OUTOFMEMORY;
  const HRESULT hr = link->QueryInterface(riid, ppv);
  link->Release();  // the caller's reference, if any, keeps it
  return hr;
}

}  // namespace winsim::com

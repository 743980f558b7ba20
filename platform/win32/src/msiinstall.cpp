#include "msiinstall.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "msi.h"
#include "msiproduct.h"
#include "msiui.h"
#include "win32/crt.h"
#include "win32/files.h"
#include "win32/handleapi.h"
#include "win32/msgbox.h"
#include "win32/process.h"
#include "win32/synch.h"
#include "winsim/machine.h"
#include "winsim/msipackage.h"
#include "winsim/text.h"

namespace winsim::msi {

namespace {

namespace fs = std::filesystem;

constexpr char16_t kExecuteMutex[] = u"_MSIExecute";
constexpr char16_t kBackupSuffix[] = u".msi-rollback";
constexpr UINT kErrorBox = INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR;

/// One installation at a time on a machine, as the installer service allows.
class ExecuteLock {
 public:
  ExecuteLock() : m_mutex(CreateMutexW(nullptr, FALSE, kExecuteMutex)) {
    if (!m_mutex) return;
    const DWORD wait = WaitForSingleObject(m_mutex, 0);
    m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~ExecuteLock() {
    if (m_owned) ReleaseMutex(m_mutex);
    if (m_mutex) CloseHandle(m_mutex);
  }
  ExecuteLock(const ExecuteLock&) = delete;
  ExecuteLock& operator=(const ExecuteLock&) = delete;
  bool owned() const { return m_owned; }

 private:
  HANDLE m_mutex;
  bool m_owned = false;
};

bool isSuccess(UINT result) {
  return result == ERROR_SUCCESS || result == ERROR_SUCCESS_REBOOT_REQUIRED || result == ERROR_SUCCESS_REBOOT_INITIATED;
}

std::u16string number(unsigned long long value) { return fromUtf8(std::to_string(value)); }

std::u16string withBackslash(std::u16string folder) {
  if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
  return folder;
}

bool isAbsoluteWindowsPath(std::u16string_view path) {
  return path.size() >= 3 && ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
         path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
}

bool exists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool isFolder(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string rootName(MsiRegistryEntry::Root root) {
  switch (root) {
    case MsiRegistryEntry::Root::CurrentUser:
      return u"HKEY_CURRENT_USER";
    case MsiRegistryEntry::Root::ClassesRoot:
      return u"HKEY_CLASSES_ROOT";
    default:
      return u"HKEY_LOCAL_MACHINE";
  }
}

/// Sends the installer's messages and notes whether the UI asked to cancel.
class Messenger {
 public:
  int send(UINT type, const std::u16string& text) {
    const int answer = deliverMessage(type, &text);
    const UINT kind = type & 0xFF000000u;
    if (answer == IDCANCEL &&
        (kind == INSTALLMESSAGE_ACTIONSTART || kind == INSTALLMESSAGE_ACTIONDATA || kind == INSTALLMESSAGE_PROGRESS))
      m_cancelled = true;
    return answer;
  }
  void sendBare(UINT type) { deliverMessage(type, nullptr); }

  void begin(WORD language, UINT codepage, const std::u16string& caption) {
    sendBare(INSTALLMESSAGE_INITIALIZE);
    send(INSTALLMESSAGE_COMMONDATA, u"1: 0 2: " + number(language) + u" 3: " + number(codepage));
    send(INSTALLMESSAGE_COMMONDATA, u"1: 1 2: " + caption);
  }
  void end(const std::u16string& outcome) {
    send(INSTALLMESSAGE_INFO, outcome);
    sendBare(INSTALLMESSAGE_TERMINATE);
  }
  void actionStart(std::u16string_view action, std::u16string_view description) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    send(INSTALLMESSAGE_ACTIONSTART,
         u"Action " + fromUtf8(clock) + u": " + std::u16string(action) + u". " + std::u16string(description));
  }
  void progressReset(std::size_t total) { send(INSTALLMESSAGE_PROGRESS, u"1: 0 2: " + number(total) + u" 3: 0 4: 0"); }
  void progressStep() { send(INSTALLMESSAGE_PROGRESS, u"1: 2 2: 1"); }
  bool cancelled() const { return m_cancelled; }

 private:
  bool m_cancelled = false;
};

/// What a rollback puts back, newest last.
struct UndoStep {
  enum class Kind { RemoveFile, RestoreFile, RemoveFolder, RestoreValue, RemoveValue, RemoveKey };
  Kind kind;
  std::u16string path;    // file or folder
  std::u16string backup;  // RestoreFile
  StoredKey key;
  std::u16string name;
  SavedValue old;
};

class InstallSession {
 public:
  InstallSession(const Machine& machine, const MsiPackage& package, std::u16string packagePath)
      : m_machine(machine), m_package(package), m_packagePath(std::move(packagePath)) {}

  UINT run(const std::vector<std::pair<std::u16string, std::u16string>>& commandLine) {
    m_ui.begin(m_package.language, m_package.codepage, m_package.productName);
    UINT result = prepare(commandLine);
    if (result == ERROR_SUCCESS) result = installFiles();
    if (result == ERROR_SUCCESS) result = writeRegistry();
    if (result == ERROR_SUCCESS && m_package.fault) result = raiseFault();
    if (isSuccess(result)) {
      const UINT registered = registerProduct();
      if (registered != ERROR_SUCCESS) result = registered;
    }
    if (m_ui.cancelled() && isSuccess(result)) result = ERROR_INSTALL_USEREXIT;
    if (isSuccess(result)) {
      commit();
      m_ui.end(u"Product: " + m_package.productName + u" -- Installation completed successfully.");
    } else {
      rollback();
      m_ui.end(u"Product: " + m_package.productName + u" -- Installation failed.");
    }
    return result;
  }

 private:
  UINT prepare(const std::vector<std::pair<std::u16string, std::u16string>>& commandLine) {
    const bool machine64 = machineIs64Bit();
    auto folder = [&](std::u16string_view key, std::u16string_view fallback) {
      return withBackslash(m_machine.profileString(u"folders", key, fallback));
    };
    const std::u16string windows = folder(u"windows", u"C:\\Windows");
    m_properties.set(u"WindowsFolder", windows);
    m_properties.set(u"TempFolder", folder(u"temp", u"C:\\Windows\\Temp"));
    if (machine64) {
      m_properties.set(u"ProgramFilesFolder", folder(u"program_files_x86", u"C:\\Program Files (x86)"));
      m_properties.set(u"CommonFilesFolder", folder(u"common_files_x86", u"C:\\Program Files (x86)\\Common Files"));
      m_properties.set(u"SystemFolder", windows + u"SysWOW64\\");
      m_properties.set(u"ProgramFiles64Folder", folder(u"program_files", u"C:\\Program Files"));
      m_properties.set(u"CommonFiles64Folder", folder(u"common_files", u"C:\\Program Files\\Common Files"));
      m_properties.set(u"System64Folder", folder(u"system", u"C:\\Windows\\System32"));
    } else {
      m_properties.set(u"ProgramFilesFolder", folder(u"program_files", u"C:\\Program Files"));
      m_properties.set(u"CommonFilesFolder", folder(u"common_files", u"C:\\Program Files\\Common Files"));
      m_properties.set(u"SystemFolder", folder(u"system", u"C:\\Windows\\System32"));
    }
    m_properties.set(u"ProductCode", m_package.productCode);
    m_properties.set(u"ProductName", m_package.productName);
    m_properties.set(u"ProductVersion", m_package.productVersion);
    m_properties.set(u"Manufacturer", m_package.manufacturer);
    m_properties.set(u"ProductLanguage", number(m_package.language));

    std::vector<std::u16string> fixed;
    for (const auto& [name, value] : commandLine) {
      setProperty(name, value);
      fixed.push_back(name);
    }
    auto isFixed = [&](const std::u16string& name) {
      for (const auto& f : fixed)
        if (f == name) return true;
      return false;
    };
    // What a search finds wins over the package's own value, never over the
    // command line's.
    for (const auto& search : m_package.searches) {
      if (isFixed(search.property)) continue;
      if (auto found = searchRegistry(search)) {
        setProperty(search.property, std::move(*found));
        fixed.push_back(search.property);
      }
    }
    bool packageSetsTarget = false;
    for (const auto& [name, value] : m_package.properties) packageSetsTarget |= name == u"TARGETDIR";
    if (!isFixed(u"TARGETDIR") && !packageSetsTarget) {
      const auto target =
          m_properties.format(m_package.platform == MsiPlatform::X64 ? u"[ProgramFiles64Folder][ProductName]"
                                                                     : u"[ProgramFilesFolder][ProductName]");
      if (!target) return fail(ERROR_INSTALL_FAILURE, u"The folder TARGETDIR cannot be made.");
      setProperty(u"TARGETDIR", target.value());
    }
    for (const auto& [name, value] : m_package.properties) {
      if (isFixed(name)) continue;
      auto formatted = m_properties.format(value);
      if (!formatted) return fail(ERROR_INSTALL_FAILURE, u"The property " + name + u" is too long.");
      setProperty(name, std::move(formatted.value()));
    }
    return ERROR_SUCCESS;
  }

  /// A string value as it is; a number in decimal.
  std::optional<std::u16string> searchRegistry(const MsiSearchEntry& search) const {
    HKEY key = nullptr;
    if (openStoredKey(storedKeyFor(search.root, search.key, m_package.platform), KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
      return std::nullopt;
    const auto value = readValue(key, search.name);
    RegCloseKey(key);
    if (!value) return std::nullopt;
    if (value->type == REG_DWORD && value->data.size() == 4)
      return number(value->data[0] | (value->data[1] << 8) | (value->data[2] << 16) |
                    (static_cast<DWORD>(value->data[3]) << 24));
    if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) return std::nullopt;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value->data.size(); i += 2) {
      const char16_t c = static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
      if (c == u'\0') break;
      text += c;
    }
    return text;
  }

  void setProperty(const std::u16string& name, std::u16string value) {
    m_properties.set(name, name == u"TARGETDIR" ? withBackslash(std::move(value)) : std::move(value));
  }

  /// Shows an error as the installer does and returns its result.
  UINT fail(UINT result, const std::u16string& message) {
    m_ui.send(kErrorBox, message);
    return result;
  }

  UINT installFiles() {
    m_ui.actionStart(u"InstallValidate", u"Validating install");
    m_ui.progressReset(m_package.files.size() + m_package.registry.size() + 1);
    m_ui.actionStart(u"InstallFiles", u"Copying new files");
    for (const auto& file : m_package.files) {
      if (m_ui.cancelled()) return ERROR_INSTALL_USEREXIT;
      if (const UINT result = installFile(file); result != ERROR_SUCCESS) return result;
      m_ui.progressStep();
    }
    return ERROR_SUCCESS;
  }

  UINT installFile(const MsiFileEntry& file) {
    auto formatted = m_properties.format(file.target);
    if (!formatted || !isAbsoluteWindowsPath(formatted.value()))
      return fail(ERROR_INSTALL_FAILURE, u"Error 1606. Could not access the folder of " +
                                             (formatted ? formatted.value() : file.target) + u".");
    auto full = m_machine.fullWindowsPath(formatted.value());
    if (!full)
      return fail(ERROR_INSTALL_FAILURE, u"Error 1606. Could not access the folder of " + formatted.value() + u".");
    const std::u16string target = full.value();
    const std::size_t slash = target.find_last_of(u'\\');
    if (slash == std::u16string::npos || slash + 1 == target.size() || slash < 2)
      return fail(ERROR_INSTALL_FAILURE, u"Error 1606. Could not access the folder of " + target + u".");
    const std::u16string folder = target.substr(0, slash);
    const std::u16string name = target.substr(slash + 1);

    std::u16string source;
    unsigned long long size = file.text.size();
    if (file.source == MsiFileEntry::Source::PackageFile) {
      std::u16string relative = file.sourceName;
      for (auto& c : relative)
        if (c == u'/') c = u'\\';
      source = m_packagePath.substr(0, m_packagePath.find_last_of(u'\\') + 1) + relative;
      const DWORD attributes = GetFileAttributesW(source.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return fail(ERROR_INSTALL_FAILURE, u"Error 1308. Source file not found: " + source);
      if (auto host = m_machine.hostPath(source); host) {
        std::error_code ec;
        size = fs::file_size(host.value(), ec);
        if (ec) size = 0;
      }
    }
    m_ui.send(INSTALLMESSAGE_ACTIONDATA, u"File: " + name + u",  Directory: " + folder + u"\\,  Size: " + number(size));

    if (!createFolders(folder)) return writeError(target);
    if (isFolder(target)) return writeError(target);
    if (exists(target)) {
      const std::u16string backup = target + kBackupSuffix;
      if (!MoveFileExW(target.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING)) return writeError(target);
      m_undo.push_back({UndoStep::Kind::RestoreFile, target, backup, {}, {}, {}});
      m_backups.push_back(backup);
    } else {
      m_undo.push_back({UndoStep::Kind::RemoveFile, target, {}, {}, {}, {}});
    }
    const bool written = file.source == MsiFileEntry::Source::PackageFile
                             ? CopyFileW(source.c_str(), target.c_str(), FALSE)
                             : writeText(target, file.text);
    if (!written) return writeError(target);
    m_record.files.push_back(target);
    return ERROR_SUCCESS;
  }

  UINT writeError(const std::u16string& target) {
    return fail(ERROR_INSTALL_FAILURE,
                u"Error 1310. Error writing to file: " + target + u". Verify that you have access to that directory.");
  }

  static bool writeText(const std::u16string& target, const std::string& text) {
    const int fd = _wopen(target.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    const bool ok =
        text.empty() || _write(fd, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size());
    return _close(fd) == 0 && ok;
  }

  /// Creates the folder and its missing parents, noting the ones it made.
  bool createFolders(const std::u16string& folder) {
    std::size_t end = 3;  // past "X:\"
    while (end <= folder.size()) {
      std::size_t next = folder.find(u'\\', end);
      if (next == std::u16string::npos) next = folder.size();
      const std::u16string prefix = folder.substr(0, next);
      if (!isFolder(prefix)) {
        if (exists(prefix) || !CreateDirectoryW(prefix.c_str(), nullptr)) return false;
        m_undo.push_back({UndoStep::Kind::RemoveFolder, prefix, {}, {}, {}, {}});
        m_record.folders.push_back(prefix);
      }
      end = next + 1;
    }
    return true;
  }

  UINT writeRegistry() {
    m_ui.actionStart(u"WriteRegistryValues", u"Writing system registry values");
    for (const auto& entry : m_package.registry) {
      if (m_ui.cancelled()) return ERROR_INSTALL_USEREXIT;
      if (const UINT result = writeValue(entry); result != ERROR_SUCCESS) return result;
      m_ui.progressStep();
    }
    return ERROR_SUCCESS;
  }

  UINT writeValue(const MsiRegistryEntry& entry) {
    auto key = m_properties.format(entry.key);
    auto name = m_properties.format(entry.name);
    auto data = m_properties.format(entry.data);
    const std::u16string shownKey = rootName(entry.root) + u"\\" + (key ? key.value() : entry.key);
    const std::u16string cannotOpen = u"Error 1402. Could not open key: " + shownKey +
                                      u". Verify that you have sufficient access to that key, or contact your support "
                                      u"personnel.";
    if (!key || key->empty()) return fail(ERROR_INSTALL_FAILURE, cannotOpen);
    const std::u16string cannotWrite = u"Error 1406. Could not write value " + (name ? name.value() : entry.name) +
                                       u" to key " + shownKey +
                                       u". Verify that you have sufficient access to that key, or contact your "
                                       u"support personnel.";
    if (!name || !data) return fail(ERROR_INSTALL_FAILURE, cannotWrite);

    std::vector<BYTE> bytes;
    if (entry.type == REG_DWORD) {
      const std::string digits = toUtf8(data.value());
      const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
      char* end = nullptr;
      errno = 0;
      const unsigned long long value = std::strtoull(digits.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
      if (digits.empty() || digits[0] == '-' || *end != '\0' || errno == ERANGE || value > 0xFFFFFFFFull ||
          end == digits.c_str() + (hex ? 2 : 0))
        return fail(ERROR_INSTALL_FAILURE, cannotWrite);
      for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
    } else {
      for (char16_t c : data.value()) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
      }
      bytes.push_back(0);
      bytes.push_back(0);
    }
    m_ui.send(INSTALLMESSAGE_ACTIONDATA,
              u"Key: " + shownKey + u", Name: " + name.value() + u", Value: " + data.value());

    const StoredKey stored = storedKeyFor(entry.root, key.value(), m_package.platform);
    std::vector<StoredKey> created;
    HKEY handle = nullptr;
    const LSTATUS opened = createStoredKey(stored, &created, &handle);
    for (const auto& made : created) {
      m_undo.push_back({UndoStep::Kind::RemoveKey, {}, {}, made, {}, {}});
      m_record.registryKeys.push_back(storedKeyText(made));
    }
    if (opened != ERROR_SUCCESS) return fail(ERROR_INSTALL_FAILURE, cannotOpen);
    const auto old = readValue(handle, name.value());
    const LSTATUS written =
        RegSetValueExW(handle, name->c_str(), 0, entry.type, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
    if (written != ERROR_SUCCESS) return fail(ERROR_INSTALL_FAILURE, cannotWrite);
    if (old)
      m_undo.push_back({UndoStep::Kind::RestoreValue, {}, {}, stored, name.value(), *old});
    else
      m_undo.push_back({UndoStep::Kind::RemoveValue, {}, {}, stored, name.value(), {}});
    m_record.registryValues.push_back(storedKeyText(stored) + u"\t" + name.value());
    return ERROR_SUCCESS;
  }

  UINT raiseFault() {
    const MsiFault& fault = *m_package.fault;
    if (!fault.message.empty()) m_ui.send(fault.messageType, fault.message);
    return fault.result;
  }

  UINT registerProduct() {
    m_ui.actionStart(u"RegisterProduct", u"Registering product");
    ProductRecord record = m_record;
    record.productCode = m_package.productCode;
    record.productName = m_package.productName;
    record.productVersion = m_package.productVersion;
    record.manufacturer = m_package.manufacturer;
    record.packagePath = m_packagePath;
    record.targetDir = m_properties.get(u"TARGETDIR");
    record.platform = m_package.platform;
    record.language = m_package.language;
    // A repair keeps what the earlier installation wrote, so a removal still
    // finds all of it.
    if (auto earlier = readProductRecord(m_package.productCode); earlier) {
      m_repair = true;
      auto keepEarlier = [](std::vector<std::u16string>& now, std::vector<std::u16string> before) {
        mergeNames(before, now);
        now = std::move(before);
      };
      keepEarlier(record.files, earlier->files);
      keepEarlier(record.folders, earlier->folders);
      keepEarlier(record.registryValues, earlier->registryValues);
      keepEarlier(record.registryKeys, earlier->registryKeys);
    }
    m_ui.progressStep();
    if (writeProductRecord(record, nullptr) != ERROR_SUCCESS) {
      if (!m_repair) deleteProductRecord(record);
      return fail(ERROR_INSTALL_FAILURE, u"Error 1402. Could not register the product " + m_package.productCode + u".");
    }
    return ERROR_SUCCESS;
  }

  void commit() {
    for (const auto& backup : m_backups) {
      SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(backup.c_str());
    }
  }

  void rollback() {
    m_ui.actionStart(u"Rollback", u"Rolling back action:");
    for (auto step = m_undo.rbegin(); step != m_undo.rend(); ++step) {
      switch (step->kind) {
        case UndoStep::Kind::RemoveFile:
          SetFileAttributesW(step->path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(step->path.c_str());
          break;
        case UndoStep::Kind::RestoreFile:
          SetFileAttributesW(step->path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(step->path.c_str());
          MoveFileExW(step->backup.c_str(), step->path.c_str(), MOVEFILE_REPLACE_EXISTING);
          break;
        case UndoStep::Kind::RemoveFolder:
          RemoveDirectoryW(step->path.c_str());
          break;
        case UndoStep::Kind::RestoreValue:
        case UndoStep::Kind::RemoveValue: {
          HKEY handle = nullptr;
          if (openStoredKey(step->key, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) break;
          if (step->kind == UndoStep::Kind::RestoreValue)
            RegSetValueExW(handle, step->name.c_str(), 0, step->old.type, step->old.data.data(),
                           static_cast<DWORD>(step->old.data.size()));
          else
            RegDeleteValueW(handle, step->name.c_str());
          RegCloseKey(handle);
          break;
        }
        case UndoStep::Kind::RemoveKey:
          deleteStoredKeyIfEmpty(step->key);
          break;
      }
    }
  }

  const Machine& m_machine;
  const MsiPackage& m_package;
  std::u16string m_packagePath;
  MsiProperties m_properties;
  Messenger m_ui;
  std::vector<UndoStep> m_undo;
  std::vector<std::u16string> m_backups;
  ProductRecord m_record;
  bool m_repair = false;
};

/// Removes what the record names; what others added to its folders and keys stays.
UINT removeProduct(const ProductRecord& record) {
  Messenger ui;
  ui.begin(record.language, 0, record.productName);
  ui.actionStart(u"InstallValidate", u"Validating install");
  ui.progressReset(record.files.size() + record.registryValues.size() + 1);
  ui.actionStart(u"RemoveRegistryValues", u"Removing system registry values");
  for (const auto& item : record.registryValues) {
    const std::size_t tab = item.find(u'\t');
    const auto key = parseStoredKeyText(std::u16string_view(item).substr(0, tab));
    if (tab == std::u16string::npos || !key) continue;
    const std::u16string name = item.substr(tab + 1);
    ui.send(INSTALLMESSAGE_ACTIONDATA, u"Key: " + storedKeyText(*key) + u", Name: " + name);
    HKEY handle = nullptr;
    if (openStoredKey(*key, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
      RegDeleteValueW(handle, name.c_str());
      RegCloseKey(handle);
    }
    ui.progressStep();
  }
  for (auto key = record.registryKeys.rbegin(); key != record.registryKeys.rend(); ++key)
    if (const auto stored = parseStoredKeyText(*key)) deleteStoredKeyIfEmpty(*stored);

  ui.actionStart(u"RemoveFiles", u"Removing files");
  for (const auto& file : record.files) {
    const std::size_t slash = file.find_last_of(u'\\');
    ui.send(INSTALLMESSAGE_ACTIONDATA,
            u"File: " + file.substr(slash + 1) + u", Directory: " + file.substr(0, slash + 1));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.c_str());
    ui.progressStep();
  }
  for (auto folder = record.folders.rbegin(); folder != record.folders.rend(); ++folder)
    RemoveDirectoryW(folder->c_str());

  ui.actionStart(u"UnpublishProduct", u"Unpublishing product information");
  deleteProductRecord(record);
  ui.progressStep();
  ui.end(u"Product: " + record.productName + u" -- Removal completed successfully.");
  return ERROR_SUCCESS;
}

UINT removeByCode(std::u16string_view productCode) {
  auto record = readProductRecord(productCode);
  if (!record) return ERROR_UNKNOWN_PRODUCT;
  return removeProduct(record.value());
}

Expected<std::string> readPackageBytes(const Machine& machine, std::u16string_view windowsPath) {
  auto host = machine.hostPath(windowsPath);
  if (!host) return makeError(ERROR_INSTALL_PACKAGE_OPEN_FAILED, "the package's path does not resolve");
  std::error_code ec;
  if (!fs::is_regular_file(host.value(), ec))
    return makeError(ERROR_INSTALL_PACKAGE_OPEN_FAILED, "there is no package file");
  const auto size = fs::file_size(host.value(), ec);
  if (ec) return makeError(ERROR_INSTALL_PACKAGE_OPEN_FAILED, "the package cannot be read");
  if (size > kMaxMsiPackageBytes) return makeError(ERROR_INSTALL_PACKAGE_INVALID, "the package is larger than 1 MiB");
  std::ifstream in(host.value(), std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size)))
    return makeError(ERROR_INSTALL_PACKAGE_OPEN_FAILED, "the package cannot be read");
  return bytes;
}

}  // namespace

UINT installPackage(std::u16string_view packagePath, std::u16string_view commandLine) {
  const Machine* machine = currentMachine();
  if (!machine) return ERROR_INSTALL_FAILURE;
  auto fullPath = machine->fullWindowsPath(packagePath);
  if (!fullPath) return ERROR_INSTALL_PACKAGE_OPEN_FAILED;
  auto bytes = readPackageBytes(*machine, fullPath.value());
  if (!bytes) return bytes.error().code;
  auto package = parseMsiPackage(bytes.value());
  if (!package) return ERROR_INSTALL_PACKAGE_INVALID;
  auto properties = parseMsiCommandLine(commandLine);
  if (!properties) return ERROR_INVALID_COMMAND_LINE;
  if (package->platform == MsiPlatform::X64 && !machineIs64Bit()) return ERROR_INSTALL_PLATFORM_UNSUPPORTED;

  ExecuteLock lock;
  if (!lock.owned()) return ERROR_INSTALL_ALREADY_RUNNING;
  for (const auto& [name, value] : properties.value())
    if (name == u"REMOVE" && equalsNoCase(value, u"ALL")) return removeByCode(package->productCode);
  InstallSession session(*machine, package.value(), fullPath.value());
  return session.run(properties.value());
}

UINT removeInstalledProduct(std::u16string_view productCode) {
  if (!isMsiProductCode(productCode)) return ERROR_INVALID_PARAMETER;
  ExecuteLock lock;
  if (!lock.owned()) return ERROR_INSTALL_ALREADY_RUNNING;
  return removeByCode(productCode);
}

}  // namespace winsim::msi

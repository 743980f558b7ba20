#include "winsim/machine.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "win32/errors.h"
#include "winsim/text.h"

namespace winsim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProfileFile = "machine.ini";

std::atomic<Bitness> g_bitness{Bitness::Bits64};

std::mutex g_currentMutex;
std::shared_ptr<Machine> g_current;
bool g_triedEnvironment = false;

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isDriveLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::string readWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Status writeFileAtomically(const fs::path& path, std::string_view bytes) {
  const fs::path temp = path.string() + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return makeError(ERROR_WRITE_FAULT, "cannot write " + temp.string());
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    fs::remove(temp, ec);
    return makeError(ERROR_WRITE_FAULT, "cannot replace " + path.string());
  }
  return {};
}

/// Splits a Windows path into its components, folding "." and "..".
std::vector<std::u16string> components(std::u16string_view rest) {
  std::vector<std::u16string> parts;
  std::size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && isSeparator(rest[i])) ++i;
    std::size_t j = i;
    while (j < rest.size() && !isSeparator(rest[j])) ++j;
    if (j > i) {
      std::u16string part(rest.substr(i, j - i));
      if (part == u"..") {
        if (!parts.empty()) parts.pop_back();
      } else if (part != u".") {
        parts.push_back(std::move(part));
      }
    }
    i = j;
  }
  return parts;
}

/// The name of an entry of `folder` that equals `name` without case.
std::optional<std::string> findNoCase(const fs::path& folder, const std::u16string& name) {
  const std::string exact = toUtf8(name);
  std::error_code ec;
  if (fs::symlink_status(folder / exact, ec).type() != fs::file_type::not_found && !ec) return exact;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (equalsNoCase(fromUtf8(entry), name)) return entry;
  }
  return std::nullopt;
}

struct DefaultFolder {
  const char16_t* key;
  const char16_t* path;  // %USER% is the user's name
};
constexpr DefaultFolder kDefaultFolders[] = {
    {u"windows", u"C:\\Windows"},
    {u"system", u"C:\\Windows\\System32"},
    {u"program_files", u"C:\\Program Files"},
    {u"program_files_x86", u"C:\\Program Files (x86)"},
    {u"common_files", u"C:\\Program Files\\Common Files"},
    {u"common_files_x86", u"C:\\Program Files (x86)\\Common Files"},
    {u"common_desktop", u"C:\\Users\\Public\\Desktop"},
    {u"common_programs", u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {u"profile", u"C:\\Users\\%USER%"},
    {u"documents", u"C:\\Users\\%USER%\\Documents"},
    {u"desktop", u"C:\\Users\\%USER%\\Desktop"},
    {u"appdata", u"C:\\Users\\%USER%\\AppData\\Roaming"},
    {u"temp", u"C:\\Users\\%USER%\\AppData\\Local\\Temp\\"},
};

std::u16string withUser(std::u16string path, std::u16string_view user) {
  const std::u16string marker = u"%USER%";
  for (auto at = path.find(marker); at != std::u16string::npos; at = path.find(marker))
    path.replace(at, marker.size(), user);
  return path;
}

}  // namespace

Bitness programBitness() { return g_bitness.load(); }
void setProgramBitness(Bitness bitness) { g_bitness.store(bitness); }

Machine::Machine(fs::path folder) : m_folder(std::move(folder)) {}

Expected<std::shared_ptr<Machine>> Machine::open(const fs::path& folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder, ec);
  if (ec || !fs::is_regular_file(absolute / kProfileFile, ec))
    return makeError(ERROR_PATH_NOT_FOUND, "no machine at " + folder.string() + " (machine.ini missing)");
  return std::shared_ptr<Machine>(new Machine(absolute.lexically_normal()));
}

Expected<std::shared_ptr<Machine>> Machine::create(const fs::path& folder, const std::vector<ProfileSetting>& settings,
                                                   const std::vector<DriveMapping>& drives) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
  if (fs::exists(absolute / kProfileFile, ec))
    return makeError(ERROR_ALREADY_EXISTS, "a machine already exists at " + folder.string());
  for (const auto& drive : drives) {
    if (!isDriveLetter(static_cast<char16_t>(drive.letter)) || upperCase(static_cast<char16_t>(drive.letter)) == u'C')
      return makeError(ERROR_INVALID_DRIVE, std::string("drive ") + drive.letter + " cannot be mapped (use D to Z)");
    if (!fs::is_directory(drive.hostFolder, ec))
      return makeError(ERROR_PATH_NOT_FOUND, "drive folder " + drive.hostFolder.string() + " does not exist");
  }

  IniDocument profile = IniDocument::parse(
      u"; The simulated machine's profile: see README.md, \"The machine folder\".\r\n"
      u"[system]\r\nversion=6.1\r\nbuild=7601\r\nprocessor=x64\r\ncodepage=1252\r\ncomputer=WINSIM-PC\r\n"
      u"[user]\r\nname=User\r\nadmin=1\r\nelevated=1\r\n"
      u"[disk]\r\nC=107374182400\r\n"
      u"[processes]\r\nrunning=\r\n");
  for (const auto& s : settings) {
    if (s.section.empty() || s.key.empty())
      return makeError(ERROR_INVALID_PARAMETER, "a setting needs SECTION.KEY=VALUE");
    profile.setValue(fromUtf8(s.section), fromUtf8(s.key), fromUtf8(s.value));
  }
  const std::u16string user = profile.value(u"user", u"name").value_or(u"User");
  for (const auto& f : kDefaultFolders)
    if (!profile.value(u"folders", f.key)) profile.setValue(u"folders", f.key, withUser(f.path, user));
  for (const auto& drive : drives) {
    const std::u16string letter(1, upperCase(static_cast<char16_t>(drive.letter)));
    profile.setValue(u"drives", letter, fromUtf8(fs::absolute(drive.hostFolder).lexically_normal().string()));
    if (!profile.value(u"disk", letter)) profile.setValue(u"disk", letter, u"107374182400");
  }

  fs::create_directories(absolute / "drives" / "c", ec);
  fs::create_directories(absolute / "state", ec);
  if (ec) return makeError(ERROR_ACCESS_DENIED, "cannot create " + absolute.string() + ": " + ec.message());
  // Drives named in [disk] without a host folder live in the machine folder.
  for (const auto& letter : profile.keys(u"disk"))
    if (letter.size() == 1 && !profile.value(u"drives", letter))
      fs::create_directories(absolute / "drives" / toUtf8(std::u16string(1, lowerCase(letter[0]))), ec);

  std::shared_ptr<Machine> machine(new Machine(absolute));
  // machine.ini is written last: a folder without it is no machine, so a
  // failed creation never leaves a half-made machine that opens.
  for (const auto& f : kDefaultFolders) {
    const auto path = profile.value(u"folders", f.key);
    if (path && path->size() > 2 && upperCase((*path)[0]) == u'C') {
      const auto parts = components(path->substr(2));
      fs::path host = absolute / "drives" / "c";
      for (const auto& p : parts) host /= toUtf8(p);
      fs::create_directories(host, ec);
    }
  }
  if (auto written = writeFileAtomically(absolute / kProfileFile, toUtf8(profile.serialize())); !written)
    return written.error();
  return machine;
}

const IniDocument& Machine::profile() const {
  std::error_code ec;
  const fs::path path = m_folder / kProfileFile;
  const auto time = fs::last_write_time(path, ec);
  const auto size = ec ? 0 : fs::file_size(path, ec);
  if (!ec && (time != m_profileTime || size != m_profileSize)) {
    std::string bytes = readWholeFile(path);
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    m_profile = IniDocument::parse(fromUtf8(bytes));
    m_profileTime = time;
    m_profileSize = size;
  }
  return m_profile;
}

std::u16string Machine::profileString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view fallback) const {
  std::lock_guard lock(m_mutex);
  auto value = profile().value(section, key);
  return value ? *value : std::u16string(fallback);
}

long long Machine::profileInt(std::u16string_view section, std::u16string_view key, long long fallback) const {
  const std::u16string text = profileString(section, key);
  if (text.empty()) return fallback;
  bool negative = false;
  std::size_t i = 0;
  if (text[0] == u'-') {
    negative = true;
    ++i;
  }
  if (i >= text.size() || text[i] < u'0' || text[i] > u'9') return fallback;
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    if (value > (std::numeric_limits<long long>::max() - 9) / 10) return fallback;
    value = value * 10 + (text[i] - u'0');
  }
  return negative ? -value : value;
}

Status Machine::setProfileValue(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  std::lock_guard lock(m_mutex);
  IniDocument doc = profile();
  doc.setValue(section, key, value);
  if (auto written = writeFileAtomically(m_folder / kProfileFile, toUtf8(doc.serialize())); !written) return written;
  m_profileSize = 0;  // read again on next use
  m_profileTime = {};
  return {};
}

fs::path Machine::driveFolder(char16_t letter) const {
  if (!isDriveLetter(letter)) return {};
  const std::u16string upper(1, upperCase(letter));
  const std::u16string mapped = profileString(u"drives", upper);
  if (!mapped.empty()) return fs::path(toUtf8(mapped));
  std::error_code ec;
  const fs::path own = m_folder / "drives" / toUtf8(std::u16string(1, lowerCase(letter)));
  return fs::is_directory(own, ec) ? own : fs::path();
}

Expected<std::u16string> Machine::fullWindowsPath(std::u16string_view path) const {
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]))
    return makeError(ERROR_BAD_NETPATH, "network paths are not on this machine");
  std::u16string absolute;
  if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == u':') {
    absolute = std::u16string(path);
  } else if (!path.empty() && isSeparator(path[0])) {
    absolute = currentFolder().substr(0, 2) + std::u16string(path);
  } else {
    absolute = currentFolder() + u"\\" + std::u16string(path);
  }
  // "C:foo" is relative to the drive's current folder; the machine keeps one
  // current folder only, so it is taken from the root.
  std::u16string full(1, upperCase(absolute[0]));
  full += u":";
  const auto parts = components(std::u16string_view(absolute).substr(2));
  if (parts.empty()) full += u"\\";
  for (const auto& p : parts) full += u"\\" + p;
  return full;
}

Expected<fs::path> Machine::hostPath(std::u16string_view windowsPath) const {
  if (windowsPath.empty()) return makeError(ERROR_PATH_NOT_FOUND, "empty path");
  auto full = fullWindowsPath(windowsPath);
  if (!full) return full.error();
  fs::path host = driveFolder(full.value()[0]);
  if (host.empty()) return makeError(ERROR_PATH_NOT_FOUND, "no drive " + toUtf8(full.value().substr(0, 2)));
  bool existing = true;
  for (const auto& part : components(std::u16string_view(full.value()).substr(2))) {
    if (existing) {
      if (auto name = findNoCase(host, part)) {
        host /= *name;
        continue;
      }
      existing = false;
    }
    host /= toUtf8(part);
  }
  return host;
}

std::optional<std::u16string> Machine::windowsPath(const fs::path& hostPath) const {
  std::error_code ec;
  const fs::path target = fs::weakly_canonical(fs::absolute(hostPath, ec), ec);
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    const fs::path drive = driveFolder(letter);
    if (drive.empty()) continue;
    const fs::path root = fs::weakly_canonical(drive, ec);
    const fs::path relative = target.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") continue;
    std::u16string out(1, letter);
    out += u":";
    for (const auto& part : relative)
      if (part != ".") out += u"\\" + fromUtf8(part.string());
    if (out.size() == 2) out += u"\\";
    return out;
  }
  return std::nullopt;
}

std::u16string Machine::currentFolder() const {
  std::error_code ec;
  const auto cwd = fs::current_path(ec);
  if (!ec)
    if (auto path = windowsPath(cwd)) return *path;
  return u"C:\\";
}

Status Machine::setCurrentFolder(std::u16string_view windowsPath) {
  auto host = hostPath(windowsPath);
  if (!host) return host.error();
  std::error_code ec;
  if (!fs::is_directory(host.value(), ec)) return makeError(ERROR_DIRECTORY, "not a folder");
  fs::current_path(host.value(), ec);
  if (ec) return makeError(ERROR_ACCESS_DENIED, ec.message());
  return {};
}

Machine* currentMachine() {
  std::lock_guard lock(g_currentMutex);
  if (!g_current && !g_triedEnvironment) {
    g_triedEnvironment = true;
    if (const char* folder = std::getenv("WINSIM_MACHINE"); folder && *folder) {
      if (auto machine = Machine::open(folder)) g_current = machine.value();
    }
  }
  return g_current.get();
}

void setCurrentMachine(std::shared_ptr<Machine> machine) {
  std::lock_guard lock(g_currentMutex);
  g_current = std::move(machine);
  g_triedEnvironment = true;
}

}  // namespace winsim

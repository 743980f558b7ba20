#include "winsim/uiagent.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "winsim/machine.h"
#include "winsim/transcript.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

/// The verbs that some layer carries out. A layer that learns a new verb adds
/// it here; any other verb is a script error.
constexpr std::string_view kKnownVerbs[] = {
    "answer",      "click",      "double-click",      "hover",       "leave",  "type", "key", "advance",
    "wait-dialog", "screenshot", "screenshot-screen", "expect-text", "command"};

constexpr const char* kStateFile = "state/uiagent.json";
constexpr const char* kLockFile = "state/uiagent.lock";

bool isKnownVerb(std::string_view verb) {
  return std::find(std::begin(kKnownVerbs), std::end(kKnownVerbs), verb) != std::end(kKnownVerbs);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

struct Script {
  std::string path;
  std::string stamp;  // changes when the file is written anew
  std::vector<std::string> lines;
};

/// Where the script stands: the index of the next line to read.
struct Position {
  std::string stamp;
  std::size_t next = 0;
};

std::mutex g_mutex;                          // one taker at a time in this process
std::map<std::string, Position> g_memory;    // positions when there is no machine
std::set<std::string> g_reportedUnreadable;  // scripts already reported as unreadable

std::string scriptPathFromEnvironment() {
  const char* name = std::getenv("WINSIM_UI");
  if (!name || !*name) return {};
  std::error_code ec;
  const fs::path absolute = fs::absolute(name, ec);
  return ec ? std::string(name) : absolute.lexically_normal().string();
}

void reportProblem(const std::string& path, std::size_t line, std::string_view command, std::string_view problem) {
  std::fprintf(stderr, "UI script %s:%zu: %.*s (%.*s)\n", path.c_str(), line, static_cast<int>(problem.size()),
               problem.data(), static_cast<int>(command.size()), command.data());
  TranscriptRecord record("ScriptError");
  record.utf8("script", path)
      .number("line", static_cast<long long>(line))
      .utf8("command", command)
      .utf8("problem", problem);
  (void)appendTranscript(std::move(record));  // without a machine, standard error is the record
}

std::optional<Script> loadScript(const std::string& path) {
  struct stat info {};
  std::ifstream in(path, std::ios::binary);
  if (!in || ::stat(path.c_str(), &info) != 0) {
    if (g_reportedUnreadable.insert(path).second) reportProblem(path, 0, "", "the UI script cannot be read");
    return std::nullopt;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string text = bytes.str();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);

  Script script;
  script.path = path;
  // The content counts too: a script rewritten with as many bytes within
  // the file system's time step is still a new script.
  std::uint64_t digest = 14695981039346656037ull;  // FNV-1a, the same in every process
  for (const unsigned char c : text) digest = (digest ^ c) * 1099511628211ull;
  script.stamp = std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) + ":" +
                 std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + ":" +
                 std::to_string(digest);
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    script.lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return script;
}

std::optional<UiCommand> parseLine(std::string_view line, std::size_t number) {
  const std::string_view text = trimmed(line);
  if (text.empty() || text.front() == '#') return std::nullopt;
  UiCommand command;
  command.text = std::string(text);
  command.line = number;
  std::size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    if (pos >= text.size()) break;
    std::size_t end = pos;
    while (end < text.size() && !isBlank(text[end])) ++end;
    const std::string word(text.substr(pos, end - pos));
    if (first) {
      command.verb = word;
      std::transform(command.verb.begin(), command.verb.end(), command.verb.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      command.rest = std::string(trimmed(text.substr(end)));
      first = false;
    } else {
      command.words.push_back(word);
    }
    pos = end;
  }
  return command;
}

/// An exclusive lock on the machine's UI agent state, held while alive.
class StateLock {
 public:
  explicit StateLock(const fs::path& path) : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (m_fd < 0) return;
    while (::flock(m_fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(m_fd);
        m_fd = -1;
        return;
      }
    }
  }
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;
  ~StateLock() {
    if (m_fd >= 0) ::close(m_fd);
  }
  bool held() const { return m_fd >= 0; }

 private:
  int m_fd;
};

nlohmann::json readState(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return nlohmann::json::object();
  std::ostringstream text;
  text << in.rdbuf();
  nlohmann::json state = nlohmann::json::parse(text.str(), nullptr, false);
  // A damaged state file (a crash while writing is ruled out by the rename
  // below, but a person may edit it) starts every script again.
  return state.is_object() ? state : nlohmann::json::object();
}

bool writeState(const fs::path& file, const nlohmann::json& state) {
  const fs::path temp = file.string() + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << state.dump(1) << '\n';
    out.flush();
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(temp, file, ec);
  if (ec) fs::remove(temp, ec);
  return !ec;
}

Position positionIn(const nlohmann::json& state, const std::string& path) {
  Position position;
  const auto scripts = state.find("scripts");
  if (scripts == state.end() || !scripts->is_object()) return position;
  const auto entry = scripts->find(path);
  if (entry == scripts->end() || !entry->is_object()) return position;
  if (const auto stamp = entry->find("stamp"); stamp != entry->end() && stamp->is_string())
    position.stamp = stamp->get<std::string>();
  if (const auto next = entry->find("next"); next != entry->end() && next->is_number_unsigned())
    position.next = next->get<std::size_t>();
  return position;
}

/// Moves past blank lines, comments and unknown verbs (collected for
/// reporting) and takes the command there if it is of `verb`.
std::optional<UiCommand> advance(const Script& script, Position& position, std::string_view verb,
                                 std::vector<UiCommand>& unknown) {
  for (std::size_t i = position.next; i < script.lines.size(); ++i) {
    auto command = parseLine(script.lines[i], i + 1);
    if (!command) continue;
    if (!isKnownVerb(command->verb)) {
      unknown.push_back(std::move(*command));
      continue;
    }
    if (command->verb != verb) {
      position.next = i;
      return std::nullopt;
    }
    position.next = i + 1;
    return command;
  }
  position.next = script.lines.size();
  return std::nullopt;
}

}  // namespace

std::optional<UiCommand> takeUiCommand(std::string_view verb) {
  std::vector<UiCommand> unknown;
  std::optional<UiCommand> taken;
  std::string path;
  {
    std::lock_guard guard(g_mutex);
    path = scriptPathFromEnvironment();
    if (path.empty()) return std::nullopt;
    const auto script = loadScript(path);
    if (!script) return std::nullopt;

    if (const Machine* machine = currentMachine()) {
      const StateLock lock(machine->stateFile(kLockFile));
      const fs::path stateFile = machine->stateFile(kStateFile);
      nlohmann::json state = readState(stateFile);
      Position position = positionIn(state, path);
      if (position.stamp != script->stamp) position = {script->stamp, 0};
      taken = advance(*script, position, verb, unknown);
      if (!state["scripts"].is_object()) state["scripts"] = nlohmann::json::object();
      state["scripts"][path] = {{"stamp", position.stamp}, {"next", position.next}};
      if (!lock.held() || !writeState(stateFile, state))
        std::fprintf(stderr, "UI script %s: cannot keep its position in %s\n", path.c_str(), stateFile.c_str());
    } else {
      Position& position = g_memory[path];
      if (position.stamp != script->stamp) position = {script->stamp, 0};
      taken = advance(*script, position, verb, unknown);
    }
  }
  for (const auto& command : unknown) reportProblem(path, command.line, command.text, "no layer knows this command");
  return taken;
}

void reportUiScriptError(const UiCommand& command, std::string_view problem) {
  reportProblem(scriptPathFromEnvironment(), command.line, command.text, problem);
}

}  // namespace winsim

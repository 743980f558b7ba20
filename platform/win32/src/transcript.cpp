#include "winsim/transcript.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "win32/errors.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim {

namespace {

constexpr const char* kTranscriptFile = "transcript.jsonl";

/// The Windows image path the process was started as, else its host path.
std::string processName() {
  if (const char* image = std::getenv("WINSIM_IMAGE"); image && *image) return image;
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
}

/// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  int get() const { return m_fd; }

 private:
  int m_fd;
};

}  // namespace

TranscriptRecord::TranscriptRecord(std::string_view kind) { utf8("kind", kind); }

TranscriptRecord& TranscriptRecord::text(std::string_view name, std::u16string_view value) {
  return utf8(name, toUtf8(value));
}

TranscriptRecord& TranscriptRecord::utf8(std::string_view name, std::string_view value) {
  m_fields.push_back({std::string(name), Type::Text, std::string(value), 0});
  return *this;
}

TranscriptRecord& TranscriptRecord::number(std::string_view name, long long value) {
  m_fields.push_back({std::string(name), Type::Number, {}, value});
  return *this;
}

TranscriptRecord& TranscriptRecord::flag(std::string_view name, bool value) {
  m_fields.push_back({std::string(name), Type::Flag, {}, value ? 1 : 0});
  return *this;
}

std::string TranscriptRecord::toJson() const {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const auto& field : m_fields) {
    switch (field.type) {
      case Type::Text:
        object[field.name] = field.text;
        break;
      case Type::Number:
        object[field.name] = field.number;
        break;
      case Type::Flag:
        object[field.name] = field.number != 0;
        break;
    }
  }
  // Texts come from UTF-16 and are valid UTF-8; a narrow text given through
  // utf8() might not be, and must not cost the record.
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

Status appendTranscript(TranscriptRecord record) {
  const Machine* machine = currentMachine();
  if (!machine) return makeError(ERROR_PATH_NOT_FOUND, "no machine to keep a transcript in");
  record.utf8("process", processName()).number("pid", ::getpid());
  const std::string line = record.toJson() + "\n";

  const std::string path = machine->stateFile(kTranscriptFile).string();
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (file.get() < 0) return makeError(ERROR_CANTWRITE, "cannot open " + path);
  // O_APPEND puts each write at the end; the lock keeps a line that needs
  // more than one write (one cut short by a signal) in one piece.
  while (::flock(file.get(), LOCK_EX) != 0)
    if (errno != EINTR) return makeError(ERROR_LOCK_VIOLATION, "cannot lock " + path);
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(file.get(), line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return makeError(ERROR_WRITE_FAULT, "cannot write " + path);
    written += static_cast<std::size_t>(n);
  }
  return {};  // closing the file releases the lock
}

}  // namespace winsim

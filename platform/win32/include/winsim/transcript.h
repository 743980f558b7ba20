// The machine's transcript: everything the machine showed to a person and
// everything the UI agent did, one JSON object a line, in MACHINE/transcript.jsonl.
//
//   {"kind":"MessageBox","caption":"Setup","text":"Line one\nLine two","style":"0x00000024",
//    "answer":"IDYES","by":"script","process":"C:\\Setup\\Setup.exe","pid":4242}
//
// Every record starts with its kind; appendTranscript adds the showing
// process (its Windows image path, else its host path) and its host process
// id. Several processes of one machine append to one transcript: each line is
// written whole under an exclusive lock, so lines never interleave.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "winsim/expected.h"

namespace winsim {

/// One transcript line being built: fields are kept in the order added.
class TranscriptRecord {
 public:
  explicit TranscriptRecord(std::string_view kind);

  TranscriptRecord& text(std::string_view name, std::u16string_view value);
  TranscriptRecord& utf8(std::string_view name, std::string_view value);
  TranscriptRecord& number(std::string_view name, long long value);
  TranscriptRecord& flag(std::string_view name, bool value);

  /// The record as one line of JSON, without the line feed.
  std::string toJson() const;

 private:
  enum class Type { Text, Number, Flag };
  struct Field {
    std::string name;
    Type type;
    std::string text;  // UTF-8
    long long number = 0;
  };
  std::vector<Field> m_fields;
};

/// Appends the record, with the process fields, to the current machine's
/// transcript. Fails when there is no machine or the file cannot be written.
Status appendTranscript(TranscriptRecord record);

}  // namespace winsim

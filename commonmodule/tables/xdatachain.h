// The value chains behind the extended-entity-data functions: an owner of a
// result-buffer chain, the storage of a text (one string item, or a run of
// binary chunks of the text's ANSI bytes), and the conversions between LISP
// value lists and braced xdata groups.
//
// Value chains come from callers and from drawings, so every node is taken as
// outside input: a chain of any shape converts, or fails with a result, and
// nothing is read past a node or out of a chunk's stated size.
#pragma once

#include "DbObject.h"
#include "ResBuf.h"

namespace mwcommon {

/// Owns a result-buffer chain (released with odutRelRb) and appends to it.
class ResbufChain {
 public:
  ResbufChain() = default;
  explicit ResbufChain(resbuf* head);
  ResbufChain(ResbufChain&& other) noexcept;
  ResbufChain& operator=(ResbufChain&& other) noexcept;
  ResbufChain(const ResbufChain&) = delete;
  ResbufChain& operator=(const ResbufChain&) = delete;
  ~ResbufChain();

  resbuf* head() const { return m_head; }
  bool empty() const { return m_head == nullptr; }
  /// Appends one node (false, and nothing appended, for a null node).
  bool append(resbuf* node);
  /// Appends a whole chain taken over from `other`.
  void append(ResbufChain&& other);
  /// Hands the chain on; this owner is then empty.
  resbuf* release();
  void reset(resbuf* head = nullptr);

 private:
  resbuf* m_head = nullptr;
  resbuf* m_tail = nullptr;
};

/// How the making of stored items ended.
enum class XdataBuild {
  kDone,
  /// A buffer could not be had (message 30208).
  kOutOfMemory,
  /// A text too long for one string item holds characters that the ANSI code
  /// page lacks: its chunks would lose them (message 30207).
  kNotAnsi,
};

/// The longest text (in ANSI bytes) that one 1000 string item holds.
inline constexpr int kMaxStringItemBytes = 255;
/// The bytes of one full 1004 chunk.
inline constexpr int kChunkBytes = 127;

/// Text storage: appends one 1000 item holding `text` when its ANSI form has
/// at most 255 bytes, else the 1004 run of its ANSI bytes (127 a chunk, then
/// the rest, empty when the count is a multiple of 127). Null is the empty text.
XdataBuild appendStoredText(ResbufChain& chain, const OdChar* text);

/// The braced xdata group of a LISP value list: 1002 "{", the converted items
/// of the nodes after `list` (its first node opens the group and is not
/// copied), up to the node that closes the group, or to the end of the list.
/// A null list gives the opening item alone.
XdataBuild listToXdata(const resbuf* list, ResbufChain& group);

/// Converts, in place, the xdata items after `start` into LISP form, the
/// group that `start` opens (depth 1) ending at its closing item, which is cut
/// off with everything after it. False after printing message 30207 for an
/// item outside the conversion table (or a chunk of a bad size), leaving the
/// chain partly converted but whole; false after showing 30208 when a text
/// cannot be had. A null start gives true.
bool xdataToList(resbuf* start);

/// The text of ANSI bytes joined from chunks; false when memory runs out.
bool ansiText(const char* bytes, std::size_t count, OdString& text);

/// Registers application `name` for the object's data and gives the list
/// head: the object's own 1001 item when it carries data for the application,
/// else a new 1001 item after the registered application table got a record
/// of that name. False when the record cannot be added (or memory runs out).
bool registerAppName(OdDbObject* object, const OdChar* name, ResbufChain& head);

/// Prints message 30207 "\nIllegal entry!" on the command line.
void reportIllegalEntry();
/// Shows message 30208 "\nInsufficient memory!" in an alert box.
void reportInsufficientMemory();
/// Reports a failed build as its message says.
void reportBuildFailure(XdataBuild result);

}  // namespace mwcommon

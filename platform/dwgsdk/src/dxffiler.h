// The DXF filer: group codes and values out to a file, and the groups of one
// record (from a 0 group to the next) in, with checked conversions.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "dxftext.h"
#include "internals.h"

class OdDbDxfFiler {
 public:
  // Writing.
  explicit OdDbDxfFiler(std::FILE* file);
  ~OdDbDxfFiler();
  void wrRaw(int code, std::string_view ascii);
  void wrString(int code, std::u16string_view text);
  void wrString(int code, const OdString& text) { wrString(code, text.view()); }
  void wrString(int code, const std::u16string& text) { wrString(code, std::u16string_view(text)); }
  void wrString(int code, const char16_t* text) { wrString(code, std::u16string_view(text)); }
  void wrDouble(int code, double value);
  void wrAngle(int code, double radians);  // DXF angles are degrees
  void wrInt(int code, long long value);
  void wrHandle(int code, const OdDbStub* stub);
  void wrHandle(int code, OdUInt64 handle);
  void wrPoint(int code, const OdGePoint3d& p);
  void wrPoint(int code, const OdGeVector3d& v) { wrPoint(code, OdGePoint3d(v.x, v.y, v.z)); }
  void wrPoint2d(int code, const OdGePoint2d& p);
  void wrSubclass(const char* name) { wrRaw(100, name); }
  void wrNormal(int code, const OdGeVector3d& normal);
  void wrName(int code, const OdDbStub* record, const char16_t* fallback);
  /// Flushes; false when a write failed.
  bool finish();
  /// Objects whose references may name erased records write the standard
  /// ones instead, so the file never points at what it does not hold.
  OdDbDatabaseImpl* database = nullptr;
  /// The objects the OBJECTS section holds (the tree of the named-object
  /// dictionary): a pointer to any other object is written as none.
  std::unordered_set<const OdDbStub*> objectsWritten;

  // Reading: the groups of one record.
  struct Group {
    int code;
    std::uint32_t offset;
    std::uint32_t length;
  };
  OdDbDxfFiler(const std::vector<Group>& groups, const std::string& bytes, DxfEncoding encoding, unsigned codePage);
  bool next();
  int code() const { return (*m_groups)[m_index].code; }
  std::string_view raw() const;
  /// The current subclass marker (100), empty before the first.
  std::string_view subclass() const { return m_subclass; }
  OdString rdString() const;
  double rdDouble();
  double rdAngle() {
    return static_cast<double>(static_cast<long double>(rdDouble()) * 3.141592653589793238462643383279502884L / 180.0L);
  }
  long long rdInt();
  OdUInt64 rdHandle();
  /// A point from this group (x) and the two that follow (y, z) when they do.
  OdGePoint3d rdPoint();
  void fail(OdResult result) {
    if (m_status == eOk) m_status = result;
  }
  OdResult status() const { return m_status; }
  DxfEncoding encoding() const { return m_encoding; }
  unsigned codePage() const { return m_codePage; }

 private:
  // Writing: a buffer the groups go into, flushed when it fills.
  void flush();
  char* room(std::size_t bytes) {
    if (static_cast<std::size_t>(m_end - m_pos) < bytes) flush();
    if (static_cast<std::size_t>(m_end - m_pos) < bytes) grow(bytes);
    return m_pos;
  }
  void grow(std::size_t bytes);
  void putCode(int code);
  void put(std::string_view text) {
    char* p = room(text.size() + 1);
    std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\n';
    m_pos = p + text.size() + 1;
  }
  std::FILE* m_file = nullptr;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_capacity = 0;
  char* m_pos = nullptr;
  char* m_end = nullptr;
  std::string m_scratch;
  bool m_writeFailed = false;
  // Reading.
  const std::vector<Group>* m_groups = nullptr;
  const std::string* m_bytes = nullptr;
  std::size_t m_index = 0;
  bool m_started = false;
  std::string_view m_subclass;
  DxfEncoding m_encoding = DxfEncoding::kUnknown;
  unsigned m_codePage = 1252;
  OdResult m_status = eOk;
};

/// Reads a dimension variable's value from the current group by its type.
template <class T>
void readDimVarValue(OdDbDxfFiler& f, T& out, OdDbObjectId (*handleToId)(void*, OdUInt64), void* context) {
  if constexpr (std::is_same_v<T, double>)
    out = f.rdDouble();
  else if constexpr (std::is_same_v<T, OdString>)
    out = f.rdString();
  else if constexpr (std::is_same_v<T, OdDbObjectId>)
    out = handleToId ? handleToId(context, f.rdHandle()) : OdDbObjectId();
  else if constexpr (std::is_same_v<T, bool>)
    out = f.rdInt() != 0;
  else
    out = static_cast<T>(f.rdInt());
}

/// What a record is, by its exact class (classes derived from ours write as their base).
enum class DxfKind {
  kNone,
  kLine,
  kArc,
  kCircle,
  kPoint,
  kAttDef,
  kAttrib,
  kText,
  kMText,
  kPolyline,
  kComplex,
  kVertex,
  kInsert,
  kDimension,
  kViewport,
  kSeqEnd,
  kXrecord,
  kDictionary,
  kLayout,
  kOpaqueEntity,
  kOpaqueObject
};
DxfKind dxfKindOf(const OdDbObject& object);

/// Writes one object (its 0 group and everything after it).
void dxfWriteObject(OdDbDxfFiler& filer, const OdDbObject& object);
void dxfWriteObject(OdDbDxfFiler& filer, const OdDbObject& object, DxfKind kind);
/// The DXF record name of an object ("LINE", "POLYLINE", ...).
const char* dxfRecordName(const OdDbObject& object);
const char* dxfRecordName(const OdDbObject& object, DxfKind kind);

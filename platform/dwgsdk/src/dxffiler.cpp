// The DXF filer's group writing and checked value reading.
#include "dxffiler.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "standard.h"

namespace {
constexpr std::size_t kFlushSize = 1 << 20;

void appendCode(std::string& out, int code) {
  char buffer[16];
  char* p = buffer;
  if (code >= 0 && code < 10) {
    *p++ = ' ';
    *p++ = ' ';
  } else if (code >= 10 && code < 100) {
    *p++ = ' ';
  }
  p = std::to_chars(p, buffer + sizeof buffer - 1, code).ptr;
  *p++ = '\n';
  out.append(buffer, static_cast<std::size_t>(p - buffer));
}
}  // namespace

OdDbDxfFiler::OdDbDxfFiler(std::FILE* file) : m_file(file) { m_out.reserve(kFlushSize + 4096); }

OdDbDxfFiler::OdDbDxfFiler(const std::vector<Group>& groups, const std::string& bytes, DxfEncoding encoding,
                           unsigned codePage)
    : m_groups(&groups), m_bytes(&bytes), m_encoding(encoding), m_codePage(codePage) {}

OdDbDxfFiler::~OdDbDxfFiler() = default;

void OdDbDxfFiler::flushIfFull() {
  if (m_out.size() < kFlushSize) return;
  if (!m_writeFailed && std::fwrite(m_out.data(), 1, m_out.size(), m_file) != m_out.size()) m_writeFailed = true;
  m_out.clear();
}

bool OdDbDxfFiler::finish() {
  if (!m_out.empty() && !m_writeFailed && std::fwrite(m_out.data(), 1, m_out.size(), m_file) != m_out.size())
    m_writeFailed = true;
  m_out.clear();
  return !m_writeFailed;
}

void OdDbDxfFiler::wrRaw(int code, std::string_view ascii) {
  appendCode(m_out, code);
  m_out.append(ascii);
  m_out += '\n';
  flushIfFull();
}

void OdDbDxfFiler::wrString(int code, std::u16string_view text) {
  appendCode(m_out, code);
  encodeDxfText(m_out, text);
  m_out += '\n';
  flushIfFull();
}

void OdDbDxfFiler::wrDouble(int code, double value) {
  appendCode(m_out, code);
  if (!std::isfinite(value)) value = 0;  // setters refuse these; nothing that is not a number reaches a file
  if (value == 0) value = 0;             // no "-0.0"
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  m_out.append(text);
  if (text.find_first_of(".e") == std::string_view::npos) m_out.append(".0");
  m_out += '\n';
  flushIfFull();
}

void OdDbDxfFiler::wrAngle(int code, double radians) {
  // In extended precision, so that degrees read back give the same radians.
  auto degrees = static_cast<double>(static_cast<long double>(radians) * 180.0L / 3.141592653589793238462643383279502884L);
  // Whole degrees stay whole.
  double whole = std::round(degrees);
  if (std::fabs(whole - degrees) < 1e-9) degrees = whole;
  wrDouble(code, degrees);
}

void OdDbDxfFiler::wrInt(int code, long long value) {
  appendCode(m_out, code);
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  m_out.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
  m_out += '\n';
  flushIfFull();
}

void OdDbDxfFiler::wrHandle(int code, OdUInt64 handle) {
  appendCode(m_out, code);
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, handle, 16);
  for (char* p = buffer; p < result.ptr; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
  m_out.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
  m_out += '\n';
  flushIfFull();
}

void OdDbDxfFiler::wrHandle(int code, const OdDbStub* stub) { wrHandle(code, stub ? stub->handle : 0); }

void OdDbDxfFiler::wrPoint(int code, const OdGePoint3d& p) {
  wrDouble(code, p.x);
  wrDouble(code + 10, p.y);
  wrDouble(code + 20, p.z);
}

void OdDbDxfFiler::wrPoint2d(int code, const OdGePoint2d& p) {
  wrDouble(code, p.x);
  wrDouble(code + 10, p.y);
}

void OdDbDxfFiler::wrNormal(int code, const OdGeVector3d& normal) {
  if (normal != OdGeVector3d::kZAxis) wrPoint(code, normal);
}

void OdDbDxfFiler::wrName(int code, const OdDbStub* record, const char16_t* fallback) {
  if (record && record->object && !record->object->isErased())
    wrString(code, OdDbInternals::recordName(static_cast<const OdDbSymbolTableRecord*>(record->object)));
  else
    wrString(code, std::u16string_view(fallback));
}

// Reading.
bool OdDbDxfFiler::next() {
  if (m_started)
    ++m_index;
  else
    m_started = true;
  if (m_index >= m_groups->size() || m_status != eOk) return false;
  if (code() == 100) m_subclass = raw();
  return true;
}

std::string_view OdDbDxfFiler::raw() const {
  const Group& g = (*m_groups)[m_index];
  return std::string_view(*m_bytes).substr(g.offset, g.length);
}

OdString OdDbDxfFiler::rdString() const { return OdString(decodeDxfText(raw(), m_encoding, m_codePage)); }

static std::string_view trimmed(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.remove_suffix(1);
  return v;
}

double OdDbDxfFiler::rdDouble() {
  std::string_view v = trimmed(raw());
  double value = 0;
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  auto result = std::from_chars(v.data(), v.data() + v.size(), value);
  if (v.empty() || result.ec != std::errc() || result.ptr != v.data() + v.size() || !std::isfinite(value)) {
    fail(eInvalidDxfValue);
    return 0;
  }
  return value;
}

long long OdDbDxfFiler::rdInt() {
  std::string_view v = trimmed(raw());
  long long value = 0;
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  auto result = std::from_chars(v.data(), v.data() + v.size(), value);
  if (v.empty() || result.ec != std::errc() || result.ptr != v.data() + v.size()) {
    fail(eInvalidDxfValue);
    return 0;
  }
  return value;
}

OdUInt64 OdDbDxfFiler::rdHandle() {
  std::string_view v = trimmed(raw());
  OdUInt64 value = 0;
  auto result = std::from_chars(v.data(), v.data() + v.size(), value, 16);
  if (v.empty() || v.size() > 16 || result.ec != std::errc() || result.ptr != v.data() + v.size()) {
    fail(eInvalidDxfValue);
    return 0;
  }
  return value;
}

OdGePoint3d OdDbDxfFiler::rdPoint() {
  int base = code();
  OdGePoint3d p;
  p.x = rdDouble();
  for (double* coordinate : {&p.y, &p.z}) {
    if (m_index + 1 >= m_groups->size() || (*m_groups)[m_index + 1].code != base + (coordinate == &p.y ? 10 : 20))
      break;
    ++m_index;
    *coordinate = rdDouble();
  }
  return p;
}

// The DXF filer's group writing and checked value reading.
#include "dxffiler.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "standard.h"

namespace {
constexpr std::size_t kBufferSize = 1 << 20;

/// The code lines "  0\n" to "1071\n", made once.
struct CodeLines {
  char text[1072][6];
  unsigned char length[1072];
  CodeLines() {
    for (int code = 0; code < 1072; ++code) {
      char* p = text[code];
      if (code < 10) *p++ = ' ';
      if (code < 100) *p++ = ' ';
      p = std::to_chars(p, text[code] + 5, code).ptr;
      *p++ = '\n';
      length[code] = static_cast<unsigned char>(p - text[code]);
    }
  }
};
const CodeLines kCodes;
}  // namespace

OdDbDxfFiler::OdDbDxfFiler(std::FILE* file) : m_file(file) {
  m_capacity = kBufferSize;
  m_buffer = std::make_unique<char[]>(m_capacity);
  m_pos = m_buffer.get();
  m_end = m_pos + m_capacity;
}

OdDbDxfFiler::OdDbDxfFiler(const std::vector<Group>& groups, const std::string& bytes, DxfEncoding encoding,
                           unsigned codePage)
    : m_groups(&groups), m_bytes(&bytes), m_encoding(encoding), m_codePage(codePage) {}

OdDbDxfFiler::~OdDbDxfFiler() = default;

void OdDbDxfFiler::flush() {
  std::size_t n = static_cast<std::size_t>(m_pos - m_buffer.get());
  if (n && !m_writeFailed && std::fwrite(m_buffer.get(), 1, n, m_file) != n) m_writeFailed = true;
  m_pos = m_buffer.get();
}

void OdDbDxfFiler::grow(std::size_t bytes) {
  // One value longer than the buffer (a very long text): a buffer that holds it.
  m_capacity = bytes + kBufferSize;
  m_buffer = std::make_unique<char[]>(m_capacity);
  m_pos = m_buffer.get();
  m_end = m_pos + m_capacity;
}

bool OdDbDxfFiler::finish() {
  flush();
  return !m_writeFailed;
}

void OdDbDxfFiler::putCode(int code) {
  if (code < 0 || code > 1071) code = 999;
  char* p = room(8);
  std::memcpy(p, kCodes.text[code], 6);
  m_pos = p + kCodes.length[code];
}

void OdDbDxfFiler::wrRaw(int code, std::string_view ascii) {
  putCode(code);
  put(ascii);
}

void OdDbDxfFiler::wrString(int code, std::u16string_view text) {
  putCode(code);
  m_scratch.clear();
  encodeDxfText(m_scratch, text);
  put(m_scratch);
}

void OdDbDxfFiler::wrDouble(int code, double value) {
  putCode(code);
  if (!std::isfinite(value)) value = 0;  // setters refuse these; nothing that is not a number reaches a file
  if (value == 0) value = 0;             // no "-0.0"
  char* p = room(40);
  char* end;
  if (std::fabs(value) < 1e15 && value == static_cast<double>(static_cast<long long>(value))) {
    end = std::to_chars(p, p + 32, static_cast<long long>(value)).ptr;
    *end++ = '.';
    *end++ = '0';
  } else {
    end = std::to_chars(p, p + 32, value).ptr;
    bool plain = false;
    for (char* c = p; c < end; ++c)
      if (*c == '.' || *c == 'e') plain = true;
    if (!plain) {
      *end++ = '.';
      *end++ = '0';
    }
  }
  *end++ = '\n';
  m_pos = end;
}

void OdDbDxfFiler::wrAngle(int code, double radians) {
  // In extended precision, so that degrees read back give the same radians.
  auto degrees =
      static_cast<double>(static_cast<long double>(radians) * 180.0L / 3.141592653589793238462643383279502884L);
  // Whole degrees stay whole.
  double whole = std::round(degrees);
  if (std::fabs(whole - degrees) < 1e-9) degrees = whole;
  wrDouble(code, degrees);
}

void OdDbDxfFiler::wrInt(int code, long long value) {
  putCode(code);
  char* p = room(24);
  char* end = std::to_chars(p, p + 22, value).ptr;
  *end++ = '\n';
  m_pos = end;
}

void OdDbDxfFiler::wrHandle(int code, OdUInt64 handle) {
  putCode(code);
  char* p = room(24);
  char* end = std::to_chars(p, p + 20, handle, 16).ptr;
  for (char* c = p; c < end; ++c)
    if (*c >= 'a') *c = static_cast<char>(*c - 'a' + 'A');
  *end++ = '\n';
  m_pos = end;
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

/// Plain decimals ("-12.25"): at most 15 digits and 22 decimals are exact
/// in a double, so one division gives the correctly rounded value.
static bool simpleDecimal(std::string_view v, double& value) {
  static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::size_t i = 0;
  bool negative = false;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = -1;
  for (; i < v.size(); ++i) {
    char c = v[i];
    if (c == '.') {
      if (decimals >= 0) return false;
      decimals = 0;
      continue;
    }
    unsigned d = static_cast<unsigned char>(c) - '0';
    if (d > 9) return false;
    if (mantissa == 0 && d == 0) {
      if (decimals >= 0) ++decimals;
      continue;
    }
    if (++digits > 15) return false;
    mantissa = mantissa * 10 + d;
    if (decimals >= 0) ++decimals;
  }
  if (decimals < 0) decimals = 0;
  if (decimals > 22 || (digits == 0 && v.find_first_of("0123456789") == std::string_view::npos)) return false;
  value = static_cast<double>(mantissa) / kPowers[decimals];
  if (negative) value = -value;
  return true;
}

double OdDbDxfFiler::rdDouble() {
  std::string_view v = trimmed(raw());
  double value = 0;
  if (simpleDecimal(v, value)) return value;
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

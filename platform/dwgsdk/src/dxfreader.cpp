// Reading DXF into a fresh database. Everything the file says is checked
// before it is used: group codes, value kinds, counts, handles (defined
// once, pointing at something), owners (one each, no cycles) and block
// nesting (no block inside itself). The caller moves the database into
// place only when this succeeds.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "dxffiler.h"
#include "dxfwriter.h"
#include "geometry.h"
#include "standard.h"
#include "xdata.h"

using F = OdDbDxfFiler;
using Group = OdDbDxfFiler::Group;

namespace {

constexpr std::size_t kReadChunk = 1 << 18;
constexpr std::size_t kMaxLine = 1 << 20;  // DXF lines are short; a megabyte is no DXF line

/// Splits a file into group code / value pairs, a buffer at a time.
class Lexer {
 public:
  explicit Lexer(std::FILE* file) : m_file(file) { m_buffer.resize(kReadChunk); }

  enum Result { kPair, kEnd, kError };

  /// The first bytes of the file, for telling DWG and binary DXF apart.
  std::string_view peek(std::size_t n) {
    fill();
    return std::string_view(m_buffer.data() + m_pos, std::min(n, m_end - m_pos));
  }
  void skip(std::size_t n) { m_pos += std::min(n, m_end - m_pos); }

  Result next(int& code, std::string_view& value) {
    std::string_view line;
    if (!readLine(line)) return m_status == eOk ? kEnd : kError;
    // Group codes are short decimal numbers, right-aligned with spaces.
    std::size_t i = 0, n = line.size();
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (n > i && (line[n - 1] == ' ' || line[n - 1] == '\t')) --n;
    int c = 0;
    std::size_t digits = n - i;
    if (digits == 0 || digits > 4) {
      m_status = eInvalidDxfCode;
      return kError;
    }
    for (; i < n; ++i) {
      unsigned d = static_cast<unsigned char>(line[i]) - '0';
      if (d > 9) {
        m_status = eInvalidDxfCode;
        return kError;
      }
      c = c * 10 + static_cast<int>(d);
    }
    if (c > 1071) {
      m_status = eInvalidDxfCode;
      return kError;
    }
    code = c;
    if (!readLine(value)) {
      if (m_status == eOk) m_status = eEndOfFile;
      return kError;
    }
    return kPair;
  }

  OdResult status() const { return m_status; }

 private:
  static std::string_view trim(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
    return v;
  }

  void fill() {
    if (m_eof) return;
    if (m_pos > 0) {
      std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
      m_end -= m_pos;
      m_pos = 0;
    }
    if (m_end == m_buffer.size()) {
      if (m_buffer.size() >= kMaxLine + kReadChunk) return;
      m_buffer.resize(m_buffer.size() * 2);
    }
    std::size_t got = std::fread(m_buffer.data() + m_end, 1, m_buffer.size() - m_end, m_file);
    if (got == 0) {
      if (std::ferror(m_file)) m_status = eFileAccessErr;
      m_eof = true;
    }
    m_end += got;
  }

  bool readLine(std::string_view& line) {
    for (;;) {
      const char* start = m_buffer.data() + m_pos;
      const char* stop = m_buffer.data() + m_end;
      // Lines are short: a plain scan beats memchr's set-up.
      const char* nl = start;
      while (nl < stop && *nl != '\n') ++nl;
      if (nl == stop) nl = nullptr;
      if (nl) {
        std::size_t n = static_cast<std::size_t>(nl - start);
        line = std::string_view(start, n);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        m_pos += n + 1;
        return true;
      }
      if (m_end - m_pos > kMaxLine) {
        m_status = eInvalidDxfValue;
        return false;
      }
      if (m_eof) {
        if (m_pos == m_end) return false;
        line = std::string_view(start, m_end - m_pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        m_pos = m_end;
        return true;
      }
      fill();
      if (m_status != eOk) return false;
    }
  }

  std::FILE* m_file;
  std::vector<char> m_buffer;
  std::size_t m_pos = 0, m_end = 0;
  bool m_eof = false;
  OdResult m_status = eOk;
};

/// One record: its type (the value of its 0 group) and its other groups.
struct Record {
  std::string type;
  std::vector<Group> groups;
  std::string bytes;
  std::string_view value(std::size_t i) const {
    return std::string_view(bytes).substr(groups[i].offset, groups[i].length);
  }
  /// The value of the first group with `code`, or empty.
  std::string_view find(int code) const {
    for (std::size_t i = 0; i < groups.size(); ++i)
      if (groups[i].code == code) return value(i);
    return {};
  }
};

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

class Reader {
 public:
  Reader(OdDbDatabaseImpl& db, std::FILE* file) : m_db(db), m_lexer(file) {}
  OdResult read();

 private:
  // Records.
  bool nextRecord(Record& r);
  OdResult fail(OdResult r) {
    if (m_status == eOk) m_status = r;
    return m_status;
  }
  F filerOf(const Record& r) const { return F(r.groups, r.bytes, m_encoding, m_codePage); }
  std::u16string text(std::string_view bytes) const { return decodeDxfText(bytes, m_encoding, m_codePage); }
  OdUInt64 handleOf(const Record& r, int code = 5);

  // Sections.
  OdResult readHeader(const Record& section);
  OdResult readTables();
  OdResult readTable(const Record& head);
  OdResult readBlocks();
  OdResult readEntities(OdDbStub* block, bool paperSplit, const char* endType);
  OdResult readObjects();
  OdResult skipSection();

  // Objects.
  OdResult addObject(OdDbObject* o, OdDbStub* owner, OdUInt64 handle);
  OdResult readEntity(Record& r, OdDbStub* block, bool paperSplit, OdDbStub* parent = nullptr);
  bool entityCommon(F& f, OdDbEntity& e, bool& paper);
  OdResult readXData(F& f, OdDbObject& o);
  OdResult readOpaqueEntity(Record& r, OdDbStub* block, bool paperSplit, OdUInt64 handle);
  OdDbStub* recordByName(OdDbStub* table, std::string_view raw, bool create);
  OdDbStub* blockByName(std::string_view raw);
  friend struct ForwardAccess;

 public:
  OdDbStub* forward(OdUInt64 handle);

 private:
  OdResult finish();

  OdDbDatabaseImpl& m_db;
  Lexer m_lexer;
  OdResult m_status = eOk;
  std::string m_pendingType;  // the type of the next record, whose 0 group was read ahead
  bool m_havePendingType = false;
  bool m_atEnd = false;
  DxfEncoding m_encoding = DxfEncoding::kUnknown;
  unsigned m_codePage = 1252;

  struct Names {
    std::unordered_map<std::string, OdDbStub*, StringHash, std::equal_to<>> map;
    std::string lastRaw;
    OdDbStub* last = nullptr;
  };
  std::vector<std::pair<OdDbStub*, std::unique_ptr<Names>>> m_names;  // a few tables: a short list
  Names& namesOf(OdDbStub* table) {
    for (auto& [t, n] : m_names)
      if (t == table) return *n;
    m_names.emplace_back(table, std::make_unique<Names>());
    return *m_names.back().second;
  }
  std::unordered_set<OdUInt64> m_skipped;  // handles of records the layer does not model
  std::vector<OdDbStub*> m_forward;        // stubs made for handles named before their object
  std::vector<std::pair<OdDbStub*, std::u16string>> m_layerLinetypes;
  std::unordered_set<OdDbStub*> m_undefinedBlocks;
  std::unordered_map<std::string, std::u16string> m_headerNames;  // $CLAYER and the like
  struct DictionaryEntries {
    OdDbStub* dictionary;
    std::vector<std::pair<OdString, OdUInt64>> entries;
  };
  std::vector<DictionaryEntries> m_dictionaries;
  std::vector<std::pair<OdDbLayout*, OdUInt64>> m_layouts;
  std::vector<std::pair<OdDbBlockTableRecord*, OdUInt64>> m_blockLayouts;
  OdDbStub* m_root = nullptr;
  OdUInt64 m_endHandle = 0;  // of the record that ended a run of entities (ENDBLK)
};

bool Reader::nextRecord(Record& r) {
  if (m_status != eOk) return false;
  r.groups.clear();
  r.bytes.clear();
  int code;
  std::string_view value;
  if (m_atEnd) {
    fail(eEndOfFile);
    return false;
  }
  auto trimmed = [](std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
    return v;
  };
  if (!m_havePendingType) {
    auto result = m_lexer.next(code, value);
    if (result == Lexer::kEnd) {
      fail(eEndOfFile);
      return false;
    }
    if (result == Lexer::kError) {
      fail(m_lexer.status());
      return false;
    }
    if (code != 0) {
      fail(eBadDxfSequence);
      return false;
    }
    m_pendingType.assign(trimmed(value));
  }
  r.type = m_pendingType;
  m_havePendingType = false;
  for (;;) {
    auto result = m_lexer.next(code, value);
    if (result == Lexer::kEnd) {
      m_atEnd = true;
      return true;
    }
    if (result == Lexer::kError) {
      fail(m_lexer.status());
      return false;
    }
    if (code == 0) {
      m_pendingType.assign(trimmed(value));
      m_havePendingType = true;
      return true;
    }
    if (r.bytes.size() + value.size() > 0xFFFFFFF0u) {
      fail(eInvalidDxfValue);
      return false;
    }
    r.groups.push_back(
        Group{code, static_cast<std::uint32_t>(r.bytes.size()), static_cast<std::uint32_t>(value.size())});
    r.bytes.append(value);
  }
}

OdUInt64 Reader::handleOf(const Record& r, int code) {
  std::string_view v = r.find(code);
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\r')) v.remove_suffix(1);
  if (v.empty()) return 0;
  OdUInt64 h = 0;
  auto res = std::from_chars(v.data(), v.data() + v.size(), h, 16);
  if (v.size() > 16 || res.ec != std::errc() || res.ptr != v.data() + v.size()) {
    fail(eInvalidDxfValue);
    return 0;
  }
  return h;
}

OdDbStub* Reader::forward(OdUInt64 handle) {
  if (handle == 0) return nullptr;
  OdDbStub* s = m_db.find(handle);
  if (!s) {
    s = m_db.newStub(handle);
    m_forward.push_back(s);
  }
  return s;
}

OdResult Reader::addObject(OdDbObject* o, OdDbStub* owner, OdUInt64 handle) {
  if (handle && !m_skipped.empty() && m_skipped.count(handle)) {
    delete o;
    return fail(eHandleInUse);
  }
  OdResult r = m_db.add(o, owner, false, handle, false);
  if (r != eOk) {
    delete o;
    return fail(r);
  }
  return eOk;
}

OdDbStub* Reader::recordByName(OdDbStub* table, std::string_view raw, bool create) {
  Names& names = namesOf(table);
  if (names.last && raw == names.lastRaw && names.last->object) return names.last;
  OdDbStub* found = nullptr;
  if (auto it = names.map.find(raw); it != names.map.end()) {
    found = it->second;
  } else {
    std::u16string name = text(raw);
    found = OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(table->object), name);
    if (!found && create && table == m_db.layerTable && !name.empty()) {
      // A layer the file uses without defining it, as other programs make it.
      auto* layer = new OdDbLayerTableRecord();
      OdDbInternals::setRecordName(layer, name);
      OdDbInternals::layerLinetype(layer) = m_db.continuous;
      if (addObject(layer, table, 0) != eOk) return nullptr;
      OdDbInternals::tableInsert(static_cast<OdDbSymbolTable*>(table->object), OdDbInternals::stub(layer));
      found = OdDbInternals::stub(layer);
    }
    if (found) names.map.emplace(std::string(raw), found);
  }
  names.lastRaw.assign(raw);
  names.last = found;
  return found;
}

OdDbStub* Reader::blockByName(std::string_view raw) {
  OdDbStub* found = recordByName(m_db.blockTable, raw, false);
  if (found) return found;
  std::u16string name = text(raw);
  if (name.empty()) return nullptr;
  // Named before it is defined (files without a BLOCK_RECORD table): a record
  // now, which its BLOCK must fill.
  auto* block = new OdDbBlockTableRecord();
  OdDbInternals::setRecordName(block, name);
  if (addObject(block, m_db.blockTable, 0) != eOk) return nullptr;
  OdDbInternals::tableInsert(static_cast<OdDbSymbolTable*>(m_db.blockTable->object), OdDbInternals::stub(block));
  m_undefinedBlocks.insert(OdDbInternals::stub(block));
  namesOf(m_db.blockTable).last = nullptr;
  return OdDbInternals::stub(block);
}

OdResult Reader::read() {
  // What kind of file is it?
  std::string_view start = m_lexer.peek(32);
  if (start.size() >= 3 && static_cast<unsigned char>(start[0]) == 0xEF &&
      static_cast<unsigned char>(start[1]) == 0xBB && static_cast<unsigned char>(start[2]) == 0xBF) {
    m_lexer.skip(3);
    m_encoding = DxfEncoding::kUtf8;
    start = m_lexer.peek(32);
  }
  if (start.size() >= 3 && start[0] == 'A' && start[1] == 'C' && (start[2] >= '0' && start[2] <= '9'))
    return eDwgFormatNotSupported;
  if (start.rfind("AutoCAD Binary DXF", 0) == 0) return eUnsupportedFileFormat;
  if (start.empty()) return eEndOfFile;

  Record r;
  for (;;) {
    if (!nextRecord(r)) return m_status;
    if (r.type == "EOF") break;
    if (r.type != "SECTION") return fail(eBadDxfSequence);
    std::string_view name = r.find(2);
    OdResult result;
    if (name == "HEADER")
      result = readHeader(r);
    else if (name == "TABLES")
      result = readTables();
    else if (name == "BLOCKS")
      result = readBlocks();
    else if (name == "ENTITIES")
      result = readEntities(nullptr, true, "ENDSEC");
    else if (name == "OBJECTS")
      result = readObjects();
    else
      result = skipSection();
    if (result != eOk) return fail(result);
  }
  return finish();
}

OdResult Reader::skipSection() {
  Record r;
  for (;;) {
    if (!nextRecord(r)) return m_status;
    if (r.type == "ENDSEC") return eOk;
    if (r.type == "EOF" || r.type == "SECTION") return fail(eEndOfFile);
    // Records of sections the layer does not model keep their handles taken.
    if (OdUInt64 h = handleOf(r); h) m_skipped.insert(h);
  }
}

OdResult Reader::readHeader(const Record& section) {
  // The encoding first, so that the names that follow decode right.
  for (std::size_t i = 0; i + 1 < section.groups.size(); ++i) {
    if (section.groups[i].code != 9) continue;
    std::string_view var = section.value(i), value = section.value(i + 1);
    if (var == "$ACADVER") {
      if (value.size() == 6 && value.rfind("AC", 0) == 0 && value >= "AC1021") m_encoding = DxfEncoding::kUtf8;
    } else if (var == "$DWGCODEPAGE" && m_encoding != DxfEncoding::kUtf8) {
      unsigned page = dxfCodePageNumber(value);
      if (page == 1252 || page == 0) {
        m_encoding = DxfEncoding::kCp1252;
      } else {
        m_encoding = DxfEncoding::kCodePage;
        m_codePage = page;
      }
    }
  }
  F f = filerOf(section);
  std::string var;
  OdDbHeader& h = m_db.header;
  while (f.next()) {
    int code = f.code();
    if (code == 9) {
      var.assign(f.raw());
      continue;
    }
    if (var == "$HANDSEED" && code == 5) {
      OdUInt64 seed = f.rdHandle();
      if (seed > m_db.handseed) m_db.handseed = seed;
    } else if (var == "$CELTSCALE" && code == 40) {
      double v = f.rdDouble();
      if (v > 0) h.celtscale = v;
    } else if (var == "$LTSCALE" && code == 40) {
      double v = f.rdDouble();
      if (v > 0) h.ltscale = v;
    } else if (var == "$TEXTSIZE" && code == 40) {
      double v = f.rdDouble();
      if (v > 0) h.textsize = v;
    } else if (var == "$LUNITS" && code == 70) {
      long long v = f.rdInt();
      if (v >= 1 && v <= 6) h.lunits = static_cast<OdInt16>(v);
    } else if (var == "$LUPREC" && code == 70) {
      long long v = f.rdInt();
      if (v >= 0 && v <= 8) h.luprec = static_cast<OdInt16>(v);
    } else if (var == "$TILEMODE" && code == 70) {
      h.tilemode = f.rdInt() != 0;
    } else if ((var == "$UCSORG" || var == "$UCSXDIR" || var == "$UCSYDIR" || var == "$INSBASE") && code == 10) {
      OdGePoint3d p = f.rdPoint();
      if (var == "$UCSORG") h.ucsorg = p;
      if (var == "$INSBASE") h.insbase = p;
      if (var == "$UCSXDIR" && !p.asVector().isZeroLength()) h.ucsxdir = p.asVector().normal();
      if (var == "$UCSYDIR" && !p.asVector().isZeroLength()) h.ucsydir = p.asVector().normal();
    } else if ((var == "$CLAYER" || var == "$CELTYPE" || var == "$TEXTSTYLE" || var == "$DIMSTYLE" ||
                var == "$DIMTXSTY") &&
               code != 9) {
      m_headerNames[var] = f.rdString().str();
    } else if (var.rfind("$DIM", 0) == 0) {
      OdDbDimVars& v = h.dimvars;
      std::string lower = var.substr(1);
      for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#define HEADER_DIMVAR(Suffix, name, type, dxfCode, value) \
  if (lower == #name && code != 7) readDimVarValue(f, v.name, nullptr, nullptr);
      ODDB_DIMVARS(HEADER_DIMVAR)
#undef HEADER_DIMVAR
    }
  }
  if (f.status() != eOk) return fail(f.status());
  if (m_encoding == DxfEncoding::kUnknown) m_encoding = DxfEncoding::kCp1252;
  // The section's ENDSEC.
  Record r;
  if (!nextRecord(r)) return m_status;
  return r.type == "ENDSEC" ? eOk : fail(eBadDxfSequence);
}

// Tables.
OdResult Reader::readTables() {
  Record r;
  for (;;) {
    if (!nextRecord(r)) return m_status;
    if (r.type == "ENDSEC") break;
    if (r.type != "TABLE") return fail(eBadDxfSequence);
    if (OdResult result = readTable(r); result != eOk) return result;
  }
  // Layers name their linetypes; the linetype table may come after them.
  for (auto& [layer, name] : m_layerLinetypes) {
    OdDbStub* lt = m_db.linetypeTable
                       ? OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(m_db.linetypeTable->object), name)
                       : nullptr;
    OdDbInternals::layerLinetype(static_cast<OdDbLayerTableRecord*>(layer->object)) = lt;
  }
  m_layerLinetypes.clear();
  return eOk;
}

OdResult Reader::readTable(const Record& head) {
  std::string_view name = head.find(2);
  OdDbStub** slot = nullptr;
  OdDbSymbolTable* table = nullptr;
  const char* recordType = nullptr;
  if (name == "VPORT")
    slot = &m_db.viewportTable, table = new OdDbViewportTable(), recordType = "VPORT";
  else if (name == "LTYPE")
    slot = &m_db.linetypeTable, table = new OdDbLinetypeTable(), recordType = "LTYPE";
  else if (name == "LAYER")
    slot = &m_db.layerTable, table = new OdDbLayerTable(), recordType = "LAYER";
  else if (name == "STYLE")
    slot = &m_db.textStyleTable, table = new OdDbTextStyleTable(), recordType = "STYLE";
  else if (name == "VIEW")
    slot = &m_db.viewTable, table = new OdDbViewTable(), recordType = "VIEW";
  else if (name == "UCS")
    slot = &m_db.ucsTable, table = new OdDbUCSTable(), recordType = "UCS";
  else if (name == "APPID")
    slot = &m_db.regAppTable, table = new OdDbRegAppTable(), recordType = "APPID";
  else if (name == "DIMSTYLE")
    slot = &m_db.dimStyleTable, table = new OdDbDimStyleTable(), recordType = "DIMSTYLE";
  else if (name == "BLOCK_RECORD")
    slot = &m_db.blockTable, table = new OdDbBlockTable(), recordType = "BLOCK_RECORD";
  OdUInt64 handle = handleOf(head);
  if (m_status != eOk) {
    delete table;
    return m_status;
  }
  if (slot) {
    if (*slot) {
      delete table;
      return fail(eBadDxfSequence);  // the same table twice
    }
    if (addObject(table, nullptr, handle) != eOk) return m_status;
    *slot = OdDbInternals::stub(table);
  } else if (handle) {
    m_skipped.insert(handle);
  }
  Record r;
  for (;;) {
    if (!nextRecord(r)) return m_status;
    if (r.type == "ENDTAB") return eOk;
    if (r.type == "ENDSEC" || r.type == "EOF" || r.type == "TABLE") return fail(eEndOfFile);
    OdUInt64 h = handleOf(r, r.type == "DIMSTYLE" ? 105 : 5);
    if (!h && r.type == "DIMSTYLE") h = handleOf(r, 5);
    if (m_status != eOk) return m_status;
    if (!table || r.type != recordType) {
      if (h) m_skipped.insert(h);
      continue;
    }
    OdDbSymbolTableRecord* record = nullptr;
    F f = filerOf(r);
    std::u16string recordName;
    int flags = 0;
    std::u16string linetypeName;
    if (name == "VPORT") {
      auto* v = new OdDbViewportTableRecord();
      record = v;
      double aspect = 1;
      while (f.next()) {
        switch (f.code()) {
          case 2:
            recordName = f.rdString().str();
            break;
          case 70:
            flags = static_cast<int>(f.rdInt());
            break;
          case 10: {
            OdGePoint3d p = f.rdPoint();
            v->setLowerLeftCorner(OdGePoint2d(p.x, p.y));
            break;
          }
          case 11: {
            OdGePoint3d p = f.rdPoint();
            v->setUpperRightCorner(OdGePoint2d(p.x, p.y));
            break;
          }
          case 12: {
            OdGePoint3d p = f.rdPoint();
            v->setCenterPoint(OdGePoint2d(p.x, p.y));
            break;
          }
          case 16: {
            OdGePoint3d p = f.rdPoint();
            if (v->setViewDirection(p.asVector()) != eOk) f.fail(eInvalidDxfValue);
            break;
          }
          case 17:
            v->setTarget(f.rdPoint());
            break;
          case 40:
            v->setHeight(f.rdDouble());
            break;
          case 41:
            aspect = f.rdDouble();
            break;
          case 42:
            v->setLensLength(f.rdDouble());
            break;
          case 43:
            v->setFrontClipDistance(f.rdDouble());
            break;
          case 44:
            v->setBackClipDistance(f.rdDouble());
            break;
          case 51:
            v->setViewTwist(f.rdAngle());
            break;
          case 71: {
            long long mode = f.rdInt();
            v->setPerspectiveEnabled(mode & 1);
            v->setFrontClipEnabled(mode & 2);
            v->setBackClipEnabled(mode & 4);
            v->setFrontClipAtEye(!(mode & 16));
            break;
          }
          default:
            break;
        }
      }
      v->setWidth(v->height() * aspect);
    } else if (name == "LTYPE") {
      auto* l = new OdDbLinetypeTableRecord();
      record = l;
      long long announced = -1;
      int dash = -1;
      while (f.next()) {
        switch (f.code()) {
          case 2:
            recordName = f.rdString().str();
            break;
          case 70:
            flags = static_cast<int>(f.rdInt());
            break;
          case 3:
            l->setComments(f.rdString());
            break;
          case 72:
            l->setIsScaledToFit(f.rdInt() == 70);
            break;  // 'F'
          case 73:
            announced = f.rdInt();
            break;
          case 40:
            if (l->setPatternLength(std::fabs(f.rdDouble())) != eOk) f.fail(eInvalidDxfValue);
            break;
          case 49:
            // Each dash is counted as it comes; the count is checked at the end.
            if (dash + 1 >= 1024) {
              f.fail(eDxfCountMismatch);
              break;
            }
            ++dash;
            l->setNumDashes(dash + 1);
            l->setDashLengthAt(dash, f.rdDouble());
            break;
          case 74:
            if (dash >= 0) l->setShapeIsUcsOrientedAt(dash, (f.rdInt() & 1) != 0);
            break;
          case 9:
            if (dash >= 0) l->setTextAt(dash, f.rdString());
            break;
          case 46:
            if (dash >= 0) l->setShapeScaleAt(dash, f.rdDouble());
            break;
          case 50:
            if (dash >= 0) l->setShapeRotationAt(dash, f.rdAngle());
            break;
          case 44:
            if (dash >= 0) l->setShapeOffsetAt(dash, OdGeVector2d(f.rdDouble(), l->shapeOffsetAt(dash).y));
            break;
          case 45:
            if (dash >= 0) l->setShapeOffsetAt(dash, OdGeVector2d(l->shapeOffsetAt(dash).x, f.rdDouble()));
            break;
          case 340:
            if (dash >= 0) {
              OdDbStub* style = forward(f.rdHandle());
              OdDbInternals::setDashStyle(l, dash, style);
            }
            break;
          default:
            break;
        }
      }
      if (f.status() == eOk && announced >= 0 && announced != dash + 1) f.fail(eDxfCountMismatch);
    } else if (name == "LAYER") {
      auto* l = new OdDbLayerTableRecord();
      record = l;
      while (f.next()) {
        switch (f.code()) {
          case 2:
            recordName = f.rdString().str();
            break;
          case 70:
            flags = static_cast<int>(f.rdInt());
            break;
          case 62: {
            long long c = f.rdInt();
            if (c == 0 || c < -255 || c > 255) c = 7;
            l->setColorIndex(static_cast<OdInt16>(std::abs(c)));
            l->setIsOff(c < 0);
            break;
          }
          case 6:
            linetypeName = f.rdString().str();
            break;
          case 290:
            l->setIsPlottable(f.rdInt() != 0);
            break;
          default:
            break;
        }
      }
      l->setIsFrozen(flags & 1);
      l->setVPDFLT(flags & 2);
      l->setIsLocked(flags & 4);
    } else if (name == "STYLE") {
      auto* s = new OdDbTextStyleTableRecord();
      record = s;
      while (f.next()) {
        switch (f.code()) {
          case 2:
            recordName = f.rdString().str();
            break;
          case 70:
            flags = static_cast<int>(f.rdInt());
            break;
          case 40:
            if (s->setTextSize(f.rdDouble()) != eOk) f.fail(eInvalidDxfValue);
            break;
          case 41:
            if (double x = f.rdDouble(); x > 0) s->setXScale(x);
            break;
          case 50:
            s->setObliquingAngle(f.rdAngle());
            break;
          case 71:
            s->setFlagBits(static_cast<OdUInt8>(f.rdInt()));
            break;
          case 42:
            s->setPriorSize(f.rdDouble());
            break;
          case 3:
            s->setFileName(f.rdString());
            break;
          case 4:
            s->setBigFontFileName(f.rdString());
            break;
          default:
            break;
        }
      }
      s->setIsShapeFile(flags & 1);
      s->setIsVertical(flags & 4);
    } else if (name == "VIEW") {
      auto* v = new OdDbViewTableRecord();
      record = v;
      while (f.next()) {
        switch (f.code()) {
          case 2:
            recordName = f.rdString().str();
            break;
          case 70:
            flags = static_cast<int>(f.rdInt());
            break;
          case 40:
            v->setHeight(f.rdDouble());
            break;
          case 10: {
            OdGePoint3d p = f.rdPoint();
            v->setCenterPoint(OdGePoint2d(p.x, p.y));
            break;
          }
          case 41:
            v->setWidth(f.rdDouble());
            break;
          case 11:
            if (v->setViewDirection(f.rdPoint().asVector()) != eOk) f.fail(eInvalidDxfValue);
            break;
          case 12:
            v->setTarget(f.rdPoint());
            break;
          case 42:
            v->setLensLength(f.rdDouble());
            break;
          case 43:
            v->setFrontClipDistance(f.rdDouble());
            break;
          case 44:
            v->setBackClipDistance(f.rdDouble());
            break;
          case 50:
            v->setViewTwist(f.rdAngle());
            break;
          case 71: {
            long long mode = f.rdInt();
            v->setPerspectiveEnabled(mode & 1);
            v->setFrontClipEnabled(mode & 2);
            v->setBackClipEnabled(mode & 4);
            v->setFrontClipAtEye(!(mode & 16));
            break;
          }
          default:
            break;
        }
      }
      v->setIsPaperspaceView(flags & 1);
    } else if (name == "UCS") {
      auto* u = new OdDbUCSTableRecord();
      record = u;
      while (f.next()) {
        switch (f.code()) {
          case 2:
            recordName = f.rdString().str();
            break;
          case 70:
            flags = static_cast<int>(f.rdInt());
            break;
          case 10:
            u->setOrigin(f.rdPoint());
            break;
          case 11:
            if (u->setXAxis(f.rdPoint().asVector()) != eOk) f.fail(eInvalidDxfValue);
            break;
          case 12:
            if (u->setYAxis(f.rdPoint().asVector()) != eOk) f.fail(eInvalidDxfValue);
            break;
          default:
            break;
        }
      }
    } else if (name == "APPID") {
      record = new OdDbRegAppTableRecord();
      while (f.next()) {
        if (f.code() == 2) recordName = f.rdString().str();
        if (f.code() == 70) flags = static_cast<int>(f.rdInt());
      }
    } else if (name == "DIMSTYLE") {
      auto* d = new OdDbDimStyleTableRecord();
      record = d;
      OdDbDimVars vars;
      while (f.next()) {
        int code = f.code();
        if (code == 2) {
          recordName = f.rdString().str();
          continue;
        }
        if (code == 70) {
          flags = static_cast<int>(f.rdInt());
          continue;
        }
#define STYLE_DIMVAR(Suffix, varName, type, dxfCode, value)                                                           \
  if (code == dxfCode) {                                                                                              \
    readDimVarValue(                                                                                                  \
        f, vars.varName, [](void* self, OdUInt64 h) { return OdDbObjectId(static_cast<Reader*>(self)->forward(h)); }, \
        this);                                                                                                        \
    continue;                                                                                                         \
  }
        ODDB_DIMVARS(STYLE_DIMVAR)
#undef STYLE_DIMVAR
      }
      // Straight into the record: the style handle may name a record not read yet.
      OdDbInternals::dimVars(d) = vars;
    } else if (name == "BLOCK_RECORD") {
      auto* b = new OdDbBlockTableRecord();
      record = b;
      OdUInt64 layout = 0;
      while (f.next()) {
        switch (f.code()) {
          case 2:
            recordName = f.rdString().str();
            break;
          case 70:
            flags = static_cast<int>(f.rdInt());
            break;
          case 340:
            layout = f.rdHandle();
            break;
          default:
            break;
        }
      }
      if (layout) m_blockLayouts.emplace_back(b, layout);
    }
    if (f.status() != eOk) {
      delete record;
      for (auto it = m_blockLayouts.begin(); it != m_blockLayouts.end();)
        it = it->first == record ? m_blockLayouts.erase(it) : it + 1;
      return fail(f.status());
    }
    // R12 spells the spaces $MODEL_SPACE and $PAPER_SPACE.
    std::u16string folded = foldName(recordName);
    if (name == "BLOCK_RECORD" && (folded == u"$MODEL_SPACE" || folded == u"$PAPER_SPACE"))
      recordName = folded == u"$MODEL_SPACE" ? standard::kModelSpace : standard::kPaperSpace;
    OdDbInternals::setRecordName(record, recordName);
    OdDbInternals::standardFlags(record) = static_cast<OdUInt8>(flags & (16 | 32 | 64));
    bool repeats = name == "VPORT";
    if (recordName.empty() || (!repeats && OdDbInternals::tableFind(table, recordName))) {
      for (auto it = m_blockLayouts.begin(); it != m_blockLayouts.end();)
        it = it->first == record ? m_blockLayouts.erase(it) : it + 1;
      delete record;
      return fail(recordName.empty() ? eInvalidSymbolTableName : eDuplicateRecordName);
    }
    if (addObject(record, *slot, h) != eOk) return m_status;
    OdDbInternals::tableInsert(table, OdDbInternals::stub(record));
    if (name == "LAYER") m_layerLinetypes.emplace_back(OdDbInternals::stub(record), linetypeName);
  }
}

// Blocks and entities.
OdResult Reader::readBlocks() {
  ensureStandardTables(m_db);
  Record r;
  for (;;) {
    if (!nextRecord(r)) return m_status;
    if (r.type == "ENDSEC") return eOk;
    if (r.type != "BLOCK") return fail(eBadDxfSequence);
    F f = filerOf(r);
    std::string nameRaw;
    int flags = 0;
    OdGePoint3d origin;
    OdString path;
    OdUInt64 owner = 0;
    while (f.next()) {
      switch (f.code()) {
        case 2:
          nameRaw.assign(f.raw());
          break;
        case 70:
          flags = static_cast<int>(f.rdInt());
          break;
        case 10:
          origin = f.rdPoint();
          break;
        case 1:
          path = f.rdString();
          break;
        case 330:
          owner = f.rdHandle();
          break;
        default:
          break;
      }
    }
    if (f.status() != eOk) return fail(f.status());
    OdUInt64 handle = handleOf(r);
    std::u16string name = foldName(text(nameRaw));
    OdDbStub* block = nullptr;
    if (name == u"$MODEL_SPACE" || name == u"*MODEL_SPACE") {
      block = m_db.modelSpace;
    } else if (name == u"$PAPER_SPACE" || name == u"*PAPER_SPACE") {
      block = m_db.paperSpace;
    } else if (OdDbStub* s = owner ? m_db.find(owner) : nullptr;
               s && s->object && OdDbBlockTableRecord::cast(s->object)) {
      block = s;
    } else {
      block = blockByName(nameRaw);
    }
    if (!block) return fail(eInvalidBlockName);
    auto* record = static_cast<OdDbBlockTableRecord*>(block->object);
    if (OdDbInternals::blockBegin(record)) return fail(eBadDxfSequence);  // a block defined twice
    m_undefinedBlocks.erase(block);
    record->setOrigin(origin);
    record->setPathName(path);
    OdDbInternals::blockFlags(record) = static_cast<OdUInt8>(flags & (4 | 8 | 16 | 32));
    auto* begin = new OdDbBlockBegin();
    if (addObject(begin, block, handle) != eOk) return m_status;
    OdDbInternals::blockBegin(record) = OdDbInternals::stub(begin);
    if (OdResult result = readEntities(block, false, "ENDBLK"); result != eOk) return result;
    auto* end = new OdDbBlockEnd();
    if (addObject(end, block, m_endHandle) != eOk) return m_status;
    OdDbInternals::blockEnd(record) = OdDbInternals::stub(end);
  }
}

OdResult Reader::readEntities(OdDbStub* block, bool paperSplit, const char* endType) {
  ensureStandardTables(m_db);
  Record r;
  for (;;) {
    if (!nextRecord(r)) return m_status;
    if (r.type == endType) {
      m_endHandle = handleOf(r);
      return m_status;
    }
    if (r.type == "EOF") return fail(eEndOfFile);
    if (r.type == "ENDSEC" || r.type == "SECTION" || r.type == "BLOCK" || r.type == "ENDBLK")
      return fail(eBadDxfSequence);
    if (OdResult result = readEntity(r, block, paperSplit); result != eOk) return result;
  }
}

bool Reader::entityCommon(F& f, OdDbEntity& e, bool& paper) {
  switch (f.code()) {
    case 102:
      // An application group {...}: its pointers are the owner's business here.
      if (f.raw().rfind("{", 0) == 0)
        while (f.next() && !(f.code() == 102 && f.raw().rfind("}", 0) == 0)) {
        }
      return true;
    case 67:
      paper = f.rdInt() != 0;
      return true;
    case 8:
      if (OdDbStub* layer = recordByName(m_db.layerTable, f.raw(), true)) OdDbInternals::layer(&e) = layer;
      return true;
    case 6:
      OdDbInternals::linetype(&e) = recordByName(m_db.linetypeTable, f.raw(), false);
      return true;
    case 62: {
      long long c = f.rdInt();
      e.setColorIndex(static_cast<OdUInt16>(c >= 0 && c <= 256 ? c : 256), false);
      return true;
    }
    case 48: {
      double s = f.rdDouble();
      if (s > 0) e.setLinetypeScale(s, false);
      return true;
    }
    case 60:
      e.setVisibility(f.rdInt() ? OdDb::kInvisible : OdDb::kVisible, false);
      return true;
    default:
      return f.code() < 1000 && (f.code() == 5 || f.code() == 330 || f.code() == 360 || f.code() == 100 ||
                                 f.code() >= 280);  // lineweights, colours, plot styles: not modelled
  }
}

OdResult Reader::readXData(F& f, OdDbObject& o) {
  std::vector<OdDbXDataApp> apps;
  int depth = 0;
  do {
    int code = f.code();
    if (code == 1001) {
      if (depth != 0) return fail(eInvalidDxfValue);
      OdString name = f.rdString();
      if (name.isEmpty()) return fail(eInvalidDxfValue);
      auto* table = static_cast<OdDbSymbolTable*>(m_db.regAppTable->object);
      if (!OdDbInternals::tableFind(table, name.view())) {
        auto* app = new OdDbRegAppTableRecord();
        OdDbInternals::setRecordName(app, name);
        if (addObject(app, m_db.regAppTable, 0) != eOk) return m_status;
        OdDbInternals::tableInsert(table, OdDbInternals::stub(app));
      }
      apps.push_back(OdDbXDataApp{name, {}});
      continue;
    }
    if (code < 1000 || apps.empty()) return fail(eBadDxfSequence);
    OdDbDataItem item;
    item.code = static_cast<OdInt16>(code);
    switch (odutResBufKind(code)) {
      case OdResBufKind::kText:
        item.text = f.rdString().str();
        break;
      case OdResBufKind::kBinary: {
        std::string_view hex = f.raw();
        if (hex.size() % 2) return fail(eInvalidDxfValue);
        for (std::size_t i = 0; i < hex.size(); i += 2) {
          int value = 0;
          auto res = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
          if (res.ec != std::errc() || res.ptr != hex.data() + i + 2) return fail(eInvalidDxfValue);
          item.bytes += static_cast<char>(value);
        }
        break;
      }
      case OdResBufKind::kPoint: {
        OdGePoint3d p = f.rdPoint();
        item.v[0] = p.x;
        item.v[1] = p.y;
        item.v[2] = p.z;
        break;
      }
      case OdResBufKind::kReal:
        item.v[0] = f.rdDouble();
        break;
      default:
        item.i = f.rdInt();
        if ((code == 1070 && (item.i < -32768 || item.i > 32767)) ||
            (code == 1071 && (item.i < INT32_MIN || item.i > INT32_MAX)))
          return fail(eInvalidDxfValue);
        break;
    }
    if (f.status() != eOk) return fail(f.status());
    if (checkXDataItem(item) != eOk) return fail(eInvalidDxfValue);
    if (code == 1002 && (depth += item.text == u"{" ? 1 : -1) < 0) return fail(eInvalidDxfValue);
    apps.back().items.push_back(std::move(item));
  } while (f.next());
  if (f.status() != eOk) return fail(f.status());
  if (depth != 0) return fail(eInvalidDxfValue);
  auto& target = OdDbInternals::xdataForWrite(&o);
  for (auto& app : apps) {
    // An application named twice keeps what came last.
    auto it = std::find_if(target.begin(), target.end(),
                           [&](const OdDbXDataApp& a) { return foldName(a.name.view()) == foldName(app.name.view()); });
    if (it != target.end())
      *it = std::move(app);
    else
      target.push_back(std::move(app));
  }
  return eOk;
}

/// The groups of a record kept for writing back: all but its handle, its
/// first owner and its application groups (whose pointers may lead to what
/// the layer does not keep).
static std::vector<OdDbRawGroup> rawGroupsOf(const Record& r, DxfEncoding encoding, unsigned codePage) {
  std::vector<OdDbRawGroup> groups;
  bool ownerSeen = false;
  for (std::size_t i = 0; i < r.groups.size(); ++i) {
    int code = r.groups[i].code;
    std::string_view v = r.value(i);
    if (code == 5) continue;
    if (code == 330 && !ownerSeen) {
      ownerSeen = true;
      continue;
    }
    if (code == 102 && v.rfind("{", 0) == 0) {
      while (i + 1 < r.groups.size() && !(r.groups[i + 1].code == 102 && r.value(i + 1).rfind("}", 0) == 0)) ++i;
      ++i;
      continue;
    }
    OdDbRawGroup g;
    g.code = code;
    g.raw.assign(v);
    if (odutResBufKind(code) == OdResBufKind::kText) g.text = decodeDxfText(v, encoding, codePage);
    groups.push_back(std::move(g));
  }
  return groups;
}

OdResult Reader::readEntity(Record& r, OdDbStub* block, bool paperSplit, OdDbStub* parent) {
  const std::string& type = r.type;
  // Attributes come only inside an insert's sequence, and only they do.
  if ((type == "ATTRIB") != (parent != nullptr)) return fail(eBadDxfSequence);
  OdUInt64 handle = handleOf(r);
  if (m_status != eOk) return m_status;
  F f = filerOf(r);
  bool paper = false;
  OdDbEntity* e = nullptr;
  std::unique_ptr<OdDbEntity> owned;
  bool xdata = false;
  // Walks the record: `own` takes the entity's codes (true when it did).
  auto walk = [&](auto&& own) {
    while (f.next()) {
      if (f.code() >= 1000) {
        xdata = true;
        break;
      }
      if (!own(f.code())) entityCommon(f, *e, paper);
    }
  };
  std::vector<int> counts;  // what the record announces, checked against what follows
  enum class Kind { kOther, k2d, k3d, kPolyface, kMesh, kInsert } kind = Kind::kOther;

  if (type == "LINE") {
    auto* x = new OdDbLine();
    owned.reset(e = x);
    OdGeVector3d normal = OdGeVector3d::kZAxis;
    double thickness = 0;
    walk([&](int code) {
      switch (code) {
        case 10:
          x->setStartPoint(f.rdPoint());
          return true;
        case 11:
          x->setEndPoint(f.rdPoint());
          return true;
        case 39:
          thickness = f.rdDouble();
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        default:
          return false;
      }
    });
    if (normal != OdGeVector3d::kZAxis && x->setNormal(normal) != eOk) f.fail(eInvalidDxfValue);
    if (thickness != 0) x->setThickness(thickness);
  } else if (type == "CIRCLE" || type == "ARC") {
    OdGePoint3d center;
    OdGeVector3d normal = OdGeVector3d::kZAxis;
    double radius = 0, thickness = 0, start = 0, end = 0;
    bool arc = type == "ARC";
    if (arc)
      owned.reset(e = new OdDbArc());
    else
      owned.reset(e = new OdDbCircle());
    walk([&](int code) {
      switch (code) {
        case 10:
          center = f.rdPoint();
          return true;
        case 40:
          radius = f.rdDouble();
          return true;
        case 39:
          thickness = f.rdDouble();
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        case 50:
          start = f.rdAngle();
          return true;
        case 51:
          end = f.rdAngle();
          return true;
        default:
          return false;
      }
    });
    if (f.status() == eOk) {
      bool ok;
      if (arc) {
        auto* x = static_cast<OdDbArc*>(e);
        ok = x->setNormal(normal) == eOk && x->setRadius(radius) == eOk;
        x->setCenter(toWcs(normal.normal(), center));
        x->setStartAngle(start);
        x->setEndAngle(end);
        x->setThickness(thickness);
      } else {
        auto* x = static_cast<OdDbCircle*>(e);
        ok = x->setNormal(normal) == eOk && x->setRadius(radius) == eOk;
        x->setCenter(toWcs(normal.normal(), center));
        x->setThickness(thickness);
      }
      if (!ok) f.fail(eInvalidDxfValue);
    }
  } else if (type == "POINT") {
    auto* x = new OdDbPoint();
    owned.reset(e = x);
    walk([&](int code) {
      switch (code) {
        case 10:
          x->setPosition(f.rdPoint());
          return true;
        case 39:
          x->setThickness(f.rdDouble());
          return true;
        case 210:
          if (x->setNormal(f.rdPoint().asVector()) != eOk) f.fail(eInvalidDxfValue);
          return true;
        case 50:
          x->setEcsRotation(f.rdAngle());
          return true;
        default:
          return false;
      }
    });
  } else if (type == "TEXT" || type == "ATTDEF" || type == "ATTRIB") {
    OdDbText* x;
    OdDbAttributeDefinition* def = nullptr;
    OdDbAttribute* att = nullptr;
    if (type == "TEXT")
      x = new OdDbText();
    else if (type == "ATTDEF")
      x = def = new OdDbAttributeDefinition();
    else
      x = att = new OdDbAttribute();
    owned.reset(e = x);
    OdGePoint3d position, alignment;
    bool hasAlignment = false;
    OdGeVector3d normal = OdGeVector3d::kZAxis;
    int flags = 0;
    walk([&](int code) {
      bool attribute = def || att;
      switch (code) {
        case 10:
          position = f.rdPoint();
          return true;
        case 11:
          alignment = f.rdPoint();
          hasAlignment = true;
          return true;
        case 40:
          if (x->setHeight(f.rdDouble()) != eOk) f.fail(eInvalidDxfValue);
          return true;
        case 1:
          x->setTextString(f.rdString());
          return true;
        case 50:
          x->setRotation(f.rdAngle());
          return true;
        case 41:
          if (double w = f.rdDouble(); w > 0) x->setWidthFactor(w);
          return true;
        case 51:
          x->setOblique(f.rdAngle());
          return true;
        case 7:
          OdDbInternals::textStyle(x) = recordByName(m_db.textStyleTable, f.raw(), false);
          return true;
        case 71: {
          long long g = f.rdInt();
          x->mirrorInX(g & 2);
          x->mirrorInY(g & 4);
          return true;
        }
        case 72: {
          long long h = f.rdInt();
          if (h < 0 || h > 5) h = 0;
          x->setHorizontalMode(static_cast<OdDb::TextHorzMode>(h));
          return true;
        }
        case 39:
          x->setThickness(f.rdDouble());
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        case 73:
          if (attribute && f.subclass() != "AcDbText") {
            long long n = f.rdInt();
            if (n >= 0 && n <= 65535) {
              if (def) def->setFieldLength(static_cast<OdUInt16>(n));
              if (att) att->setFieldLength(static_cast<OdUInt16>(n));
            }
            return true;
          }
          [[fallthrough]];
        case 74: {
          if (code == 74 && !attribute) return false;
          long long v = f.rdInt();
          if (v < 0 || v > 3) v = 0;
          x->setVerticalMode(static_cast<OdDb::TextVertMode>(v));
          return true;
        }
        case 2:
          if (!attribute) return false;
          if ((def ? def->setTag(f.rdString()) : att->setTag(f.rdString())) != eOk) f.fail(eInvalidDxfValue);
          return true;
        case 3:
          if (def) def->setPrompt(f.rdString());
          return def != nullptr;
        case 70:
          if (!attribute) return false;
          flags = static_cast<int>(f.rdInt());
          return true;
        default:
          return false;
      }
    });
    if (x->setNormal(normal) != eOk) f.fail(eInvalidDxfValue);
    x->setPosition(toWcs(x->normal(), position));
    x->setAlignmentPoint(toWcs(x->normal(), hasAlignment ? alignment : position));
    if (def) {
      def->setInvisible(flags & 1);
      def->setConstant(flags & 2);
      def->setVerifiable(flags & 4);
      def->setPreset(flags & 8);
      if (def->tag().isEmpty()) f.fail(eInvalidDxfValue);
    }
    if (att) {
      att->setInvisible(flags & 1);
      att->setConstant(flags & 2);
      OdDbInternals::attributeFlags(att) = static_cast<OdUInt8>(flags & 15);
      if (att->tag().isEmpty()) f.fail(eInvalidDxfValue);
    }
  } else if (type == "MTEXT") {
    auto* x = new OdDbMText();
    owned.reset(e = x);
    std::u16string contents, last;
    OdGeVector3d direction, normal = OdGeVector3d::kZAxis;
    bool hasDirection = false;
    double rotation = 0;
    walk([&](int code) {
      switch (code) {
        case 10:
          x->setLocation(f.rdPoint());
          return true;
        case 40:
          if (x->setTextHeight(f.rdDouble()) != eOk) f.fail(eInvalidDxfValue);
          return true;
        case 41:
          if (double w = f.rdDouble(); w >= 0) x->setWidth(w);
          return true;
        case 71: {
          long long a = f.rdInt();
          if (a < 1 || a > 9) a = 1;
          x->setAttachment(static_cast<OdDbMText::AttachmentPoint>(a));
          return true;
        }
        case 3:
          contents += f.rdString().str();
          return true;
        case 1:
          last = f.rdString().str();
          return true;
        case 7:
          OdDbInternals::textStyle(x) = recordByName(m_db.textStyleTable, f.raw(), false);
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        case 11:
          direction = f.rdPoint().asVector();
          hasDirection = true;
          return true;
        case 50:
          rotation = f.rdDouble();
          return true;  // radians, unlike other angles
        default:
          return false;
      }
    });
    x->setContents(contents + last);
    if (x->setNormal(normal) != eOk) f.fail(eInvalidDxfValue);
    if (hasDirection && !direction.isZeroLength()) {
      OdGeVector3d d = ecsToWcs(x->normal()).transpose() * direction;
      rotation = std::atan2(d.y, d.x);
    }
    x->setRotation(normalizeAngle(rotation));
  } else if (type == "LWPOLYLINE") {
    auto* x = new OdDbPolyline();
    owned.reset(e = x);
    auto& vertices = OdDbInternals::vertices(x);
    long long announced = -1;
    double constant = -1;
    OdGeVector3d normal = OdGeVector3d::kZAxis;
    std::vector<bool> widthGiven;
    walk([&](int code) {
      switch (code) {
        case 90:
          announced = f.rdInt();
          return true;
        case 70: {
          long long flags = f.rdInt();
          x->setClosed(flags & 1);
          return true;
        }
        case 43:
          constant = f.rdDouble();
          return true;
        case 38:
          x->setElevation(f.rdDouble());
          return true;
        case 39:
          x->setThickness(f.rdDouble());
          return true;
        case 10:
          vertices.append(OdDbPolyline::Vertex{OdGePoint2d(f.rdDouble(), 0), 0, -1, -1, 0});
          widthGiven.push_back(false);
          return true;
        case 20:
          if (!vertices.isEmpty()) vertices.last().point.y = f.rdDouble();
          return true;
        case 40:
          if (!vertices.isEmpty()) {
            vertices.last().startWidth = f.rdDouble();
            widthGiven.back() = true;
          }
          return true;
        case 41:
          if (!vertices.isEmpty()) {
            vertices.last().endWidth = f.rdDouble();
            widthGiven.back() = true;
          }
          return true;
        case 42:
          if (!vertices.isEmpty()) vertices.last().bulge = f.rdDouble();
          return true;
        case 91:
          if (!vertices.isEmpty()) vertices.last().identifier = static_cast<OdInt32>(f.rdInt());
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        default:
          return false;
      }
    });
    if (f.status() == eOk && announced >= 0 && announced != static_cast<long long>(vertices.size()))
      f.fail(eDxfCountMismatch);
    if (x->setNormal(normal) != eOk) f.fail(eInvalidDxfValue);
    if (constant >= 0) {
      OdDbInternals::constantWidth(x) = constant;
      for (unsigned i = 0; i < vertices.size(); ++i)
        if (!widthGiven[i]) vertices[i].startWidth = vertices[i].endWidth = constant;
    }
  } else if (type == "POLYLINE") {
    std::string_view flagText = r.find(70);
    long long flags = 0;
    if (!flagText.empty()) {
      F probe = filerOf(r);
      while (probe.next())
        if (probe.code() == 70) {
          flags = probe.rdInt();
          break;
        }
    }
    OdDbComplexEntity* x;
    if (flags & 64) {
      x = new OdDbPolyFaceMesh();
      kind = Kind::kPolyface;
    } else if (flags & 16) {
      x = new OdDbPolygonMesh();
      kind = Kind::kMesh;
    } else if (flags & 8) {
      x = new OdDb3dPolyline();
      kind = Kind::k3d;
    } else {
      x = new OdDb2dPolyline();
      kind = Kind::k2d;
    }
    owned.reset(e = x);
    OdGeVector3d normal = OdGeVector3d::kZAxis;
    double elevation = 0;
    long long m = 0, n = 0, md = 0, nd = 0, curves = 0;
    walk([&](int code) {
      switch (code) {
        case 66:
          f.rdInt();
          return true;
        case 70:
          f.rdInt();
          return true;
        case 10:
          elevation = f.rdPoint().z;
          return true;
        case 40:
          if (auto* p = OdDb2dPolyline::cast(x)) p->setDefaultStartWidth(f.rdDouble());
          return true;
        case 41:
          if (auto* p = OdDb2dPolyline::cast(x)) p->setDefaultEndWidth(f.rdDouble());
          return true;
        case 71:
          m = f.rdInt();
          return true;
        case 72:
          n = f.rdInt();
          return true;
        case 73:
          md = f.rdInt();
          return true;
        case 74:
          nd = f.rdInt();
          return true;
        case 75:
          curves = f.rdInt();
          return true;
        case 39:
          if (auto* p = OdDb2dPolyline::cast(x)) p->setThickness(f.rdDouble());
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        default:
          return false;
      }
    });
    if (auto* p = OdDb2dPolyline::cast(x)) {
      if (p->setNormal(normal) != eOk) f.fail(eInvalidDxfValue);
      p->setElevation(elevation);
      if (flags & 1) p->makeClosed();
      if (flags & 128) p->setLinetypeGenerationOn();
      p->setPolyType((flags & 4)   ? (curves == 5 ? OdDb::k2dQuadSplinePoly : OdDb::k2dCubicSplinePoly)
                     : (flags & 2) ? OdDb::k2dFitCurvePoly
                                   : OdDb::k2dSimplePoly);
    } else if (auto* p = OdDb3dPolyline::cast(x)) {
      if (flags & 1) p->makeClosed();
      if (flags & 4) p->setPolyType(curves == 5 ? OdDb::k3dQuadSplinePoly : OdDb::k3dCubicSplinePoly);
    } else if (auto* p = OdDbPolygonMesh::cast(x)) {
      auto in16 = [&](long long v) { return v >= 0 && v <= 32767; };
      if (!in16(m) || !in16(n) || !in16(md) || !in16(nd)) f.fail(eInvalidDxfValue);
      p->setMSize(static_cast<OdInt16>(m));
      p->setNSize(static_cast<OdInt16>(n));
      p->setMSurfaceDensity(static_cast<OdInt16>(md));
      p->setNSurfaceDensity(static_cast<OdInt16>(nd));
      if (flags & 1) p->makeMClosed();
      if (flags & 32) p->makeNClosed();
      if (curves == 5 || curves == 6 || curves == 8) p->setPolyMeshType(static_cast<OdDb::PolyMeshType>(curves));
      counts = {static_cast<int>(m * n)};
    } else {
      if (m < 0 || n < 0 || m > 32767 || n > 32767) f.fail(eInvalidDxfValue);
      counts = {static_cast<int>(m), static_cast<int>(n)};
    }
  } else if (type == "INSERT") {
    auto* x = new OdDbBlockReference();
    owned.reset(e = x);
    OdGePoint3d position;
    OdGeVector3d normal = OdGeVector3d::kZAxis;
    OdGeScale3d scale;
    bool attributes = false;
    walk([&](int code) {
      switch (code) {
        case 66:
          attributes = f.rdInt() != 0;
          return true;
        case 2: {
          OdDbStub* b = blockByName(f.raw());
          if (!b) {
            f.fail(eInvalidBlockName);
            return true;
          }
          if (b == m_db.modelSpace || b == m_db.paperSpace) f.fail(eInvalidBlockName);
          OdDbInternals::blockOf(x) = b;
          return true;
        }
        case 10:
          position = f.rdPoint();
          return true;
        case 41:
          scale.sx = f.rdDouble();
          return true;
        case 42:
          scale.sy = f.rdDouble();
          return true;
        case 43:
          scale.sz = f.rdDouble();
          return true;
        case 50:
          x->setRotation(f.rdAngle());
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        default:
          return false;
      }
    });
    if (!OdDbInternals::blockOf(x)) f.fail(eInvalidBlockName);
    if (x->setNormal(normal) != eOk || x->setScaleFactors(scale) != eOk) f.fail(eInvalidDxfValue);
    x->setPosition(toWcs(x->normal(), position));
    if (attributes) kind = Kind::kInsert;
  } else if (type == "DIMENSION") {
    std::string_view typeText = r.find(70);
    long long dimType = 0;
    {
      F probe = filerOf(r);
      while (probe.next())
        if (probe.code() == 70) {
          dimType = probe.rdInt();
          break;
        }
      if (typeText.empty()) dimType = 0;
    }
    if ((dimType & 7) > 1) return readOpaqueEntity(r, block, paperSplit, handle);
    auto* x = new OdDbRotatedDimension();
    owned.reset(e = x);
    OdGePoint3d text;
    OdGeVector3d normal = OdGeVector3d::kZAxis;
    bool rotationGiven = false;
    walk([&](int code) {
      switch (code) {
        case 2: {
          OdDbStub* b = recordByName(m_db.blockTable, f.raw(), false);
          OdDbInternals::dimBlock(x) = b;
          return true;
        }
        case 3:
          OdDbInternals::dimStyle(x) = recordByName(m_db.dimStyleTable, f.raw(), false);
          return true;
        case 10:
          x->setDimLinePoint(f.rdPoint());
          return true;
        case 11:
          text = f.rdPoint();
          return true;
        case 70:
          f.rdInt();
          return true;
        case 1:
          x->setDimensionText(f.rdString());
          return true;
        case 53:
          x->setTextRotation(f.rdAngle());
          return true;
        case 13:
          x->setXLine1Point(f.rdPoint());
          return true;
        case 14:
          x->setXLine2Point(f.rdPoint());
          return true;
        case 50:
          x->setRotation(f.rdAngle());
          rotationGiven = true;
          return true;
        case 52:
          x->setOblique(f.rdAngle());
          return true;
        case 210:
          normal = f.rdPoint().asVector();
          return true;
        default:
          return false;
      }
    });
    if (x->setNormal(normal) != eOk) f.fail(eInvalidDxfValue);
    if ((dimType & 7) == 1 && !rotationGiven) {
      OdGeVector3d d = ecsToWcs(x->normal()).transpose() * (x->xLine2Point() - x->xLine1Point());
      x->setRotation(std::atan2(d.y, d.x));
    }
    x->setTextPosition(toWcs(x->normal(), text));
    OdDbInternals::dimDefaultTextPosition(x) = (dimType & 128) == 0;
    OdDbInternals::dimBlockStale(x) = OdDbInternals::dimBlock(x) == nullptr;
  } else if (type == "VIEWPORT") {
    auto* x = new OdDbViewport();
    owned.reset(e = x);
    walk([&](int code) {
      switch (code) {
        case 10:
          x->setCenterPoint(f.rdPoint());
          return true;
        case 40:
          if (x->setWidth(f.rdDouble()) != eOk) f.fail(eInvalidDxfValue);
          return true;
        case 41:
          if (x->setHeight(f.rdDouble()) != eOk) f.fail(eInvalidDxfValue);
          return true;
        case 68:
          if (f.rdInt() == 0) x->setOff();
          return true;
        case 69: {
          long long id = f.rdInt();
          OdDbInternals::viewportNumber(x) = static_cast<OdInt16>(std::clamp<long long>(id, 0, 32767));
          return true;
        }
        case 12: {
          OdGePoint3d p = f.rdPoint();
          x->setViewCenter(OdGePoint2d(p.x, p.y));
          return true;
        }
        case 16:
          if (x->setViewDirection(f.rdPoint().asVector()) != eOk) f.fail(eInvalidDxfValue);
          return true;
        case 17:
          x->setViewTarget(f.rdPoint());
          return true;
        case 42:
          if (double l = f.rdDouble(); l > 0) x->setLensLength(l);
          return true;
        case 45:
          if (double h = f.rdDouble(); h > 0) x->setViewHeight(h);
          return true;
        case 51:
          x->setTwistAngle(f.rdAngle());
          return true;
        default:
          return false;
      }
    });
  } else if (type == "VERTEX" || type == "ATTRIB" || type == "SEQEND") {
    return fail(eBadDxfSequence);  // only after their POLYLINE or INSERT
  } else {
    return readOpaqueEntity(r, block, paperSplit, handle);
  }
  if (f.status() != eOk) return fail(f.status());
  if (xdata && readXData(f, *e) != eOk) return m_status;

  if (parent) {
    if (!OdDbInternals::layer(e))
      OdDbInternals::layer(e) = OdDbInternals::layer(static_cast<OdDbEntity*>(parent->object));
    if (addObject(owned.release(), parent, handle) != eOk) return m_status;
    OdDbInternals::subObjects(parent->object)->stubs.push_back(OdDbInternals::stub(e));
    return eOk;
  }
  OdDbStub* target = block;
  if (paperSplit) target = paper ? m_db.paperSpace : m_db.modelSpace;
  if (addObject(owned.release(), target, handle) != eOk) return m_status;
  OdDbStub* self = OdDbInternals::stub(e);
  OdDbInternals::blockEntities(static_cast<OdDbBlockTableRecord*>(target->object)).push_back(self);
  if (kind == Kind::kOther) return eOk;

  // The sub-records: vertices or attributes, then SEQEND.
  OdDbSubObjects* subs = OdDbInternals::subObjects(e);
  if (kind == Kind::kInsert) {
    OdDbInternals::attributesForRead(static_cast<OdDbBlockReference*>(e));
    subs = OdDbInternals::subObjects(e);
  }
  int vertices = 0, faces = 0;
  Record sub;
  for (;;) {
    if (!nextRecord(sub)) return m_status;
    if (sub.type == "SEQEND") {
      auto* end = new OdDbSequenceEnd();
      F sf = filerOf(sub);
      bool ignored;
      while (sf.next()) entityCommon(sf, *end, ignored);
      if (addObject(end, self, handleOf(sub)) != eOk) return m_status;
      subs->seqEnd = OdDbInternals::stub(end);
      break;
    }
    bool wanted = kind == Kind::kInsert ? sub.type == "ATTRIB" : sub.type == "VERTEX";
    if (!wanted) return fail(eBadDxfSequence);
    if (kind == Kind::kInsert) {
      // An attribute reads as an entity of its own, owned by the insert.
      if (OdResult result = readEntity(sub, nullptr, false, self); result != eOk) return result;
      continue;
    }
    F vf = filerOf(sub);
    long long vflags = 0;
    {
      F probe = filerOf(sub);
      while (probe.next())
        if (probe.code() == 70) {
          vflags = probe.rdInt();
          break;
        }
    }
    OdDbEntity* v = nullptr;
    std::unique_ptr<OdDbEntity> vowned;
    OdGePoint3d position;
    double bulge = 0, sw = 0, ew = 0;
    OdInt16 idx[4] = {0, 0, 0, 0};
    bool vpaper = false, vxdata = false;
    bool face = kind == Kind::kPolyface && !(vflags & 64);
    switch (kind) {
      case Kind::k2d:
        vowned.reset(v = new OdDb2dVertex());
        break;
      case Kind::k3d:
        vowned.reset(v = new OdDb3dPolylineVertex());
        break;
      case Kind::kPolyface:
        vowned.reset(v = face ? static_cast<OdDbEntity*>(new OdDbFaceRecord()) : new OdDbPolyFaceMeshVertex());
        break;
      default:
        vowned.reset(v = new OdDbPolygonMeshVertex());
        break;
    }
    while (vf.next()) {
      int code = vf.code();
      if (code >= 1000) {
        vxdata = true;
        break;
      }
      switch (code) {
        case 10:
          position = vf.rdPoint();
          break;
        case 40:
          sw = vf.rdDouble();
          break;
        case 41:
          ew = vf.rdDouble();
          break;
        case 42:
          bulge = vf.rdDouble();
          break;
        case 70:
          vf.rdInt();
          break;
        case 71:
        case 72:
        case 73:
        case 74: {
          long long i = vf.rdInt();
          if (i < -32767 || i > 32767) vf.fail(eInvalidDxfValue);
          idx[code - 71] = static_cast<OdInt16>(i);
          break;
        }
        default:
          entityCommon(vf, *v, vpaper);
          break;
      }
    }
    if (vf.status() != eOk) return fail(vf.status());
    if (vxdata && readXData(vf, *v) != eOk) return m_status;
    if (auto* x = OdDb2dVertex::cast(v)) {
      x->setPosition(OdGePoint3d(position.x, position.y, 0));
      x->setBulge(bulge);
      x->setStartWidth(sw);
      x->setEndWidth(ew);
      x->setVertexType((vflags & 16)  ? OdDb::k2dSplineCtlVertex
                       : (vflags & 8) ? OdDb::k2dSplineFitVertex
                       : (vflags & 1) ? OdDb::k2dCurveFitVertex
                                      : OdDb::k2dVertex);
    } else if (auto* x = OdDb3dPolylineVertex::cast(v)) {
      x->setPosition(position);
      x->setVertexType((vflags & 16)  ? OdDb::k3dControlVertex
                       : (vflags & 8) ? OdDb::k3dFitVertex
                                      : OdDb::k3dSimpleVertex);
    } else if (auto* x = OdDbPolyFaceMeshVertex::cast(v)) {
      x->setPosition(position);
      if (faces > 0) return fail(eBadDxfSequence);
      ++vertices;
    } else if (auto* x = OdDbFaceRecord::cast(v)) {
      for (OdUInt16 i = 0; i < 4; ++i) {
        if (std::abs(idx[i]) > vertices) return fail(eInvalidDxfValue);
        x->setVertexAt(i, idx[i]);
      }
      ++faces;
    } else if (auto* x = OdDbPolygonMeshVertex::cast(v)) {
      x->setPosition(position);
      x->setVertexType((vflags & 16)  ? OdDb::k3dControlVertex
                       : (vflags & 8) ? OdDb::k3dFitVertex
                                      : OdDb::k3dSimpleVertex);
      ++vertices;
    }
    if (!OdDbInternals::layer(v)) OdDbInternals::layer(v) = OdDbInternals::layer(e);
    if (addObject(vowned.release(), self, handleOf(sub)) != eOk) return m_status;
    subs->stubs.push_back(OdDbInternals::stub(v));
  }
  if (kind == Kind::kPolyface && (counts[0] != vertices || counts[1] != faces)) return fail(eDxfCountMismatch);
  if (kind == Kind::kMesh && counts[0] != vertices) return fail(eDxfCountMismatch);
  return eOk;
}

OdResult Reader::readOpaqueEntity(Record& r, OdDbStub* block, bool paperSplit, OdUInt64 handle) {
  auto* e = new OdDbOpaqueEntity();
  e->type = r.type;
  F f = filerOf(r);
  bool paper = false;
  while (f.next() && f.code() < 1000) entityCommon(f, *e, paper);
  if (f.status() != eOk) {
    delete e;
    return fail(f.status());
  }
  e->groups = rawGroupsOf(r, m_encoding, m_codePage);
  OdDbStub* target = paperSplit ? (paper ? m_db.paperSpace : m_db.modelSpace) : block;
  if (addObject(e, target, handle) != eOk) return m_status;
  OdDbInternals::blockEntities(static_cast<OdDbBlockTableRecord*>(target->object)).push_back(OdDbInternals::stub(e));
  return eOk;
}

// Objects.
OdResult Reader::readObjects() {
  Record r;
  bool first = true;
  for (;;) {
    if (!nextRecord(r)) return m_status;
    if (r.type == "ENDSEC") return eOk;
    if (r.type == "EOF" || r.type == "SECTION") return fail(eEndOfFile);
    OdUInt64 handle = handleOf(r);
    if (m_status != eOk) return m_status;
    F f = filerOf(r);
    if (r.type == "DICTIONARY" || r.type == "ACDBDICTIONARYWDFLT") {
      auto* d = new OdDbDictionary();
      DictionaryEntries entries;
      OdString key;
      bool haveKey = false;
      while (f.next()) {
        switch (f.code()) {
          case 281:
            OdDbInternals::dictCloning(d) = static_cast<OdInt16>(f.rdInt());
            break;
          case 3:
            key = f.rdString();
            haveKey = true;
            break;
          case 350:
          case 360:
            if (!haveKey) {
              f.fail(eBadDxfSequence);
              break;
            }
            entries.entries.emplace_back(key, f.rdHandle());
            haveKey = false;
            break;
          case 102:
            if (f.raw().rfind("{", 0) == 0)
              while (f.next() && !(f.code() == 102 && f.raw().rfind("}", 0) == 0)) {
              }
            break;
          default:
            if (f.code() >= 1000) {
              readXData(f, *d);
              goto done;
            }
            break;
        }
      }
    done:
      if (f.status() != eOk) {
        delete d;
        return fail(f.status());
      }
      if (m_status != eOk) {
        delete d;
        return m_status;
      }
      if (addObject(d, nullptr, handle) != eOk) return m_status;
      entries.dictionary = OdDbInternals::stub(d);
      if (first) m_root = entries.dictionary;
      m_dictionaries.push_back(std::move(entries));
    } else if (r.type == "XRECORD") {
      auto* x = new OdDbXrecord();
      auto& items = OdDbInternals::xrecordItems(x);
      bool data = false;
      while (f.next()) {
        int code = f.code();
        if (code == 100) {
          data = f.raw() == "AcDbXrecord";
          continue;
        }
        if (code >= 1000) {
          readXData(f, *x);
          break;
        }
        if (code == 102 && f.raw().rfind("{", 0) == 0) {
          while (f.next() && !(f.code() == 102 && f.raw().rfind("}", 0) == 0)) {
          }
          continue;
        }
        if (!data || code == 280 || !isXrecordCode(code)) continue;
        OdDbDataItem item;
        item.code = static_cast<OdInt16>(code);
        switch (odutResBufKind(code)) {
          case OdResBufKind::kText:
            item.text = f.rdString().str();
            break;
          case OdResBufKind::kPoint: {
            OdGePoint3d p = f.rdPoint();
            item.v[0] = p.x, item.v[1] = p.y, item.v[2] = p.z;
            break;
          }
          case OdResBufKind::kReal:
            item.v[0] = f.rdDouble();
            break;
          case OdResBufKind::kBinary: {
            std::string_view hex = f.raw();
            if (hex.size() % 2 || hex.size() > 254) f.fail(eInvalidDxfValue);
            for (std::size_t i = 0; f.status() == eOk && i < hex.size(); i += 2) {
              int value = 0;
              auto res = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
              if (res.ec != std::errc() || res.ptr != hex.data() + i + 2) f.fail(eInvalidDxfValue);
              item.bytes += static_cast<char>(value);
            }
            break;
          }
          default:
            item.i = f.rdInt();
            break;
        }
        items.push_back(std::move(item));
      }
      if (f.status() != eOk || m_status != eOk) {
        delete x;
        return fail(f.status());
      }
      if (addObject(x, nullptr, handle) != eOk) return m_status;
    } else if (r.type == "LAYOUT") {
      auto* l = new OdDbLayout();
      OdUInt64 block = 0;
      while (f.next()) {
        if (f.subclass() != "AcDbLayout") continue;
        switch (f.code()) {
          case 1:
            l->name = f.rdString();
            break;
          case 71:
            l->tabOrder = static_cast<OdInt16>(std::clamp<long long>(f.rdInt(), 0, 32767));
            break;
          case 330:
            block = f.rdHandle();
            break;
          default:
            break;
        }
      }
      if (f.status() != eOk) {
        delete l;
        return fail(f.status());
      }
      if (addObject(l, nullptr, handle) != eOk) return m_status;
      m_layouts.emplace_back(l, block);
    } else {
      auto* o = new OdDbOpaqueObject();
      o->type = r.type;
      o->groups = rawGroupsOf(r, m_encoding, m_codePage);
      if (addObject(o, nullptr, handle) != eOk) return m_status;
    }
    first = false;
  }
}

OdResult Reader::finish() {
  ensureStandardTables(m_db);
  // Dictionary entries: each names an object of the file, and each object has one owner.
  for (auto& d : m_dictionaries) {
    auto* dictionary = static_cast<OdDbDictionary*>(d.dictionary->object);
    std::unordered_set<std::u16string> keys;
    for (auto& [key, handle] : d.entries) {
      OdDbStub* s = m_db.find(handle);
      if (!s || !s->object) {
        if (m_skipped.count(handle)) continue;  // an object the layer does not model
        return fail(eUnknownHandle);
      }
      if (!keys.insert(foldName(key.view())).second) return fail(eDuplicateKey);
      OdDbObject* o = s->object;
      bool objectOfObjects =
          OdDbDictionary::cast(o) || OdDbXrecord::cast(o) || OdDbLayout::cast(o) || OdDbOpaqueObject::cast(o);
      if (objectOfObjects) {
        if (s == d.dictionary || OdDbInternals::owner(o) || s == m_root) return fail(eInvalidOwnerObject);
        OdDbInternals::setOwner(o, d.dictionary);
      }
      OdDbInternals::dictAppend(dictionary, key, s);
    }
  }
  // Owner chains end at the root, never in a loop.
  std::size_t limit = m_dictionaries.size() + 2;
  for (auto& d : m_dictionaries) {
    std::size_t steps = 0;
    for (OdDbStub* o = d.dictionary; o && o->object; o = OdDbInternals::owner(o->object))
      if (++steps > limit) return fail(eInvalidOwnerObject);
  }
  if (m_root && OdDbDictionary::cast(m_root->object)) m_db.namedObjects = m_root;

  for (auto& [layout, handle] : m_layouts) {
    OdDbStub* b = handle ? m_db.find(handle) : nullptr;
    if (b && b->object && OdDbBlockTableRecord::cast(b->object)) {
      layout->block = b;
      OdDbInternals::blockLayout(static_cast<OdDbBlockTableRecord*>(b->object)) = OdDbInternals::stub(layout);
    }
  }
  for (auto& [block, handle] : m_blockLayouts) {
    OdDbStub* l = m_db.find(handle);
    if (!l || !l->object) {
      if (m_skipped.count(handle)) continue;
      return fail(eUnknownHandle);
    }
    if (OdDbLayout::cast(l->object)) OdDbInternals::blockLayout(block) = l;
  }
  // Handles named before their object must have found one.
  for (OdDbStub* s : m_forward)
    if (!s->object && !m_skipped.count(s->handle)) return fail(eUnknownHandle);
  for (OdDbStub* r : OdDbInternals::tableRecords(static_cast<OdDbSymbolTable*>(m_db.dimStyleTable->object))) {
    OdDbDimVars& vars = OdDbInternals::dimVars(static_cast<OdDbDimStyleTableRecord*>(r->object));
    OdDbStub* style = vars.dimtxsty.stub();
    if (style && (!style->object || !OdDbTextStyleTableRecord::cast(style->object))) vars.dimtxsty = OdDbObjectId();
  }
  for (OdDbStub* r : OdDbInternals::tableRecords(static_cast<OdDbSymbolTable*>(m_db.linetypeTable->object))) {
    auto* lt = static_cast<OdDbLinetypeTableRecord*>(r->object);
    for (int i = 0; i < lt->numDashes(); ++i) {
      OdDbStub* style = lt->shapeStyleAt(i).stub();
      if (style && (!style->object || !OdDbTextStyleTableRecord::cast(style->object)))
        OdDbInternals::setDashStyle(lt, i, nullptr);
    }
  }
  if (!m_undefinedBlocks.empty()) return fail(eInvalidBlockName);

  // Blocks may not hold themselves, however deep.
  {
    std::unordered_map<const OdDbStub*, int> state;  // 1 on the path, 2 done
    std::vector<std::pair<OdDbStub*, std::size_t>> stack;
    for (OdDbStub* root : OdDbInternals::tableRecords(static_cast<OdDbSymbolTable*>(m_db.blockTable->object))) {
      if (state[root]) continue;
      stack.emplace_back(root, 0);
      state[root] = 1;
      while (!stack.empty()) {
        auto& [block, index] = stack.back();
        auto& entities = OdDbInternals::blockEntities(static_cast<OdDbBlockTableRecord*>(block->object));
        if (index == entities.size()) {
          state[block] = 2;
          stack.pop_back();
          continue;
        }
        OdDbStub* e = entities[index++];
        auto* ref = e->object ? OdDbBlockReference::cast(e->object) : nullptr;
        OdDbStub* child = ref ? OdDbInternals::blockOf(ref) : nullptr;
        if (!child) continue;
        int& s = state[child];
        if (s == 1) return fail(eSelfReference);
        if (s == 0) {
          s = 1;
          stack.emplace_back(child, 0);
        }
      }
    }
  }

  // Every entity names a layer and a linetype; every block has its BLOCK and ENDBLK.
  for (OdDbStub* b : OdDbInternals::tableRecords(static_cast<OdDbSymbolTable*>(m_db.blockTable->object))) {
    auto* block = static_cast<OdDbBlockTableRecord*>(b->object);
    auto fill = [&](OdDbEntity& e) {
      if (!OdDbInternals::layer(&e)) OdDbInternals::layer(&e) = m_db.layer0;
      if (!OdDbInternals::linetype(&e)) OdDbInternals::linetype(&e) = m_db.byLayer;
    };
    for (OdDbStub* s : OdDbInternals::blockEntities(block)) {
      if (!s->object) continue;
      auto* e = static_cast<OdDbEntity*>(s->object);
      fill(*e);
      if (OdDbSubObjects* subs = OdDbInternals::subObjects(e)) {
        subs->forEach(fill);
        if (!subs->seqEnd && !subs->stubs.empty()) return fail(eBadDxfSequence);
      }
    }
    if (!OdDbInternals::blockBegin(block) || !OdDbInternals::blockEnd(block)) addStandardRecordEnds(m_db, block);
  }

  OdDbHeader& h = m_db.header;
  auto named = [&](const char* var, OdDbStub* table) -> OdDbStub* {
    auto it = m_headerNames.find(var);
    if (it == m_headerNames.end() || !table) return nullptr;
    return OdDbInternals::tableFind(static_cast<OdDbSymbolTable*>(table->object), it->second);
  };
  if (OdDbStub* s = named("$CLAYER", m_db.layerTable)) h.clayer = s;
  if (OdDbStub* s = named("$CELTYPE", m_db.linetypeTable)) h.celtype = s;
  if (OdDbStub* s = named("$TEXTSTYLE", m_db.textStyleTable)) h.textstyle = s;
  if (OdDbStub* s = named("$DIMSTYLE", m_db.dimStyleTable)) h.dimstyle = s;
  if (OdDbStub* s = named("$DIMTXSTY", m_db.textStyleTable)) h.dimvars.dimtxsty = OdDbObjectId(s);

  ensureStandardContents(m_db);
  m_db.deferHandles = false;
  for (OdDbStub* s : m_db.unhandled) m_db.assignHandle(s);
  m_db.unhandled.clear();
  return m_status;
}

}  // namespace

OdResult readDxf(OdDbDatabaseImpl& db, std::FILE* file) {
  db.deferHandles = true;
  // About one object to a hundred bytes of DXF: the handle map is made big enough once.
  if (std::fseek(file, 0, SEEK_END) == 0) {
    long size = std::ftell(file);
    if (size > 0) db.handles.reserve(static_cast<std::size_t>(size / 100));
    std::fseek(file, 0, SEEK_SET);
  }
  Reader reader(db, file);
  return reader.read();
}

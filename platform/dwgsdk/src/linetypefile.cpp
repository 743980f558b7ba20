// Reading .lin files and adding their linetypes to a drawing.
#include "linetypefile.h"

#include <charconv>
#include <cmath>

#include "dxftext.h"
#include "standard.h"

namespace {

std::string_view trim(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\r')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.remove_suffix(1);
  return v;
}

bool number(std::string_view text, double& value) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(value);
}

std::u16string decode(std::string_view bytes) { return decodeDxfText(bytes, DxfEncoding::kUnknown); }

/// Reads a complex element between brackets into the dash that precedes it.
bool readComplex(std::string_view body, LinetypeDash& dash, bool& shape) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= body.size(); ++i) {
    if (i < body.size() && body[i] == '"') quoted = !quoted;
    if (i == body.size() || (body[i] == ',' && !quoted)) {
      parts.push_back(trim(body.substr(start, i - start)));
      start = i + 1;
    }
  }
  if (quoted || parts.size() < 2) return false;
  std::string_view first = parts[0];
  if (first.size() >= 2 && first.front() == '"' && first.back() == '"') {
    dash.text = decode(first.substr(1, first.size() - 2));
  } else {
    shape = true;
  }
  dash.style = decode(parts[1]);
  for (std::size_t i = 2; i < parts.size(); ++i) {
    std::string_view p = parts[i];
    if (p.size() < 3 || p[1] != '=') return false;
    double v;
    if (!number(p.substr(2), v)) return false;
    switch (p[0] | 0x20) {
      case 's':
        dash.scale = v;
        break;
      case 'r':
        dash.rotation = v;
        dash.absoluteRotation = false;
        break;
      case 'a':
        dash.rotation = v;
        dash.absoluteRotation = true;
        break;
      case 'x':
        dash.x = v;
        break;
      case 'y':
        dash.y = v;
        break;
      default:
        return false;
    }
  }
  return true;
}

bool readPattern(std::string_view line, LinetypeDefinition& def) {
  line = trim(line);
  if (line.empty() || (line[0] | 0x20) != 'a') return false;
  line.remove_prefix(1);
  line = trim(line);
  if (line.empty()) return true;  // a pattern of no dashes: continuous
  if (line[0] != ',') return false;
  line.remove_prefix(1);
  while (true) {
    line = trim(line);
    if (line.empty()) return false;
    if (line[0] == '[') {
      auto close = line.find(']');
      if (close == std::string_view::npos || def.dashes.empty()) return false;
      bool shape = false;
      if (!readComplex(line.substr(1, close - 1), def.dashes.back(), shape)) return false;
      def.usesShapes = def.usesShapes || shape;
      line.remove_prefix(close + 1);
    } else {
      auto comma = line.find(',');
      double v;
      if (!number(line.substr(0, comma), v)) return false;
      if (static_cast<int>(def.dashes.size()) >= kMaxDashes) return false;
      LinetypeDash dash;
      dash.length = v;
      def.dashes.push_back(dash);
      if (comma == std::string_view::npos) return true;
      line.remove_prefix(comma);
    }
    line = trim(line);
    if (line.empty()) return true;
    if (line[0] != ',') return false;
    line.remove_prefix(1);
  }
}

}  // namespace

OdResult parseLinetypeFile(std::string_view bytes, std::vector<LinetypeDefinition>& definitions) {
  definitions.clear();
  LinetypeDefinition* current = nullptr;
  bool expectPattern = false;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = trim(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.rfind(";;", 0) == 0) continue;
    if (line[0] == '*') {
      if (expectPattern && current) current->valid = false;
      auto comma = line.find(',');
      std::string_view name =
          trim(line.substr(1, comma == std::string_view::npos ? std::string_view::npos : comma - 1));
      definitions.emplace_back();
      current = &definitions.back();
      current->name = decode(name);
      if (comma != std::string_view::npos) current->description = decode(trim(line.substr(comma + 1)));
      if (current->name.empty() || current->name.size() > 255) current->valid = false;
      expectPattern = true;
      continue;
    }
    if (!current || !expectPattern) continue;  // text outside a definition is no linetype
    if (!readPattern(line, *current)) current->valid = false;
    expectPattern = false;
  }
  if (expectPattern && current) current->valid = false;
  return eOk;
}

OdResult addLinetypes(OdDbDatabaseImpl& db, const std::vector<LinetypeDefinition>& definitions, const OdString& name,
                      OdDb::DuplicateLinetypeLoading duplicates) {
  if (!db.linetypeTable || !db.textStyleTable) return eNoDatabase;
  auto* table = static_cast<OdDbSymbolTable*>(db.linetypeTable->object);
  auto* styles = static_cast<OdDbSymbolTable*>(db.textStyleTable->object);
  bool all = name == u"*";
  std::u16string wanted = foldName(name.view());
  bool found = false;
  for (const LinetypeDefinition& def : definitions) {
    if (!all && foldName(def.name) != wanted) continue;
    found = true;
    if (!def.valid) {
      if (all) continue;
      return eBadLinetypeFile;
    }
    if (def.usesShapes) {
      if (all) continue;
      return eNotImplementedYet;
    }
    OdDbStub* existing = OdDbInternals::tableFind(table, def.name);
    OdDbLinetypeTableRecord* record = nullptr;
    if (existing) {
      if (duplicates != OdDb::kDltReplace) {
        if (all || duplicates == OdDb::kDltIgnore) continue;
        return eDuplicateRecordName;
      }
      record = static_cast<OdDbLinetypeTableRecord*>(existing->object);
    } else {
      record = new OdDbLinetypeTableRecord();
      if (record->setName(def.name) != eOk) {
        delete record;
        if (all) continue;
        return eInvalidSymbolTableName;
      }
    }
    OdDbInternals::asWritable(record, [&] {
      record->setComments(def.description);
      record->setIsScaledToFit(false);
      record->setNumDashes(static_cast<int>(def.dashes.size()));
      double length = 0;
      for (int i = 0; i < static_cast<int>(def.dashes.size()); ++i) {
        const LinetypeDash& d = def.dashes[static_cast<std::size_t>(i)];
        record->setDashLengthAt(i, d.length);
        length += std::fabs(d.length);
        record->setTextAt(i, d.text);
        if (!d.text.empty()) {
          OdDbStub* style = OdDbInternals::tableFind(styles, d.style);
          OdDbInternals::setDashStyle(record, i, style ? style : db.header.textstyle);
          record->setShapeScaleAt(i, d.scale);
          record->setShapeRotationAt(i, d.rotation * M_PI / 180.0);
          record->setShapeOffsetAt(i, OdGeVector2d(d.x, d.y));
          record->setShapeIsUcsOrientedAt(i, d.absoluteRotation);
        }
      }
      record->setPatternLength(length);
      return 0;
    });
    if (!existing) addStandardRecord(db, db.linetypeTable, record);
  }
  return found ? eOk : eUndefinedLineType;
}

// The standard contents every drawing has, and the checks of values that
// refer to other records.
#pragma once

#include "internals.h"

namespace standard {
inline constexpr const char16_t* kModelSpace = u"*Model_Space";
inline constexpr const char16_t* kPaperSpace = u"*Paper_Space";
inline constexpr const char16_t* kLayer0 = u"0";
inline constexpr const char16_t* kByBlock = u"BYBLOCK";
inline constexpr const char16_t* kByLayer = u"BYLAYER";
inline constexpr const char16_t* kContinuous = u"CONTINUOUS";
inline constexpr const char16_t* kStandard = u"STANDARD";
inline constexpr const char16_t* kAcad = u"ACAD";
inline constexpr const char16_t* kActive = u"*Active";
inline constexpr const char16_t* kGroupDictionary = u"ACAD_GROUP";
inline constexpr const char16_t* kLayoutDictionary = u"ACAD_LAYOUT";
}  // namespace standard

/// Adds whatever of the standard contents is missing: the nine tables, the
/// standard records, the two spaces with their layouts, the paper-space
/// viewport, the named-object dictionary, and the header's current records.
void ensureStandardContents(OdDbDatabaseImpl& db);
/// The part a file's entities need first: the tables, their standard records and the two spaces.
void ensureStandardTables(OdDbDatabaseImpl& db);

/// Gives a block its BLOCK and ENDBLK objects when it lacks them.
void addStandardRecordEnds(OdDbDatabaseImpl& db, OdDbBlockTableRecord* block);
/// Adds a record to a table of the database (closed), or finds it by name.
OdDbStub* addStandardRecord(OdDbDatabaseImpl& db, OdDbStub* table, OdDbSymbolTableRecord* record);

inline OdResult checkDimVar(const OdDbDatabaseImpl*, bool) { return eOk; }
inline OdResult checkDimVar(const OdDbDatabaseImpl*, OdInt16) { return eOk; }
inline OdResult checkDimVar(const OdDbDatabaseImpl*, OdUInt16) { return eOk; }
inline OdResult checkDimVar(const OdDbDatabaseImpl*, OdUInt8) { return eOk; }
inline OdResult checkDimVar(const OdDbDatabaseImpl*, OdInt32) { return eOk; }
inline OdResult checkDimVar(const OdDbDatabaseImpl*, double value) {
  return std::isfinite(value) ? eOk : eInvalidInput;
}
inline OdResult checkDimVar(const OdDbDatabaseImpl*, const OdString& text) {
  for (char16_t c : text.view())
    if (c < 0x20) return eInvalidInput;
  return eOk;
}
inline OdResult checkDimVar(const OdDbDatabaseImpl* db, const OdDbObjectId& id) {
  OdDbStub* s = id.stub();
  if (!s) return eOk;
  if (db && s->database != db) return eWrongDatabase;
  if (s->object && !OdDbTextStyleTableRecord::cast(s->object)) return eNotThatKindOfClass;
  return eOk;
}

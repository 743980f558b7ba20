// Writing a whole drawing as DXF R2000: header, tables, blocks, entities and
// the objects reachable from the named-object dictionary.
#include "dxfwriter.h"

#include <cstring>
#include <type_traits>

#include "dxffiler.h"
#include "geometry.h"
#include "standard.h"

using F = OdDbDxfFiler;

namespace {

bool live(const OdDbStub* s) { return s && s->object && !s->object->isErased(); }

const OdDbSymbolTable* tableOf(const OdDbStub* s) { return static_cast<const OdDbSymbolTable*>(s->object); }

int liveCount(const OdDbStub* table) {
  int n = 0;
  for (OdDbStub* r : OdDbInternals::tableRecords(tableOf(table)))
    if (live(r)) ++n;
  return n;
}

template <class V>
void headerDimVar(F& f, const char* name, const V& value, OdDbDatabaseImpl&) {
  f.wrRaw(9, name);
  if constexpr (std::is_same_v<V, double>)
    f.wrDouble(40, value);
  else if constexpr (std::is_same_v<V, OdString>)
    f.wrString(1, value);
  else if constexpr (std::is_same_v<V, OdDbObjectId>)
    f.wrName(7, live(value.stub()) ? value.stub() : nullptr, standard::kStandard);
  else
    f.wrInt(70, static_cast<long long>(value));
}

void writeHeader(F& f, OdDbDatabaseImpl& db) {
  const OdDbHeader& h = db.header;
  f.wrRaw(0, "SECTION");
  f.wrRaw(2, "HEADER");
  f.wrRaw(9, "$ACADVER");
  f.wrRaw(1, "AC1015");
  f.wrRaw(9, "$DWGCODEPAGE");
  f.wrRaw(3, "ANSI_1252");
  f.wrRaw(9, "$INSBASE");
  f.wrPoint(10, h.insbase);
  OdGeExtents3d extents;
  for (OdDbStub* s : OdDbInternals::blockEntities(static_cast<OdDbBlockTableRecord*>(db.modelSpace->object))) {
    OdGeExtents3d e;
    if (live(s) && static_cast<OdDbEntity*>(s->object)->getGeomExtents(e) == eOk) extents.addExt(e);
  }
  if (!extents.isValidExtents()) extents.set(OdGePoint3d(1e20, 1e20, 1e20), OdGePoint3d(-1e20, -1e20, -1e20));
  f.wrRaw(9, "$EXTMIN");
  f.wrPoint(10, extents.minPoint());
  f.wrRaw(9, "$EXTMAX");
  f.wrPoint(10, extents.maxPoint());
  f.wrRaw(9, "$LIMMIN");
  f.wrPoint2d(10, OdGePoint2d(0, 0));
  f.wrRaw(9, "$LIMMAX");
  f.wrPoint2d(10, OdGePoint2d(420, 297));
  f.wrRaw(9, "$LTSCALE");
  f.wrDouble(40, h.ltscale);
  f.wrRaw(9, "$TEXTSIZE");
  f.wrDouble(40, h.textsize);
  f.wrRaw(9, "$TEXTSTYLE");
  f.wrName(7, h.textstyle, standard::kStandard);
  f.wrRaw(9, "$CLAYER");
  f.wrName(8, h.clayer, standard::kLayer0);
  f.wrRaw(9, "$CELTYPE");
  f.wrName(6, h.celtype, standard::kByLayer);
  f.wrRaw(9, "$CELTSCALE");
  f.wrDouble(40, h.celtscale);
  f.wrRaw(9, "$DIMSTYLE");
  f.wrName(2, h.dimstyle, standard::kStandard);
  // Header variable names are upper case: $DIMSCALE.
#define HEADER_DIMVAR(Suffix, name, type, code, value)          \
  {                                                             \
    std::string var = "$" #name;                                \
    for (auto& c : var) c = static_cast<char>(std::toupper(c)); \
    headerDimVar(f, var.c_str(), h.dimvars.name, db);           \
  }
  ODDB_DIMVARS(HEADER_DIMVAR)
#undef HEADER_DIMVAR
  f.wrRaw(9, "$LUNITS");
  f.wrInt(70, h.lunits);
  f.wrRaw(9, "$LUPREC");
  f.wrInt(70, h.luprec);
  f.wrRaw(9, "$TILEMODE");
  f.wrInt(70, h.tilemode ? 1 : 0);
  f.wrRaw(9, "$UCSORG");
  f.wrPoint(10, h.ucsorg);
  f.wrRaw(9, "$UCSXDIR");
  f.wrPoint(10, h.ucsxdir);
  f.wrRaw(9, "$UCSYDIR");
  f.wrPoint(10, h.ucsydir);
  f.wrRaw(9, "$MEASUREMENT");
  f.wrInt(70, 1);
  f.wrRaw(9, "$HANDSEED");
  f.wrHandle(5, db.handseed);
  f.wrRaw(0, "ENDSEC");
}

template <class V>
void writeStyleDimVar(F& f, int code, const V& value, OdDbDatabaseImpl& db) {
  if constexpr (std::is_same_v<V, double>)
    f.wrDouble(code, value);
  else if constexpr (std::is_same_v<V, OdString>)
    f.wrString(code, value);
  else if constexpr (std::is_same_v<V, OdDbObjectId>)
    f.wrHandle(code, live(value.stub()) ? value.stub() : db.header.textstyle);
  else
    f.wrInt(code, static_cast<long long>(value));
}

void recordHead(F& f, const OdDbSymbolTableRecord& r, const char* type, const char* subclass, int flags) {
  f.wrRaw(0, type);
  f.wrHandle(std::strcmp(type, "DIMSTYLE") == 0 ? 105 : 5, OdDbInternals::stub(&r));
  f.wrHandle(330, OdDbInternals::owner(&r));
  f.wrSubclass("AcDbSymbolTableRecord");
  f.wrSubclass(subclass);
  f.wrString(2, OdDbInternals::recordName(&r));
  f.wrInt(70, flags);
}

int viewMode(const OdDbAbstractViewTableRecord& v) {
  return (v.perspectiveEnabled() ? 1 : 0) | (v.frontClipEnabled() ? 2 : 0) | (v.backClipEnabled() ? 4 : 0) |
         (v.frontClipAtEye() ? 0 : 16);
}

void writeRecord(F& f, const OdDbSymbolTableRecord& r, OdDbDatabaseImpl& db) {
  OdUInt8 keep = OdDbInternals::standardFlags(const_cast<OdDbSymbolTableRecord*>(&r)) & (16 | 32 | 64);
  if (auto* v = OdDbViewportTableRecord::cast(&r)) {
    recordHead(f, r, "VPORT", "AcDbViewportTableRecord", keep);
    f.wrPoint2d(10, v->lowerLeftCorner());
    f.wrPoint2d(11, v->upperRightCorner());
    f.wrPoint2d(12, v->centerPoint());
    f.wrPoint2d(13, OdGePoint2d());
    f.wrPoint2d(14, OdGePoint2d(10, 10));
    f.wrPoint2d(15, OdGePoint2d(10, 10));
    f.wrPoint(16, v->viewDirection());
    f.wrPoint(17, v->target());
    f.wrDouble(40, v->height());
    f.wrDouble(41, v->height() > 0 ? v->width() / v->height() : 1.0);
    f.wrDouble(42, v->lensLength());
    f.wrDouble(43, v->frontClipDistance());
    f.wrDouble(44, v->backClipDistance());
    f.wrDouble(50, 0);
    f.wrAngle(51, v->viewTwist());
    f.wrInt(71, viewMode(*v));
    f.wrInt(72, 1000);
    f.wrInt(73, 1);
    f.wrInt(74, 3);
    for (int code : {75, 76, 77, 78}) f.wrInt(code, 0);
  } else if (auto* l = OdDbLinetypeTableRecord::cast(&r)) {
    recordHead(f, r, "LTYPE", "AcDbLinetypeTableRecord", keep);
    f.wrString(3, l->comments());
    f.wrInt(72, 65);
    f.wrInt(73, l->numDashes());
    f.wrDouble(40, l->patternLength());
    for (int i = 0; i < l->numDashes(); ++i) {
      f.wrDouble(49, l->dashLengthAt(i));
      OdString text = l->textAt(i);
      OdDbStub* style = l->shapeStyleAt(i).stub();
      bool complex = !text.isEmpty();
      f.wrInt(74, complex ? (2 | (l->shapeIsUcsOrientedAt(i) ? 1 : 0)) : 0);
      if (complex) {
        f.wrInt(75, 0);
        f.wrHandle(340, live(style) ? style : db.header.textstyle);
        f.wrDouble(46, l->shapeScaleAt(i));
        f.wrAngle(50, l->shapeRotationAt(i));
        f.wrDouble(44, l->shapeOffsetAt(i).x);
        f.wrDouble(45, l->shapeOffsetAt(i).y);
        f.wrString(9, text);
      }
    }
  } else if (auto* l = OdDbLayerTableRecord::cast(&r)) {
    int flags = keep | (l->isFrozen() ? 1 : 0) | (l->VPDFLT() ? 2 : 0) | (l->isLocked() ? 4 : 0);
    recordHead(f, r, "LAYER", "AcDbLayerTableRecord", flags);
    f.wrInt(62, l->isOff() ? -l->colorIndex() : l->colorIndex());
    OdDbStub* linetype = OdDbInternals::layerLinetype(const_cast<OdDbLayerTableRecord*>(l));
    f.wrName(6, live(linetype) ? linetype : db.continuous, standard::kContinuous);
    if (!l->isPlottable()) f.wrInt(290, 0);
    f.wrInt(370, -3);
  } else if (auto* s = OdDbTextStyleTableRecord::cast(&r)) {
    recordHead(f, r, "STYLE", "AcDbTextStyleTableRecord",
               keep | (s->isShapeFile() ? 1 : 0) | (s->isVertical() ? 4 : 0));
    f.wrDouble(40, s->textSize());
    f.wrDouble(41, s->xScale());
    f.wrAngle(50, s->obliquingAngle());
    f.wrInt(71, s->flagBits());
    f.wrDouble(42, s->priorSize());
    f.wrString(3, s->fileName());
    f.wrString(4, s->bigFontFileName());
  } else if (auto* v = OdDbViewTableRecord::cast(&r)) {
    recordHead(f, r, "VIEW", "AcDbViewTableRecord", keep | (v->isPaperspaceView() ? 1 : 0));
    f.wrDouble(40, v->height());
    f.wrPoint2d(10, v->centerPoint());
    f.wrDouble(41, v->width());
    f.wrPoint(11, v->viewDirection());
    f.wrPoint(12, v->target());
    f.wrDouble(42, v->lensLength());
    f.wrDouble(43, v->frontClipDistance());
    f.wrDouble(44, v->backClipDistance());
    f.wrAngle(50, v->viewTwist());
    f.wrInt(71, viewMode(*v));
    f.wrInt(281, 0);
    f.wrInt(72, 0);
  } else if (auto* u = OdDbUCSTableRecord::cast(&r)) {
    recordHead(f, r, "UCS", "AcDbUCSTableRecord", keep);
    f.wrPoint(10, u->origin());
    f.wrPoint(11, u->xAxis());
    f.wrPoint(12, u->yAxis());
    f.wrInt(79, 0);
    f.wrDouble(146, 0);
  } else if (OdDbRegAppTableRecord::cast(&r)) {
    recordHead(f, r, "APPID", "AcDbRegAppTableRecord", keep);
  } else if (auto* d = OdDbDimStyleTableRecord::cast(&r)) {
    recordHead(f, r, "DIMSTYLE", "AcDbDimStyleTableRecord", keep);
    const OdDbDimVars& v = d->dimVars();
#define STYLE_DIMVAR(Suffix, name, type, code, value) writeStyleDimVar(f, code, v.name, db);
    ODDB_DIMVARS(STYLE_DIMVAR)
#undef STYLE_DIMVAR
  } else if (auto* b = OdDbBlockTableRecord::cast(&r)) {
    recordHead(f, r, "BLOCK_RECORD", "AcDbBlockTableRecord", keep);
    OdDbStub* layout = OdDbInternals::blockLayout(b);
    f.wrHandle(340, live(layout) && f.objectsWritten.count(layout) ? layout->handle : 0);
  }
}

void writeTable(F& f, OdDbStub* table, const char* name, OdDbDatabaseImpl& db) {
  f.wrRaw(0, "TABLE");
  f.wrRaw(2, name);
  f.wrHandle(5, table);
  f.wrHandle(330, static_cast<OdUInt64>(0));
  f.wrSubclass("AcDbSymbolTable");
  f.wrInt(70, liveCount(table));
  if (std::strcmp(name, "DIMSTYLE") == 0) f.wrSubclass("AcDbDimStyleTable");
  for (OdDbStub* r : OdDbInternals::tableRecords(tableOf(table)))
    if (live(r)) writeRecord(f, *static_cast<OdDbSymbolTableRecord*>(r->object), db);
  f.wrRaw(0, "ENDTAB");
}

void writeEntityWithChildren(F& f, const OdDbEntity& e) {
  DxfKind kind = dxfKindOf(e);
  if (kind == DxfKind::kNone) return;
  // A reference whose block is gone would name what the file does not hold.
  if (kind == DxfKind::kInsert &&
      !live(OdDbInternals::blockOf(static_cast<OdDbBlockReference*>(const_cast<OdDbEntity*>(&e)))))
    return;
  dxfWriteObject(f, e, kind);
  if (kind != DxfKind::kInsert && kind != DxfKind::kComplex) return;
  if (const OdDbSubObjects* subs = OdDbInternals::subObjects(&e)) {
    bool any = false;
    for (OdDbStub* s : subs->stubs)
      if (live(s)) {
        dxfWriteObject(f, *s->object);
        any = true;
      }
    if ((any || OdDbComplexEntity::cast(&e)) && live(subs->seqEnd)) dxfWriteObject(f, *subs->seqEnd->object);
  }
}

void writeBlockEntities(F& f, const OdDbBlockTableRecord& block) {
  for (OdDbStub* s : OdDbInternals::blockEntities(&block))
    if (live(s)) writeEntityWithChildren(f, *static_cast<OdDbEntity*>(s->object));
}

void writeBlocks(F& f, OdDbDatabaseImpl& db) {
  f.wrRaw(0, "SECTION");
  f.wrRaw(2, "BLOCKS");
  for (OdDbStub* s : OdDbInternals::tableRecords(tableOf(db.blockTable))) {
    if (!live(s)) continue;
    auto* b = static_cast<OdDbBlockTableRecord*>(s->object);
    bool paper = s == db.paperSpace;
    const OdString& name = OdDbInternals::recordName(b);
    f.wrRaw(0, "BLOCK");
    f.wrHandle(5, OdDbInternals::blockBegin(b));
    f.wrHandle(330, s);
    f.wrSubclass("AcDbEntity");
    if (paper) f.wrInt(67, 1);
    f.wrName(8, db.layer0, standard::kLayer0);
    f.wrSubclass("AcDbBlockBegin");
    f.wrString(2, name);
    int flags = (b->isAnonymous() ? 1 : 0) | (b->hasAttributeDefinitions() ? 2 : 0) |
                (OdDbInternals::blockFlags(b) & (4 | 8 | 16 | 32));
    f.wrInt(70, flags);
    f.wrPoint(10, b->origin());
    f.wrString(3, name);
    f.wrString(1, b->pathName());
    if (s != db.modelSpace && !paper) writeBlockEntities(f, *b);
    f.wrRaw(0, "ENDBLK");
    f.wrHandle(5, OdDbInternals::blockEnd(b));
    f.wrHandle(330, s);
    f.wrSubclass("AcDbEntity");
    if (paper) f.wrInt(67, 1);
    f.wrName(8, db.layer0, standard::kLayer0);
    f.wrSubclass("AcDbBlockEnd");
  }
  f.wrRaw(0, "ENDSEC");
}

/// Visits the object and, for a dictionary, the live entries it owns, in
/// the order they are written.
template <class Visit>
void forObjectTree(const OdDbObject& o, const Visit& visit) {
  visit(o);
  if (auto* d = OdDbDictionary::cast(&o)) {
    for (const auto& entry : OdDbInternals::dictEntries(d)) {
      if (!live(entry.stub) || OdDbInternals::owner(entry.stub->object) != OdDbInternals::stub(d)) continue;
      forObjectTree(*entry.stub->object, visit);
    }
  }
}

}  // namespace

OdResult writeDxf(OdDbDatabaseImpl& db, std::FILE* file) {
  // Dimensions changed since their block was built are laid out again.
  for (OdDbStub* s : OdDbInternals::tableRecords(tableOf(db.blockTable))) {
    if (!live(s)) continue;
    for (OdDbStub* e : OdDbInternals::blockEntities(static_cast<OdDbBlockTableRecord*>(s->object)))
      if (live(e))
        if (auto* d = OdDbDimension::cast(e->object); d && OdDbInternals::dimBlockStale(d))
          OdDbInternals::buildDimBlock(d);
  }
  F f(file);
  f.database = &db;
  forObjectTree(*db.namedObjects->object,
                [&](const OdDbObject& o) { f.objectsWritten.insert(OdDbInternals::stub(&o)); });
  writeHeader(f, db);
  f.wrRaw(0, "SECTION");
  f.wrRaw(2, "CLASSES");
  f.wrRaw(0, "ENDSEC");
  f.wrRaw(0, "SECTION");
  f.wrRaw(2, "TABLES");
  writeTable(f, db.viewportTable, "VPORT", db);
  writeTable(f, db.linetypeTable, "LTYPE", db);
  writeTable(f, db.layerTable, "LAYER", db);
  writeTable(f, db.textStyleTable, "STYLE", db);
  writeTable(f, db.viewTable, "VIEW", db);
  writeTable(f, db.ucsTable, "UCS", db);
  writeTable(f, db.regAppTable, "APPID", db);
  writeTable(f, db.dimStyleTable, "DIMSTYLE", db);
  writeTable(f, db.blockTable, "BLOCK_RECORD", db);
  f.wrRaw(0, "ENDSEC");
  writeBlocks(f, db);
  f.wrRaw(0, "SECTION");
  f.wrRaw(2, "ENTITIES");
  writeBlockEntities(f, *static_cast<OdDbBlockTableRecord*>(db.modelSpace->object));
  writeBlockEntities(f, *static_cast<OdDbBlockTableRecord*>(db.paperSpace->object));
  f.wrRaw(0, "ENDSEC");
  f.wrRaw(0, "SECTION");
  f.wrRaw(2, "OBJECTS");
  forObjectTree(*db.namedObjects->object, [&](const OdDbObject& o) { dxfWriteObject(f, o); });
  f.wrRaw(0, "ENDSEC");
  f.wrRaw(0, "EOF");
  return f.finish() ? eOk : eFileWriteError;
}

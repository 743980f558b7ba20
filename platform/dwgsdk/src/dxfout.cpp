// Writing the objects of a drawing as DXF R2000 records.
#include <cstring>

#include "dxffiler.h"
#include "geometry.h"
#include "standard.h"
#include "xdata.h"

using F = OdDbDxfFiler;

DxfKind dxfKindOf(const OdDbObject& o) {
  // Exact classes first: a pointer comparison each, lines at the front.
  static const std::pair<const OdRxClass*, DxfKind> exact[] = {
      {OdDbLine::desc(), DxfKind::kLine},
      {OdDbText::desc(), DxfKind::kText},
      {OdDbCircle::desc(), DxfKind::kCircle},
      {OdDbArc::desc(), DxfKind::kArc},
      {OdDbPolyline::desc(), DxfKind::kPolyline},
      {OdDbPoint::desc(), DxfKind::kPoint},
      {OdDbMText::desc(), DxfKind::kMText},
      {OdDbBlockReference::desc(), DxfKind::kInsert},
      {OdDbAttribute::desc(), DxfKind::kAttrib},
      {OdDbAttributeDefinition::desc(), DxfKind::kAttDef},
      {OdDb2dVertex::desc(), DxfKind::kVertex},
      {OdDb3dPolylineVertex::desc(), DxfKind::kVertex},
      {OdDbPolyFaceMeshVertex::desc(), DxfKind::kVertex},
      {OdDbFaceRecord::desc(), DxfKind::kVertex},
      {OdDbPolygonMeshVertex::desc(), DxfKind::kVertex},
      {OdDb2dPolyline::desc(), DxfKind::kComplex},
      {OdDb3dPolyline::desc(), DxfKind::kComplex},
      {OdDbPolyFaceMesh::desc(), DxfKind::kComplex},
      {OdDbPolygonMesh::desc(), DxfKind::kComplex},
      {OdDbSequenceEnd::desc(), DxfKind::kSeqEnd},
      {OdDbRotatedDimension::desc(), DxfKind::kDimension},
      {OdDbViewport::desc(), DxfKind::kViewport},
      {OdDbDictionary::desc(), DxfKind::kDictionary},
      {OdDbXrecord::desc(), DxfKind::kXrecord},
      {OdDbLayout::desc(), DxfKind::kLayout},
      {OdDbOpaqueEntity::desc(), DxfKind::kOpaqueEntity},
      {OdDbOpaqueObject::desc(), DxfKind::kOpaqueObject},
  };
  const OdRxClass* cls = o.isA();
  for (auto& [c, kind] : exact)
    if (c == cls) return kind;
  // A class derived from one of ours writes as its base.
  for (auto& [c, kind] : exact)
    if (cls->isDerivedFrom(c)) return kind;
  return DxfKind::kNone;
}

namespace {

const OdDbStub* liveOr(const OdDbStub* s, const OdDbStub* fallback) {
  return s && s->object && !s->object->isErased() ? s : fallback;
}

void writeXData(F& f, const OdDbObject& o) {
  const auto* apps = OdDbInternals::xdata(&o);
  if (!apps) return;
  for (const OdDbXDataApp& app : *apps) {
    f.wrString(1001, app.name);
    for (const OdDbDataItem& item : app.items) {
      switch (odutResBufKind(item.code)) {
        case OdResBufKind::kText:
          f.wrString(item.code, item.text);
          break;
        case OdResBufKind::kBinary: {
          std::string hex;
          static const char kHex[] = "0123456789ABCDEF";
          for (unsigned char b : item.bytes) {
            hex += kHex[b >> 4];
            hex += kHex[b & 15];
          }
          f.wrRaw(item.code, hex);
          break;
        }
        case OdResBufKind::kPoint:
          f.wrPoint(item.code, OdGePoint3d(item.v[0], item.v[1], item.v[2]));
          break;
        case OdResBufKind::kReal:
          f.wrDouble(item.code, item.v[0]);
          break;
        default:
          f.wrInt(item.code, item.i);
          break;
      }
    }
  }
}

void writeEntityHeader(F& f, const OdDbEntity& e, bool paperSpace) {
  OdDbDatabaseImpl* db = f.database;
  f.wrSubclass("AcDbEntity");
  if (paperSpace) f.wrInt(67, 1);
  f.wrName(8, liveOr(OdDbInternals::layer(&e), db->layer0), standard::kLayer0);
  const OdDbStub* linetype = liveOr(OdDbInternals::linetype(&e), db->byLayer);
  if (linetype != db->byLayer) f.wrName(6, linetype, standard::kByLayer);
  if (e.colorIndex() != 256) f.wrInt(62, e.colorIndex());
  if (e.linetypeScale() != 1.0) f.wrDouble(48, e.linetypeScale());
  if (e.visibility() == OdDb::kInvisible) f.wrInt(60, 1);
}

bool inPaperSpace(const F& f, const OdDbObject& o) {
  const OdDbStub* owner = OdDbInternals::owner(&o);
  if (owner == f.database->modelSpace) return false;
  if (owner == f.database->paperSpace) return true;
  // Sub-entities follow their parent.
  while (owner && owner->object && !OdDbBlockTableRecord::cast(owner->object))
    owner = OdDbInternals::owner(owner->object);
  return owner && owner == f.database->paperSpace;
}

void writeTextStyle(F& f, const OdDbStub* style) {
  f.wrName(7, liveOr(style, f.database->header.textstyle), standard::kStandard);
}

void writeTextFirstPart(F& f, const OdDbText& t) {
  f.wrSubclass("AcDbText");
  if (t.thickness() != 0) f.wrDouble(39, t.thickness());
  f.wrPoint(10, toEcs(t.normal(), t.position()));
  f.wrDouble(40, t.height());
  f.wrString(1, t.textString());
  if (t.rotation() != 0) f.wrAngle(50, t.rotation());
  if (t.widthFactor() != 1) f.wrDouble(41, t.widthFactor());
  if (t.oblique() != 0) f.wrAngle(51, t.oblique());
  writeTextStyle(f, OdDbInternals::textStyle(const_cast<OdDbText*>(&t)));
  int generation = (t.isMirroredInX() ? 2 : 0) | (t.isMirroredInY() ? 4 : 0);
  if (generation) f.wrInt(71, generation);
  if (t.horizontalMode() != OdDb::kTextLeft) f.wrInt(72, t.horizontalMode());
  if (!t.isDefaultAlignment()) f.wrPoint(11, toEcs(t.normal(), t.alignmentPoint()));
  f.wrNormal(210, t.normal());
}

void writeLine(F& f, const OdDbLine& l) {
  f.wrSubclass("AcDbLine");
  if (l.thickness() != 0) f.wrDouble(39, l.thickness());
  f.wrPoint(10, l.startPoint());
  f.wrPoint(11, l.endPoint());
  f.wrNormal(210, l.normal());
}

void writeCircleBody(F& f, const OdGePoint3d& center, double radius, const OdGeVector3d& normal, double thickness) {
  f.wrSubclass("AcDbCircle");
  if (thickness != 0) f.wrDouble(39, thickness);
  f.wrPoint(10, toEcs(normal, center));
  f.wrDouble(40, radius);
  f.wrNormal(210, normal);
}

void writePolyline(F& f, const OdDbPolyline& p) {
  f.wrSubclass("AcDbPolyline");
  f.wrInt(90, p.numVerts());
  f.wrInt(70, p.isClosed() ? 1 : 0);
  double constant = 0;
  bool uniform = p.numVerts() > 0 && p.getConstantWidth(constant) == eOk;
  if (uniform) {
    double s, e;
    p.getWidthsAt(0, s, e);
    uniform = s == constant && e == constant;  // every vertex carries it (no default widths)
  }
  if (uniform && constant != 0) f.wrDouble(43, constant);
  if (p.elevation() != 0) f.wrDouble(38, p.elevation());
  if (p.thickness() != 0) f.wrDouble(39, p.thickness());
  for (unsigned i = 0; i < p.numVerts(); ++i) {
    OdGePoint2d pt;
    p.getPointAt(i, pt);
    f.wrDouble(10, pt.x);
    f.wrDouble(20, pt.y);
    if (!(uniform && constant != 0)) {
      double s, e;
      p.getWidthsAt(i, s, e);
      if (s >= 0) f.wrDouble(40, s);
      if (e >= 0) f.wrDouble(41, e);
    }
    if (double b = p.getBulgeAt(i); b != 0) f.wrDouble(42, b);
  }
  f.wrNormal(210, p.normal());
}

int vertexFlags(const OdDbEntity& v) {
  if (auto* x = OdDb2dVertex::cast(&v)) {
    switch (x->vertexType()) {
      case OdDb::k2dSplineFitVertex:
        return 8;
      case OdDb::k2dSplineCtlVertex:
        return 16;
      case OdDb::k2dCurveFitVertex:
        return 1;
      default:
        return 0;
    }
  }
  if (auto* x = OdDb3dPolylineVertex::cast(&v))
    return 32 | (x->vertexType() == OdDb::k3dControlVertex ? 16 : x->vertexType() == OdDb::k3dFitVertex ? 8 : 0);
  if (OdDbPolyFaceMeshVertex::cast(&v)) return 128 | 64;
  if (OdDbFaceRecord::cast(&v)) return 128;
  if (auto* x = OdDbPolygonMeshVertex::cast(&v))
    return 64 | (x->vertexType() == OdDb::k3dControlVertex ? 16 : x->vertexType() == OdDb::k3dFitVertex ? 8 : 0);
  return 0;
}

void writeVertex(F& f, const OdDbEntity& v, const OdDbComplexEntity& parent) {
  f.wrSubclass("AcDbVertex");
  if (auto* x = OdDb2dVertex::cast(&v)) {
    f.wrSubclass("AcDb2dVertex");
    OdGePoint3d p = x->position();
    f.wrPoint(10, OdGePoint3d(p.x, p.y, static_cast<const OdDb2dPolyline&>(parent).elevation()));
    if (x->startWidth() != 0) f.wrDouble(40, x->startWidth());
    if (x->endWidth() != 0) f.wrDouble(41, x->endWidth());
    if (x->bulge() != 0) f.wrDouble(42, x->bulge());
  } else if (auto* x = OdDb3dPolylineVertex::cast(&v)) {
    f.wrSubclass("AcDb3dPolylineVertex");
    f.wrPoint(10, x->position());
  } else if (auto* x = OdDbPolyFaceMeshVertex::cast(&v)) {
    f.wrSubclass("AcDbPolyFaceMeshVertex");
    f.wrPoint(10, x->position());
  } else if (auto* x = OdDbFaceRecord::cast(&v)) {
    f.wrSubclass("AcDbFaceRecord");
    f.wrPoint(10, OdGePoint3d());
    f.wrInt(70, vertexFlags(v));
    for (OdUInt16 i = 0; i < 4; ++i) {
      OdInt16 index = 0;
      x->getVertexAt(i, index);
      if (index != 0) f.wrInt(71 + i, index);
    }
    return;
  } else if (auto* x = OdDbPolygonMeshVertex::cast(&v)) {
    f.wrSubclass("AcDbPolygonMeshVertex");
    f.wrPoint(10, x->position());
  }
  f.wrInt(70, vertexFlags(v));
}

void writeComplexHead(F& f, const OdDbComplexEntity& c) {
  if (auto* p = OdDb2dPolyline::cast(&c)) {
    f.wrSubclass("AcDb2dPolyline");
    f.wrInt(66, 1);
    f.wrPoint(10, OdGePoint3d(0, 0, p->elevation()));
    if (p->thickness() != 0) f.wrDouble(39, p->thickness());
    int flags = (p->isClosed() ? 1 : 0) | (p->isLinetypeGenerationOn() ? 128 : 0);
    int curves = 0;
    switch (p->polyType()) {
      case OdDb::k2dFitCurvePoly:
        flags |= 2;
        break;
      case OdDb::k2dQuadSplinePoly:
        flags |= 4;
        curves = 5;
        break;
      case OdDb::k2dCubicSplinePoly:
        flags |= 4;
        curves = 6;
        break;
      default:
        break;
    }
    f.wrInt(70, flags);
    if (p->defaultStartWidth() != 0) f.wrDouble(40, p->defaultStartWidth());
    if (p->defaultEndWidth() != 0) f.wrDouble(41, p->defaultEndWidth());
    if (curves) f.wrInt(75, curves);
    f.wrNormal(210, p->normal());
  } else if (auto* p = OdDb3dPolyline::cast(&c)) {
    f.wrSubclass("AcDb3dPolyline");
    f.wrInt(66, 1);
    f.wrPoint(10, OdGePoint3d());
    int flags = 8 | (p->isClosed() ? 1 : 0);
    int curves = p->polyType() == OdDb::k3dQuadSplinePoly ? 5 : p->polyType() == OdDb::k3dCubicSplinePoly ? 6 : 0;
    if (curves) flags |= 4;
    f.wrInt(70, flags);
    if (curves) f.wrInt(75, curves);
  } else if (auto* p = OdDbPolyFaceMesh::cast(&c)) {
    f.wrSubclass("AcDbPolyFaceMesh");
    f.wrInt(66, 1);
    f.wrPoint(10, OdGePoint3d());
    f.wrInt(70, 64);
    f.wrInt(71, p->numVertices());
    f.wrInt(72, p->numFaces());
  } else if (auto* p = OdDbPolygonMesh::cast(&c)) {
    f.wrSubclass("AcDbPolygonMesh");
    f.wrInt(66, 1);
    f.wrPoint(10, OdGePoint3d());
    int flags =
        16 | (p->isMClosed() ? 1 : 0) | (p->isNClosed() ? 32 : 0) | (p->polyMeshType() != OdDb::kSimpleMesh ? 4 : 0);
    f.wrInt(70, flags);
    f.wrInt(71, p->mSize());
    f.wrInt(72, p->nSize());
    f.wrInt(73, p->mSurfaceDensity());
    f.wrInt(74, p->nSurfaceDensity());
    f.wrInt(75, p->polyMeshType());
  }
}

void writeAttributeTail(F& f, const OdDbText& t, const char* subclass, const OdString& tag, int flags, int fieldLength,
                        const OdString* prompt) {
  f.wrSubclass(subclass);
  if (prompt) f.wrString(3, *prompt);
  f.wrString(2, tag);
  f.wrInt(70, flags);
  if (fieldLength) f.wrInt(73, fieldLength);
  if (t.verticalMode() != OdDb::kTextBase) f.wrInt(74, t.verticalMode());
}

void writeMText(F& f, const OdDbMText& m) {
  f.wrSubclass("AcDbMText");
  f.wrPoint(10, m.location());
  f.wrDouble(40, m.textHeight());
  f.wrDouble(41, m.width());
  f.wrInt(71, m.attachment());
  f.wrInt(72, 1);
  // Long contents go in pieces of 250 characters, the last one under code 1.
  OdString contents = m.contents();
  std::u16string_view text = contents.view();
  while (text.size() > 250) {
    std::size_t cut = 250;
    if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;  // keep a surrogate pair together
    f.wrString(3, text.substr(0, cut));
    text.remove_prefix(cut);
  }
  f.wrString(1, text);
  writeTextStyle(f, OdDbInternals::textStyle(const_cast<OdDbMText*>(&m)));
  f.wrNormal(210, m.normal());
  f.wrPoint(11, m.direction());
}

void writeDimension(F& f, const OdDbRotatedDimension& d) {
  f.wrSubclass("AcDbDimension");
  const OdDbStub* block = OdDbInternals::dimBlock(const_cast<OdDbRotatedDimension*>(&d));
  if (block && block->object) f.wrName(2, block, u"");
  f.wrPoint(10, d.dimLinePoint());
  f.wrPoint(11, toEcs(d.normal(), d.textPosition()));
  f.wrInt(70, 32 | (d.isUsingDefaultTextPosition() ? 0 : 128));
  if (!d.dimensionText().isEmpty()) f.wrString(1, d.dimensionText());
  if (d.textRotation() != 0) f.wrAngle(53, d.textRotation());
  f.wrName(3, liveOr(OdDbInternals::dimStyle(const_cast<OdDbRotatedDimension*>(&d)), f.database->header.dimstyle),
           standard::kStandard);
  f.wrNormal(210, d.normal());
  f.wrSubclass("AcDbAlignedDimension");
  f.wrPoint(13, d.xLine1Point());
  f.wrPoint(14, d.xLine2Point());
  f.wrAngle(50, d.rotation());
  if (d.oblique() != 0) f.wrAngle(52, d.oblique());
  f.wrSubclass("AcDbRotatedDimension");
}

void writeViewport(F& f, const OdDbViewport& v) {
  f.wrSubclass("AcDbViewport");
  f.wrPoint(10, v.centerPoint());
  f.wrDouble(40, v.width());
  f.wrDouble(41, v.height());
  f.wrInt(68, v.isOn() ? 1 : 0);
  f.wrInt(69, v.number());
  f.wrPoint2d(12, v.viewCenter());
  f.wrPoint2d(13, OdGePoint2d());
  f.wrPoint2d(14, OdGePoint2d(10, 10));
  f.wrPoint2d(15, OdGePoint2d(10, 10));
  f.wrPoint(16, v.viewDirection());
  f.wrPoint(17, v.viewTarget());
  f.wrDouble(42, v.lensLength());
  f.wrDouble(43, 0);
  f.wrDouble(44, 0);
  f.wrDouble(45, v.viewHeight());
  f.wrDouble(50, 0);
  f.wrAngle(51, v.twistAngle());
  f.wrInt(72, 1000);
  f.wrInt(90, v.isOn() ? 32864 : 163936);
  f.wrInt(281, 0);
  f.wrInt(71, 1);
  f.wrInt(74, 0);
  f.wrPoint(110, OdGePoint3d());
  f.wrPoint(111, OdGeVector3d::kXAxis);
  f.wrPoint(112, OdGeVector3d::kYAxis);
  f.wrInt(79, 0);
  f.wrDouble(146, 0);
}

void writeEntity(F& f, const OdDbEntity& e, DxfKind kind) {
  bool paper = inPaperSpace(f, e);
  writeEntityHeader(f, e, paper);
  if (kind == DxfKind::kLine) {
    writeLine(f, static_cast<const OdDbLine&>(e));
  } else if (kind == DxfKind::kText) {
    auto* x = static_cast<const OdDbText*>(&e);
    writeTextFirstPart(f, *x);
    f.wrSubclass("AcDbText");
    if (x->verticalMode() != OdDb::kTextBase) f.wrInt(73, x->verticalMode());
  } else if (kind == DxfKind::kCircle) {
    auto* x = static_cast<const OdDbCircle*>(&e);
    writeCircleBody(f, x->center(), x->radius(), x->normal(), x->thickness());
  } else if (auto* x = OdDbArc::cast(&e)) {
    writeCircleBody(f, x->center(), x->radius(), x->normal(), x->thickness());
    f.wrSubclass("AcDbArc");
    f.wrAngle(50, x->startAngle());
    f.wrAngle(51, x->endAngle());
  } else if (auto* x = OdDbCircle::cast(&e)) {
    writeCircleBody(f, x->center(), x->radius(), x->normal(), x->thickness());
  } else if (auto* x = OdDbPoint::cast(&e)) {
    f.wrSubclass("AcDbPoint");
    f.wrPoint(10, x->position());
    if (x->thickness() != 0) f.wrDouble(39, x->thickness());
    f.wrNormal(210, x->normal());
    if (x->ecsRotation() != 0) f.wrAngle(50, x->ecsRotation());
  } else if (auto* x = OdDbAttributeDefinition::cast(&e)) {
    writeTextFirstPart(f, *x);
    OdString prompt = x->prompt();
    int flags =
        (x->isInvisible() ? 1 : 0) | (x->isConstant() ? 2 : 0) | (x->isVerifiable() ? 4 : 0) | (x->isPreset() ? 8 : 0);
    writeAttributeTail(f, *x, "AcDbAttributeDefinition", x->tag(), flags, x->fieldLength(), &prompt);
  } else if (auto* x = OdDbAttribute::cast(&e)) {
    writeTextFirstPart(f, *x);
    int flags =
        (x->isInvisible() ? 1 : 0) | (x->isConstant() ? 2 : 0) | (x->isVerifiable() ? 4 : 0) | (x->isPreset() ? 8 : 0);
    writeAttributeTail(f, *x, "AcDbAttribute", x->tag(), flags, x->fieldLength(), nullptr);
  } else if (auto* x = OdDbText::cast(&e)) {
    writeTextFirstPart(f, *x);
    f.wrSubclass("AcDbText");
    if (x->verticalMode() != OdDb::kTextBase) f.wrInt(73, x->verticalMode());
  } else if (auto* x = OdDbMText::cast(&e)) {
    writeMText(f, *x);
  } else if (auto* x = OdDbPolyline::cast(&e)) {
    writePolyline(f, *x);
  } else if (auto* x = OdDbComplexEntity::cast(&e)) {
    writeComplexHead(f, *x);
  } else if (auto* x = OdDbVertex::cast(&e)) {
    const OdDbStub* owner = OdDbInternals::owner(x);
    writeVertex(f, *x, *static_cast<const OdDbComplexEntity*>(owner->object));
  } else if (auto* x = OdDbBlockReference::cast(&e)) {
    f.wrSubclass("AcDbBlockReference");
    const OdDbSubObjects* attributes = OdDbInternals::subObjects(x);
    bool hasAttributes = false;
    if (attributes) attributes->forEach([&](OdDbEntity& a) { hasAttributes = hasAttributes || !a.isErased(); });
    if (hasAttributes) f.wrInt(66, 1);
    f.wrName(2, OdDbInternals::blockOf(const_cast<OdDbBlockReference*>(x)), u"");
    f.wrPoint(10, toEcs(x->normal(), x->position()));
    OdGeScale3d s = x->scaleFactors();
    if (s.sx != 1) f.wrDouble(41, s.sx);
    if (s.sy != 1) f.wrDouble(42, s.sy);
    if (s.sz != 1) f.wrDouble(43, s.sz);
    if (x->rotation() != 0) f.wrAngle(50, x->rotation());
    f.wrNormal(210, x->normal());
  } else if (auto* x = OdDbRotatedDimension::cast(&e)) {
    writeDimension(f, *x);
  } else if (auto* x = OdDbViewport::cast(&e)) {
    writeViewport(f, *x);
  }
}

}  // namespace

const char* dxfRecordName(const OdDbObject& o) { return dxfRecordName(o, dxfKindOf(o)); }

const char* dxfRecordName(const OdDbObject& o, DxfKind kind) {
  switch (kind) {
    case DxfKind::kLine:
      return "LINE";
    case DxfKind::kArc:
      return "ARC";
    case DxfKind::kCircle:
      return "CIRCLE";
    case DxfKind::kPoint:
      return "POINT";
    case DxfKind::kAttDef:
      return "ATTDEF";
    case DxfKind::kAttrib:
      return "ATTRIB";
    case DxfKind::kText:
      return "TEXT";
    case DxfKind::kMText:
      return "MTEXT";
    case DxfKind::kPolyline:
      return "LWPOLYLINE";
    case DxfKind::kComplex:
      return "POLYLINE";
    case DxfKind::kVertex:
      return "VERTEX";
    case DxfKind::kInsert:
      return "INSERT";
    case DxfKind::kDimension:
      return "DIMENSION";
    case DxfKind::kViewport:
      return "VIEWPORT";
    case DxfKind::kSeqEnd:
      return "SEQEND";
    case DxfKind::kXrecord:
      return "XRECORD";
    case DxfKind::kDictionary:
      return "DICTIONARY";
    case DxfKind::kLayout:
      return "LAYOUT";
    case DxfKind::kOpaqueEntity:
      return static_cast<const OdDbOpaqueEntity&>(o).type.c_str();
    case DxfKind::kOpaqueObject:
      return static_cast<const OdDbOpaqueObject&>(o).type.c_str();
    case DxfKind::kNone:
      return nullptr;
  }
  return nullptr;
}

static void writeXrecord(F& f, const OdDbXrecord& x) {
  f.wrSubclass("AcDbXrecord");
  f.wrInt(280, 1);
  for (const OdDbDataItem& item : OdDbInternals::xrecordItems(&x)) {
    switch (odutResBufKind(item.code)) {
      case OdResBufKind::kText:
        f.wrString(item.code, item.text);
        break;
      case OdResBufKind::kPoint:
        f.wrPoint(item.code, OdGePoint3d(item.v[0], item.v[1], item.v[2]));
        break;
      case OdResBufKind::kReal:
        f.wrDouble(item.code, item.v[0]);
        break;
      case OdResBufKind::kBinary: {
        std::string hex;
        static const char kHex[] = "0123456789ABCDEF";
        for (unsigned char b : item.bytes) {
          hex += kHex[b >> 4];
          hex += kHex[b & 15];
        }
        f.wrRaw(item.code, hex);
        break;
      }
      default:
        f.wrInt(item.code, item.i);
        break;
    }
  }
}

static void writeLayout(F& f, const OdDbLayout& l) {
  f.wrSubclass("AcDbPlotSettings");
  f.wrRaw(1, "");
  f.wrRaw(2, "none_device");
  f.wrRaw(4, "ISO_A3_(420.00_x_297.00_MM)");
  f.wrRaw(6, "");
  for (int code : {40, 41, 42, 43}) f.wrDouble(code, 7.5);
  f.wrDouble(44, 420);
  f.wrDouble(45, 297);
  for (int code : {46, 47, 48, 49, 140, 141}) f.wrDouble(code, 0);
  f.wrDouble(142, 1);
  f.wrDouble(143, 1);
  f.wrInt(70, l.tabOrder == 0 ? 1712 : 688);
  f.wrInt(72, 1);
  f.wrInt(73, 0);
  f.wrInt(74, 5);
  f.wrRaw(7, "");
  f.wrInt(75, 16);
  f.wrDouble(147, 1);
  f.wrDouble(148, 0);
  f.wrDouble(149, 0);
  f.wrSubclass("AcDbLayout");
  f.wrString(1, l.name);
  f.wrInt(70, 1);
  f.wrInt(71, l.tabOrder);
  f.wrPoint2d(10, OdGePoint2d());
  f.wrPoint2d(11, OdGePoint2d(420, 297));
  f.wrPoint(12, OdGePoint3d());
  f.wrPoint(14, OdGePoint3d(1e20, 1e20, 1e20));
  f.wrPoint(15, OdGePoint3d(-1e20, -1e20, -1e20));
  f.wrDouble(146, 0);
  f.wrPoint(13, OdGePoint3d());
  f.wrPoint(16, OdGeVector3d::kXAxis);
  f.wrPoint(17, OdGeVector3d::kYAxis);
  f.wrInt(76, 0);
  f.wrHandle(330, l.block);
}

static void writeRawGroups(F& f, const std::vector<OdDbRawGroup>& groups) {
  for (const OdDbRawGroup& g : groups) {
    if (odutResBufKind(g.code) == OdResBufKind::kText && g.code != 5 && !(g.code >= 320 && g.code <= 369) &&
        !(g.code >= 390 && g.code <= 399) && g.code != 105 && g.code != 1005)
      f.wrString(g.code, g.text);
    else
      f.wrRaw(g.code, g.raw);
  }
}

void dxfWriteObject(F& f, const OdDbObject& o) { dxfWriteObject(f, o, dxfKindOf(o)); }

void dxfWriteObject(F& f, const OdDbObject& o, DxfKind kind) {
  const char* name = dxfRecordName(o, kind);
  if (!name) return;
  f.wrRaw(0, name);
  f.wrHandle(5, OdDbInternals::stub(&o));
  f.wrHandle(330, OdDbInternals::owner(&o));
  if (kind == DxfKind::kOpaqueEntity) {
    writeRawGroups(f, static_cast<const OdDbOpaqueEntity&>(o).groups);
    return;
  }
  if (kind == DxfKind::kOpaqueObject) {
    writeRawGroups(f, static_cast<const OdDbOpaqueObject&>(o).groups);
    return;
  }
  if (kind == DxfKind::kSeqEnd) {
    writeEntityHeader(f, static_cast<const OdDbEntity&>(o), inPaperSpace(f, o));
  } else if (kind != DxfKind::kDictionary && kind != DxfKind::kXrecord && kind != DxfKind::kLayout) {
    writeEntity(f, static_cast<const OdDbEntity&>(o), kind);
  } else if (auto* d = OdDbDictionary::cast(&o)) {
    f.wrSubclass("AcDbDictionary");
    f.wrInt(281, OdDbInternals::dictCloning(const_cast<OdDbDictionary*>(d)));
    for (const auto& entry : OdDbInternals::dictEntries(d)) {
      if (!entry.stub || !entry.stub->object || entry.stub->object->isErased() || !dxfRecordName(*entry.stub->object))
        continue;
      f.wrString(3, entry.key);
      f.wrHandle(350, entry.stub);
    }
  } else if (auto* x = OdDbXrecord::cast(&o)) {
    writeXrecord(f, *x);
  } else if (auto* l = OdDbLayout::cast(&o)) {
    writeLayout(f, *l);
  }
  writeXData(f, o);
}

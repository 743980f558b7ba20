// Lightweight polylines, 2D and 3D polylines, polyface and polygon meshes.
#include <algorithm>

#include "geometry.h"
#include "internals.h"

ODDB_DEFINE_MEMBERS(OdDbPolyline, OdDbCurve, u"AcDbPolyline", u"LWPOLYLINE")
ODDB_DEFINE_MEMBERS(OdDbVertex, OdDbEntity, u"AcDbVertex", nullptr)
ODDB_DEFINE_MEMBERS(OdDb2dVertex, OdDbVertex, u"AcDb2dVertex", u"VERTEX")
ODDB_DEFINE_MEMBERS(OdDb3dPolylineVertex, OdDbVertex, u"AcDb3dPolylineVertex", u"VERTEX")
ODDB_DEFINE_MEMBERS(OdDbPolyFaceMeshVertex, OdDbVertex, u"AcDbPolyFaceMeshVertex", u"VERTEX")
ODDB_DEFINE_MEMBERS(OdDbFaceRecord, OdDbVertex, u"AcDbFaceRecord", u"VERTEX")
ODDB_DEFINE_MEMBERS(OdDbPolygonMeshVertex, OdDbVertex, u"AcDbPolygonMeshVertex", u"VERTEX")
ODDB_DEFINE_MEMBERS(OdDbComplexEntity, OdDbCurve, u"AcDbComplexEntity", nullptr)
ODDB_DEFINE_MEMBERS(OdDb2dPolyline, OdDbComplexEntity, u"AcDb2dPolyline", u"POLYLINE")
ODDB_DEFINE_MEMBERS(OdDb3dPolyline, OdDbComplexEntity, u"AcDb3dPolyline", u"POLYLINE")
ODDB_DEFINE_MEMBERS(OdDbPolyFaceMesh, OdDbComplexEntity, u"AcDbPolyFaceMesh", u"POLYLINE")
ODDB_DEFINE_MEMBERS(OdDbPolygonMesh, OdDbComplexEntity, u"AcDbPolygonMesh", u"POLYLINE")

// Lightweight polylines.
OdDbPolyline::OdDbPolyline() = default;
OdDbPolyline::OdDbPolyline(unsigned int numVerts) { m_vertices.reserve(std::min(numVerts, 1u << 20)); }
OdDbPolyline::~OdDbPolyline() = default;

unsigned int OdDbPolyline::numVerts() const { return m_vertices.size(); }

OdResult OdDbPolyline::addVertexAt(unsigned int index, const OdGePoint2d& point, double bulge, double startWidth,
                                   double endWidth, OdInt32 vertexIdentifier) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(point);
  ODDB_CHECK_FINITE(bulge);
  ODDB_CHECK_FINITE(startWidth);
  ODDB_CHECK_FINITE(endWidth);
  Vertex v{point, bulge, startWidth, endWidth, vertexIdentifier};
  m_vertices.insertAt(std::min(index, m_vertices.size()), v);
  return eOk;
}

OdResult OdDbPolyline::removeVertexAt(unsigned int index) {
  ODDB_ASSERT_WRITE();
  if (index >= m_vertices.size()) return eInvalidIndex;
  m_vertices.removeAt(index);
  return eOk;
}

OdResult OdDbPolyline::getPointAt(unsigned int index, OdGePoint2d& point) const {
  if (index >= m_vertices.size()) return eInvalidIndex;
  point = m_vertices[index].point;
  return eOk;
}

OdResult OdDbPolyline::getPointAt(unsigned int index, OdGePoint3d& point) const {
  if (index >= m_vertices.size()) return eInvalidIndex;
  const OdGePoint2d& p = m_vertices[index].point;
  point = toWcs(m_normal, OdGePoint3d(p.x, p.y, m_elevation));
  return eOk;
}

OdResult OdDbPolyline::setPointAt(unsigned int index, const OdGePoint2d& point) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(point);
  if (index >= m_vertices.size()) return eInvalidIndex;
  m_vertices[index].point = point;
  return eOk;
}

double OdDbPolyline::getBulgeAt(unsigned int index) const {
  return index < m_vertices.size() ? m_vertices[index].bulge : 0.0;
}

OdResult OdDbPolyline::setBulgeAt(unsigned int index, double bulge) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(bulge);
  if (index >= m_vertices.size()) return eInvalidIndex;
  m_vertices[index].bulge = bulge;
  return eOk;
}

OdResult OdDbPolyline::getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const {
  if (index >= m_vertices.size()) return eInvalidIndex;
  startWidth = m_vertices[index].startWidth;
  endWidth = m_vertices[index].endWidth;
  return eOk;
}

OdResult OdDbPolyline::setWidthsAt(unsigned int index, double startWidth, double endWidth) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(startWidth);
  ODDB_CHECK_FINITE(endWidth);
  if (index >= m_vertices.size()) return eInvalidIndex;
  m_vertices[index].startWidth = startWidth;
  m_vertices[index].endWidth = endWidth;
  return eOk;
}

OdDbPolyline::SegType OdDbPolyline::segType(unsigned int index) const {
  unsigned n = m_vertices.size();
  if (n == 0) return kEmpty;
  if (n == 1) return index == 0 ? kPoint : kEmpty;
  unsigned segments = m_closed ? n : n - 1;
  if (index >= segments) return kEmpty;
  const Vertex& a = m_vertices[index];
  const Vertex& b = m_vertices[(index + 1) % n];
  if (a.point.isEqualTo(b.point)) return kCoincident;
  return a.bulge != 0 ? kArc : kLine;
}

bool OdDbPolyline::isClosed() const { return m_closed; }

OdResult OdDbPolyline::setClosed(bool closed) {
  ODDB_ASSERT_WRITE();
  m_closed = closed;
  return eOk;
}

OdResult OdDbPolyline::getConstantWidth(double& width) const {
  width = m_constantWidth;
  for (const Vertex& v : m_vertices) {
    double s = v.startWidth < 0 ? m_constantWidth : v.startWidth;
    double e = v.endWidth < 0 ? m_constantWidth : v.endWidth;
    if (s != m_constantWidth || e != m_constantWidth) return eNotApplicable;
  }
  return eOk;
}

OdResult OdDbPolyline::setConstantWidth(double width) {
  ODDB_ASSERT_WRITE();
  if (!std::isfinite(width) || width < 0) return eInvalidInput;
  m_constantWidth = width;
  for (Vertex& v : m_vertices) v.startWidth = v.endWidth = width;
  return eOk;
}

bool OdDbPolyline::hasWidth() const {
  for (const Vertex& v : m_vertices)
    if (v.startWidth > 0 || v.endWidth > 0) return true;
  return m_constantWidth > 0;
}

bool OdDbPolyline::isOnlyLines() const {
  for (const Vertex& v : m_vertices)
    if (v.bulge != 0) return false;
  return true;
}

OdResult OdDbPolyline::setElevation(double elevation) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(elevation);
  m_elevation = elevation;
  return eOk;
}

OdResult OdDbPolyline::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}

OdResult OdDbPolyline::setThickness(double thickness) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(thickness);
  m_thickness = thickness;
  return eOk;
}

OdResult OdDbPolyline::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale = 1;
  bool uniform = isUniformOrtho(xform, scale);
  if (!uniform && !isOnlyLines()) return eNotApplicable;
  OdGeVector3d normal = transformNormal(xform, m_normal);
  OdGeMatrix3d toEcsMatrix = ecsToWcs(normal).transpose();
  OdArray<Vertex> moved = m_vertices;
  double elevation = m_elevation;
  for (unsigned i = 0; i < moved.size(); ++i) {
    OdGePoint3d w = xform * toWcs(m_normal, OdGePoint3d(moved[i].point.x, moved[i].point.y, m_elevation));
    OdGePoint3d e = toEcsMatrix * w;
    moved[i].point.set(e.x, e.y);
    elevation = e.z;
    if (uniform) {
      if (moved[i].startWidth > 0) moved[i].startWidth *= scale;
      if (moved[i].endWidth > 0) moved[i].endWidth *= scale;
    }
  }
  if (moved.isEmpty()) elevation = (toEcsMatrix * (xform * toWcs(m_normal, OdGePoint3d(0, 0, m_elevation)))).z;
  m_vertices = moved;
  m_elevation = elevation;
  m_normal = normal;
  if (uniform) {
    m_constantWidth *= scale;
    m_thickness *= scale;
  }
  return eOk;
}

OdResult OdDbPolyline::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  unsigned n = m_vertices.size();
  if (n == 0) return eInvalidExtents;
  if (n == 1) {
    extents.addPoint(toWcs(m_normal, OdGePoint3d(m_vertices[0].point.x, m_vertices[0].point.y, m_elevation)));
    return eOk;
  }
  unsigned segments = m_closed ? n : n - 1;
  for (unsigned i = 0; i < segments; ++i)
    addBulgeExtents(extents, m_vertices[i].point, m_vertices[(i + 1) % n].point, m_vertices[i].bulge, m_elevation,
                    m_normal);
  if (m_thickness != 0) {
    OdGeExtents3d top = extents;
    top.transformBy(OdGeMatrix3d::translation(m_normal * m_thickness));
    extents.addExt(top);
  }
  return eOk;
}

// Vertices.
OdDbVertex::OdDbVertex() = default;

OdDb2dVertex::OdDb2dVertex() = default;
OdDb2dVertex::OdDb2dVertex(const OdGePoint3d& position, double bulge, double startWidth, double endWidth)
    : m_position(position), m_bulge(bulge), m_startWidth(startWidth), m_endWidth(endWidth) {}

OdResult OdDb2dVertex::setPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_position = position;
  return eOk;
}
OdResult OdDb2dVertex::setBulge(double bulge) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(bulge);
  m_bulge = bulge;
  return eOk;
}
OdResult OdDb2dVertex::setStartWidth(double width) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(width);
  m_startWidth = width;
  return eOk;
}
OdResult OdDb2dVertex::setEndWidth(double width) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(width);
  m_endWidth = width;
  return eOk;
}
OdResult OdDb2dVertex::setVertexType(OdDb::Vertex2dType type) {
  ODDB_ASSERT_WRITE();
  if (type < OdDb::k2dVertex || type > OdDb::k2dCurveFitVertex) return eInvalidInput;
  m_type = type;
  return eOk;
}

OdDb3dPolylineVertex::OdDb3dPolylineVertex() = default;
OdDb3dPolylineVertex::OdDb3dPolylineVertex(const OdGePoint3d& position) : m_position(position) {}
OdResult OdDb3dPolylineVertex::setPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_position = position;
  return eOk;
}
OdResult OdDb3dPolylineVertex::setVertexType(OdDb::Vertex3dType type) {
  ODDB_ASSERT_WRITE();
  if (type < OdDb::k3dSimpleVertex || type > OdDb::k3dFitVertex) return eInvalidInput;
  m_type = type;
  return eOk;
}

OdDbPolyFaceMeshVertex::OdDbPolyFaceMeshVertex() = default;
OdDbPolyFaceMeshVertex::OdDbPolyFaceMeshVertex(const OdGePoint3d& position) : m_position(position) {}
OdResult OdDbPolyFaceMeshVertex::setPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_position = position;
  return eOk;
}

OdDbFaceRecord::OdDbFaceRecord() = default;
OdDbFaceRecord::OdDbFaceRecord(OdInt16 v0, OdInt16 v1, OdInt16 v2, OdInt16 v3) : m_indices{v0, v1, v2, v3} {}
OdResult OdDbFaceRecord::getVertexAt(OdUInt16 faceIndex, OdInt16& vertexIndex) const {
  if (faceIndex > 3) return eInvalidIndex;
  vertexIndex = m_indices[faceIndex];
  return eOk;
}
OdResult OdDbFaceRecord::setVertexAt(OdUInt16 faceIndex, OdInt16 vertexIndex) {
  ODDB_ASSERT_WRITE();
  if (faceIndex > 3) return eInvalidIndex;
  m_indices[faceIndex] = vertexIndex;
  return eOk;
}
bool OdDbFaceRecord::isEdgeVisibleAt(OdUInt16 faceIndex) const { return faceIndex <= 3 && m_indices[faceIndex] > 0; }
OdResult OdDbFaceRecord::makeEdgeVisibleAt(OdUInt16 faceIndex) {
  ODDB_ASSERT_WRITE();
  if (faceIndex > 3) return eInvalidIndex;
  if (m_indices[faceIndex] < 0) m_indices[faceIndex] = static_cast<OdInt16>(-m_indices[faceIndex]);
  return eOk;
}
OdResult OdDbFaceRecord::makeEdgeInvisibleAt(OdUInt16 faceIndex) {
  ODDB_ASSERT_WRITE();
  if (faceIndex > 3) return eInvalidIndex;
  if (m_indices[faceIndex] > 0) m_indices[faceIndex] = static_cast<OdInt16>(-m_indices[faceIndex]);
  return eOk;
}

OdDbPolygonMeshVertex::OdDbPolygonMeshVertex() = default;
OdDbPolygonMeshVertex::OdDbPolygonMeshVertex(const OdGePoint3d& position) : m_position(position) {}
OdResult OdDbPolygonMeshVertex::setPosition(const OdGePoint3d& position) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_POINT(position);
  m_position = position;
  return eOk;
}
OdResult OdDbPolygonMeshVertex::setVertexType(OdDb::Vertex3dType type) {
  ODDB_ASSERT_WRITE();
  if (type < OdDb::k3dSimpleVertex || type > OdDb::k3dFitVertex) return eInvalidInput;
  m_type = type;
  return eOk;
}

// Complex entities.
OdDbComplexEntity::OdDbComplexEntity() : m_subs(std::make_unique<OdDbSubObjects>()) {}
OdDbComplexEntity::~OdDbComplexEntity() = default;
OdDbComplexEntity::OdDbComplexEntity(const OdDbComplexEntity& other)
    : OdDbCurve(other), m_subs(std::make_unique<OdDbSubObjects>(*other.m_subs)) {}

OdDbObjectIterator* OdDbComplexEntity::vertexIterator() const { return new OdDbObjectIterator(m_subs->items()); }

void OdDbComplexEntity::forEachSubEntity(const std::function<void(OdDbEntity&)>& visit) {
  m_subs->forEach([&](OdDbEntity& e) { visit(e); });
}

OdResult OdDbComplexEntity::appendSubObject(OdDbObjectId& id, OdDbEntity* vertex, const OdRxClass* expected) {
  id = OdDbObjectId::kNull;
  ODDB_ASSERT_WRITE();
  if (!vertex) return eNullObjectPointer;
  if (OdDbInternals::stub(vertex)) return eAlreadyInDb;
  if (vertex->isA() != expected) return eWrongObjectType;
  if (OdDbStub* self = OdDbInternals::stub(this)) {
    OdDbDatabaseImpl* db = self->database;
    bool foreign = false;
    OdDbInternals::forEachReference(vertex, [&](OdDbStub*& s) {
      if (s && s->database != db) foreign = true;
    });
    if (foreign) return eWrongDatabase;
    if (!OdDbInternals::layer(vertex)) OdDbInternals::layer(vertex) = OdDbInternals::layer(this);
    if (!OdDbInternals::linetype(vertex)) OdDbInternals::linetype(vertex) = OdDbInternals::linetype(this);
    if (OdResult r = db->add(vertex, self, true); r != eOk) return r;
    m_subs->stubs.push_back(OdDbInternals::stub(vertex));
    id = vertex->objectId();
  } else {
    m_subs->pending.emplace_back(vertex);
  }
  return eOk;
}

OdResult OdDbComplexEntity::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  OdResult result = eOk;
  m_subs->forEach([&](OdDbEntity& e) {
    OdGePoint3d* p = nullptr;
    if (auto* v = OdDb3dPolylineVertex::cast(&e)) p = &OdDbInternals::position(v);
    if (auto* v = OdDbPolyFaceMeshVertex::cast(&e)) p = &OdDbInternals::position(v);
    if (auto* v = OdDbPolygonMeshVertex::cast(&e)) p = &OdDbInternals::position(v);
    if (p) *p = xform * *p;
  });
  return result;
}

OdResult OdDbComplexEntity::getGeomExtents(OdGeExtents3d& extents) const {
  extents = OdGeExtents3d();
  m_subs->forEach([&](OdDbEntity& e) {
    if (e.isErased()) return;
    if (auto* v = OdDb3dPolylineVertex::cast(&e)) extents.addPoint(v->position());
    if (auto* v = OdDbPolyFaceMeshVertex::cast(&e)) extents.addPoint(v->position());
    if (auto* v = OdDbPolygonMeshVertex::cast(&e)) extents.addPoint(v->position());
  });
  return extents.isValidExtents() ? eOk : eInvalidExtents;
}

// 2D polylines.
OdDb2dPolyline::OdDb2dPolyline() = default;

OdResult OdDb2dPolyline::setPolyType(OdDb::Poly2dType type) {
  ODDB_ASSERT_WRITE();
  if (type < OdDb::k2dSimplePoly || type > OdDb::k2dCubicSplinePoly) return eInvalidInput;
  m_type = type;
  return eOk;
}
OdResult OdDb2dPolyline::makeClosed() {
  ODDB_ASSERT_WRITE();
  m_closed = true;
  return eOk;
}
OdResult OdDb2dPolyline::makeOpen() {
  ODDB_ASSERT_WRITE();
  m_closed = false;
  return eOk;
}
OdResult OdDb2dPolyline::setElevation(double elevation) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(elevation);
  m_elevation = elevation;
  return eOk;
}
OdResult OdDb2dPolyline::setNormal(const OdGeVector3d& normal) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_NORMAL(normal);
  m_normal = normal.normal();
  return eOk;
}
OdResult OdDb2dPolyline::setThickness(double thickness) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(thickness);
  m_thickness = thickness;
  return eOk;
}
OdResult OdDb2dPolyline::setDefaultStartWidth(double width) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(width);
  m_startWidth = width;
  return eOk;
}
OdResult OdDb2dPolyline::setDefaultEndWidth(double width) {
  ODDB_ASSERT_WRITE();
  ODDB_CHECK_FINITE(width);
  m_endWidth = width;
  return eOk;
}
OdResult OdDb2dPolyline::setLinetypeGenerationOn() {
  ODDB_ASSERT_WRITE();
  m_linetypeGeneration = true;
  return eOk;
}
OdResult OdDb2dPolyline::setLinetypeGenerationOff() {
  ODDB_ASSERT_WRITE();
  m_linetypeGeneration = false;
  return eOk;
}
OdResult OdDb2dPolyline::appendVertex(OdDbObjectId& id, OdDb2dVertex* vertex) {
  return appendSubObject(id, vertex, OdDb2dVertex::desc());
}
OdResult OdDb2dPolyline::appendVertex(OdDb2dVertex* vertex) {
  OdDbObjectId id;
  return appendVertex(id, vertex);
}
OdGePoint3d OdDb2dPolyline::vertexPosition(const OdDb2dVertex& vertex) const {
  OdGePoint3d p = vertex.position();
  return toWcs(m_normal, OdGePoint3d(p.x, p.y, m_elevation));
}

OdResult OdDb2dPolyline::transformBy(const OdGeMatrix3d& xform) {
  ODDB_ASSERT_WRITE();
  double scale = 1;
  bool uniform = isUniformOrtho(xform, scale);
  bool bulges = false;
  forEachSubEntity([&](OdDbEntity& e) {
    if (auto* v = OdDb2dVertex::cast(&e); v && v->bulge() != 0) bulges = true;
  });
  if (!uniform && bulges) return eNotApplicable;
  OdGeVector3d normal = transformNormal(xform, m_normal);
  OdGeMatrix3d toEcsMatrix = ecsToWcs(normal).transpose();
  double elevation = (toEcsMatrix * (xform * toWcs(m_normal, OdGePoint3d(0, 0, m_elevation)))).z;
  forEachSubEntity([&](OdDbEntity& e) {
    auto* v = OdDb2dVertex::cast(&e);
    if (!v) return;
    OdGePoint3d& p = OdDbInternals::position(v);
    OdGePoint3d moved = toEcsMatrix * (xform * toWcs(m_normal, OdGePoint3d(p.x, p.y, m_elevation)));
    elevation = moved.z;
    p.set(moved.x, moved.y, 0);
  });
  m_normal = normal;
  m_elevation = elevation;
  if (uniform) m_thickness *= scale;
  return eOk;
}

// 3D polylines.
OdDb3dPolyline::OdDb3dPolyline() = default;
OdResult OdDb3dPolyline::setPolyType(OdDb::Poly3dType type) {
  ODDB_ASSERT_WRITE();
  if (type < OdDb::k3dSimplePoly || type > OdDb::k3dCubicSplinePoly) return eInvalidInput;
  m_type = type;
  return eOk;
}
OdResult OdDb3dPolyline::makeClosed() {
  ODDB_ASSERT_WRITE();
  m_closed = true;
  return eOk;
}
OdResult OdDb3dPolyline::makeOpen() {
  ODDB_ASSERT_WRITE();
  m_closed = false;
  return eOk;
}
OdResult OdDb3dPolyline::appendVertex(OdDbObjectId& id, OdDb3dPolylineVertex* vertex) {
  return appendSubObject(id, vertex, OdDb3dPolylineVertex::desc());
}
OdResult OdDb3dPolyline::appendVertex(OdDb3dPolylineVertex* vertex) {
  OdDbObjectId id;
  return appendVertex(id, vertex);
}

// Polyface meshes.
OdDbPolyFaceMesh::OdDbPolyFaceMesh() = default;

OdInt16 OdDbPolyFaceMesh::numVertices() const {
  int n = 0;
  OdDbInternals::subObjects(this)->forEach([&](OdDbEntity& e) {
    if (OdDbPolyFaceMeshVertex::cast(&e)) ++n;
  });
  return static_cast<OdInt16>(n);
}

OdInt16 OdDbPolyFaceMesh::numFaces() const {
  int n = 0;
  OdDbInternals::subObjects(this)->forEach([&](OdDbEntity& e) {
    if (OdDbFaceRecord::cast(&e)) ++n;
  });
  return static_cast<OdInt16>(n);
}

OdResult OdDbPolyFaceMesh::appendVertex(OdDbObjectId& id, OdDbPolyFaceMeshVertex* vertex) {
  id = OdDbObjectId::kNull;
  if (numFaces() > 0) return eInvalidInput;
  if (numVertices() == 32767) return eInvalidIndex;
  return appendSubObject(id, vertex, OdDbPolyFaceMeshVertex::desc());
}
OdResult OdDbPolyFaceMesh::appendVertex(OdDbPolyFaceMeshVertex* vertex) {
  OdDbObjectId id;
  return appendVertex(id, vertex);
}
OdResult OdDbPolyFaceMesh::appendFaceRecord(OdDbObjectId& id, OdDbFaceRecord* face) {
  id = OdDbObjectId::kNull;
  if (!face) return eNullObjectPointer;
  int vertices = numVertices();
  for (OdUInt16 i = 0; i < 4; ++i) {
    OdInt16 index = 0;
    face->getVertexAt(i, index);
    if (std::abs(index) > vertices) return eInvalidIndex;
  }
  return appendSubObject(id, face, OdDbFaceRecord::desc());
}
OdResult OdDbPolyFaceMesh::appendFaceRecord(OdDbFaceRecord* face) {
  OdDbObjectId id;
  return appendFaceRecord(id, face);
}

// Polygon meshes.
OdDbPolygonMesh::OdDbPolygonMesh() = default;
OdDbPolygonMesh::OdDbPolygonMesh(OdDb::PolyMeshType type, OdInt16 mSize, OdInt16 nSize)
    : m_type(type), m_mSize(mSize), m_nSize(nSize) {}

OdResult OdDbPolygonMesh::setPolyMeshType(OdDb::PolyMeshType type) {
  ODDB_ASSERT_WRITE();
  if (type != OdDb::kSimpleMesh && type != OdDb::kQuadSurfaceMesh && type != OdDb::kCubicSurfaceMesh &&
      type != OdDb::kBezierSurfaceMesh)
    return eInvalidInput;
  m_type = type;
  return eOk;
}

#define MESH_SIZE(Setter, member)                  \
  OdResult OdDbPolygonMesh::Setter(OdInt16 size) { \
    ODDB_ASSERT_WRITE();                           \
    if (size < 0) return eInvalidInput;            \
    member = size;                                 \
    return eOk;                                    \
  }
MESH_SIZE(setMSize, m_mSize)
MESH_SIZE(setNSize, m_nSize)
MESH_SIZE(setMSurfaceDensity, m_mDensity)
MESH_SIZE(setNSurfaceDensity, m_nDensity)
#undef MESH_SIZE

OdResult OdDbPolygonMesh::makeMClosed() {
  ODDB_ASSERT_WRITE();
  m_mClosed = true;
  return eOk;
}
OdResult OdDbPolygonMesh::makeMOpen() {
  ODDB_ASSERT_WRITE();
  m_mClosed = false;
  return eOk;
}
OdResult OdDbPolygonMesh::makeNClosed() {
  ODDB_ASSERT_WRITE();
  m_nClosed = true;
  return eOk;
}
OdResult OdDbPolygonMesh::makeNOpen() {
  ODDB_ASSERT_WRITE();
  m_nClosed = false;
  return eOk;
}
OdResult OdDbPolygonMesh::appendVertex(OdDbObjectId& id, OdDbPolygonMeshVertex* vertex) {
  return appendSubObject(id, vertex, OdDbPolygonMeshVertex::desc());
}
OdResult OdDbPolygonMesh::appendVertex(OdDbPolygonMeshVertex* vertex) {
  OdDbObjectId id;
  return appendVertex(id, vertex);
}

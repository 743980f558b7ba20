// Polylines and meshes: the lightweight polyline keeps its vertices inside;
// 2D and 3D polylines and the two meshes keep theirs as separate objects,
// reached with a vertex iterator and opened by id.
#pragma once

#include "DbEntity.h"
#include "OdArray.h"

struct OdDbSubObjects;

namespace OdDb {
enum Poly2dType { k2dSimplePoly = 0, k2dFitCurvePoly = 1, k2dQuadSplinePoly = 2, k2dCubicSplinePoly = 3 };
enum Vertex2dType { k2dVertex = 0, k2dSplineFitVertex = 1, k2dSplineCtlVertex = 2, k2dCurveFitVertex = 3 };
enum Poly3dType { k3dSimplePoly = 0, k3dQuadSplinePoly = 1, k3dCubicSplinePoly = 2 };
enum Vertex3dType { k3dSimpleVertex = 0, k3dControlVertex = 1, k3dFitVertex = 2 };
enum PolyMeshType { kSimpleMesh = 0, kQuadSurfaceMesh = 5, kCubicSurfaceMesh = 6, kBezierSurfaceMesh = 8 };
}  // namespace OdDb

/// A lightweight polyline: 2D vertices with bulge and widths in its ECS.
class OdDbPolyline : public OdDbCurve {
  ODDB_DECLARE_MEMBERS(OdDbPolyline);
  enum SegType { kLine = 0, kArc = 1, kCoincident = 2, kPoint = 3, kEmpty = 4 };
  OdDbPolyline();
  /// With room for `numVerts` vertices (none yet).
  explicit OdDbPolyline(unsigned int numVerts);
  ~OdDbPolyline() override;

  unsigned int numVerts() const;
  /// Inserts a vertex before `index` (at the end when index >= numVerts).
  /// A width of -1 means the polyline's default width.
  OdResult addVertexAt(unsigned int index, const OdGePoint2d& point, double bulge = 0, double startWidth = -1,
                       double endWidth = -1, OdInt32 vertexIdentifier = 0);
  OdResult removeVertexAt(unsigned int index);
  /// eInvalidIndex for an index past the last vertex.
  OdResult getPointAt(unsigned int index, OdGePoint2d& point) const;
  /// The vertex in WCS.
  OdResult getPointAt(unsigned int index, OdGePoint3d& point) const;
  OdResult setPointAt(unsigned int index, const OdGePoint2d& point);
  double getBulgeAt(unsigned int index) const;
  OdResult setBulgeAt(unsigned int index, double bulge);
  OdResult getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
  OdResult setWidthsAt(unsigned int index, double startWidth, double endWidth);
  /// The segment starting at a vertex: an arc when its bulge is not 0,
  /// coincident when both ends are one point, a point for a polyline of one
  /// vertex, empty past the last segment.
  SegType segType(unsigned int index) const;
  bool isClosed() const override;
  OdResult setClosed(bool closed);
  /// eNotApplicable when the vertices' widths differ.
  OdResult getConstantWidth(double& width) const;
  /// Gives every vertex this start and end width.
  OdResult setConstantWidth(double width);
  bool hasWidth() const;
  bool isOnlyLines() const;
  double elevation() const { return m_elevation; }
  OdResult setElevation(double elevation);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  double thickness() const { return m_thickness; }
  OdResult setThickness(double thickness);

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

  struct Vertex {
    OdGePoint2d point;
    double bulge = 0;
    double startWidth = -1;
    double endWidth = -1;
    OdInt32 identifier = 0;
    bool operator==(const Vertex&) const = default;
  };

 protected:
  OdDbPolyline(const OdDbPolyline&) = default;

 private:
  friend struct OdDbInternals;
  OdArray<Vertex> m_vertices;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  double m_elevation = 0, m_thickness = 0, m_constantWidth = 0;
  bool m_closed = false;
};

/// The base of the vertex objects.
class OdDbVertex : public OdDbEntity {
  ODDB_DECLARE_MEMBERS(OdDbVertex);
  OdDbVertex();

 protected:
  OdDbVertex(const OdDbVertex&) = default;
};

class OdDb2dVertex : public OdDbVertex {
  ODDB_DECLARE_MEMBERS(OdDb2dVertex);
  OdDb2dVertex();
  explicit OdDb2dVertex(const OdGePoint3d& position, double bulge = 0, double startWidth = 0, double endWidth = 0);

  /// The position in the polyline's ECS (z is the polyline's elevation).
  OdGePoint3d position() const { return m_position; }
  OdResult setPosition(const OdGePoint3d& position);
  double bulge() const { return m_bulge; }
  OdResult setBulge(double bulge);
  double startWidth() const { return m_startWidth; }
  OdResult setStartWidth(double width);
  double endWidth() const { return m_endWidth; }
  OdResult setEndWidth(double width);
  OdDb::Vertex2dType vertexType() const { return m_type; }
  /// Vertices that fitting adds are marked so; the layer does no fitting itself.
  OdResult setVertexType(OdDb::Vertex2dType type);

 protected:
  OdDb2dVertex(const OdDb2dVertex&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_position;
  double m_bulge = 0, m_startWidth = 0, m_endWidth = 0;
  OdDb::Vertex2dType m_type = OdDb::k2dVertex;
};

class OdDb3dPolylineVertex : public OdDbVertex {
  ODDB_DECLARE_MEMBERS(OdDb3dPolylineVertex);
  OdDb3dPolylineVertex();
  explicit OdDb3dPolylineVertex(const OdGePoint3d& position);

  /// The position in WCS.
  OdGePoint3d position() const { return m_position; }
  OdResult setPosition(const OdGePoint3d& position);
  OdDb::Vertex3dType vertexType() const { return m_type; }
  OdResult setVertexType(OdDb::Vertex3dType type);

 protected:
  OdDb3dPolylineVertex(const OdDb3dPolylineVertex&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_position;
  OdDb::Vertex3dType m_type = OdDb::k3dSimpleVertex;
};

class OdDbPolyFaceMeshVertex : public OdDbVertex {
  ODDB_DECLARE_MEMBERS(OdDbPolyFaceMeshVertex);
  OdDbPolyFaceMeshVertex();
  explicit OdDbPolyFaceMeshVertex(const OdGePoint3d& position);
  OdGePoint3d position() const { return m_position; }
  OdResult setPosition(const OdGePoint3d& position);

 protected:
  OdDbPolyFaceMeshVertex(const OdDbPolyFaceMeshVertex&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_position;
};

/// A face of a polyface mesh: up to four 1-based vertex indices; a negative
/// index hides the edge that starts at that vertex, 0 means no vertex.
class OdDbFaceRecord : public OdDbVertex {
  ODDB_DECLARE_MEMBERS(OdDbFaceRecord);
  OdDbFaceRecord();
  OdDbFaceRecord(OdInt16 v0, OdInt16 v1, OdInt16 v2, OdInt16 v3);
  OdResult getVertexAt(OdUInt16 faceIndex, OdInt16& vertexIndex) const;
  OdResult setVertexAt(OdUInt16 faceIndex, OdInt16 vertexIndex);
  bool isEdgeVisibleAt(OdUInt16 faceIndex) const;
  OdResult makeEdgeVisibleAt(OdUInt16 faceIndex);
  OdResult makeEdgeInvisibleAt(OdUInt16 faceIndex);

 protected:
  OdDbFaceRecord(const OdDbFaceRecord&) = default;

 private:
  friend struct OdDbInternals;
  OdInt16 m_indices[4] = {0, 0, 0, 0};
};

class OdDbPolygonMeshVertex : public OdDbVertex {
  ODDB_DECLARE_MEMBERS(OdDbPolygonMeshVertex);
  OdDbPolygonMeshVertex();
  explicit OdDbPolygonMeshVertex(const OdGePoint3d& position);
  OdGePoint3d position() const { return m_position; }
  OdResult setPosition(const OdGePoint3d& position);
  OdDb::Vertex3dType vertexType() const { return m_type; }
  OdResult setVertexType(OdDb::Vertex3dType type);

 protected:
  OdDbPolygonMeshVertex(const OdDbPolygonMeshVertex&) = default;

 private:
  friend struct OdDbInternals;
  OdGePoint3d m_position;
  OdDb::Vertex3dType m_type = OdDb::k3dSimpleVertex;
};

/// What the complex polylines share: their vertex objects.
class OdDbComplexEntity : public OdDbCurve {
  ODDB_DECLARE_MEMBERS(OdDbComplexEntity);
  OdDbComplexEntity();
  ~OdDbComplexEntity() override;
  /// The caller deletes the iterator.
  OdDbObjectIterator* vertexIterator() const;

  OdResult transformBy(const OdGeMatrix3d& xform) override;
  OdResult getGeomExtents(OdGeExtents3d& extents) const override;

 protected:
  OdDbComplexEntity(const OdDbComplexEntity& other);
  /// Appends a vertex object that belongs to no database (eAlreadyInDb); in
  /// a database it is added at once and stays open for write.
  OdResult appendSubObject(OdDbObjectId& id, OdDbEntity* vertex, const OdRxClass* expected);
  void forEachSubEntity(const std::function<void(OdDbEntity&)>& visit) override;

 private:
  friend struct OdDbInternals;
  std::unique_ptr<OdDbSubObjects> m_subs;
};

class OdDb2dPolyline : public OdDbComplexEntity {
  ODDB_DECLARE_MEMBERS(OdDb2dPolyline);
  OdDb2dPolyline();

  OdDb::Poly2dType polyType() const { return m_type; }
  OdResult setPolyType(OdDb::Poly2dType type);
  bool isClosed() const override { return m_closed; }
  OdResult makeClosed();
  OdResult makeOpen();
  double elevation() const { return m_elevation; }
  OdResult setElevation(double elevation);
  OdGeVector3d normal() const { return m_normal; }
  OdResult setNormal(const OdGeVector3d& normal);
  double thickness() const { return m_thickness; }
  OdResult setThickness(double thickness);
  double defaultStartWidth() const { return m_startWidth; }
  OdResult setDefaultStartWidth(double width);
  double defaultEndWidth() const { return m_endWidth; }
  OdResult setDefaultEndWidth(double width);
  bool isLinetypeGenerationOn() const { return m_linetypeGeneration; }
  OdResult setLinetypeGenerationOn();
  OdResult setLinetypeGenerationOff();
  OdResult appendVertex(OdDbObjectId& id, OdDb2dVertex* vertex);
  OdResult appendVertex(OdDb2dVertex* vertex);
  /// A vertex's position in WCS (its ECS position at the polyline's elevation).
  OdGePoint3d vertexPosition(const OdDb2dVertex& vertex) const;

  OdResult transformBy(const OdGeMatrix3d& xform) override;

 protected:
  OdDb2dPolyline(const OdDb2dPolyline&) = default;

 private:
  friend struct OdDbInternals;
  OdGeVector3d m_normal = OdGeVector3d::kZAxis;
  double m_elevation = 0, m_thickness = 0, m_startWidth = 0, m_endWidth = 0;
  OdDb::Poly2dType m_type = OdDb::k2dSimplePoly;
  bool m_closed = false, m_linetypeGeneration = false;
};

class OdDb3dPolyline : public OdDbComplexEntity {
  ODDB_DECLARE_MEMBERS(OdDb3dPolyline);
  OdDb3dPolyline();
  OdDb::Poly3dType polyType() const { return m_type; }
  OdResult setPolyType(OdDb::Poly3dType type);
  bool isClosed() const override { return m_closed; }
  OdResult makeClosed();
  OdResult makeOpen();
  OdResult appendVertex(OdDbObjectId& id, OdDb3dPolylineVertex* vertex);
  OdResult appendVertex(OdDb3dPolylineVertex* vertex);

 protected:
  OdDb3dPolyline(const OdDb3dPolyline&) = default;

 private:
  friend struct OdDbInternals;
  OdDb::Poly3dType m_type = OdDb::k3dSimplePoly;
  bool m_closed = false;
};

/// A polyface mesh: its vertices, then its face records.
class OdDbPolyFaceMesh : public OdDbComplexEntity {
  ODDB_DECLARE_MEMBERS(OdDbPolyFaceMesh);
  OdDbPolyFaceMesh();
  OdInt16 numVertices() const;
  OdInt16 numFaces() const;
  /// eInvalidInput for a vertex after the first face record.
  OdResult appendVertex(OdDbObjectId& id, OdDbPolyFaceMeshVertex* vertex);
  OdResult appendVertex(OdDbPolyFaceMeshVertex* vertex);
  /// eInvalidIndex for a face whose indices name no vertex of the mesh.
  OdResult appendFaceRecord(OdDbObjectId& id, OdDbFaceRecord* face);
  OdResult appendFaceRecord(OdDbFaceRecord* face);

 protected:
  OdDbPolyFaceMesh(const OdDbPolyFaceMesh&) = default;
};

/// A polygon mesh of M rows of N vertices.
class OdDbPolygonMesh : public OdDbComplexEntity {
  ODDB_DECLARE_MEMBERS(OdDbPolygonMesh);
  OdDbPolygonMesh();
  OdDbPolygonMesh(OdDb::PolyMeshType type, OdInt16 mSize, OdInt16 nSize);

  OdDb::PolyMeshType polyMeshType() const { return m_type; }
  OdResult setPolyMeshType(OdDb::PolyMeshType type);
  OdInt16 mSize() const { return m_mSize; }
  OdResult setMSize(OdInt16 size);
  OdInt16 nSize() const { return m_nSize; }
  OdResult setNSize(OdInt16 size);
  OdInt16 mSurfaceDensity() const { return m_mDensity; }
  OdResult setMSurfaceDensity(OdInt16 density);
  OdInt16 nSurfaceDensity() const { return m_nDensity; }
  OdResult setNSurfaceDensity(OdInt16 density);
  bool isMClosed() const { return m_mClosed; }
  OdResult makeMClosed();
  OdResult makeMOpen();
  bool isNClosed() const { return m_nClosed; }
  OdResult makeNClosed();
  OdResult makeNOpen();
  OdResult appendVertex(OdDbObjectId& id, OdDbPolygonMeshVertex* vertex);
  OdResult appendVertex(OdDbPolygonMeshVertex* vertex);

 protected:
  OdDbPolygonMesh(const OdDbPolygonMesh&) = default;

 private:
  friend struct OdDbInternals;
  OdDb::PolyMeshType m_type = OdDb::kSimpleMesh;
  OdInt16 m_mSize = 0, m_nSize = 0, m_mDensity = 0, m_nDensity = 0;
  bool m_mClosed = false, m_nClosed = false;
};

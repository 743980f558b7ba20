// Copying the vertices of polyface and polygon meshes into arrays. Unlike the
// polylines' vertices, a mesh sub-object that does not open is reported on
// the command line: a mesh with a hole in it cannot be rebuilt faithfully.
#include <algorithm>
#include <memory>

#include "HvDbUtilsMessages.h"
#include "HvDbUtilsPolylines.h"
#include "tables/openedobject.h"
#include "tables/openobjectas.h"

namespace HvDbUtils {

void CollectVertices(const OdDbPolyFaceMesh* mesh, OdArray<OdDbObjectId>& faces, OdArray<OdGePoint3d>& points) {
  if (!mesh) return;
  std::unique_ptr<OdDbObjectIterator> iterator(mesh->vertexIterator());
  if (!iterator) return;
  // The mesh holds its vertices and its face records side by side: each
  // sub-object is opened whatever its class and sorted here.
  for (; !iterator->done(); iterator->step()) {
    mwcommon::OpenedObject<OdDbObject> object;
    if (const OdResult opened = oddbOpenObject(object.slot(), iterator->objectId(), OdDb::kForRead); opened != eOk) {
      RxErrorMsg(opened);
      continue;
    }
    if (OdDbFaceRecord::cast(object.get())) {
      faces.append(object->objectId());
    } else if (const auto* vertex = OdDbPolyFaceMeshVertex::cast(object.get())) {
      points.append(vertex->position());
    }
  }
}

bool CollectVertices(const OdDbPolygonMesh* mesh, OdArray<OdGePoint3d>& points, int& m, int& n) {
  if (!mesh) return false;
  // A smoothed mesh is drawn with its surface densities.
  if (mesh->polyMeshType() != OdDb::kSimpleMesh) {
    m = mesh->mSurfaceDensity();
    n = mesh->nSurfaceDensity();
  } else {
    m = mesh->mSize();
    n = mesh->nSize();
  }
  std::unique_ptr<OdDbObjectIterator> iterator(mesh->vertexIterator());
  if (!iterator) return false;

  const bool closedInN = mesh->isNClosed();
  OdArray<OdGePoint3d>::size_type rowStart = points.size();
  int inRow = 0;
  for (; !iterator->done(); iterator->step()) {
    mwcommon::OpenedObject<OdDbPolygonMeshVertex> vertex;
    if (const OdResult opened = OpenObjectAs(vertex.slot(), iterator->objectId(), OdDb::kForRead); opened != eOk) {
      RxErrorMsg(opened);
      return false;
    }
    points.append(vertex->position());
    if (n > 0 && ++inRow == n) {
      // Closed in N: each row ends where it began.
      if (closedInN) {
        const OdGePoint3d first = points[rowStart];
        points.append(first);
      }
      inRow = 0;
      rowStart = points.size();
    }
  }

  if (closedInN) ++n;
  if (mesh->isMClosed()) {
    // Closed in M: the first row (with its closing point) comes again last.
    ++m;
    const auto repeated = static_cast<OdArray<OdGePoint3d>::size_type>(std::clamp<long long>(n, 0, points.size()));
    for (OdArray<OdGePoint3d>::size_type index = 0; index < repeated; ++index) {
      const OdGePoint3d point = points[index];
      points.append(point);
    }
  }
  return true;
}

}  // namespace HvDbUtils

// Coordinate systems and the current view: the UCS of a database, the DCS of
// a document's view, and the conversions between them and the WCS.
#include <cmath>

#include "DbSymbolTable.h"
#include "DbViewport.h"
#include "hoststate.h"
#include "kxdb.h"
#include "kxed.h"
#include "kxut.h"

namespace kxhost {

OdGeMatrix3d currentUcsToWcs() {
  OdGeMatrix3d matrix;
  KxApDocument* document = currentDocument();
  kxdbUcsMatrix(matrix, document ? document->database() : nullptr);
  return matrix;
}

OdGeMatrix3d dcsToWcs(const ViewState& view) {
  const OdGeVector3d z = view.direction.normal();
  const OdGeMatrix3d plane = OdGeMatrix3d::planeToWorld(z);
  const OdGeVector3d x0 = plane.getCsXAxis();
  const OdGeVector3d y0 = plane.getCsYAxis();
  // The twist turns the drawing counter-clockwise on the screen, so the
  // display axes turn the other way.
  const double c = std::cos(view.twist);
  const double s = std::sin(view.twist);
  const OdGeVector3d x = x0 * c - y0 * s;
  const OdGeVector3d y = x0 * s + y0 * c;
  OdGeMatrix3d matrix;
  matrix.setCoordSystem(view.target, x, y, z);
  return matrix;
}

namespace {

/// The system-to-WCS matrix a kxedTrans buffer names; false for none.
bool systemToWcs(const resbuf* system, OdGeMatrix3d& matrix) {
  if (!system) return false;
  if (system->restype == RT3DPOINT) {
    const OdGeVector3d normal(system->resval.rpoint[0], system->resval.rpoint[1], system->resval.rpoint[2]);
    if (normal.isZeroLength()) return false;
    matrix = OdGeMatrix3d::planeToWorld(normal);
    return true;
  }
  long code = 0;
  if (system->restype == RTSHORT) {
    code = system->resval.rint;
  } else if (system->restype == RTLONG) {
    code = system->resval.rlong;
  } else {
    return false;
  }
  switch (code) {
    case kKxWcs:
      matrix.setToIdentity();
      return true;
    case kKxUcs:
      matrix = currentUcsToWcs();
      return true;
    case kKxDcs: {
      KxApDocument* document = currentDocument();
      if (!document) return false;
      matrix = dcsToWcs(document->state().view);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

}  // namespace kxhost

using namespace kxhost;

bool kxdbUcsMatrix(OdGeMatrix3d& matrix, OdDbDatabase* database) {
  matrix.setToIdentity();
  if (!database) database = oddbHostApplicationServices()->workingDatabase();
  if (!database) return false;
  const OdGeVector3d x = database->ucsxdir();
  const OdGeVector3d y = database->ucsydir();
  const OdGeVector3d z = x.crossProduct(y);
  if (z.isZeroLength()) return false;
  matrix.setCoordSystem(database->ucsorg(), x, y, z);
  return true;
}

int kxedTrans(const ads_point point, const resbuf* from, const resbuf* to, int displacement, ads_point result) {
  if (!point || !result) return RTERROR;
  OdGeMatrix3d fromMatrix;
  OdGeMatrix3d toMatrix;
  if (!systemToWcs(from, fromMatrix) || !systemToWcs(to, toMatrix)) return RTERROR;
  const OdGeMatrix3d transform = toMatrix.inverse() * fromMatrix;
  OdGePoint3d converted;
  if (displacement) {
    const OdGeVector3d v = transform * OdGeVector3d(point[0], point[1], point[2]);
    converted.set(v.x, v.y, v.z);
  } else {
    converted = transform * OdGePoint3d(point[0], point[1], point[2]);
  }
  result[0] = converted.x;
  result[1] = converted.y;
  result[2] = converted.z;
  return RTNORM;
}

void kxutPolar(const ads_point point, double angle, double distance, ads_point result) {
  const double x = point[0] + distance * std::cos(angle);
  const double y = point[1] + distance * std::sin(angle);
  const double z = point[2];
  result[0] = x;
  result[1] = y;
  result[2] = z;
}

double kxutAngle(const ads_point from, const ads_point to) {
  const double dx = to[0] - from[0];
  const double dy = to[1] - from[1];
  if (dx == 0 && dy == 0) return 0;
  return std::atan2(dy, dx);
}

OdDbObjectId kxedGetCurViewportObjectId() {
  KxApDocument* document = currentDocument();
  if (!document) return OdDbObjectId::kNull;
  OdDbDatabase* database = document->database();
  if (!database->tilemode()) {
    const OdDbObjectId active = document->state().modelSpaceViewport;
    if (!active.isNull() && active.isValid() && !active.isErased()) return active;
    return database->paperSpaceVportId();
  }
  OdDbViewportTable* table = nullptr;
  if (database->getViewportTable(table, OdDb::kForRead) != eOk) return OdDbObjectId::kNull;
  const OdDbObjectId id = table->getAt(u"*Active");
  table->close();
  return id;
}

CWnd* kxedGetKoraxDwgView() { return nullptr; }

OdResult kxedSetCurrentView(OdDbViewTableRecord* view, OdDbViewport* viewport) {
  if (!view) return eNullObjectPointer;
  if (viewport) {
    if (OdResult status = viewport->setViewCenter(view->centerPoint()); status != eOk) return status;
    viewport->setViewHeight(view->height());
    viewport->setViewDirection(view->viewDirection());
    viewport->setViewTarget(view->target());
    viewport->setTwistAngle(view->viewTwist());
    viewport->setLensLength(view->lensLength());
    return eOk;
  }
  KxApDocument* document = currentDocument();
  if (!document) return eNoDatabase;
  if (view->viewDirection().isZeroLength() || !(view->height() > 0) || !(view->width() > 0)) return eInvalidInput;
  ViewState& state = document->state().view;
  const HostVariables& host = hostVariables();
  state.center = view->centerPoint();
  // The screen keeps its shape: the view is as high as it must be for both
  // the record's height and its width to fit.
  state.height = std::max(view->height(), view->width() * host.screenHeight / host.screenWidth);
  state.direction = view->viewDirection();
  state.target = view->target();
  state.lensLength = view->lensLength() > 0 ? view->lensLength() : state.lensLength;
  state.twist = view->viewTwist();
  state.frontZ = view->frontClipDistance();
  state.backZ = view->backClipDistance();
  state.mode = static_cast<OdInt16>((view->perspectiveEnabled() ? 1 : 0) | (view->frontClipEnabled() ? 2 : 0) |
                                    (view->backClipEnabled() ? 4 : 0) | (view->frontClipAtEye() ? 16 : 0));
  return eOk;
}

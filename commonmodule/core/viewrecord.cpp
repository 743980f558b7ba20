// Saving the host's current view as a named view of a drawing.
#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "HvDbUtilsView.h"
#include "core/hostpoints.h"
#include "core/hostvariables.h"
#include "core/workingdatabase.h"
#include "kxdefs.h"
#include "tables/lockeddocument.h"
#include "tables/openedobject.h"

namespace {

// VIEWMODE bits.
constexpr OdInt16 kPerspective = 1;
constexpr OdInt16 kFrontClip = 2;
constexpr OdInt16 kBackClip = 4;
constexpr OdInt16 kFrontClipAtEye = 16;

/// The view record takes the host's current view.
void fillFromCurrentView(OdDbViewTableRecord& record) {
  using mwcommon::Displacement;
  using mwcommon::hostTrans;
  using mwcommon::pointVariable;
  using mwcommon::realVariable;
  const OdInt16 mode = mwcommon::shortVariable(u"VIEWMODE");
  const double size = realVariable(u"VIEWSIZE");
  const OdGePoint3d screen = pointVariable(u"SCREENSIZE");
  record.setBackClipEnabled((mode & kBackClip) != 0);
  record.setBackClipDistance(realVariable(u"BACKZ"));
  const OdGePoint3d center = hostTrans(pointVariable(u"VIEWCTR"), kKxUcs, kKxDcs, Displacement::Point);
  record.setCenterPoint(OdGePoint2d(center.x, center.y));
  record.setFrontClipAtEye((mode & kFrontClipAtEye) != 0);
  record.setFrontClipDistance(realVariable(u"FRONTZ"));
  record.setFrontClipEnabled((mode & kFrontClip) != 0);
  record.setHeight(size);
  record.setLensLength(realVariable(u"LENSLENGTH"));
  record.setPerspectiveEnabled((mode & kPerspective) != 0);
  record.setTarget(hostTrans(pointVariable(u"TARGET"), kKxUcs, kKxWcs, Displacement::Point));
  record.setViewDirection(hostTrans(pointVariable(u"VIEWDIR"), kKxUcs, kKxWcs, Displacement::Direction).asVector());
  record.setViewTwist(realVariable(u"VIEWTWIST"));
  record.setWidth(size * screen.x / screen.y);
}

}  // namespace

namespace HvDbUtils {

OdDbObjectId CreateViewRecord(const CString& name, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return OdDbObjectId::kNull;
  mwcommon::LockedDocument lock = mwcommon::LockedDocument::ofDatabase(database, KxAp::kWrite);
  if (!lock.locked()) return OdDbObjectId::kNull;

  mwcommon::OpenedObject<OdDbViewTable> table;
  if (database->getViewTable(table.slot(), OdDb::kForWrite) != eOk) return OdDbObjectId::kNull;
  const OdString viewName(name.GetString());
  mwcommon::OpenedObject<OdDbViewTableRecord> record;
  OdDbObjectId id;
  if (table->has(viewName)) {
    if (table->getAt(viewName, record.slot(), OdDb::kForRead) != eOk) return OdDbObjectId::kNull;
    table.close();
    id = record->objectId();
    record->upgradeOpen();
  } else {
    auto* created = new OdDbViewTableRecord();
    created->setName(viewName);
    if (table->add(id, created) != eOk) {
      delete created;
      return OdDbObjectId::kNull;
    }
    record = mwcommon::OpenedObject<OdDbViewTableRecord>(created);
    table.close();
  }
  fillFromCurrentView(*record.get());
  record.close();
  return id;
}

}  // namespace HvDbUtils

// A drawing with every kind of entity the layer models, extended data and
// dictionaries, for the round-trip tests.
#pragma once

#include <gtest/gtest.h>

#include "dwgsdk.h"

namespace dwgsdk_test {

/// Opens a space of `db` for write.
inline OdDbBlockTableRecord* openSpace(OdDbDatabase& db, const OdChar* name = u"*Model_Space") {
  OdDbBlockTable* blocks = nullptr;
  EXPECT_EQ(db.getBlockTable(blocks, OdDb::kForRead), eOk);
  OdDbBlockTableRecord* space = nullptr;
  EXPECT_EQ(blocks->getAt(name, space, OdDb::kForWrite), eOk);
  blocks->close();
  return space;
}

/// Appends an entity to model space and closes it.
inline OdDbObjectId append(OdDbDatabase& db, OdDbEntity* e, const OdChar* space = u"*Model_Space") {
  OdDbBlockTableRecord* block = openSpace(db, space);
  OdDbObjectId id;
  EXPECT_EQ(block->appendOdDbEntity(id, e), eOk);
  e->close();
  block->close();
  return id;
}

inline OdDbObjectId addLayer(OdDbDatabase& db, const OdChar* name, OdInt16 color) {
  OdDbLayerTable* layers = nullptr;
  EXPECT_EQ(db.getLayerTable(layers, OdDb::kForWrite), eOk);
  auto* layer = new OdDbLayerTableRecord();
  layer->setName(name);
  layer->setColorIndex(color);
  OdDbObjectId id;
  EXPECT_EQ(layers->add(id, layer), eOk);
  layer->close();
  layers->close();
  return id;
}

inline void registerApp(OdDbDatabase& db, const OdChar* name) {
  OdDbRegAppTable* apps = nullptr;
  EXPECT_EQ(db.getRegAppTable(apps, OdDb::kForWrite), eOk);
  if (!apps->has(name)) {
    auto* app = new OdDbRegAppTableRecord();
    app->setName(name);
    EXPECT_EQ(apps->add(app), eOk);
    app->close();
  }
  apps->close();
}

/// Fills `db` (a default drawing) with one of everything.
inline void buildEveryKind(OdDbDatabase& db) {
  OdDbObjectId walls = addLayer(db, u"Walls", 3);
  registerApp(db, u"MERROWIN");

  auto* line = new OdDbLine(OdGePoint3d(1, 2, 0), OdGePoint3d(11.5, -3.25, 2));
  line->setLayer(walls);
  line->setColorIndex(1);
  line->setLinetypeScale(2.5);
  resbuf* xd = odutBuildList(1001, u"MERROWIN", 1000, u"Wand \u00e4\u4e2d", 1002, u"{", 1070, 7, 1071, 70000, 1040, 2.5,
                             1002, u"}", 0);
  ASSERT_NE(xd, nullptr);
  append(db, line);
  {
    OdDbObject* o = nullptr;
    // Extended data on a line in the database.
    OdDbBlockTableRecord* model = openSpace(db);
    OdDbBlockTableRecordIterator* it = nullptr;
    model->newIterator(it);
    ASSERT_EQ(oddbOpenObject(o, it->getEntityId(), OdDb::kForWrite), eOk);
    EXPECT_EQ(o->setXData(xd), eOk);
    o->close();
    delete it;
    model->close();
  }
  odutRelRb(xd);

  append(db, new OdDbCircle(OdGePoint3d(5, 5, 0), OdGeVector3d::kZAxis, 2.5));
  append(db, new OdDbArc(OdGePoint3d(-5, 1, 0), 3, 0.5, 2.75));
  append(db, new OdDbArc(OdGePoint3d(0, 0, 4), OdGeVector3d(0, 0, -1), 1.5, 0.25, 1.5));
  append(db, new OdDbPoint(OdGePoint3d(7, 8, 9)));

  auto* text = new OdDbText(OdGePoint3d(1, 1, 0), u"Hello ^ caret \\U+0041 \u20ac");
  text->setHeight(2.5);
  text->setRotation(0.5);
  text->setWidthFactor(0.8);
  append(db, text);
  auto* centred = new OdDbText(OdGePoint3d(0, 0, 0), u"centre");
  centred->setHorizontalMode(OdDb::kTextCenter);
  centred->setVerticalMode(OdDb::kTextVertMid);
  centred->setAlignmentPoint(OdGePoint3d(20, 20, 0));
  centred->setHeight(3);
  append(db, centred);

  auto* mtext = new OdDbMText();
  mtext->setLocation(OdGePoint3d(30, 30, 0));
  mtext->setTextHeight(2);
  mtext->setWidth(40);
  mtext->setAttachment(OdDbMText::kMiddleCenter);
  mtext->setContents(OdString(std::u16string(300, u'x') + u"\\Pline two"));
  mtext->setRotation(0.25);
  append(db, mtext);

  auto* pline = new OdDbPolyline();
  pline->addVertexAt(0, OdGePoint2d(0, 0), 0.5);
  pline->addVertexAt(1, OdGePoint2d(10, 0));
  pline->addVertexAt(2, OdGePoint2d(10, 10), 0, 1, 2);
  pline->setClosed(true);
  pline->setElevation(1.5);
  append(db, pline);
  auto* wide = new OdDbPolyline();
  wide->addVertexAt(0, OdGePoint2d(0, 0));
  wide->addVertexAt(1, OdGePoint2d(5, 5));
  wide->setConstantWidth(0.75);
  append(db, wide);

  auto* p2 = new OdDb2dPolyline();
  p2->appendVertex(new OdDb2dVertex(OdGePoint3d(0, 0, 0), 0.25, 0.5, 1));
  p2->appendVertex(new OdDb2dVertex(OdGePoint3d(4, 0, 0)));
  auto* fit = new OdDb2dVertex(OdGePoint3d(4, 4, 0));
  fit->setVertexType(OdDb::k2dSplineFitVertex);
  p2->appendVertex(fit);
  p2->makeClosed();
  p2->setElevation(2);
  append(db, p2);

  auto* p3 = new OdDb3dPolyline();
  p3->appendVertex(new OdDb3dPolylineVertex(OdGePoint3d(0, 0, 0)));
  p3->appendVertex(new OdDb3dPolylineVertex(OdGePoint3d(1, 2, 3)));
  auto* control = new OdDb3dPolylineVertex(OdGePoint3d(4, 5, 6));
  control->setVertexType(OdDb::k3dControlVertex);
  p3->appendVertex(control);
  append(db, p3);

  auto* faces = new OdDbPolyFaceMesh();
  for (auto p : {OdGePoint3d(0, 0, 0), OdGePoint3d(1, 0, 0), OdGePoint3d(1, 1, 0), OdGePoint3d(0, 1, 1)})
    faces->appendVertex(new OdDbPolyFaceMeshVertex(p));
  faces->appendFaceRecord(new OdDbFaceRecord(1, 2, 3, -4));
  append(db, faces);

  auto* mesh = new OdDbPolygonMesh(OdDb::kSimpleMesh, 2, 3);
  for (int m = 0; m < 2; ++m)
    for (int n = 0; n < 3; ++n) mesh->appendVertex(new OdDbPolygonMeshVertex(OdGePoint3d(m, n, m * n)));
  mesh->makeNClosed();
  append(db, mesh);

  // A block with an attribute definition, and a reference with its attribute.
  OdDbObjectId doorId;
  {
    OdDbBlockTable* blocks = nullptr;
    db.getBlockTable(blocks, OdDb::kForWrite);
    auto* door = new OdDbBlockTableRecord();
    door->setName(u"Door");
    blocks->add(doorId, door);
    door->appendOdDbEntity(new OdDbLine(OdGePoint3d(0, 0, 0), OdGePoint3d(1, 2, 0)));
    auto* def = new OdDbAttributeDefinition(OdGePoint3d(0, 2, 0), u"D-01", u"NUMBER", u"Door number");
    def->setHeight(0.5);
    door->appendOdDbEntity(def);
    auto* fixed = new OdDbAttributeDefinition(OdGePoint3d(0, 3, 0), u"wood", u"MATERIAL", u"");
    fixed->setConstant(true);
    door->appendOdDbEntity(fixed);
    // appendOdDbEntity leaves entities open for write.
    OdDbBlockTableRecordIterator* it = nullptr;
    door->newIterator(it);
    for (; !it->done(); it->step()) {
      OdDbEntity* e = nullptr;
      oddbOpenObject(e, it->getEntityId(), OdDb::kForNotify);
      e->close();
      e->close();
    }
    delete it;
    door->close();
    blocks->close();
  }
  auto* ref = new OdDbBlockReference(OdGePoint3d(50, 0, 0), doorId);
  ref->setRotation(0.5);
  ref->setScaleFactors(OdGeScale3d(2, 2, 2));
  auto* att = new OdDbAttribute();
  att->setTag(u"NUMBER");
  att->setTextString(u"D-17");
  att->setPosition(OdGePoint3d(50, 4, 0));
  att->setHeight(1);
  ref->appendAttribute(att);
  append(db, ref);
  append(db, new OdDbBlockReference(OdGePoint3d(60, 0, 0), doorId));

  auto* dim = new OdDbRotatedDimension(0, OdGePoint3d(0, -10, 0), OdGePoint3d(20, -10, 0), OdGePoint3d(10, -15, 0));
  dim->setDatabaseDefaults(&db);
  dim->useDefaultTextPosition();
  append(db, dim);

  auto* paperLine = new OdDbLine(OdGePoint3d(10, 10, 0), OdGePoint3d(100, 10, 0));
  append(db, paperLine, u"*Paper_Space");

  // A dictionary of the application with an xrecord and a nested dictionary.
  OdDbDictionary* nod = nullptr;
  ASSERT_EQ(db.getNamedObjectsDictionary(nod, OdDb::kForWrite), eOk);
  auto* mine = new OdDbDictionary();
  OdDbObjectId mineId;
  ASSERT_EQ(nod->setAt(u"MERROWIN_SETTINGS", mine, mineId), eOk);
  nod->close();
  auto* record = new OdDbXrecord();
  resbuf* data = odutBuildList(1, u"setting", 40, 1.25, 70, 3, 90, 123456, 10, (const double[]){1, 2, 3}, 0);
  record->setFromRbChain(data);
  odutRelRb(data);
  mine->setAt(u"Door", record);
  record->close();
  auto* nested = new OdDbDictionary();
  mine->setAt(u"Nested", nested);
  nested->close();
  mine->close();
}

}  // namespace dwgsdk_test

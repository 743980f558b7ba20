// Entities: properties, defaults, transforms, extents, polylines, block
// references with attributes, dimensions.
#include "drawingfixture.h"

using namespace dwgsdk_test;

namespace {
void expectNear(const OdGePoint3d& a, const OdGePoint3d& b, double tol = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
  EXPECT_NEAR(a.z, b.z, tol);
}
}  // namespace

TEST(Entity, PropertiesDefaultsAndForeignIds) {
  OdDbDatabase db;
  OdDbDatabase other;
  OdDbObjectId walls = addLayer(db, u"Walls", 4);
  ASSERT_EQ(db.setClayer(walls), eOk);
  ASSERT_EQ(db.setCeltscale(3), eOk);
  OdDbLine line;
  EXPECT_EQ(line.colorIndex(), 256);
  EXPECT_EQ(line.setColorIndex(257), eInvalidInput);
  EXPECT_EQ(line.setDatabaseDefaults(&db), eOk);
  EXPECT_EQ(line.layerId(), walls);
  EXPECT_EQ(line.linetypeScale(), 3);
  EXPECT_EQ(line.setLayer(u"nothing"), eNoDatabase);  // no working database and none of its own
  oddbHostApplicationServices()->setWorkingDatabase(&db);
  EXPECT_EQ(line.setLayer(u"nothing"), eKeyNotFound);
  EXPECT_EQ(line.setLayer(u"0"), eOk);
  oddbHostApplicationServices()->setWorkingDatabase(nullptr);
  auto* foreign = new OdDbLine();
  foreign->setLayer(other.clayer());
  OdDbBlockTableRecord* model = openSpace(db);
  EXPECT_EQ(model->appendOdDbEntity(foreign), eWrongDatabase);
  foreign->setLayer(walls);
  OdDbObjectId id;
  EXPECT_EQ(model->appendOdDbEntity(id, foreign), eOk);
  EXPECT_EQ(model->appendOdDbEntity(foreign), eAlreadyInDb);
  EXPECT_EQ(foreign->linetypeId(), db.celtype());  // an unset linetype becomes the current one
  EXPECT_EQ(foreign->blockId(), model->objectId());
  foreign->close();
  model->close();
}

TEST(Entity, CirclesArcsAndTextsTransformWithTheirGeometry) {
  OdGeMatrix3d move =
      OdGeMatrix3d::translation(OdGeVector3d(10, 0, 0)) * OdGeMatrix3d::rotation(M_PI / 2, OdGeVector3d::kZAxis);
  OdDbArc arc(OdGePoint3d(1, 0, 0), 2, 0, M_PI / 2);
  ASSERT_EQ(arc.transformBy(move), eOk);
  expectNear(arc.center(), OdGePoint3d(10, 1, 0));
  EXPECT_NEAR(arc.startAngle(), M_PI / 2, 1e-12);
  EXPECT_NEAR(arc.endAngle(), M_PI, 1e-12);
  OdGeMatrix3d uneven;
  uneven.entry[0][0] = 2;
  EXPECT_EQ(arc.transformBy(uneven), eNotApplicable);
  // A mirror keeps the arc's points.
  OdDbArc mirrored(OdGePoint3d(0, 0, 0), 1, 0, M_PI / 2);
  OdGeMatrix3d mirror;
  mirror.setToMirroring(OdGePoint3d::kOrigin, OdGeVector3d::kXAxis);
  ASSERT_EQ(mirrored.transformBy(mirror), eOk);
  OdGeExtents3d ext;
  mirrored.getGeomExtents(ext);
  expectNear(ext.minPoint(), OdGePoint3d(-1, 0, 0));
  expectNear(ext.maxPoint(), OdGePoint3d(0, 1, 0));
  OdDbText text(OdGePoint3d(0, 0, 0), u"abc");
  text.setHeight(2);
  ASSERT_EQ(text.transformBy(OdGeMatrix3d::scaling(2) * move), eOk);
  EXPECT_NEAR(text.height(), 4, 1e-12);
  EXPECT_NEAR(text.rotation(), M_PI / 2, 1e-12);
}

TEST(Entity, ExtentsOfCurves) {
  OdGeExtents3d ext;
  OdDbCircle circle(OdGePoint3d(1, 1, 0), OdGeVector3d::kZAxis, 2);
  ASSERT_EQ(circle.getGeomExtents(ext), eOk);
  expectNear(ext.minPoint(), OdGePoint3d(-1, -1, 0));
  expectNear(ext.maxPoint(), OdGePoint3d(3, 3, 0));
  OdDbArc quarter(OdGePoint3d(0, 0, 0), 1, 0.1, M_PI / 2 - 0.1);
  quarter.getGeomExtents(ext);
  EXPECT_LT(ext.maxPoint().x, 1.0);  // the arc does not reach angle 0
  OdDbPolyline bulged;
  bulged.addVertexAt(0, OdGePoint2d(0, 0), 1);  // a half circle bulging below the chord
  bulged.addVertexAt(1, OdGePoint2d(2, 0));
  bulged.getGeomExtents(ext);
  expectNear(ext.minPoint(), OdGePoint3d(0, -1, 0));
  expectNear(ext.maxPoint(), OdGePoint3d(2, 0, 0));
  OdDbPolyline empty;
  EXPECT_EQ(empty.getGeomExtents(ext), eInvalidExtents);
}

TEST(Entity, LightweightPolylineSegmentsAndWidths) {
  OdDbPolyline p;
  EXPECT_EQ(p.segType(0), OdDbPolyline::kEmpty);
  p.addVertexAt(0, OdGePoint2d(0, 0));
  EXPECT_EQ(p.segType(0), OdDbPolyline::kPoint);
  p.addVertexAt(1, OdGePoint2d(0, 0));
  p.addVertexAt(2, OdGePoint2d(5, 0), 0.5);
  EXPECT_EQ(p.segType(0), OdDbPolyline::kCoincident);
  EXPECT_EQ(p.segType(1), OdDbPolyline::kLine);
  EXPECT_EQ(p.segType(2), OdDbPolyline::kEmpty);
  p.setClosed(true);
  EXPECT_EQ(p.segType(2), OdDbPolyline::kArc);
  double s, e;
  ASSERT_EQ(p.getWidthsAt(0, s, e), eOk);
  EXPECT_EQ(s, -1);  // the default width
  EXPECT_FALSE(p.hasWidth());
  EXPECT_EQ(p.getWidthsAt(3, s, e), eInvalidIndex);
  p.setConstantWidth(0.5);
  double w;
  EXPECT_EQ(p.getConstantWidth(w), eOk);
  EXPECT_EQ(w, 0.5);
  p.setWidthsAt(1, 0.5, 1);
  EXPECT_EQ(p.getConstantWidth(w), eNotApplicable);
  OdGePoint3d wcs;
  p.setNormal(OdGeVector3d(0, 0, -1));
  p.setElevation(2);
  p.getPointAt(2, wcs);
  expectNear(wcs, OdGePoint3d(-5, 0, -2));
}

TEST(Entity, ComplexPolylinesKeepTheirVertexObjects) {
  OdDbDatabase db;
  auto* p = new OdDb2dPolyline();
  p->appendVertex(new OdDb2dVertex(OdGePoint3d(1, 1, 0)));
  auto* fit = new OdDb2dVertex(OdGePoint3d(2, 2, 0));
  fit->setVertexType(OdDb::k2dSplineFitVertex);
  p->appendVertex(fit);
  p->setElevation(3);
  OdDbObjectIterator* pending = p->vertexIterator();
  ASSERT_NE(pending->entity(), nullptr);  // not in a database: the vertices themselves
  delete pending;
  OdDbObjectId id = append(db, p);
  OdDb2dPolyline* back = nullptr;
  ASSERT_EQ(oddbOpenObject(back, id, OdDb::kForRead), eOk);
  OdDbObjectIterator* it = back->vertexIterator();
  int n = 0;
  for (; !it->done(); it->step(), ++n) {
    EXPECT_EQ(it->entity(), nullptr);
    OdDb2dVertex* v = nullptr;
    ASSERT_EQ(oddbOpenObject(v, it->objectId(), OdDb::kForRead), eOk);
    EXPECT_EQ(v->ownerId(), id);
    if (n == 1) {
      EXPECT_EQ(v->vertexType(), OdDb::k2dSplineFitVertex);
      expectNear(back->vertexPosition(*v), OdGePoint3d(2, 2, 3));
    }
    v->close();
  }
  delete it;
  EXPECT_EQ(n, 2);
  back->close();

  OdDbPolyFaceMesh mesh;
  mesh.appendVertex(new OdDbPolyFaceMeshVertex(OdGePoint3d()));
  OdDbFaceRecord beyond(1, 2, 0, 0);  // refused faces stay with the caller
  EXPECT_EQ(mesh.appendFaceRecord(&beyond), eInvalidIndex);
  auto* face = new OdDbFaceRecord(1, -1, 0, 0);
  EXPECT_EQ(mesh.appendFaceRecord(face), eOk);
  auto* late = new OdDbPolyFaceMeshVertex(OdGePoint3d());
  EXPECT_EQ(mesh.appendVertex(late), eInvalidInput);
  delete late;
  EXPECT_FALSE(face->isEdgeVisibleAt(1));
  EXPECT_EQ(mesh.numVertices(), 1);
  EXPECT_EQ(mesh.numFaces(), 1);
}

TEST(Entity, BlockReferencesTransformsAttributesAndExtents) {
  OdDbDatabase db;
  OdDbBlockTable* blocks = nullptr;
  db.getBlockTable(blocks, OdDb::kForWrite);
  auto* box = new OdDbBlockTableRecord();
  box->setName(u"Box");
  OdDbObjectId boxId;
  blocks->add(boxId, box);
  box->appendOdDbEntity(new OdDbLine(OdGePoint3d(0, 0, 0), OdGePoint3d(2, 1, 0)));
  auto* def = new OdDbAttributeDefinition(OdGePoint3d(1, 1, 0), u"default", u"TAG", u"Tag?");
  def->setHeight(0.5);
  box->appendOdDbEntity(def);
  blocks->close();

  auto* ref = new OdDbBlockReference(OdGePoint3d(10, 0, 0), boxId);
  ref->setRotation(M_PI / 2);
  ref->setScaleFactors(OdGeScale3d(2));
  expectNear(ref->blockTransform() * OdGePoint3d(1, 0, 0), OdGePoint3d(10, 2, 0));
  auto* att = new OdDbAttribute();
  ASSERT_EQ(att->setAttributeFromBlock(def, ref->blockTransform()), eOk);
  EXPECT_EQ(att->tag(), OdString(u"TAG"));
  EXPECT_EQ(att->textString(), OdString(u"default"));
  expectNear(att->position(), OdGePoint3d(8, 2, 0));
  EXPECT_NEAR(att->height(), 1, 1e-12);
  ASSERT_EQ(ref->appendAttribute(att), eOk);
  def->close();
  box->close();
  OdGeExtents3d ext;
  ASSERT_EQ(ref->geomExtentsBestFit(ext), eOk);
  // The rotated line and the attribute (one unit high, to the left of its upward baseline).
  expectNear(ext.minPoint(), OdGePoint3d(7, 0, 0), 1e-6);
  EXPECT_NEAR(ext.maxPoint().x, 10, 1e-9);
  OdDbObjectId refId = append(db, ref);
  EXPECT_FALSE(att->objectId().isNull());  // joined the database with its reference
  EXPECT_EQ(att->ownerId(), refId);

  // A block cannot take a reference to itself.
  OdDbBlockTableRecord* boxAgain = nullptr;
  oddbOpenObject(boxAgain, boxId, OdDb::kForWrite);
  auto* self = new OdDbBlockReference(OdGePoint3d(), boxId);
  EXPECT_EQ(boxAgain->appendOdDbEntity(self), eSelfReference);
  delete self;
  boxAgain->close();

  OdDbBlockReference* moved = nullptr;
  oddbOpenObject(moved, refId, OdDb::kForWrite);
  ASSERT_EQ(moved->transformBy(OdGeMatrix3d::translation(OdGeVector3d(0, 5, 0))), eOk);
  expectNear(moved->position(), OdGePoint3d(10, 5, 0));
  EXPECT_NEAR(moved->rotation(), M_PI / 2, 1e-12);
  EXPECT_NEAR(moved->scaleFactors().sx, 2, 1e-12);
  OdDbObjectIterator* it = moved->attributeIterator();
  OdDbAttribute* a = nullptr;
  ASSERT_EQ(oddbOpenObject(a, it->objectId(), OdDb::kForRead), eOk);
  expectNear(a->position(), OdGePoint3d(8, 7, 0));
  a->close();
  delete it;
  moved->close();
}

TEST(Entity, RotatedDimensionLaysItselfOut) {
  OdDbDatabase db;
  auto* dim = new OdDbRotatedDimension();
  oddbHostApplicationServices()->setWorkingDatabase(&db);
  ASSERT_EQ(dim->setDatabaseDefaults(), eOk);
  oddbHostApplicationServices()->setWorkingDatabase(nullptr);
  EXPECT_EQ(dim->dimensionStyle(), db.dimstyle());
  dim->setXLine1Point(OdGePoint3d(0, 0, 0));
  dim->setXLine2Point(OdGePoint3d(10, 0, 0));
  dim->setDimLinePoint(OdGePoint3d(5, 5, 0));
  ASSERT_EQ(dim->useDefaultTextPosition(), eOk);
  ASSERT_EQ(dim->recomputeDimBlock(), eOk);
  double value;
  dim->measurement(value);
  EXPECT_NEAR(value, 10, 1e-12);
  // Above the dimension line by the gap and half the text height.
  expectNear(dim->textPosition(), OdGePoint3d(5, 5 + 0.625 + 1.25, 0));
  dim->setTextPosition(dim->textPosition() + OdGeVector3d(1, 0, 0));
  EXPECT_FALSE(dim->isUsingDefaultTextPosition());
  OdDbObjectId id = append(db, dim);
  OdDbRotatedDimension* back = nullptr;
  oddbOpenObject(back, id, OdDb::kForRead);
  OdDbBlockTableRecord* block = nullptr;
  ASSERT_EQ(oddbOpenObject(block, back->dimBlockId(), OdDb::kForRead), eOk);
  EXPECT_TRUE(block->isAnonymous());
  int lines = 0, texts = 0;
  OdDbBlockTableRecordIterator* it = nullptr;
  block->newIterator(it);
  for (; !it->done(); it->step()) {
    OdDbEntity* e = nullptr;
    it->getEntity(e);
    if (OdDbLine::cast(e)) ++lines;
    if (auto* t = OdDbMText::cast(e)) {
      ++texts;
      EXPECT_EQ(t->contents(), OdString(u"10"));
    }
    e->close();
  }
  delete it;
  EXPECT_EQ(lines, 7);  // two extension lines, the dimension line, two arrows of two strokes
  EXPECT_EQ(texts, 1);
  block->close();
  back->close();
}

// Round trips through DXF: what the layer writes it reads back unchanged,
// and ezdxf agrees with it on files written both ways.
#include <map>

#include "drawingfixture.h"
#include "dxfhelpers.h"

using namespace dwgsdk_test;

TEST(DxfRoundTrip, EveryKindComesBackUnchanged) {
  TempFolder folder;
  OdDbDatabase db;
  buildEveryKind(db);
  auto first = folder / "first.dxf";
  ASSERT_EQ(db.writeFile(odPath(first)), eOk);
  OdDbDatabase back(false);
  ASSERT_EQ(back.readFile(odPath(first)), eOk);
  auto second = folder / "second.dxf";
  ASSERT_EQ(back.writeFile(odPath(second)), eOk);
  // The writer is deterministic and handles survive, so unchanged means byte for byte.
  EXPECT_EQ(readText(first), readText(second));
}

TEST(DxfRoundTrip, ABlockWhoseLayoutIsOutsideTheObjectTreeWritesNoPointerToIt) {
  // The layouts' dictionary taken out of the named-object dictionary: the
  // layouts are not written, so the block records must not point at them,
  // or the file would not read back.
  TempFolder folder;
  OdDbDatabase db;
  OdDbDictionary* named = nullptr;
  ASSERT_EQ(db.getNamedObjectsDictionary(named, OdDb::kForWrite), eOk);
  ASSERT_EQ(named->remove(u"ACAD_LAYOUT"), eOk);
  named->close();
  auto path = folder / "nolayouts.dxf";
  ASSERT_EQ(db.writeFile(odPath(path)), eOk);
  OdDbDatabase back(false);
  EXPECT_EQ(back.readFile(odPath(path)), eOk);
}

TEST(DxfRoundTrip, EzdxfLoadsAndAuditsWhatWeWrite) {
  REQUIRE_EZDXF();
  TempFolder folder;
  OdDbDatabase db;
  buildEveryKind(db);
  auto path = folder / "ours.dxf";
  ASSERT_EQ(db.writeFile(odPath(path)), eOk);
  int status = 0;
  std::string out = runPython(folder,
                              R"(
import ezdxf, collections
doc = ezdxf.readfile(r')" + path.string() +
                                  R"(')
a = doc.audit()
print('errors', len(a.errors), 'fixes', len(a.fixes))
for e in a.errors: print('E', e.message)
for e in a.fixes: print('F', e.message)
c = collections.Counter(e.dxftype() for e in doc.modelspace())
print(sorted(c.items()))
)",
                              status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("errors 0 fixes 0"), std::string::npos) << out;
  std::cout << out;
}

namespace {

/// Counts the live entities of a space by DXF kind.
std::map<std::string, int> kindsOf(OdDbDatabase& db, const OdChar* space = u"*Model_Space") {
  std::map<std::string, int> kinds;
  OdDbBlockTableRecord* block = openSpace(db, space);
  OdDbBlockTableRecordIterator* it = nullptr;
  block->newIterator(it);
  for (; !it->done(); it->step()) {
    OdDbEntity* e = nullptr;
    EXPECT_EQ(it->getEntity(e), eOk);
    kinds[winsim::toUtf8(e->isA()->name().view())]++;
    e->close();
  }
  delete it;
  block->close();
  return kinds;
}

const char* kEzdxfDrawing = R"(
import ezdxf, sys
version, path = sys.argv[1], sys.argv[2]
doc = ezdxf.new(version, setup=True)
doc.layers.add('Pipes', color=5, linetype='DASHED')
doc.appids.add('MERROWIN')
msp = doc.modelspace()
line = msp.add_line((1, 2, 3), (4, 5, 6), dxfattribs={'layer': 'Pipes', 'color': 2})
line.set_xdata('MERROWIN', [(1000, 'caf\u00e9 \u4e2d'), (1002, '{'), (1040, 1.5), (1070, 3), (1071, 99999), (1010, (1, 2, 3)), (1002, '}')])
msp.add_circle((5, 5), 2.5)
msp.add_arc((0, 0), 3, 30, 120)
msp.add_point((7, 8, 9))
msp.add_text('Gr\u00fc\u00dfe', dxfattribs={'height': 2.5, 'rotation': 30, 'insert': (1, 1)})
msp.add_mtext('first\\Psecond', dxfattribs={'char_height': 2, 'insert': (10, 10), 'width': 30})
msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (10, 0, 1, 2, 0), (10, 10)], format='xyseb', close=True)
msp.add_polyline2d([(0, 0), (5, 0), (5, 5)], close=True)
msp.add_polyline3d([(0, 0, 0), (1, 2, 3), (4, 5, 6)])
mesh = msp.add_polymesh((3, 4))
for m in range(3):
    for n in range(4):
        mesh.set_mesh_vertex((m, n), (m, n, m * n))
pf = msp.add_polyface()
pf.append_face([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)])
block = doc.blocks.new('Valve')
block.add_line((0, 0), (1, 1))
block.add_attdef('TAG', (0, 2), dxfattribs={'height': 0.5})
ref = msp.add_blockref('Valve', (20, 0), dxfattribs={'rotation': 45, 'xscale': 2, 'yscale': 2})
ref.add_attrib('TAG', 'V-7', (20, 3))
dim = msp.add_linear_dim(base=(0, -5), p1=(0, 0), p2=(30, 0))
dim.render()
d = doc.rootdict.add_new_dict('MERROWIN_DATA')
x = d.add_xrecord('settings')
x.reset([(1, 'mode'), (40, 2.5), (70, 4)])
doc.saveas(path)
)";

}  // namespace

TEST(DxfRoundTrip, ReadsWhatEzdxfWritesInR2000AndR2018) {
  REQUIRE_EZDXF();
  TempFolder folder;
  for (const char* version : {"R2000", "R2018"}) {
    SCOPED_TRACE(version);
    auto path = folder / (std::string(version) + ".dxf");
    writeText(folder / "make.py", kEzdxfDrawing);
    std::string command = std::string(DWGSDK_PYTHON) + " " + (folder / "make.py").string() + " " + version + " " +
                          path.string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    OdDbDatabase db(false);
    ASSERT_EQ(db.readFile(odPath(path)), eOk);
    auto kinds = kindsOf(db);
    EXPECT_EQ(kinds["AcDbLine"], 1);
    EXPECT_EQ(kinds["AcDbCircle"], 1);
    EXPECT_EQ(kinds["AcDbArc"], 1);
    EXPECT_EQ(kinds["AcDbPoint"], 1);
    EXPECT_EQ(kinds["AcDbText"], 1);
    EXPECT_EQ(kinds["AcDbMText"], 1);
    EXPECT_EQ(kinds["AcDbPolyline"], 1);
    EXPECT_EQ(kinds["AcDb2dPolyline"], 1);
    EXPECT_EQ(kinds["AcDb3dPolyline"], 1);
    EXPECT_EQ(kinds["AcDbPolygonMesh"], 1);
    EXPECT_EQ(kinds["AcDbPolyFaceMesh"], 1);
    EXPECT_EQ(kinds["AcDbBlockReference"], 1);
    EXPECT_EQ(kinds["AcDbRotatedDimension"], 1);

    // Values, texts in either encoding, and the extended data.
    OdDbBlockTableRecord* model = openSpace(db);
    OdDbBlockTableRecordIterator* it = nullptr;
    model->newIterator(it);
    for (; !it->done(); it->step()) {
      OdDbEntity* e = nullptr;
      it->getEntity(e);
      if (auto* line = OdDbLine::cast(e)) {
        EXPECT_EQ(line->startPoint(), OdGePoint3d(1, 2, 3));
        EXPECT_EQ(line->layer(), OdString(u"Pipes"));
        EXPECT_EQ(line->colorIndex(), 2);
        resbuf* xd = line->xData(u"MERROWIN");
        ASSERT_NE(xd, nullptr);
        ASSERT_NE(xd->rbnext, nullptr);
        EXPECT_EQ(OdString(xd->rbnext->resval.rstring), OdString(u"caf\u00e9 \u4e2d"));
        int count = 0;
        for (resbuf* rb = xd; rb; rb = rb->rbnext) ++count;
        EXPECT_EQ(count, 8);
        odutRelRb(xd);
      } else if (auto* text = OdDbText::cast(e)) {
        EXPECT_EQ(text->textString(), OdString(u"Gr\u00fc\u00dfe"));
        EXPECT_NEAR(text->rotation(), M_PI / 6, 1e-12);
      } else if (auto* arc = OdDbArc::cast(e)) {
        EXPECT_NEAR(arc->startAngle(), M_PI / 6, 1e-12);
      } else if (auto* mesh = OdDbPolygonMesh::cast(e)) {
        EXPECT_EQ(mesh->mSize(), 3);
        EXPECT_EQ(mesh->nSize(), 4);
      } else if (auto* ref = OdDbBlockReference::cast(e)) {
        OdDbObjectIterator* attributes = ref->attributeIterator();
        ASSERT_FALSE(attributes->done());
        OdDbAttribute* a = nullptr;
        ASSERT_EQ(oddbOpenObject(a, attributes->objectId(), OdDb::kForRead), eOk);
        EXPECT_EQ(a->tag(), OdString(u"TAG"));
        EXPECT_EQ(a->textString(), OdString(u"V-7"));
        a->close();
        delete attributes;
      }
      e->close();
    }
    delete it;
    model->close();

    OdDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, OdDb::kForRead), eOk);
    OdDbObject* dataObject = nullptr;
    ASSERT_EQ(nod->getAt(u"MERROWIN_DATA", dataObject, OdDb::kForRead), eOk);
    auto* data = OdDbDictionary::cast(dataObject);
    ASSERT_NE(data, nullptr);
    nod->close();
    OdDbObject* settings = nullptr;
    ASSERT_EQ(data->getAt(u"settings", settings, OdDb::kForRead), eOk);
    resbuf* chain = nullptr;
    ASSERT_EQ(OdDbXrecord::cast(settings)->rbChain(&chain), eOk);
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(OdString(chain->resval.rstring), OdString(u"mode"));
    odutRelRb(chain);
    settings->close();
    data->close();

    // Written again by us, ezdxf still reads and audits it.
    auto again = folder / (std::string(version) + "-again.dxf");
    ASSERT_EQ(db.writeFile(odPath(again)), eOk);
    int status = 0;
    std::string out = runPython(folder, R"(
import ezdxf, collections, re
doc = ezdxf.readfile(r')" + again.string() + R"(')
# R2000 carries characters outside its code page as \U+XXXX, which ezdxf leaves in xdata.
unescape = lambda s: re.sub(r'\\U\+([0-9A-Fa-f]{4})', lambda m: chr(int(m.group(1), 16)), s)
a = doc.audit()
print('errors', len(a.errors))
for e in a.errors: print('E', e.message)
print(sorted(collections.Counter(e.dxftype() for e in doc.modelspace()).items()))
line = doc.modelspace().query('LINE')[0]
print((1000, unescape(line.get_xdata('MERROWIN')[0][1])))
)",
                                status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("errors 0"), std::string::npos) << out;
    EXPECT_NE(out.find("(1000, 'caf\xc3\xa9 \xe4\xb8\xad')"), std::string::npos) << out;
  }
}

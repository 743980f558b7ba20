// A first drawing out and in again.
#include "dxfhelpers.h"

using namespace dwgsdk_test;

TEST(Smoke, WriteReadAndAudit) {
  TempFolder folder;
  OdDbDatabase db;
  OdDbBlockTable* blocks = nullptr;
  ASSERT_EQ(db.getBlockTable(blocks, OdDb::kForRead), eOk);
  OdDbBlockTableRecord* model = nullptr;
  ASSERT_EQ(blocks->getAt(u"*Model_Space", model, OdDb::kForWrite), eOk);
  blocks->close();
  auto* line = new OdDbLine(OdGePoint3d(0, 0, 0), OdGePoint3d(10, 5, 0));
  OdDbObjectId id;
  ASSERT_EQ(model->appendOdDbEntity(id, line), eOk);
  line->close();
  model->close();
  auto path = folder / "smoke.dxf";
  ASSERT_EQ(db.writeFile(odPath(path)), eOk);
  OdDbDatabase back(false);
  ASSERT_EQ(back.readFile(odPath(path)), eOk);
  REQUIRE_EZDXF();
  int status = 0;
  std::string out = runPython(folder, "import ezdxf\ndoc = ezdxf.readfile('" + path.string() +
                                          "')\na = doc.audit()\nprint(len(a.errors), len(a.fixes))\nfor e in a.errors: print(e)\nfor e in a.fixes: print(e)\nprint(len(doc.modelspace()))\n",
                              status);
  EXPECT_EQ(status, 0) << out;
  std::cout << out;
}

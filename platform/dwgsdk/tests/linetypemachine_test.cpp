// The linetype file that ships beside the drawing layer is found and read
// also while a simulated machine is current (the build's folder then lies
// outside the machine's drives).
#include <gtest/gtest.h>

#include "DbDatabase.h"
#include "DbSymbolTable.h"
#include "testing/tempmachine.h"

namespace {

TEST(LinetypesOnAMachine, TheShippedMetricFileLoads) {
  winsim::testing::TempMachine machine;
  OdDbDatabase db;
  ASSERT_EQ(db.loadLineTypeFile(u"DASH_DOT", u"acadiso.lin"), eOk);
  OdDbLinetypeTable* table = nullptr;
  ASSERT_EQ(db.getLinetypeTable(table, OdDb::kForRead), eOk);
  EXPECT_TRUE(table->has(u"DASH_DOT"));
  table->close();
  EXPECT_EQ(db.loadLineTypeFile(u"DASH", u"C:\\missing.lin"), eFileNotFound);
}

}  // namespace

#include "core/workingdatabase.h"

#include <gtest/gtest.h>

#include "DbDatabase.h"
#include "kxap.h"
#include "kxhost.h"
#include "testing/tempmachine.h"

namespace {

TEST(WorkingDatabase, NullMeansTheHostsWorkingDatabase) {
  winsim::testing::TempMachine machine;
  KxApDocument* document = kxhost::newDocument();
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(mwcommon::resolveDatabase(nullptr), document->database());
  EXPECT_EQ(mwcommon::resolveDatabase(nullptr), oddbHostApplicationServices()->workingDatabase());

  // Another document becomes current: the rule follows the working database.
  KxApDocument* second = kxhost::newDocument();
  EXPECT_EQ(mwcommon::resolveDatabase(nullptr), second->database());
  kxhost::endSession();
}

TEST(WorkingDatabase, AGivenDatabaseIsUsedEvenWhenItIsNotTheWorkingOne) {
  winsim::testing::TempMachine machine;
  kxhost::newDocument();
  OdDbDatabase own(true);
  EXPECT_NE(&own, oddbHostApplicationServices()->workingDatabase());
  EXPECT_EQ(mwcommon::resolveDatabase(&own), &own);
  kxhost::endSession();
}

TEST(WorkingDatabase, WithoutADrawingThereIsNone) {
  winsim::testing::TempMachine machine;
  kxhost::endSession();
  EXPECT_EQ(mwcommon::resolveDatabase(nullptr), nullptr);
}

}  // namespace

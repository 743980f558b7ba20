// Numbers and angles as text in the units the drawing asks for: the host
// formats them with the database's linear unit mode and precision.
#include "DbDatabase.h"
#include "HvDbUtilsStrings.h"
#include "core/workingdatabase.h"
#include "kxdb.h"

namespace {

// The buffer the host's formatting fills.
constexpr int kNumberTextSize = 104;
static_assert(kNumberTextSize >= kKxNumberTextSize, "the host writes up to kKxNumberTextSize characters");

using Formatter = int (*)(double, int, int, OdChar*);

CString formatWithDrawingUnits(Formatter format, double value, OdDbDatabase* database) {
  database = mwcommon::resolveDatabase(database);
  if (!database) return CString();
  WCHAR text[kNumberTextSize] = {};
  format(value, database->lunits(), database->luprec(), text);
  text[kNumberTextSize - 1] = 0;
  return CString(text);
}

}  // namespace

namespace HvDbUtils {

CString DoubleToStr(double value, OdDbDatabase* database) { return formatWithDrawingUnits(kxdbRToS, value, database); }

// With the linear unit mode and precision, as DoubleToStr has them, not
// AUNITS and AUPREC; LUNITS 5 is no angle mode, and the host then writes
// decimal degrees.
CString AngleToStr(double angle, OdDbDatabase* database) { return formatWithDrawingUnits(kxdbAngToS, angle, database); }

}  // namespace HvDbUtils

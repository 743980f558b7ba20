// The host's database functions: the UCS matrix and number formatting.
#pragma once

#include "Ge.h"
#include "OdTypes.h"
#include "kxdefs.h"

class OdDbDatabase;

/// The UCS-to-WCS matrix of a database's current UCS (null: the working
/// database). False, with the identity, when there is no database or its UCS
/// axes do not span a plane.
bool kxdbUcsMatrix(OdGeMatrix3d& matrix, OdDbDatabase* database = nullptr);

/// The longest text kxdbRToS and kxdbAngToS write, NUL included; callers
/// give a buffer of at least this many characters.
constexpr int kKxNumberTextSize = 64;

/// A distance as text. Unit modes: 1 scientific ("1.5500E+01"), 2 decimal
/// ("15.5000"), 3 engineering: feet and decimal inches ("1'-3.5000\""), 4
/// architectural: feet and inches with a fraction of 1/2^precision
/// ("1'-3 1/2\""), 5 fractional ("15 1/2"); the value is in inches for 3 and
/// 4. Precision 0-8: decimals, or the fraction's smallest denominator 2^p.
/// -1 takes LUNITS or LUPREC of the working database. A value too large for
/// its mode (1e15 and more) is written in scientific form, one that is not a
/// number as "NaN" or "Inf". RTERROR for a null buffer or a mode outside
/// -1..5 (the buffer then holds the decimal form).
int kxdbRToS(double value, int unit, int precision, OdChar* text);

/// An angle in radians as text, brought into [0, 360) degrees first. Unit
/// modes: 0 decimal degrees ("45.0000"), 1 degrees/minutes/seconds
/// ("45d30'15\"": precision 0 degrees, 1-2 minutes, 3-4 seconds, 5-8 seconds
/// with precision - 4 decimals), 2 grads ("50.0000g"), 3 radians
/// ("0.7854r"), 4 surveyor's units ("N 45d0'0\" E", precision as for 1; "N",
/// "E", "S" or "W" for the four directions). Precision 0-8. -1 takes AUNITS
/// or AUPREC. Any other mode is taken as decimal degrees and gives RTERROR.
int kxdbAngToS(double angle, int unit, int precision, OdChar* text);

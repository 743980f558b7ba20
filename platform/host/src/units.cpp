// Distances and angles as text, in the unit modes and precisions the host
// supports (see kxdb.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <string>

#include "DbDatabase.h"
#include "hoststate.h"
#include "kxdb.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// Beyond this the feet-and-inches and fraction forms would need more digits
// than a number text holds; such values are written in scientific form.
constexpr double kLargestFixed = 1e15;

std::string printed(const char* format, int precision, double value) {
  char buffer[kKxNumberTextSize];
  std::snprintf(buffer, sizeof buffer, format, precision, value);
  return buffer;
}

/// "-0.00" is written "0.00": a value that rounds to zero has no sign.
std::string withoutNegativeZero(std::string text) {
  if (!text.empty() && text[0] == '-' &&
      text.find_first_not_of("0.", 1) == text.find_first_of("eE")) {  // only zeros before any exponent
    text.erase(0, 1);
  }
  return text;
}

std::string scientific(double value, int precision) { return withoutNegativeZero(printed("%.*E", precision, value)); }

std::string decimal(double value, int precision) { return withoutNegativeZero(printed("%.*f", precision, value)); }

/// Whole units and a reduced fraction of a value counted in 1/denominator.
struct Fraction {
  std::int64_t whole;
  std::int64_t numerator;
  std::int64_t denominator;
};

Fraction fractionOf(std::int64_t count, std::int64_t denominator) {
  Fraction f{count / denominator, count % denominator, denominator};
  if (f.numerator != 0) {
    const std::int64_t divisor = std::gcd(f.numerator, f.denominator);
    f.numerator /= divisor;
    f.denominator /= divisor;
  }
  return f;
}

std::string engineering(double value, int precision) {
  const double magnitude = std::fabs(value);
  double feet = std::floor(magnitude / 12);
  const double scale = std::pow(10.0, precision);
  double inches = std::round((magnitude - feet * 12) * scale) / scale;
  if (inches >= 12) {
    feet += 1;
    inches = 0;
  }
  const bool negative = value < 0 && (feet > 0 || inches > 0);
  char buffer[kKxNumberTextSize];
  std::snprintf(buffer, sizeof buffer, "%s%.0f'-%.*f\"", negative ? "-" : "", feet, precision, inches);
  return buffer;
}

std::string architectural(double value, int precision) {
  const std::int64_t denominator = std::int64_t{1} << precision;
  const std::int64_t count = std::llround(std::fabs(value) * static_cast<double>(denominator));
  const std::int64_t perFoot = 12 * denominator;
  const std::int64_t feet = count / perFoot;
  const Fraction inches = fractionOf(count % perFoot, denominator);
  std::string text = (value < 0 && count > 0 ? "-" : "") + std::to_string(feet) + "'-" + std::to_string(inches.whole);
  if (inches.numerator != 0) text += " " + std::to_string(inches.numerator) + "/" + std::to_string(inches.denominator);
  return text + "\"";
}

std::string fractional(double value, int precision) {
  const std::int64_t denominator = std::int64_t{1} << precision;
  const std::int64_t count = std::llround(std::fabs(value) * static_cast<double>(denominator));
  const Fraction f = fractionOf(count, denominator);
  std::string text = value < 0 && count > 0 ? "-" : "";
  if (f.numerator == 0) return text + std::to_string(f.whole);
  if (f.whole != 0) text += std::to_string(f.whole) + " ";
  return text + std::to_string(f.numerator) + "/" + std::to_string(f.denominator);
}

std::string distanceText(double value, int unit, int precision) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  if (unit == 1 || std::fabs(value) >= kLargestFixed) return scientific(value, precision);
  switch (unit) {
    case 3:
      return engineering(value, precision);
    case 4:
      return architectural(value, precision);
    case 5:
      return fractional(value, precision);
    default:
      return decimal(value, precision);
  }
}

// Angles in degrees, minutes and seconds are counted in units of 1/10000 of
// a second, the finest step precision 8 asks for.
constexpr std::int64_t kUnitsPerSecond = 10000;
constexpr std::int64_t kUnitsPerDegree = 3600 * kUnitsPerSecond;
constexpr std::int64_t kUnitsPerTurn = 360 * kUnitsPerDegree;

/// The rounding step of a DMS precision, in those units.
std::int64_t dmsStep(int precision) {
  if (precision == 0) return kUnitsPerDegree;
  if (precision <= 2) return 60 * kUnitsPerSecond;
  if (precision <= 4) return kUnitsPerSecond;
  std::int64_t step = kUnitsPerSecond;
  for (int i = 4; i < precision; ++i) step /= 10;
  return step;
}

std::string dmsText(std::int64_t units, int precision) {
  const std::int64_t degrees = units / kUnitsPerDegree;
  const std::int64_t minutes = (units % kUnitsPerDegree) / (60 * kUnitsPerSecond);
  const std::int64_t rest = units % (60 * kUnitsPerSecond);
  std::string text = std::to_string(degrees) + "d";
  if (precision >= 1) text += std::to_string(minutes) + "'";
  if (precision >= 3 && precision <= 4) text += std::to_string(rest / kUnitsPerSecond) + "\"";
  if (precision >= 5) text += printed("%.*f", precision - 4, static_cast<double>(rest) / kUnitsPerSecond) + "\"";
  return text;
}

/// An angle in [0, 2pi) in DMS units, rounded to the precision's step; a
/// value that rounds up to a full turn is 0.
std::int64_t dmsUnits(double radians, int precision) {
  const std::int64_t step = dmsStep(precision);
  std::int64_t units = std::llround(radians * 180 / kPi * kUnitsPerDegree / static_cast<double>(step)) * step;
  if (units >= kUnitsPerTurn) units -= kUnitsPerTurn;
  return units;
}

std::string surveyorText(double radians, int precision) {
  const std::int64_t units = dmsUnits(radians, precision);
  const std::int64_t quarter = 90 * kUnitsPerDegree;
  if (units == 0) return "E";
  if (units == quarter) return "N";
  if (units == 2 * quarter) return "W";
  if (units == 3 * quarter) return "S";
  if (units < quarter) return "N " + dmsText(quarter - units, precision) + " E";
  if (units < 2 * quarter) return "N " + dmsText(units - quarter, precision) + " W";
  if (units < 3 * quarter) return "S " + dmsText(3 * quarter - units, precision) + " W";
  return "S " + dmsText(units - 3 * quarter, precision) + " E";
}

/// A value of [0, turn) rounded to `precision` decimals, 0 for a value that
/// rounds up to the full turn.
std::string circularDecimal(double value, double turn, int precision, const char* suffix) {
  const double scale = std::pow(10.0, precision);
  double rounded = std::round(value * scale) / scale;
  if (rounded >= std::round(turn * scale) / scale) rounded = 0;
  return printed("%.*f", precision, rounded) + suffix;
}

std::string angleText(double radians, int unit, int precision) {
  if (!std::isfinite(radians)) return "NaN";
  double a = std::fmod(radians, 2 * kPi);
  if (a < 0) a += 2 * kPi;
  if (a >= 2 * kPi) a = 0;
  switch (unit) {
    case 1:
      return dmsText(dmsUnits(a, precision), precision);
    case 2:
      return circularDecimal(a * 200 / kPi, 400, precision, "g");
    case 3:
      return circularDecimal(a, 2 * kPi, precision, "r");
    case 4:
      return surveyorText(a, precision);
    default:
      return circularDecimal(a * 180 / kPi, 360, precision, "");
  }
}

void copyText(const std::string& text, OdChar* out) {
  const std::size_t length = std::min<std::size_t>(text.size(), kKxNumberTextSize - 1);
  for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<unsigned char>(text[i]);
  out[length] = 0;
}

int clampPrecision(int precision) { return std::clamp(precision, 0, 8); }

}  // namespace

int kxdbRToS(double value, int unit, int precision, OdChar* text) {
  if (!text) return RTERROR;
  OdDbDatabase* database = oddbHostApplicationServices()->workingDatabase();
  if (unit == -1) unit = database ? database->lunits() : 2;
  if (precision == -1) precision = database ? database->luprec() : 4;
  const bool known = unit >= 1 && unit <= 5;
  copyText(distanceText(value, known ? unit : 2, clampPrecision(precision)), text);
  return known ? RTNORM : RTERROR;
}

int kxdbAngToS(double angle, int unit, int precision, OdChar* text) {
  if (!text) return RTERROR;
  const kxhost::HostVariables& host = kxhost::hostVariables();
  if (unit == -1) unit = host.angleUnits;
  if (precision == -1) precision = host.anglePrecision;
  const bool known = unit >= 0 && unit <= 4;
  copyText(angleText(angle, known ? unit : 0, clampPrecision(precision)), text);
  return known ? RTNORM : RTERROR;
}

// Angles in degrees and radians, and bringing them into one turn.
#include <cmath>

#include "HvDbUtilsGeometry.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFullTurnRadians = 6.283185307179586;
constexpr double kFullTurnDegrees = 360.0;
// Within this of 0 or of a full turn an angle is taken as 0 (in the angle's
// own unit).
constexpr double kAngleSnap = 0.001;
// Whole turns are counted in a 32-bit integer; from this many on they do not
// fit.
constexpr double kTurnCountLimit = 2147483648.0;

/// `angle` less its whole turns (towards zero).
double withoutWholeTurns(double angle, double turn) {
  const double turns = angle / turn;
  if (std::fabs(turns) < kTurnCountLimit) return angle - turn * static_cast<int>(turns);
  // Too many turns to count: the remainder is exact and keeps the later
  // range loop short.
  return std::fmod(angle, turn);
}

double ruleAngle(double angle, double turn) {
  // Neither loop below would end for an infinite angle.
  if (!std::isfinite(angle)) return angle;
  if (angle < 0) angle = withoutWholeTurns(angle, turn);
  if (angle > turn) angle = withoutWholeTurns(angle, turn);
  if (std::fabs(angle) <= kAngleSnap) return 0;
  while (angle < 0) angle += turn;
  while (angle > turn) angle -= turn;
  if (std::fabs(angle - turn) <= kAngleSnap) return 0;
  return angle;
}

}  // namespace

namespace HvDbUtils {

double AngToRad(double degrees) { return degrees * kPi / 180.0; }

double RadToAng(double radians) { return radians * 180.0 / kPi; }

double RuleAngle(double degrees) { return ruleAngle(degrees, kFullTurnDegrees); }

double RuleRadAngle(double radians) { return ruleAngle(radians, kFullTurnRadians); }

}  // namespace HvDbUtils

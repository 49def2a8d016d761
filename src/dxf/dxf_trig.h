#ifndef SYMCONV_DXF_DXF_TRIG_H_
#define SYMCONV_DXF_DXF_TRIG_H_

#include <cmath>
#include <numbers>

#include "symbol/rounded_trig.h"

// Every sine, cosine and arc tangent that the geometry of inserts, curves,
// outlines and texts needs goes through these, correctly rounded so that
// every build gives the same doubles. Angles are in degrees.

/// sin and cos of degrees; multiples of 90 degrees give exact values.
inline void SinCosDegrees(double degrees, double& sine, double& cosine) {
  double reduced = std::fmod(degrees, 360.0);
  if (reduced < 0.0) reduced += 360.0;
  if (reduced == 0.0 || reduced == 90.0 || reduced == 180.0 ||
      reduced == 270.0) {
    const int quarter = static_cast<int>(reduced / 90.0);
    constexpr double kSin[] = {0.0, 1.0, 0.0, -1.0};
    constexpr double kCos[] = {1.0, 0.0, -1.0, 0.0};
    sine = kSin[quarter];
    cosine = kCos[quarter];
    return;
  }
  RoundedSinCos(reduced * (std::numbers::pi / 180.0), &sine, &cosine);
}

/// sin and cos of radians.
inline void SinCosRadians(double radians, double& sine, double& cosine) {
  RoundedSinCos(radians, &sine, &cosine);
}

/// The direction of (x, y) in degrees, in [0, 360); +0 for -0.
inline double DirectionDegrees(double x, double y) {
  double degrees = RoundedAtan2(y, x) * (180.0 / std::numbers::pi);
  if (degrees < 0.0) degrees += 360.0;
  if (degrees >= 360.0) degrees = 0.0;
  return degrees + 0.0;
}

#endif  // SYMCONV_DXF_DXF_TRIG_H_

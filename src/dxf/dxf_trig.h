#ifndef SYMCONV_DXF_DXF_TRIG_H_
#define SYMCONV_DXF_DXF_TRIG_H_

#include <cmath>
#include <numbers>

// Every sine, cosine and arc tangent that the geometry of inserts, curves
// and outlines needs goes through these, so that the one routine giving the
// same doubles on every build can be put in at this one place. Angles are
// in degrees.

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
  const double radians = reduced * (std::numbers::pi / 180.0);
  sine = std::sin(radians);
  cosine = std::cos(radians);
}

/// sin and cos of radians.
inline void SinCosRadians(double radians, double& sine, double& cosine) {
  sine = std::sin(radians);
  cosine = std::cos(radians);
}

/// The direction of (x, y) in degrees, in [0, 360); +0 for -0.
inline double DirectionDegrees(double x, double y) {
  double degrees = std::atan2(y, x) * (180.0 / std::numbers::pi);
  if (degrees < 0.0) degrees += 360.0;
  if (degrees >= 360.0) degrees = 0.0;
  return degrees + 0.0;
}

#endif  // SYMCONV_DXF_DXF_TRIG_H_

#include "dxf/text_trig.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The Taylor series on |x| <= pi/4, where the terms after x^19 fall below
// the last bit.
double SinSeries(double x) {
  const double x2 = x * x;
  double term = x;
  double sum = x;
  for (int n = 1; n <= 9; ++n) {
    term = -term * x2 / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

double CosSeries(double x) {
  const double x2 = x * x;
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n <= 9; ++n) {
    term = -term * x2 / ((2.0 * n - 1.0) * (2.0 * n));
    sum += term;
  }
  return sum;
}

// sin (cosine false) or cos of degrees: the angle is brought into
// [-45, 45] degrees around a quadrant, both steps exact.
double Evaluate(double degrees, bool cosine) {
  if (!std::isfinite(degrees)) return 0.0;
  const double turn = std::fmod(degrees, 360.0);
  const double quadrant = std::nearbyint(turn / 90.0);
  const double x = (turn - 90.0 * quadrant) * (kPi / 180.0);
  int q = static_cast<int>(quadrant) & 3;
  if (cosine) q = (q + 1) & 3;
  switch (q) {
    case 0:
      return SinSeries(x);
    case 1:
      return CosSeries(x);
    case 2:
      return -SinSeries(x);
    default:
      return -CosSeries(x);
  }
}

}  // namespace

// Adding 0 turns a -0 result into +0, so no "-0" reaches the output.
double SinDegrees(double degrees) { return Evaluate(degrees, false) + 0.0; }
double CosDegrees(double degrees) { return Evaluate(degrees, true) + 0.0; }

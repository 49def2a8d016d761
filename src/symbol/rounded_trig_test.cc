#include "symbol/rounded_trig.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "symbol/rounded_trig_slow.h"

namespace {

uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }
double FromBits(uint64_t b) { return std::bit_cast<double>(b); }

struct Reference {
  int function;  // 0 sin, 1 cos, 2 atan2
  uint64_t a;
  uint64_t b;
  uint64_t result;
};

constexpr Reference kReference[] = {
#include "symbol/rounded_trig_reference.inc"
};

double Evaluate(int function, double a, double b, bool slow) {
  switch (function) {
    case 0:
      return slow ? SlowRoundedSin(a) : RoundedSin(a);
    case 1:
      return slow ? SlowRoundedCos(a) : RoundedCos(a);
    default:
      return slow ? SlowRoundedAtan2(a, b) : RoundedAtan2(a, b);
  }
}

// Both paths against mpmath's values at 200 bits: degrees as .SYM arcs turn
// them into radians, the doubles next to k pi/2, tiny and huge arguments,
// atan2 over the quadrants, signed zeros and infinities.
TEST(RoundedTrigTest, LastBitDiffersFromIndependentReference) {
  int mismatches = 0;
  for (const Reference& row : kReference) {
    for (const bool slow : {false, true}) {
      const double got =
          Evaluate(row.function, FromBits(row.a), FromBits(row.b), slow);
      if (Bits(got) != row.result && ++mismatches <= 20) {
        ADD_FAILURE() << (slow ? "slow " : "") << "function " << row.function
                      << " of " << std::hexfloat << FromBits(row.a) << ", "
                      << FromBits(row.b) << ": got " << got << ", want "
                      << FromBits(row.result);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The arguments the conversion passes and the ones where a double-double
// evaluation is most likely to misround.
std::vector<double> ManyArguments() {
  constexpr double kDegree = 0.017453292519944444;  // as .SYM arcs have it
  std::vector<double> xs;
  // The 201 samples of arcs from every half degree over sweeps of 1 to 360.
  for (int start = 0; start < 720; ++start) {
    for (const int sweep : {1, 7, 45, 90, 179, 270, 360}) {
      const double s = start * 0.5 * kDegree;
      const double step = -0.005 * (sweep * kDegree);
      for (int i = 0; i < 201; ++i) xs.push_back(s + i * step);
    }
  }
  // Every whole and half degree over four turns each way.
  for (int d = -2880; d <= 2880; ++d) xs.push_back(d * 0.5 * kDegree);
  // The doubles next to k pi/2, from both sides of the fast range's edges.
  for (int k = -3000; k <= 3000; ++k) {
    const double x = k * 1.5707963267948966;
    double below = x, above = x;
    for (int i = 0; i < 40; ++i) {
      below = std::nextafter(below, -INFINITY);
      above = std::nextafter(above, INFINITY);
      xs.push_back(below);
      xs.push_back(above);
    }
  }
  // Around the tiny-argument shortcuts and the fast range's limit.
  for (const double edge : {0x1p-26, 0x1p-27, 0x1p20, 0x1p-60}) {
    double below = edge, above = edge;
    for (int i = 0; i < 2000; ++i) {
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, INFINITY);
      xs.insert(xs.end(), {below, above, -below, -above});
    }
  }
  return xs;
}

// The fast path against the quad path alone over more than a million
// arguments; the quad path must decide each of them on its own.
TEST(RoundedTrigTest, FastPathMisroundsAgainstQuadPath) {
  const std::vector<double> xs = ManyArguments();
  std::printf("comparing sin and cos of %zu arguments\n", xs.size());
  ASSERT_GE(xs.size(), 1000000u);
  const unsigned long undecided = SlowUndecidedCount();
  int mismatches = 0;
  for (const double x : xs) {
    for (int function = 0; function < 2; ++function) {
      const double fast = Evaluate(function, x, 0.0, false);
      const double slow = Evaluate(function, x, 0.0, true);
      if (Bits(fast) != Bits(slow) && ++mismatches <= 20) {
        ADD_FAILURE() << "function " << function << " of " << std::hexfloat << x
                      << ": fast " << fast << ", quad " << slow;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(SlowUndecidedCount(), undecided);
}

}  // namespace

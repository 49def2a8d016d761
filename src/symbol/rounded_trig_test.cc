#include "symbol/rounded_trig.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "symbol/rounded_trig_slow.h"

namespace {

// {0 sin, 1 cos, 2 atan2; first argument; second argument; result} as bits.
constexpr uint64_t kReference[][4] = {
#include "symbol/rounded_trig_reference.inc"
};

double Evaluate(uint64_t function, double a, double b, bool slow) {
  if (function == 0) return slow ? SlowRoundedSin(a) : RoundedSin(a);
  if (function == 1) return slow ? SlowRoundedCos(a) : RoundedCos(a);
  return slow ? SlowRoundedAtan2(a, b) : RoundedAtan2(a, b);
}

void ExpectSameBits(uint64_t function, double a, double b, double got,
                    double want, int* mismatches) {
  if (std::bit_cast<uint64_t>(got) != std::bit_cast<uint64_t>(want) &&
      ++*mismatches <= 20) {
    ADD_FAILURE() << "function " << function << " of " << std::hexfloat << a
                  << ", " << b << ": got " << got << ", want " << want;
  }
}

// Both paths against mpmath at 200 bits: degrees as .SYM arcs turn them
// into radians, the doubles next to k pi/2, tiny and huge arguments, atan2
// over the quadrants, signed zeros and infinities.
TEST(RoundedTrigTest, LastBitDiffersFromIndependentReference) {
  int mismatches = 0;
  for (const auto& [function, a, b, result] : kReference) {
    for (const bool slow : {false, true}) {
      const double x = std::bit_cast<double>(a), y = std::bit_cast<double>(b);
      ExpectSameBits(function, x, y, Evaluate(function, x, y, slow),
                     std::bit_cast<double>(result), &mismatches);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Arguments the conversion passes, and where double-double is most likely
// to misround: the 201 samples of arcs from every half degree, every half
// degree over four turns each way, the doubles next to k pi/2, the edges of
// the tiny-argument shortcuts and of the fast reduction's range.
std::vector<double> ManyArguments() {
  constexpr double kDegree = 0.017453292519944444;  // as .SYM arcs have it
  std::vector<double> xs;
  for (int start = 0; start < 720; ++start) {
    for (const int sweep : {1, 45, 90, 179, 270, 360}) {
      const double step = -0.005 * (sweep * kDegree);
      for (int i = 0; i < 201; ++i)
        xs.push_back(start * 0.5 * kDegree + i * step);
    }
  }
  for (int d = -2880; d <= 2880; ++d) xs.push_back(d * 0.5 * kDegree);
  std::vector<double> centres = {0x1p-26, 0x1p-27, 0x1p20, 0x1p-60};
  for (int k = -3000; k <= 3000; ++k) centres.push_back(k * 1.5707963267948966);
  for (const double centre : centres) {
    double below = centre, above = centre;
    for (int i = 0; i < 10; ++i) {
      below = std::nextafter(below, -INFINITY);
      above = std::nextafter(above, INFINITY);
      xs.insert(xs.end(), {below, above, -below, -above});
    }
  }
  return xs;
}

// The fast path against the quad path alone, which must decide each
// argument on its own.
TEST(RoundedTrigTest, FastPathMisroundsAgainstQuadPath) {
  const std::vector<double> xs = ManyArguments();
  std::printf("comparing sin and cos of %zu arguments\n", xs.size());
  ASSERT_GE(xs.size(), 1000000u);
  const unsigned long undecided = SlowUndecidedCount();
  int mismatches = 0;
  for (const double x : xs) {
    for (const uint64_t function : {0, 1}) {
      ExpectSameBits(function, x, 0.0, Evaluate(function, x, 0.0, false),
                     Evaluate(function, x, 0.0, true), &mismatches);
    }
  }
  for (std::size_t i = 0; i < xs.size(); i += 7) {  // both at once
    double sine, cosine;
    RoundedSinCos(xs[i], &sine, &cosine);
    ExpectSameBits(0, xs[i], 0.0, sine, SlowRoundedSin(xs[i]), &mismatches);
    ExpectSameBits(1, xs[i], 0.0, cosine, SlowRoundedCos(xs[i]), &mismatches);
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(SlowUndecidedCount(), undecided);
}

}  // namespace

#include "symbol/rounded_trig.h"

#include <quadmath.h>

#include <atomic>
#include <cmath>

#include "symbol/rounded_trig_slow.h"

// Each function first evaluates in double-double arithmetic (about 100
// correct bits) and keeps the result when every value within a generous
// error bound rounds to the same double. Otherwise, and for arguments the
// fast reduction does not cover, it evaluates in quad precision with
// libquadmath, whose reduction by pi/2 is exact for every argument.

namespace {

// A value hi + lo with |lo| <= ulp(hi) / 2.
struct DoubleDouble {
  double hi;
  double lo;
};

DoubleDouble twoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

DoubleDouble fastTwoSum(double a, double b) {  // |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

// Dekker's exact product; -ffp-contract=off keeps the compiler from fusing.
DoubleDouble twoProd(double a, double b) {
  constexpr double kSplit = 134217729.0;  // 2^27 + 1
  const double ta = kSplit * a;
  const double ah = ta - (ta - a);
  const double al = a - ah;
  const double tb = kSplit * b;
  const double bh = tb - (tb - b);
  const double bl = b - bh;
  const double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DoubleDouble add(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble s = twoSum(a.hi, b.hi);
  return fastTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

DoubleDouble mul(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble p = twoProd(a.hi, b.hi);
  return fastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// pi/2 in parts of 30 bits (the last of 53), so that k times any part but
// the last is exact for k < 2^23; the rest is below 2^-208.
constexpr double kHalfPiParts[] = {
    0x1.921fb54000000p+0,  0x1.10b4611800000p-30,  0x1.313198a000000p-61,
    0x1.701b839800000p-92, 0x1.129024e000000p-123, 0x1.114cf98e80417p-156};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// The fast reduction's range: quadrant numbers k below 2^20.
constexpr double kFastLimit = 0x1p20;
// Remainders below this go to the slow path; above it the reduction keeps
// a relative error below 2^-85 (its rounding errors scale with k 2^-60).
constexpr double kSmallestFastRemainder = 0x1p-60;
// The bound the rounding test assumes for the double-double results, far
// above the roughly 2^-85 the reduction and the series can reach.
constexpr double kFastErrorBound = 0x1p-75;

// (-1)^n / (2n+1)! and (-1)^n / (2n)! as double-doubles; the terms from n = 6
// on stay below 2^-37 of the result and are summed in plain doubles.
constexpr DoubleDouble kSinCoeffs[] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80}};
constexpr double kSinTail[] = {0x1.6124613a86d09p-33, -0x1.ae7f3e733b81fp-41,
                               0x1.952c77030ad4ap-49, -0x1.2f49b46814157p-57,
                               0x1.71b8ef6dcf572p-66, -0x1.761b41316381ap-75,
                               0x1.3f3ccdd165fa9p-84, -0x1.d1ab1c2dccea3p-94};
constexpr DoubleDouble kCosCoeffs[] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {-0x1.0000000000000p-1, 0x0.0p+0},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76}};
constexpr double kCosTail[] = {0x1.1eed8eff8d898p-29, -0x1.93974a8c07c9dp-37,
                               0x1.ae7f3e733b81fp-45, -0x1.6827863b97d97p-53,
                               0x1.e542ba4020225p-62, -0x1.0ce396db7f853p-70,
                               0x1.f2cf01972f578p-80, -0x1.88e85fc6a4e5ap-89};

// Horner's rule in z for the tail, then in double-double for the leading
// coefficients (|z| <= (pi/4)^2).
template <std::size_t N, std::size_t M>
DoubleDouble series(const DoubleDouble (&lead)[N], const double (&tail)[M],
                    DoubleDouble z) {
  double t = tail[M - 1];
  for (std::size_t i = M - 1; i-- > 0;) t = tail[i] + t * z.hi;
  DoubleDouble sum = add(lead[N - 1], mul({t, 0.0}, z));
  for (std::size_t i = N - 1; i-- > 0;) sum = add(lead[i], mul(sum, z));
  return sum;
}

// x - k pi/2 for the k nearest to x 2/pi, or false when x is outside the
// fast range or too near a multiple of pi/2 for the fast path's bound.
bool reduce(double x, DoubleDouble* r, int* quadrant) {
  if (!(std::fabs(x) < kFastLimit)) return false;
  const double k = std::floor(x * kTwoOverPi + 0.5);
  // x - k P0 is exact: k P0 is exact and within a factor 2 of x.
  DoubleDouble sum = {x - k * kHalfPiParts[0], 0.0};
  for (int i = 1; i < 5; ++i) {
    const DoubleDouble s = twoSum(sum.hi, -(k * kHalfPiParts[i]));
    sum = fastTwoSum(s.hi, s.lo + sum.lo);
  }
  sum = fastTwoSum(sum.hi, sum.lo - k * kHalfPiParts[5]);
  if (!(std::fabs(sum.hi) >= kSmallestFastRemainder)) return false;
  *r = sum;
  *quadrant = static_cast<int>(static_cast<long long>(k) & 3);
  return true;
}

DoubleDouble sinOfRemainder(DoubleDouble r) {
  return mul(r, series(kSinCoeffs, kSinTail, mul(r, r)));
}

DoubleDouble cosOfRemainder(DoubleDouble r) {
  return series(kCosCoeffs, kCosTail, mul(r, r));
}

// The double nearest to y when every value within the error bound rounds
// to the same double.
bool roundTested(DoubleDouble y, double* out) {
  const double e = std::fabs(y.hi) * kFastErrorBound;
  const double below = y.hi + (y.lo - e);
  const double above = y.hi + (y.lo + e);
  if (below != above) return false;
  *out = below;
  return true;
}

std::atomic<unsigned long> g_undecided{0};

// The same test for a quad result q. libquadmath's sinq, cosq and atan2q
// (from glibc's 128-bit long double code) are documented and measured to
// within a few units of q's last place, 2^-112 relative; the test allows
// 2^-100, so when it passes the exact value rounds to the same double as q.
// It fails only when the exact value lies within 2^-100 of halfway between
// two doubles, which no argument in the tests comes near; q rounded is then
// the best this path has, and the count lets the tests show it never ran.
double roundQuad(__float128 q) {
  const double d = static_cast<double>(q);
  const __float128 e = fabsq(q) * 0x1p-100;
  if (static_cast<double>(q - e) != d || static_cast<double>(q + e) != d) {
    g_undecided.fetch_add(1, std::memory_order_relaxed);
  }
  return d;
}

}  // namespace

unsigned long SlowUndecidedCount() { return g_undecided.load(); }

double SlowRoundedSin(double x) {
  return roundQuad(sinq(static_cast<__float128>(x)));
}

double SlowRoundedCos(double x) {
  return roundQuad(cosq(static_cast<__float128>(x)));
}

double SlowRoundedAtan2(double y, double x) {
  return roundQuad(
      atan2q(static_cast<__float128>(y), static_cast<__float128>(x)));
}

double RoundedSin(double x) {
  // sin x = x - x^3/6 + ..., within a quarter unit of x for |x| < 2^-26.
  if (std::fabs(x) < 0x1p-26) return x;
  DoubleDouble r;
  int quadrant;
  if (reduce(x, &r, &quadrant)) {
    DoubleDouble y = quadrant % 2 == 0 ? sinOfRemainder(r) : cosOfRemainder(r);
    if (quadrant >= 2) y = {-y.hi, -y.lo};
    double result;
    if (roundTested(y, &result)) return result;
  }
  if (!std::isfinite(x)) return x - x;
  return SlowRoundedSin(x);
}

double RoundedCos(double x) {
  // cos x = 1 - x^2/2 + ..., within a quarter unit of 1 for |x| < 2^-27.
  if (std::fabs(x) < 0x1p-27) return 1.0;
  DoubleDouble r;
  int quadrant;
  if (reduce(x, &r, &quadrant)) {
    DoubleDouble y = quadrant % 2 == 0 ? cosOfRemainder(r) : sinOfRemainder(r);
    if (quadrant == 1 || quadrant == 2) y = {-y.hi, -y.lo};
    double result;
    if (roundTested(y, &result)) return result;
  }
  if (!std::isfinite(x)) return x - x;
  return SlowRoundedCos(x);
}

double RoundedAtan2(double y, double x) { return SlowRoundedAtan2(y, x); }

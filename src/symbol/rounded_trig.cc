#include "symbol/rounded_trig.h"

#if __has_include(<quadmath.h>)
#include <quadmath.h>
#else
// clang links GCC's libquadmath but does not see its header: the three
// routines used here, as that header declares them.
extern "C" {
__float128 sinq(__float128);
__float128 cosq(__float128);
__float128 atan2q(__float128, __float128);
}
#endif

#include <atomic>
#include <cmath>
#include <cstdint>
#include <utility>

#include "symbol/rounded_trig_slow.h"

// Sine and cosine first evaluate in double-double arithmetic (at least 65
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
// The bound the rounding test assumes for the fast results, above the
// 2^-65 that the reduction (2^-84), the table (2^-106) and the plain-double
// corrections of sinCosOfRemainder (under 2^-66) add up to. About one
// argument in a few hundred then takes the quad path.
constexpr double kFastErrorBound = 0x1p-63;

// sin(i/64) and cos(i/64) as double-doubles (hi, lo, hi, lo), i up to 51:
// the remainder's nearest table point is at most 1/128 away.
constexpr double kSinCosTable[][4] = {
    {0x0.0p+0, 0x0.0p+0, 0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.fffaaaaeeeed5p-7, -0x1.2ab639a9f0776p-63, 0x1.fff000155549fp-1,
     0x1.28a28a03a5ef3p-55},
    {0x1.ffeaaaeeee86fp-6, -0x1.cd406fb224ae2p-60, 0x1.ffc00155527d3p-1,
     -0x1.3b54492d89b5bp-55},
    {0x1.7fdc01032fba9p-5, -0x1.599bdf46e997ap-59, 0x1.ff7006bfdf99fp-1,
     -0x1.8b3b560648d5fp-56},
    {0x1.ffaaaeeed4edbp-5, -0x1.2d16d32684b69p-59, 0x1.ff0015549f4d3p-1,
     0x1.328387b99426fp-55},
    {0x1.3facb12d1755bp-4, -0x1.921915299468bp-58, 0x1.fe7034129ef6fp-1,
     -0x1.cbf4337c96f97p-57},
    {0x1.7f701032550e4p-4, 0x1.afc2d1800501ap-60, 0x1.fdc06bf7e6b9bp-1,
     0x1.31902b535f8dbp-55},
    {0x1.bf1b78568391dp-4, 0x1.e91841dea4cc8p-58, 0x1.fcf0c800e99b1p-1,
     0x1.ea3d786d186acp-57},
    {0x1.feaaeee86ee36p-4, -0x1.afcb2bcc6f03bp-59, 0x1.fc015527d5bd3p-1,
     0x1.b68f35094efb8p-55},
    {0x1.1f0d3d7afceafp-3, -0x1.6ef95099769a5p-57, 0x1.faf22263c4bd3p-1,
     -0x1.52ace133a2769p-58},
    {0x1.3eb312c5d66cbp-3, 0x1.47d666b66cb91p-57, 0x1.f9c340a7cc428p-1,
     0x1.c5b6b063b7462p-55},
    {0x1.5e44fcfa126f3p-3, -0x1.6f443063f89b6p-57, 0x1.f874c2e1eecf6p-1,
     -0x1.c6514e1332b16p-55},
    {0x1.7dc102fbaf2b5p-3, 0x1.5ab50e23c97c3p-59, 0x1.f706bdf9ece1cp-1,
     -0x1.698c80c36dcb4p-55},
    {0x1.9d252d0cec312p-3, 0x1.9c43d80b1137dp-58, 0x1.f57948cff6797p-1,
     0x1.e3a0d3e03b1d4p-57},
    {0x1.bc6f84edc6199p-3, 0x1.9c1a56a7b0cabp-57, 0x1.f3cc7c3b3d16ep-1,
     -0x1.21a3ad28a3494p-57},
    {0x1.db9e15fb5a5d0p-3, -0x1.32e20d6cc6fc2p-57, 0x1.f20073086649fp-1,
     0x1.b940416c1984bp-56},
    {0x1.faaeed4f31577p-3, -0x1.15d88508e32b8p-57, 0x1.f01549f7deea1p-1,
     0x1.d3c1e99e5cafdp-55},
    {0x1.0cd00cef36436p-2, -0x1.9fb0a0c93e2b4p-56, 0x1.ee0b1fbc0f11cp-1,
     -0x1.bfd2380bbc3b1p-59},
    {0x1.1c37d64c6b876p-2, 0x1.46076fe0dcff4p-56, 0x1.ebe214f76efa8p-1,
     -0x1.02f9f12ba543ep-55},
    {0x1.2b8ddc43eb49fp-2, 0x1.1553899f2d807p-57, 0x1.e99a4c3a7cd83p-1,
     -0x1.2264b1bc53ce8p-55},
    {0x1.3ad129769d3d8p-2, 0x1.03d550487839ap-63, 0x1.e733ea0193d40p-1,
     -0x1.6428b3546ce13p-55},
    {0x1.4a00c9b0f3d20p-2, 0x1.823ba6bb08eadp-56, 0x1.e4af14b2a449cp-1,
     -0x1.68ca02e8a6833p-55},
    {0x1.591bc9fa2f597p-2, 0x1.7c74bac3fe0cbp-57, 0x1.e20bf49acd6c1p-1,
     -0x1.660aec7ef636bp-58},
    {0x1.682138a38d7f7p-2, -0x1.d889202444aadp-56, 0x1.df4ab3ebd875ep-1,
     -0x1.e2d8a7e6736c4p-55},
    {0x1.7710255764214p-2, -0x1.6ead7314bb6cep-57, 0x1.dc6b7eb995912p-1,
     0x1.4b364776dcd35p-58},
    {0x1.85e7a12826949p-2, 0x1.8a40e9b5face0p-56, 0x1.d96e82f71a9dcp-1,
     0x1.ff61bd5d2039dp-55},
    {0x1.94a6be9f546c5p-2, -0x1.69ce13e683f58p-56, 0x1.d653f073e4040p-1,
     -0x1.76236434bec37p-55},
    {0x1.a34c91cc50ccap-2, -0x1.a310e3b50cecdp-58, 0x1.d31bf8d8d7c06p-1,
     0x1.e60dd3089cbddp-56},
    {0x1.b1d8305321617p-2, -0x1.ae242cb99f519p-56, 0x1.cfc6cfa52ad9fp-1,
     0x1.8b5b5508f2a0dp-55},
    {0x1.c048b17b140a3p-2, 0x1.19fe6757e9fa7p-57, 0x1.cc54aa2b2972ep-1,
     0x1.4ee162ba83a98p-57},
    {0x1.ce9d2e3d4a51fp-2, -0x1.2fc8a12dae298p-57, 0x1.c8c5bf8ce1a84p-1,
     0x1.ab3d1a1590123p-56},
    {0x1.dcd4c15329c9ap-2, 0x1.0d4c6e171fd9ap-56, 0x1.c51a48b8b175ep-1,
     -0x1.1bbb43b9aa880p-57},
    {0x1.eaee8744b05f0p-2, -0x1.789b43c9b027dp-58, 0x1.c1528065b7d50p-1,
     -0x1.892111312e828p-55},
    {0x1.f8e99e76abc97p-2, 0x1.9d950af2d00a3p-58, 0x1.bd6ea310294f5p-1,
     0x1.31bbcc88c109dp-56},
    {0x1.0362939c69955p-1, -0x1.2d8cd78397b01p-55, 0x1.b96eeef58840ep-1,
     0x1.45a3cc78fade0p-58},
    {0x1.0a4021e9e1001p-1, -0x1.6f643a13914f6p-55, 0x1.b553a410c104ep-1,
     0x1.8ff7947027a15p-58},
    {0x1.110d0c4b69c3bp-1, 0x1.d918998809981p-55, 0x1.b11d04162a4c6p-1,
     0x1.1dd561efbc0c2p-56},
    {0x1.17c8e5f2eedb0p-1, 0x1.35e57102e2488p-57, 0x1.accb526f69de5p-1,
     0x1.8fb6a8dd6b6ccp-55},
    {0x1.1e7343236574cp-1, 0x1.22a3fa4f41d5ap-56, 0x1.a85ed4373e02dp-1,
     0x1.9be06385ec792p-57},
    {0x1.250bb93788bbbp-1, 0x1.ea3d02457bccep-56, 0x1.a3d7d0352bdcfp-1,
     -0x1.68dbaeca19669p-55},
    {0x1.2b91dea88421ep-1, -0x1.fa371db216ab0p-55, 0x1.9f368ed912f85p-1,
     -0x1.1d200c5791606p-55},
    {0x1.32054b148bc4fp-1, 0x1.f6b42095a135bp-55, 0x1.9a7b5a36a6514p-1,
     0x1.722cfcc9fa7a9p-55},
    {0x1.386597456282bp-1, -0x1.10fada93b07a8p-56, 0x1.95a67e00cb1fdp-1,
     -0x1.0befda21f862dp-55},
    {0x1.3eb25d36cd53ap-1, -0x1.be570e1570fc0p-58, 0x1.90b84784ddaf7p-1,
     -0x1.0feb10ab93b87p-56},
    {0x1.44eb381cf386bp-1, -0x1.3ed6c1e6a5505p-55, 0x1.8bb105a5dc900p-1,
     0x1.863e03e9474c1p-55},
    {0x1.4b0fc46aab761p-1, 0x1.0da05738cc59cp-61, 0x1.869108d77a6c6p-1,
     0x1.338ffe2bfe9ddp-56},
    {0x1.511f9fd7b351cp-1, -0x1.5c0e861c48831p-55, 0x1.8158a31916d5dp-1,
     -0x1.de8b90b8228dep-57},
    {0x1.571a6966d59b3p-1, 0x1.c843b4d0fb197p-58, 0x1.7c0827f09e54fp-1,
     -0x1.c73d6d72aee68p-57},
    {0x1.5cffc16bf8f0dp-1, 0x1.96cb370eb578ap-55, 0x1.769fec655211fp-1,
     -0x1.827d5cf8c68c5p-57},
    {0x1.62cf49921ac79p-1, -0x1.edd9855b6241ap-55, 0x1.712046fa77678p-1,
     0x1.425b0a5029c81p-55},
    {0x1.6888a4e134b2fp-1, -0x1.6b7d37644d5e6p-55, 0x1.6b898fa9efb5dp-1,
     0x1.15ac786ccf4b2p-56},
    {0x1.6e2b77c40bde1p-1, -0x1.0e729857fad53p-56, 0x1.65dc1fdeb8cbap-1,
     -0x1.97c1b47337c77p-58},
};

// Which of sine and cosine a caller wants; both may be asked for.
constexpr int kWantSine = 1;
constexpr int kWantCosine = 2;

// sin and cos of the remainder r from the nearest table point a = i/64 and
// h = r - a (|h| <= 1/128): sin(a + h) = S + C h + S c + C h s and
// cos(a + h) = C - S h + C c - S h s, with s = sin(h)/h - 1 (below 2^-16)
// and c = cos(h) - 1 (below 2^-15) in plain doubles, whose rounding costs
// under 2^-66 of the result. S + C h and C - S h are kept exactly enough.
// Only those in want are computed.
void sinCosOfRemainder(DoubleDouble r, int want, DoubleDouble* sine,
                       DoubleDouble* cosine) {
  const bool negative = r.hi < 0.0;
  if (negative) r = {-r.hi, -r.lo};
  const int i = static_cast<int>(r.hi * 64.0 + 0.5);
  const double* t = kSinCosTable[i];
  const DoubleDouble h = twoSum(r.hi - i * 0x1p-6, r.lo);  // exact difference
  const double z = h.hi * h.hi + 2.0 * h.hi * h.lo;
  const double s =
      z * (-0x1.5555555555555p-3 +
           z * (0x1.1111111111111p-7 +
                z * (-0x1.a01a01a01a01ap-13 + z * 0x1.71de3a556c734p-19)));
  const double c =
      z * (-0.5 + z * (0x1.5555555555555p-5 + z * (-0x1.6c16c16c16c17p-10 +
                                                   z * 0x1.a01a01a01a01ap-16)));
  // cos(a + h) = C + (-S) h + C c + (-S) h s: the same with other roles.
  auto combine = [&](DoubleDouble lead, DoubleDouble slope) {
    const DoubleDouble y = add(lead, mul(slope, h));
    return fastTwoSum(y.hi, y.lo + (lead.hi * c + slope.hi * h.hi * s));
  };
  if ((want & kWantSine) != 0) {
    *sine = combine({t[0], t[1]}, {t[2], t[3]});
    if (negative) *sine = {-sine->hi, -sine->lo};  // sin is odd, cos even
  }
  if ((want & kWantCosine) != 0) {
    *cosine = combine({t[2], t[3]}, {-t[0], -t[1]});
  }
}

// x - k pi/2 for the k nearest to x 2/pi, or false when x is outside the
// fast range or too near a multiple of pi/2 for the fast path's bound.
bool reduce(double x, DoubleDouble* r, int* quadrant) {
  if (!(std::fabs(x) < kFastLimit)) return false;
  // floor(y) from the integer conversion, which truncates: below 2^21 in
  // magnitude both are exact, and a negative y with a fraction is one more.
  const double y = x * kTwoOverPi + 0.5;
  const double truncated = static_cast<double>(static_cast<int32_t>(y));
  const double k = truncated > y ? truncated - 1.0 : truncated;
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
  const __float128 e = (q < 0 ? -q : q) * 0x1p-100;
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

namespace {

// Those of RoundedSin(x) and RoundedCos(x) that want names; each is the
// same whatever else is asked for.
void roundedSinCos(double x, int want, double* sine, double* cosine) {
  DoubleDouble r;
  int quadrant;
  if (std::fabs(x) >= 0x1p-26 && reduce(x, &r, &quadrant)) {
    // sin(r + pi/2) = cos r, cos(r + pi/2) = -sin r: in odd quadrants each
    // wanted value comes from the other function of the remainder.
    const bool odd = quadrant % 2 != 0;
    const int from = odd ? ((want & kWantSine) != 0 ? kWantCosine : 0) |
                               ((want & kWantCosine) != 0 ? kWantSine : 0)
                         : want;
    DoubleDouble s{}, c{};
    sinCosOfRemainder(r, from, &s, &c);
    if (odd) std::swap(s, c);
    if (quadrant == 1 || quadrant == 2) c = {-c.hi, -c.lo};
    if (quadrant >= 2) s = {-s.hi, -s.lo};
    if ((want & kWantSine) != 0 && !roundTested(s, sine)) {
      *sine = SlowRoundedSin(x);
    }
    if ((want & kWantCosine) != 0 && !roundTested(c, cosine)) {
      *cosine = SlowRoundedCos(x);
    }
    return;
  }
  double slow_sine = 0.0, slow_cosine = 0.0;
  // sin x = x - x^3/6 + ..., within a quarter unit of x for |x| < 2^-26, and
  // cos x within a quarter unit of 1 for |x| < 2^-27.
  if (std::fabs(x) < 0x1p-26) {
    slow_sine = x;
    if ((want & kWantCosine) != 0) {
      slow_cosine = std::fabs(x) < 0x1p-27 ? 1.0 : SlowRoundedCos(x);
    }
  } else if (!std::isfinite(x)) {
    slow_sine = slow_cosine = x - x;
  } else {
    if ((want & kWantSine) != 0) slow_sine = SlowRoundedSin(x);
    if ((want & kWantCosine) != 0) slow_cosine = SlowRoundedCos(x);
  }
  if ((want & kWantSine) != 0) *sine = slow_sine;
  if ((want & kWantCosine) != 0) *cosine = slow_cosine;
}

}  // namespace

void RoundedSinCos(double x, double* sine, double* cosine) {
  roundedSinCos(x, kWantSine | kWantCosine, sine, cosine);
}

double RoundedSin(double x) {
  double sine = 0.0;
  roundedSinCos(x, kWantSine, &sine, nullptr);
  return sine;
}

double RoundedCos(double x) {
  double cosine = 0.0;
  roundedSinCos(x, kWantCosine, nullptr, &cosine);
  return cosine;
}

double RoundedAtan2(double y, double x) { return SlowRoundedAtan2(y, x); }

#ifndef SYMCONV_SYMBOL_NUMBERS_H_
#define SYMCONV_SYMBOL_NUMBERS_H_

#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

/// The value of text as atof reads it, decimal only and independent of the
/// locale: leading white space (0x09-0x0D, 0x20) skipped, then the longest
/// prefix of the form [sign] digits [. digits] [e|E [sign] digits] (at least
/// one digit in the mantissa), correctly rounded; 0.0 when there is no such
/// prefix. No hex, "inf" or "nan". Overflow gives +-HUGE_VAL and underflow
/// a correctly rounded tiny value or +-0.0, as strtod does.
double ParseNumber(std::string_view text);

/// The common case of ParseNumber made cheap: when text starts with a
/// number of up to 19 digits with no exponent (no white space before it),
/// sets value as ParseNumber would and returns its length; otherwise 0.
std::size_t ParseShortNumber(std::string_view text, double* value);

/// The most characters that "%f" gives for a double: '-', the 309 integer
/// digits of DBL_MAX, the point and six decimals.
constexpr std::size_t kMaxFixed6Length = 317;

/// Writes v as AppendFixed6 appends it to out, which has room for
/// kMaxFixed6Length characters; returns one past the last written.
char* FormatFixed6(char* out, double v);

/// The number that ParseNumber reads from the text FormatFixed6 writes for
/// v, bit for bit, mostly without making the text: what a SYM record
/// written from v gives back.
/// With length: also the number of characters FormatFixed6 writes for v.
double ThroughFixed6(double v, std::size_t* length = nullptr);

/// ThroughFixed6(v) of the common values, inline so that a record's values
/// are taken in a row: for |v| below 4 * 10^9 whose millionths do not fall
/// exactly on a half, sets through and returns true; for the others (NaN
/// and the infinities too) returns false and through is to be ignored.
///
/// t = |v| * 10^6 is below 2^52, where every half of an integer is a double.
/// Rounding keeps order, so t lies on the same side of such a half as the
/// exact product does, and both round to the same integer n, the millionths
/// that FormatFixed6 writes, unless t is that half. Adding and taking away
/// 2^52 rounds t to the nearest integer in the doubles themselves: the sum
/// lies in [2^52, 2^53), whose doubles are the integers, and the difference
/// is exact. t - n is exact too (n is 0 or within a factor 2 of t), so a
/// half shows as 0.5 exactly. n < 2^53 is read back from the text as n /
/// 10^6 rounded once: the same division as here, with the text's sign.
/// Needs the default rounding mode and SSE2 doubles (no x87 excess
/// precision), as all of this program's arithmetic does.
inline bool QuickThroughFixed6(double v, double* through) {
  const double a = std::fabs(v);
  const double t = a * 1e6;
  const double n = (t + 0x1p52) - 0x1p52;
  *through = std::copysign(n / 1e6, v);
  return a < 4e9 && std::fabs(t - n) != 0.5;
}

/// QuickThroughFixed6 of 2 * pairs values at once, two to a vector: true
/// when it takes them all (through then holds theirs), false when any is
/// to go the long way.
inline bool QuickThroughFixed6Pairs(const double* values, double* through,
                                    int pairs) {
  using CPair = double __attribute__((vector_size(16)));
  using CBits = long long __attribute__((vector_size(16)));
  constexpr long long kSign = static_cast<long long>(1ull << 63);
  const CBits sign = {kSign, kSign};
  CBits quick = {-1, -1};
  for (int i = 0; i < pairs; ++i) {
    CPair v;
    std::memcpy(&v, values + 2 * i, sizeof v);
    const CBits bits = reinterpret_cast<CBits>(v);
    const CPair a = reinterpret_cast<CPair>(bits & ~sign);
    const CPair t = a * 1e6;
    const CPair n = (t + 0x1p52) - 0x1p52;
    const CPair r = n / 1e6;
    const CBits signed_r = reinterpret_cast<CBits>(r) | (bits & sign);
    std::memcpy(through + 2 * i, &signed_r, sizeof signed_r);
    const CPair off = reinterpret_cast<CPair>(reinterpret_cast<CBits>(t - n) &
                                              ~sign);  // |t - n|
    quick &= (a < 4e9) & (off != 0.5);
  }
  return (quick[0] & quick[1]) != 0;
}

/// The most characters FormatFixed6 writes for a value that
/// QuickThroughFixed6 takes: '-', ten integer digits, the point and six.
constexpr std::size_t kMaxQuickFixed6Length = 18;

/// Appends v as "%f" formats it (fixed, six decimals, '-' for negative zero)
/// in the C locale. Non-finite values give "inf", "-inf", "nan" or "-nan".
void AppendFixed6(std::string& out, double v);

#endif  // SYMCONV_SYMBOL_NUMBERS_H_

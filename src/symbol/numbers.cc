#include "symbol/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "symbol/line_reader.h"

// Long numbers are rounded with 128-bit integers where the compiler has
// them; the 32-bit build rounds them by comparisons instead, and a test
// build takes that way on any machine so that it runs somewhere.
#if defined(__SIZEOF_INT128__) && !defined(SYMCONV_NUMBERS_WITHOUT_INT128)
#define SYMCONV_HAS_INT128 1
#else
#define SYMCONV_HAS_INT128 0
#endif

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exponents are saturated here: far beyond any double, and far from the
// limits of the 64-bit arithmetic done with them.
constexpr int64_t kExponentLimit = 1000000000;

// The decimal number at the front of a text, as atof delimits it.
struct CDecimal {
  bool negative = false;
  std::size_t begin = 0;  // first byte after the sign
  std::size_t end = 0;    // one past the number; begin == end: no number
  std::size_t intBegin = 0, intEnd = 0;    // integer digits
  std::size_t fracBegin = 0, fracEnd = 0;  // fraction digits
  int64_t exponent = 0;                    // saturated at kExponentLimit
};

CDecimal ScanDecimal(std::string_view s) {
  CDecimal d;
  std::size_t i = 0;
  while (i < s.size() && IsTrimSpace(s[i])) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    d.negative = s[i] == '-';
    ++i;
  }
  d.begin = d.end = i;
  d.intBegin = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  d.intEnd = i;
  d.fracBegin = d.fracEnd = i;
  if (i < s.size() && s[i] == '.') {
    d.fracBegin = ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    d.fracEnd = i;
  }
  if (d.intEnd == d.intBegin && d.fracEnd == d.fracBegin) return d;
  d.end = i;
  // An exponent counts only with at least one digit: "1e" and "1e+" are 1.
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      expNegative = s[j] == '-';
      ++j;
    }
    if (j < s.size() && IsDigit(s[j])) {
      int64_t e = 0;
      for (; j < s.size() && IsDigit(s[j]); ++j) {
        if (e < kExponentLimit) e = e * 10 + (s[j] - '0');
      }
      d.exponent = expNegative ? -e : e;
      d.end = j;
    }
  }
  return d;
}

// X such that the nonzero value of d lies in [10^(X-1), 10^X).
int64_t DecimalMagnitude(std::string_view s, const CDecimal& d) {
  for (std::size_t i = d.intBegin; i < d.intEnd; ++i) {
    if (s[i] != '0') return static_cast<int64_t>(d.intEnd - i) + d.exponent;
  }
  for (std::size_t i = d.fracBegin; i < d.fracEnd; ++i) {
    if (s[i] != '0') return d.exponent - static_cast<int64_t>(i - d.fracBegin);
  }
  return 0;  // zero is never out of range
}

// --- Exact rounding into the subnormal range --------------------------------
//
// A double below the smallest normal value is m * 2^-1074 for an integer m
// up to 2^52. m is found exactly with unsigned big integers, so that these
// values are the same whatever the standard library makes of them.

using CBigInt = std::vector<uint32_t>;  // little-endian 32-bit limbs

void MulAdd(CBigInt& a, uint32_t mul, uint32_t add) {
  uint64_t carry = add;
  for (uint32_t& limb : a) {
    uint64_t t = uint64_t{limb} * mul + carry;
    limb = static_cast<uint32_t>(t);
    carry = t >> 32;
  }
  if (carry != 0) a.push_back(static_cast<uint32_t>(carry));
}

void ShiftLeft(CBigInt& a, std::size_t bits) {
  if (a.empty()) return;
  std::size_t limbs = bits / 32, rest = bits % 32;
  if (rest != 0) {
    uint32_t carry = 0;
    for (uint32_t& limb : a) {
      uint32_t next = limb >> (32 - rest);
      limb = (limb << rest) | carry;
      carry = next;
    }
    if (carry != 0) a.push_back(carry);
  }
  a.insert(a.begin(), limbs, 0);
}

// a >>= 1.
void ShiftRightOne(CBigInt& a) {
  if (a.empty()) return;
  const std::size_t last = a.size() - 1;
  for (std::size_t i = 0; i < last; ++i) a[i] = (a[i] >> 1) | (a[i + 1] << 31);
  a[last] >>= 1;
  if (a[last] == 0) a.pop_back();
}

int Compare(const CBigInt& a, const CBigInt& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

// a -= b, for a >= b.
void Subtract(CBigInt& a, const CBigInt& b) {
  int64_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    int64_t t = int64_t{a[i]} - (i < b.size() ? b[i] : 0) - borrow;
    borrow = t < 0 ? 1 : 0;
    a[i] = static_cast<uint32_t>(t + (borrow << 32));
  }
  while (!a.empty() && a.back() == 0) a.pop_back();
}

// Significant digits kept. The halfway points between subnormals have at
// most about 770 significant digits, so a value cut to this many digits,
// with a final 1 standing for whatever nonzero digits were cut, rounds as
// the full value does.
constexpr std::size_t kKeptDigits = 800;

// The significant digits of d, at most kKeptDigits of them; a dropped
// non-zero digit leaves a sticky 1 behind, so that rounding still sees it.
// The value is digits * 10^exponent.
struct CKeptDigits {
  std::string digits;
  int64_t exponent = 0;
};

CKeptDigits KeepDigits(std::string_view s, const CDecimal& d) {
  CKeptDigits kept;
  kept.digits.reserve(kKeptDigits + 1);
  kept.exponent = d.exponent - static_cast<int64_t>(d.fracEnd - d.fracBegin);
  bool sticky = false;
  auto take = [&](char c) {
    if (kept.digits.empty() && c == '0') return;
    if (kept.digits.size() < kKeptDigits) {
      kept.digits.push_back(c);
    } else {
      ++kept.exponent;
      sticky = sticky || c != '0';
    }
  };
  for (std::size_t i = d.intBegin; i < d.intEnd; ++i) take(s[i]);
  for (std::size_t i = d.fracBegin; i < d.fracEnd; ++i) take(s[i]);
  if (sticky) {
    kept.digits.push_back('1');
    --kept.exponent;
  }
  return kept;
}

// The decimal digits as a big integer, nine at a time (fits in 32 bits).
CBigInt DigitsValue(const std::string& digits) {
  CBigInt num;
  for (std::size_t i = 0; i < digits.size(); i += 9) {
    const std::size_t n = std::min<std::size_t>(9, digits.size() - i);
    uint32_t chunk = 0, scale = 1;
    for (std::size_t k = 0; k < n; ++k) {
      chunk = chunk * 10 + static_cast<uint32_t>(digits[i + k] - '0');
      scale *= 10;
    }
    MulAdd(num, scale, chunk);
  }
  return num;
}

// 5^q, thirteen factors at a time (5^13 fits in 32 bits).
CBigInt PowerOfFive(int64_t q) {
  CBigInt den{1};
  for (; q >= 13; q -= 13) MulAdd(den, 1220703125u, 0);  // 5^13
  for (; q > 0; --q) MulAdd(den, 5, 0);
  return den;
}

// num / den rounded to the nearest integer, ties to even, for a quotient
// below 2^54: bit by bit long division, then the remainder decides.
uint64_t DivideRoundingToEven(CBigInt num, const CBigInt& den) {
  uint64_t m = 0;
  CBigInt shifted = den;
  ShiftLeft(shifted, 53);
  for (int bit = 53; bit >= 0; --bit) {
    if (Compare(shifted, num) <= 0) {
      Subtract(num, shifted);
      m |= uint64_t{1} << bit;
    }
    ShiftRightOne(shifted);
  }
  ShiftLeft(num, 1);  // twice the remainder against the divisor
  const int half = Compare(num, den);
  if (half > 0 || (half == 0 && (m & 1) != 0)) ++m;
  return m;
}

// |value| of d rounded to the nearest multiple of 2^-1074 (ties to even),
// for values below the smallest normal double.
double RoundSubnormal(std::string_view s, const CDecimal& d) {
  const CKeptDigits kept = KeepDigits(s, d);
  if (kept.digits.empty()) return 0.0;
  // Value = digits * 10^exponent; below 10^-324 it rounds to zero.
  if (static_cast<int64_t>(kept.digits.size()) + kept.exponent <= -324) {
    return 0.0;
  }
  // Here exponent < -300 and > -1200, since the value is subnormal-small.
  const int64_t q = -kept.exponent;
  // m = digits * 2^1074 / (5^q * 2^q); the quotient is at most 2^52 for a
  // value below the smallest normal, one more bit leaves room for rounding.
  CBigInt num = DigitsValue(kept.digits);
  CBigInt den = PowerOfFive(q);
  if (q <= 1074) {
    ShiftLeft(num, static_cast<std::size_t>(1074 - q));
  } else {
    ShiftLeft(den, static_cast<std::size_t>(q - 1074));
  }
  const uint64_t m = DivideRoundingToEven(std::move(num), den);
  return std::ldexp(static_cast<double>(m), -1074);
}

// Appends the decimal digits from p on to *m (wrapping past 19 digits);
// returns one past the last. One unsigned comparison tests each byte.
const char* AccumulateDigits(const char* p, const char* const end,
                             uint64_t* m) {
  uint64_t n = *m;
  for (; p != end; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digit > 9) break;
    n = n * 10 + digit;
  }
  *m = n;
  return p;
}

// Up to 19 digits with at most 22 decimals and no sign (the shortest text
// of most doubles has 17): no overflow, nothing subnormal, so the
// library's correctly rounded conversion needs no help. Kept out of line,
// so that the short numbers' path stays small.
[[gnu::noinline]] bool ConvertLongDecimal(const char* first, const char* last,
                                          double* value) {
  return std::from_chars(first, last, *value).ec == std::errc();
}

// The common short number ("12.5", "-0.000100", "4.285714285714286"),
// without an exponent, in one pass, from p on (no white space skipped): its
// digits as an integer m of at most 2^53 and a power of ten of at most 22
// are both exact doubles, so one multiply or divide rounds m * 10^-e
// correctly, as any correct conversion does; up to 19 digits beyond that
// go straight to the library's conversion. Returns one past the number, or
// null, having computed nothing, for everything else.
const char* ParseShortDecimalAt(const char* p, const char* const end,
                                double* value) {
  static constexpr double kPowersOfTen[] = {
      1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  uint64_t m = 0;
  const char* const digits = p;
  p = AccumulateDigits(p, end, &m);
  std::ptrdiff_t count = p - digits;
  std::ptrdiff_t decimals = 0;
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    p = AccumulateDigits(p, end, &m);
    decimals = p - fraction;
    count += decimals;
  }
  // More than 19 digits may have wrapped m; an exponent is left to the
  // general conversion, and so is a text without digits.
  if (count == 0 || count > 19 || decimals > 22 ||
      (p != end && (*p == 'e' || *p == 'E'))) {
    return nullptr;
  }
  if (m > (uint64_t{1} << 53)) {
    if (!ConvertLongDecimal(digits, p, value)) return nullptr;
    if (negative) *value = -*value;
    return p;
  }
  const double v = static_cast<double>(m) / kPowersOfTen[decimals];
  *value = negative ? -v : v;
  return p;
}

// --- Whole texts of one number, eight bytes at a time ----------------------
//
// A DXF value line that holds a number holds nothing else, and its length
// is known: such a text is taken apart in words of eight bytes instead of
// byte by byte. Every load stays inside the text. The first byte of the
// text is the lowest byte of a word (little-endian only), and a word holds
// its bytes XORed with '0': a digit byte holds its value, a point 0x1E.

constexpr uint64_t kByteHighs = 0x8080808080808080u;
constexpr uint64_t kZeroChars = 0x3030303030303030u;  // "00000000"

// The eight bytes from p on, XORed with '0's.
uint64_t LoadDigitWord(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word ^ kZeroChars;
}

// Bit 7 of the lowest byte of x that holds no digit value, and perhaps of
// bytes above it; 0 when every byte holds 0 to 9. The lowest such byte is
// above 0x7F or gets there by adding 0x76, with no carry from below.
uint64_t NonDigitBytes(uint64_t x) {
  return ((x + 0x7676767676767676u) | x) & kByteHighs;
}

// Bytes 0xFF where the digit word x holds a point, 0 elsewhere: one
// comparison of vectors of bytes where the machine has them.
uint64_t PointBytes(uint64_t x) {
  using CWords = unsigned long long __attribute__((vector_size(16)));
  using CBytes = char __attribute__((vector_size(16)));
  const CWords words = {x, 0};
  const CBytes points =
      reinterpret_cast<CBytes>(words) == static_cast<char>('.' ^ '0');
  return reinterpret_cast<CWords>(points)[0];
}

// How a digit word is closed up over its point at byte k: the bytes up to
// k (through) take the ones below them, 0 into byte 0, so that the digits
// keep their order behind a leading zero; eight digits whose value over
// scale, 10^(7 - k), is the number's wherever the text lies in the word.
struct CPointClosing {
  uint64_t through;
  double scale;
};

constexpr std::array<CPointClosing, 8> MakePointClosings() {
  std::array<CPointClosing, 8> closings{};
  double scale = 1.0;
  for (int k = 7; k >= 0; --k) {
    closings[k] = {~uint64_t{0} >> (8 * (7 - k)), scale};
    scale *= 10.0;
  }
  return closings;
}
constexpr std::array<CPointClosing, 8> kPointClosings = MakePointClosings();

// The closing over the first point that points (from PointBytes, not 0)
// marks. Its lowest set bit is 8 times the point's byte, and the closings
// lie 16 bytes apart: the one wanted lies twice that many bytes on, with
// no division to find its index.
const CPointClosing& ClosingAt(uint64_t points) {
  static_assert(sizeof(CPointClosing) == 16);
  const std::size_t bit = static_cast<unsigned>(std::countr_zero(points));
  return *reinterpret_cast<const CPointClosing*>(
      reinterpret_cast<const char*>(kPointClosings.data()) + 2 * bit);
}

// x closed up as closing says.
uint64_t Closed(uint64_t x, const CPointClosing& closing) {
  return x ^ ((x ^ (x << 8)) & closing.through);
}

// The value of a word of eight digit values, the lowest byte the highest
// digit: pairs in the even bytes, then fours in the even 16-bit halves and
// all eight, one multiplication each.
uint64_t EightDigitsValue(uint64_t x) {
  x = x * 10 + (x >> 8);
  x = ((x & 0x00FF00FF00FF00FFu) * (100 * 65536 + 1)) >> 16;
  return ((x & 0x0000FFFF0000FFFFu) * (10000 * (uint64_t{1} << 32) + 1)) >> 32;
}

constexpr double kExactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
    1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};

// A 128-bit unsigned integer.
struct CWide {
  uint64_t high = 0, low = 0;
};

[[maybe_unused]] CWide MultiplyWide(uint64_t a, uint64_t b) {
#if SYMCONV_HAS_INT128
  // One instruction where the compiler has 128-bit integers.
  __extension__ using CUnsigned128 = unsigned __int128;
  const CUnsigned128 product = CUnsigned128{a} * b;
  return {static_cast<uint64_t>(product >> 64), static_cast<uint64_t>(product)};
#endif
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
  const uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t middle =
      (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32),
          middle << 32 | (p00 & 0xFFFFFFFFu)};
}

// v * 2^k, for a product below 2^128.
[[maybe_unused]] CWide ShiftWide(CWide v, int k) {
  if (k == 0) return v;
  if (k >= 64) return {v.low << (k - 64), 0};
  return {v.high << k | v.low >> (64 - k), v.low << k};
}

// The sign of m / 10^d minus the point halfway between a (a positive
// normal double) and the next double up, a + 2^e for a = mantissa * 2^e:
// both sides times 10^d * 2^(1 - e), in integers below 2^128 for the
// quotients RoundedQuotient takes.
[[maybe_unused]] int CompareWithHalfwayAbove(uint64_t m, std::size_t d,
                                             double a) {
  static constexpr uint64_t kPowersOfFive[] = {1,
                                               5,
                                               25,
                                               125,
                                               625,
                                               3125,
                                               15625,
                                               78125,
                                               390625,
                                               1953125,
                                               9765625,
                                               48828125,
                                               244140625,
                                               1220703125,
                                               6103515625,
                                               30517578125,
                                               152587890625,
                                               762939453125,
                                               3814697265625,
                                               19073486328125};
  const uint64_t bits = std::bit_cast<uint64_t>(a);
  const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | uint64_t{1}
                                                                     << 52;
  const int shift = static_cast<int>(bits >> 52) - 1075 - 1 +
                    static_cast<int>(d);  // of 2^(e - 1) * 2^d
  CWide left{0, m};
  CWide right = MultiplyWide(2 * mantissa + 1, kPowersOfFive[d]);
  if (shift >= 0) {
    right = ShiftWide(right, shift);
  } else {
    left = ShiftWide(left, -shift);
  }
  if (left.high != right.high) return left.high < right.high ? -1 : 1;
  if (left.low != right.low) return left.low < right.low ? -1 : 1;
  return 0;
}

#if SYMCONV_HAS_INT128
// 10^d moved up to its top bit, and by how many bits, for d up to 19.
struct CTopPowerOfTen {
  uint64_t bits;
  int shift;
};

constexpr std::array<CTopPowerOfTen, 20> MakeTopPowersOfTen() {
  std::array<CTopPowerOfTen, 20> powers{};
  uint64_t power = 1;
  for (CTopPowerOfTen& top : powers) {
    const int shift = std::countl_zero(power);
    top = {power << shift, shift};
    power *= 10;  // past 10^19 unused
  }
  return powers;
}
constexpr std::array<CTopPowerOfTen, 20> kTopPowersOfTen = MakeTopPowersOfTen();

// (high * 2^64 + low) / b, for high < b so that the quotient fits in 64
// bits, and whether anything remains.
uint64_t DivideWide(uint64_t high, uint64_t low, uint64_t b, bool* rest) {
#if defined(__x86_64__)
  // One instruction, where GCC calls a library routine for any 128-bit
  // quotient.
  uint64_t q = 0, r = 0;
  __asm__("divq %[b]"
          : "=a"(q), "=d"(r)
          : "a"(low), "d"(high), [b] "rm"(b)
          : "cc");
  *rest = r != 0;
  return q;
#else
  __extension__ using CUnsigned128 = unsigned __int128;
  const CUnsigned128 n = CUnsigned128{high} << 64 | low;
  const uint64_t q = static_cast<uint64_t>(n / b);
  *rest = static_cast<uint64_t>(n - CUnsigned128{q} * b) != 0;
  return q;
#endif
}

// m / 10^d correctly rounded (ties to even), for 2^53 < m < 2^64, d up to
// 19 and a quotient above 2^-11: m and 10^d moved up to their top bits,
// one 128-by-64-bit division gives the quotient's first 64 bits, and those
// with whether anything remains decide the rounding.
double DividedExactly(uint64_t m, std::size_t d) {
  const CTopPowerOfTen& power = kTopPowersOfTen[d];
  const int m_shift = std::countl_zero(m);
  const uint64_t a = m << m_shift;
  const uint64_t b = power.bits;
  // a * 2^64 / b, or a * 2^63 / b where that would reach 2^64: a quotient
  // q from 2^63 to 2^64, and m / 10^d = (q + rest / b) * 2^(power.shift -
  // m_shift - 64 + halved).
  const uint64_t halved = a >= b ? 1 : 0;
  bool rest = false;
  const uint64_t q = DivideWide(a >> halved, (a & halved) << 63, b, &rest);
  const uint64_t mantissa = q >> 11;  // 53 bits
  const bool half = (q >> 10 & 1) != 0;
  const bool beyond_half = rest || (q & 0x3FF) != 0;
  const uint64_t up = half && (beyond_half || (mantissa & 1) != 0) ? 1 : 0;
  // The mantissa's leading bit adds one to the exponent field below it, as
  // a carry out of rounding up does.
  const uint64_t exponent_field =
      static_cast<uint64_t>(power.shift - m_shift - 1 + 1023 - 1) + halved;
  return std::bit_cast<double>((exponent_field << 52) + mantissa + up);
}
#endif

// m / 10^d correctly rounded (ties to even), for 2^53 < m < 2^64 and a
// quotient above 2^-11, where m itself is no double. Without 128-bit
// integers: the quotient of m's double and 10^d, two roundings away from
// it, then moved a double at a time while the exact value lies past a
// halfway point. False, having computed nothing, should it not settle
// within four moves.
bool RoundedQuotient(uint64_t m, std::size_t d, double* value) {
#if SYMCONV_HAS_INT128
  *value = DividedExactly(m, d);
  return true;
#endif
  double c = static_cast<double>(m) / kExactPowersOfTen[d];
  for (int move = 0; move < 4; ++move) {
    const uint64_t bits = std::bit_cast<uint64_t>(c);
    const bool odd = (bits & 1) != 0;
    const int above = CompareWithHalfwayAbove(m, d, c);
    if (above > 0 || (above == 0 && odd)) {
      c = std::bit_cast<double>(bits + 1);
      continue;
    }
    const int below =
        CompareWithHalfwayAbove(m, d, std::bit_cast<double>(bits - 1));
    if (below < 0 || (below == 0 && odd)) {
      c = std::bit_cast<double>(bits - 1);
      continue;
    }
    *value = c;
    return true;
  }
  return false;
}

// m / 10^decimals with the text's sign, for m of 1 to 19 digits and at
// most 19 decimals: past 2^53, m / 10^19 is still above 2^-11.
bool ScaledValue(uint64_t m, std::size_t decimals, const char* digits,
                 const char* end, bool negative, double* value) {
  double v = 0.0;
  if (m <= uint64_t{1} << 53) {
    v = static_cast<double>(m) / kExactPowersOfTen[decimals];
  } else if (!RoundedQuotient(m, decimals, &v) &&
             !ConvertLongDecimal(digits, end, &v)) {
    return false;
  }
  *value = negative ? -v : v;
  return true;
}

// The number of one to eight bytes whose digit word (zero above the text)
// is x, after its sign: the digits, their point taken out (PointBytes,
// ClosingAt), are an integer below 10^8 whose value over a power of ten
// of at most 10^8 is the number's, one division correctly rounded. Zeros
// above the text and the one before it only scale both sides alike. False,
// having computed nothing, for any other text.
inline bool ParseShortDigitWord(uint64_t x, std::size_t length, double* value) {
  const uint64_t points = PointBytes(x);
  if (points != 0) [[likely]] {
    const CPointClosing& closing = ClosingAt(points);
    const uint64_t digits = Closed(x, closing);
    if (NonDigitBytes(digits) != 0) return false;
    *value = static_cast<double>(EightDigitsValue(digits)) / closing.scale;
    return true;
  }
  if (NonDigitBytes(x) != 0) return false;
  // With no point the scale is 10^(8 - length).
  *value = static_cast<double>(EightDigitsValue(x)) /
           kPointClosings[length - 1].scale;
  return true;
}

// A whole text of nine to 20 bytes from q on, after the sign (negative
// for '-'), as one number digits . digits of at most 19 digits, the point
// within the first eight bytes: the first word with the point taken out
// holds the first seven digits, a whole word after it eight more from 17
// bytes on, and the highest bytes of the last word the rest. False, having
// computed nothing, for any other text.
bool ParseWholeLongDecimal(const char* q, std::size_t length, bool negative,
                           double* value) {
  // By length % 8: the bytes of the last word after the others, its
  // highest length % 8 or all eight, and 10^(their number).
  static constexpr uint64_t kLastBytes[] = {
      ~uint64_t{0},       ~uint64_t{0} << 56, ~uint64_t{0} << 48,
      ~uint64_t{0} << 40, ~uint64_t{0} << 32, ~uint64_t{0} << 24,
      ~uint64_t{0} << 16, ~uint64_t{0} << 8};
  static constexpr uint64_t kLastScales[] = {
      100000000, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
  const uint64_t head = LoadDigitWord(q);
  const uint64_t points = PointBytes(head);
  if (points == 0) return false;
  const uint64_t first = Closed(head, ClosingAt(points));
  const bool middle_word = length > 16;
  const uint64_t middle = middle_word ? LoadDigitWord(q + 8) : 0;
  const uint64_t last = LoadDigitWord(q + length - 8) & kLastBytes[length % 8];
  if ((NonDigitBytes(first) | NonDigitBytes(middle) | NonDigitBytes(last)) !=
      0) {
    return false;
  }
  uint64_t m = EightDigitsValue(first);
  if (middle_word) m = m * 100000000 + EightDigitsValue(middle);
  m = m * kLastScales[length % 8] + EightDigitsValue(last);
  const std::size_t decimals =
      length - 1 - static_cast<unsigned>(std::countr_zero(points)) / 8;
  return ScaledValue(m, decimals, q, q + length, negative, value);
}

bool ParseShortDecimal(std::string_view text, double* value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && IsTrimSpace(*p)) ++p;
  return ParseShortDecimalAt(p, end, value) != nullptr;
}

// |v| * 10^6 rounded half to even, for a finite v below 10^12 in
// magnitude, from exact integer arithmetic: v = m * 2^-q with m < 2^53, so
// v * 10^6 = m * 10^6 / 2^q, where m * 10^6 < 2^73 is held in two 64-bit
// halves. This is the six-decimal value of "%f", as printf rounds the exact
// binary value.
uint64_t MicrosOf(double v) {
  // |v| = m * 2^-q exactly; q >= 13 since |v| < 2^40.
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  const uint64_t m = biased == 0 ? mantissa : mantissa | uint64_t{1} << 52;
  const int q = biased == 0 ? 1074 : 1075 - biased;
  uint64_t n = 0;
  // With 74 or more fraction bits m * 10^6 < 2^73 is below half of 2^q:
  // n stays 0.
  if (m != 0 && q < 74) {
    // p = m * 10^6 = hi * 2^64 + lo.
    const uint64_t a = (m & 0xFFFFFFFFu) * 1000000u;  // < 2^52
    const uint64_t b = (m >> 32) * 1000000u;          // < 2^41
    const uint64_t lo = (b << 32) + a;
    const uint64_t hi = (b >> 32) + (lo < a ? 1 : 0);
    // n = p >> q; half = bit q - 1 of p; sticky = any bit below it.
    bool half = false;
    bool sticky = false;
    if (q >= 64) {
      const int k = q - 64;
      n = k == 0 ? hi : hi >> k;
      half = k == 0 ? (lo >> 63) != 0 : ((hi >> (k - 1)) & 1) != 0;
      const uint64_t below_hi =
          k <= 1 ? 0 : hi & ((uint64_t{1} << (k - 1)) - 1);
      sticky = below_hi != 0 || (k == 0 ? (lo << 1) != 0 : lo != 0);
    } else {
      n = (lo >> q) | (hi << (64 - q));
      half = ((lo >> (q - 1)) & 1) != 0;
      sticky = (lo & ((uint64_t{1} << (q - 1)) - 1)) != 0;
    }
    if (half && (sticky || (n & 1) != 0)) ++n;
  }
  return n;
}

// MicrosOf(v) the short way, for |v| below 4 * 10^9: the product t =
// |v| * 10^6 is rounded, but below 2^52, where every half of an integer is
// a double. Rounding keeps order, so t lies on the same side of such a
// half as the exact product does, and both round to the same integer,
// unless t is that half. Returns false, having computed nothing, then and
// for larger v, NaN and the infinities.
bool QuickMicrosOf(double v, uint64_t* n) {
  const double a = std::fabs(v);
  if (!(a < 4e9)) return false;
  const double t = a * 1e6;
  const int64_t whole = static_cast<int64_t>(t);           // exact
  const double fraction = t - static_cast<double>(whole);  // exact
  if (fraction == 0.5) return false;
  *n = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  return true;
}

// "%f" of a finite v below 10^12 in magnitude.
char* FormatFixed6Short(char* p, double v) {
  uint64_t n = 0;
  if (!QuickMicrosOf(v, &n)) n = MicrosOf(v);
  if (std::signbit(v)) *p++ = '-';
  // n / 10^6 < 10^12: thirteen characters are ample.
  p = std::to_chars(p, p + 13, n / 1000000).ptr;
  *p++ = '.';
  uint64_t decimals = n % 1000000;
  for (int i = 5; i >= 0; --i) {
    p[i] = static_cast<char>('0' + decimals % 10);
    decimals /= 10;
  }
  return p + 6;
}

}  // namespace

std::size_t ParseShortNumber(std::string_view text, double* value) {
  const char* const end =
      ParseShortDecimalAt(text.data(), text.data() + text.size(), value);
  return end == nullptr ? 0 : static_cast<std::size_t>(end - text.data());
}

namespace {

// ParseNumber of any text that ParseShortDecimal does not take: apart, so
// that the common path needs none of its registers.
[[gnu::noinline]] double ParseOtherNumber(std::string_view text) {
  double value = 0.0;
  const CDecimal d = ScanDecimal(text);
  if (d.begin == d.end) return 0.0;
  const char* first = text.data() + d.begin;
  const std::from_chars_result r =
      std::from_chars(first, text.data() + d.end, value);
  const double tiny = std::numeric_limits<double>::min();
  if (r.ec == std::errc::result_out_of_range) {
    // Out of range either way: a value of at least 1 overflowed, a smaller
    // one underflowed.
    value = DecimalMagnitude(text, d) > 0 ? HUGE_VAL : RoundSubnormal(text, d);
  } else if (value != 0.0 && value < tiny) {
    value = RoundSubnormal(text, d);
  }
  return d.negative ? -value : value;
}

}  // namespace

namespace {

// ParseNumber of a text that is not one plain number and nothing else:
// apart, so that the plain numbers' path keeps to few registers.
[[gnu::noinline]] double ParseNumberWithin(std::string_view text) {
  double value = 0.0;
  if (ParseShortDecimal(text, &value)) return value;
  return ParseOtherNumber(text);
}

// ParseNumber of a text of no byte or more than eight after its sign (of
// sign bytes): as one number of 1 to 19 digits with the point within the first
// eight bytes after the sign where it is one, else the longer way.
[[gnu::noinline]] double ParseLongNumber(std::string_view text,
                                         std::size_t sign) {
  double value = 0.0;
  const std::size_t length = text.size() - sign;
  if (length - 9 < 12 && ParseWholeLongDecimal(text.data() + sign, length,
                                               text[0] == '-', &value)) {
    return value;
  }
  return ParseNumberWithin(text);
}

// ParseNumber of one to three bytes after the sign (of sign bytes): apart,
// so that the common path needs none of its registers.
[[gnu::noinline]] double ParseTinyNumber(std::string_view text,
                                         std::size_t sign) {
  const char* const q = text.data() + sign;
  const std::size_t length = text.size() - sign;
  // A point alone has no digit.
  if (length != 1 || q[0] != '.') {
    const auto at = [q](std::size_t i) {
      return uint64_t{static_cast<unsigned char>(q[i] ^ '0')} << (8 * i);
    };
    double value = 0.0;
    if (ParseShortDigitWord(at(0) | at(length / 2) | at(length - 1), length,
                            &value)) {
      return text[0] == '-' ? -value : value;
    }
  }
  return ParseNumberWithin(text);
}

}  // namespace

double ParseNumber(std::string_view text) {
  const std::size_t n = text.size();
  const char* const p = text.data();
  // "0.0", the commonest value of all, and its kind: one digit either side
  // of the point, and (nearly always) no sign.
  if (n == 3 && p[1] == '.' && IsDigit(p[0]) && IsDigit(p[2])) {
    return ((p[0] - '0') * 10 + (p[2] - '0')) / 10.0;
  }
  // A DXF value line holds its number and nothing else: such a text of up
  // to eight bytes after its sign is read whole, in one word.
  if (std::endian::native != std::endian::little || n == 0) {
    return ParseNumberWithin(text);
  }
  const bool negative = p[0] == '-';
  const std::size_t sign = negative || p[0] == '+' ? 1 : 0;
  const std::size_t length = n - sign;
  if (length - 4 > 4) {  // not four to eight bytes
    if (length - 1 >= 8) return ParseLongNumber(text, sign);
    return ParseTinyNumber(text, sign);
  }
  const char* const q = p + sign;
  // The first four bytes and the last four, which overlap below eight; the
  // bytes above the text stay 0.
  uint32_t first = 0, last = 0;
  std::memcpy(&first, q, sizeof first);
  std::memcpy(&last, q + length - 4, sizeof last);
  const uint64_t x = uint64_t{first ^ 0x30303030u} |
                     uint64_t{last ^ 0x30303030u} << (8 * (length - 4));
  double value = 0.0;
  if (!ParseShortDigitWord(x, length, &value)) return ParseNumberWithin(text);
  return negative ? -value : value;
}

char* FormatFixed6(char* out, double v) {
  auto put = [out](std::string_view text) {
    return std::copy(text.begin(), text.end(), out);
  };
  if (std::isnan(v)) return put(std::signbit(v) ? "-nan" : "nan");
  if (std::isinf(v)) return put(v < 0 ? "-inf" : "inf");
  if (std::fabs(v) < 1e12) return FormatFixed6Short(out, v);
  return std::to_chars(out, out + kMaxFixed6Length, v, std::chars_format::fixed,
                       6)
      .ptr;
}

double ThroughFixed6(double v, std::size_t* length) {
  // FormatFixed6 writes n = MicrosOf(v) as its integer digits, the point
  // and six decimals, with '-' when v's sign bit is set: at most 18 digits
  // that ParseShortDecimalAt reads as m = n, and for n <= 2^53 as n / 10^6
  // rounded once, the same operations as here. Larger values and those
  // written otherwise are read back from their text.
  double through = 0.0;
  if (length == nullptr && QuickThroughFixed6(v, &through)) return through;
  uint64_t n = 0;
  if (QuickMicrosOf(v, &n) ||
      (std::fabs(v) < 1e12 && (n = MicrosOf(v)) <= (uint64_t{1} << 53))) {
    if (length != nullptr) {
      // The sign, the integer digits (at least one), the point and six.
      // n counts millionths: its integer part has one more digit for each
      // power of ten from 10^7 up that n reaches (no division).
      std::size_t digits = 1;
      for (uint64_t p = 10000000; p <= n && digits < 10; p *= 10) ++digits;
      *length = (std::signbit(v) ? 1 : 0) + digits + 7;
    }
    const double r = static_cast<double>(n) / 1e6;
    return std::signbit(v) ? -r : r;
  }
  char text[kMaxFixed6Length];
  const char* const end = FormatFixed6(text, v);
  if (length != nullptr) *length = static_cast<std::size_t>(end - text);
  return ParseNumber(
      std::string_view(text, static_cast<std::size_t>(end - text)));
}

void AppendFixed6(std::string& out, double v) {
  char buf[kMaxFixed6Length];
  out.append(buf, FormatFixed6(buf, v));
}

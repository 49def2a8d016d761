#include "symbol/numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Bit patterns, so that -0.0 and 0.0 differ.
uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

// The C library's reading, in the C locale, as the oracle.
double Strtod(const std::string& s) {
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  return std::strtod(s.c_str(), nullptr);
}

void ExpectSameAsStrtod(const std::string& s) {
  const double got = ParseNumber(s);
  const double want = Strtod(s);
  EXPECT_EQ(Bits(got), Bits(want))
      << "text \"" << s.substr(0, 80) << (s.size() > 80 ? "..." : "")
      << "\": got " << got << ", strtod " << want;
}

// As ExpectSameAsStrtod, for any text: texts without a number read 0.0
// (MinGW's strtod gives "-." -0.0).
void ExpectReadAsStrtodReadsIt(const std::string& s) {
  char* end = nullptr;
  const double want = std::strtod(s.c_str(), &end);
  EXPECT_EQ(Bits(ParseNumber(s)), Bits(end == s.c_str() ? 0.0 : want)) << s;
}

// Exact decimal text of (2m+1) * 2^-1075, the halfway point between the
// subnormals m * 2^-1074 and (m+1) * 2^-1074: (2m+1) * 5^1075 / 10^1075.
std::string HalfwayDecimal(uint64_t m) {
  std::vector<int> digits;  // little-endian decimal digits
  for (uint64_t k = 2 * m + 1; k != 0; k /= 10) digits.push_back(k % 10);
  for (int i = 0; i < 1075; ++i) {
    int carry = 0;
    for (int& d : digits) {
      const int t = d * 5 + carry;
      d = t % 10;
      carry = t / 10;
    }
    while (carry != 0) {
      digits.push_back(carry % 10);
      carry /= 10;
    }
  }
  while (digits.size() < 1076) digits.push_back(0);
  std::string s;
  for (std::size_t i = digits.size(); i-- > 0;) {
    s.push_back(static_cast<char>('0' + digits[i]));
    if (i == 1075) s.push_back('.');
  }
  return s;
}

TEST(ParseNumber, ReadsAsAtofDoes) {
  const struct {
    const char* text;
    double value;
  } kCases[] = {
      {"1.5e2", 150.0},    {"12,5", 12.0},   {"abc", 0.0},
      {"", 0.0},           {" -3", -3.0},    {"+.5", 0.5},
      {"5.", 5.0},         {".", 0.0},       {"-", 0.0},
      {"1e", 1.0},         {"1e+", 1.0},     {"1E-2", 0.01},
      {"\t\v\f\r\n 7", 7}, {"12abc", 12.0},  {"-.25x", -0.25},
      {"1.2.3", 1.2},      {"1e2e3", 100.0}, {"+-1", 0.0},
      {"e5", 0.0},         {"0x10", 0.0},    {"inf", 0.0},
      {"-infinity", 0.0},  {"nan", 0.0},     {"NAN(1)", 0.0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Bits(ParseNumber(c.text)), Bits(c.value)) << c.text;
  }
}

TEST(ParseNumber, MatchesStrtodOnDecimalTexts) {
  const char* kCases[] = {
      "0",
      "-0",
      "+0",
      "-0.0e5",
      "1",
      "-1",
      "0.1",
      "0.3",
      "123456.789",
      "1e400",
      "-1e400",
      "1e-400",
      "-1e-400",
      "1e308",
      "1.7976931348623157e308",
      "1.7976931348623158e308",
      "1.7976931348623159e308",
      "4.9e-324",
      "2e-324",
      "3e-324",
      "2.4703282292062327e-324",
      "2.4703282292062328e-324",
      "2.2250738585072011e-308",
      "2.2250738585072014e-308",
      "1e-310",
      "-1e-310",
      "123456789012345678901234567890e-340",
      "0.000001e-318",
      "1e99999999999999999999",
      "1e-99999999999999999999",
      "0e99999",
      "9007199254740993",
      "9007199254740992.5",
      "0.1e1",
      "00000012.5000",
      "4.285714285714286",
      "-0.000100",
      "9007199254740992e22",
      "1e22",
      "1e23",
      "1234567890123456789e-22",
      "0.00000000000000000000001",
      ".000000000000000000000000000000000000001e39",
      "1 2",
      "-12,5",
      // Digits that are a power of ten times a power of two, past 2^53.
      "1.0000000000000000",
      "-2.0000000000000000",
      "8.000000000000000000",
  };
  for (const char* s : kCases) ExpectSameAsStrtod(s);
}

// Every prefix of these, alone in a heap block of its own size, so that
// the address sanitizer sees any byte read past the text.
TEST(ParseNumber, ReadsNoBytePastItsText) {
  for (const std::string text :
       {"-1.5", "+12345678.5", "-20.296285714285716"}) {
    for (std::size_t k = 1; k <= text.size(); ++k) {
      const std::unique_ptr<char[]> exact(new char[k]);
      std::copy(text.begin(), text.begin() + k, exact.get());
      EXPECT_EQ(Bits(ParseNumber(std::string_view(exact.get(), k))),
                Bits(Strtod(text.substr(0, k))));
    }
  }
}

TEST(ParseNumber, MatchesStrtodOnLongDigitStrings) {
  std::vector<std::string> texts;
  std::string longFraction = "3.";
  for (int i = 0; i < 600; ++i)
    longFraction.push_back(static_cast<char>('0' + i % 10));
  texts.push_back(longFraction);
  texts.push_back(std::string(500, '9'));                     // about 1e500
  texts.push_back(std::string(300, '9') + "e-600");           // about 1e-300
  texts.push_back("0." + std::string(320, '0') + "2470328");  // 2.47e-321
  texts.push_back("1" + std::string(400, '0') + "e-400");     // exactly 1
  texts.push_back("0." + std::string(400, '0') + "1e400");    // 0.1
  for (const std::string& s : texts) ExpectSameAsStrtod(s);
}

// Checked against exact values rather than strtod: MinGW's strtod reads
// 3 * 2^-1075 as the smallest normal double.
TEST(ParseNumber, RoundsSubnormalHalfwayPointsToEven) {
  for (uint64_t m : {uint64_t{0}, uint64_t{1}, uint64_t{2}, uint64_t{12345},
                     (uint64_t{1} << 52) - 1}) {
    SCOPED_TRACE(m);
    const double low = std::ldexp(static_cast<double>(m), -1074);
    const double high = std::ldexp(static_cast<double>(m + 1), -1074);
    const std::string half = HalfwayDecimal(m);
    EXPECT_EQ(Bits(ParseNumber(half)), Bits(m % 2 == 0 ? low : high));
    // Anything beyond the halfway point, however far down, rounds up.
    EXPECT_EQ(ParseNumber(half + "1"), high);
    EXPECT_EQ(ParseNumber(half + std::string(300, '0') + "1"), high);
    EXPECT_EQ(ParseNumber("-" + half + std::string(900, '0') + "1e0"), -high);
    std::string below = half;
    below.back() = '4';  // an exact halfway decimal ends in 5
    EXPECT_EQ(Bits(ParseNumber(below + std::string(300, '9'))), Bits(low));
  }
}

TEST(ParseNumber, MatchesStrtodOnRandomDecimals) {
  std::mt19937_64 rng(20240611);
  for (int n = 0; n < 20000; ++n) {
    std::string s;
    if (rng() % 4 == 0) s += '-';
    const int intDigits = static_cast<int>(rng() % 25);
    const int fracDigits = static_cast<int>(rng() % 25);
    for (int i = 0; i < intDigits; ++i)
      s += static_cast<char>('0' + rng() % 10);
    if (fracDigits > 0 || rng() % 2 == 0) s += '.';
    for (int i = 0; i < fracDigits; ++i)
      s += static_cast<char>('0' + rng() % 10);
    if (rng() % 2 == 0) {
      // Often far into the subnormal and overflow ranges.
      s += 'e' + std::to_string(static_cast<int>(rng() % 700) - 350);
    }
    // Texts without digits are left to the table above: MinGW's strtod
    // gives "-." the value -0.0.
    if (intDigits + fracDigits > 0) ExpectSameAsStrtod(s);
  }
}

// Whole texts are read eight bytes at a time: every arrangement of signs,
// points, digits and stray bytes in short texts, and a point or a stray
// byte at every place of long ones, must still read as strtod reads them.
TEST(ParseNumber, MatchesStrtodWhereverSignsPointsAndStrayBytesFall) {
  // 0x15 is no digit, though its low bits are those of '5'.
  const std::string alphabet = "-+.07e \x15";
  for (std::size_t length = 1; length <= 6; ++length) {
    std::vector<std::size_t> at(length, 0);
    for (;;) {
      std::string s;
      for (std::size_t i : at) s += alphabet[i];
      ExpectReadAsStrtodReadsIt(s);
      std::size_t k = 0;
      while (k < length && ++at[k] == alphabet.size()) at[k++] = 0;
      if (k == length) break;
    }
  }
  const std::string digits = "-90071992547409935";
  for (std::size_t length = 7; length <= 24; ++length) {
    std::string base;
    while (base.size() < length) base += digits.substr(1);
    base.resize(length);
    for (std::size_t point = 0; point < length; ++point) {
      std::string s = base;
      s[point] = '.';
      ExpectReadAsStrtodReadsIt(s);
      ExpectReadAsStrtodReadsIt("-" + s);
      for (std::size_t stray = 0; stray < length; ++stray) {
        if (stray == point) continue;
        std::string t = s;
        t[stray] = stray % 2 == 0 ? '/' : ':';
        ExpectReadAsStrtodReadsIt(t);
      }
    }
  }
}

// Plain decimals are read in words: every length up to 20 bytes after the
// sign, with the point at every place or none, must read as the byte-wise
// way and strtod read it, and so must the text with one byte spoilt.
TEST(ParseNumber, ReadsEveryShapeOfPlainDecimalAsTheBytewiseWayDoes) {
  std::mt19937_64 rng(20261210);
  const std::string strays("/:,e +-.\x1e\x80\xff\0", 12);
  const char* const kSigns[] = {"", "-", "+"};
  for (std::size_t length = 1; length <= 20; ++length) {
    for (std::size_t point = 0; point <= length; ++point) {  // length: none
      for (int n = 0; n < 200; ++n) {
        std::string s = kSigns[rng() % 3];
        for (std::size_t i = 0; i < length; ++i) {
          s += i == point ? '.' : "012345678909"[rng() % 12];  // 0s, 9s
        }
        double bytewise = 0.0;
        if (ParseShortNumber(s, &bytewise) == s.size()) {
          EXPECT_EQ(Bits(ParseNumber(s)), Bits(bytewise)) << s;
        }
        ExpectReadAsStrtodReadsIt(s);
        s[rng() % s.size()] = strays[rng() % strays.size()];
        ExpectReadAsStrtodReadsIt(s);
      }
    }
  }
}

// The decimal text of odd * 2^-k with as many digits before the point as
// it needs and count digits in all: cut short (below the value) or with
// its last digit raised (above it).
std::string DigitsNear(uint64_t odd, int k, std::size_t count, bool above) {
  std::vector<int> digits;  // little-endian decimal digits of odd * 5^k
  for (uint64_t v = odd; v != 0; v /= 10) digits.push_back(v % 10);
  for (int i = 0; i < k; ++i) {
    int carry = 0;
    for (int& d : digits) {
      const int t = d * 5 + carry;
      d = t % 10;
      carry = t / 10;
    }
    for (; carry != 0; carry /= 10) digits.push_back(carry % 10);
  }
  const int whole = static_cast<int>(digits.size()) - k;  // digits before .
  std::string kept;
  for (int i = static_cast<int>(digits.size()) - 1; kept.size() < count; --i) {
    kept += static_cast<char>('0' + digits[i]);
  }
  if (above) {
    if (kept.find_first_not_of('9') == std::string::npos) return "";
    std::size_t i = kept.size();
    while (kept[--i] == '9') kept[i] = '0';
    ++kept[i];
  }
  return kept.substr(0, whole) + "." + kept.substr(whole);
}

// Numbers of 16 to 19 digits, too many for one exact division, a hair
// either side of the halfway points between neighbouring doubles.
TEST(ParseNumber, RoundsLongDecimalsNearHalfwayPointsAsStrtodDoes) {
  std::mt19937_64 rng(20261209);
  for (int n = 0; n < 4000; ++n) {
    const uint64_t m = (uint64_t{1} << 52) | (rng() >> 12);
    // Values from 4 to 2^24, with one to eight digits before the point.
    const int k = 30 + static_cast<int>(rng() % 23);
    for (bool above : {false, true}) {
      const std::string s = DigitsNear(2 * m + 1, k, 16 + n % 4, above);
      if (s.empty()) continue;
      ExpectSameAsStrtod(s);
      ExpectSameAsStrtod("-" + s);
    }
  }
}

std::string Fixed6(double v);

// A record's numbers are taken without parsing the record back: they must
// be the doubles its text reads as, and its length must be known. Random bit
// patterns reach every exponent, NaN and the infinities; the decimals sit on
// the rounding points of "%f" and either side of 2^53 millionths, where the
// short reading ends.
TEST(ThroughFixed6, GivesWhatTheWrittenTextReadsAs) {
  std::mt19937_64 rng(20261208);
  std::vector<double> values = {-0.0,
                                -4e-7,
                                9007199254.740992,
                                9007199254.740993,
                                1e12,
                                -HUGE_VAL,
                                0.0078125,
                                -0.0234375,
                                3999999999.9999995,
                                4e9,
                                4000000000.0000005};
  values.insert(values.end(), {std::nextafter(4e9, 0.0), 0x1p52 / 1e6,
                               -0x1p53 / 1e6, -1e12, NAN, -NAN, HUGE_VAL});
  for (int i = 0; i < 100000; ++i) {
    // Exact halves of millionths: (2m + 1) / 128 * 10^6 = (2m + 1) 15625 / 2.
    values.push_back(static_cast<double>(2 * (rng() % 256000000000u) + 1) /
                     (rng() % 2 ? 128.0 : -128.0));
    const double half = (static_cast<double>(rng() % 20000000000000000u) + 0.5);
    values.push_back((rng() % 2 ? half : -half) / 1e6);
    values.push_back(std::bit_cast<double>(rng()));
    // Coordinates of drawings, read the short way: values one unit in the
    // last place from the halves of millionths, and others.
    const double small_half = static_cast<double>(rng() % 2000000000000u) + 0.5;
    const double near = std::nextafter(small_half / 1e6, rng() % 2 ? 0.0 : 3e6);
    values.push_back(rng() % 2 ? near : -near);
    values.push_back(static_cast<double>(rng() % 2000000000000u) / 7e6);
  }
  std::vector<double> quick_values;
  for (double v : values) {
    const uint64_t read = Bits(ParseNumber(Fixed6(v)));
    std::size_t length = 0;
    ASSERT_EQ(Bits(ThroughFixed6(v, &length)), read) << v;
    ASSERT_EQ(length, Fixed6(v).size()) << v;
    ASSERT_EQ(Bits(ThroughFixed6(v)), read) << v;
    double quick = 0.0;
    if (QuickThroughFixed6(v, &quick)) {
      ASSERT_EQ(Bits(quick), read) << v;
      ASSERT_LE(Fixed6(v).size(), kMaxQuickFixed6Length) << v;
      quick_values.push_back(v);
    }
  }
  // The quick way must take the drawings' coordinates, not pass them on.
  EXPECT_GT(quick_values.size(), values.size() / 3);
  // Taken a record at a time: the values the quick way takes one at a time
  // must give the same, and any other value must hold back its record.
  for (const std::vector<double>& list : {quick_values, values}) {
    for (std::size_t i = 0; i + 6 <= list.size(); i += 5) {
      double through[6];
      bool all_quick = true;
      for (std::size_t k = 0; k < 6; ++k) {
        all_quick = QuickThroughFixed6(list[i + k], &through[k]) && all_quick;
      }
      double pairs[6];
      ASSERT_EQ(QuickThroughFixed6Pairs(&list[i], pairs, 3), all_quick) << i;
      for (std::size_t k = 0; all_quick && k < 6; ++k) {
        ASSERT_EQ(Bits(pairs[k]), Bits(through[k])) << list[i + k];
      }
    }
  }
}

std::string Fixed6(double v) {
  std::string s;
  AppendFixed6(s, v);
  return s;
}

std::string Printf(double v) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%f", v);
  return buf;
}

TEST(AppendFixed6, WritesAsPrintfDoes) {
  const double kCases[] = {
      0.0,        -0.0,      1.0,          -1.0,         0.5,
      0.0000005,  0.0000015, 0.0000025,    -0.0000005,   2.5e-7,
      1e-7,       0.1,       1.0 / 3.0,    2.0 / 3.0,    123456789.125,
      1e15 + 0.3, 1e300,     -123.4567885, 0.0000045,    999999.9999995,
      DBL_MAX,    -DBL_MAX,  DBL_MIN,      DBL_TRUE_MIN, 4.712388980385,
  };
  // Exact ties at the sixth decimal go to the even neighbour; then either
  // side of the largest magnitude written without printf.
  const double kEdges[] = {
      0.0078125,
      -0.0078125,
      0.0234375,
      1.0000005 - 1e-13,
      999999999999.9999,
      1e12,
      -1e12,
      1e12 - 0.5,
      0x1p40,
      -0x1p-1074,
  };
  for (double v : kEdges) EXPECT_EQ(Fixed6(v), Printf(v)) << v;
  for (double v : kCases) EXPECT_EQ(Fixed6(v), Printf(v)) << v;
  std::mt19937_64 rng(7);
  for (int n = 0; n < 20000; ++n) {
    const double v = std::bit_cast<double>(rng());
    if (std::isfinite(v)) {
      EXPECT_EQ(Fixed6(v), Printf(v));
    }
    const double small = static_cast<double>(static_cast<int64_t>(rng())) /
                         static_cast<double>(1ULL << (rng() % 64));
    EXPECT_EQ(Fixed6(small), Printf(small));
  }
}

TEST(AppendFixed6, WritesNonFiniteValuesAsGlibcDoes) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Fixed6(inf), "inf");
  EXPECT_EQ(Fixed6(-inf), "-inf");
  EXPECT_EQ(Fixed6(std::copysign(nan, 1.0)), "nan");
  EXPECT_EQ(Fixed6(std::copysign(nan, -1.0)), "-nan");
  std::string s = "x ";
  AppendFixed6(s, -inf);
  AppendFixed6(s, -0.0);
  EXPECT_EQ(s, "x -inf-0.000000");
}

}  // namespace

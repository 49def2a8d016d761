#ifndef SYMCONV_SYMBOL_NUMBERS_H_
#define SYMCONV_SYMBOL_NUMBERS_H_

#include <cstddef>
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

/// Appends v as "%f" formats it (fixed, six decimals, '-' for negative zero)
/// in the C locale. Non-finite values give "inf", "-inf", "nan" or "-nan".
void AppendFixed6(std::string& out, double v);

#endif  // SYMCONV_SYMBOL_NUMBERS_H_

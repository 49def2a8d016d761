#ifndef SYMCONV_SYMBOL_ROUNDED_TRIG_H_
#define SYMCONV_SYMBOL_ROUNDED_TRIG_H_

/// Sine, cosine and arc tangent rounded to the nearest double (ties to
/// even) as from the exact value, so that every compiler, C library and CPU
/// gives the same bits: the C libraries' own versions differ in the last
/// bits, and those bits reach the .SML coordinates. Arguments in radians;
/// NaN and the infinities give NaN as the C library does, and the signed
/// zeros and infinities of RoundedAtan2 follow the C library's atan2.
/// Requires the default rounding mode.
double RoundedSin(double x);
double RoundedCos(double x);
double RoundedAtan2(double y, double x);

/// Both of RoundedSin(x) and RoundedCos(x) for about the price of one.
void RoundedSinCos(double x, double* sine, double* cosine);

#endif  // SYMCONV_SYMBOL_ROUNDED_TRIG_H_

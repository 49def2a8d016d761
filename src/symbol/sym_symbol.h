#ifndef SYMCONV_SYMBOL_SYM_SYMBOL_H_
#define SYMCONV_SYMBOL_SYM_SYMBOL_H_

#include <cmath>
#include <cstdlib>
#include <string_view>

#include "sml/flat_symbol.h"
#include "sml/symbol.h"

/// Reads the records of a .SYM text into symbol (header skipped, L/C/A
/// records, arc angles reduced and turned into radians). Returns false for
/// a text of exactly one line (a header alone: no symbol). Throws
/// CPrematureEndException for a text without any LF.
bool ReadSymText(std::string_view text, CSymbol* symbol);

/// How many numbers a record of the letter holds (L and A six, C four); 0
/// for any other letter, whose lines are skipped.
int SymRecordFields(char letter);

/// Adds the shape of one record as ReadSymText adds it from the record's
/// numbers, in the record's order.
void AddSymRecord(CSymbol* symbol, char letter, const double* numbers);
void AddSymRecord(CFlatSymbol* symbol, char letter, const double* numbers);

/// Reduces an arc angle in degrees. An angle whose truncated magnitude is
/// below 360 stays exactly as it is; any other loses its sign and fraction
/// and is taken modulo 360. Values that no 32-bit integer holds (and NaN and
/// the infinities) are reduced in floating point instead of being converted.
inline double ReduceSymAngle(double v) {
  if (!std::isfinite(v) || std::fabs(v) >= 2147483648.0) {
    return std::fmod(std::trunc(std::fabs(v)), 360.0);
  }
  const int k = std::abs(static_cast<int>(v));
  // Subtracting 360 until below 360 leaves the remainder.
  return k >= 360 ? static_cast<double>(k % 360) : v;
}

/// An A record's angle point: the text measures angles in degrees against
/// its y axis; they are turned around, reduced and put into radians, and
/// the radius follows.
inline CPrecisionPoint SymArcAngles(const double* numbers) {
  // The double nearest to 3.14159265359 / 180, the constant that symbol
  // files have always been converted with.
  constexpr double kDegreesToRadians = 0.017453292519944444;
  const double s = ReduceSymAngle(360.0 - numbers[3]) * kDegreesToRadians;
  const double e = ReduceSymAngle(360.0 - numbers[4]) * kDegreesToRadians;
  return CPrecisionPoint(s, e, numbers[5]);
}

/// AddSymRecord of an A record.
inline void AddSymArc(CFlatSymbol* symbol, const double* numbers) {
  const double* v = numbers;
  symbol->arcs.push_back({CPrecisionPoint(v[0], v[1], v[2]), SymArcAngles(v)});
}

/// AddSymRecord of a C record.
inline void AddSymCircle(CFlatSymbol* symbol, const double* numbers) {
  const double* v = numbers;
  symbol->circles.push_back({CPrecisionPoint(v[0], v[1], v[2]), v[3]});
}

/// AddSymRecord of an L record, inline for the commonest shape.
inline void AddSymLine(CFlatSymbol* symbol, const double* numbers) {
  CLine& line = symbol->lines.emplace_back();
  line.start.x = numbers[0];
  line.start.y = numbers[1];
  line.start.z = numbers[2];
  line.end.x = numbers[3];
  line.end.y = numbers[4];
  line.end.z = numbers[5];
}

/// Measures the extents (201 samples per arc), sets the origin point and
/// shifts the shapes right of the y axis and below the x axis.
void MeasureAndShift(CSymbol* symbol);
/// The same for shapes held by value, with the same results.
void MeasureAndShift(CFlatSymbol* symbol);

#endif  // SYMCONV_SYMBOL_SYM_SYMBOL_H_

#ifndef SYMCONV_SYMBOL_SYM_SYMBOL_H_
#define SYMCONV_SYMBOL_SYM_SYMBOL_H_

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

/// AddSymRecord of an A record.
void AddSymArc(CFlatSymbol* symbol, const double* numbers);

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

#ifndef SYMCONV_SYMBOL_SYM_SYMBOL_H_
#define SYMCONV_SYMBOL_SYM_SYMBOL_H_

#include <string_view>

#include "sml/symbol.h"

/// Reads the records of a .SYM text into symbol (header skipped, L/C/A
/// records, arc angles reduced and turned into radians). Returns false for
/// a text of exactly one line (a header alone: no symbol). Throws
/// CPrematureEndException for a text without any LF.
bool ReadSymText(std::string_view text, CSymbol* symbol);

/// Measures the extents (201 samples per arc), sets the origin point and
/// shifts the shapes right of the y axis and below the x axis.
void MeasureAndShift(CSymbol* symbol);

#endif  // SYMCONV_SYMBOL_SYM_SYMBOL_H_

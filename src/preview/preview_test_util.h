#ifndef SYMCONV_PREVIEW_PREVIEW_TEST_UTIL_H_
#define SYMCONV_PREVIEW_PREVIEW_TEST_UTIL_H_

#include <string>

#include "sml/sml_reader.h"
#include "support/symbol_builders.h"

/// Helpers shared by the preview tests.

/// Sets extents, size and origin as the conversion would for the shapes
/// already added (without shifting them).
void MeasureTestSymbol(CSymbol* s);

struct CCheckResult {
  int status = -1;
  std::string output;
};
/// Writes markup to a file and runs check_markup.py on it with args.
/// Status -2 when /usr/bin/python3 is missing.
CCheckResult CheckMarkup(const std::string& markup, const std::string& name,
                         const std::string& args);

#endif  // SYMCONV_PREVIEW_PREVIEW_TEST_UTIL_H_

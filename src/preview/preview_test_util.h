#ifndef SYMCONV_PREVIEW_PREVIEW_TEST_UTIL_H_
#define SYMCONV_PREVIEW_PREVIEW_TEST_UTIL_H_

#include <string>

#include "sml/sml_reader.h"

/// Helpers shared by the preview tests.

void AddTestLine(CSymbol* s, double x1, double y1, double x2, double y2);
void AddTestArc(CSymbol* s, double cx, double cy, double start, double end,
                double r);
void AddTestCircle(CSymbol* s, double cx, double cy, double r);
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

#ifndef SYMCONV_TESTS_SUPPORT_SYMBOL_BUILDERS_H_
#define SYMCONV_TESTS_SUPPORT_SYMBOL_BUILDERS_H_

#include <memory>
#include <string>
#include <utility>

#include "archive/archive_writer.h"
#include "sml/symbol.h"
#include "support/memory_file.h"

/// Shapes added to a symbol in memory, in the layout the conversion gives
/// them: an arc's second point holds the start and end angle (radians) and
/// the radius.

inline void AddLine(CSymbol* s, double x1, double y1, double x2, double y2,
                    double z = 0.0) {
  auto line = std::make_unique<CLine>();
  line->start = CPrecisionPoint(x1, y1, z);
  line->end = CPrecisionPoint(x2, y2, z);
  s->lines.Add(std::move(line));
}

inline void AddArc(CSymbol* s, double cx, double cy, double start, double end,
                   double r) {
  auto arc = std::make_unique<CArc>();
  arc->points.Add(std::make_unique<CPrecisionPoint>(cx, cy, 0.0));
  arc->points.Add(std::make_unique<CPrecisionPoint>(start, end, r));
  s->arcs.Add(std::move(arc));
}

inline void AddCircle(CSymbol* s, double cx, double cy, double r) {
  auto circle = std::make_unique<CCircle>();
  circle->radius = r;
  circle->points.Add(std::make_unique<CPrecisionPoint>(cx, cy, 0.0));
  s->circles.Add(std::move(circle));
}

/// A symbol's shapes as the archive stores them: every double's bits, so
/// equal exactly when the shapes are the same doubles.
inline std::string ShapeBytes(const CSymbol& s) {
  CMemoryFile file;
  CArchiveWriter ar(file, "shapes");
  s.lines.Serialize(ar);
  s.arcs.Serialize(ar);
  s.circles.Serialize(ar);
  ar.Close();
  return file.m_strBytes;
}

#endif  // SYMCONV_TESTS_SUPPORT_SYMBOL_BUILDERS_H_

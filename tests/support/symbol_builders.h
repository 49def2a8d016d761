#ifndef SYMCONV_TESTS_SUPPORT_SYMBOL_BUILDERS_H_
#define SYMCONV_TESTS_SUPPORT_SYMBOL_BUILDERS_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "sml/symbol.h"

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

/// Every number of a symbol's shapes as its bits (so that -0.0 and NaN
/// payloads count), list by list with their sizes: equal for two symbols
/// exactly when their shapes are the same doubles.
inline std::vector<uint64_t> ShapeBits(const CSymbol& s) {
  std::vector<uint64_t> bits;
  auto put = [&bits](double v) { bits.push_back(std::bit_cast<uint64_t>(v)); };
  auto points = [&](const CPrecisionPointArray& list) {
    bits.push_back(list.GetSize());
    for (std::size_t i = 0; i < list.GetSize(); ++i) {
      put(list[i]->x);
      put(list[i]->y);
      put(list[i]->z);
    }
  };
  bits.push_back(s.lines.GetSize());
  for (std::size_t i = 0; i < s.lines.GetSize(); ++i) {
    const CLine& l = *s.lines[i];
    bits.push_back(static_cast<uint64_t>(l.attribute));
    for (double v :
         {l.start.x, l.start.y, l.start.z, l.end.x, l.end.y, l.end.z}) {
      put(v);
    }
  }
  bits.push_back(s.arcs.GetSize());
  for (std::size_t i = 0; i < s.arcs.GetSize(); ++i) points(s.arcs[i]->points);
  bits.push_back(s.circles.GetSize());
  for (std::size_t i = 0; i < s.circles.GetSize(); ++i) {
    put(s.circles[i]->radius);
    points(s.circles[i]->points);
  }
  return bits;
}

#endif  // SYMCONV_TESTS_SUPPORT_SYMBOL_BUILDERS_H_

#ifndef SYMCONV_PREVIEW_SYMBOL_GEOMETRY_H_
#define SYMCONV_PREVIEW_SYMBOL_GEOMETRY_H_

#include <string>

#include "sml/sml_reader.h"

/// Where the shapes of a symbol are, for drawing and reporting them. All in
/// the file's coordinates: drawing units, y axis pointing down.

/// The sweep of an arc in radians as the conversion measures it: start
/// minus end, plus 6.28318530718 when that is negative. The arc runs from
/// its start angle down to start - sweep.
double ArcSweep(double start, double end);

/// The degrees of an angle in radians, by the factor that turned the
/// symbol text's degrees into radians (so 90 degrees read back as 90).
double RadiansToDegrees(double radians);

/// An SVG path ("M ... A ...") that traces the arc with centre (cx, cy),
/// radius r and the given angles exactly: every point is (cx + r cos t,
/// cy + r sin t) for t from start down to start - sweep. Drawn in pieces of
/// at most a quarter turn; a sweep of a full turn or more is the whole
/// circle, a sweep of 0 a single point.
std::string ArcPath(double cx, double cy, double r, double start, double end);

/// True when the stored extents describe a box (min <= max on both axes,
/// all finite); an empty symbol has none.
bool HasExtents(const CSymbol& symbol);

/// The text's own origin in file coordinates: the corner (minX, maxY) plus
/// the stored origin point.
void OriginPosition(const CSymbol& symbol, double* x, double* y);

/// The region a picture shows: the extents and the origin position, with a
/// margin, and never empty.
struct CViewBox {
  double x = 0.0;
  double y = 0.0;
  double width = 1.0;
  double height = 1.0;
};
CViewBox SymbolViewBox(const CSymbol& symbol);

#endif  // SYMCONV_PREVIEW_SYMBOL_GEOMETRY_H_

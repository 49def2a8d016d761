#ifndef SYMCONV_SML_SYMBOL_H_
#define SYMCONV_SML_SYMBOL_H_

#include <string>

#include "sml/shapes.h"

/// One symbol, as the .SYM reader and the DXF path make it, the .SML writer
/// stores it and the .SML reader gives it back. Coordinates are drawing
/// units; arc angles are radians. Each list keeps the order of its records.
struct CSymbol {
  /// The name stored in the file (bytes in the system's ANSI code page);
  /// the writer takes it from the source path instead.
  std::string name;
  CLineArray lines;
  CArcArray arcs;        // every arc holds two points: centre, angle point
  CCircleArray circles;  // every circle holds one point: its centre
  double minX = 999999999.0;
  double minY = 999999999.0;
  double maxX = -999999999.0;
  double maxY = -999999999.0;
  /// The text's own origin relative to the corner (minX, maxY).
  CPrecisionPoint origin;
};

#endif  // SYMCONV_SML_SYMBOL_H_

#ifndef SYMCONV_SML_FLAT_SYMBOL_H_
#define SYMCONV_SML_FLAT_SYMBOL_H_

#include <vector>

#include "sml/shapes.h"

/// The shapes of one symbol held by value, for a conversion that writes
/// each symbol as soon as it is built: the same shapes in the same order as
/// a CSymbol holds them, without an object of its own for every shape and
/// point. Written, it gives the bytes of the CSymbol with the same shapes
/// (see WriteSmlContents). Clearing keeps the storage, so a run of symbols
/// built in one allocates only while it grows.
struct CFlatSymbol {
  /// An arc: its centre, and its angle point (start and end angle in
  /// radians, radius), as a CArc's two points.
  struct CArcShape {
    CPrecisionPoint centre;
    CPrecisionPoint angles;
  };
  /// A circle: its centre and radius, as a CCircle's point and radius.
  struct CCircleShape {
    CPrecisionPoint centre;
    double radius = 0.0;
  };

  std::vector<CLine> lines;
  std::vector<CArcShape> arcs;
  std::vector<CCircleShape> circles;
  double minX = 999999999.0;
  double minY = 999999999.0;
  double maxX = -999999999.0;
  double maxY = -999999999.0;
  /// The text's own origin relative to the corner (minX, maxY).
  CPrecisionPoint origin;

  bool empty() const {
    return lines.empty() && arcs.empty() && circles.empty();
  }
  /// No shapes, extents and origin as new; the storage stays.
  void clear() {
    lines.clear();
    arcs.clear();
    circles.clear();
    minX = minY = 999999999.0;
    maxX = maxY = -999999999.0;
    origin = CPrecisionPoint();
  }
};

#endif  // SYMCONV_SML_FLAT_SYMBOL_H_

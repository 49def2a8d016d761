#ifndef SYMCONV_DXF_PLACEMENT_H_
#define SYMCONV_DXF_PLACEMENT_H_

#include "dxf/dxf_group_reader.h"
#include "dxf/extrusion.h"

/// Where the geometry of an inserted block lands in the symbol: an affine
/// map of drawing-plane coordinates (x, y) and of z on its own, since an
/// insert lies in the drawing plane or in its mirror image.
///   x' = xx x + xy y + tx,  y' = yx x + yy y + ty,  z' = zz z + tz
/// When it keeps shapes (uniform scale, possibly mirrored), it also maps arc
/// angles: a direction of a degrees becomes turn + a, or turn - a when it
/// mirrors (reverses).
struct CPlacement {
  double xx = 1.0, xy = 0.0, yx = 0.0, yy = 1.0, tx = 0.0, ty = 0.0;
  double zz = 1.0, tz = 0.0;
  /// Uniform scale (of either sign): circles stay circles.
  bool conformal = true;
  double scale = 1.0;
  double turn = 0.0;
  bool reverses = false;
  /// Nothing moves: shapes are written with their values unchanged.
  bool identity = true;

  // Inline: every shape of a symbol passes through them, nearly always
  // with nothing to move.
  void apply(double& x, double& y, double& z) const {
    if (identity) return;
    applyXY(x, y);
    z = zz * z + tz;
  }
  void applyXY(double& x, double& y) const {
    if (identity) return;
    const double nx = xx * x + xy * y + tx;
    const double ny = yx * x + yy * y + ty;
    x = nx;
    y = ny;
  }
  /// A counter-clockwise arc's angles (degrees) under the map, as a
  /// counter-clockwise arc again, in [0, 360). Only for conformal maps.
  void mapArc(double& start, double& end) const;
  /// First this, then outer.
  CPlacement then(const CPlacement& outer) const;
};

/// What an INSERT (or MINSERT) entity says.
struct CInsertGroups {
  std::string_view block;                          // 2
  double x = 0.0, y = 0.0, z = 0.0;                // 10, 20, 30
  double sx = 1.0, sy = 1.0, sz = 1.0;             // 41, 42, 43
  double rotation = 0.0;                           // 50, degrees
  int columns = 1, rows = 1;                       // 70, 71
  double column_spacing = 0.0, row_spacing = 0.0;  // 44, 45
  EntityPlane plane = EntityPlane::kWorld;
};

CInsertGroups ReadInsertGroups(const CDxfEntity& insert);

/// The placement of one copy (column, row) of a block whose base point is
/// (bx, by, bz): moved so that the base point lies at the origin, scaled,
/// shifted by the grid offset, rotated, moved to the insertion point, and
/// mirrored when the insert lies in the mirrored plane.
CPlacement InsertPlacement(const CInsertGroups& insert, double bx, double by,
                           double bz, int column, int row);

#endif  // SYMCONV_DXF_PLACEMENT_H_

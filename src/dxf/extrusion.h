#ifndef SYMCONV_DXF_EXTRUSION_H_
#define SYMCONV_DXF_EXTRUSION_H_

#include "dxf/dxf_group_reader.h"

/// The plane that the coordinates of a planar entity (ARC, CIRCLE,
/// LWPOLYLINE, 2-D POLYLINE) are given in, from its extrusion direction N
/// (groups 210, 220, 230; (0, 0, 1) when absent). A LINE has world
/// coordinates whatever its extrusion says, so it is never asked about.
enum class EntityPlane {
  /// N = (0, 0, 1), or no extrusion groups: the coordinates are the world's.
  kWorld,
  /// N = (0, 0, -1), as CAD programs write mirrored arcs: the arbitrary
  /// axis algorithm makes the entity's x axis the world's -x and its z axis
  /// the world's -z, while y stays.
  kMirrored,
  /// Any other direction: the entity does not lie flat in the drawing
  /// plane (a circle would be an ellipse), so no record can draw it.
  kTilted,
};

/// The plane of entity. Directions within a relative 1e-10 of the z axis
/// count as (0, 0, +-1); a zero vector counts as absent.
EntityPlane FindEntityPlane(const CDxfEntity& entity);

/// A world coordinate x or z from one of the mirrored plane: its negation,
/// with 0 giving +0 (as a world value of 0 would be written).
inline double MirrorCoordinate(double v) { return 0.0 - v; }

/// An arc of the mirrored plane running counter-clockwise from start to end
/// (degrees) runs clockwise in the world; as a world arc it runs from
/// 180 - end to 180 - start. A result below 0 is brought up by 360.
void MirrorArcAngles(double& start, double& end);

#endif  // SYMCONV_DXF_EXTRUSION_H_

#ifndef SYMCONV_DXF_PASSED_OVER_H_
#define SYMCONV_DXF_PASSED_OVER_H_

#include <functional>
#include <map>
#include <string>

/// The entities of a block or drawing that gave no record, counted by kind.
/// A kind is the entity's type ("MTEXT"), or the type and the reason when
/// the type is otherwise converted ("ARC (tilted)" for an arc whose
/// extrusion direction leaves the drawing plane, "POLYLINE (3-D or mesh)").
/// VERTEX, ATTRIB and SEQEND belong to the POLYLINE or INSERT before them
/// and are not counted on their own.
using CPassedOver = std::map<std::string, int, std::less<>>;

/// Adds every count of from to into.
void AddPassedOver(CPassedOver& into, const CPassedOver& from);

/// "605 MTEXT, 344 LWPOLYLINE, 12 HATCH": by descending count, kinds of one
/// count in byte order of their names, so the same counts always read the
/// same. An empty kind is shown as "(unnamed)".
std::string FormatPassedOver(const CPassedOver& counts);

/// True when counts hold polylines that the polylines option would convert
/// (kinds "LWPOLYLINE" and "POLYLINE").
bool HasConvertiblePolylines(const CPassedOver& counts);

#endif  // SYMCONV_DXF_PASSED_OVER_H_

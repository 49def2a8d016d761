#ifndef SYMCONV_DXF_ENTITY_CONVERTER_H_
#define SYMCONV_DXF_ENTITY_CONVERTER_H_

#include <string>
#include <string_view>

#include "dxf/block_extractor.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/extrusion.h"
#include "dxf/passed_over.h"
#include "dxf/polyline.h"
#include "dxf/sym_text_writer.h"

/// Turns the entities of one block or drawing, in file order, into the
/// records of its SYM text, and counts the entities it passes over.
///
/// LINE, ARC and CIRCLE give one record each; with the polylines option an
/// LWPOLYLINE or a 2-D POLYLINE (with its VERTEX entities, up to its SEQEND)
/// gives one record per segment. Arcs, circles and polylines drawn in the
/// mirrored plane are turned into world coordinates first; those in a
/// tilted plane are passed over (see extrusion.h).
class CEntityConverter {
 public:
  CEntityConverter(CDxfBlockHandler& handler, const CDxfOptions& options)
      : m_handler(handler), m_options(options) {}

  /// Starts a new symbol: the header line alone, nothing passed over.
  void Begin();
  /// Converts one entity.
  void Add(const CDxfEntity& entity);
  /// Ends the symbol; a POLYLINE whose SEQEND is missing is drawn here.
  void End();

  const std::string& text() const { return m_writer.text(); }
  int records() const { return m_nRecords; }
  const CPassedOver& passedOver() const { return m_passedOver; }

 private:
  enum class PolylineState { kNone, kTaking, kSkipping };

  void AddArc(const CDxfEntity& entity);
  void AddCircle(const CDxfEntity& entity);
  /// The plane of an arc or circle of type: a tilted one is passed over, a
  /// mirrored centre (cx, cz) is put into world coordinates.
  EntityPlane PlaceCentre(const CDxfEntity& entity, std::string_view type,
                          double& cx, double& cz);
  void AddLwPolyline(const CDxfEntity& entity);
  void StartPolyline(const CDxfEntity& header);
  void EndPolyline();
  void WritePolyline();
  void WriteLine(double x1, double y1, double z1, double x2, double y2,
                 double z2);
  void WriteArc(double cx, double cy, double cz, double radius, double start,
                double end);
  void PassOver(std::string_view type, std::string_view reason = {});

  CDxfBlockHandler& m_handler;
  CDxfOptions m_options;
  CSymTextWriter m_writer;
  int m_nRecords = 0;
  CPassedOver m_passedOver;
  std::string m_strKind;
  PolylineState m_polylineState = PolylineState::kNone;
  bool m_bPolylineMirrored = false;
  CPolyline m_polyline;
};

#endif  // SYMCONV_DXF_ENTITY_CONVERTER_H_

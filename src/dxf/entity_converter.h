#ifndef SYMCONV_DXF_ENTITY_CONVERTER_H_
#define SYMCONV_DXF_ENTITY_CONVERTER_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/block_extractor.h"
#include "dxf/block_index.h"
#include "dxf/curve_fit.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/extrusion.h"
#include "dxf/passed_over.h"
#include "dxf/placement.h"
#include "dxf/polyline.h"
#include "dxf/sym_text_writer.h"

class CGroupCursor;

/// Turns the entities of one block or drawing, in file order, into the
/// records of its SYM text, and counts the entities it passes over.
///
/// LINE, ARC and CIRCLE give one record each; with the polylines option an
/// LWPOLYLINE or a 2-D POLYLINE (with its VERTEX entities, up to its SEQEND)
/// gives one record per segment. Arcs, circles and polylines drawn in the
/// mirrored plane are turned into world coordinates first; those in a
/// tilted plane are passed over (see extrusion.h). The options add
/// inserts, curves and outlines; every shape is written through the
/// placement of the inserts it lies in (none at the top).
class CEntityConverter {
 public:
  CEntityConverter(CDxfBlockHandler& handler, const CDxfOptions& options)
      : m_handler(handler), m_options(options) {}

  /// The blocks that INSERT entities name, and the text they lie in; both
  /// outlive the converter. Without them inserts are passed over.
  void SetBlocks(const CBlockIndex* blocks, std::string_view text) {
    m_pBlocks = blocks;
    m_text = text;
  }

  /// Starts a new symbol: the header line alone, nothing passed over.
  void Begin();
  /// The block whose symbol is being made, so that inserting it fails as
  /// a cycle; none for the drawing. Call after Begin().
  void SetSymbolBlock(const CBlockExtent* block) { m_pSymbolBlock = block; }
  /// Converts one entity. Throws CSymbolFailure when the symbol cannot be
  /// made (see the insert limits in block_extractor.h).
  void Add(const CDxfEntity& entity);
  /// Ends the symbol; a POLYLINE whose SEQEND is missing is drawn here.
  void End();

  const std::string& text() const { return m_writer.text(); }
  /// The symbol's text and shapes.
  CSymTextWriter& writer() { return m_writer; }
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
  void WriteCircle(double cx, double cy, double cz, double radius);
  void PassOver(std::string_view type, std::string_view reason = {});
  void CountShape();
  CDxfBlockHandler& TraceHandler();

  // Inserts (insert_drawing.cc).
  void AddInsert(const CDxfEntity& insert);
  void OpenBlock(const CBlockExtent& block, long long copies);
  void DrawBlock(const CBlockExtent& block);

  // Dimensions and leaders (dimension_drawing.cc).
  void AddDimension(const CDxfEntity& dimension);
  void AddLeader(const CDxfEntity& leader);

  // Curves and outlines (curve_drawing.cc).
  void AddEllipse(const CDxfEntity& entity);
  void AddSpline(const CDxfEntity& entity);
  /// Draws a curve already placed in the symbol.
  void DrawCurve(const CPlaneCurve& curve, const std::vector<double>& breaks,
                 double size, double z);
  void AddOutline(const CDxfEntity& entity);
  void AddHatch(const CDxfEntity& entity);
  void AddHatchPolyline(CGroupCursor& cursor, double z);
  void AddHatchEdges(CGroupCursor& cursor, double z);
  void AddHatchSpline(CGroupCursor& cursor, double z);
  /// TEXT, MTEXT, ATTDEF and ATTRIB (with a font): their strokes as lines
  /// through the current placement; the characters drawn as boxes are
  /// reported as passed over.
  void AddText(const CDxfEntity& entity);

  CDxfBlockHandler& m_handler;
  CDxfOptions m_options;
  CSymTextWriter m_writer;
  int m_nRecords = 0;
  CPassedOver m_passedOver;
  std::string m_strKind;
  PolylineState m_polylineState = PolylineState::kNone;
  bool m_bPolylineMirrored = false;
  CPolyline m_polyline;

  const CBlockIndex* m_pBlocks = nullptr;
  const CBlockExtent* m_pSymbolBlock = nullptr;
  std::string_view m_text;
  CPlacement m_placement;
  /// The blocks being drawn, outermost first, and an entity buffer for
  /// each depth.
  std::vector<const CBlockExtent*> m_open;
  std::vector<std::unique_ptr<CDxfEntity>> m_entities;
  long long m_nInsertedEntities = 0;
  int m_nInsertedShapes = 0;
};

#endif  // SYMCONV_DXF_ENTITY_CONVERTER_H_

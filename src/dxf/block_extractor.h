#ifndef SYMCONV_DXF_BLOCK_EXTRACTOR_H_
#define SYMCONV_DXF_BLOCK_EXTRACTOR_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "dxf/passed_over.h"
#include "dxf/sym_text_writer.h"

class CHersheyFont;

/// What the extraction takes from a DXF text besides the LINE, ARC and
/// CIRCLE entities of its blocks.
struct CDxfOptions {
  /// The ENTITIES section (the drawing itself) becomes one more symbol,
  /// reported after the blocks.
  bool drawings = false;
  /// LWPOLYLINE and 2-D POLYLINE entities give a line or arc record per
  /// segment.
  bool polylines = false;
  /// INSERT and MINSERT entities draw the blocks they name, nested to any
  /// depth (up to kMaxInsertDepth) with their full placement.
  bool inserts = false;
  /// ELLIPSE and SPLINE entities become arcs and lines within tolerance.
  bool curves = false;
  /// SOLID, TRACE and 3DFACE give their outlines, HATCH its boundary.
  bool outlines = false;
  /// How far (drawing units) the arcs and lines drawing a curve may stray
  /// from it; 0 for a thousandth of the curve's size.
  double tolerance = 0.0;
  /// TEXT, MTEXT, ATTDEF and ATTRIB become strokes of font (owned by the
  /// caller, alive while the extraction runs); without one they are passed
  /// over.
  bool text = false;
  const CHersheyFont* font = nullptr;
};

/// Inserts nested deeper than this fail their symbol.
constexpr int kMaxInsertDepth = 32;
/// Entities that inserts may read in one symbol (each copy of a block
/// counts its entities again, so this bounds the product of MINSERT counts
/// down a chain of inserts), and shapes that they may draw in it: beyond
/// either the symbol fails instead of filling the disk.
constexpr long long kMaxInsertedEntities = 2000000;
constexpr int kMaxShapes = 1000000;

/// Receives what the extraction finds in a DXF text, in file order.
class CDxfBlockHandler {
 public:
  virtual ~CDxfBlockHandler() = default;

  /// One block to convert: its name exactly as in the file and the SYM text
  /// built from its LINE, ARC and CIRCLE entities (the header line alone
  /// when it has none). Special blocks (model and paper space, names that
  /// begin with '*') are not reported.
  virtual void OnBlock(const std::string& name,
                       const std::string& sym_text) = 0;

  /// With the drawings option: the SYM text of the ENTITIES section, when
  /// it gives at least one record.
  virtual void OnDrawing(const std::string& sym_text) { (void)sym_text; }

  /// What the extraction calls for a block: OnBlock with its text, whose
  /// shapes the writer also holds as ReadSymText reads them (none for the
  /// header line alone), for a handler that converts them and need neither
  /// make the text nor parse it back. The handler may move the shapes out.
  /// By default calls OnBlock.
  virtual void OnBlockShapes(const std::string& name, CSymTextWriter& block) {
    OnBlock(name, block.text());
  }
  /// The same for the drawing; by default calls OnDrawing.
  virtual void OnDrawingShapes(CSymTextWriter& drawing) {
    OnDrawing(drawing.text());
  }

  /// The entities of a block (drawing false, name the block's) or of the
  /// drawing (drawing true, name empty) that gave no record, when there
  /// were any. Follows the block's OnBlock (or the drawing's OnDrawing, when
  /// there is one).
  virtual void OnPassedOver(const std::string& name, bool drawing,
                            const CPassedOver& counts) {
    (void)name, (void)drawing, (void)counts;
  }

  /// A block (drawing false, name the block's) or the drawing (drawing
  /// true) that cannot become a symbol, and why; it gets no OnBlock or
  /// OnDrawing.
  virtual void OnFailed(const std::string& name, bool drawing,
                        const std::string& reason) {
    (void)name, (void)drawing, (void)reason;
  }

  /// How far the reading has come: bytes_done of the text's bytes_total.
  /// Called at each block and every few thousand entities, for a progress
  /// display.
  virtual void OnProgress(std::size_t bytes_done, std::size_t bytes_total) {
    (void)bytes_done, (void)bytes_total;
  }

  /// A line equal to the trace marker "IT'S ME" was read at the checkpoint
  /// named tag. Reading goes on afterwards.
  virtual void OnTrace(const char* tag) = 0;
};

/// Reads a whole DXF text group by group and reports every block of its
/// BLOCKS section to handler, and with options.drawings its ENTITIES
/// section after them. Returns false when the text has none of these
/// sections (nothing reported), true once they have been read to their end.
/// Without the drawings option the text is read no further than the end of
/// the BLOCKS section; with it, up to the EOF group or until both sections
/// have been read. Throws CPrematureEndException when the text runs out
/// while a group is wanted; what was reported before that stays reported.
/// Exceptions thrown by the handler pass through. Binary DXF data (see
/// binary_dxf.h) is read as the same drawing saved as text.
bool ConvertDxfText(std::string_view text, CDxfBlockHandler& handler,
                    const CDxfOptions& options = CDxfOptions());

#endif  // SYMCONV_DXF_BLOCK_EXTRACTOR_H_

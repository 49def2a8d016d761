#ifndef SYMCONV_DXF_BLOCK_EXTRACTOR_H_
#define SYMCONV_DXF_BLOCK_EXTRACTOR_H_

#include <string>
#include <string_view>

#include "dxf/passed_over.h"

/// What the extraction takes from a DXF text besides the LINE, ARC and
/// CIRCLE entities of its blocks.
struct CDxfOptions {
  /// The ENTITIES section (the drawing itself) becomes one more symbol,
  /// reported after the blocks.
  bool drawings = false;
  /// LWPOLYLINE and 2-D POLYLINE entities give a line or arc record per
  /// segment.
  bool polylines = false;
};

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

  /// The entities of a block (drawing false, name the block's) or of the
  /// drawing (drawing true, name empty) that gave no record, when there
  /// were any. Follows the block's OnBlock (or the drawing's OnDrawing, when
  /// there is one).
  virtual void OnPassedOver(const std::string& name, bool drawing,
                            const CPassedOver& counts) {
    (void)name, (void)drawing, (void)counts;
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
/// Exceptions thrown by the handler pass through.
bool ConvertDxfText(std::string_view text, CDxfBlockHandler& handler,
                    const CDxfOptions& options = CDxfOptions());

#endif  // SYMCONV_DXF_BLOCK_EXTRACTOR_H_

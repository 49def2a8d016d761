#ifndef SYMCONV_PREVIEW_SVG_WRITER_H_
#define SYMCONV_PREVIEW_SVG_WRITER_H_

#include <string>

#include "sml/sml_reader.h"

struct CSvgOptions {
  /// True: a whole .svg document (XML declaration first). False: the svg
  /// element alone, to be placed inside an HTML page.
  bool standalone = true;
  /// The larger side of the picture in CSS pixels.
  int pixels = 600;
};

/// An SVG picture of one symbol in the file's own coordinates (drawing
/// units, y axis down, as in SVG): one element per shape (line, path of
/// class "arc", circle) drawn with the exact geometry of the format, the
/// extents as a faint dashed frame (class "extents"), and the text's
/// origin marked with a small cross and ring (class "origin"). Strokes keep
/// their pixel width at any symbol size. Shapes with coordinates that are
/// not finite numbers are left out. The symbol's name is the title.
std::string RenderSymbolSvg(const CSymbol& symbol,
                            const CSvgOptions& options = CSvgOptions());

#endif  // SYMCONV_PREVIEW_SVG_WRITER_H_

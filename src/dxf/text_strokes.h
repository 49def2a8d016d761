#ifndef SYMCONV_DXF_TEXT_STROKES_H_
#define SYMCONV_DXF_TEXT_STROKES_H_

#include <set>

#include "dxf/dxf_group_reader.h"
#include "dxf/hershey_font.h"
#include "dxf/text_entity.h"

/// A point of a stroke, in world coordinates (DXF's, y up).
struct CStrokePoint {
  double x;
  double y;
};

/// Receives a text's strokes as the pen draws them, stroke by stroke in
/// order: MoveTo starts a stroke at its first point (one point alone is a
/// dot), LineTo draws on from the last point to the next.
class CStrokeSink {
 public:
  virtual ~CStrokeSink() = default;
  virtual void MoveTo(CStrokePoint point) = 0;
  virtual void LineTo(CStrokePoint point) = 0;
};

/// The characters that the font lacks, drawn as boxes.
struct CMissingGlyphs {
  int count = 0;             // boxes drawn
  std::set<char32_t> codes;  // the characters they stand for
};

/// Draws into sink the strokes that a TEXT, ATTDEF, ATTRIB or MTEXT entity
/// shows in font, and counts in *missing (when not null) the characters
/// drawn as boxes. False, with nothing drawn, when entity is of none of
/// these types or lies in a tilted plane (see extrusion.h); an invisible
/// attribute or an empty text gives true and no strokes.
bool StrokeTextEntity(const CDxfEntity& entity, const CHersheyFont& font,
                      CStrokeSink& sink, CMissingGlyphs* missing);

/// The layout itself, for a text already read: the strokes of text's lines
/// in font, in world coordinates. text.plane must not be kTilted.
void LayOutText(const CTextEntity& text, const CHersheyFont& font,
                CStrokeSink& sink, CMissingGlyphs* missing);

#endif  // SYMCONV_DXF_TEXT_STROKES_H_

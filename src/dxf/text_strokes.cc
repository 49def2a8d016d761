#include "dxf/text_strokes.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/dxf_group_reader.h"
#include "dxf/dxf_trig.h"
#include "dxf/extrusion.h"
#include "dxf/hershey_font.h"
#include "dxf/text_content.h"
#include "dxf/text_entity.h"

namespace {

// Baseline to baseline of MTEXT lines, in cap heights, at spacing 1.
constexpr double kLineSpacing = 5.0 / 3.0;

using CVertex = CHersheyGlyph::CVertex;

// Where the text's own coordinates (u along the baseline, v up, drawing
// units) go in the world, and the glyph shapes of this text.
struct CPlacement {
  double ox = 0.0, oy = 0.0;  // the text's origin
  double xx = 1.0, xy = 0.0;  // the u axis
  double yx = 0.0, yy = 1.0;  // the v axis
  double scale = 1.0;         // drawing units per font unit
  double sx = 1.0, sy = 1.0;  // width factor (and fit) and aligned scale
  double shear = 0.0;         // oblique: u grows by v * shear
  bool flip_u = false, flip_v = false;
};

class CTextSetter {
 public:
  CTextSetter(const CHersheyFont& font, const CPlacement& place,
              CStrokeSink& sink, CMissingGlyphs* missing)
      : m_font(font), m_place(place), m_sink(sink), m_missing(missing) {}

  // Width of text in font units.
  long long units(std::u32string_view text) const {
    long long sum = 0;
    bool missing = false;
    for (const char32_t c : text) {
      const CHersheyGlyph& g = m_font.drawn(c, &missing);
      sum += g.right - g.left;
    }
    return sum;
  }

  // Width of line in drawing units, before sx.
  double width(const std::u32string& line) const {
    return units(line) * m_place.scale;
  }

  // Draws line with its baseline starting at (u0, v0) before scaling.
  void draw(const std::u32string& line, double u0, double v0) {
    long long pen = 0;
    for (const char32_t c : line) {
      bool missing = false;
      const CHersheyGlyph& g = m_font.drawn(c, &missing);
      if (missing && m_missing != nullptr) {
        ++m_missing->count;
        m_missing->codes.insert(c);
      }
      for (const auto& stroke : g.strokes) {
        const CVertex& first = stroke.front();
        m_sink.MoveTo(Place(u0, v0, pen + first.x - g.left, first.y));
        for (std::size_t i = 1; i < stroke.size(); ++i) {
          const CVertex& vertex = stroke[i];
          m_sink.LineTo(Place(u0, v0, pen + vertex.x - g.left, vertex.y));
        }
      }
      pen += g.right - g.left;
    }
  }

  double scale() const { return m_place.scale; }

 private:
  CStrokePoint Place(double u0, double v0, double fx, int fy) const {
    const CPlacement& p = m_place;
    const double v = (v0 + (m_font.baseline() - fy) * p.scale) * p.sy;
    double u = (u0 + fx * p.scale) * p.sx + v * p.shear;
    const double fv = p.flip_v ? 0.0 - v : v;
    if (p.flip_u) u = 0.0 - u;
    return {p.ox + u * p.xx + fv * p.yx, p.oy + u * p.xy + fv * p.yy};
  }

  const CHersheyFont& m_font;
  CPlacement m_place;
  CStrokeSink& m_sink;
  CMissingGlyphs* m_missing;
};

// The world axes of a text whose plane x axis is (cx, cy): a mirrored
// plane has the world's -x as its x axis, so both axes change sides.
void SetAxes(CPlacement* p, double cx, double cy, bool mirrored) {
  p->xx = mirrored ? 0.0 - cx : cx;
  p->xy = cy;
  p->yx = mirrored ? cy : 0.0 - cy;
  p->yy = cx;
}

// The offset (u0, v0) of a line's start from its alignment point, before
// the width factor, for justification h (72) and v (73 or 74).
void JustifyLine(int h, int v, double width, double cap, double descent,
                 double* u0, double* v0) {
  *u0 = h == 2 ? -width : (h == 1 || h == 4) ? -width / 2 : 0.0;
  if (h == 4 && v == 0) {
    *v0 = -(cap - descent) / 2;  // middle of capitals and descenders
  } else {
    *v0 = v == 1 ? descent : v == 2 ? -cap / 2 : v == 3 ? -cap : 0.0;
  }
}

// TEXT, ATTDEF and ATTRIB: one line placed by its justification. Left on
// the baseline sits at the first point; aligned (3) and fit (5) run from
// the first point to the second, aligned keeping the proportions and fit
// stretching only; every other one puts its point at the second.
void LayOutLine(const CTextEntity& text, const CHersheyFont& font,
                CPlacement place, CStrokeSink& sink, CMissingGlyphs* missing) {
  const std::u32string& line = text.lines.front();
  const double width = CTextSetter(font, place, sink, missing).width(line);
  const double descent = (font.descent() - font.baseline()) * place.scale;
  const int h = text.h_just;
  const int v = text.v_just;
  const double dx = text.align_x - text.x;
  const double dy = text.align_y - text.y;
  const double run = std::hypot(dx, dy);
  double cx, cy;
  SinCosDegrees(text.rotation, cy, cx);
  double ax = text.align_x;
  double ay = text.align_y;
  double u0 = 0.0;
  double v0 = 0.0;
  place.sx = text.width_factor;
  if ((h == 3 || h == 5) && v == 0 && run > 0.0 && width > 0.0) {
    cx = dx / run;
    cy = dy / run;
    ax = text.x;
    ay = text.y;
    place.sx = run / width;
    if (h == 3) place.sy = place.sx / text.width_factor;
  } else if ((h == 0 || h == 3 || h == 5) && v == 0) {
    ax = text.x;
    ay = text.y;
  } else {
    JustifyLine(h, v, width, text.height, descent, &u0, &v0);
  }
  double oblique_sin, oblique_cos;
  SinCosDegrees(text.oblique, oblique_sin, oblique_cos);
  place.shear = oblique_sin / std::max(oblique_cos, 1e-6);
  place.flip_u = text.backward;
  place.flip_v = text.upside_down;
  const bool mirrored = text.plane == EntityPlane::kMirrored;
  place.ox = mirrored ? 0.0 - ax : ax;
  place.oy = ay;
  SetAxes(&place, cx, cy, mirrored);
  CTextSetter(font, place, sink, missing).draw(line, u0, v0);
}

// Breaks paragraph into lines no wider than width (0: no limit) at its
// spaces; a word wider than width gets a line of its own. Widths add up
// glyph by glyph, so each character is measured once.
void WrapParagraph(const std::u32string& paragraph, double width,
                   const CTextSetter& setter,
                   std::vector<std::u32string>* lines) {
  if (width <= 0.0) {
    lines->push_back(paragraph);
    return;
  }
  const std::u32string_view text = paragraph;
  const long long space_units = setter.units(U" ");
  std::size_t line_start = 0;
  std::size_t line_end = 0;  // after the last word taken
  long long line_units = 0;
  for (std::size_t start = 0;;) {
    const std::size_t space = std::min(text.find(U' ', start), text.size());
    const long long word_units =
        setter.units(text.substr(start, space - start));
    if (start == 0) {
      line_units = word_units;
    } else if (line_end > line_start &&
               (line_units + space_units + word_units) * setter.scale() >
                   width) {
      lines->emplace_back(text.substr(line_start, line_end - line_start));
      line_start = start;
      line_units = word_units;
    } else {
      line_units += space_units + word_units;
    }
    line_end = space;
    if (space == text.size()) break;
    start = space + 1;
  }
  lines->emplace_back(text.substr(line_start, line_end - line_start));
}

void LayOutMText(const CTextEntity& text, const CHersheyFont& font,
                 CPlacement place, CStrokeSink& sink, CMissingGlyphs* missing) {
  const bool mirrored = text.plane == EntityPlane::kMirrored;
  // The insertion point and the direction vector are world coordinates.
  place.ox = text.x;
  place.oy = text.y;
  const double length = std::hypot(text.dir_x, text.dir_y);
  if (length > 0.0) {
    place.xx = text.dir_x / length;
    place.xy = text.dir_y / length;
    place.yx = mirrored ? place.xy : 0.0 - place.xy;
    place.yy = mirrored ? 0.0 - place.xx : place.xx;
  } else {
    double sine, cosine;
    SinCosDegrees(text.rotation, sine, cosine);
    SetAxes(&place, cosine, sine, mirrored);
  }
  CTextSetter setter(font, place, sink, missing);
  std::vector<std::u32string> lines;
  for (const std::u32string& paragraph : text.lines) {
    WrapParagraph(paragraph, text.ref_width, setter, &lines);
  }
  const double cap = text.height;
  const double pitch = kLineSpacing * cap * text.line_spacing;
  const double last = -cap - pitch * static_cast<double>(lines.size() - 1);
  const double descent = (font.descent() - font.baseline()) * place.scale;
  const int column = (text.attachment - 1) % 3;
  const int row = (text.attachment - 1) / 3;
  // The anchor's height in a frame whose top is the first line's cap top.
  const double anchor = row == 0 ? 0.0 : row == 1 ? last / 2 : last - descent;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double width = setter.width(lines[i]);
    const double u0 = column == 0 ? 0.0 : column == 1 ? -width / 2 : -width;
    const double v0 = -cap - pitch * static_cast<double>(i) - anchor;
    setter.draw(lines[i], u0, v0);
  }
}

}  // namespace

void LayOutText(const CTextEntity& text, const CHersheyFont& font,
                CStrokeSink& sink, CMissingGlyphs* missing) {
  if (!text.visible || text.lines.empty()) return;
  CPlacement place;
  place.scale = text.height / (font.baseline() - font.capTop());
  if (text.mtext) {
    LayOutMText(text, font, place, sink, missing);
  } else {
    LayOutLine(text, font, place, sink, missing);
  }
}

bool StrokeTextEntity(const CDxfEntity& entity, const CHersheyFont& font,
                      CStrokeSink& sink, CMissingGlyphs* missing) {
  CTextEntity text;
  if (!ReadTextEntity(entity, &text) || text.plane == EntityPlane::kTilted) {
    return false;
  }
  LayOutText(text, font, sink, missing);
  return true;
}

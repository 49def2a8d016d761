#ifndef SYMCONV_DXF_HERSHEY_FONT_H_
#define SYMCONV_DXF_HERSHEY_FONT_H_

#include <string>
#include <string_view>
#include <vector>

/// One glyph of a Hershey font, in font units with y growing downwards as
/// the font file has it.
struct CHersheyGlyph {
  struct CVertex {
    int x, y;
  };
  /// The horizontal extent that the glyph advances the pen by.
  int left = 0;
  int right = 0;
  /// The pen-down runs of the glyph, each of at least one vertex.
  std::vector<std::vector<CVertex>> strokes;
};

/// A single-stroke font read from the bytes of a Hershey .jhf file. Each
/// record is a 5-character glyph number, a 3-character vertex count, then
/// that many pairs of characters, each coordinate offset by 'R': first the
/// left and right bounds, then the vertices, " R" lifting the pen. A long
/// record may go on over further lines. The records stand for the
/// characters from the space (32) on, in file order.
class CHersheyFont {
 public:
  CHersheyFont() { MakeStandIns(); }

  /// Reads bytes; on a malformed record or a file without glyphs returns
  /// false and says why in *error, leaving the font empty.
  bool Parse(std::string_view bytes, std::string* error);

  /// The glyph of code point c; null when the font has none.
  const CHersheyGlyph* glyph(char32_t c) const;
  /// The glyph drawn for c: the font's own (a no-break space's is the
  /// space's); for the degree, plus-minus and diameter signs, which Hershey
  /// fonts lack, one made from the font's glyphs; for any other c a box,
  /// with *missing set. The made ones are made as the font is read, not for
  /// every text drawn.
  const CHersheyGlyph& drawn(char32_t c, bool* missing) const;

  /// Font-unit heights (y down): the baseline, the top of the capitals,
  /// the top of the lower case and the bottom of the descenders, measured
  /// on 'H', 'x' and 'p' (Simplex Roman's values when the font lacks them).
  int baseline() const { return m_nBaseline; }
  int capTop() const { return m_nCapTop; }
  int xTop() const { return m_nXTop; }
  int descent() const { return m_nDescent; }

 private:
  bool ReadGlyphs(std::string_view bytes, std::string* error);
  void Measure();
  void MakeStandIns();

  std::vector<CHersheyGlyph> m_glyphs;
  int m_nBaseline = 9;
  int m_nCapTop = -12;
  int m_nXTop = -5;
  int m_nDescent = 16;
  CHersheyGlyph m_box, m_degree, m_plusMinus, m_diameter;
};

#endif  // SYMCONV_DXF_HERSHEY_FONT_H_

#include "dxf/text_strokes.h"

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "dxf/dxf_group_reader.h"
#include "dxf/hershey_font.h"

namespace {

// A pen-down run: a polyline of at least one point.
using CStroke = std::vector<CStrokePoint>;

class CStrokeCollector : public CStrokeSink {
 public:
  void MoveTo(CStrokePoint point) override { strokes.push_back({point}); }
  void LineTo(CStrokePoint point) override { strokes.back().push_back(point); }
  std::vector<CStroke> strokes;
};

// Strokes of the entity whose groups are written "code|value|..." after
// its type.
std::vector<CStroke> Stroke(const std::string& type, std::string_view groups,
                            const CHersheyFont& font, int* missing = nullptr) {
  if (groups.ends_with('|')) groups.remove_suffix(1);
  std::string text = "0\n" + type + "\n";
  for (const char c : groups) text += c == '|' ? '\n' : c;
  text += "\n0\nEOF\n";
  CDxfGroupReader reader(text);
  reader.next();
  CDxfEntity entity;
  reader.readEntity(entity);
  CStrokeCollector collector;
  CMissingGlyphs lacking;
  EXPECT_TRUE(StrokeTextEntity(entity, font, collector, &lacking));
  if (missing != nullptr) *missing = lacking.count;
  return collector.strokes;
}

// A font whose every glyph is 10 units wide and draws one bar up the
// middle from the baseline to the capitals' top (21 units), except the
// space (no stroke) and 'p' (a bar 7 units below the baseline).
std::string BarFontRecords() {
  std::string jhf;
  for (char c = ' '; c <= '~'; ++c) {
    jhf += c == ' '   ? "12345  1MW\n"
           : c == 'p' ? "12345  3MWRMRb\n"
                      : "12345  3MWRFR[\n";
  }
  return jhf;
}

CHersheyFont BarFont() {
  CHersheyFont font;
  std::string error;
  EXPECT_TRUE(font.Parse(BarFontRecords(), &error)) << error;
  return font;
}

struct CLayoutCase {
  const char* fault;
  const char* type;
  const char* groups;
  double first_x, first_y;  // first point of the first stroke
  double last_x, last_y;    // first point of the last stroke
  int missing = 0;
};

// "HH" is 20 units wide; at height 21 a font unit is a drawing unit.
#define TXT "1|HH|40|21|10|100|20|50|11|200|21|80|"
#define MTX "40|21|10|100|20|50|"

TEST(TextStrokesTest, JustificationAndMTextLayoutPlaceTheGlyphs) {
  const CLayoutCase cases[] = {
      {"left baseline ignores the second point", "TEXT", TXT, 105, 71, 115, 71},
      {"center not at second point", "TEXT", TXT "72|1", 195, 101, 205, 101},
      {"right not ending at second point", "TEXT", TXT "72|2", 185, 101, 195,
       101},
      {"middle not centred on the full height", "TEXT", TXT "72|4", 195, 94,
       205, 94},
      {"top left not hanging from the point", "TEXT", TXT "73|3", 205, 80, 215,
       80},
      {"bottom not lifted by the descent", "TEXT", TXT "72|2|73|1", 185, 108,
       195, 108},
      {"middle center off", "TEXT", TXT "72|1|73|2", 195, 90.5, 205, 90.5},
      {"aligned not scaled both ways", "TEXT",
       "1|HH|40|21|10|100|20|50|11|140|21|50|72|3", 110, 92, 130, 92},
      {"fit stretched in height", "TEXT",
       "1|HH|40|21|10|100|20|50|11|140|21|50|72|5", 110, 71, 130, 71},
      {"rotation ignored", "TEXT", TXT "50|90", 79, 55, 79, 65},
      {"width factor ignored", "TEXT", TXT "41|0.5", 102.5, 71, 107.5, 71},
      {"oblique not slanting", "TEXT", TXT "51|45", 126, 71, 136, 71},
      {"backward not mirrored", "TEXT", TXT "71|2", 95, 71, 85, 71},
      {"upside down not mirrored", "TEXT", TXT "71|4", 105, 29, 115, 29},
      {"mirrored plane not mirrored", "TEXT", TXT "230|-1", -105, 71, -115, 71},
      {"attribute justified by 73, not 74", "ATTRIB", TXT "73|1|74|3", 205, 80,
       215, 80},
      {"missing glyph not boxed", "TEXT", "1|H\\U+00E4|40|21|10|100|20|50", 105,
       71, 111, 50, 1},
      {"mtext top left off", "MTEXT", MTX "1|HH\\PHH", 105, 50, 115, 15},
      {"mtext middle center off", "MTEXT", MTX "71|5|1|HH\\PHH", 95, 78, 105,
       43},
      {"mtext bottom right off", "MTEXT", MTX "71|9|1|HH\\PHH", 85, 113, 95,
       78},
      {"mtext not wrapped at the width", "MTEXT", MTX "41|25|1|HH HH", 105, 50,
       115, 15},
      {"mtext line spacing ignored", "MTEXT", MTX "44|2|1|HH\\PHH", 105, 50,
       115, -20},
      {"mtext codes drawn", "MTEXT", MTX "1|\\A1;{\\H2x;H}\\~H", 105, 50, 125,
       50},
      {"mtext direction ignored", "MTEXT", MTX "11|0|21|1|1|HH", 100, 55, 100,
       65},
  };
  const CHersheyFont font = BarFont();
  for (const CLayoutCase& c : cases) {
    int missing = 0;
    const auto strokes = Stroke(c.type, c.groups, font, &missing);
    ASSERT_FALSE(strokes.empty()) << c.fault;
    EXPECT_NEAR(strokes.front().front().x, c.first_x, 1e-9) << c.fault;
    EXPECT_NEAR(strokes.front().front().y, c.first_y, 1e-9) << c.fault;
    EXPECT_NEAR(strokes.back().front().x, c.last_x, 1e-9) << c.fault;
    EXPECT_NEAR(strokes.back().front().y, c.last_y, 1e-9) << c.fault;
    EXPECT_EQ(missing, c.missing) << c.fault;
  }
}

// Simplex Roman as installed: the strokes of a text must be its glyph
// records, vertex for vertex, set side by side.
TEST(TextStrokesTest, StrokesFollowTheInstalledFontRecords) {
  std::ifstream in("/usr/share/hershey-fonts/futural.jhf");
  if (!in) GTEST_SKIP() << "hershey-fonts-data is not installed";
  std::vector<std::string> records;
  for (std::string line; std::getline(in, line);) records.push_back(line);
  std::string bytes;
  for (const std::string& line : records) bytes += line + "\n";
  CHersheyFont font;
  std::string error;
  ASSERT_TRUE(font.Parse(bytes, &error)) << error;
  // Height 21 is one unit per font unit; the baseline of futural is y 9.
  const auto strokes = Stroke("TEXT", "1|Ag%%%|40|21", font);
  std::vector<CStroke> expected;
  int pen = 0;
  for (const char c : std::string("Ag%")) {
    const std::string& r = records[c - ' '];
    const int left = r[8] - 'R';
    for (std::size_t i = 10; i + 1 < r.size(); i += 2) {
      if (i == 10 || r.compare(i, 2, " R") == 0) expected.emplace_back();
      if (r.compare(i, 2, " R") == 0) continue;
      expected.back().push_back(
          {double(pen + r[i] - 'R' - left), 9.0 - (r[i + 1] - 'R')});
    }
    pen += r[9] - r[8];
  }
  ASSERT_EQ(strokes.size(), expected.size());
  for (std::size_t s = 0; s < strokes.size(); ++s) {
    ASSERT_EQ(strokes[s].size(), expected[s].size()) << s;
    for (std::size_t p = 0; p < strokes[s].size(); ++p) {
      EXPECT_DOUBLE_EQ(strokes[s][p].x, expected[s][p].x) << s << "," << p;
      EXPECT_DOUBLE_EQ(strokes[s][p].y, expected[s][p].y) << s << "," << p;
    }
  }
}

// The degree, plus-minus and diameter signs are made from a font's 'o',
// '+' and 'O' as it is read: a font read again must make them from what it
// holds now, not stand boxes in for them.
TEST(TextStrokesTest, SignsAreMadeFromTheFontLastRead) {
  CHersheyFont font;
  std::string error;
  ASSERT_TRUE(font.Parse("12345  3MWRFR[\n", &error)) << error;
  int missing = 0;
  Stroke("TEXT", "1|%%d%%p%%c\\U+00E4|40|21", font, &missing);
  EXPECT_EQ(missing, 4);
  ASSERT_TRUE(font.Parse(BarFontRecords(), &error)) << error;
  Stroke("TEXT", "1|%%d%%p%%c\\U+00E4|40|21", font, &missing);
  EXPECT_EQ(missing, 1);
}

TEST(TextStrokesTest, MalformedFontIsRefusedWithAReason) {
  const struct {
    const char* jhf;
    const char* reason;
  } cases[] = {
      {"", "the font holds no glyph"},
      {"12345  3MWR[R", "glyph 12345 is cut short"},
      {"12345 x3MWR[RF",
       "a record does not begin with a glyph number and a "
       "vertex count"},
  };
  for (const auto& c : cases) {
    CHersheyFont font;
    std::string error;
    EXPECT_FALSE(font.Parse(c.jhf, &error));
    EXPECT_EQ(error, c.reason);
    EXPECT_EQ(font.glyph('!'), nullptr);
  }
}

}  // namespace

#include "dxf/hershey_font.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "dxf/text_content.h"

namespace {

constexpr char32_t kFirstCode = 32;

// Signs that texts use and Hershey fonts lack.
constexpr char32_t kDegree = 0xB0;
constexpr char32_t kPlusMinus = 0xB1;
constexpr char32_t kDiameter = 0x2300;

bool ParseField(std::string_view field, int* value) {
  *value = 0;
  bool digits = false;
  for (const char c : field) {
    if (c == ' ' && !digits) continue;
    if (c < '0' || c > '9') return false;
    *value = *value * 10 + (c - '0');
    digits = true;
  }
  return digits;
}

// Reads one record at *pos into glyph; an empty string when it is sound.
std::string ReadRecord(std::string_view bytes, std::size_t* pos,
                       CHersheyGlyph* glyph) {
  int number = 0;
  int count = 0;
  if (bytes.size() - *pos < 8 || !ParseField(bytes.substr(*pos, 5), &number) ||
      !ParseField(bytes.substr(*pos + 5, 3), &count) || count < 1) {
    return "a record does not begin with a glyph number and a vertex count";
  }
  *pos += 8;
  // The pairs, with the line breaks of a long record left out.
  std::string pairs;
  while (pairs.size() < 2u * count && *pos < bytes.size()) {
    const char c = bytes[(*pos)++];
    if (c != '\n' && c != '\r') pairs += c;
  }
  if (pairs.size() < 2u * count) {
    return "glyph " + std::to_string(number) + " is cut short";
  }
  glyph->left = pairs[0] - 'R';
  glyph->right = pairs[1] - 'R';
  glyph->strokes.clear();
  bool pen_up = true;
  for (int i = 1; i < count; ++i) {
    const char x = pairs[2 * i];
    const char y = pairs[2 * i + 1];
    if (x == ' ' && y == 'R') {
      pen_up = true;
      continue;
    }
    if (pen_up) glyph->strokes.emplace_back();
    pen_up = false;
    glyph->strokes.back().push_back({x - 'R', y - 'R'});
  }
  return std::string();
}

}  // namespace

bool CHersheyFont::Parse(std::string_view bytes, std::string* error) {
  const bool read = ReadGlyphs(bytes, error);
  MakeStandIns();
  return read;
}

bool CHersheyFont::ReadGlyphs(std::string_view bytes, std::string* error) {
  m_glyphs.clear();
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    if (bytes[pos] == '\n' || bytes[pos] == '\r') {
      ++pos;
      continue;
    }
    CHersheyGlyph glyph;
    *error = ReadRecord(bytes, &pos, &glyph);
    if (!error->empty()) {
      m_glyphs.clear();
      return false;
    }
    m_glyphs.push_back(std::move(glyph));
  }
  if (m_glyphs.empty()) {
    *error = "the font holds no glyph";
    return false;
  }
  Measure();
  return true;
}

const CHersheyGlyph* CHersheyFont::glyph(char32_t c) const {
  if (c < kFirstCode || c - kFirstCode >= m_glyphs.size()) return nullptr;
  return &m_glyphs[c - kFirstCode];
}

void CHersheyFont::Measure() {
  // The lowest and highest y of a glyph that has vertices.
  const auto extent = [this](char32_t c, int* top, int* bottom) {
    const CHersheyGlyph* g = glyph(c);
    if (g == nullptr || g->strokes.empty()) return;
    *top = *bottom = g->strokes.front().front().y;
    for (const auto& stroke : g->strokes) {
      for (const CHersheyGlyph::CVertex& v : stroke) {
        *top = std::min(*top, v.y);
        *bottom = std::max(*bottom, v.y);
      }
    }
  };
  int unused = 0;
  extent('H', &m_nCapTop, &m_nBaseline);
  extent('x', &m_nXTop, &unused);
  extent('p', &unused, &m_nDescent);
  // A font whose 'H' has no height would make every text flat.
  if (m_nCapTop >= m_nBaseline) m_nCapTop = m_nBaseline - 1;
}

const CHersheyGlyph& CHersheyFont::drawn(char32_t c, bool* missing) const {
  *missing = false;
  if (c == kNoBreakSpace) c = ' ';
  if (const CHersheyGlyph* g = glyph(c)) return *g;
  if (c == kDegree && m_degree.right > m_degree.left) return m_degree;
  if (c == kPlusMinus && m_plusMinus.right > m_plusMinus.left) {
    return m_plusMinus;
  }
  if (c == kDiameter && m_diameter.right > m_diameter.left) return m_diameter;
  *missing = true;
  return m_box;
}

void CHersheyFont::MakeStandIns() {
  const int base = m_nBaseline;
  const int top = m_nCapTop;
  const int width = (base - top) * 2 / 3;
  m_box = CHersheyGlyph();
  m_box.right = width;
  m_box.strokes = {{{width / 8, base},
                    {width - width / 8, base},
                    {width - width / 8, top},
                    {width / 8, top},
                    {width / 8, base}}};
  m_plusMinus = m_diameter = m_degree = CHersheyGlyph();
  if (const CHersheyGlyph* plus = glyph('+')) {
    m_plusMinus = *plus;
    m_plusMinus.strokes.push_back(
        {{plus->left + 2, base}, {plus->right - 2, base}});
  }
  if (const CHersheyGlyph* o = glyph('O')) {
    m_diameter = *o;
    m_diameter.strokes.push_back(
        {{o->left + 2, base + 1}, {o->right - 2, top - 1}});
  }
  // A small 'o' at half size, its top at the capitals' top.
  if (const CHersheyGlyph* o = glyph('o')) {
    const int lift = top - m_nXTop / 2 - (m_nXTop - top) / 2;
    m_degree.left = o->left / 2;
    m_degree.right = o->right / 2;
    for (const auto& stroke : o->strokes) {
      m_degree.strokes.emplace_back();
      for (const CHersheyGlyph::CVertex& v : stroke) {
        m_degree.strokes.back().push_back({v.x / 2, v.y / 2 + lift});
      }
    }
  }
}

#include "dxf/text_content.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char32_t kDiameter = 0x2300;
constexpr char32_t kDegree = 0xB0;
constexpr char32_t kPlusMinus = 0xB1;

// Windows-1252 for the bytes 0x80-0x9F; the rest of the upper half is
// Latin-1. Unassigned bytes keep their own value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
    0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class CDecoder {
 public:
  CDecoder(std::string_view text, bool mtext) : m_text(text), m_bMText(mtext) {
    m_paragraphs.emplace_back();
  }

  std::vector<std::u32string> Run() {
    while (m_pos < m_text.size()) {
      if (!Code()) Character();
    }
    return std::move(m_paragraphs);
  }

 private:
  bool At(std::string_view s) const {
    return m_text.substr(m_pos, s.size()) == s;
  }
  void Emit(char32_t c) { m_paragraphs.back() += c; }

  // Applies the code at the position; false when there is none.
  bool Code() {
    if (At("%%")) return PercentCode();
    if (At("\\U+") && Unicode()) return true;
    if (!m_bMText) return false;
    const char c = m_text[m_pos];
    if (c == '{' || c == '}') {
      ++m_pos;
      return true;
    }
    if (c == '^' && m_pos + 1 < m_text.size()) return CaretCode();
    if (c == '\\' && m_pos + 1 < m_text.size()) return BackslashCode();
    return false;
  }

  bool PercentCode() {
    m_pos += 2;
    if (m_pos >= m_text.size()) {
      Emit('%');
      Emit('%');
      return true;
    }
    const char c = m_text[m_pos];
    if (c >= '0' && c <= '9') {
      int code = 0;
      for (int i = 0; i < 3 && m_pos < m_text.size() && m_text[m_pos] >= '0' &&
                      m_text[m_pos] <= '9';
           ++i) {
        code = code * 10 + (m_text[m_pos++] - '0');
      }
      Emit(static_cast<char32_t>(code));
      return true;
    }
    ++m_pos;
    switch (c | 0x20) {
      case 'c':
        Emit(kDiameter);
        break;
      case 'd':
        Emit(kDegree);
        break;
      case 'p':
        Emit(kPlusMinus);
        break;
      case 'u':
      case 'o':
      case 'k':
        break;
      default:
        Emit(static_cast<unsigned char>(c));  // %%% and unknown codes
    }
    return true;
  }

  bool Unicode() {
    char32_t code = 0;
    std::size_t i = m_pos + 3;
    for (; i < m_text.size() && i < m_pos + 7 && HexDigit(m_text[i]) >= 0;
         ++i) {
      code = code * 16 + HexDigit(m_text[i]);
    }
    if (i == m_pos + 3) return false;
    m_pos = i;
    Emit(code);
    return true;
  }

  bool CaretCode() {
    const char c = m_text[m_pos + 1];
    if (c == 'J') {
      m_paragraphs.emplace_back();
    } else if (c == 'I') {
      Emit(' ');
    } else if (c != 'M') {
      return false;
    }
    m_pos += 2;
    return true;
  }

  bool BackslashCode() {
    const char c = m_text[m_pos + 1];
    m_pos += 2;
    switch (c) {
      case 'P':
      case 'N':
        m_paragraphs.emplace_back();
        return true;
      case '~':
        Emit(kNoBreakSpace);
        return true;
      case '\\':
      case '{':
      case '}':
        Emit(static_cast<unsigned char>(c));
        return true;
      case 'S':
        Stacked();
        return true;
      case 'L':
      case 'l':
      case 'O':
      case 'o':
      case 'K':
      case 'k':
      case 'X':
        return true;
      case 'f':
      case 'F':
      case 'H':
      case 'W':
      case 'Q':
      case 'T':
      case 'A':
      case 'C':
      case 'c':
      case 'p':
        SkipPastSemicolon();
        return true;
      default:
        m_pos -= 1;  // an unknown code shows its character
        return true;
    }
  }

  void SkipPastSemicolon() {
    const std::size_t end = m_text.find(';', m_pos);
    m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
  }

  // \Snumerator^denominator; (also with / or #) as "numerator/denominator".
  void Stacked() {
    while (m_pos < m_text.size() && m_text[m_pos] != ';') {
      const char c = m_text[m_pos];
      if (c == '^' || c == '#' || c == '/') {
        Emit('/');
        ++m_pos;
      } else if (c == '\\' && m_pos + 1 < m_text.size()) {
        Emit(static_cast<unsigned char>(m_text[m_pos + 1]));
        m_pos += 2;
      } else {
        Character();
      }
    }
    if (m_pos < m_text.size()) ++m_pos;
  }

  // One character: a valid UTF-8 sequence, or else one Windows-1252 byte.
  void Character() {
    const auto lead = static_cast<unsigned char>(m_text[m_pos]);
    const int extra = lead >= 0xF5   ? 0
                      : lead >= 0xF0 ? 3
                      : lead >= 0xE0 ? 2
                      : lead >= 0xC2 ? 1
                                     : 0;
    char32_t code = extra == 3 ? lead & 7 : extra == 2 ? lead & 15 : lead & 31;
    bool valid =
        extra > 0 && m_text.size() - m_pos > static_cast<std::size_t>(extra);
    for (int i = 1; valid && i <= extra; ++i) {
      const auto next = static_cast<unsigned char>(m_text[m_pos + i]);
      valid = (next & 0xC0) == 0x80;
      code = code << 6 | (next & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    if (valid &&
        ((extra == 2 && (code < 0x800 || (code >= 0xD800 && code < 0xE000))) ||
         (extra == 3 && (code < 0x10000 || code > 0x10FFFF)))) {
      valid = false;
    }
    if (valid) {
      m_pos += 1 + extra;
      Emit(code);
      return;
    }
    ++m_pos;
    Emit(lead >= 0x80 && lead < 0xA0 ? kCp1252High[lead - 0x80] : lead);
  }

  std::string_view m_text;
  bool m_bMText;
  std::size_t m_pos = 0;
  std::vector<std::u32string> m_paragraphs;
};

}  // namespace

std::u32string DecodeTextValue(std::string_view value) {
  // Most values are ASCII without codes: each byte is its character.
  bool plain = true;
  for (const char c : value) {
    plain =
        plain && static_cast<unsigned char>(c) < 0x80 && c != '%' && c != '\\';
  }
  if (plain) return std::u32string(value.begin(), value.end());
  return std::move(CDecoder(value, false).Run().front());
}

std::vector<std::u32string> DecodeMText(std::string_view value) {
  return CDecoder(value, true).Run();
}

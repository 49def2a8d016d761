#include "dxf/dxf_group_reader.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "symbol/line_reader.h"
#include "symbol/numbers.h"

int ParseGroupCode(std::string_view line) {
  std::size_t i = 0;
  const bool negative = !line.empty() && line[0] == '-';
  if (negative) i = 1;
  // Real codes have at most four digits; nine keep the sum within an int.
  if (line.size() == i || line.size() - i > 9) return CDxfGroup::kNoCode;
  int code = 0;
  for (; i < line.size(); ++i) {
    if (line[i] < '0' || line[i] > '9') return CDxfGroup::kNoCode;
    code = code * 10 + (line[i] - '0');
  }
  return negative ? -code : code;
}

int CDxfEntity::scan(int code, std::size_t from) const {
  for (std::size_t i = from; i < m_nGroups; ++i) {
    if (m_groups[i].m_nCode == code) return static_cast<int>(i);
  }
  return -1;
}

std::string_view CDxfEntity::getText(int code) const {
  const int i = find(code);
  return i < 0 ? std::string_view() : m_groups[i].m_strValue;
}

void CDxfEntity::getxyz(int x_code, double& x, double& y, double& z) const {
  x = getFloat(x_code);
  y = getFloat(x_code + 10);
  z = getFloat(x_code + 20);
}

namespace {

bool IsDigitByte(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Space or a control byte: one comparison that every trimmed byte passes,
// so a value that fails it at both ends needs no trimming.
bool IsLowByte(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Writers mostly right-align the code in three columns ("  0", " 10",
// "330"): such a code line, at p with at least four bytes, is read from
// its four bytes alone, with the text and the code that getLine and
// ParseGroupCode would give. Returns false for any other line.
inline bool ReadThreeColumnCode(const char* p, std::string_view& text,
                                CDxfGroup& group) {
  if (p[3] != '\n' || !IsDigitByte(p[2])) return false;
  const int last = p[2] - '0';
  if (p[0] == ' ') {
    if (p[1] == ' ') {
      text = std::string_view(p + 2, 1);
      group.m_nCode = last;
    } else if (IsDigitByte(p[1])) {
      text = std::string_view(p + 1, 2);
      group.m_nCode = (p[1] - '0') * 10 + last;
    } else {
      return false;
    }
  } else if (IsDigitByte(p[0]) && IsDigitByte(p[1])) {
    text = std::string_view(p, 3);
    group.m_nCode = (p[0] - '0') * 100 + (p[1] - '0') * 10 + last;
  } else {
    return false;
  }
  return true;
}

// Nearly every code line is a few spaces, up to four digits and its LF.
// Such a line at the front of rest is read here in one pass, with the text
// and the code that getLine and ParseGroupCode would give. Returns the bytes
// it takes with its LF; 0 for anything else (other white space, a CR, a
// sign alone, no LF).
inline std::size_t ReadPlainCodeLine(std::string_view rest,
                                     std::string_view& text, CDxfGroup& group) {
  const char* const p = rest.data();
  const std::size_t size = rest.size();
  if (size > 3 && ReadThreeColumnCode(p, text, group)) return 4;
  std::size_t i = 0;
  while (i < size && p[i] == ' ') ++i;
  const std::size_t first = i;
  const bool negative = i < size && p[i] == '-';
  if (negative) ++i;
  const std::size_t digits = i;
  int code = 0;
  // Nine digits at most, as ParseGroupCode reads them; a tenth is no LF.
  for (; i < size && i - digits < 9; ++i) {
    const char c = p[i];
    if (!IsDigitByte(c)) break;
    code = code * 10 + (c - '0');
  }
  if (i == digits || i == size || p[i] != '\n') return 0;
  text = std::string_view(p + first, i - first);
  group.m_nCode = negative ? -code : code;
  return i + 1;
}

// The byte offset of the first LF in the eight bytes at p, or 8.
inline unsigned LineFeedInWord(const char* p) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighs = 0x8080808080808080u;
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  word ^= kOnes * '\n';  // LF bytes become zero
  const uint64_t zeros = (word - kOnes) & ~word & kHighs;
  return zeros == 0 ? 8 : static_cast<unsigned>(std::countr_zero(zeros)) / 8;
}

// The byte offset of the first LF in the sixteen bytes at p, or 16.
inline unsigned LineFeedInSixteen(const char* p) {
  const unsigned lf = LineFeedInWord(p);
  return lf < 8 ? lf : 8 + LineFeedInWord(p + 8);
}

// The first LF of rest, as FindLineFeed finds it. Most value lines end
// within sixteen bytes: two word tests, unrolled, find it there.
inline std::size_t FindShortLineFeed(std::string_view rest) {
  if constexpr (std::endian::native == std::endian::little) {
    if (rest.size() >= 16) {
      const unsigned first = LineFeedInWord(rest.data());
      if (first < 8) return first;
      const unsigned second = LineFeedInWord(rest.data() + 8);
      if (second < 8) return 8 + second;
      return FindLineFeed(rest, 16);
    }
  }
  return FindLineFeed(rest, 0);
}

// A value line at the front of rest with no white space at either end is
// itself, as getLine would trim it. Returns the bytes it takes with its LF;
// 0 for any other.
inline std::size_t ReadPlainValueLine(std::string_view rest, CDxfGroup& group) {
  const std::size_t lf = FindShortLineFeed(rest);
  if (lf == std::string_view::npos || lf == 0 || IsLowByte(rest[0]) ||
      IsLowByte(rest[lf - 1])) {
    return 0;
  }
  group.m_strValue = std::string_view(rest.data(), lf);
  return lf + 1;
}

// The four bytes of a code line right-aligned in three columns, "  0\n" to
// "999\n", as a little-endian word.
constexpr uint32_t ThreeColumnLine(uint32_t code) {
  const uint32_t digit0 = code >= 100 ? '0' + code / 100 : ' ';
  const uint32_t digit1 = code >= 10 ? '0' + code / 10 % 10 : ' ';
  const uint32_t digit2 = '0' + code % 10;
  return digit0 | digit1 << 8 | digit2 << 16 | uint32_t{'\n'} << 24;
}

// Where a four-byte code line is looked up: a multiply and a shift, with a
// multiplier under which no two of the thousand lines share a slot.
constexpr int kLineSlotBits = 11;
constexpr uint32_t LineSlot(uint32_t line) {
  return (line * uint32_t{0x062F9B53}) >> (32 - kLineSlotBits);
}

constexpr bool NoTwoLinesShareASlot() {
  std::array<bool, 1u << kLineSlotBits> taken{};
  for (uint32_t code = 0; code < 1000; ++code) {
    const uint32_t slot = LineSlot(ThreeColumnLine(code));
    if (taken[slot]) return false;
    taken[slot] = true;
  }
  return true;
}
static_assert(NoTwoLinesShareASlot());

// Each line "  0\n" to "999\n" in its slot, with what a group read from it
// holds: its code, and where its code's text lies before the value. The
// three are laid out as in CDxfGroup, to be copied in one move. A slot of no
// line holds the word of "  0\n", whose own slot is another: no word read
// can match it.
struct CThreeColumnLine {
  uint32_t line;
  int32_t code;
  uint16_t codeSize;
  uint16_t codeBack;
  uint32_t unused;
};
constexpr std::array<CThreeColumnLine, 1u << kLineSlotBits>
MakeThreeColumnLines() {
  std::array<CThreeColumnLine, 1u << kLineSlotBits> slots{};
  slots.fill({ThreeColumnLine(0), 0, 0, 0, 0});
  for (uint32_t code = 0; code < 1000; ++code) {
    const uint32_t line = ThreeColumnLine(code);
    const uint16_t digits = code >= 100 ? 3 : code >= 10 ? 2 : 1;
    // The value starts after the digits and the LF.
    slots[LineSlot(line)] = {line, static_cast<int32_t>(code), digits,
                             static_cast<uint16_t>(digits + 1), 0};
  }
  return slots;
}
constexpr std::array<CThreeColumnLine, 1u << kLineSlotBits> kThreeColumnLines =
    MakeThreeColumnLines();

// The length of the value line at p, which has at least 28 bytes: the
// offset of its LF, or more than the common group takes.
inline unsigned ShortValueLength(const char* p) {
#if defined(__SSE2__)
  // The LFs of the 32 bytes from the code line's start on, 16 at a time.
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 4));
  const __m128i high =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12));
  const uint32_t lfs =
      static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, lf))) |
      static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, lf))) << 16;
  // The code line's own LF is bit 3; without an LF the count stops at 28.
  return static_cast<unsigned>(std::countr_zero(lfs >> 4 | 1u << 28));
#else
  return LineFeedInSixteen(p);
#endif
}

// A line equal to the trace marker; most lines of seven bytes are numbers,
// told apart by their first four bytes.
inline bool IsTraceMarker(std::string_view line) {
  return line.size() == kTraceMarker.size() &&
         std::memcmp(line.data(), kTraceMarker.data(), 4) == 0 &&
         line == kTraceMarker;
}

// The commonest group of all, at p: a code right-aligned in three columns
// and a value without white space at either end that ends within the 32
// bytes from p on (sixteen after the code line without SSE2); the caller
// sees that the text has those 32 bytes. Read into group as readGroup would
// read it, returning the bytes it takes; 0 for any other. The code line's
// word is looked up whole: one that is no such line ("010\n", "1 2\n") is
// not in its slot.
inline std::size_t ReadCommonGroup(const char* p, CDxfGroup& group) {
  if constexpr (std::endian::native != std::endian::little) return 0;
  uint32_t line;
  std::memcpy(&line, p, sizeof line);
  const CThreeColumnLine& known = kThreeColumnLines[LineSlot(line)];
  if (known.line != line) return 0;
  const char* const value = p + 4;
  const unsigned length = ShortValueLength(value);
#if defined(__SSE2__)
  constexpr unsigned kLongest = 27;
#else
  constexpr unsigned kLongest = 15;
#endif
  // An LF first is an empty value, caught as a low byte.
  if (length > kLongest || IsLowByte(value[0]) ||
      IsLowByte(value[length - 1])) {
    return 0;
  }
  group.m_nCode = known.code;
  group.m_nCodeSize = known.codeSize;
  group.m_nCodeBack = known.codeBack;
  group.m_strValue = std::string_view(value, length);
  return 4 + length + 1;
}

}  // namespace

const CDxfGroup& CDxfGroupReader::next() {
  m_nCurrentStart = m_text.position();
  // Sections passed over (tables, objects, a drawing not wanted) are read
  // here group by group.
  const std::string_view rest = m_text.rest();
  if (rest.size() >= 32) {
    const std::size_t common = ReadCommonGroup(rest.data(), m_current);
    if (common != 0) {
      m_text.skip(common);
      return m_current;
    }
  }
  readGroup(m_current);
  return m_current;
}

// Inlined into readEntity's loop, which reads nearly every group.
inline void CDxfGroupReader::readGroup(CDxfGroup& group) {
  // The code line is consumed before the value line is asked for, so a code
  // line with no value line after it ends the text as a premature end.
  std::string_view code;
  const std::size_t code_bytes = ReadPlainCodeLine(m_text.rest(), code, group);
  if (code_bytes != 0) {
    m_text.skip(code_bytes);
  } else {
    code = getLine(m_text);
    group.m_nCode = ParseGroupCode(code);
  }
  const std::size_t value_bytes = ReadPlainValueLine(m_text.rest(), group);
  if (value_bytes != 0) {
    m_text.skip(value_bytes);
  } else {
    group.m_strValue = getLine(m_text);
  }
  group.setCodeText(code);
}

void CDxfGroupReader::readUncommonGroup(CDxfGroup& group) { readGroup(group); }

void CDxfGroupReader::readEntity(CDxfEntity& entity) {
  entity.m_strType = m_current.m_strValue;
  entity.m_firstOfCode.fill(CDxfEntity::kNotNoted);
  bool marker = false;
  bool extrusion = false;
  // Read from a local cursor straight into the room the entity keeps,
  // which grows only for an entity longer than any before; one slot more
  // than the groups is kept, for the code-0 group that ends the entity. The
  // reader's own position is brought up to date for a group that needs
  // readGroup, and at the end.
  const std::string_view rest = m_text.rest();
  const char* const begin = rest.data();
  // ReadCommonGroup may read at p while the text holds 32 bytes from p on.
  const char* const common_end =
      begin + (rest.size() < 32 ? 0 : rest.size() - 31);
  const char* p = begin;
  const char* start = p;
  const std::size_t base = m_text.position();
  if (entity.m_groups.empty()) entity.m_groups.resize(16);
  CDxfGroup* slot = entity.m_groups.data();
  CDxfGroup* last = slot + entity.m_groups.size() - 1;
  std::size_t count = 0;
  for (;;) {
    start = p;
    const std::size_t common = p < common_end ? ReadCommonGroup(p, *slot) : 0;
    if (common != 0) {
      p += common;
      if (slot->m_nCode == 0) break;
      // Its code line has at most three bytes: only the value may be the
      // marker.
      marker |= IsTraceMarker(slot->m_strValue);
    } else {
      m_text.skip(static_cast<std::size_t>(p - begin) -
                  (m_text.position() - base));
      readUncommonGroup(*slot);
      p = begin + (m_text.position() - base);
      if (slot->m_nCode == 0) break;
      marker = marker || IsTraceMarker(slot->code()) ||
               IsTraceMarker(slot->m_strValue);
    }
    const int code = slot->m_nCode;
    // Past kNotNoted groups the noted indices are wrong, but find does not
    // use them then.
    if (static_cast<unsigned>(code) < CDxfEntity::kNotedCodes) {
      if (entity.m_firstOfCode[code] == CDxfEntity::kNotNoted) {
        entity.m_firstOfCode[code] = static_cast<uint16_t>(count);
      }
    } else if (static_cast<unsigned>(code) - 210u <= 20u) {
      extrusion = true;
    }
    ++count;
    if (slot == last) {
      entity.m_groups.resize(2 * entity.m_groups.size());
      slot = entity.m_groups.data() + count - 1;
      last = entity.m_groups.data() + entity.m_groups.size() - 1;
    }
    ++slot;
  }
  const CDxfGroup& group = *slot;
  m_text.skip(static_cast<std::size_t>(p - begin) - (m_text.position() - base));
  entity.m_nGroups = count;
  entity.m_bTraceMarker = marker;
  entity.m_bExtrusionCodes = extrusion;
  entity.m_bNoted = count < CDxfEntity::kNotNoted;
  m_nCurrentStart = base + static_cast<std::size_t>(start - begin);
  m_current = group;
}

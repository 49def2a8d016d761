#ifndef SYMCONV_DXF_DXF_GROUP_READER_H_
#define SYMCONV_DXF_DXF_GROUP_READER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "symbol/line_reader.h"
#include "symbol/numbers.h"

/// One DXF group: a code line and the value line after it, both trimmed.
/// The views point into the text being read.
struct CDxfGroup {
  /// m_nCode for a code line that is not a whole integer ("", "1.5", "A").
  static constexpr int kNoCode = std::numeric_limits<int>::min();

  std::string_view m_strValue;
  int m_nCode = kNoCode;
  // The code line's text lies this far before the value's and is this long:
  // two small numbers, not a view, as a group is stored for every line pair
  // read and its code text is seldom wanted. A code line too long for them
  // (no DXF writer makes one) reads as empty.
  uint16_t m_nCodeSize = 0;
  uint16_t m_nCodeBack = 0;

  bool is(int code, std::string_view value) const {
    return m_nCode == code && m_strValue == value;
  }
  /// The code line, trimmed.
  std::string_view code() const {
    return std::string_view(m_strValue.data() - m_nCodeBack, m_nCodeSize);
  }
  /// Keeps code (a view before the value, in the same text) once the value
  /// is set.
  void setCodeText(std::string_view code) {
    const auto back = static_cast<std::size_t>(m_strValue.data() - code.data());
    const bool fits = back <= 0xFFFF && code.size() <= back;
    m_nCodeSize = fits ? static_cast<uint16_t>(code.size()) : 0;
    m_nCodeBack = fits ? static_cast<uint16_t>(back) : 0;
  }
};

/// The code that a trimmed code line holds: an optional '-' and decimal
/// digits. Anything else is CDxfGroup::kNoCode, so it matches no code.
int ParseGroupCode(std::string_view line);

/// A group value read as an integer (flags, kinds, counts): truncated
/// toward zero, as C's cast does where the cast is defined; otherwise for
/// NaN and values that no int holds.
inline int TruncatedInt(double value, int otherwise) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return otherwise;
  return static_cast<int>(value);
}

/// The trace marker: a line equal to it at a trace checkpoint is reported.
constexpr std::string_view kTraceMarker = "IT'S ME";

/// One entity of a DXF text: the value of its code-0 group (its type) and
/// the groups after it up to the next code-0 group. A block header (type
/// BLOCK) is read the same way. The views point into the text.
class CDxfEntity {
 public:
  std::string_view type() const { return m_strType; }
  std::span<const CDxfGroup> groups() const {
    return std::span<const CDxfGroup>(m_groups.data(), m_nGroups);
  }
  /// True when a code or value line after the type line equals the trace
  /// marker; noted while reading, so that entities without it (nearly all)
  /// need no line-by-line trace comparison.
  bool holdsTraceMarker() const { return m_bTraceMarker; }
  /// False when no group has a code from 210 to 230, the extrusion
  /// direction's; noted while reading, so that a flat entity (nearly all)
  /// needs no walk for codes past those noted.
  bool holdsExtrusionCodes() const { return m_bExtrusionCodes; }

  /// Index of the first group with code at or after index from; -1 when
  /// there is none.
  int find(int code, std::size_t from = 0) const {
    if (static_cast<unsigned>(code) < kNotedCodes && m_bNoted) {
      const std::size_t first = m_firstOfCode[code];
      if (first == kNotNoted) return -1;
      if (first >= from) return static_cast<int>(first);
    }
    return scan(code, from);
  }
  /// Value text of the first group with code; empty when there is none.
  std::string_view getText(int code) const;
  /// Value of the first group with code, read as atof reads it; absent
  /// when the entity has no such group (later entities are never searched).
  double getFloat(int code, double absent = 0.0) const {
    const int i = find(code);
    return i < 0 ? absent : ParseNumber(m_groups[i].m_strValue);
  }
  /// The point whose x has code x_code (10, 11 ...): the first groups with
  /// codes x_code, x_code + 10 and x_code + 20.
  void getxyz(int x_code, double& x, double& y, double& z) const;

 private:
  friend class CDxfGroupReader;
  // Codes below this have their first group noted while reading, so that
  // find and getFloat need not scan the groups field after field.
  static constexpr int kNotedCodes = 128;
  static constexpr uint16_t kNotNoted = 0xFFFF;

  // find's walk, for codes not noted and groups past the first of a code.
  int scan(int code, std::size_t from) const;

  std::string_view m_strType;
  // The first m_nGroups are the entity's groups; the rest are room kept
  // for the next entity read into this one.
  std::vector<CDxfGroup> m_groups;
  std::size_t m_nGroups = 0;
  // Index of the first group of each code below kNotedCodes; kNotNoted
  // for none. Groups from index kNotNoted on are not noted: find scans an
  // entity that long.
  std::array<uint16_t, kNotedCodes> m_firstOfCode = MakeUnnoted();
  bool m_bTraceMarker = false;
  bool m_bExtrusionCodes = false;
  // True while the entity is short enough for m_firstOfCode to hold.
  bool m_bNoted = true;

  static constexpr std::array<uint16_t, kNotedCodes> MakeUnnoted() {
    std::array<uint16_t, kNotedCodes> unnoted{};
    unnoted.fill(kNotNoted);
    return unnoted;
  }
};

/// Reads a DXF text group by group, keeping the last group read as the
/// current one. Every line is read with getLine, so a text that runs out
/// while a group is wanted (also between a code line and its value line)
/// throws CPrematureEndException. Nothing is copied: the caller keeps the
/// text alive while the reader and what it returned are in use.
class CDxfGroupReader {
 public:
  explicit CDxfGroupReader(std::string_view text) : m_text(text) {}

  /// Reads the next group and makes it the current one.
  const CDxfGroup& next();
  /// The last group read; a group of no code before the first next().
  const CDxfGroup& current() const { return m_current; }
  /// Where the current group's code line starts in the text: a reader made
  /// of the text from there reads that group first.
  std::size_t currentStart() const { return m_nCurrentStart; }

  /// Reads the entity that starts with the current group, which must have
  /// code 0: its groups up to the next code-0 group, which becomes the
  /// current group. entity's storage is reused, so reading entity after
  /// entity into one CDxfEntity allocates only while it grows.
  void readEntity(CDxfEntity& entity);

 private:
  // Reads the next group into group.
  void readGroup(CDxfGroup& group);
  // readGroup, kept out of readEntity's loop so that the loop's own values
  // stay in registers: the loop reads nearly every group without it.
  [[gnu::noinline]] void readUncommonGroup(CDxfGroup& group);

  CRemainingText m_text;
  CDxfGroup m_current;
  std::size_t m_nCurrentStart = 0;
};

#endif  // SYMCONV_DXF_DXF_GROUP_READER_H_

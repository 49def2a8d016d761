#include "dxf/dxf_group_reader.h"

#include <cstddef>
#include <string_view>

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

int CDxfEntity::find(int code, std::size_t from) const {
  for (std::size_t i = from; i < m_groups.size(); ++i) {
    if (m_groups[i].m_nCode == code) return static_cast<int>(i);
  }
  return -1;
}

std::string_view CDxfEntity::getText(int code) const {
  const int i = find(code);
  return i < 0 ? std::string_view() : m_groups[i].m_strValue;
}

double CDxfEntity::getFloat(int code, double absent) const {
  const int i = find(code);
  return i < 0 ? absent : ParseNumber(m_groups[i].m_strValue);
}

void CDxfEntity::getxyz(int x_code, double& x, double& y, double& z) const {
  x = getFloat(x_code);
  y = getFloat(x_code + 10);
  z = getFloat(x_code + 20);
}

namespace {

// Nearly every code line is a few spaces, up to four digits and its LF.
// Such a line is read here in one pass, with the text and the code that
// getLine and ParseGroupCode would give; anything else (other white space,
// a CR, a sign alone, no LF) returns false, having consumed nothing.
bool ReadPlainCodeLine(CRemainingText& text, CDxfGroup& group) {
  const std::string_view rest = text.rest();
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;
  const std::size_t first = i;
  const bool negative = i < rest.size() && rest[i] == '-';
  if (negative) ++i;
  const std::size_t digits = i;
  int code = 0;
  // Nine digits at most, as ParseGroupCode reads them; a tenth is no LF.
  for (; i < rest.size() && i - digits < 9; ++i) {
    const char c = rest[i];
    if (c < '0' || c > '9') break;
    code = code * 10 + (c - '0');
  }
  if (i == digits || i == rest.size() || rest[i] != '\n') {
    return false;
  }
  group.m_strCode = rest.substr(first, i - first);
  group.m_nCode = negative ? -code : code;
  text.skip(i + 1);
  return true;
}

// A value line with no white space at either end is itself, as getLine
// would trim it; returns false, having consumed nothing, for any other.
bool ReadPlainValueLine(CRemainingText& text, CDxfGroup& group) {
  const std::string_view rest = text.rest();
  const std::size_t lf = FindLineFeed(rest, 0);
  if (lf == std::string_view::npos || lf == 0 || IsTrimSpace(rest[0]) ||
      IsTrimSpace(rest[lf - 1])) {
    return false;
  }
  group.m_strValue = rest.substr(0, lf);
  text.skip(lf + 1);
  return true;
}

}  // namespace

const CDxfGroup& CDxfGroupReader::next() {
  // The code line is consumed before the value line is asked for, so a code
  // line with no value line after it ends the text as a premature end.
  m_nCurrentStart = m_text.position();
  if (!ReadPlainCodeLine(m_text, m_current)) {
    m_current.m_strCode = getLine(m_text);
    m_current.m_nCode = ParseGroupCode(m_current.m_strCode);
  }
  if (!ReadPlainValueLine(m_text, m_current)) {
    m_current.m_strValue = getLine(m_text);
  }
  return m_current;
}

void CDxfGroupReader::readEntity(CDxfEntity& entity) {
  entity.m_strType = m_current.m_strValue;
  entity.m_groups.clear();
  bool marker = false;
  while (next().m_nCode != 0) {
    marker = marker || m_current.m_strCode == kTraceMarker ||
             m_current.m_strValue == kTraceMarker;
    entity.m_groups.push_back(m_current);
  }
  entity.m_bTraceMarker = marker;
}

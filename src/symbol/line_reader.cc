#include "symbol/line_reader.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string_view>

#include "platform/exceptions.h"
#include "symbol/numbers.h"

std::string_view getLine(CRemainingText& text) {
  const std::size_t lf = text.m_text.find('\n', text.m_pos);
  if (lf == std::string_view::npos) throw CPrematureEndException();
  std::size_t first = text.m_pos;
  std::size_t last = lf;  // one past the line's last byte
  text.m_pos = lf + 1;
  while (first < last && IsTrimSpace(text.m_text[first])) ++first;
  while (last > first && IsTrimSpace(text.m_text[last - 1])) --last;
  return text.m_text.substr(first, last - first);
}

int countLines(std::string_view text) {
  const std::ptrdiff_t n = std::count(text.begin(), text.end(), '\n');
  // Only a text of more than 2 GiB could pass this; it reads as INT_MAX
  // lines rather than a wrapped, negative count.
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

double getNumber(std::string_view& fields) {
  const std::size_t space = fields.find(' ');
  if (space == std::string_view::npos) return ParseNumber(fields);
  // The field keeps its space; the number ends before it anyway.
  const double value = ParseNumber(fields.substr(0, space + 1));
  fields.remove_prefix(space + 1);
  return value;
}

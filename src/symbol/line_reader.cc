#include "symbol/line_reader.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "symbol/numbers.h"
#include "symbol/premature_end.h"

std::string_view getLine(CRemainingText& text) {
  const std::size_t lf = FindLineFeed(text.m_text, text.m_pos);
  if (lf == std::string_view::npos) throw CPrematureEndException();
  const char* first = text.m_text.data() + text.m_pos;
  const char* last = text.m_text.data() + lf;  // one past the last byte
  text.m_pos = lf + 1;
  while (first < last && IsTrimSpace(*first)) ++first;
  while (last > first && IsTrimSpace(last[-1])) --last;
  return std::string_view(first, static_cast<std::size_t>(last - first));
}

int countLines(std::string_view text) {
  // memchr jumps over the long lines of a SYM text faster than a count of
  // every byte.
  std::ptrdiff_t n = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    if (lf == nullptr) break;
    ++n;
    p = static_cast<const char*>(lf) + 1;
  }
  // Only a text of more than 2 GiB could pass this; it reads as INT_MAX
  // lines rather than a wrapped, negative count.
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

double getNumber(std::string_view& fields) {
  // Nearly every field is a short number ended by a space or the list's
  // end: read in one pass, without searching for the space first.
  double value = 0.0;
  const std::size_t length = ParseShortNumber(fields, &value);
  if (length != 0) {
    if (length == fields.size()) return value;  // the last field stays
    if (fields[length] == ' ') {
      fields.remove_prefix(length + 1);
      return value;
    }
  }
  const std::size_t space = fields.find(' ');
  if (space == std::string_view::npos) return ParseNumber(fields);
  // The field keeps its space; the number ends before it anyway.
  value = ParseNumber(fields.substr(0, space + 1));
  fields.remove_prefix(space + 1);
  return value;
}

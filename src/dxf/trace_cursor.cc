#include "dxf/trace_cursor.h"

#include <cstddef>

#include "dxf/block_extractor.h"
#include "dxf/dxf_group_reader.h"

void CTraceCursor::compareLine(std::size_t line, const char* tag) {
  const auto groups = m_entity.groups();
  if (line / 2 >= groups.size()) return;
  const CDxfGroup& group = groups[line / 2];
  if ((line % 2 == 0 ? group.code() : group.m_strValue) == kTraceMarker) {
    m_handler.OnTrace(tag);
  }
}

int CTraceCursor::search(int code, const char* tag) {
  const int found = m_entity.find(code, (m_line + 1) / 2);
  if (found < 0) return -1;
  const std::size_t code_line = 2 * static_cast<std::size_t>(found);
  if (tag != nullptr && m_entity.holdsTraceMarker()) {
    for (std::size_t line = m_line; line <= code_line; ++line) {
      compareLine(line, tag);
    }
  }
  m_line = code_line + 2;
  return found;
}

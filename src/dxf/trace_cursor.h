#ifndef SYMCONV_DXF_TRACE_CURSOR_H_
#define SYMCONV_DXF_TRACE_CURSOR_H_

#include <cstddef>

#include "dxf/block_extractor.h"
#include "dxf/dxf_group_reader.h"

/// Trace checkpoints. A checkpoint compares each line it covers with the
/// marker line and reports its tag to the handler for every match. The lines
/// of an entity (or block header) are those of the groups after its code-0
/// group: line 2i is the code line of group i, line 2i + 1 its value line.
/// A field is sought in reading order from a cursor: the lines from the
/// cursor up to and including the code line of the next group with the
/// field's code are compared under the field's tag, and the cursor moves
/// past that group. A field with no such group compares nothing and leaves
/// the cursor. Value lines are not compared (except the flags line, "5"),
/// nor are the lines after the last field found.
///   block header: "1" its first line; "2" up to the name (code 2); "4" up
///     to the flags (code 70) and "5" the flags line; then the base point.
///   LINE, ARC, CIRCLE: "getxyz1" up to an x (10, 11), none up to a y (20,
///     21), "getxyz5" up to a z (30, 31), "getFloat1" up to a radius or an
///     angle (40, 50, 51).
/// Values do not depend on this: every field is the first group of its code.
class CTraceCursor {
 public:
  CTraceCursor(const CDxfEntity& entity, CDxfBlockHandler& handler)
      : m_entity(entity), m_handler(handler) {}

  void compareLine(std::size_t line, const char* tag);

  void moveTo(std::size_t line) { m_line = line; }

  /// Returns the index of the group found, -1 when there is none. A null
  /// tag moves the cursor without comparing.
  int search(int code, const char* tag);

 private:
  const CDxfEntity& m_entity;
  CDxfBlockHandler& m_handler;
  std::size_t m_line = 0;
};

#endif  // SYMCONV_DXF_TRACE_CURSOR_H_

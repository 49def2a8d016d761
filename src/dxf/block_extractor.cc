#include "dxf/block_extractor.h"

#include <cstddef>
#include <string>
#include <string_view>

#include "dxf/dxf_group_reader.h"
#include "dxf/sym_text_writer.h"

namespace {

constexpr std::string_view kTraceMarker = "IT'S ME";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Model and paper space hold the drawing, not a symbol; names that begin
// with '*' are the anonymous blocks (hatches, dimensions, *Model_Space).
bool IsSpecialBlockName(std::string_view name) {
  return StartsWith(name, "*") || name == "$MODEL_SPACE" ||
         name == "$PAPER_SPACE";
}

// Trace checkpoints. A checkpoint compares each line it covers with the
// marker line and reports its tag to the handler for every match. The lines
// of an entity (or block header) are those of the groups after its code-0
// group: line 2i is the code line of group i, line 2i + 1 its value line.
// A field is sought in reading order from a cursor: the lines from the
// cursor up to and including the code line of the next group with the
// field's code are compared under the field's tag, and the cursor moves
// past that group. A field with no such group compares nothing and leaves
// the cursor. Value lines are not compared (except the flags line, "5"),
// nor are the lines after the last field found.
//   block header: "1" its first line; "2" up to the name (code 2); "4" up
//     to the flags (code 70) and "5" the flags line; then the base point.
//   LINE, ARC, CIRCLE: "getxyz1" up to an x (10, 11), none up to a y (20,
//     21), "getxyz5" up to a z (30, 31), "getFloat1" up to a radius or an
//     angle (40, 50, 51).
// Values do not depend on this: every field is the first group of its code.
class CTraceCursor {
 public:
  CTraceCursor(const CDxfEntity& entity, CDxfBlockHandler& handler)
      : m_entity(entity), m_handler(handler) {}

  void compareLine(std::size_t line, const char* tag) {
    const auto groups = m_entity.groups();
    if (line / 2 >= groups.size()) return;
    const CDxfGroup& group = groups[line / 2];
    if ((line % 2 == 0 ? group.m_strCode : group.m_strValue) == kTraceMarker) {
      m_handler.OnTrace(tag);
    }
  }

  void moveTo(std::size_t line) { m_line = line; }

  // Returns the index of the group found, -1 when there is none.
  int search(int code, const char* tag) {
    const int found = m_entity.find(code, (m_line + 1) / 2);
    if (found < 0) return -1;
    const std::size_t code_line = 2 * static_cast<std::size_t>(found);
    if (tag != nullptr) {
      for (std::size_t line = m_line; line <= code_line; ++line) {
        compareLine(line, tag);
      }
    }
    m_line = code_line + 2;
    return found;
  }

 private:
  const CDxfEntity& m_entity;
  CDxfBlockHandler& m_handler;
  std::size_t m_line = 0;
};

struct CField {
  int m_nCode;
  const char* m_pszTag;
};

constexpr CField kLineFields[] = {{10, "getxyz1"}, {20, nullptr},
                                  {30, "getxyz5"}, {11, "getxyz1"},
                                  {21, nullptr},   {31, "getxyz5"}};
constexpr CField kArcFields[] = {{10, "getxyz1"},   {20, nullptr},
                                 {30, "getxyz5"},   {40, "getFloat1"},
                                 {50, "getFloat1"}, {51, "getFloat1"}};
constexpr CField kCircleFields[] = {
    {10, "getxyz1"}, {20, nullptr}, {30, "getxyz5"}, {40, "getFloat1"}};
constexpr int kMaxFields = 6;

// Reads the DXF text after the BLOCKS section has been found. Holds the
// reader and the buffers that are reused from block to block.
class CBlockExtractor {
 public:
  CBlockExtractor(std::string_view text, CDxfBlockHandler& handler)
      : m_reader(text), m_handler(handler) {}

  bool Run() {
    if (!FindBlocksSection()) return false;
    m_reader.next();
    for (;;) {
      const CDxfGroup& group = m_reader.current();
      if (group.is(0, "ENDSEC")) return true;
      if (group.is(0, "BLOCK")) {
        // Leaves the reader on the block's ENDBLK (passed over here), on
        // an ENDSEC, or, for a skipped block, on its first entity.
        ReadBlock();
        continue;
      }
      m_reader.next();
    }
  }

 private:
  // The section's name is the code-2 group right after (0, SECTION), so
  // a layer or block record named BLOCKS in the tables is not taken for it.
  bool FindBlocksSection() {
    bool after_section = false;
    for (;;) {
      const CDxfGroup& group = m_reader.next();
      if (group.m_nCode == 0 && StartsWith(group.m_strValue, "EOF")) {
        return false;
      }
      if (after_section && group.m_nCode == 2 &&
          StartsWith(group.m_strValue, "BLOCKS")) {
        return true;
      }
      after_section = group.is(0, "SECTION");
    }
  }

  void ReadBlock() {
    m_reader.readEntity(m_header);
    CTraceCursor trace(m_header, m_handler);
    trace.compareLine(0, "1");
    trace.moveTo(1);
    trace.search(2, "2");
    // The first code-2 group names the block; a header without one gives
    // the empty name.
    const std::string_view name = m_header.getText(2);
    if (IsSpecialBlockName(name)) return;

    const int flags = trace.search(70, "4");
    if (flags >= 0) trace.compareLine(2 * flags + 1, "5");
    // The base point is read but not used: no offset is applied.
    trace.search(10, "getxyz1");
    trace.search(20, nullptr);
    trace.search(30, "getxyz5");

    m_writer.Begin();
    // A missing ENDBLK before the section's ENDSEC ends the block there.
    while (!m_reader.current().is(0, "ENDBLK") &&
           !m_reader.current().is(0, "ENDSEC")) {
      m_reader.readEntity(m_entity);
      AppendRecord(m_entity);
    }
    m_strName.assign(name);
    m_handler.OnBlock(m_strName, m_writer.text());
  }

  // LINE, ARC and CIRCLE give one record each; every other entity none.
  void AppendRecord(const CDxfEntity& entity) {
    const std::string_view type = entity.type();
    if (type == "LINE") {
      const double* v = ReadFields(entity, kLineFields);
      m_writer.AppendLine(v[0], -v[1], v[2], v[3], -v[4], v[5]);
    } else if (type == "ARC") {
      const double* v = ReadFields(entity, kArcFields);
      m_writer.AppendArc(v[0], -v[1], v[2], v[4], v[5], v[3]);
    } else if (type == "CIRCLE") {
      const double* v = ReadFields(entity, kCircleFields);
      m_writer.AppendCircle(v[0], -v[1], v[2], v[3]);
    }
  }

  template <std::size_t N>
  const double* ReadFields(const CDxfEntity& entity,
                           const CField (&fields)[N]) {
    static_assert(N <= kMaxFields);
    CTraceCursor trace(entity, m_handler);
    for (std::size_t i = 0; i < N; ++i) {
      trace.search(fields[i].m_nCode, fields[i].m_pszTag);
      m_values[i] = entity.getFloat(fields[i].m_nCode);
    }
    return m_values;
  }

  CDxfGroupReader m_reader;
  CDxfBlockHandler& m_handler;
  CDxfEntity m_header;
  CDxfEntity m_entity;
  CSymTextWriter m_writer;
  std::string m_strName;
  double m_values[kMaxFields] = {};
};

}  // namespace

bool ConvertDxfText(std::string_view text, CDxfBlockHandler& handler) {
  CBlockExtractor extractor(text, handler);
  return extractor.Run();
}

bool IsSafeBlockName(std::string_view name) {
  if (name == "." || name == "..") return false;
  return name.find_first_of("/\\") == std::string_view::npos;
}

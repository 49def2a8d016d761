#include "dxf/block_extractor.h"

#include <memory>
#include <string>
#include <string_view>

#include "dxf/binary_dxf.h"
#include "dxf/block_index.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/entity_converter.h"
#include "dxf/symbol_failure.h"
#include "dxf/trace_cursor.h"

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsEof(const CDxfGroup& group) {
  return group.m_nCode == 0 && StartsWith(group.m_strValue, "EOF");
}

// Model and paper space hold the drawing, not a symbol; names that begin
// with '*' are the anonymous blocks (hatches, dimensions, *Model_Space).
bool IsSpecialBlockName(std::string_view name) {
  return StartsWith(name, "*") || name == "$MODEL_SPACE" ||
         name == "$PAPER_SPACE";
}

enum class Section { kEof, kBlocks, kEntities };

// A block or drawing of this many entities reports progress within itself.
constexpr std::size_t kEntitiesPerProgress = 4096;

// Reads the DXF text section by section. Holds the reader and the buffers
// that are reused from block to block.
class CBlockExtractor {
 public:
  CBlockExtractor(std::string_view text, CDxfBlockHandler& handler,
                  const CDxfOptions& options)
      : m_reader(text),
        m_handler(handler),
        m_options(options),
        m_converter(handler, options),
        m_nTextSize(text.size()) {
    // An INSERT may name a block defined after it, which the index reads
    // ahead for.
    if (options.inserts) {
      m_blocks = std::make_unique<CBlockIndex>(text);
      m_converter.SetBlocks(m_blocks.get(), text);
    }
  }

  bool Run() {
    bool blocks_read = false;
    bool drawing_read = false;
    for (;;) {
      switch (NextSection()) {
        case Section::kEof:
          return blocks_read || drawing_read;
        case Section::kBlocks:
          // Only the first BLOCKS section is read.
          if (!blocks_read) ReadBlocksSection();
          blocks_read = true;
          break;
        case Section::kEntities:
          if (!drawing_read) ReadDrawing();
          drawing_read = true;
          // An EOF that ends the section stands for its ENDSEC.
          if (IsEof(m_reader.current())) return true;
          break;
      }
      if (blocks_read && (drawing_read || !m_options.drawings)) return true;
    }
  }

 private:
  // A section's name is the code-2 group right after (0, SECTION), so a
  // layer or block record named BLOCKS in the tables is not taken for it.
  // ENTITIES is looked for with the drawings option only.
  Section NextSection() {
    bool after_section = false;
    for (;;) {
      const CDxfGroup& group = m_reader.next();
      if (IsEof(group)) return Section::kEof;
      if (after_section && group.m_nCode == 2) {
        if (StartsWith(group.m_strValue, "BLOCKS")) return Section::kBlocks;
        if (m_options.drawings && StartsWith(group.m_strValue, "ENTITIES")) {
          return Section::kEntities;
        }
      }
      after_section = group.is(0, "SECTION");
    }
  }

  // Leaves the reader on the section's ENDSEC.
  void ReadBlocksSection() {
    m_reader.next();
    for (;;) {
      const CDxfGroup& group = m_reader.current();
      if (group.is(0, "ENDSEC")) return;
      if (group.is(0, "BLOCK")) {
        // Leaves the reader on the block's ENDBLK (passed over here), on
        // an ENDSEC, or, for a skipped block, on its first entity.
        ReadBlock();
        continue;
      }
      m_reader.next();
    }
  }

  void ReadBlock() {
    const std::size_t header_start = m_reader.currentStart();
    m_handler.OnProgress(header_start, m_nTextSize);
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

    m_converter.Begin();
    if (m_blocks) {
      // Only the name counts, for the cycle check; looking the block up
      // would index the text before any insert needs it.
      m_symbolBlock = CBlockExtent();
      m_symbolBlock.name = name;
      m_converter.SetSymbolBlock(&m_symbolBlock);
    }
    m_strFailure.clear();
    // A missing ENDBLK before the section's ENDSEC ends the block there.
    std::size_t entity_count = 0;
    while (!m_reader.current().is(0, "ENDBLK") &&
           !m_reader.current().is(0, "ENDSEC")) {
      m_reader.readEntity(m_entity);
      ++entity_count;
      Add();
    }
    if (m_blocks) {
      m_blocks->Note(header_start, entity_count, m_reader.currentStart());
    }
    if (m_strFailure.empty()) End();
    m_strName.assign(name);
    if (!m_strFailure.empty()) {
      m_handler.OnFailed(m_strName, false, m_strFailure);
      return;
    }
    m_handler.OnBlockShapes(m_strName, m_converter.writer());
    if (!m_converter.passedOver().empty()) {
      m_handler.OnPassedOver(m_strName, false, m_converter.passedOver());
    }
  }

  // The drawing: every entity of the ENTITIES section. Leaves the reader
  // on the section's ENDSEC, or on an EOF that comes first.
  void ReadDrawing() {
    m_reader.next();
    m_converter.Begin();
    m_strFailure.clear();
    while (!m_reader.current().is(0, "ENDSEC") && !IsEof(m_reader.current())) {
      // Only stray groups before the first entity are not an entity's.
      if (m_reader.current().m_nCode != 0) {
        m_reader.next();
        continue;
      }
      m_reader.readEntity(m_entity);
      Add();
    }
    if (m_strFailure.empty()) End();
    if (!m_strFailure.empty()) {
      m_handler.OnFailed(std::string(), true, m_strFailure);
      return;
    }
    if (m_converter.records() > 0) {
      m_handler.OnDrawingShapes(m_converter.writer());
    }
    if (!m_converter.passedOver().empty()) {
      m_handler.OnPassedOver(std::string(), true, m_converter.passedOver());
    }
  }

  // After a failure the rest of the block or drawing is read but not
  // converted.
  void Add() {
    if (++m_nEntitiesRead % kEntitiesPerProgress == 0) {
      m_handler.OnProgress(m_reader.currentStart(), m_nTextSize);
    }
    if (!m_strFailure.empty()) return;
    try {
      m_converter.Add(m_entity);
    } catch (const CSymbolFailure& failure) {
      m_strFailure = failure.what();
    }
  }

  void End() {
    try {
      m_converter.End();
    } catch (const CSymbolFailure& failure) {
      m_strFailure = failure.what();
    }
  }

  CDxfGroupReader m_reader;
  CDxfBlockHandler& m_handler;
  CDxfOptions m_options;
  CEntityConverter m_converter;
  CDxfEntity m_header;
  CDxfEntity m_entity;
  std::string m_strName;
  std::string m_strFailure;
  std::unique_ptr<CBlockIndex> m_blocks;
  CBlockExtent m_symbolBlock;
  std::size_t m_nTextSize;
  std::size_t m_nEntitiesRead = 0;
};

}  // namespace

bool ConvertDxfText(std::string_view text, CDxfBlockHandler& handler,
                    const CDxfOptions& options) {
  if (IsBinaryDxf(text)) {
    const std::string groups = BinaryDxfToText(text);
    return ConvertDxfText(groups, handler, options);
  }
  CBlockExtractor extractor(text, handler, options);
  return extractor.Run();
}

// The INSERT and MINSERT entities of CEntityConverter: the named block's
// entities drawn again through the insert's placement, copy by copy. The
// checks and the drawing of a block serve the DIMENSION too.

#include <memory>
#include <string>

#include "dxf/block_index.h"
#include "dxf/block_name.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/entity_converter.h"
#include "dxf/placement.h"
#include "dxf/symbol_failure.h"

void CEntityConverter::AddInsert(const CDxfEntity& insert) {
  const CInsertGroups groups = ReadInsertGroups(insert);
  if (groups.plane == EntityPlane::kTilted) {
    PassOver("INSERT", "tilted");
    return;
  }
  const CBlockExtent* block = m_pBlocks->find(groups.block);
  if (block == nullptr) {
    PassOver("INSERT", "no such block");
    return;
  }
  const long long copies = static_cast<long long>(groups.columns) * groups.rows;
  OpenBlock(*block, copies);
  const CPlacement outer = m_placement;
  for (int row = 0; row < groups.rows; ++row) {
    for (int column = 0; column < groups.columns; ++column) {
      m_placement = InsertPlacement(groups, block->base_x, block->base_y,
                                    block->base_z, column, row)
                        .then(outer);
      DrawBlock(*block);
    }
  }
  m_placement = outer;
  m_open.pop_back();
}

// Fails the symbol when drawing block in copies copies would never end or
// would draw too much; otherwise marks it as being drawn (until the caller
// pops it from m_open).
void CEntityConverter::OpenBlock(const CBlockExtent& block, long long copies) {
  const std::string name(block.name);
  bool cycle = m_pSymbolBlock != nullptr &&
               SameBlockName(block.name, m_pSymbolBlock->name);
  for (const CBlockExtent* open : m_open) cycle = cycle || open == &block;
  if (cycle) {
    throw CSymbolFailure("block \"" + name +
                         "\" inserts itself, directly or through others");
  }
  if (m_open.size() >= static_cast<std::size_t>(kMaxInsertDepth)) {
    throw CSymbolFailure("inserts nested deeper than " +
                         std::to_string(kMaxInsertDepth) + " levels");
  }
  const double reads =
      static_cast<double>(copies) * static_cast<double>(block.entity_count);
  if (m_nInsertedEntities + reads > kMaxInsertedEntities) {
    throw CSymbolFailure("its inserts would draw more than " +
                         std::to_string(kMaxInsertedEntities) +
                         " entities (block \"" + name + "\" in " +
                         std::to_string(copies) + " copies)");
  }
  m_open.push_back(&block);
}

void CEntityConverter::DrawBlock(const CBlockExtent& block) {
  const std::size_t depth = m_open.size();
  while (m_entities.size() < depth) {
    m_entities.push_back(std::make_unique<CDxfEntity>());
  }
  CDxfEntity& entity = *m_entities[depth - 1];
  // The index has read these entities once, so the text holds them all.
  CDxfGroupReader reader(m_text.substr(block.entities));
  reader.next();
  for (std::size_t i = 0; i < block.entity_count; ++i) {
    reader.readEntity(entity);
    ++m_nInsertedEntities;
    Add(entity);
  }
  // A polyline that ends the block ends here, inside its placement.
  End();
}

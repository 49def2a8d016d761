#include "dxf/block_index.h"

#include <string>
#include <string_view>

#include "dxf/dxf_group_reader.h"
#include "symbol/premature_end.h"

namespace {

char UpperCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperCase(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = UpperCase(c);
  return key;
}

bool FindBlocksSection(CDxfGroupReader& reader) {
  bool after_section = false;
  for (;;) {
    const CDxfGroup& group = reader.next();
    if (group.is(0, "EOF")) return false;
    if (after_section && group.is(2, "BLOCKS")) return true;
    after_section = group.is(0, "SECTION");
  }
}

}  // namespace

bool SameBlockName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCase(a[i]) != UpperCase(b[i])) return false;
  }
  return true;
}

void CBlockIndex::Build() const {
  m_bBuilt = true;
  CDxfGroupReader reader(m_text);
  CDxfEntity header;
  CDxfEntity entity;
  try {
    if (!FindBlocksSection(reader)) return;
    reader.next();
    while (!reader.current().is(0, "ENDSEC")) {
      if (!reader.current().is(0, "BLOCK")) {
        reader.next();
        continue;
      }
      reader.readEntity(header);
      CBlockExtent extent;
      extent.name = header.getText(2);
      extent.entities = reader.currentStart();
      header.getxyz(10, extent.base_x, extent.base_y, extent.base_z);
      while (!reader.current().is(0, "ENDBLK") &&
             !reader.current().is(0, "ENDSEC")) {
        reader.readEntity(entity);
        ++extent.entity_count;
      }
      m_blocks.try_emplace(UpperCase(extent.name), extent);
    }
  } catch (const CPrematureEndException&) {
    // The extraction meets the same end and reports it.
  }
}

const CBlockExtent* CBlockIndex::find(std::string_view name) const {
  if (!m_bBuilt) Build();
  const auto it = m_blocks.find(UpperCase(name));
  return it == m_blocks.end() ? nullptr : &it->second;
}

#include "dxf/block_index.h"

#include <string>
#include <string_view>

#include "dxf/dxf_group_reader.h"
#include "symbol/premature_end.h"

namespace {

std::string UpperCase(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
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

const CBlockIndex::CNote* CBlockIndex::NoteAt(std::size_t header) const {
  while (m_nNextNote < m_notes.size() && m_notes[m_nNextNote].header < header) {
    ++m_nNextNote;
  }
  if (m_nNextNote < m_notes.size() && m_notes[m_nNextNote].header == header) {
    return &m_notes[m_nNextNote];
  }
  return nullptr;
}

void CBlockIndex::ReadUpTo(const std::string& key) const {
  // Offsets of the reader are from origin on.
  std::size_t origin = m_nResume;
  CDxfGroupReader reader(m_text.substr(origin));
  CDxfEntity header;
  CDxfEntity entity;
  try {
    if (m_state == State::kNotStarted) {
      if (!FindBlocksSection(reader)) {
        m_state = State::kDone;
        return;
      }
      m_state = State::kInSection;
    }
    // The section's first group, or again the group that ended the last
    // block read.
    reader.next();
    while (!reader.current().is(0, "ENDSEC")) {
      if (!reader.current().is(0, "BLOCK")) {
        reader.next();
        continue;
      }
      const CNote* note = NoteAt(origin + reader.currentStart());
      reader.readEntity(header);
      CBlockExtent extent;
      extent.name = header.getText(2);
      extent.entities = origin + reader.currentStart();
      header.getxyz(10, extent.base_x, extent.base_y, extent.base_z);
      if (note != nullptr) {
        // Read from the same place, its entities end in the same place.
        extent.entity_count = note->entity_count;
        origin = note->end;
        reader = CDxfGroupReader(m_text.substr(origin));
        reader.next();
      } else {
        while (!reader.current().is(0, "ENDBLK") &&
               !reader.current().is(0, "ENDSEC")) {
          reader.readEntity(entity);
          ++extent.entity_count;
        }
      }
      m_nResume = origin + reader.currentStart();
      std::string name = UpperCase(extent.name);
      const bool wanted = name == key;
      m_blocks.try_emplace(std::move(name), extent);
      if (wanted) return;
    }
  } catch (const CPrematureEndException&) {
    // The extraction meets the same end and reports it.
  }
  m_state = State::kDone;
}

const CBlockExtent* CBlockIndex::find(std::string_view name) const {
  const std::string key = UpperCase(name);
  auto it = m_blocks.find(key);
  if (it == m_blocks.end() && m_state != State::kDone) {
    ReadUpTo(key);
    it = m_blocks.find(key);
  }
  return it == m_blocks.end() ? nullptr : &it->second;
}

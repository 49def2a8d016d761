#ifndef SYMCONV_DXF_BLOCK_INDEX_H_
#define SYMCONV_DXF_BLOCK_INDEX_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// Where one block of a DXF text lies, so that an INSERT can draw it
/// wherever it stands in the file.
struct CBlockExtent {
  /// The block's name as in the file.
  std::string_view name;
  /// Offset into the text of the code line of its first entity (or of its
  /// ENDBLK when it has none).
  std::size_t entities = 0;
  /// Number of entities up to its ENDBLK.
  std::size_t entity_count = 0;
  double base_x = 0.0, base_y = 0.0, base_z = 0.0;
};

/// Every block of the first BLOCKS section of a DXF text, found by name
/// (see SameBlockName in block_name.h). Holds offsets into the text, not
/// copies: the text must outlive the index.
///
/// The text is read only as far as the names looked up need, and not at
/// all until the first find, so that a text without inserts is read once.
/// Blocks that the caller has read itself and noted are not read again.
class CBlockIndex {
 public:
  explicit CBlockIndex(std::string_view text) : m_text(text) {}

  /// A block that the caller has read entity by entity up to its ENDBLK
  /// (or an ENDSEC): the code line of its BLOCK at header, entity_count
  /// entities, the code line that ended it at end. Blocks are noted in
  /// file order.
  void Note(std::size_t header, std::size_t entity_count, std::size_t end) {
    m_notes.push_back({header, entity_count, end});
  }

  /// The first block of name; null when there is none. A text that runs
  /// out has the blocks before.
  const CBlockExtent* find(std::string_view name) const;

 private:
  struct CNote {
    std::size_t header, entity_count, end;
  };
  enum class State { kNotStarted, kInSection, kDone };

  /// Reads on until a block of key (upper case) is indexed or the
  /// section ends.
  void ReadUpTo(const std::string& key) const;
  /// The note of the block whose BLOCK is at header; null for none.
  const CNote* NoteAt(std::size_t header) const;

  std::string_view m_text;
  std::vector<CNote> m_notes;
  // How far the reading has come: the next note to look at, and the
  // group that ended the last block read (where reading resumes).
  mutable std::size_t m_nNextNote = 0;
  mutable std::size_t m_nResume = 0;
  mutable State m_state = State::kNotStarted;
  mutable std::unordered_map<std::string, CBlockExtent> m_blocks;
};

#endif  // SYMCONV_DXF_BLOCK_INDEX_H_

#ifndef SYMCONV_DXF_BLOCK_INDEX_H_
#define SYMCONV_DXF_BLOCK_INDEX_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

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

/// True when a and b name the same block: CAD programs match block names
/// without regard to ASCII case.
bool SameBlockName(std::string_view a, std::string_view b);

/// Every block of the first BLOCKS section of a DXF text, found by name
/// (see SameBlockName). Holds offsets into the text, not copies: the text
/// must outlive the index.
class CBlockIndex {
 public:
  /// Indexes text, on the first find: a text without inserts is read only
  /// once. A text that runs out keeps the blocks found before; of two
  /// blocks of one name the first counts.
  explicit CBlockIndex(std::string_view text) : m_text(text) {}

  const CBlockExtent* find(std::string_view name) const;

 private:
  void Build() const;

  std::string_view m_text;
  mutable bool m_bBuilt = false;
  mutable std::unordered_map<std::string, CBlockExtent> m_blocks;
};

#endif  // SYMCONV_DXF_BLOCK_INDEX_H_

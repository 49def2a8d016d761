#ifndef SYMCONV_APP_OUTPUT_TALLY_H_
#define SYMCONV_APP_OUTPUT_TALLY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// How often each output path was written in a run. Counted for every
/// output, so kept without an allocation per path: the paths are stored one
/// after another in one string, and a table of open addressing finds them.
class COutputTally {
 public:
  /// Adds delta to path's count (1 for an output written, -1 for one taken
  /// back); a path met for the first time starts from 0.
  void Add(std::string_view path, int delta);
  void clear();

  /// Calls visit(path, count) for every path counted, in no given order.
  template <typename Visit>
  void ForEach(const Visit& visit) const {
    for (const CEntry& entry : m_table) {
      if (entry.size != kUnused) visit(pathOf(entry), entry.count);
    }
  }

 private:
  // Sixteen bytes, so that the table of a run of many outputs, grown into
  // fresh memory time and again, touches few pages.
  struct CEntry {
    std::uint32_t hash = 0;
    std::uint32_t size = kUnused;
    std::uint32_t offset = 0;  // of the path in m_strPaths
    int count = 0;
  };
  static constexpr std::uint32_t kUnused = 0xFFFFFFFF;

  std::string_view pathOf(const CEntry& entry) const {
    return std::string_view(m_strPaths).substr(entry.offset, entry.size);
  }
  /// Doubles the table, which is kept at most half full.
  void grow();

  std::string m_strPaths;
  std::vector<CEntry> m_table;  // empty, or a power of two in size
  std::size_t m_nUsed = 0;
};

#endif  // SYMCONV_APP_OUTPUT_TALLY_H_

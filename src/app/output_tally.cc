#include "app/output_tally.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::size_t kFirstTableSize = 64;

/// A hash taken eight bytes at a time: the paths are long and differ
/// mostly near their ends, and one is hashed for every output.
std::uint64_t hashOf(std::string_view path) {
  constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15u;
  std::uint64_t hash = path.size();
  std::size_t at = 0;
  for (; at + 8 <= path.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, path.data() + at, 8);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 29;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, path.data() + at, path.size() - at);
  hash = (hash ^ tail) * kMultiplier;
  return hash ^ (hash >> 32);
}

}  // namespace

void COutputTally::Add(std::string_view path, int delta) {
  if (2 * (m_nUsed + 1) > m_table.size()) grow();
  const auto hash = static_cast<std::uint32_t>(hashOf(path));
  const std::size_t mask = m_table.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    CEntry& entry = m_table[i];
    if (entry.size == kUnused) {
      // Paths of 4 GiB in all would be tens of millions of outputs.
      if (m_strPaths.size() + path.size() >= kUnused) {
        throw std::length_error("too many outputs to count");
      }
      entry = {hash, static_cast<std::uint32_t>(path.size()),
               static_cast<std::uint32_t>(m_strPaths.size()), delta};
      m_strPaths.append(path);
      ++m_nUsed;
      return;
    }
    if (entry.hash == hash && pathOf(entry) == path) {
      entry.count += delta;
      return;
    }
  }
}

void COutputTally::clear() {
  m_strPaths.clear();
  m_table.clear();
  m_nUsed = 0;
}

void COutputTally::grow() {
  std::vector<CEntry> old = std::move(m_table);
  m_table.assign(std::max(kFirstTableSize, 2 * old.size()), CEntry());
  const std::size_t mask = m_table.size() - 1;
  for (const CEntry& entry : old) {
    if (entry.size == kUnused) continue;
    std::size_t i = entry.hash & mask;
    while (m_table[i].size != kUnused) i = (i + 1) & mask;
    m_table[i] = entry;
  }
}

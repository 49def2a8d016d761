#include "app/output_tally.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

constexpr std::size_t kFirstTableSize = 64;

}  // namespace

void COutputTally::Add(std::string_view path, int delta) {
  if (2 * (m_nUsed + 1) > m_table.size()) grow();
  const std::size_t hash = std::hash<std::string_view>{}(path);
  const std::size_t mask = m_table.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    CEntry& entry = m_table[i];
    if (!entry.used) {
      entry = {hash, m_strPaths.size(), path.size(), delta, true};
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
    if (!entry.used) continue;
    std::size_t i = entry.hash & mask;
    while (m_table[i].used) i = (i + 1) & mask;
    m_table[i] = entry;
  }
}

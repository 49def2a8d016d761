#include "archive/pointer_index.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The first slot that holds p or is free: probing goes on linearly from
// the slot of p's hash.
std::size_t CPointerIndex::slotOf(const void* p) const {
  const std::size_t mask = m_slots.size() - 1;
  // Fibonacci hashing spreads addresses that differ only in their low,
  // aligned bits.
  const uint64_t key = reinterpret_cast<uintptr_t>(p);
  std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> 32);
  for (i &= mask; m_slots[i].m_pKey != nullptr && m_slots[i].m_pKey != p;
       i = (i + 1) & mask) {
  }
  return i;
}

uint32_t CPointerIndex::findInTable(const void* p) const {
  return m_slots[slotOf(p)].m_nIndex;
}

void CPointerIndex::insertInTable(const void* p, uint32_t index) {
  // At most half full, so that probes stay short and a free slot is found.
  if (2 * (m_nCount + 1) > m_slots.size()) grow();
  CSlot& slot = m_slots[slotOf(p)];
  slot.m_pKey = p;
  slot.m_nIndex = index;
  ++m_nCount;
}

void CPointerIndex::grow() {
  std::vector<CSlot> old(m_slots.empty() ? 64 : 2 * m_slots.size());
  old.swap(m_slots);
  // Leaving the few: they move into the table.
  if (old.empty()) old.assign(m_few, m_few + m_nCount);
  for (const CSlot& slot : old) {
    if (slot.m_pKey != nullptr) m_slots[slotOf(slot.m_pKey)] = slot;
  }
}

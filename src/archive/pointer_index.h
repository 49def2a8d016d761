#ifndef SYMCONV_ARCHIVE_POINTER_INDEX_H_
#define SYMCONV_ARCHIVE_POINTER_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <vector>

/// The index numbers given to addresses, in one open-addressed table: an
/// archive numbers every object it writes, and a node per object would
/// cost an allocation each. The first few are kept in the index itself and
/// searched in turn, so that an archive of a few classes and objects
/// allocates nothing for them.
class CPointerIndex {
 public:
  /// The number given to p, or 0 (never a given number) when it has none.
  uint32_t find(const void* p) const {
    if (!m_slots.empty()) return findInTable(p);
    for (std::size_t i = 0; i < m_nCount; ++i) {
      if (m_few[i].m_pKey == p) return m_few[i].m_nIndex;
    }
    return 0;
  }
  /// Gives p the number index (not 0); p must have none yet.
  void insert(const void* p, uint32_t index) {
    if (m_slots.empty() && m_nCount < kFewSlots) {
      m_few[m_nCount++] = CSlot{p, index};
      return;
    }
    insertInTable(p, index);
  }

 private:
  // No initialisers: a new table is value-initialised (every key null),
  // and the few are read only up to m_nCount, so that making an index for
  // every small archive stores nothing in them.
  struct CSlot {
    const void* m_pKey;
    uint32_t m_nIndex;
  };
  // The few are searched inline; the table, once there is one, here.
  uint32_t findInTable(const void* p) const;
  void insertInTable(const void* p, uint32_t index);
  std::size_t slotOf(const void* p) const;
  void grow();

  static constexpr std::size_t kFewSlots = 8;

  CSlot m_few[kFewSlots];      // the first ones, while m_slots is empty
  std::vector<CSlot> m_slots;  // a power of two in size, or empty
  std::size_t m_nCount = 0;
};

#endif  // SYMCONV_ARCHIVE_POINTER_INDEX_H_

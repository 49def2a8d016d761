#include "platform/pending_temporaries.h"

#include <atomic>
#include <cstring>

namespace {

// A slot is free (0), being filled or emptied (1), or holds a path (2). The
// handler reads only slots in state 2, so it never sees half a path.
template <std::size_t kPathMax>
struct CSlot {
  std::atomic<int> state{0};
  char path[kPathMax] = {};
};

static_assert(std::atomic<int>::is_always_lock_free,
              "a signal handler may only read lock-free atomics");

/// Nearly every temporary's path fits a short slot, and the short slots
/// share a few pages: a run touches those alone, not a page per slot.
constexpr std::size_t kShortPathMax = 256;

/// The slots of one length, with where the next search for a free one
/// starts: slots are claimed and released mostly in turn, so the one after
/// the last claimed is likely free, and the search need not pass the full
/// ones first.
template <std::size_t kPathMax>
struct CSlots {
  CSlot<kPathMax> slots[kPendingTemporarySlots];
  std::atomic<std::size_t> next{0};

  int claim(const std::string& path) {
    const std::size_t start = next.load(std::memory_order_relaxed);
    for (std::size_t n = 0; n < kPendingTemporarySlots; ++n) {
      const std::size_t i = (start + n) % kPendingTemporarySlots;
      // A plain read first: a taken slot costs no locked exchange.
      if (slots[i].state.load(std::memory_order_relaxed) != 0) continue;
      int expected = 0;
      if (!slots[i].state.compare_exchange_strong(expected, 1)) continue;
      std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
      slots[i].state.store(2);
      next.store((i + 1) % kPendingTemporarySlots, std::memory_order_relaxed);
      return static_cast<int>(i);
    }
    return -1;
  }

  void forEach(void (*remove)(const char* path)) {
    for (CSlot<kPathMax>& slot : slots) {
      if (slot.state.load() == 2) remove(slot.path);
    }
  }
};

// Zeros from the start, with no code to run at startup: a page is touched
// only once a temporary is claimed in it. A long slot's number is
// kPendingTemporarySlots past its index.
constinit CSlots<kShortPathMax> g_short;
constinit CSlots<kPendingTemporaryPathMax> g_long;

}  // namespace

int ClaimPendingTemporary(const std::string& path) {
  if (path.size() < kShortPathMax) return g_short.claim(path);
  if (path.size() >= kPendingTemporaryPathMax) return -1;
  const int slot = g_long.claim(path);
  return slot < 0 ? -1 : slot + static_cast<int>(kPendingTemporarySlots);
}

void ReleasePendingTemporary(int slot) {
  constexpr int kSlots = static_cast<int>(kPendingTemporarySlots);
  if (slot >= 0 && slot < kSlots) {
    g_short.slots[slot].state.store(0);
  } else if (slot >= kSlots && slot < 2 * kSlots) {
    g_long.slots[slot - kSlots].state.store(0);
  }
}

void ForEachPendingTemporary(void (*remove)(const char* path)) {
  g_short.forEach(remove);
  g_long.forEach(remove);
}

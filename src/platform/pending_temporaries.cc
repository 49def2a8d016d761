#include "platform/pending_temporaries.h"

#include <atomic>
#include <cstring>

namespace {

// A slot is free (0), being filled or emptied (1), or holds a path (2). The
// handler reads only slots in state 2, so it never sees half a path.
struct CSlot {
  std::atomic<int> state{0};
  char path[kPendingTemporaryPathMax] = {};
};

static_assert(std::atomic<int>::is_always_lock_free,
              "a signal handler may only read lock-free atomics");

// Zeros from the start, with no code to run at startup: a slot's page is
// touched only once a temporary is claimed in it.
constinit CSlot g_slots[kPendingTemporarySlots];

/// Where the next search for a free slot starts: slots are claimed and
/// released mostly in turn, so the one after the last claimed is likely
/// free, and the search need not pass the full ones first.
std::atomic<std::size_t> g_nextSlot{0};

}  // namespace

int ClaimPendingTemporary(const std::string& path) {
  if (path.size() >= kPendingTemporaryPathMax) return -1;
  const std::size_t start = g_nextSlot.load(std::memory_order_relaxed);
  for (std::size_t n = 0; n < kPendingTemporarySlots; ++n) {
    const std::size_t i = (start + n) % kPendingTemporarySlots;
    // A plain read first: a taken slot costs no locked exchange.
    if (g_slots[i].state.load(std::memory_order_relaxed) != 0) continue;
    int expected = 0;
    if (!g_slots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
    g_slots[i].state.store(2);
    g_nextSlot.store((i + 1) % kPendingTemporarySlots,
                     std::memory_order_relaxed);
    return static_cast<int>(i);
  }
  return -1;
}

void ReleasePendingTemporary(int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= kPendingTemporarySlots) {
    return;
  }
  g_slots[slot].state.store(0);
}

void ForEachPendingTemporary(void (*remove)(const char* path)) {
  for (CSlot& slot : g_slots) {
    if (slot.state.load() == 2) remove(slot.path);
  }
}

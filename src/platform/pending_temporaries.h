#ifndef SYMCONV_PLATFORM_PENDING_TEMPORARIES_H_
#define SYMCONV_PLATFORM_PENDING_TEMPORARIES_H_

#include <cstddef>
#include <string>

// The temporaries that this process has made and not yet renamed or removed,
// kept where a signal handler (or the Windows console's control handler) can
// read them without allocating: fixed slots of fixed size, allocated with the
// program. A run holds at most a chunk of closed temporaries waiting to be
// published plus the one being written, and those that a second thread has
// written ahead and not yet handed over.

/// How many temporaries a second thread may hold written ahead.
inline constexpr std::size_t kTemporariesAhead = 32;
/// How many temporaries may be pending at once, of paths shorter than 256
/// bytes and again of longer ones; CReplacingFile refuses more.
inline constexpr std::size_t kPendingTemporarySlots = 72 + kTemporariesAhead;
/// The longest path a slot holds, its terminating NUL included.
inline constexpr std::size_t kPendingTemporaryPathMax = 4096;

/// Claims a slot for path before the file is created. Returns the slot, or
/// -1 when every slot is taken or the path does not fit.
int ClaimPendingTemporary(const std::string& path);

/// Frees a slot once its temporary is renamed or removed; -1 is ignored.
void ReleasePendingTemporary(int slot);

/// Calls remove(path) for every claimed slot. Async-signal-safe when remove
/// is; meant for a handler that ends the process.
void ForEachPendingTemporary(void (*remove)(const char* path));

#endif  // SYMCONV_PLATFORM_PENDING_TEMPORARIES_H_

#include "platform/posix/heap_tuning.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void GrowHeapsInLargeSteps() {
#if defined(__GLIBC__)
  // Memory above what is in use is kept mapped up to this much; pages not
  // touched again cost nothing resident. Setting it also fixes the size
  // from which blocks get their own mapping at the default 128 KiB.
  // A thread's heap starts this large and grows past it a page (and a
  // system call) at a time: the worker's results, queued up to 16 MiB
  // (the ahead budget), fit in what it starts with.
  constexpr int kTopPad = 32 << 20;
  mallopt(M_TOP_PAD, kTopPad);
#endif
}

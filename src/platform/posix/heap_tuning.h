#ifndef SYMCONV_PLATFORM_POSIX_HEAP_TUNING_H_
#define SYMCONV_PLATFORM_POSIX_HEAP_TUNING_H_

/// Asks the C library's allocator to grow and shrink its heaps in large
/// steps. A conversion allocates and frees a symbol's shapes over and over;
/// with the default steps the worker thread's heap moved its end with a
/// system call nearly every time, and the thread that freed the results
/// waited on that heap's lock meanwhile. Process-wide; call it before any
/// thread starts. Does nothing where the allocator has no such setting.
void GrowHeapsInLargeSteps();

#endif  // SYMCONV_PLATFORM_POSIX_HEAP_TUNING_H_

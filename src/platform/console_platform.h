#ifndef SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_
#define SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_

// The command line's platform for the system being built: the same options,
// AskForFolder and options() on POSIX and on the Windows console, the
// clean-up of pending temporaries when the user interrupts the run, and
// whether large files may be read on two threads.

#ifdef _WIN32
#include "platform/win32/console_interrupt.h"
#include "platform/win32/win32_console_platform.h"
using CConsoleOptions = CWin32ConsoleOptions;
using CConsolePlatform = CWin32ConsolePlatform;
/// Ctrl+C, Ctrl+Break or a closing console remove the pending temporaries.
inline void InstallInterruptCleanup() { InstallConsoleInterruptCleanup(); }
/// Files are read on one thread here.
inline void AllowSplitReads(CConsolePlatform&, bool) {}
#else
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/posix_platform.h"
using CConsoleOptions = CPosixOptions;
using CConsolePlatform = CPosixPlatform;
/// Large files may be read in two halves at once.
inline void AllowSplitReads(CConsolePlatform& platform, bool allow) {
  platform.options().split_reads = allow;
}
#endif

#endif  // SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_

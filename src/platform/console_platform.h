#ifndef SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_
#define SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_

// The command line's platform for the system being built: the same options,
// AskForFolder and options() on POSIX and on the Windows console, and the
// clean-up of pending temporaries when the user interrupts the run.

#ifdef _WIN32
#include "platform/win32/console_interrupt.h"
#include "platform/win32/win32_console_platform.h"
using CConsoleOptions = CWin32ConsoleOptions;
using CConsolePlatform = CWin32ConsolePlatform;
/// Ctrl+C, Ctrl+Break or a closing console remove the pending temporaries.
inline void InstallInterruptCleanup() { InstallConsoleInterruptCleanup(); }
#else
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/posix_platform.h"
using CConsoleOptions = CPosixOptions;
using CConsolePlatform = CPosixPlatform;
#endif

#endif  // SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_

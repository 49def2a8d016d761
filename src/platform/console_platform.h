#ifndef SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_
#define SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_

// The command line's platform for the system being built: the same options,
// AskForFolder and options() on POSIX and on the Windows console.

#ifdef _WIN32
#include "platform/win32/win32_console_platform.h"
using CConsoleOptions = CWin32ConsoleOptions;
using CConsolePlatform = CWin32ConsolePlatform;
#else
#include "platform/posix/posix_platform.h"
using CConsoleOptions = CPosixOptions;
using CConsolePlatform = CPosixPlatform;
#endif

#endif  // SYMCONV_PLATFORM_CONSOLE_PLATFORM_H_

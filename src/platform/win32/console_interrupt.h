#ifndef SYMCONV_PLATFORM_WIN32_CONSOLE_INTERRUPT_H_
#define SYMCONV_PLATFORM_WIN32_CONSOLE_INTERRUPT_H_

/// For a console program: on Ctrl+C, Ctrl+Break or the console closing,
/// removes the pending temporaries and ends the process as the console's
/// default handling would (exit code STATUS_CONTROL_C_EXIT).
void InstallConsoleInterruptCleanup();

#endif  // SYMCONV_PLATFORM_WIN32_CONSOLE_INTERRUPT_H_

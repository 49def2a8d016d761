#ifndef SYMCONV_PLATFORM_POSIX_INTERRUPT_CLEANUP_H_
#define SYMCONV_PLATFORM_POSIX_INTERRUPT_CLEANUP_H_

/// On SIGINT, SIGTERM and SIGHUP: removes the pending temporaries (the one
/// being written and those waiting to be published), then ends the process
/// with that signal, as if it had not been caught. A signal that the shell
/// told us to ignore stays ignored.
void InstallInterruptCleanup();

#endif  // SYMCONV_PLATFORM_POSIX_INTERRUPT_CLEANUP_H_

#ifndef SYMCONV_PLATFORM_POSIX_POSIX_ERROR_H_
#define SYMCONV_PLATFORM_POSIX_POSIX_ERROR_H_

#include <string>

#include "platform/exceptions.h"

/// The CFileException cause for an errno value.
int CauseFromErrno(int err);

/// A CFileException for a failed call on path, with errno err as the
/// system's code and strerror(err) as the reason.
CFileException FileExceptionFromErrno(int err, const std::string& path);

#endif  // SYMCONV_PLATFORM_POSIX_POSIX_ERROR_H_

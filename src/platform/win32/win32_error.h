#ifndef SYMCONV_PLATFORM_WIN32_WIN32_ERROR_H_
#define SYMCONV_PLATFORM_WIN32_WIN32_ERROR_H_

#include <string>

#include "platform/exceptions.h"

/// The CFileException cause that a Windows error code (a GetLastError()
/// value) stands for; genericException for codes without a closer cause.
int FileCauseFromWin32Error(unsigned long error);

/// The file failure for a Windows error code on file_name, with the
/// system's own description of the code.
CFileException MakeWin32FileException(unsigned long error,
                                      const std::string& file_name);

/// The same for the calling thread's last error.
CFileException LastWin32FileException(const std::string& file_name);

#endif  // SYMCONV_PLATFORM_WIN32_WIN32_ERROR_H_

#include "platform/win32/win32_error.h"

#include <windows.h>

namespace {

// The system's text for an error code, without its trailing line end and
// full stop; empty when the system has none.
std::string DescribeWin32Error(DWORD error) {
  char buffer[512];
  DWORD n =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                     buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' ||
                           text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

int FileCauseFromWin32Error(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_HANDLE:
      return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
      return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
      return CFileException::accessDenied;
    case ERROR_CURRENT_DIRECTORY:
      return CFileException::removeCurrentDir;
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
      return CFileException::hardIO;
    case ERROR_SHARING_VIOLATION:
      return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION:
      return CFileException::lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return CFileException::diskFull;
    case ERROR_HANDLE_EOF:
      return CFileException::endOfFile;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return CFileException::alreadyExists;
    default:
      return CFileException::genericException;
  }
}

CFileException MakeWin32FileException(unsigned long error,
                                      const std::string& file_name) {
  return CFileException(FileCauseFromWin32Error(error),
                        static_cast<long>(error), file_name,
                        DescribeWin32Error(error));
}

CFileException LastWin32FileException(const std::string& file_name) {
  return MakeWin32FileException(GetLastError(), file_name);
}

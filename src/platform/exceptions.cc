#include "platform/exceptions.h"

namespace {

std::string DescribeCause(int cause) {
  switch (cause) {
    case CFileException::fileNotFound:
      return "file not found";
    case CFileException::badPath:
      return "bad path";
    case CFileException::tooManyOpenFiles:
      return "too many open files";
    case CFileException::accessDenied:
      return "access denied";
    case CFileException::invalidFile:
      return "invalid file";
    case CFileException::directoryFull:
      return "directory full";
    case CFileException::hardIO:
      return "hardware I/O error";
    case CFileException::sharingViolation:
      return "sharing violation";
    case CFileException::lockViolation:
      return "lock violation";
    case CFileException::diskFull:
      return "disk full";
    case CFileException::endOfFile:
      return "unexpected end of file";
    case CFileException::alreadyExists:
      return "file exists";
    default:
      return "file error";
  }
}

}  // namespace

CFileException::CFileException(int cause, long os_error, std::string file_name,
                               std::string reason)
    : CException(file_name + ": " +
                 (reason.empty() ? DescribeCause(cause) : reason)),
      m_cause(cause),
      m_lOsError(os_error),
      m_strFileName(std::move(file_name)),
      m_strReason(std::move(reason)) {}

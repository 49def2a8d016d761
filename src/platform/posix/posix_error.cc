#include "platform/posix/posix_error.h"

#include <cerrno>
#include <cstring>

int CauseFromErrno(int err) {
  switch (err) {
    case ENOENT:
      return CFileException::fileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return CFileException::accessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // past the size limit: no more room, as far as we can tell
      return CFileException::diskFull;
    case EMFILE:
    case ENFILE:
      return CFileException::tooManyOpenFiles;
    case ENAMETOOLONG:
    case ENOTDIR:
      return CFileException::badPath;
    case EIO:
      return CFileException::hardIO;
    case EEXIST:
      return CFileException::alreadyExists;
    default:
      return CFileException::genericException;
  }
}

CFileException FileExceptionFromErrno(int err, const std::string& path) {
  return CFileException(CauseFromErrno(err), err, path, std::strerror(err));
}

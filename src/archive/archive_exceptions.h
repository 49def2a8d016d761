#ifndef SYMCONV_ARCHIVE_ARCHIVE_EXCEPTIONS_H_
#define SYMCONV_ARCHIVE_ARCHIVE_EXCEPTIONS_H_

#include <string>

#include "platform/exceptions.h"

/// A failure of the archive itself, not of its file: the writer ran out of
/// index numbers. Not a file failure, so the per-file guards let it pass.
class CArchiveException : public CException {
 public:
  /// Cause codes, numbered as the Windows edition's framework numbers them.
  enum Cause {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  CArchiveException(int cause, std::string file_name)
      : CException(file_name + ": " + DescribeCause(cause)),
        m_cause(cause),
        m_strFileName(std::move(file_name)) {}

  int m_cause;
  std::string m_strFileName;

 private:
  static std::string DescribeCause(int cause) {
    switch (cause) {
      case badIndex:
        return "too many objects in one archive";
      case badClass:
        return "unknown class in archive";
      case badSchema:
        return "unknown schema number in archive";
      default:
        return "archive error";
    }
  }
};

/// An operation that the writer refuses, such as storing an object whose
/// class has no storable schema (CObject itself).
class CNotSupportedException : public CException {
 public:
  explicit CNotSupportedException(
      std::string message = "operation not supported")
      : CException(std::move(message)) {}
};

#endif  // SYMCONV_ARCHIVE_ARCHIVE_EXCEPTIONS_H_

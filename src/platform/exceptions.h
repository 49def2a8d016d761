#ifndef SYMCONV_PLATFORM_EXCEPTIONS_H_
#define SYMCONV_PLATFORM_EXCEPTIONS_H_

#include <exception>
#include <string>

/// Root of the failures that the converter raises itself. what() gives a
/// message for a person, naming the file where there is one.
class CException : public std::exception {
 public:
  explicit CException(std::string message) : m_strMessage(std::move(message)) {}
  const char* what() const noexcept override { return m_strMessage.c_str(); }

 private:
  std::string m_strMessage;
};

/// A file that could not be opened, read, written, closed, renamed or
/// removed. This is the one failure that the per-file guards catch and answer
/// with the failure prompt; every other failure passes through them.
class CFileException : public CException {
 public:
  /// Cause codes, numbered as the Windows edition's framework numbers them;
  /// alreadyExists is our own, so that claiming a name that is taken can be
  /// told from other failures.
  enum Cause {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
    alreadyExists = 15,
  };

  /// os_error is the system's own code (errno or GetLastError()), -1 when
  /// the failure was found by the converter itself (a short write). reason
  /// is the system's own description ("No space left on device"); when it
  /// is empty the message describes the cause instead.
  CFileException(int cause, long os_error, std::string file_name,
                 std::string reason = std::string());

  int m_cause;
  long m_lOsError;
  std::string m_strFileName;
  /// The reason given to the constructor; empty when there was none.
  std::string m_strReason;
};

#endif  // SYMCONV_PLATFORM_EXCEPTIONS_H_

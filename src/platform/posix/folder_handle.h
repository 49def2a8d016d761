#ifndef SYMCONV_PLATFORM_POSIX_FOLDER_HANDLE_H_
#define SYMCONV_PLATFORM_POSIX_FOLDER_HANDLE_H_

#include <string>

/// A file named by its folder's descriptor and its own name. A run creates,
/// replaces and renames thousands of files in one folder: with that folder
/// held open, the system walks one name per call instead of every folder of
/// the path again.
struct CFolderRelative {
  int folder;        // a descriptor, or AT_FDCWD
  const char* name;  // within folder; the whole path with AT_FDCWD
};

/// The folder last named, held open on the thread that names it.
class CFolderHandle {
 public:
  CFolderHandle() = default;
  CFolderHandle(const CFolderHandle&) = delete;
  CFolderHandle& operator=(const CFolderHandle&) = delete;
  ~CFolderHandle();

  /// path relative to its folder, which stays open until another folder is
  /// named; path itself (with AT_FDCWD) for a relative path or a folder that
  /// cannot be opened. Valid while path is and until the next call.
  CFolderRelative relative(const std::string& path);
  /// path's name within the folder held open; null where path names no file
  /// of it.
  const char* nameIn(const std::string& path) const;

 private:
  std::string m_strFolder;  // with its last separator
  int m_fd = -1;
};

#endif  // SYMCONV_PLATFORM_POSIX_FOLDER_HANDLE_H_

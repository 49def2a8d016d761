#ifndef SYMCONV_PLATFORM_PLATFORM_H_
#define SYMCONV_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_contents.h"

class CFileException;

/// Buttons of a message box. Every box is modal, has no owner window, shows
/// the exclamation icon and makes its first button the default.
enum class MessageButtons { kOk, kYesNo };

/// The button that closed a message box; the values are the Windows ones
/// (IDOK, IDYES, IDNO).
enum class MessageResult { kOk = 1, kYes = 6, kNo = 7 };

/// A file opened for writing by CPlatform::CreateNewFile. Not shared: no
/// other opener may read or write it while it is open.
class CWritableFile {
 public:
  virtual ~CWritableFile() = default;

  /// Writes up to n bytes and returns how many the system stored (fewer
  /// means the disk is full). Throws CFileException when the system rejects
  /// the write.
  virtual std::size_t Write(const void* data, std::size_t n) = 0;

  /// Waits until the data written so far is on disk. Throws CFileException.
  virtual void Sync() = 0;

  /// Closes the file. Throws CFileException when the close fails. A file
  /// destroyed without Close is closed quietly.
  virtual void Close() = 0;
};

/// Everything a run needs from the operating system. One implementation per
/// platform (POSIX, Win32) and a scripted fake for tests. Only the batch
/// driver holds one; it hands it down to the file layer.
class CPlatform {
 public:
  virtual ~CPlatform() = default;

  // --- The user --------------------------------------------------------

  /// Asks for the one folder to convert. Returns false when the user
  /// cancels; otherwise stores the folder's path (without a trailing
  /// separator unless it is a root) in *path.
  virtual bool ChooseFolder(std::string* path) = 0;

  /// Shows a modal message and returns the button that closed it.
  virtual MessageResult ShowMessage(const std::string& text,
                                    MessageButtons buttons) = 0;

  /// Shows the summary that ends a run: an OK box on Windows, standard
  /// output on the command line.
  virtual void ShowSummary(const std::string& text) {
    ShowMessage(text, MessageButtons::kOk);
  }

  /// The short system beep that ends each symbol.
  virtual void Beep() = 0;

  /// Called by the driver before each file of a pass; done counts the files
  /// already handled in the whole run, total all files of both passes. For
  /// a progress display; the default shows nothing.
  virtual void ReportProgress(int done, int total, const std::string& name) {
    (void)done, (void)total, (void)name;
  }

  /// Called while a DXF file is read (after ReportProgress named it, at
  /// each block and every few thousand entities): bytes_done of the file's
  /// bytes_total read, symbols_done written so far in the run. The default
  /// shows nothing.
  virtual void ReportProgressWithin(std::size_t bytes_done,
                                    std::size_t bytes_total, int symbols_done) {
    (void)bytes_done, (void)bytes_total, (void)symbols_done;
  }

  /// A note about the run that is neither a question nor a failure (what
  /// the DXF files held that was not converted): one line on standard error
  /// on the command line; the default, and the desktop program, show none.
  virtual void ReportNote(const std::string& text) { (void)text; }

  // --- Folders -----------------------------------------------------------

  /// The separator that the driver appends to the chosen folder and that
  /// ends a folder within a path: '/' on POSIX, '\\' on Windows.
  virtual char PathSeparator() const = 0;

  /// Makes path the current directory. Throws CFileException when that
  /// fails: fileNotFound when the folder does not exist, with the system's
  /// own code in m_lOsError.
  virtual void ChangeDirectory(const std::string& path) = 0;

  /// How a message shows the system's account of a failure: "(Windows
  /// returned code: 5)", as the desktop program has always said; the
  /// command line gives the system's reason instead.
  virtual std::string DescribeSystemError(const CFileException& e) const;

  /// The bare names in the current directory that match pattern, a "*."
  /// wildcard such as "*.DXF": a name matches when its last four bytes equal
  /// the pattern's last four ignoring ASCII case. Folders that match are
  /// included (opening them fails later). POSIX sorts the names byte-wise;
  /// Windows keeps its own order. Throws CFileException when the folder
  /// cannot be listed.
  virtual std::vector<std::string> FindFiles(const std::string& pattern) = 0;

  /// The bare names of the folders in the current directory, sorted
  /// byte-wise. A symbolic link to a folder (on Windows, any reparse point)
  /// is not one of them, so that a walk down a tree neither leaves it nor
  /// loops. Throws CFileException when the folder cannot be listed. The
  /// default lists none.
  virtual std::vector<std::string> FindSubfolders() { return {}; }

  /// Makes the folder path, whose parent must exist; a folder that exists
  /// already is kept as it is. Throws CFileException when it cannot be made
  /// or a file holds the name. The default makes none.
  virtual void MakeFolder(const std::string& path);

  // --- Files ---------------------------------------------------------------

  /// Reads a whole file, opened read-only and not shared where the platform
  /// allows. A folder is not a file. Throws CFileException.
  virtual CFileContents ReadFile(const std::string& path) = 0;

  /// True when ReadFile may run on a second thread while this one goes on
  /// using the platform (each call then stands alone: no state is shared).
  virtual bool ReadsConcurrently() const { return false; }

  /// True when a second thread may make and write temporaries
  /// (NextTemporaryNumber, CreateReplacement, the file's Write, RemoveFile)
  /// while this one goes on using the platform, closing and renaming them.
  virtual bool WritesConcurrently() const { return false; }

  /// Creates path for writing; fails with CFileException when it exists
  /// already (so a temporary name can be claimed exclusively) or cannot be
  /// made. Never returns null.
  virtual std::unique_ptr<CWritableFile> CreateNewFile(
      const std::string& path) = 0;

  /// Creates temp (as CreateNewFile does) to replace target: fails when
  /// target exists and the user may not write it (a read-only symbol is
  /// protected), and gives temp the permission bits of an existing target.
  /// The default creates temp alone.
  virtual std::unique_ptr<CWritableFile> CreateReplacement(
      const std::string& temp, const std::string& target) {
    (void)target;
    return CreateNewFile(temp);
  }

  /// Renames from to to, replacing an existing to in one step. Throws
  /// CFileException.
  virtual void RenameReplacing(const std::string& from,
                               const std::string& to) = 0;

  /// Removes a file. Throws CFileException.
  virtual void RemoveFile(const std::string& path) = 0;

  /// True when SyncFileSystem can put every written file of a folder's file
  /// system on disk in one step; otherwise each file must be synced itself.
  virtual bool CanSyncFileSystem() const { return false; }

  /// Waits until every file written on the file system that holds folder is
  /// on disk. Throws CFileException.
  virtual void SyncFileSystem(const std::string& folder) { (void)folder; }

  /// The number of the next temporary name to try. Consecutive numbers by
  /// default; the command line starts from its process id, so that runs
  /// side by side rarely try the same names. Unguarded: a platform that
  /// WritesConcurrently() guards its own.
  virtual unsigned NextTemporaryNumber() { return m_nNextTemporary++; }

 protected:
  unsigned m_nNextTemporary = 0;
};

/// True when name ends with the last four bytes of pattern ("*.SYM" gives
/// ".SYM"), ignoring ASCII case. Names shorter than four bytes never match.
bool MatchesPattern(const std::string& name, const std::string& pattern);

#endif  // SYMCONV_PLATFORM_PLATFORM_H_

#ifndef SYMCONV_PLATFORM_FAKE_FAKE_PLATFORM_H_
#define SYMCONV_PLATFORM_FAKE_FAKE_PLATFORM_H_

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/exceptions.h"
#include "platform/platform.h"

/// The file operations that CFakePlatform counts and can make fail.
enum class FakeFileOp {
  kCreate,
  kWrite,
  kClose,
  kRename,
  kRemove,
  kRead,
  kSync,  // a file's Sync or SyncFileSystem
};

/// One message box (or summary) that the fake user was shown.
struct CFakeMessage {
  enum Kind { kMessage, kSummary };
  std::string text;
  MessageButtons buttons;
  Kind kind;
  MessageResult answer;  // what the scripted user pressed
};

/// One ReportProgress call.
struct CFakeProgress {
  int done;
  int total;
  std::string name;
};

/// An in-memory, deterministic CPlatform for tests: a file tree, a scripted
/// user and injectable file failures.
///
/// Paths: a path that does not start with the separator (or with a drive
/// such as "C:") is taken relative to the current folder; runs of separators
/// collapse to one and a trailing separator is dropped, so "/d/" + "A.SYM"
/// and "/d//A.SYM" name the same file. The root ("/" or "C:\\") always
/// exists. Putting a file or folder creates its missing parent folders.
///
/// Files that CreateNewFile opened are not shared until closed (reading,
/// creating, renaming or removing them fails with sharingViolation), as on
/// Windows; this catches callers that rename a file before closing it.
///
/// The platform must outlive the files that CreateNewFile returned.
///
/// Failures use these system codes: 2 missing, 13 access denied, 17 exists,
/// 21 a folder where a file was wanted, 32 sharing violation.
class CFakePlatform : public CPlatform {
 public:
  /// separator is '/' (POSIX naming, root "/") or '\\' (Windows naming,
  /// root "C:\\"). The current folder starts at the root.
  explicit CFakePlatform(char separator = '/');
  ~CFakePlatform() override;

  // --- The file tree (test helpers; never counted, never failed) ---------

  /// Creates or replaces a file with bytes.
  void PutFile(const std::string& path, const std::string& bytes);
  void PutFolder(const std::string& path);
  /// The bytes of a file, or nullopt when there is no such file.
  std::optional<std::string> FileBytes(const std::string& path) const;
  bool HasFile(const std::string& path) const;
  bool HasFolder(const std::string& path) const;
  /// Every file path, normalised and sorted byte-wise (to check, for
  /// example, that no temporary is left behind).
  std::vector<std::string> FilePaths() const;
  /// Removes a file or an empty folder; false when there was none.
  bool Erase(const std::string& path);
  /// The normalised form of path, as the tree keys it.
  std::string Normalise(const std::string& path) const;
  const std::string& current_directory() const { return m_strCurrent; }

  /// Files can no longer be created in a read-only folder (accessDenied).
  void SetReadOnlyFolder(const std::string& path, bool read_only = true);
  /// A file held open elsewhere: reading, creating, renaming to or from it
  /// and removing it fail with sharingViolation until released.
  void HoldOpenElsewhere(const std::string& path, bool held = true);
  /// FindFiles in the folder fails with accessDenied (entered, not listed).
  void SetUnlistableFolder(const std::string& path);
  /// ChangeDirectory(path) fails with cause and os_error, even when the
  /// folder exists.
  void SetChangeDirectoryError(const std::string& path, int cause,
                               long os_error);

  // --- The scripted user ---------------------------------------------------

  /// ChooseFolder returns true and this folder (every call).
  void ScriptFolder(const std::string& path);
  /// ChooseFolder returns false (the default).
  void ScriptCancel();
  /// Answers for Yes/No boxes, used in order. When the queue is empty a
  /// Yes/No box is answered No and answers_ran_out() becomes true.
  void QueueAnswer(MessageResult answer);
  void QueueAnswers(std::initializer_list<MessageResult> answers);
  std::size_t pending_answers() const { return m_answers.size(); }
  bool answers_ran_out() const { return m_bAnswersRanOut; }

  int choose_folder_calls() const { return m_nChooseFolderCalls; }
  /// Every ShowMessage and ShowSummary in order.
  const std::vector<CFakeMessage>& messages() const { return m_messages; }
  int beeps() const { return m_nBeeps; }
  const std::vector<CFakeProgress>& progress() const { return m_progress; }
  /// Every ReportNote text in order.
  const std::vector<std::string>& notes() const { return m_notes; }

  // --- Fault injection ------------------------------------------------------

  /// Operations attempted so far, of one kind or in total (failed ones
  /// included). A close from a file destroyed without Close is not counted.
  int OperationCount(FakeFileOp kind) const;
  int OperationCount() const;
  /// Makes the nth (1-based, counted from construction) operation of kind
  /// fail with a CFileException; with and_later, that one and every later
  /// one of the kind. A failed operation changes nothing (a failed close
  /// still closes the handle; the bytes written stay).
  void FailOperation(FakeFileOp kind, int nth,
                     int cause = CFileException::hardIO, long os_error = 5,
                     bool and_later = false);
  /// Makes the nth file operation of any kind fail.
  void FailOperationOverall(int nth, int cause = CFileException::hardIO,
                            long os_error = 5);
  void ClearFailures();
  /// Short-write mode: every Write stores at most max_bytes and returns
  /// how many it stored. nullopt switches it off.
  void SetShortWrite(std::optional<std::size_t> max_bytes);
  /// Called at the end of every FindFiles with the names it found, before
  /// they are returned (e.g. to make a listed file disappear).
  void SetAfterFindHook(
      std::function<void(const std::vector<std::string>& names)> hook);
  /// Convenience: the file is removed right after the next FindFiles that
  /// lists it, so that reading it then fails with fileNotFound.
  void VanishAfterFind(const std::string& path);

  // --- CPlatform ------------------------------------------------------------

  bool ChooseFolder(std::string* path) override;
  MessageResult ShowMessage(const std::string& text,
                            MessageButtons buttons) override;
  void ShowSummary(const std::string& text) override;
  void Beep() override;
  void ReportProgress(int done, int total, const std::string& name) override;
  void ReportNote(const std::string& text) override;
  char PathSeparator() const override { return m_cSeparator; }
  void ChangeDirectory(const std::string& path) override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;
  std::vector<std::string> FindSubfolders() override;
  /// Counted and failed as a kCreate.
  void MakeFolder(const std::string& path) override;
  CFileContents ReadFile(const std::string& path) override;
  std::unique_ptr<CWritableFile> CreateNewFile(
      const std::string& path) override;
  void RenameReplacing(const std::string& from, const std::string& to) override;
  void RemoveFile(const std::string& path) override;
  /// True unless SetFileSystemSync(false): then each file is synced.
  bool CanSyncFileSystem() const override { return m_bFileSystemSync; }
  void SyncFileSystem(const std::string& folder) override;
  void SetFileSystemSync(bool available) { m_bFileSystemSync = available; }
  /// False unless SetConcurrentWrites(true). The file operations then take
  /// a lock, so that faults still strike the nth operation of a kind.
  bool WritesConcurrently() const override { return m_bConcurrentWrites; }
  unsigned NextTemporaryNumber() override;
  void SetConcurrentWrites(bool concurrent) {
    m_bConcurrentWrites = concurrent;
  }

 private:
  class CFakeFile;
  friend class CFakeFile;
  struct CFault {
    std::optional<FakeFileOp> kind;  // nullopt: counted over all kinds
    int nth;
    bool and_later;
    int cause;
    long os_error;
  };

  /// Counts one operation on path and throws when a fault is due.
  void countOperation(FakeFileOp kind, const std::string& path);
  std::string rootPath() const;
  std::string parentOf(const std::string& normalised) const;
  /// Throws as creating normalised would: its folder missing or read-only.
  void checkParentWritable(const std::string& normalised) const;
  void addParents(const std::string& normalised);
  bool isHeld(const std::string& normalised) const;
  void writeTo(const std::string& normalised, const void* data, std::size_t n);

  char m_cSeparator;
  std::string m_strCurrent;
  std::map<std::string, std::string> m_files;
  std::set<std::string> m_folders;
  std::set<std::string> m_readOnlyFolders;
  std::set<std::string> m_unlistableFolders;
  std::set<std::string> m_heldElsewhere;
  std::map<std::string, int> m_openForWriting;  // path -> open handles
  std::map<std::string, std::pair<int, long>> m_changeDirErrors;

  std::optional<std::string> m_chosenFolder;
  int m_nChooseFolderCalls = 0;
  std::deque<MessageResult> m_answers;
  bool m_bAnswersRanOut = false;
  std::vector<CFakeMessage> m_messages;
  int m_nBeeps = 0;
  std::vector<CFakeProgress> m_progress;
  std::vector<std::string> m_notes;

  std::map<FakeFileOp, int> m_opCounts;
  int m_nTotalOps = 0;
  std::vector<CFault> m_faults;
  std::optional<std::size_t> m_shortWrite;
  std::function<void(const std::vector<std::string>&)> m_afterFind;
  std::set<std::string> m_vanishAfterFind;
  bool m_bFileSystemSync = true;
  bool m_bConcurrentWrites = false;
};

#endif  // SYMCONV_PLATFORM_FAKE_FAKE_PLATFORM_H_

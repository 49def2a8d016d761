#ifndef SYMCONV_PLATFORM_POSIX_POSIX_PLATFORM_H_
#define SYMCONV_PLATFORM_POSIX_POSIX_PLATFORM_H_

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "platform/answer_mode.h"
#include "platform/platform.h"
#include "platform/progress_meter.h"

/// What the command line sets up for a run.
struct CPosixOptions {
  /// The folder that ChooseFolder returns; empty means cancel.
  std::string folder;
  AnswerMode answer_mode = AnswerMode::kAsk;
  /// Ring the terminal bell after each symbol.
  bool beep = false;
  /// Starts every message on standard error, as a caption would.
  std::string program_name = "symconv";
  /// The streams, not owned; tests put files here.
  std::FILE* input = stdin;
  std::FILE* output = stdout;
  std::FILE* errors = stderr;
  /// Whether input / errors are terminals; unset asks isatty.
  std::optional<bool> input_is_terminal;
  std::optional<bool> errors_is_terminal;
  /// The clock that paces the progress line; tests put their own here.
  std::function<CProgressMeter::Clock::time_point()> clock =
      CProgressMeter::Clock::now;
  /// Whether a large file may be read in two halves at once, the second on
  /// a thread of its own: for a run that may use a second core.
  bool split_reads = false;
};

/// The platform of the command line: files through POSIX calls, messages
/// on standard error, the summary on standard output, answers from the
/// options or from the terminal.
///
/// Reading takes a shared advisory lock (flock) when it can: a file that
/// another program holds under an exclusive flock fails with
/// sharingViolation. Other programs are not kept out while we read, since
/// POSIX has no mandatory sharing modes.
class CPosixPlatform final : public CPlatform {
 public:
  explicit CPosixPlatform(CPosixOptions options = CPosixOptions());
  ~CPosixPlatform() override;

  /// Asks for a folder on the terminal: shows "Select folder to convert: "
  /// on errors and reads one line. An empty line or the end of input gives
  /// false (cancel). A trailing '/' is dropped unless the path is "/".
  bool AskForFolder(std::string* path);

  /// Whether standard input (the options' input) is a terminal.
  bool InputIsTerminal() const { return inputIsTerminal(); }

  const CPosixOptions& options() const { return m_options; }
  CPosixOptions& options() { return m_options; }

  bool ChooseFolder(std::string* path) override;
  MessageResult ShowMessage(const std::string& text,
                            MessageButtons buttons) override;
  void ShowSummary(const std::string& text) override;
  void Beep() override;
  void ReportProgress(int done, int total, const std::string& name) override;
  void ReportProgressWithin(std::size_t bytes_done, std::size_t bytes_total,
                            int symbols_done) override;
  void ReportNote(const std::string& text) override;
  char PathSeparator() const override { return '/'; }
  void ChangeDirectory(const std::string& path) override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;
  std::vector<std::string> FindSubfolders() override;
  void MakeFolder(const std::string& path) override;
  CFileContents ReadFile(const std::string& path) override;
  bool ReadsConcurrently() const override { return true; }
  bool WritesConcurrently() const override { return true; }
  std::unique_ptr<CWritableFile> CreateNewFile(
      const std::string& path) override;
  std::unique_ptr<CWritableFile> CreateReplacement(
      const std::string& temp, const std::string& target) override;
  void RenameReplacing(const std::string& from, const std::string& to) override;
  void RemoveFile(const std::string& path) override;
  bool CanSyncFileSystem() const override;
  unsigned NextTemporaryNumber() override {
    return m_nextTemporary.fetch_add(1, std::memory_order_relaxed);
  }
  std::string DescribeSystemError(const CFileException& e) const override;
  void SyncFileSystem(const std::string& folder) override;

 private:
  bool inputIsTerminal() const;
  bool errorsIsTerminal() const;
  /// Removes the progress line, if one is shown, before other output.
  void clearProgress();
  void showProgress(const std::string& line);
  /// Reads one line of input without its line end; false at end of input.
  bool readLine(std::string* line);

  CPosixOptions m_options;
  /// The mode that CreateNewFile gives a file: 0666 less the umask, which
  /// is read once, when the platform is made.
  mode_t m_newFileMode = 0;
  /// Whose files CreateReplacement may take as writable by their mode.
  uid_t m_euid = 0;
  /// Starts from the process id, so that runs side by side rarely try the
  /// same names; taken by both threads that write.
  std::atomic<unsigned> m_nextTemporary{0};
  /// Asked once: progress is reported for every source, and whether the
  /// errors go to a terminal does not change during a run.
  mutable std::optional<bool> m_errorsIsTerminal;
  bool m_bProgressShown = false;
  CProgressMeter m_meter;
};

#endif  // SYMCONV_PLATFORM_POSIX_POSIX_PLATFORM_H_

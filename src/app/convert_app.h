#ifndef SYMCONV_APP_CONVERT_APP_H_
#define SYMCONV_APP_CONVERT_APP_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/output_tally.h"
#include "app/prepared_symbol.h"
#include "app/run_observer.h"
#include "dxf/block_extractor.h"
#include "dxf/passed_over.h"
#include "platform/file_contents.h"

class CConvertAhead;
class CPlatform;
class CPublishQueue;

/// Raised by ConfirmContinue when the user answers No: the run ends at once,
/// without the summary; what was written so far stays.
struct CRunStopped {};

/// How a run ended.
enum class RunOutcome {
  kCancelled,  // the folder choice was cancelled; nothing touched
  kCompleted,  // both passes ran and the summary was shown
  kStopped,    // the user answered No at a failure prompt
  kNoFolder,   // the chosen folder could not be made current
  kFailed,     // an unexpected failure ended the run (message shown)
};

/// What a run takes from DXF files beyond the LINE, ARC and CIRCLE entities
/// of their blocks, and how it reports what it passed over. The desktop
/// program keeps the defaults.
struct CConvertOptions {
  CDxfOptions dxf;
  /// Report the entities passed over block by block (and drawing by
  /// drawing) as they are met, instead of one total at the end of the run.
  bool verbose = false;
  /// Where the .SML files go, an absolute folder made when missing; empty:
  /// beside their sources.
  std::string output;
  /// The subfolders too, depth first in byte order of their names.
  bool recursive = false;
  /// Convert the next sources on a second thread while this one writes
  /// (see CConvertAhead); what the run shows and writes is the same.
  bool convert_ahead = false;
  /// The memory that converting ahead may fill, for the texts read ahead
  /// and again for the results not yet written (at least one of each).
  std::size_t ahead_budget = std::size_t{16} << 20;
  /// Where the platform lets a second thread write: the results waiting for
  /// this thread at which that thread writes the next outputs' temporaries
  /// itself (0: always), so that the two share the file system's work.
  std::size_t write_ahead_backlog = 64;
};

/// The application object: one run converts every DXF block and every .SYM
/// file of one folder into .SML files. All access to the operating system
/// goes through the platform it is given, which must outlive it.
class CConvertApp {
 public:
  explicit CConvertApp(CPlatform& platform);
  CConvertApp(const CConvertApp&) = delete;
  CConvertApp& operator=(const CConvertApp&) = delete;
  virtual ~CConvertApp();

  /// Performs the whole run: folder choice, DXF pass, .SYM pass, summary.
  /// Returns false, so that no message loop follows.
  bool RunBatch();

  void SetOptions(const CConvertOptions& options) { m_options = options; }
  /// Tells observer what happens; it must outlive the runs.
  void SetObserver(CRunObserver& observer) { m_pObserver = &observer; }
  CRunObserver& observer() { return *m_pObserver; }

  RunOutcome outcome() const { return m_outcome; }
  /// True when any file failed (passed over with Yes, or the run stopped).
  bool any_failure() const { return m_bAnyFailure; }

  /// One DXF file: every block of its BLOCKS section becomes an .SML, and
  /// with the drawings option its ENTITIES section too, named after the
  /// file (PARTS.DXF gives PARTS.SML).
  void ConvertDxfFile(std::string path);
  /// One .SYM file: read whole and converted.
  void ConvertSymFile(std::string path);
  /// Converts one SYM text into the .SML named after source_name, taking
  /// the shapes already read from it when given. Returns true when the .SML
  /// file was written completely.
  bool ConvertSymToSml(std::string_view text, const std::string& source_name,
                       CFlatSymbol* shapes = nullptr);
  /// Writes a symbol converted ahead into the .SML named after source_name,
  /// as ConvertSymToSml writes it from its text, or publishes the temporary
  /// written ahead for it (which it takes).
  bool PublishPrepared(CPreparedSymbol& prepared,
                       const std::string& source_name);
  /// The per-file failure prompt. Returns when the user answers Yes; throws
  /// CRunStopped on No.
  void ConfirmContinue(const std::string& file_name);
  /// The same, after a note that says why (see Why).
  void ConfirmContinue(const std::string& file_name, const std::string& why);
  /// The note that says why a file failed: "/lib/B.SML: No space left on
  /// device (block B of TWO.DXF)". The observer is told the path and the
  /// reason, for the prompt that follows.
  std::string Why(const std::string& path, const std::string& reason) const;
  /// What a block (or the drawing) of the DXF file at path held but did not
  /// convert: reported at once when verbose, otherwise added to the run's
  /// total, which a completed run reports at its end.
  void NotePassedOver(const std::string& path, const std::string& block,
                      bool drawing, const CPassedOver& counts);

  std::string m_strStatus;
  std::string m_strFolder;
  /// Where the current folder's outputs go, its separator included.
  std::string m_strOutFolder;
  int m_nDxfFiles = 0;
  int m_nDxfSymbols = 0;
  int m_nSymFiles = 0;
  /// Where the symbol being converted comes from, for the notes that say
  /// why it failed: " (block B of TWO.DXF)"; empty for a .SYM file.
  std::string m_strContext;
  /// Files written from blocks whose names Windows cannot hold.
  std::vector<std::string> m_windowsOnly;

 private:
  /// The names a folder's two passes convert, in the order they do.
  struct CSourceNames {
    std::vector<std::string> dxf;
    std::vector<std::string> sym;
  };
  /// Lists the folder's sources; false (and a message naming path and the
  /// reason) when the folder cannot be listed.
  bool ListSources(const std::string& path, CSourceNames* sources);
  /// Resets the counters and reports, and removes what a killed run left.
  void StartRun(const std::string& path);
  /// The DXF pass, then the .SYM pass, over the current folder; *current
  /// names the file being converted, for the message when the run fails.
  void ConvertBothPasses(const CSourceNames& sources, std::string* current);
  /// Reads a source (or takes what the worker made of it); returns why its
  /// text cannot be converted, or nullptr. Throws what reading threw.
  const char* OpenSource(const std::string& path, CFileContents* text);
  /// Reads a DXF file (or takes it from the worker) and hands its blocks to
  /// handler; false when it is not converted, nor counted.
  bool ConvertDxfSource(const std::string& path, CDxfBlockHandler& handler);
  /// The note for a symbol that has nothing to draw.
  void NoteNothingToDraw(const std::string& source_name);
  /// Writes one output through write, counts it and beeps; a file failure
  /// gets the failure prompt. Returns true when it was written.
  template <typename Write>
  bool WriteOutput(const std::string& source_name, const CShapeCounts& counts,
                   const Write& write);
  /// Measures, shifts and writes a symbol that has shapes (see
  /// WriteOutput).
  template <class Symbol>
  bool WriteSymbol(Symbol* symbol, const std::string& source_name);

  // The folder tree and the output folder (folder_tree.cc).
  /// Makes the output folder of the chosen one; shows why and returns
  /// false when it cannot be made.
  bool PrepareOutputRoot();
  /// Removes what a killed run left in the current output folder.
  void SweepOutputFolder();
  /// Converts the subfolders of the current folder and theirs, each with
  /// both passes.
  void ConvertSubfolders(std::string* current);
  /// Makes source (and output) the current folders and lists source; a
  /// failure is asked about and gives false.
  bool EnterSubfolder(const std::string& source, const std::string& output,
                      CSourceNames* sources);

  /// Makes the chosen folder current. When that fails, shows why and
  /// returns false.
  bool EnterFolder();

  /// Ends the run after a failure that no per-file guard handles.
  void ReportUnexpected(const std::string& file, const std::string& what);

  /// The run's one line about what was passed over; nothing when nothing
  /// was.
  void ReportPassedOverTotal();
  /// The run's one line naming the files written from blocks whose names
  /// Windows cannot hold; nothing when there were none.
  void ReportWindowsOnlyNames();

  /// Publishes the outputs waiting in the queue. Each that fails is
  /// uncounted and, when prompt is true, answered with the failure prompt.
  void PublishPending(bool prompt);
  /// The failure prompt itself; throws CRunStopped on No.
  void AskToContinue(const std::string& file_name);

  /// An output waiting in the queue: its source and the count it is in.
  /// The entries, and their strings' storage, are reused chunk after chunk.
  struct CPendingOutput {
    std::string source_name;
    int* counter = nullptr;
    std::string context;
    std::string output_path;
  };

  /// The note after the summary about outputs written twice or more.
  void ReportReplaced();

  CPlatform& m_platform;
  CConvertOptions m_options;
  CPassedOver m_passedOver;
  CRunObserver m_nullObserver;
  CRunObserver* m_pObserver = &m_nullObserver;
  /// The chosen folder and its output folder, separators included.
  std::string m_strRootFolder;
  std::string m_strOutputRoot;
  RunOutcome m_outcome = RunOutcome::kCancelled;
  bool m_bAnyFailure = false;
  std::unique_ptr<CPublishQueue> m_pQueue;
  /// The first m_nPending entries wait in the queue, in its order.
  std::vector<CPendingOutput> m_pending;
  std::size_t m_nPending = 0;
  /// The .SML path of the output being written.
  std::string m_strOutputPath;
  /// The count that a symbol written now goes into.
  int* m_pCounter = &m_nSymFiles;
  /// How often each output was written in this run.
  COutputTally m_written;
  /// While a run converts ahead: the worker, and the symbol it prepared for
  /// the ConvertSymToSml being called.
  CConvertAhead* m_pAhead = nullptr;
  CPreparedSymbol* m_pPrepared = nullptr;
};

#endif  // SYMCONV_APP_CONVERT_APP_H_

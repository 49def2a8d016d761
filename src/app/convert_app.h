#ifndef SYMCONV_APP_CONVERT_APP_H_
#define SYMCONV_APP_CONVERT_APP_H_

#include <string>
#include <vector>

#include "dxf/block_extractor.h"
#include "dxf/passed_over.h"

class CPlatform;

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
};

/// The application object: one run converts every DXF block and every .SYM
/// file of one folder into .SML files. All access to the operating system
/// goes through the platform it is given, which must outlive it.
class CConvertApp {
 public:
  explicit CConvertApp(CPlatform& platform);
  CConvertApp(const CConvertApp&) = delete;
  CConvertApp& operator=(const CConvertApp&) = delete;
  virtual ~CConvertApp() = default;

  /// Performs the whole run: folder choice, DXF pass, .SYM pass, summary.
  /// Returns false, so that no message loop follows.
  virtual bool RunBatch();

  void SetOptions(const CConvertOptions& options) { m_options = options; }

  RunOutcome outcome() const { return m_outcome; }
  /// True when any file failed (passed over with Yes, or the run stopped).
  bool any_failure() const { return m_bAnyFailure; }

  /// One DXF file: every block of its BLOCKS section becomes an .SML, and
  /// with the drawings option its ENTITIES section too, named after the
  /// file (PARTS.DXF gives PARTS.SML).
  void ConvertDxfFile(std::string path);
  /// One .SYM file: read whole and converted.
  void ConvertSymFile(std::string path);
  /// Converts one SYM text into the .SML named after source_name. Returns
  /// true when the .SML file was written completely.
  bool ConvertSymToSml(const std::string& text, const std::string& source_name);
  /// The per-file failure prompt. Returns when the user answers Yes; throws
  /// CRunStopped on No.
  void ConfirmContinue(const std::string& file_name);
  /// What a block (or the drawing) of the DXF file at path held but did not
  /// convert: reported at once when verbose, otherwise added to the run's
  /// total, which a completed run reports at its end.
  void NotePassedOver(const std::string& path, const std::string& block,
                      bool drawing, const CPassedOver& counts);

  std::string m_strStatus;
  std::string m_strFolder;
  int m_nDxfFiles = 0;
  int m_nDxfSymbols = 0;
  int m_nSymFiles = 0;
  /// Files written from blocks whose names Windows cannot hold.
  std::vector<std::string> m_windowsOnly;

 private:
  /// Ends the run after a failure that no per-file guard handles.
  void ReportUnexpected(const std::string& file, const std::string& what);

  /// The run's one line about what was passed over; nothing when nothing
  /// was.
  void ReportPassedOverTotal();
  /// The run's one line naming the files written from blocks whose names
  /// Windows cannot hold; nothing when there were none.
  void ReportWindowsOnlyNames();

  CPlatform& m_platform;
  CConvertOptions m_options;
  CPassedOver m_passedOver;
  RunOutcome m_outcome = RunOutcome::kCancelled;
  bool m_bAnyFailure = false;
};

#endif  // SYMCONV_APP_CONVERT_APP_H_

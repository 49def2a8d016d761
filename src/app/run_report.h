#ifndef SYMCONV_APP_RUN_REPORT_H_
#define SYMCONV_APP_RUN_REPORT_H_

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/convert_app.h"
#include "app/run_observer.h"

/// The record of one run as a program reads it (the command line's
/// --report): the options, the folders, every source file with the symbols
/// it gave and the failures it met, the outputs written twice or more and
/// the totals of the summary. doc/run_report.md describes the document.
class CRunReport : public CRunObserver {
 public:
  /// answer says how the failure prompts were answered ("ask", "yes",
  /// "no"); options are the run's.
  CRunReport(std::string version, std::string answer, CConvertOptions options);

  /// The run as one JSON document, ending now: app has finished its run.
  std::string Document(const CConvertApp& app) const;

  void OnFolder(const std::string& source, const std::string& output) override;
  void OnSource(const std::string& path, SourceKind kind) override;
  void OnSourceDone() override;
  void OnBlock(const std::string& name, bool drawing) override;
  void OnSymbolWritten(const std::string& name, const std::string& output,
                       int lines, int arcs, int circles) override;
  void OnPassedOver(const std::string& block, bool drawing,
                    const CPassedOver& counts) override;
  void OnFailureReason(const std::string& path,
                       const std::string& reason) override;
  void OnFailure(const std::string& source, FailureAnswer answer) override;
  void OnUnpublished(const std::string& output) override;

  /// A DXF block or drawing; neither for a .SYM file.
  struct CBlock {
    std::string name;
    bool drawing = false;
  };
  struct CSymbolEntry {
    std::string name;
    std::optional<CBlock> block;
    std::string output;
    int lines, arcs, circles;
    CPassedOver passed_over;
  };
  struct CPassedOverEntry {
    CBlock block;
    CPassedOver counts;
  };
  struct CFailureEntry {
    std::string source;
    std::string path;
    std::optional<CBlock> block;
    std::string reason;
    FailureAnswer answer;
  };
  struct CFileEntry {
    std::string path;
    SourceKind kind;
    std::vector<CSymbolEntry> symbols;
    std::vector<CPassedOverEntry> passed_over;
    std::vector<CFailureEntry> failures;
  };

 private:
  std::string m_strVersion;
  std::string m_strAnswer;
  CConvertOptions m_options;
  std::chrono::system_clock::time_point m_started;
  std::vector<std::pair<std::string, std::string>> m_folders;
  std::vector<CFileEntry> m_files;
  std::vector<CFailureEntry> m_folderFailures;
  /// The index of the file being converted, and of the one whose output
  /// failed to publish, in m_files.
  std::optional<std::size_t> m_current;
  std::optional<std::size_t> m_unpublished;
  std::optional<CBlock> m_block;
  /// Whether the last symbol was written from the block now converted.
  bool m_bSymbolOfBlock = false;
  std::optional<CBlock> m_unpublishedBlock;
  std::string m_strFailurePath;
  std::string m_strFailureReason;
};

/// The UTC time as ISO 8601 to the second: "2026-12-08T16:41:29Z".
std::string IsoUtcTime(std::chrono::system_clock::time_point time);

#endif  // SYMCONV_APP_RUN_REPORT_H_

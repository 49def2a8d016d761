#ifndef SYMCONV_APP_RUN_OBSERVER_H_
#define SYMCONV_APP_RUN_OBSERVER_H_

#include <string>

#include "dxf/passed_over.h"

/// The kind of a source file.
enum class SourceKind { kDxf, kSym };

/// What the user answered at a failure prompt; kNotAsked for an output
/// that failed while a stopped run published what it had.
enum class FailureAnswer { kYes, kNo, kNotAsked };

/// What a run tells the one who keeps its record (the command line's
/// --report), as it happens. Paths are as the run forms them; folders end
/// with their separator. Every call does nothing by default.
class CRunObserver {
 public:
  virtual ~CRunObserver() = default;

  /// A folder's passes begin: where its sources are and its outputs go.
  virtual void OnFolder(const std::string& source, const std::string& output) {
    (void)source, (void)output;
  }
  /// A source file's conversion begins, and ends.
  virtual void OnSource(const std::string& path, SourceKind kind) {
    (void)path, (void)kind;
  }
  virtual void OnSourceDone() {}
  /// The block (or, when drawing, the drawing) of the DXF file now
  /// converted.
  virtual void OnBlock(const std::string& name, bool drawing) {
    (void)name, (void)drawing;
  }
  /// A symbol was written to output (published now or with its queue).
  virtual void OnSymbolWritten(const std::string& name,
                               const std::string& output, int lines, int arcs,
                               int circles) {
    (void)name, (void)output, (void)lines, (void)arcs, (void)circles;
  }
  /// What a block or drawing held that was not converted; follows its
  /// symbol when one was written.
  virtual void OnPassedOver(const std::string& block, bool drawing,
                            const CPassedOver& counts) {
    (void)block, (void)drawing, (void)counts;
  }
  /// The file and the reason of the failure that is asked about next.
  virtual void OnFailureReason(const std::string& path,
                               const std::string& reason) {
    (void)path, (void)reason;
  }
  /// A failure of source (a file, a symbol's source name or a folder) and
  /// the answer to its prompt.
  virtual void OnFailure(const std::string& source, FailureAnswer answer) {
    (void)source, (void)answer;
  }
  /// A symbol told as written could not be published after all; the
  /// failure that follows belongs to the file it came from.
  virtual void OnUnpublished(const std::string& output) { (void)output; }
};

#endif  // SYMCONV_APP_RUN_OBSERVER_H_

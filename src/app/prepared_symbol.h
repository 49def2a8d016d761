#ifndef SYMCONV_APP_PREPARED_SYMBOL_H_
#define SYMCONV_APP_PREPARED_SYMBOL_H_

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/replacing_file.h"

struct CFlatSymbol;
struct CSymbol;

/// How many shapes of each kind a symbol holds, for the run's report.
struct CShapeCounts {
  int lines = 0;
  int arcs = 0;
  int circles = 0;
};
CShapeCounts CountShapes(const CSymbol& symbol);
CShapeCounts CountShapes(const CFlatSymbol& symbol);

/// One symbol converted as far as it goes without the file system: its SYM
/// text read, measured, shifted and encoded as the bytes of its .SML file.
/// Made on the thread that converts ahead, written on the one that writes.
struct CPreparedSymbol {
  enum class Kind {
    kHeaderOnly,     // the text held a header alone: nothing is written
    kNothingToDraw,  // no line, arc or circle: a note, nothing written
    kEncoded,        // bytes holds the whole .SML file
  };
  Kind kind = Kind::kHeaderOnly;
  /// The name stored in the bytes.
  std::string symbol_name;
  std::string bytes;
  /// The sizes of the writes that make the file (see EncodeSmlFile).
  std::vector<std::size_t> writes;
  CShapeCounts counts;
  /// What reading or encoding the text threw; thrown again where the
  /// symbol is written, so that it fails exactly where it would have.
  std::exception_ptr error;
  /// Written ahead where the platform allows: a temporary holding bytes,
  /// complete and still open, for the writing thread to publish (bytes and
  /// writes are then released); or what writing it threw, thrown again
  /// where the symbol is written.
  std::unique_ptr<CReplacingFile> temporary;
  std::exception_ptr write_error;
};

/// Converts a SYM text into the .SML bytes of a symbol named symbol_name,
/// taking the shapes already read from it when given (see
/// CDxfBlockHandler::OnBlockShapes; they are measured and shifted in
/// place). Never throws: a failure is kept in the result.
CPreparedSymbol PrepareSymbol(std::string_view text, std::string symbol_name,
                              CFlatSymbol* shapes = nullptr);

#endif  // SYMCONV_APP_PREPARED_SYMBOL_H_

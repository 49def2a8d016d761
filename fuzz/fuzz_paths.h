#ifndef SYMCONV_FUZZ_FUZZ_PATHS_H_
#define SYMCONV_FUZZ_FUZZ_PATHS_H_

#include <stdexcept>
#include <string>
#include <string_view>

// The code paths that the fuzz targets drive, shared with the regression
// test that replays the inputs the fuzzers once failed on. Each takes the
// bytes of one input file, runs them through the converter in memory (no
// disk, no platform) and returns how the input ended. An outcome that a
// malformed input may have (a premature end, a rejected .SML file) is
// returned; a broken invariant throws CFuzzFinding, which the fuzz targets
// let escape so that the fuzzer stops on it.

/// A broken invariant: the converter did something no input may make it do.
class CFuzzFinding : public std::logic_error {
 public:
  explicit CFuzzFinding(const std::string& what) : std::logic_error(what) {}
};

enum class FuzzOutcome {
  kConverted,     // read to the end and converted
  kNoSymbol,      // read to the end, nothing to convert
  kPrematureEnd,  // the text ran out while a line was wanted
  kRejected,      // not a well-formed .SML file
};

/// A DXF file's text: every block is extracted as a SYM text, and every SYM
/// text is read back, which must give one shape per record line. A text
/// that names an ENTITIES section or a polyline is read a second time with
/// the drawings and polylines options; the outcome is that of the last
/// reading.
FuzzOutcome RunDxfInput(std::string_view bytes);

/// A .SYM file's text: read, measured, shifted and written as .SML bytes
/// into memory; the bytes must decode to the same symbol.
FuzzOutcome RunSymInput(std::string_view bytes);

/// An .SML file's bytes: decoded; a file that decodes must encode again
/// into bytes that decode to the same symbol.
FuzzOutcome RunSmlInput(std::string_view bytes);

#endif  // SYMCONV_FUZZ_FUZZ_PATHS_H_

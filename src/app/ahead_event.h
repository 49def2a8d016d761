#ifndef SYMCONV_APP_AHEAD_EVENT_H_
#define SYMCONV_APP_AHEAD_EVENT_H_

#include <cstddef>
#include <exception>
#include <string>

#include "app/prepared_symbol.h"
#include "dxf/passed_over.h"

/// One thing the thread converting ahead found in a source, queued for the
/// thread that acts on it: the opening of a source, a DXF handler callback
/// with its prepared symbol, the end of a DXF file, or a .SYM file's symbol.
struct CAheadEvent {
  enum class Kind {
    kOpen,        // source, error or unsupported
    kBlock,       // name, symbol
    kDrawing,     // symbol
    kFailed,      // name, drawing, reason
    kPassedOver,  // name, drawing, counts
    kTrace,       // name holds the tag
    kProgress,    // bytes_done of bytes_total read
    kEnd,         // result or error: what ConvertDxfText returned or threw
    kSymbol,      // a .SYM file's symbol
  };
  explicit CAheadEvent(Kind k) : kind(k) {}

  /// Roughly the memory it holds, for the budget of what runs ahead.
  std::size_t footprint() const {
    return sizeof *this + name.size() + reason.size() + symbol.bytes.size() +
           symbol.symbol_name.size() + 64 * counts.size() +
           sizeof(std::size_t) * symbol.writes.size();
  }

  Kind kind;
  std::size_t source = 0;
  std::string name;
  std::string reason;
  bool drawing = false;
  std::size_t bytes_done = 0;
  std::size_t bytes_total = 0;
  bool result = false;
  const char* unsupported = nullptr;
  CPassedOver counts;
  CPreparedSymbol symbol;
  std::exception_ptr error;
};

#endif  // SYMCONV_APP_AHEAD_EVENT_H_

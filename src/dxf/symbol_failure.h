#ifndef SYMCONV_DXF_SYMBOL_FAILURE_H_
#define SYMCONV_DXF_SYMBOL_FAILURE_H_

#include <stdexcept>
#include <string>

/// Thrown while a block or drawing is converted when it cannot become a
/// symbol at all (a block that inserts itself, inserts nested too deep, more
/// shapes than a symbol may hold). The extraction catches it, reads on to
/// the block's end and reports the failure with this message.
class CSymbolFailure : public std::runtime_error {
 public:
  explicit CSymbolFailure(const std::string& reason)
      : std::runtime_error(reason) {}
};

#endif  // SYMCONV_DXF_SYMBOL_FAILURE_H_

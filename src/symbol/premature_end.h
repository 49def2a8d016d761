#ifndef SYMCONV_SYMBOL_PREMATURE_END_H_
#define SYMCONV_SYMBOL_PREMATURE_END_H_

#include "platform/exceptions.h"

/// A text ran out while a line was still wanted. Raised by the line reader;
/// the per-file guards report it as "Premature end of file!" and treat it as
/// a failure of the file being converted.
class CPrematureEndException : public CException {
 public:
  CPrematureEndException() : CException("Premature end of file!") {}
};

#endif  // SYMCONV_SYMBOL_PREMATURE_END_H_

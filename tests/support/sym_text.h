#ifndef SYMCONV_TESTS_SUPPORT_SYM_TEXT_H_
#define SYMCONV_TESTS_SUPPORT_SYM_TEXT_H_

#include <string>

/// The header line that starts every .SYM text, as the DXF path writes it
/// and the DOS program wrote it; the reader skips it.
inline const std::string kSymHeader =
    "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n";

#endif  // SYMCONV_TESTS_SUPPORT_SYM_TEXT_H_

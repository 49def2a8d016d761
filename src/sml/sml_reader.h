#ifndef SYMCONV_SML_SML_READER_H_
#define SYMCONV_SML_SML_READER_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/exceptions.h"
#include "sml/symbol.h"

/// Bytes that are not a well-formed .SML file. what() reads
/// "offset N: problem"; the parts are kept apart for callers that format
/// them their own way.
class CSmlFormatException : public CException {
 public:
  CSmlFormatException(std::size_t offset, std::string problem);

  std::size_t m_nOffset;     // where the faulty unit starts
  std::string m_strProblem;  // what was expected and what was found
};

/// Decodes a whole .SML file into *symbol (which should be fresh).
///
/// Strict: the magic, the constant fields, the class definitions (known
/// class names, schema 1234, each defined once), the class of every object
/// (lines hold CLine objects only, and so on), two points per arc and one
/// per circle and the end of the data right after the origin point are all
/// checked. The stored height and width are read but not kept: files from
/// other programs may hold values that differ from the extents, and the
/// size of the model is always the difference of its extents. Null references
/// and references to objects already read never occur in a symbol file and are
/// refused. Throws CSmlFormatException on the first fault; *symbol then holds
/// what was read until then. Nothing is allocated beyond what the bytes
/// actually hold, whatever a count says.
void ReadSmlFile(std::string_view bytes, CSymbol* symbol);

#endif  // SYMCONV_SML_SML_READER_H_

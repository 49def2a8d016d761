#ifndef SYMCONV_APP_TOOL_FILES_H_
#define SYMCONV_APP_TOOL_FILES_H_

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

#include "platform/platform.h"
#include "sml/sml_reader.h"

/// Where the inspect, render and sheet tools print: what they made on out,
/// each failure as one "symconv: WHAT: WHY" line on err.
struct CToolOutput {
  std::ostream& out;
  std::ostream& err;
  void Complain(const std::string& what, const std::string& why) const;
};

/// The whole file at path, or false with the reason in *error. Only a
/// regular file is read: a folder, a FIFO or a device is refused.
bool ReadToolInput(CPlatform& platform, const std::string& path,
                   std::string* bytes, std::string* error);

/// The symbol of an .SML file, or false with the reason and, for bytes that
/// do not decode, the offset of the fault.
bool ReadSmlSymbolFile(CPlatform& platform, const std::string& path,
                       CSymbol* symbol, std::string* error,
                       std::optional<std::size_t>* offset);

/// Writes bytes to path so that an earlier file of that name is replaced
/// only by a complete one. False, after complaining, when it cannot.
bool WriteToolOutput(CPlatform& platform, const std::string& path,
                     const std::string& bytes, const CToolOutput& io);

/// A symbol name made safe as a file name: no folder separators, no
/// characters that Windows forbids, never empty, "." or "..".
std::string FileNameForSymbol(const std::string& name);

#endif  // SYMCONV_APP_TOOL_FILES_H_

#ifndef SYMCONV_PREVIEW_SYMBOL_LOADER_H_
#define SYMCONV_PREVIEW_SYMBOL_LOADER_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/block_extractor.h"
#include "sml/sml_reader.h"

/// The kinds of file a symbol can be shown from, told by the last four
/// characters of the name, ignoring case.
enum class SourceKind { kSml, kSym, kDxf, kOther };
SourceKind SourceKindOf(std::string_view file_name);

/// One symbol of a source file, or why it could not be had.
struct CLoadedSymbol {
  /// The symbol's name: the stored name of an .SML, the file name less its
  /// extension for a .SYM, the block's name for a DXF block.
  std::string name;
  std::unique_ptr<CSymbol> symbol;    // null when it could not be had
  std::string error;                  // why not
  std::optional<std::size_t> offset;  // where malformed .SML data begins
  bool drawing = false;  // a DXF file's drawing, named after the file
};

/// The symbols of one file, given its bare name and its bytes: an .SML
/// file decoded; for a .SYM text or each block of a DXF text, the shapes,
/// extents and origin exactly as the conversion would store them in the
/// .SML file. dxf chooses, as for the conversion, whether a DXF file's
/// drawing is one more symbol and whether polylines count. A DXF text that
/// ends early keeps the symbols read before and adds one failure for the
/// rest. Never throws for bad content.
std::vector<CLoadedSymbol> LoadSymbols(std::string_view file_name,
                                       std::string_view bytes,
                                       const CDxfOptions& dxf = CDxfOptions());

#endif  // SYMCONV_PREVIEW_SYMBOL_LOADER_H_

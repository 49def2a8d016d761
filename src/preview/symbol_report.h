#ifndef SYMCONV_PREVIEW_SYMBOL_REPORT_H_
#define SYMCONV_PREVIEW_SYMBOL_REPORT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "sml/sml_reader.h"

/// What `symconv inspect` prints for one decoded file, as lines of text:
/// the name, the counts, every line, arc (also in degrees, with its sweep)
/// and circle, the extents, the size and the origin point. Numbers are the
/// shortest text that reads back exactly; degrees are rounded to six
/// decimals.
std::string FormatSymbolText(std::string_view file_name, const CSymbol& symbol);

/// The same as one JSON object on one line (non-finite numbers as null).
std::string FormatSymbolJson(std::string_view file_name, const CSymbol& symbol);

/// One JSON object on one line for a file that could not be read: the
/// file, the message and, for malformed data, the offset.
std::string FormatErrorJson(std::string_view file_name,
                            std::string_view message,
                            std::optional<std::size_t> offset);

#endif  // SYMCONV_PREVIEW_SYMBOL_REPORT_H_

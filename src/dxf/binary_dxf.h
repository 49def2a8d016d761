#ifndef SYMCONV_DXF_BINARY_DXF_H_
#define SYMCONV_DXF_BINARY_DXF_H_

#include <string>
#include <string_view>

/// The 22 bytes that begin a binary DXF file.
constexpr std::string_view kBinaryDxfSentinel{"AutoCAD Binary DXF\r\n\x1a\0",
                                              22};

/// True when data begins with the binary DXF sentinel.
bool IsBinaryDxf(std::string_view data);

/// The DXF text that holds the groups of the binary DXF data (sentinel
/// included), one code line and one value line each, so that the text
/// reader finds exactly what the same drawing saved as text gives it.
///
/// Group codes are one byte (255 escapes a two-byte code) in files of
/// R12 and before, two bytes in later ones; the first group, or else the
/// $ACADVER header variable, tells which. A value's type follows from its
/// code: strings end with a NUL byte, binary chunks are length-prefixed
/// and become hex, integers are little-endian, and doubles are written in
/// the shortest form that reads back to the same bits. A line break inside
/// a string becomes a space so that the line structure stays.
///
/// Data cut short inside a group ends the text after the last whole group:
/// the text reader then runs out exactly where a text file cut at that
/// group would.
std::string BinaryDxfToText(std::string_view data);

#endif  // SYMCONV_DXF_BINARY_DXF_H_

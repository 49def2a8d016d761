#ifndef SYMCONV_PREVIEW_SHEET_WRITER_H_
#define SYMCONV_PREVIEW_SHEET_WRITER_H_

#include <string>
#include <string_view>

#include "sml/sml_reader.h"

/// Builds one self-contained HTML page (inline SVG, no scripts, nothing
/// fetched) that shows symbols as labelled thumbnails in a grid, in the
/// order they are added. The page is also well-formed XML.
class CSheetWriter {
 public:
  /// title heads the page (the folder's name); thumbnail_pixels is the
  /// side of each picture.
  explicit CSheetWriter(std::string_view title, int thumbnail_pixels = 160);

  /// A tile with the symbol's picture, its file name, its stored name
  /// where that differs, its counts and size.
  void AddSymbol(std::string_view file_name, const CSymbol& symbol);
  /// A tile marked as an error, with the file's name and the reason.
  void AddError(std::string_view file_name, std::string_view reason);

  int symbol_count() const { return m_nSymbols; }
  int error_count() const { return m_nErrors; }

  /// The whole page.
  std::string Finish() const;

 private:
  std::string m_strTitle;
  int m_nThumbnail;
  std::string m_strTiles;
  int m_nSymbols = 0;
  int m_nErrors = 0;
};

#endif  // SYMCONV_PREVIEW_SHEET_WRITER_H_

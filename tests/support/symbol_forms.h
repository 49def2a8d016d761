#ifndef SYMCONV_TESTS_SUPPORT_SYMBOL_FORMS_H_
#define SYMCONV_TESTS_SUPPORT_SYMBOL_FORMS_H_

// The two forms of a symbol's shapes, the object lists read from a SYM
// text and the shapes held by value that the DXF conversion builds, made
// comparable.

#include <string>
#include <utility>
#include <vector>

#include "archive/archive_writer.h"
#include "sml/flat_symbol.h"
#include "sml/sml_file.h"
#include "sml/symbol.h"
#include "support/memory_file.h"
#include "support/symbol_builders.h"
#include "symbol/sym_symbol.h"

/// The same for shapes held by value: equal to ShapeBytes of a CSymbol
/// exactly when the shapes are.
inline std::string ShapeBytes(const CFlatSymbol& s) {
  CMemoryFile file;
  CArchiveWriter ar(file, "shapes");
  WriteShapeLists(ar, s);
  ar.Close();
  return file.m_strBytes;
}

/// The whole .SML file that the conversion writes of shapes read from
/// sym_text, and of the same shapes held by value: each measured, shifted
/// and encoded in its own form.
inline std::pair<std::string, std::string> SmlFilesOfBothForms(
    const std::string& sym_text, const CFlatSymbol& shapes) {
  CSymbol read;
  ReadSymText(sym_text, &read);
  CFlatSymbol flat = shapes;
  MeasureAndShift(&read);
  MeasureAndShift(&flat);
  std::vector<std::size_t> writes;
  return {EncodeSmlFile("S", read, &writes), EncodeSmlFile("S", flat, &writes)};
}

#endif  // SYMCONV_TESTS_SUPPORT_SYMBOL_FORMS_H_

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

/// How the shapes handed over with a SYM text differ from those that
/// reading the text gives: empty when they are the same doubles and, each
/// measured, shifted and encoded in its own form, make the same .SML file.
inline std::string HowShapesDifferFromText(const std::string& sym_text,
                                           const CFlatSymbol& shapes) {
  CSymbol read;
  ReadSymText(sym_text, &read);
  if (ShapeBytes(shapes) != ShapeBytes(read)) {
    return "the shapes handed over differ from those of the SYM text";
  }
  CFlatSymbol flat = shapes;
  MeasureAndShift(&read);
  MeasureAndShift(&flat);
  std::vector<std::size_t> writes;
  if (EncodeSmlFile("S", flat, &writes) != EncodeSmlFile("S", read, &writes)) {
    return "the shapes handed over make another .SML file than the SYM text";
  }
  return std::string();
}

#endif  // SYMCONV_TESTS_SUPPORT_SYMBOL_FORMS_H_

#ifndef SYMCONV_TESTS_SUPPORT_SML_BYTES_H_
#define SYMCONV_TESTS_SUPPORT_SML_BYTES_H_

#include <string>
#include <utility>

#include "archive/archive_writer.h"
#include "sml/sml_file.h"
#include "sml/symbol.h"
#include "support/memory_file.h"

/// The .SML bytes of symbol, stored under name, as WriteSmlFile writes
/// them, without touching a disk.
inline std::string EncodeSml(const CSymbol& symbol, const std::string& name) {
  CMemoryFile file;
  CArchiveWriter ar(file, name + ".SML");
  WriteSmlContents(ar, name, symbol);
  ar.Close();
  return std::move(file.m_strBytes);
}

#endif  // SYMCONV_TESTS_SUPPORT_SML_BYTES_H_

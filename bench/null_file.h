#ifndef SYMCONV_BENCH_NULL_FILE_H_
#define SYMCONV_BENCH_NULL_FILE_H_

#include <cstddef>

#include "archive/archive_writer.h"
#include "platform/platform.h"
#include "sml/sml_file.h"
#include "symbol/sym_symbol.h"

/// A file that stores every byte nowhere and counts them, so that a
/// benchmark of the encoder measures the encoder alone.
class CNullFile final : public CWritableFile {
 public:
  std::size_t Write(const void*, std::size_t n) override {
    m_nBytes += n;
    return n;
  }
  void Sync() override {}
  void Close() override {}
  std::size_t bytes() const { return m_nBytes; }

 private:
  std::size_t m_nBytes = 0;
};

/// Encodes a measured symbol's .SML contents into a null file; returns the
/// size of the file.
inline std::size_t EncodeToNullFile(CSymbol& symbol) {
  CNullFile file;
  CArchiveWriter ar(file, "BENCH.SML");
  WriteSmlContents(ar, "BENCH", symbol);
  ar.Close();
  return file.bytes();
}

#endif  // SYMCONV_BENCH_NULL_FILE_H_

#ifndef SYMCONV_BENCH_NULL_FILE_H_
#define SYMCONV_BENCH_NULL_FILE_H_

#include <cstddef>

#include "platform/platform.h"

/// A file that stores every byte nowhere and counts them, so that a
/// benchmark of the encoder measures the encoder alone.
class CNullFile final : public CWritableFile {
 public:
  std::size_t Write(const void*, std::size_t n) override {
    m_nBytes += n;
    return n;
  }
  void Close() override {}
  std::size_t bytes() const { return m_nBytes; }

 private:
  std::size_t m_nBytes = 0;
};

#endif  // SYMCONV_BENCH_NULL_FILE_H_

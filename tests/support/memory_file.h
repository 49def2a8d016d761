#ifndef SYMCONV_TESTS_SUPPORT_MEMORY_FILE_H_
#define SYMCONV_TESTS_SUPPORT_MEMORY_FILE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

/// A file in memory: every write lands whole in m_strBytes, and its size in
/// m_writes. For the fuzz targets and tests, which must never touch the
/// disk.
class CMemoryFile : public CWritableFile {
 public:
  std::size_t Write(const void* data, std::size_t n) override {
    m_strBytes.append(static_cast<const char*>(data), n);
    m_writes.push_back(n);
    return n;
  }
  void Sync() override {}
  void Close() override {}

  std::string m_strBytes;
  std::vector<std::size_t> m_writes;
};

#endif  // SYMCONV_TESTS_SUPPORT_MEMORY_FILE_H_

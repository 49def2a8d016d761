#ifndef SYMCONV_TESTS_SUPPORT_MEMORY_FILE_H_
#define SYMCONV_TESTS_SUPPORT_MEMORY_FILE_H_

#include <cstddef>
#include <string>

#include "platform/platform.h"

/// A file in memory: every write lands whole in m_strBytes. For the fuzz
/// targets and tests, which must never touch the disk.
class CMemoryFile : public CWritableFile {
 public:
  std::size_t Write(const void* data, std::size_t n) override {
    m_strBytes.append(static_cast<const char*>(data), n);
    return n;
  }
  void Sync() override {}
  void Close() override {}

  std::string m_strBytes;
};

#endif  // SYMCONV_TESTS_SUPPORT_MEMORY_FILE_H_

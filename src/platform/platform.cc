#include "platform/platform.h"

#include <cstdio>

#include "platform/exceptions.h"

namespace {

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  constexpr std::size_t kTail = 4;  // ".DXF", ".SYM"
  if (name.size() < kTail || pattern.size() < kTail) return false;
  const std::size_t n = name.size() - kTail;
  const std::size_t p = pattern.size() - kTail;
  for (std::size_t i = 0; i < kTail; ++i) {
    if (lowerAscii(name[n + i]) != lowerAscii(pattern[p + i])) return false;
  }
  return true;
}

std::string CPlatform::DescribeSystemError(const CFileException& e) const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "(Windows returned code: %ld)", e.m_lOsError);
  return buf;
}

void CPlatform::MakeFolder(const std::string& path) {
  throw CFileException(CFileException::genericException, -1, path,
                       "folders cannot be made here");
}

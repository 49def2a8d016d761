#ifndef SYMCONV_TESTS_SUPPORT_HEX_H_
#define SYMCONV_TESTS_SUPPORT_HEX_H_

#include <cstddef>
#include <cstdio>
#include <string>

/// Byte strings written as hex, for tests that spell out expected files.

/// "0D 4B" -> the two bytes; spaces are ignored.
inline std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    bytes.push_back(
        static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

/// The bytes as "0D 4B", so that a failed comparison shows where they part.
inline std::string ToHex(const std::string& bytes) {
  std::string hex;
  char cell[4];
  for (unsigned char c : bytes) {
    std::snprintf(cell, sizeof cell, "%02X ", c);
    hex += cell;
  }
  if (!hex.empty()) hex.pop_back();
  return hex;
}

#endif  // SYMCONV_TESTS_SUPPORT_HEX_H_

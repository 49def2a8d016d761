#include "app/message_text.h"

#include <algorithm>
#include <cstdio>

#include "platform/exceptions.h"

std::string EscapeForMessage(const std::string& name) {
  // Nearly every name has nothing to escape: one is told per output.
  const auto plain = [](char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x20 && u != 0x7f;
  };
  if (std::all_of(name.begin(), name.end(), plain)) return name;
  std::string out;
  out.reserve(name.size());
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

/// A byte-order mark, or NUL bytes in every other place of the first line,
/// as UTF-16 gives ASCII text.
bool looksLikeUtf16(std::string_view text) {
  if (text.size() < 2) return false;
  const unsigned char a = static_cast<unsigned char>(text[0]);
  const unsigned char b = static_cast<unsigned char>(text[1]);
  if ((a == 0xFF && b == 0xFE) || (a == 0xFE && b == 0xFF)) return true;
  const std::size_t n = text.size() < 64 ? text.size() & ~std::size_t{1} : 64;
  if (n < 4) return false;
  for (int odd = 0; odd < 2; ++odd) {
    bool pattern = true;
    for (std::size_t i = 0; i < n && pattern; i += 2) {
      pattern = text[i + odd] == '\0' && text[i + 1 - odd] != '\0';
    }
    if (pattern) return true;
  }
  return false;
}

}  // namespace

const char* UnsupportedText(std::string_view text) {
  if (looksLikeUtf16(text)) return "UTF-16 text is not supported";
  return nullptr;
}

std::string ReasonOf(const CFileException& e) {
  if (!e.m_strReason.empty()) return e.m_strReason;
  std::string reason = e.what();
  const std::string prefix = e.m_strFileName + ": ";
  if (reason.compare(0, prefix.size(), prefix) == 0) {
    reason.erase(0, prefix.size());
  }
  return reason;
}

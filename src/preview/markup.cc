#include "preview/markup.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 at 0x80 to 0x9F; 0 where the code page defines nothing.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Length of the valid UTF-8 sequence at the front of bytes, or 0 (no
// overlong forms, no surrogates, nothing above U+10FFFF).
std::size_t validUtf8Length(std::string_view bytes, char32_t* code) {
  const auto b0 = static_cast<unsigned char>(bytes[0]);
  std::size_t n;
  char32_t c;
  char32_t least;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2, c = b0 & 0x1F, least = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3, c = b0 & 0x0F, least = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4, c = b0 & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *code = c;
  return n;
}

// Calls emit(code point) for each character of bytes as the header
// describes the reading.
template <class Emit>
void forEachCharacter(std::string_view bytes, Emit emit) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    char32_t code = byte;
    std::size_t n = 1;
    if (byte >= 0x80) {
      n = validUtf8Length(bytes.substr(i), &code);
      if (n == 0) {
        n = 1;
        code = byte;
        if (byte < 0xA0) {
          code = kCp1252High[byte - 0x80];
          if (code == 0) code = kReplacement;
        }
      }
    }
    emit(code);
    i += n;
  }
}

void appendUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string FormatNumber(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FormatRounded(double value) {
  if (!std::isfinite(value)) return FormatNumber(value);
  char buffer[400];  // "%.6f" of the largest double fits
  const int n = std::snprintf(buffer, sizeof buffer, "%.6f", value);
  // "%.6f" always writes a point: drop the zeros after it, then the point.
  int end = n;
  while (buffer[end - 1] == '0') --end;
  if (buffer[end - 1] == '.') --end;
  const std::string_view text(buffer, static_cast<std::size_t>(end));
  return std::string(text == "-0" ? "0" : text);
}

void AppendXmlText(std::string* out, std::string_view bytes) {
  forEachCharacter(bytes, [out](char32_t c) {
    switch (c) {
      case '&':
        *out += "&amp;";
        return;
      case '<':
        *out += "&lt;";
        return;
      case '>':
        *out += "&gt;";
        return;
      case '"':
        *out += "&quot;";
        return;
      case '\'':
        *out += "&#39;";
        return;
      default:
        break;
    }
    // XML 1.0 holds no control character but tab, LF and CR.
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') c = kReplacement;
    appendUtf8(out, c);
  });
}

std::string TextAsUtf8(std::string_view bytes) {
  std::string out;
  forEachCharacter(bytes, [&out](char32_t c) { appendUtf8(&out, c); });
  return out;
}

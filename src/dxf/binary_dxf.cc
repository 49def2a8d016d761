#include "dxf/binary_dxf.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

enum class ValueType {
  kString,
  kDouble,
  kInt16,
  kInt32,
  kInt64,
  kBool,
  kChunk
};

bool InRange(int code, int low, int high) {
  return code >= low && code <= high;
}

// The value type that the DXF reference gives each group code range; codes
// outside every numeric range hold strings.
ValueType TypeOfCode(int code) {
  if (InRange(code, 310, 319) || code == 1004) return ValueType::kChunk;
  if (InRange(code, 10, 59) || InRange(code, 110, 149) ||
      InRange(code, 210, 239) || InRange(code, 460, 469) ||
      InRange(code, 1010, 1059)) {
    return ValueType::kDouble;
  }
  if (InRange(code, 60, 79) || InRange(code, 170, 179) ||
      InRange(code, 270, 289) || InRange(code, 370, 389) ||
      InRange(code, 400, 409) || InRange(code, 1060, 1070)) {
    return ValueType::kInt16;
  }
  if (InRange(code, 90, 99) || InRange(code, 420, 459) || code == 1071) {
    return ValueType::kInt32;
  }
  if (InRange(code, 160, 169)) return ValueType::kInt64;
  if (InRange(code, 290, 299)) return ValueType::kBool;
  return ValueType::kString;
}

// True when the group codes are one byte wide (R12 and before). The first
// group of a file is (0, SECTION): a zero byte after its code byte means a
// two-byte code. Files that begin otherwise are judged by $ACADVER, whose
// value "AC1009" or below is R12's.
bool HasOneByteCodes(std::string_view data) {
  const std::size_t start = kBinaryDxfSentinel.size();
  if (data.size() > start + 1 && data[start] == '\0') {
    return data[start + 1] != '\0';
  }
  const std::size_t var = data.substr(0, 1024).find("$ACADVER");
  if (var == std::string_view::npos) return true;
  // The variable's name ends with a NUL, then comes the code 1 (one or two
  // bytes) and the version string.
  // A file cut short before the version is judged as one without it.
  std::size_t at = var + 9 + 1;
  if (at < data.size() && data[at] != 'A') ++at;
  if (at >= data.size()) return true;
  return data.substr(at, 6) <= "AC1009";
}

// Consumes the groups of a binary DXF from its front.
class CBinaryGroupReader {
 public:
  CBinaryGroupReader(std::string_view data, bool one_byte_codes)
      : m_data(data),
        m_pos(kBinaryDxfSentinel.size()),
        m_bOneByteCodes(one_byte_codes) {}

  bool atEnd() const { return m_pos >= m_data.size(); }

  // Appends the next group to out as a code line and a value line. False,
  // with out unchanged, when the data ends inside the group.
  bool appendGroup(std::string& out) {
    int code = 0;
    if (!readCode(code)) return false;
    const std::size_t mark = out.size();
    out += std::to_string(code);
    out += '\n';
    if (!appendValue(TypeOfCode(code), out)) {
      out.resize(mark);
      return false;
    }
    out += '\n';
    return true;
  }

 private:
  bool take(std::size_t count, std::string_view& bytes) {
    if (m_data.size() - m_pos < count) return false;
    bytes = m_data.substr(m_pos, count);
    m_pos += count;
    return true;
  }

  // A little-endian unsigned integer of count bytes.
  bool takeUnsigned(std::size_t count, std::uint64_t& value) {
    std::string_view bytes;
    if (!take(count, bytes)) return false;
    value = 0;
    for (std::size_t i = count; i-- > 0;) {
      value = value << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return true;
  }

  bool readCode(int& code) {
    std::uint64_t value = 0;
    if (m_bOneByteCodes) {
      if (!takeUnsigned(1, value)) return false;
      if (value == 255 && !takeUnsigned(2, value)) return false;
    } else if (!takeUnsigned(2, value)) {
      return false;
    }
    code = static_cast<int>(value);
    return true;
  }

  bool appendValue(ValueType type, std::string& out) {
    std::uint64_t bits = 0;
    switch (type) {
      case ValueType::kString:
        return appendString(out);
      case ValueType::kChunk:
        return appendChunk(out);
      case ValueType::kBool:
        if (!takeUnsigned(1, bits)) return false;
        out += std::to_string(bits);
        return true;
      case ValueType::kInt16:
        if (!takeUnsigned(2, bits)) return false;
        out += std::to_string(static_cast<std::int16_t>(bits));
        return true;
      case ValueType::kInt32:
        if (!takeUnsigned(4, bits)) return false;
        out += std::to_string(static_cast<std::int32_t>(bits));
        return true;
      case ValueType::kInt64:
        if (!takeUnsigned(8, bits)) return false;
        out += std::to_string(static_cast<std::int64_t>(bits));
        return true;
      case ValueType::kDouble:
        if (!takeUnsigned(8, bits)) return false;
        appendDouble(std::bit_cast<double>(bits), out);
        return true;
    }
    return false;
  }

  bool appendString(std::string& out) {
    const std::size_t end = m_data.find('\0', m_pos);
    if (end == std::string_view::npos) return false;
    const std::size_t first = out.size();
    out.append(m_data.substr(m_pos, end - m_pos));
    m_pos = end + 1;
    for (std::size_t i = first; i < out.size(); ++i) {
      if (out[i] == '\n' || out[i] == '\r') out[i] = ' ';
    }
    return true;
  }

  bool appendChunk(std::string& out) {
    std::uint64_t length = 0;
    std::string_view bytes;
    if (!takeUnsigned(1, length) || !take(length, bytes)) return false;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
    return true;
  }

  // The shortest decimal that reads back to the same double; an infinity
  // as a decimal that overflows to it, since the text reader takes no
  // "inf".
  static void appendDouble(double value, std::string& out) {
    if (std::isinf(value)) {
      out += value < 0 ? "-1e999" : "1e999";
      return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
  }

  std::string_view m_data;
  std::size_t m_pos;
  bool m_bOneByteCodes;
};

}  // namespace

bool IsBinaryDxf(std::string_view data) {
  return data.substr(0, kBinaryDxfSentinel.size()) == kBinaryDxfSentinel;
}

std::string BinaryDxfToText(std::string_view data) {
  CBinaryGroupReader reader(data, HasOneByteCodes(data));
  std::string text;
  // Text holds each group in a little more room than binary does.
  text.reserve(data.size() + data.size() / 2);
  while (!reader.atEnd() && reader.appendGroup(text)) {
  }
  return text;
}

#ifndef SYMCONV_SYMBOL_LINE_READER_H_
#define SYMCONV_SYMBOL_LINE_READER_H_

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

/// A loaded text consumed line by line from its front. It does not own the
/// text: the caller keeps the bytes alive while it reads. Reading moves an
/// index; nothing is copied.
class CRemainingText {
 public:
  explicit CRemainingText(std::string_view text) : m_text(text) {}
  /// What has not been consumed yet.
  std::string_view rest() const {
    return std::string_view(m_text.data() + m_pos, m_text.size() - m_pos);
  }
  std::size_t position() const { return m_pos; }
  bool empty() const { return m_pos >= m_text.size(); }
  /// Consumes the first n bytes of rest(), for a reader that has looked at
  /// them itself (n at most rest().size()).
  void skip(std::size_t n) { m_pos += n; }

 private:
  friend std::string_view getLine(CRemainingText& text);
  std::string_view m_text;
  std::size_t m_pos = 0;
};

/// True for the bytes that trimming removes: 0x09 to 0x0D and 0x20.
inline bool IsTrimSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// Index of the first LF at or after from in text, or npos. Most lines of
/// a DXF text are a few bytes long: eight bytes at a time find their end
/// sooner than a call of the library's search, which takes over for long
/// lines.
inline std::size_t FindLineFeed(std::string_view text, std::size_t from) {
  const char* const data = text.data();
  const std::size_t size = text.size();
  std::size_t i = from;
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kHighs = 0x8080808080808080u;
    const std::size_t near = std::min(size, from + 32);
    for (; i + 8 <= near; i += 8) {
      uint64_t word;
      std::memcpy(&word, data + i, sizeof word);
      word ^= kOnes * '\n';  // LF bytes become zero
      // The lowest flagged byte is the first zero byte (flags above a zero
      // byte may be false, never those below it).
      const uint64_t zeros = (word - kOnes) & ~word & kHighs;
      if (zeros != 0) return i + std::countr_zero(zeros) / 8;
    }
  }
  const void* found =
      i < size ? std::memchr(data + i, '\n', size - i) : nullptr;
  if (found == nullptr) return std::string_view::npos;
  return static_cast<std::size_t>(static_cast<const char*>(found) - data);
}

/// The next line, up to its LF, with white space trimmed at both ends (so CR
/// LF and LF read alike). Consumes the line and its LF. A text with no
/// further LF has no further line: throws CPrematureEndException and
/// consumes nothing. The view points into the caller's text.
std::string_view getLine(CRemainingText& text);

/// Number of LF bytes in text.
int countLines(std::string_view text);

/// The value of the next field of a record's field list. Fields are
/// separated by single spaces; the field is removed from the front of the
/// list, except the last, which stays and so repeats on later calls. An
/// empty field (two spaces, or an empty list) reads 0.0.
double getNumber(std::string_view& fields);

#endif  // SYMCONV_SYMBOL_LINE_READER_H_

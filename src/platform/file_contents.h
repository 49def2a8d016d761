#ifndef SYMCONV_PLATFORM_FILE_CONTENTS_H_
#define SYMCONV_PLATFORM_FILE_CONTENTS_H_

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <string_view>

/// The bytes of a file read whole, in one buffer of their size. A reader
/// fills the buffer straight from the file: writing zeros first, as a
/// string's resize does, would touch every page of a large file once more.
class CFileContents {
 public:
  CFileContents() = default;
  /// A copy of bytes.
  explicit CFileContents(std::string_view bytes) : CFileContents(bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), m_pBytes.get());
  }
  /// size bytes, unset until written through data().
  explicit CFileContents(std::size_t size) : m_nSize(size) {
    if (size < kLargeBuffer) {
      m_pBytes = CBytes(new char[size], CRelease{false});
      m_nCapacity = size;
    } else {
      m_nCapacity = (size + kLargePage - 1) & ~(kLargePage - 1);
      m_pBytes = CBytes(static_cast<char*>(::operator new[](
                            m_nCapacity, std::align_val_t{kLargePage})),
                        CRelease{true});
    }
  }

  /// A large buffer starts at a large page's boundary and takes whole large
  /// pages, so that the system can back all of it with large pages: its
  /// ragged ends would otherwise be faulted in a small page at a time, a
  /// thousand faults for a file of any size.
  static constexpr std::size_t kLargePage = std::size_t{2} << 20;
  static constexpr std::size_t kLargeBuffer = 2 * kLargePage;
  /// The bytes the buffer holds: size() and, past a large file's end, the
  /// rest of its last large page.
  std::size_t capacity() const { return m_nCapacity; }

  char* data() { return m_pBytes.get(); }
  const char* data() const { return m_pBytes.get(); }
  std::size_t size() const { return m_nSize; }
  std::string_view view() const { return std::string_view(data(), m_nSize); }
  operator std::string_view() const { return view(); }

  /// Keeps the first n bytes, n <= size().
  void truncate(std::size_t n) { m_nSize = std::min(n, m_nSize); }
  /// For a file found longer than its size said, once all size() bytes
  /// are read: keeps them and puts the n bytes found after them, in a
  /// buffer of twice the size (4 KiB past them at least), the rest unset.
  void growWith(const char* bytes, std::size_t n) {
    CFileContents grown(
        std::max(2 * m_nSize, m_nSize + std::max<std::size_t>(n, 4096)));
    std::copy(data(), data() + m_nSize, grown.data());
    std::copy(bytes, bytes + n, grown.data() + m_nSize);
    *this = std::move(grown);
  }

  friend bool operator==(const CFileContents& a, std::string_view b) {
    return a.view() == b;
  }

 private:
  struct CRelease {
    bool aligned;  // value-initialized to false by an empty buffer
    void operator()(char* bytes) const {
      if (aligned) {
        ::operator delete[](bytes, std::align_val_t{kLargePage});
      } else {
        delete[] bytes;
      }
    }
  };
  using CBytes = std::unique_ptr<char[], CRelease>;

  CBytes m_pBytes;
  std::size_t m_nSize = 0;
  std::size_t m_nCapacity = 0;
};

#endif  // SYMCONV_PLATFORM_FILE_CONTENTS_H_

#ifndef SYMCONV_ARCHIVE_LITTLE_ENDIAN_H_
#define SYMCONV_ARCHIVE_LITTLE_ENDIAN_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Stores of the archive's scalars into a byte buffer, least significant byte
// first on every host. Each returns the end of what it stored.

/// The low n bytes of value.
constexpr uint8_t* StoreLittleEndian(uint8_t* out, uint64_t value,
                                     std::size_t n) {
  if constexpr (std::endian::native == std::endian::little) {
    if (!std::is_constant_evaluated()) {
      // The host's order is the stored one: its low bytes come first, and
      // a copy of a known size is a single move.
      std::memcpy(out, &value, n);
      return out + n;
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    out[i] = static_cast<uint8_t>(value >> (8 * i));
  }
  return out + n;
}

constexpr uint8_t* StoreWord(uint8_t* out, uint16_t value) {
  return StoreLittleEndian(out, value, 2);
}

constexpr uint8_t* StoreDword(uint8_t* out, uint32_t value) {
  return StoreLittleEndian(out, value, 4);
}

/// The eight bytes of the double unchanged (negative zero, NaN payloads).
constexpr uint8_t* StoreDouble(uint8_t* out, double value) {
  return StoreLittleEndian(out, std::bit_cast<uint64_t>(value), 8);
}

#endif  // SYMCONV_ARCHIVE_LITTLE_ENDIAN_H_

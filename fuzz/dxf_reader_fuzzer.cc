// libFuzzer target: one input is the whole of one DXF file's text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  RunDxfInput(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}

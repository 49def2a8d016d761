// Writes large inputs for the benchmarks, the same bytes for the same seed
// on every machine:
//
//   gen_inputs dxf FILE BLOCKS ENTITIES SEED
//     one DXF file of BLOCKS blocks of ENTITIES entities each;
//   gen_inputs sym FOLDER COUNT SEED
//     COUNT .SYM files of 30 to 50 records in FOLDER (made when missing).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "bench/input_generator.h"

namespace {

bool WriteAll(std::FILE* file, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

int WriteDxf(const char* path, int blocks, int entities, uint64_t seed) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  CInputGenerator gen(seed);
  std::string text;
  gen.AppendDxfStart(text, blocks);
  bool ok = true;
  for (int i = 0; i < blocks && ok; ++i) {
    gen.AppendDxfBlock(text, i, entities);
    if (text.size() >= (1u << 20)) {
      ok = WriteAll(file, text);
      text.clear();
    }
  }
  gen.AppendDxfEnd(text);
  ok = ok && WriteAll(file, text);
  if (std::fclose(file) != 0 || !ok) {
    std::perror(path);
    return 1;
  }
  return 0;
}

int WriteSymFolder(const char* folder, int count, uint64_t seed) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    std::fprintf(stderr, "%s: %s\n", folder, ec.message().c_str());
    return 1;
  }
  CInputGenerator gen(seed);
  for (int i = 0; i < count; ++i) {
    const std::string path =
        std::string(folder) + "/" + CInputGenerator::SymFileName(i);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || !WriteAll(file, gen.SymText()) ||
        std::fclose(file) != 0) {
      std::perror(path.c_str());
      return 1;
    }
  }
  return 0;
}

int Usage() {
  std::fputs(
      "usage: gen_inputs dxf FILE BLOCKS ENTITIES SEED\n"
      "       gen_inputs sym FOLDER COUNT SEED\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string_view kind = argv[1];
  if (kind == "dxf" && argc == 6) {
    return WriteDxf(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                    std::strtoull(argv[5], nullptr, 10));
  }
  if (kind == "sym" && argc == 5) {
    return WriteSymFolder(argv[2], std::atoi(argv[3]),
                          std::strtoull(argv[4], nullptr, 10));
  }
  return Usage();
}

// The archive writer: the encoding of .SML contents, in MB/s.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "archive/archive_writer.h"
#include "bench/input_generator.h"
#include "bench/null_file.h"
#include "symbol/sym_symbol.h"

namespace {

// A whole .SML file's contents, of a symbol of about 40 shapes.
void BM_ArchiveWriteSymbol(benchmark::State& state) {
  CSymbol symbol;
  ReadSymText(CInputGenerator(5).SymText(), &symbol);
  MeasureAndShift(&symbol);
  int64_t bytes = 0;
  for (auto _ : state) {
    bytes += static_cast<int64_t>(EncodeToNullFile(symbol));
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ArchiveWriteSymbol);

// Scalars alone: a long run of doubles through the buffer.
void BM_ArchivePutDouble(benchmark::State& state) {
  CNullFile file;
  CArchiveWriter ar(file, "BENCH.SML");
  double v = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < 1024; ++i) ar.PutDouble(v += 0.5);
  }
  ar.Close();
  state.SetBytesProcessed(static_cast<int64_t>(file.bytes()));
}
BENCHMARK(BM_ArchivePutDouble);

}  // namespace

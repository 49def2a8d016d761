// The symbol side: the line reader, numbers in and out, and the conversion
// of one symbol from its SYM text to its .SML bytes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/input_generator.h"
#include "bench/null_file.h"
#include "symbol/line_reader.h"
#include "symbol/numbers.h"
#include "symbol/sym_symbol.h"

namespace {

// 200 .SYM texts, 2.3 KB each on average.
const std::vector<std::string>& SymTexts() {
  static const std::vector<std::string> texts = [] {
    CInputGenerator gen(11);
    std::vector<std::string> out;
    for (int i = 0; i < 200; ++i) out.push_back(gen.SymText());
    return out;
  }();
  return texts;
}

int64_t TotalBytes(const std::vector<std::string>& texts) {
  int64_t n = 0;
  for (const std::string& t : texts) n += static_cast<int64_t>(t.size());
  return n;
}

void BM_GetLine(benchmark::State& state) {
  const auto& texts = SymTexts();
  for (auto _ : state) {
    for (const std::string& text : texts) {
      CRemainingText rest(text);
      const int n = countLines(text);
      for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(getLine(rest));
    }
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes(texts));
}
BENCHMARK(BM_GetLine);

// Every field of every record through getNumber.
void BM_GetNumber(benchmark::State& state) {
  std::vector<std::string_view> records;
  int64_t bytes = 0;
  for (const std::string& text : SymTexts()) {
    CRemainingText rest(text);
    getLine(rest);
    while (!rest.empty()) {
      const std::string_view line = getLine(rest);
      records.push_back(line.substr(2));
      bytes += static_cast<int64_t>(line.size());
    }
  }
  int64_t numbers = 0;
  for (auto _ : state) {
    for (std::string_view fields : records) {
      for (int i = 0; i < 6; ++i) benchmark::DoNotOptimize(getNumber(fields));
      numbers += 6;
    }
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(numbers);
}
BENCHMARK(BM_GetNumber);

void BM_AppendFixed6(benchmark::State& state) {
  std::vector<double> values;
  for (int i = 0; i < 1000; ++i) values.push_back((i * 7919 % 400001) / 7.0);
  std::string out;
  for (auto _ : state) {
    out.clear();
    for (double v : values) AppendFixed6(out, v);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<int64_t>(values.size()));
}
BENCHMARK(BM_AppendFixed6);

// One symbol, text to bytes: records read, extents measured (201 samples
// per arc), shapes shifted, the .SML contents encoded.
void BM_ConvertOneSymbol(benchmark::State& state) {
  const auto& texts = SymTexts();
  std::size_t next = 0;
  int64_t bytes = 0;
  for (auto _ : state) {
    const std::string& text = texts[next];
    next = (next + 1) % texts.size();
    CSymbol symbol;
    ReadSymText(text, &symbol);
    MeasureAndShift(&symbol);
    benchmark::DoNotOptimize(EncodeToNullFile(symbol));
    bytes += static_cast<int64_t>(text.size());
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ConvertOneSymbol);

// The extents of one symbol of arcs alone.
void BM_MeasureArcs(benchmark::State& state) {
  std::string text = "*header\n";
  for (int i = 0; i < 40; ++i) {
    text += "A " + std::to_string(i) + " " + std::to_string(-i) + " 0 " +
            std::to_string(i * 37 % 360) + " " + std::to_string(i * 91 % 360) +
            " " + std::to_string(1 + i % 7) + "\n";
  }
  CSymbol symbol;
  ReadSymText(text, &symbol);
  for (auto _ : state) {
    MeasureAndShift(&symbol);
    benchmark::DoNotOptimize(symbol.maxX);
  }
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_MeasureArcs);

}  // namespace

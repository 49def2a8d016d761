// The DXF side: reading groups, and extracting blocks as SYM texts.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/input_generator.h"
#include "dxf/block_extractor.h"
#include "dxf/dxf_group_reader.h"

namespace {

// About 5.6 MB: 1000 blocks of 40 entities.
const std::string& DxfText() {
  static const std::string text = CInputGenerator(7).DxfText(1000, 40);
  return text;
}

// Every group of the text, code parsed, up to the EOF group.
void BM_DxfGroupReader(benchmark::State& state) {
  const std::string& text = DxfText();
  for (auto _ : state) {
    CDxfGroupReader reader(text);
    int64_t groups = 0;
    while (!reader.next().is(0, "EOF")) ++groups;
    benchmark::DoNotOptimize(groups);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DxfGroupReader)->Unit(benchmark::kMillisecond);

// Entity by entity, as the block extraction reads them.
void BM_DxfReadEntities(benchmark::State& state) {
  const std::string& text = DxfText();
  for (auto _ : state) {
    CDxfGroupReader reader(text);
    CDxfEntity entity;
    while (reader.next().m_nCode != 0) {
    }
    while (!reader.current().is(0, "EOF")) reader.readEntity(entity);
    benchmark::DoNotOptimize(entity.groups().size());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DxfReadEntities)->Unit(benchmark::kMillisecond);

class CCountingHandler : public CDxfBlockHandler {
 public:
  void OnBlock(const std::string& name, const std::string& sym_text) override {
    m_nBytes += name.size() + sym_text.size();
  }
  void OnTrace(const char*) override {}
  int64_t m_nBytes = 0;
};

// The whole extraction: every block's SYM text built, none converted.
void BM_ConvertDxfText(benchmark::State& state) {
  const std::string& text = DxfText();
  for (auto _ : state) {
    CCountingHandler handler;
    benchmark::DoNotOptimize(ConvertDxfText(text, handler));
    benchmark::DoNotOptimize(handler.m_nBytes);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ConvertDxfText)->Unit(benchmark::kMillisecond);

}  // namespace

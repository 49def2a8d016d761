// Replays the fuzz seeds and the inputs that the fuzz targets once failed
// on (tests/data/regress/KIND/, named after what they found) through the
// targets' own code paths, so that a fixed fault stays fixed in every build.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_paths.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const std::string& kind) {
  std::vector<fs::path> files;
  for (const fs::path& dir :
       {fs::path(SYMCONV_SOURCE_DIR) / "tests/data/regress" / kind,
        fs::path(SYMCONV_SOURCE_DIR) / "fuzz/seeds" / kind}) {
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  return files;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FuzzRegress, EveryInputKeepsItsInvariants) {
  const struct {
    const char* kind;
    FuzzOutcome (*run)(std::string_view);
  } targets[] = {
      {"dxf", RunDxfInput}, {"sym", RunSymInput}, {"sml", RunSmlInput}};
  int inputs = 0;
  for (const auto& target : targets) {
    for (const fs::path& path : Inputs(target.kind)) {
      ++inputs;
      const std::string bytes = Bytes(path);
      EXPECT_NO_THROW(target.run(bytes)) << path;
    }
  }
  EXPECT_GT(inputs, 10);
}

// The seeds reach the outcomes they were written for.
TEST(FuzzRegress, SeedsConvert) {
  const fs::path seeds = fs::path(SYMCONV_SOURCE_DIR) / "fuzz/seeds";
  EXPECT_EQ(RunDxfInput(Bytes(seeds / "dxf/small.dxf")),
            FuzzOutcome::kConverted);
  EXPECT_EQ(RunDxfInput(Bytes(seeds / "dxf/drawing_polylines.dxf")),
            FuzzOutcome::kConverted);
  EXPECT_EQ(RunSymInput(Bytes(seeds / "sym/mixed.sym")),
            FuzzOutcome::kConverted);
  EXPECT_EQ(RunSymInput(Bytes(seeds / "sym/no_last_lf.sym")),
            FuzzOutcome::kNoSymbol);
  EXPECT_EQ(RunSmlInput(Bytes(seeds / "sml/VALVE.SML")),
            FuzzOutcome::kConverted);
  EXPECT_EQ(RunSmlInput("KROWinSymbol1"), FuzzOutcome::kRejected);
  EXPECT_EQ(RunSymInput("no line end"), FuzzOutcome::kPrematureEnd);
}

}  // namespace

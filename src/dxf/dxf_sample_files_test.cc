// Runs the block extraction over DXF files written by other programs: the
// sample drawing written by ezdxf in every DXF version it supports, and,
// where Debian's librecad-data is installed, its whole symbol library.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dxf/block_extractor.h"
#include "dxf/dxf_test_support.h"
#include "symbol/premature_end.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;

std::string LoadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

class CCollector : public CShapeExpectingHandler {
 public:
  void OnBlock(const std::string& name, const std::string& sym_text) override {
    m_names.push_back(name);
    m_texts.push_back(sym_text);
  }
  void OnDrawing(const std::string& sym_text) override {
    m_drawings.push_back(sym_text);
  }
  void OnTrace(const char* tag) override { m_traces.push_back(tag); }

  std::vector<std::string> m_drawings;
  std::vector<std::string> m_names;
  std::vector<std::string> m_texts;
  std::vector<std::string> m_traces;
};

constexpr std::string_view kHeader =
    "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n";

const std::string kEmpty(kHeader);
const std::string kValve =
    std::string(kHeader) +
    "L 0.000000 -0.000000 0.000000 10.000000 -5.000000 0.000000\n"
    "C 2.000000 -3.000000 0.000000 1.000000\n"
    "A 1.000000 -2.000000 0.000000 0.000000 90.000000 3.000000\n";
const std::string kPump =
    std::string(kHeader) +
    "L -1.500000 -2.250000 0.500000 3.000000 4.000000 1.000000\n"
    "A 0.125000 7.000000 0.000000 270.000000 45.000000 2.500000\n"
    "C 20.000000 -30.000000 4.000000 0.750000\n";

TEST(DxfSampleFilesTest, EzdxfFilesOfEveryVersion) {
  const fs::path folder = fs::path(SYMCONV_SOURCE_DIR) / "tests/data/dxf";
  // ezdxf names the R12 model and paper space blocks "$Model_Space" and
  // "$Paper_Space"; only the upper-case names are skipped, and these two
  // blocks are empty there.
  const std::vector<std::string> r12_names = {"$Model_Space", "$Paper_Space",
                                              "VALVE", "PUMP", "EMPTY"};
  const std::vector<std::string> r12_texts = {kEmpty, kEmpty, kValve, kPump,
                                              kEmpty};
  const std::vector<std::string> names = {"VALVE", "PUMP", "EMPTY"};
  const std::vector<std::string> texts = {kValve, kPump, kEmpty};
  for (const char* version :
       {"r12", "r2000", "r2004", "r2007", "r2010", "r2013", "r2018"}) {
    const fs::path path = folder / (std::string("blocks_") + version + ".dxf");
    const std::string text = LoadFile(path);
    ASSERT_FALSE(text.empty()) << path;
    CCollector collector;
    EXPECT_TRUE(ConvertDxfText(text, collector)) << version;
    const bool r12 = std::string_view(version) == "r12";
    EXPECT_THAT(collector.m_names, ElementsAreArray(r12 ? r12_names : names))
        << version;
    EXPECT_THAT(collector.m_texts, ElementsAreArray(r12 ? r12_texts : texts))
        << version;
    EXPECT_TRUE(collector.m_traces.empty()) << version;
  }
}

// Fields per record letter; any other line of a SYM text made from a block
// is a fault.
bool IsWellFormedSymText(const std::string& text) {
  if (text.compare(0, kHeader.size(), kHeader) != 0) return false;
  std::istringstream lines(text.substr(kHeader.size()));
  std::string line;
  while (std::getline(lines, line)) {
    const int fields = line.rfind("L ", 0) == 0 || line.rfind("A ", 0) == 0
                           ? 6
                           : (line.rfind("C ", 0) == 0 ? 4 : -1);
    int count = 0;
    for (char c : line) count += c == ' ';
    if (count != fields || line.find('\r') != std::string::npos) return false;
  }
  return text.back() == '\n';
}

TEST(DxfSampleFilesTest, LibreCadLibrary) {
  const fs::path folder = "/usr/share/librecad/library";
  if (!fs::is_directory(folder)) GTEST_SKIP() << "librecad-data not installed";
  int files = 0, with_blocks = 0, premature = 0, blocks = 0, records = 0;
  int drawings = 0, drawing_records = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(c));
    if (!entry.is_regular_file() || extension != ".dxf") continue;
    ++files;
    CCollector collector;
    try {
      if (ConvertDxfText(LoadFile(entry.path()), collector)) ++with_blocks;
    } catch (const CPrematureEndException&) {
      ++premature;
    }
    blocks += static_cast<int>(collector.m_names.size());
    for (const std::string& text : collector.m_texts) {
      EXPECT_TRUE(IsWellFormedSymText(text)) << entry.path() << "\n" << text;
      for (char c : text) records += c == '\n';
      --records;  // the header line
    }
    // Each file's drawing, with its polylines.
    CCollector with_drawing;
    try {
      ConvertDxfText(LoadFile(entry.path()), with_drawing,
                     {.drawings = true, .polylines = true});
    } catch (const CPrematureEndException&) {
    }
    EXPECT_LE(with_drawing.m_drawings.size(), 1u) << entry.path();
    for (const std::string& text : with_drawing.m_drawings) {
      EXPECT_TRUE(IsWellFormedSymText(text)) << entry.path() << "\n" << text;
      ++drawings;
      for (char c : text) drawing_records += c == '\n';
      --drawing_records;
    }
  }
  std::printf(
      "librecad-data: %d DXF files, %d with a BLOCKS section, %d premature "
      "ends, %d blocks, %d records; %d drawings with %d records\n",
      files, with_blocks, premature, blocks, records, drawings,
      drawing_records);
  EXPECT_GT(files, 0);
  EXPECT_GT(drawings, 0);
}

}  // namespace

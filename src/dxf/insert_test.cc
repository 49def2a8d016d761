// Inserts that would never end or would flood the disk fail their symbol
// alone; the blocks around them are still converted.

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dxf/block_extractor.h"
#include "dxf/dxf_test_support.h"

namespace {

using ::testing::ElementsAreArray;

constexpr CDxfOptions kInserts = {.inserts = true};

std::string Block(const std::string& name, const std::string& entities) {
  return "0|BLOCK|2|" + name + "|70|0|10|0|20|0|30|0|" + entities + "0|ENDBLK|";
}

std::string Insert(const std::string& name, int columns = 1, int rows = 1) {
  return "0|INSERT|2|" + name + "|10|0|20|0|70|" + std::to_string(columns) +
         "|71|" + std::to_string(rows) + "|44|1|45|1|";
}

// Blocks C0 .. C<last>, each inserting the next; the last holds a line.
std::string Chain(int last) {
  std::string blocks;
  for (int i = 0; i < last; ++i) {
    blocks +=
        Block("C" + std::to_string(i), Insert("C" + std::to_string(i + 1)));
  }
  return blocks + Block("C" + std::to_string(last), "0|LINE|11|1|");
}

// The events reported for the first block of blocks, followed by a block
// Z of one line that must convert whatever happened before it.
std::vector<std::string> FirstAndLast(const std::string& blocks) {
  CRecorder recorder;
  ConvertDxfText(Lines("0|SECTION|2|BLOCKS|" + blocks +
                       Block("Z", "0|LINE|11|1|") + "0|ENDSEC|0|EOF"),
                 recorder, kInserts);
  const std::vector<std::string>& events = recorder.m_events;
  // A failure is one event, a symbol two.
  const std::size_t first = events[0].starts_with("failed") ? 1 : 2;
  std::vector<std::string> kept(events.begin(), events.begin() + first);
  kept.push_back(events[events.size() - 2]);
  return kept;
}

const std::string kLineSym =
    "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n"
    "L 0.000000 -0.000000 0.000000 1.000000 -0.000000 0.000000\n";

TEST(InsertTest, RunawayInsertsFailTheirSymbolOnly) {
  const std::string kSelf =
      "failed A: block \"A\" inserts itself, directly or through others";
  const std::string kEntities =
      "failed M: its inserts would draw more than 2000000 entities";
  const struct {
    const char* what;
    std::string blocks;
    std::vector<std::string> first;
  } cases[] = {
      {"a block inserting itself",
       Block("A", "0|LINE|11|1|" + Insert("A")),
       {kSelf, "block Z"}},
      {"a cycle through another block, named in another case",
       Block("A", Insert("b")) + Block("B", Insert("A")),
       {kSelf, "block Z"}},
      {"32 nested inserts draw", Chain(32), {"block C0", kLineSym, "block Z"}},
      {"33 nested inserts fail",
       Chain(33),
       {"failed C0: inserts nested deeper than 32 levels", "block Z"}},
      {"one MINSERT of 2000 x 2000 copies",
       Block("M", Insert("L", 2000, 2000)) + Block("L", "0|LINE|11|1|"),
       {kEntities + " (block \"L\" in 4000000 copies)", "block Z"}},
      {"MINSERTs of 100 x 100 copies, one inside the other",
       Block("M", Insert("N", 100, 100)) + Block("N", Insert("L", 100, 100)) +
           Block("L", "0|POINT|"),
       {kEntities + " (block \"L\" in 10000 copies)", "block Z"}},
      {"an insert at the origin reads as the block's own line",
       Block("I", Insert("*U7")) + Block("*U7", "0|LINE|11|1|"),
       {"block I", kLineSym, "block Z"}},
      {"a block that does not exist is passed over",
       Block("Q", Insert("NONE") + "0|LINE|11|1|"),
       {"block Q", kLineSym, "block Z"}},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(FirstAndLast(c.blocks), ElementsAreArray(c.first)) << c.what;
  }
}

// The SYM text of block name (or its failure) among blocks.
std::string SymbolOf(const std::string& blocks, const std::string& name) {
  CRecorder recorder;
  ConvertDxfText(Lines("0|SECTION|2|BLOCKS|" + blocks + "0|ENDSEC|0|EOF"),
                 recorder, kInserts);
  const std::vector<std::string>& events = recorder.m_events;
  for (std::size_t i = 0; i + 1 < events.size(); ++i) {
    if (events[i] == "block " + name) return events[i + 1];
    if (events[i].starts_with("failed " + name + ":")) return events[i];
  }
  return "no block " + name;
}

// An inserted block is drawn the same wherever it stands: before the block
// that inserts it (read already), after it (read ahead for), or skipped.
TEST(InsertTest, InsertedBlockDrawsItsOwnEntitiesWhereverItStands) {
  const std::string kTwo = "0|LINE|11|1|0|LINE|21|1|";
  const std::string kOther = "0|LINE|11|2|";
  const struct {
    const char* fault;
    std::string blocks;
    std::string direct;  // what T holds once its inserts are drawn
  } cases[] = {
      {"a block read before its insert loses entities",
       Block("L", kTwo) + Block("T", Insert("L")), kTwo},
      {"a block read before its insert loses its base point",
       "0|BLOCK|2|L|70|0|10|0|20|1|30|0|0|LINE|11|1|0|ENDBLK|" +
           Block("T", Insert("L")),
       "0|LINE|20|-1|11|1|21|-1|"},
      {"the second block of a name drawn instead of the first",
       Block("L", kTwo) + Block("l", kOther) +
           Block("T", Insert("NONE") + Insert("L")),
       kTwo},
      {"a block after the insert not found once earlier ones are read",
       Block("L", kTwo) + Block("T", Insert("L") + Insert("F")) +
           Block("F", kOther),
       kTwo + kOther},
      {"a chain of blocks read before the insert drawn wrong",
       Block("L", kTwo) + Block("M", Insert("L")) + Block("T", Insert("M")),
       kTwo},
      {"a special block, skipped by the extraction, not found",
       Block("*U1", kTwo) + Block("T", Insert("*U1")), kTwo},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SymbolOf(c.blocks, "T"), SymbolOf(Block("T", c.direct), "T"))
        << c.fault;
  }
}

}  // namespace

#include "dxf/sym_text_writer.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dxf/symbol_failure.h"
#include "symbol/numbers.h"
#include "symbol/sym_symbol.h"

namespace {

constexpr std::size_t kHeaderSize = 48;

// Fills writer with line records of values v until one fails; returns
// the failure's message.
std::string FillUntilRefused(CSymTextWriter& writer, double v) {
  writer.Begin();
  try {
    for (;;) writer.AppendLine(v, -v, v, v, v, v);
  } catch (const CSymbolFailure& failure) {
    return failure.what();
  }
}

// A record must fit when it ends exactly at the limit and be refused, not
// half written, when one byte would pass it; 1e308 is written with all its
// digits, so such records must meet the limit instead of growing the text.
TEST(SymTextWriter, RefusesTheRecordThatWouldPassTheLimitAndKeepsTheText) {
  const std::string line =
      "L 1.000000 -1.000000 1.000000 1.000000 "
      "1.000000 1.000000\n";
  CSymTextWriter exact(kHeaderSize + 2 * line.size());
  EXPECT_EQ(FillUntilRefused(exact, 1.0),
            "the symbol's text would exceed " +
                std::to_string(kHeaderSize + 2 * line.size()) + " bytes");
  EXPECT_EQ(exact.text().substr(kHeaderSize), line + line);

  CSymTextWriter huge(std::size_t{1} << 20);
  EXPECT_EQ(FillUntilRefused(huge, 1e308),
            "the symbol's text would exceed 1 MiB");
  // The letter, six fields of 316 characters (one with a minus) and LF.
  const std::size_t record = 1 + 6 * (1 + 316) + 1 + 1;
  EXPECT_EQ(huge.text().find('\n', kHeaderSize) + 1, kHeaderSize + record);
  EXPECT_EQ((huge.text().size() - kHeaderSize) % record, 0u);
  EXPECT_GT(huge.text().size() + record, std::size_t{1} << 20);
}

// The text is counted roughly far from the limit and exactly near it:
// whatever records came before, the one refused must be the first that
// would pass the limit, and those before it must all be kept.
TEST(SymTextWriter, RefusesTheFirstRecordPastTheLimitAfterRecordsOfAnyLength) {
  // Short and long texts; 5e9 and 1e15 are counted from their text.
  const double kValues[] = {1.0, -123456.5, 3999999999.25, 5e9, -0.0, 1e15};
  for (const std::size_t limit : {200u, 1000u, 4097u, 65536u}) {
    for (int start = 0; start < 6; ++start) {
      CSymTextWriter writer(limit);
      writer.Begin();
      std::string expected = writer.text();
      for (int i = start;; ++i) {
        const double a = kValues[i % 6], b = kValues[(i / 6 + i) % 6];
        std::string line = "L";
        for (double v : {a, b, a, b, a, a}) AppendFixed6(line += ' ', v);
        line += '\n';
        if (expected.size() + line.size() > limit) {
          EXPECT_THROW(writer.AppendLine(a, b, a, b, a, a), CSymbolFailure);
          break;
        }
        writer.AppendLine(a, b, a, b, a, a);
        expected += line;
      }
      EXPECT_EQ(writer.text(), expected) << limit << " " << start;
      EXPECT_EQ(writer.symbol().lines.size(),
                std::count(expected.begin(), expected.end(), '\n') - 1u);
    }
  }
}

// The shapes are those that reading the text back gives, bit for bit,
// whichever way their values are taken: ties of millionths and values from
// 4e9 up do not go the quick way.
TEST(SymTextWriter, ShapesAreThoseReadBackFromTheText) {
  const double kValues[] = {1.0, 5e-7, -2.5e-7, 4e9 + 0.25, -1e15, 0.125, -0.0};
  CSymTextWriter writer;
  writer.Begin();
  for (int i = 0; i < 7; ++i) {
    const double a = kValues[i], b = kValues[(i + 3) % 7];
    writer.AppendLine(a, b, a, b, b, a);
    writer.AppendArc(b, a, b, a, b, a);
    writer.AppendCircle(a, b, a, b);
  }
  CSymbol read;
  ASSERT_TRUE(ReadSymText(writer.text(), &read));
  auto bits = [](const CPrecisionPoint& p, double more = 0.0) {
    return std::vector<uint64_t>{
        std::bit_cast<uint64_t>(p.x), std::bit_cast<uint64_t>(p.y),
        std::bit_cast<uint64_t>(p.z), std::bit_cast<uint64_t>(more)};
  };
  const CFlatSymbol& shapes = writer.symbol();
  ASSERT_EQ(shapes.lines.size(), 7u);
  ASSERT_EQ(shapes.arcs.size(), 7u);
  ASSERT_EQ(shapes.circles.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(bits(shapes.lines[i].start), bits(read.lines[i]->start)) << i;
    EXPECT_EQ(bits(shapes.lines[i].end), bits(read.lines[i]->end)) << i;
    EXPECT_EQ(bits(shapes.arcs[i].centre), bits(*read.arcs[i]->points[0]));
    EXPECT_EQ(bits(shapes.arcs[i].angles), bits(*read.arcs[i]->points[1]));
    EXPECT_EQ(bits(shapes.circles[i].centre, shapes.circles[i].radius),
              bits(*read.circles[i]->points[0], read.circles[i]->radius));
  }
}

}  // namespace

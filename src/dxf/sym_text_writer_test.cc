#include "dxf/sym_text_writer.h"

#include <string>

#include <gtest/gtest.h>

#include "dxf/symbol_failure.h"

namespace {

constexpr std::size_t kHeaderSize = 48;
const std::string kCircle = "C 1.000000 -2.000000 3.000000 4.000000\n";

// One more byte than the limit allows must fail the record, not overrun the
// text; a record that ends exactly at the limit must still fit.
TEST(SymTextWriter, StopsARecordThatWouldPassTheLimitAndKeepsTheText) {
  CSymTextWriter writer(kHeaderSize + kCircle.size());
  writer.Begin();
  ASSERT_EQ(writer.text().size(), kHeaderSize);
  writer.AppendCircle(1.0, -2.0, 3.0, 4.0);
  EXPECT_EQ(writer.text().substr(kHeaderSize), kCircle);
  try {
    writer.AppendLine(0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
    ADD_FAILURE() << "a record past the limit was added";
  } catch (const CSymbolFailure& failure) {
    EXPECT_STREQ(failure.what(),
                 ("the symbol's text would exceed " +
                  std::to_string(kHeaderSize + kCircle.size()) + " bytes")
                     .c_str());
  }
  EXPECT_EQ(writer.text().substr(kHeaderSize), kCircle);
  writer.Begin();  // the next symbol starts afresh
  writer.AppendCircle(1.0, -2.0, 3.0, 4.0);
  EXPECT_EQ(writer.text().size(), kHeaderSize + kCircle.size());
}

// A value of 1e308 is written with all its digits: such records must meet
// the limit instead of growing the text without end.
TEST(SymTextWriter, HugeValuesFailAtTheLimitInsteadOfGrowingTheText) {
  constexpr std::size_t kLimit = std::size_t{1} << 20;
  CSymTextWriter writer(kLimit);
  writer.Begin();
  try {
    for (;;) writer.AppendLine(1e308, -1e308, 1e308, 1e308, 1e308, 1e308);
  } catch (const CSymbolFailure& failure) {
    EXPECT_STREQ(failure.what(), "the symbol's text would exceed 1 MiB");
  }
  const std::size_t record =
      writer.text().find('\n', kHeaderSize) + 1 - kHeaderSize;
  // The letter, six fields of 316 characters (one with a minus) and LF.
  EXPECT_EQ(record, 1 + 6 * (1 + 316) + 1 + 1);
  EXPECT_LE(writer.text().size(), kLimit);
  EXPECT_GT(writer.text().size() + record, kLimit);
}

}  // namespace

#include "dxf/sym_text_writer.h"

#include <string>

#include <gtest/gtest.h>

#include "dxf/symbol_failure.h"

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

}  // namespace

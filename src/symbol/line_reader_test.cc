#include "symbol/line_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "symbol/numbers.h"
#include "symbol/premature_end.h"

namespace {

using std::string_literals::operator""s;

TEST(GetLine, CutsTrimmedLinesUntilNoLfIsLeft) {
  const struct {
    std::string text;
    std::vector<std::string> lines;  // then the text has no further line
    std::string leftOver;            // what follows the last LF
  } kCases[] = {
      {"  0\r\nSECTION\r\n", {"0", "SECTION"}, ""},
      {"   \n\n", {"", ""}, ""},
      {"  10  \n010\n", {"10", "010"}, ""},
      {"\t\v\f x y \r\n", {"x y"}, ""},
      {"A\nB", {"A"}, "B"},  // a last line without LF is never returned
      {"", {}, ""},
      {"one\rtwo\r", {}, "one\rtwo\r"},  // CR alone ends no line
      // Only 0x09-0x0D and 0x20 are trimmed; NUL is an ordinary byte.
      {"\x08x\x0e\n", {"\x08x\x0e"}, ""},
      {"a\0b\n\0\n"s, {"a\0b"s, "\0"s}, ""},
      {"\xa0y\xa0\n", {"\xa0y\xa0"}, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    CRemainingText text(c.text);
    for (const std::string& want : c.lines) {
      const std::string_view line = getLine(text);
      EXPECT_EQ(line, want);
      // The line is a view into the caller's text, not a copy.
      EXPECT_GE(line.data(), c.text.data());
      EXPECT_LE(line.data() + line.size(), c.text.data() + c.text.size());
    }
    const std::size_t before = text.position();
    EXPECT_THROW(getLine(text), CPrematureEndException);
    EXPECT_EQ(text.position(), before);  // a failed read consumes nothing
    EXPECT_EQ(text.rest(), c.leftOver);
    EXPECT_EQ(text.empty(), c.leftOver.empty());
  }
}

// Line ends are searched for several bytes at a time: every length of line
// and every place of its LF against those steps, up to past where the
// library search takes over, and texts that stop anywhere without an LF.
TEST(GetLine, FindsEveryLfWhateverTheLineLength) {
  for (std::size_t skip = 0; skip < 9; ++skip) {
    std::string text(skip, '\n');
    std::vector<std::string> lines;
    for (std::size_t n = 0; n <= 70; ++n) {
      lines.push_back(std::string(n, static_cast<char>('a' + n % 26)));
      text += lines.back() + "\n";
    }
    for (std::size_t tail = 0; tail <= 40; tail += 7) {
      SCOPED_TRACE(testing::Message() << "skip " << skip << " tail " << tail);
      const std::string all = text + std::string(tail, 'z');
      CRemainingText rest(all);
      for (std::size_t i = 0; i < skip; ++i) EXPECT_EQ(getLine(rest), "");
      for (const std::string& line : lines) ASSERT_EQ(getLine(rest), line);
      EXPECT_THROW(getLine(rest), CPrematureEndException);
      EXPECT_EQ(rest.rest(), std::string(tail, 'z'));
    }
  }
}

TEST(CountLines, CountsEveryLfByte) {
  const struct {
    std::string text;
    int lines;
  } kCases[] = {
      {"", 0},           {"no line", 0}, {"\n", 1},        {"a\nb", 1},
      {"a\r\nb\r\n", 2}, {"\r\r", 0},    {"a\0\nb\n"s, 2}, {"\n\n\n", 3},
  };
  for (const auto& c : kCases) EXPECT_EQ(countLines(c.text), c.lines) << c.text;
}

TEST(GetNumber, TakesFieldsUpToEachSingleSpace) {
  const struct {
    std::string fields;
    std::vector<double> values;  // successive calls
    std::string leftOver;
  } kCases[] = {
      {"1 2 3", {1, 2, 3, 3, 3}, "3"},  // the last field repeats
      {"", {0, 0}, ""},
      {"-1.5 2e1", {-1.5, 20, 20}, "2e1"},
      {"1 2 3 4 5 6 7 8", {1, 2, 3, 4, 5, 6}, "7 8"},  // surplus stays
      {" 1 2", {0, 1, 2}, "2"},  // a leading space is an empty field
      {"1  2", {1, 0, 2}, "2"},  // two spaces hold an empty field
      {"1 2 ", {1, 2, 0, 0}, ""},
      {"1\t2 3", {1, 3}, "3"},  // a tab does not separate fields
      {"NE 1 2", {0, 1, 2}, "2"},
      {"12abc 7", {12, 7}, "7"},
      {"1\0 2"s, {1, 2}, "2"},
      {"1,5 2", {1, 2}, "2"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.fields);
    std::string_view fields = c.fields;
    for (double want : c.values) EXPECT_EQ(getNumber(fields), want);
    EXPECT_EQ(fields, c.leftOver);
  }
}

// The field list read the plain way: up to the space, then ParseNumber.
double PlainGetNumber(std::string_view& fields) {
  const std::size_t space = fields.find(' ');
  if (space == std::string_view::npos) return ParseNumber(fields);
  const double value = ParseNumber(fields.substr(0, space + 1));
  fields.remove_prefix(space + 1);
  return value;
}

// getNumber reads the common short field in one pass; on texts made of the
// bytes that end or change a number, and on long or exponent numbers, it
// must give the same bits and leave the same rest as the plain way.
TEST(GetNumber, ShortcutAgreesWithThePlainWayOnOddFields) {
  std::mt19937_64 random(17);
  const std::string_view bytes = "0123456789.-+ e\tx5";
  for (int trial = 0; trial < 20000; ++trial) {
    std::string text;
    for (int n = static_cast<int>(random() % 30); n > 0; --n) {
      text += bytes[random() % bytes.size()];
    }
    if (trial % 5 == 0) text = "-" + std::string(random() % 25, '7') + ".5 1";
    std::string_view fast = text, plain = text;
    for (int field = 0; field < 4; ++field) {
      const double want = PlainGetNumber(plain);
      const double got = getNumber(fast);
      ASSERT_EQ(std::bit_cast<uint64_t>(got), std::bit_cast<uint64_t>(want))
          << '"' << text << '"';
      ASSERT_EQ(fast, plain) << '"' << text << '"';
    }
  }
}

}  // namespace

#include "dxf/dxf_group_reader.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "symbol/premature_end.h"

namespace {

TEST(ParseGroupCodeTest, ReadsWholeIntegersOnly) {
  const struct {
    std::string_view line;
    int code;
  } cases[] = {
      {"0", 0},
      {"10", 10},
      {"1071", 1071},
      {"-1", -1},
      {"010", 10},
      {"", CDxfGroup::kNoCode},
      {"-", CDxfGroup::kNoCode},
      {"10.0", CDxfGroup::kNoCode},
      {"1 0", CDxfGroup::kNoCode},
      {"+10", CDxfGroup::kNoCode},
      {"IT'S ME", CDxfGroup::kNoCode},
      {"12345678901", CDxfGroup::kNoCode},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseGroupCode(c.line), c.code) << "line \"" << c.line << "\"";
  }
}

// Plain code lines are read on a shortcut; every line must read as its
// trimmed text does, and leave the reader at the value line after it.
TEST(DxfGroupReaderTest, CodeLinesReadAsTheirTrimmedText) {
  const struct {
    std::string_view line;
    std::string_view text;
    int code;
  } cases[] = {
      {"0", "0", 0},
      {"  0", "0", 0},
      {" 10", "10", 10},
      {"1071", "1071", 1071},
      {"-5", "-5", -5},
      {"999999999", "999999999", 999999999},
      {"-999999999", "-999999999", -999999999},
      {"9999999999", "9999999999", CDxfGroup::kNoCode},
      {"  -", "-", CDxfGroup::kNoCode},
      {"", "", CDxfGroup::kNoCode},
      {"   ", "", CDxfGroup::kNoCode},
      {"\t10", "10", 10},
      {" 10\r", "10", 10},
      {"10 ", "10", 10},
      {"+5", "+5", CDxfGroup::kNoCode},
      {"1a", "1a", CDxfGroup::kNoCode},
      {"1 0", "1 0", CDxfGroup::kNoCode},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string text = std::string(c.line) + "\nVALUE\n7\nNEXT\n";
    CDxfGroupReader reader(text);
    const CDxfGroup& group = reader.next();
    EXPECT_EQ(group.m_strCode, c.text);
    EXPECT_EQ(group.m_nCode, c.code);
    EXPECT_EQ(group.m_strValue, "VALUE");
    EXPECT_TRUE(reader.next().is(7, "NEXT"));
    EXPECT_EQ(reader.currentStart(), c.line.size() + 7);
  }
  // Value lines too, with and without white space to trim.
  for (std::string_view value :
       {"VALUE", " VALUE", "VALUE ", "VALUE\r", "\tVALUE\f", "VA LUE"}) {
    SCOPED_TRACE(value);
    const std::string text = "  8\n" + std::string(value) + "\n7\nNEXT\n";
    CDxfGroupReader reader(text);
    const std::string_view want = value == "VA LUE" ? "VA LUE" : "VALUE";
    EXPECT_EQ(reader.next().m_strValue, want);
    EXPECT_TRUE(reader.next().is(7, "NEXT"));
  }
  for (std::string_view value : {"", " ", "\r"}) {
    const std::string text = "8\n" + std::string(value) + "\n7\nNEXT\n";
    CDxfGroupReader reader(text);
    EXPECT_EQ(reader.next().m_strValue, "");
    EXPECT_TRUE(reader.next().is(7, "NEXT"));
  }
  // A code line without its LF, or without a value line, ends the text.
  for (std::string_view text : {" 10", "10\n", "-", "10\nVALUE"}) {
    CDxfGroupReader reader(text);
    EXPECT_THROW(reader.next(), CPrematureEndException) << text;
  }
}

TEST(DxfGroupReaderTest, FirstGroupOfACodeWins) {
  const std::string_view text =
      "0\nTEXT\n1\nfirst\n40\n2.5\n1\nsecond\n40\n9\n0\nEOF\n";
  CDxfGroupReader reader(text);
  reader.next();
  CDxfEntity text_entity;
  reader.readEntity(text_entity);
  EXPECT_EQ(text_entity.getText(1), "first");
  EXPECT_EQ(text_entity.getFloat(40), 2.5);
  EXPECT_EQ(text_entity.getText(7), "");
  EXPECT_EQ(text_entity.find(1, 1), 2);
  EXPECT_EQ(text_entity.find(1, 3), -1);
}

}  // namespace

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

// Plain code and value lines are read on a shortcut; every line must read
// as its trimmed text does and leave the reader at the group after it.
TEST(DxfGroupReaderTest, LinesReadAsTheirTrimmedText) {
  const struct {
    std::string_view code, value;  // as written
    std::string_view code_text, value_text;
    int code_value;
  } cases[] = {
      {"  0", "LINE", "0", "LINE", 0},
      {"-999999999", " V ", "-999999999", "V", -999999999},
      {"9999999999", "V\r", "9999999999", "V", CDxfGroup::kNoCode},
      {"  -", "\tV\f", "-", "V", CDxfGroup::kNoCode},
      {"   ", "", "", "", CDxfGroup::kNoCode},
      {"\t10", "\r", "10", "", 10},
      {" 10\r", "V W", "10", "V W", 10},
      {"1a", " ", "1a", "", CDxfGroup::kNoCode},
      // Three right-aligned columns, and values whose LF lies in the first
      // word, the second or beyond.
      {"330", "AcDbEntity", "330", "AcDbEntity", 330},
      {" 99", "-9.892857142857142", "99", "-9.892857142857142", 99},
      {"  5", " AcDbEntity\t", "5", "AcDbEntity", 5},
      {" -1", "ABCDEFGHIJKLMNO ", "-1", "ABCDEFGHIJKLMNO", -1},
      {"1 2", "\vABCDEFGHIJKLMNOPQ", "1 2", "ABCDEFGHIJKLMNOPQ",
       CDxfGroup::kNoCode},
      {" 1 ", "ABCDEFG\r", "1", "ABCDEFG", 1},
      // Values about as long as the shorter way reads, and a code written
      // with leading zeros, which it leaves to the longer way.
      {" 10", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0", "10",
       "ABCDEFGHIJKLMNOPQRSTUVWXYZ0", 10},
      {" 10", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01", "10",
       "ABCDEFGHIJKLMNOPQRSTUVWXYZ01", 10},
      {" 10", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "10",
       "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 10},
      {"007", "V", "007", "V", 7},
      {"1:7", "V", "1:7", "V", CDxfGroup::kNoCode},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const std::string text =
        std::string(c.code) + "\n" + std::string(c.value) + "\n7\nNEXT\n";
    // Alone, and with text enough after it for the shorter way.
    for (const std::string& after :
         {std::string(), "999\n" + std::string(32, 'x') + "\n"}) {
      const std::string whole = text + after;
      CDxfGroupReader reader(whole);
      const CDxfGroup& group = reader.next();
      EXPECT_EQ(group.code(), c.code_text);
      EXPECT_EQ(group.m_nCode, c.code_value);
      EXPECT_EQ(group.m_strValue, c.value_text);
      EXPECT_TRUE(reader.next().is(7, "NEXT"));
    }
    // Read within an entity, where the commonest groups take a shorter
    // way, with text enough after them for it (a code 0 would end it).
    if (c.code_value == 0) continue;
    const std::string entity_text = "  0\nLINE\n" + text + "  0\nEOF\n";
    CDxfGroupReader entity_reader(entity_text);
    entity_reader.next();
    CDxfEntity entity;
    entity_reader.readEntity(entity);
    ASSERT_EQ(entity.groups().size(), 2u);
    EXPECT_EQ(entity.groups()[0].code(), c.code_text);
    EXPECT_EQ(entity.groups()[0].m_nCode, c.code_value);
    EXPECT_EQ(entity.groups()[0].m_strValue, c.value_text);
    EXPECT_TRUE(entity_reader.current().is(0, "EOF"));
    EXPECT_EQ(entity_reader.currentStart(), entity_text.size() - 8);
  }
  // A code line too long to be kept with its group reads as empty, never as
  // a piece of itself.
  {
    const std::string text = std::string(70000, 'x') + "\nV\n7\nNEXT\n";
    CDxfGroupReader reader(text);
    const CDxfGroup& group = reader.next();
    EXPECT_EQ(group.code(), "");
    EXPECT_EQ(group.m_nCode, CDxfGroup::kNoCode);
    EXPECT_EQ(group.m_strValue, "V");
  }
  // A code line without its LF, or without a value line, ends the text.
  for (std::string_view text : {" 10", "10\n", "10\nVALUE"}) {
    CDxfGroupReader reader(text);
    EXPECT_THROW(reader.next(), CPrematureEndException) << text;
  }
}

// Code lines of three right-aligned columns are looked up whole: each of
// them must read as its own code, and a line that only resembles one (a
// leading zero, a space inside) as the longer way reads it.
TEST(DxfGroupReaderTest, EveryThreeColumnCodeReadsAsItself) {
  std::string text = "  0\nLINE\n";
  for (int code = 1; code < 1000; ++code) {
    const std::string digits = std::to_string(code);
    text += std::string(3 - digits.size(), ' ') + digits + "\nV\n";
  }
  text += "010\nV\n0 1\nV\n  0\nEOF\n";
  CDxfGroupReader reader(text);
  reader.next();
  CDxfEntity entity;
  reader.readEntity(entity);
  ASSERT_EQ(entity.groups().size(), 1001u);
  for (int code = 1; code < 1000; ++code) {
    const CDxfGroup& group = entity.groups()[code - 1];
    EXPECT_EQ(group.m_nCode, code);
    EXPECT_EQ(group.code(), std::to_string(code));
    EXPECT_EQ(group.m_strValue, "V");
  }
  EXPECT_EQ(entity.groups()[999].code(), "010");
  EXPECT_EQ(entity.groups()[999].m_nCode, 10);
  EXPECT_EQ(entity.groups()[1000].code(), "0 1");
  EXPECT_EQ(entity.groups()[1000].m_nCode, CDxfGroup::kNoCode);
  EXPECT_TRUE(reader.current().is(0, "EOF"));
}

// The marker is noted as groups are read, on the shorter way too.
TEST(DxfGroupReaderTest, TraceMarkerNotedOnEitherLine) {
  const struct {
    std::string_view lines;
    bool marked;
  } cases[] = {
      {"  8\nIT'S ME\n", true},
      {"IT'S ME\nx\n", true},
      {"  8\nIT'S MA\n", false},
      {"  8\nIT'S ME \n", true},
  };
  for (const auto& c : cases) {
    const std::string text =
        "  0\nLINE\n" + std::string(c.lines) + " 10\n1.5\n 20\n2.5\n  0\nEOF\n";
    CDxfGroupReader reader(text);
    reader.next();
    CDxfEntity entity;
    reader.readEntity(entity);
    EXPECT_EQ(entity.holdsTraceMarker(), c.marked) << c.lines;
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

// Codes are looked up without scanning where they can be: a code outside
// that range, a search from past the first group of a code, or an entity
// too long to look up in must still find the right group.
TEST(DxfGroupReaderTest, EveryCodeFoundInLongAndShortEntities) {
  for (const int filler : {3, 70000}) {
    std::string text = "0\nLINE\n";
    for (int i = 0; i < filler; ++i) text += "8\nL\n";
    text += "40\n1.5\n1071\n7\n-4\n6\n8\nM\n0\nEOF\n";
    CDxfGroupReader reader(text);
    reader.next();
    CDxfEntity entity;
    reader.readEntity(entity);
    SCOPED_TRACE(filler);
    EXPECT_EQ(entity.getFloat(40), 1.5);
    EXPECT_EQ(entity.getFloat(1071), 7);
    EXPECT_EQ(entity.getFloat(-4), 6);
    EXPECT_EQ(entity.find(8, 1), 1);
    EXPECT_EQ(entity.find(8, filler), filler + 3);
    EXPECT_EQ(entity.find(41), -1);
  }
}

}  // namespace

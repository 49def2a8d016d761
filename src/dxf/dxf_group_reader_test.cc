#include "dxf/dxf_group_reader.h"

#include <string_view>

#include <gtest/gtest.h>

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

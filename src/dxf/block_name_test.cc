// Which block names become files, on every system and on Windows.

#include "dxf/block_name.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using namespace std::string_view_literals;

TEST(BlockNameTest, RefusesNamesThatLeaveTheFolderOrWindowsCannotHold) {
  struct Case {
    std::string_view name;
    bool anywhere;  // becomes a file on every system
    bool windows;   // and on Windows
  };
  const Case cases[] = {
      {"VALVE", true, true},
      {"$model_space", true, true},
      {"a.b", true, true},
      {"...", true, true},
      {"name with spaces", true, true},
      {"trailing dot.", true, true},  // "trailing dot..SML" is a good name
      {"CONSOLE", true, true},
      {"COM10", true, true},
      {"LPT0", true, true},
      {"XCON", true, true},
      {"\xC4pfel", true, true},
      {".", false, true},
      {"..", false, true},
      {"a/b", false, true},
      {"a\\b", false, true},
      {"../x", false, true},
      {"a\0b"sv, false, false},
      {"CON", true, false},
      {"con", true, false},
      {"Nul.txt", true, false},
      {"aux .x", true, false},
      {"PRN", true, false},
      {"COM1", true, false},
      {"lpt9.a.b", true, false},
      {"C:", true, false},
      {"a*", true, false},
      {"a?", true, false},
      {"\"q\"", true, false},
      {"<a>", true, false},
      {"a>", true, false},
      {"a|b", true, false},
      {"tab\there", true, false},
      {"\x1f", true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnsafeBlockNameReason(c.name).empty(), c.anywhere) << c.name;
    EXPECT_EQ(WindowsBlockNameReason(c.name).empty(), c.windows) << c.name;
  }
}

}  // namespace

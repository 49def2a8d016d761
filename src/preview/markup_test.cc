#include "preview/markup.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <limits>
#include <string>

namespace {

TEST(FormatNumber, GivesTheShortestExactText) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "-0"},
      {0.5, "0.5"},
      {-999999999.0, "-999999999"},
      {0.1 + 0.2, "0.30000000000000004"},
      {1e20, "1e+20"},
      {4.9e-324, "5e-324"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text);
}

TEST(FormatRounded, KeepsSixDecimalsAtMost) {
  const struct {
    double value;
    std::string text;
  } cases[] = {
      {640.0000000000031, "640"},
      {1.3165236, "1.316524"},
      {-0.0000001, "0"},
      {-2.5, "-2.5"},
      {1e21, "1" + std::string(21, '0')},
      {-std::numeric_limits<double>::infinity(), "-inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatRounded(c.value), c.text);
}

struct TextCase {
  const char* what;
  std::string bytes;
  const char* xml;
  const char* json;
};

TEST(Markup, EscapesAndReadsNamesAsTheCodePageHoldsThem) {
  const TextCase cases[] = {
      {"plain", "VALVE", "VALVE", "\"VALVE\""},
      {"markup characters", "a&b<c>\"d'", "a&amp;b&lt;c&gt;&quot;d&#39;",
       "\"a&b<c>\\\"d'\""},
      {"backslash", "A\\B", "A\\B", "\"A\\\\B\""},
      {"valid UTF-8 stays", "\xC3\xA4\xE2\x82\xAC", "\xC3\xA4\xE2\x82\xAC",
       "\"\xC3\xA4\xE2\x82\xAC\""},
      {"Latin-1 byte", "\xE4", "\xC3\xA4", "\"\xC3\xA4\""},
      {"Windows-1252 euro and an undefined byte", "\x80\x81",
       "\xE2\x82\xAC\xEF\xBF\xBD", "\"\xE2\x82\xAC\xEF\xBF\xBD\""},
      {"cut-off UTF-8 sequence", "\xE2\x82", "\xC3\xA2\xE2\x80\x9A",
       "\"\xC3\xA2\xE2\x80\x9A\""},
      {"overlong form", "\xC0\xAF", "\xC3\x80\xC2\xAF", "\"\xC3\x80\xC2\xAF\""},
      {"control characters", std::string("a\0b\x1F\t", 5),
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD\t",
       "\"a\\u0000b\\u001f\\t\""},
  };
  for (const TextCase& c : cases) {
    std::string xml;
    AppendXmlText(&xml, c.bytes);
    EXPECT_EQ(xml, c.xml) << c.what;
    EXPECT_EQ(nlohmann::json(TextAsUtf8(c.bytes)).dump(), c.json) << c.what;
  }
}

}  // namespace

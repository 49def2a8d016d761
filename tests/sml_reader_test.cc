#include "sml/sml_reader.h"
#include "support/sml_bytes.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "platform/platform.h"
#include "sml/sml_file.h"
#include "support/symbol_builders.h"
#include "symbol/sym_symbol.h"

namespace {

// A symbol as the conversion hands it to the writer.
struct CSource {
  std::string name;
  CSymbol symbol;
};

std::string WriteSml(CSource& source) {
  return EncodeSml(source.symbol, source.name);
}

uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

void ExpectSamePoint(const CPrecisionPoint& a, const CPrecisionPoint& b,
                     const std::string& where) {
  EXPECT_EQ(Bits(a.x), Bits(b.x)) << where;
  EXPECT_EQ(Bits(a.y), Bits(b.y)) << where;
  EXPECT_EQ(Bits(a.z), Bits(b.z)) << where;
}

// Every value bit for bit, so that negative zero and NaN payloads count.
void ExpectSameSymbol(const CSource& written, const CSymbol& read) {
  const CSymbol& s = written.symbol;
  EXPECT_EQ(read.name, written.name);
  ASSERT_EQ(read.lines.GetSize(), s.lines.GetSize());
  ASSERT_EQ(read.arcs.GetSize(), s.arcs.GetSize());
  ASSERT_EQ(read.circles.GetSize(), s.circles.GetSize());
  for (std::size_t i = 0; i < s.lines.GetSize(); ++i) {
    EXPECT_EQ(read.lines[i]->attribute, s.lines[i]->attribute);
    ExpectSamePoint(read.lines[i]->start, s.lines[i]->start, "line start");
    ExpectSamePoint(read.lines[i]->end, s.lines[i]->end, "line end");
  }
  for (std::size_t i = 0; i < s.arcs.GetSize(); ++i) {
    ASSERT_EQ(read.arcs[i]->points.GetSize(), 2u);
    ExpectSamePoint(*read.arcs[i]->points[0], *s.arcs[i]->points[0], "centre");
    ExpectSamePoint(*read.arcs[i]->points[1], *s.arcs[i]->points[1], "angles");
  }
  for (std::size_t i = 0; i < s.circles.GetSize(); ++i) {
    EXPECT_EQ(Bits(read.circles[i]->radius), Bits(s.circles[i]->radius));
    ASSERT_EQ(read.circles[i]->points.GetSize(), 1u);
    ExpectSamePoint(*read.circles[i]->points[0], *s.circles[i]->points[0],
                    "circle centre");
  }
  EXPECT_EQ(Bits(read.minX), Bits(s.minX));
  EXPECT_EQ(Bits(read.minY), Bits(s.minY));
  EXPECT_EQ(Bits(read.maxX), Bits(s.maxX));
  EXPECT_EQ(Bits(read.maxY), Bits(s.maxY));
  ExpectSamePoint(read.origin, s.origin, "origin");
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The example symbols as the conversion makes them.
std::vector<std::string> ExampleSymNames() {
  return {"EARTH", "LAMP", "RESISTOR", "VALVE"};
}

CSource ExampleSource(const std::string& name) {
  CSource source;
  source.name = name;
  const std::string text = ReadFileBytes(
      std::filesystem::path(SYMCONV_SOURCE_DIR) / "examples" / (name + ".SYM"));
  EXPECT_FALSE(text.empty()) << name;
  EXPECT_TRUE(ReadSymText(text, &source.symbol));
  MeasureAndShift(&source.symbol);
  return source;
}

// Two lines, one arc, one circle, named "MIX": 483 bytes, laid out as
// below (the offsets that the forged cases change).
CSource MixedSource() {
  CSource source;
  source.name = "MIX";
  AddLine(&source.symbol, 0, -1, 2, 0);
  AddLine(&source.symbol, 2, 0, 4, -1);
  AddArc(&source.symbol, 1, -1, 0.0, 4.71238898038469, 1.0);
  AddCircle(&source.symbol, 3, -2, 0.5);
  MeasureAndShift(&source.symbol);
  return source;
}
constexpr std::size_t kLineCountAt = 23;
constexpr std::size_t kSecondLineTagAt = 88;
constexpr std::size_t kArcCountAt = 142;
constexpr std::size_t kArcClassAt = 144;
constexpr std::size_t kArcPointCountAt = 154;
constexpr std::size_t kCircleCountAt = 227;
constexpr std::size_t kCircleTagAt = 229;
constexpr std::size_t kConstantBlockAt = 326;

using Builder = std::function<void(CSource*)>;

struct RoundTripCase {
  const char* label;
  Builder build;
  std::string_view form = {};  // bytes the file must hold, if any
};

class SmlRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SmlRoundTrip, ReadsBackWhatWasWritten) {
  CSource source;
  source.name = "SYM";
  GetParam().build(&source);
  const std::string bytes = WriteSml(source);
  EXPECT_NE(bytes.find(GetParam().form), std::string::npos);
  CSymbol read;
  ASSERT_NO_THROW(ReadSmlFile(bytes, &read));
  ExpectSameSymbol(source, read);
}

const double kNaN = std::bit_cast<double>(uint64_t{0x7FF80000DEADBEEF});
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Shapes, SmlRoundTrip,
    ::testing::Values(
        RoundTripCase{"Empty", [](CSource*) {}},
        RoundTripCase{"EmptyMeasured",
                      [](CSource* s) { MeasureAndShift(&s->symbol); }},
        RoundTripCase{"LinesOnly",
                      [](CSource* s) {
                        AddLine(&s->symbol, 1, 2, 3, 4, 7);
                        AddLine(&s->symbol, -1, -2, -3, -4);
                        s->symbol.lines[1]->attribute = -5;
                        MeasureAndShift(&s->symbol);
                      }},
        // The point class is then defined inside the first circle.
        RoundTripCase{"CirclesOnly",
                      [](CSource* s) {
                        AddCircle(&s->symbol, 0, 0, 1);
                        AddCircle(&s->symbol, 5, 5, 0.25);
                        MeasureAndShift(&s->symbol);
                      }},
        RoundTripCase{"ArcsOnly",
                      [](CSource* s) {
                        AddArc(&s->symbol, 0, 0, 0.0, 4.71238898038469, 2);
                        AddArc(&s->symbol, 1, 1, 1.0, 1.0, 0.5);
                        MeasureAndShift(&s->symbol);
                      }},
        RoundTripCase{"OddValues",
                      [](CSource* s) {
                        AddLine(&s->symbol, -0.0, kNaN, kInf, -kInf);
                        AddArc(&s->symbol, 4.9e-324, -0.0, kNaN, -kInf, -1);
                        AddCircle(&s->symbol, 1e308, -1e-308, -3);
                        s->symbol.minX = -0.0;
                        s->symbol.maxY = kNaN;
                        s->symbol.origin = CPrecisionPoint(-0.0, kInf, kNaN);
                      }},
        RoundTripCase{
            "NameForms",
            [](CSource* s) { s->name = std::string(255, 'n') + "\xE4\x5C"; }},
        RoundTripCase{"VeryLongName",
                      [](CSource* s) { s->name = std::string(65534, 'v'); },
                      std::string_view("\xFF\xFF\xFF\xFE\xFF\0\0v", 8)},
        RoundTripCase{"EmptyName", [](CSource* s) { s->name.clear(); }},
        // 65535 shapes: the count takes its long form.
        RoundTripCase{"LongCount",
                      [](CSource* s) {
                        for (int i = 0; i < 65535; ++i) {
                          AddLine(&s->symbol, i, 0, i, 1);
                        }
                        AddCircle(&s->symbol, 0, 0, 1);
                        MeasureAndShift(&s->symbol);
                      },
                      std::string_view("\xFF\xFF\xFF\xFF\0\0", 6)},
        // CArc and CPrecisionPoint take indices above 0x7FFF, so that
        // every later arc, point and circle refers to its class in the
        // long form.
        RoundTripCase{"LongClassTags",
                      [](CSource* s) {
                        for (int i = 0; i < 32770; ++i) {
                          AddLine(&s->symbol, i, 0, i, 1);
                        }
                        for (int i = 0; i < 3; ++i) {
                          AddArc(&s->symbol, i, i, 1.0, 0.5, 2);
                        }
                        AddCircle(&s->symbol, 0, 0, 1);
                        AddCircle(&s->symbol, 1, 1, 2);
                        MeasureAndShift(&s->symbol);
                      },
                      std::string_view("\xFF\x7F\x04\x80\0\x80", 6)}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) {
      return std::string(info.param.label);
    });

TEST(SmlReader, ReadsBackTheExampleSymbols) {
  for (const std::string& name : ExampleSymNames()) {
    CSource source = ExampleSource(name);
    CSymbol read;
    ASSERT_NO_THROW(ReadSmlFile(WriteSml(source), &read)) << name;
    ExpectSameSymbol(source, read);
  }
}

// Written out by hand from the layout, so that reader and writer cannot
// agree on a mistake: BOX.SYM with the one line (0, 0)-(2, 1).
TEST(SmlReader, DecodesTheBoxFileByHand) {
  std::string bytes =
      "\x0DKROWinSymbol1\x03"
      "BOX";
  bytes += std::string("\0\0\0\0\0\x01\0", 7);
  bytes += std::string("\xFF\xFF\xD2\x04\x05\0CLine\x01\0\0\0", 15);
  auto f64 = [&bytes](double v) {
    for (int k = 0; k < 8; ++k) bytes += static_cast<char>(Bits(v) >> (8 * k));
  };
  for (double v : {0.0, -1.0, 0.0, 2.0, 0.0, 0.0}) f64(v);
  bytes += std::string(4, '\0');
  for (double v : {0.0, -1.0, 2.0, 0.0, 1.0, 2.0}) f64(v);
  bytes += std::string(
      "\x06"
      "111111\0\0\0\0",
      11);
  for (int i = 0; i < 6; ++i)
    bytes += std::string("\0\0\0\0\0\0\x02\0\0\0", 10);
  bytes += std::string("\0\0\0\0\0\x02TL", 8);
  f64(0.15);
  bytes += std::string(4 + 2 + 40, '\0');
  for (double v : {-0.0, -1.0, 0.0}) f64(v);
  ASSERT_EQ(bytes.size(), 297u);

  CSymbol read;
  ReadSmlFile(bytes, &read);
  EXPECT_EQ(read.name, "BOX");
  ASSERT_EQ(read.lines.GetSize(), 1u);
  EXPECT_EQ(read.lines[0]->attribute, 1);
  EXPECT_EQ(read.lines[0]->start.y, -1.0);
  EXPECT_EQ(read.lines[0]->end.x, 2.0);
  EXPECT_EQ(read.arcs.GetSize() + read.circles.GetSize(), 0u);
  EXPECT_EQ(read.minY, -1.0);
  EXPECT_EQ(read.maxX, 2.0);
  EXPECT_EQ(Bits(read.origin.x), Bits(-0.0));
  EXPECT_EQ(read.origin.y, -1.0);

  // Another program's file whose stored width differs from its extents is
  // still read; the size shown is the extents' difference.
  const std::size_t width_at = bytes.size() - 24 - 133 - 8;
  bytes[width_at + 7] = 0x41;  // 2.0 becomes a much larger number
  CSymbol other;
  ReadSmlFile(bytes, &other);
  EXPECT_EQ(other.maxX - other.minX, 2.0);
  EXPECT_EQ(other.origin.y, -1.0);
}

TEST(SmlReader, MixedLayoutIsWhereTheForgedCasesExpectIt) {
  CSource source = MixedSource();
  const std::string bytes = WriteSml(source);
  ASSERT_EQ(bytes.size(), 483u);
  EXPECT_EQ(bytes.substr(kSecondLineTagAt, 2), "\x01\x80");
  EXPECT_EQ(bytes.substr(kArcClassAt + 6, 4), "CArc");
  EXPECT_EQ(bytes.substr(kCircleTagAt + 6, 7), "CCircle");
  EXPECT_EQ(bytes.substr(kConstantBlockAt, 7),
            "\x06"
            "111111");
}

// Every prefix of a real file is refused with an offset inside the prefix.
TEST(SmlReader, RefusesEveryTruncation) {
  std::vector<std::string> files;
  CSource mixed = MixedSource();
  files.push_back(WriteSml(mixed));
  for (const std::string& name : {std::string("LAMP"), std::string("VALVE")}) {
    CSource source = ExampleSource(name);
    files.push_back(WriteSml(source));
  }
  for (const std::string& bytes : files) {
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      CSymbol read;
      try {
        ReadSmlFile(std::string_view(bytes).substr(0, n), &read);
        ADD_FAILURE() << "a prefix of " << n << " bytes was accepted";
      } catch (const CSmlFormatException& e) {
        EXPECT_LE(e.m_nOffset, n);
        EXPECT_NE(e.m_strProblem.find("bytes are left"), std::string::npos)
            << n << ": " << e.what();
      }
    }
  }
}

std::string Replace(std::string bytes, std::size_t at, std::string_view with,
                    std::size_t length) {
  return bytes.replace(at, length, with);
}

struct ForgedCase {
  const char* label;
  std::function<std::string(const std::string&)> forge;
  std::size_t offset;
  const char* message;
};

TEST(SmlReader, RefusesForgedFiles) {
  CSource mixed = MixedSource();
  const std::string good = WriteSml(mixed);
  const ForgedCase cases[] = {
      {"magic", [](const std::string& b) { return Replace(b, 1, "S", 1); }, 0,
       "expected the magic"},
      {"not a symbol at all",
       [](const std::string&) { return std::string("hello"); }, 0,
       "expected the magic 0D \"KROWinSymbol1\" of a symbol file (14 bytes)"},
      {"name longer than the file",
       [](const std::string& b) {
         return Replace(b, 14, "\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 1);
       },
       21, "expected the symbol name (2147483647 bytes), but only 468"},
      {"field after the name",
       [](const std::string& b) { return Replace(b, 20, "\x01", 1); }, 20,
       "expected byte 0x0 of the empty string and the zero after the name"},
      {"line count of 4 billion",
       [](const std::string& b) {
         return Replace(b, kLineCountAt, "\xFF\xFF\xFF\xFF\xFF\xFF", 2);
       },
       kArcCountAt + 4, "found a reference to index 1"},
      {"object referred to again",
       [](const std::string& b) {
         return Replace(b, kSecondLineTagAt, std::string("\x02\x00", 2), 2);
       },
       kSecondLineTagAt,
       "expected a new object for the tag of line 2, but found a reference "
       "to index 2"},
      {"long object reference",
       [](const std::string& b) {
         return Replace(b, kSecondLineTagAt,
                        std::string("\xFF\x7F\x02\0\0\0", 6), 2);
       },
       kSecondLineTagAt, "reference to index 2"},
      {"class index that is an object",
       [](const std::string& b) {
         return Replace(b, kSecondLineTagAt, "\x02\x80", 2);
       },
       kSecondLineTagAt, "refers to index 2, which no class definition took"},
      {"class defined twice",
       [](const std::string& b) {
         return Replace(b, kSecondLineTagAt, b.substr(25, 11), 2);
       },
       kSecondLineTagAt, "class \"CLine\" is defined a second time"},
      {"unknown class",
       [](const std::string& b) { return Replace(b, 35, "f", 1); }, 25,
       "found the class \"CLinf\""},
      {"other schema",
       [](const std::string& b) { return Replace(b, 27, "\xD3", 1); }, 25,
       "class \"CLine\" has schema number 1235, expected 1234"},
      {"line in the arc list",
       [](const std::string& b) {
         return Replace(b, kArcClassAt, "\x01\x80", 10);
       },
       kArcClassAt,
       "expected a CArc object for the tag of arc 1, but found a CLine"},
      {"arc of three points",
       [](const std::string& b) {
         return Replace(b, kArcPointCountAt, "\x03", 1);
       },
       kArcPointCountAt, "expected 2 points in arc 1, but the count is 3"},
      {"long count of the circle's points",
       [](const std::string& b) {
         return Replace(b, kCircleTagAt + 21,
                        std::string("\xFF\xFF\x02\0\0\0", 6), 2);
       },
       kCircleTagAt + 21, "expected 1 point in circle 1, but the count is 2"},
      {"constant block",
       [](const std::string& b) {
         return Replace(b, kConstantBlockAt + 90, "\x01", 1);
       },
       kConstantBlockAt + 90, "expected byte 0x0 of the constant block"},
      {"trailing bytes", [](const std::string& b) { return b + "xy"; }, 483,
       "2 more bytes follow"},
  };
  for (const ForgedCase& c : cases) {
    CSymbol read;
    try {
      ReadSmlFile(c.forge(good), &read);
      ADD_FAILURE() << c.label << ": accepted";
    } catch (const CSmlFormatException& e) {
      EXPECT_EQ(e.m_nOffset, c.offset) << c.label << ": " << e.what();
      EXPECT_NE(e.m_strProblem.find(c.message), std::string::npos)
          << c.label << ": " << e.what();
    }
  }
}

// Any single changed byte decodes or is refused as malformed: nothing
// else escapes, nothing crashes.
TEST(SmlReader, SurvivesEverySingleByteChange) {
  CSource mixed = MixedSource();
  const std::string good = WriteSml(mixed);
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF}) {
      std::string bytes = good;
      bytes[at] = static_cast<char>(value);
      CSymbol read;
      try {
        ReadSmlFile(bytes, &read);
      } catch (const CSmlFormatException&) {
      }
    }
  }
}

}  // namespace

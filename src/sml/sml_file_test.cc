#include "sml/sml_file.h"

#include <bit>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_exceptions.h"
#include "archive/archive_writer.h"
#include "gtest/gtest.h"
#include "platform/exceptions.h"
#include "platform/fake/fake_platform.h"
#include "platform/platform.h"
#include "support/hex.h"
#include "support/memory_file.h"
#include "support/sml_bytes.h"
#include "support/symbol_builders.h"

namespace {

std::string Repeat(const std::string& hex, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += hex + " ";
  return out;
}

const std::string kZero8 = "00 00 00 00 00 00 00 00 ";

// BOX.SML: one line from (0, -1, 0) to (2, 0, 0) after the shift, origin
// (-0.0, -1.0, 0.0). Byte by byte, in file order.
const std::string kBoxHex =
    "0D 4B 52 4F 57 69 6E 53 79 6D 62 6F 6C 31 "  // "KROWinSymbol1"
    "03 42 4F 58 "                                // "BOX"
    "00 "                                         // empty string
    "00 00 00 00 "                                // zero
    "01 00 "                                      // one line
    "FF FF D2 04 05 00 43 4C 69 6E 65 "           // CLine definition
    "01 00 00 00 " +                              // attribute
    kZero8 +
    "00 00 00 00 00 00 F0 BF " + kZero8 +           // start
    "00 00 00 00 00 00 00 40 " + kZero8 + kZero8 +  // end
    "00 00 00 00 " +                                // no arcs, no circles
    kZero8 +                                        // minX 0
    "00 00 00 00 00 00 F0 BF "                      // minY -1
    "00 00 00 00 00 00 00 40 " +                    // maxX 2
    kZero8 +                                        // maxY 0
    "00 00 00 00 00 00 F0 3F "                      // height 1
    "00 00 00 00 00 00 00 40 "                      // width 2
    "06 31 31 31 31 31 31 "                         // "111111"
    "00 00 00 00 " +
    Repeat("00 00 00 00 00 00 02 00 00 00", 6) +
    "00 00 00 00 "
    "00 "
    "02 54 4C "                 // "TL"
    "33 33 33 33 33 33 C3 3F "  // 0.15
    "00 00 00 00 "
    "00 00 " +
    Repeat(kZero8, 5) +
    "00 00 00 00 00 00 00 80 "    // origin x -0.0
    "00 00 00 00 00 00 F0 BF " +  // origin y -1.0
    kZero8;                       // origin z 0.0

// The BOX symbol in memory, as the conversion leaves it after the shift.
CSymbol Box() {
  CSymbol box;
  AddLine(&box, 0.0, -1.0, 2.0, 0.0);
  box.minX = 0.0;
  box.minY = -1.0;
  box.maxX = 2.0;
  box.maxY = 0.0;
  box.origin = CPrecisionPoint(-0.0, -1.0, 0.0);  // -minX: a negative zero
  return box;
}

double DoubleAt(const std::string& bytes, std::size_t offset) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) {
    bits = (bits << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return std::bit_cast<double>(bits);
}

TEST(SmlFileTest, BoxExampleByteForByte) {
  ASSERT_EQ(FromHex(kBoxHex).size(), 297u);
  std::string bytes = EncodeSml(Box(), "BOX");
  EXPECT_EQ(ToHex(bytes), ToHex(FromHex(kBoxHex)));
}

TEST(SmlFileTest, LinesArcsCirclesAreNumberedInThatOrder) {
  CSymbol s;
  for (int i = 0; i < 2; ++i) s.lines.Add(std::make_unique<CLine>());
  auto arc = std::make_unique<CArc>();
  arc->points.Add(std::make_unique<CPrecisionPoint>(1.0, 2.0, 0.0));
  arc->points.Add(std::make_unique<CPrecisionPoint>(0.5, 4.5, 2.0));
  s.arcs.Add(std::move(arc));
  auto circle = std::make_unique<CCircle>();
  circle->radius = 3.0;
  circle->points.Add(std::make_unique<CPrecisionPoint>(5.0, 5.0, 0.0));
  s.circles.Add(std::move(circle));
  s.minX = 0.0;
  s.minY = -8.0;
  s.maxX = 8.0;
  s.maxY = 0.0;
  s.origin = CPrecisionPoint(1.0, 1.0, 0.0);
  std::string bytes = EncodeSml(s, "ABC");
  ASSERT_EQ(bytes.size(), 483u);

  struct Tag {
    std::size_t offset;
    std::string hex;
  };
  const Tag tags[] = {
      {23, "02 00"},                             // line count
      {25, "FF FF D2 04 05 00 43 4C 69 6E 65"},  // first line, "CLine" 1
      {88, "01 80"},                             // second line
      {142, "01 00"},                            // arc count
      {144, "FF FF D2 04 04 00 43 41 72 63"},    // the arc, "CArc" 4
      {154, "02 00"},                            // its points
      {156, "FF FF D2 04 0F 00 " + ToHex("CPrecisionPoint")},  // centre, 6
      {201, "06 80"},                                  // its angle point
      {227, "01 00"},                                  // circle count
      {229, "FF FF D2 04 07 00 " + ToHex("CCircle")},  // the circle, 9
      {242, "00 00 00 00 00 00 08 40"},                // radius before points
      {250, "01 00 06 80"},                            // one point, a reference
  };
  for (const Tag& tag : tags) {
    std::string expected = FromHex(tag.hex);
    EXPECT_EQ(ToHex(bytes.substr(tag.offset, expected.size())), ToHex(expected))
        << "offset " << tag.offset;
  }
  EXPECT_EQ(bytes.find("CPrecisionPoint"), bytes.rfind("CPrecisionPoint"));
}

// The same shapes in both forms, extents and origin included.
void AddBoth(CSymbol* s, CFlatSymbol* f, char kind, double a, double b) {
  switch (kind) {
    case 'L':
      AddLine(s, a, b, b, a);
      f->lines.emplace_back();
      f->lines.back().start = CPrecisionPoint(a, b, 0.0);
      f->lines.back().end = CPrecisionPoint(b, a, 0.0);
      break;
    case 'A':
      AddArc(s, a, b, 0.5, 4.5, 2.0);
      f->arcs.push_back({CPrecisionPoint(a, b, 0.0), {0.5, 4.5, 2.0}});
      break;
    default:
      AddCircle(s, a, b, 3.0);
      f->circles.push_back({CPrecisionPoint(a, b, 0.0), 3.0});
      break;
  }
}

TEST(SmlFileTest, ShapesHeldByValueAreWrittenAsTheirObjectLists) {
  // Which lists hold shapes decides where the CPrecisionPoint definition
  // goes; past 32766 numbered entries tags and references take long forms.
  const struct {
    const char* kinds;
    int lines;
  } cases[] = {{"L", 1},       {"C", 2},       {"AC", 0},
               {"LAC", 3},     {"LAC", 32764},  // CArc takes 0x7FFE
               {"LAC", 32765},  // and 0x7FFF, the first long one
               {"LAC", 40000}};
  for (const auto& c : cases) {
    CSymbol s;
    CFlatSymbol f;
    for (int i = 0; i < c.lines; ++i) AddBoth(&s, &f, 'L', i, -i);
    for (const char* k = c.kinds; *k != '\0'; ++k) {
      if (*k == 'L') continue;
      for (int i = 0; i < 2; ++i) AddBoth(&s, &f, *k, i + 0.25, -7.5);
    }
    s.minX = f.minX = -1.0;
    s.maxY = f.maxY = 2.0;
    s.origin = f.origin = CPrecisionPoint(1.0, -2.0, 0.0);
    std::vector<std::size_t> object_writes, flat_writes;
    const std::string objects = EncodeSmlFile("S", s, &object_writes);
    EXPECT_EQ(EncodeSmlFile("S", f, &flat_writes), objects)
        << c.kinds << " " << c.lines;
    EXPECT_EQ(flat_writes, object_writes);
  }
}

// Shapes held by value are stored in runs straight into the archive's
// buffer: a run must stop where a value put alone would flush the buffer or
// meet the index limit.
TEST(SmlFileTest, ShapesHeldByValueFlushAndRunOutOfIndicesAsTheirObjectLists) {
  CSymbol s;
  CFlatSymbol f;
  for (const char kind : std::string(10, 'L') + "AAAACCC") {
    AddBoth(&s, &f, kind, 1.5, -2.5);
  }
  // Indices: CLine 1, lines 2-11, CArc 12, the first arc 13 and its points
  // 15 and 16 (CPrecisionPoint 14), the other arcs to 25, CCircle 26, the
  // circles and their points 27-32.
  constexpr uint32_t kNoLimit = CArchiveWriter::kDefaultIndexLimit;
  const struct {
    std::size_t buffer;
    uint32_t limit;
  } cases[] = {{1, kNoLimit},   {57, kNoLimit}, {58, kNoLimit}, {61, kNoLimit},
               {150, kNoLimit}, {4096, 6},      {4096, 14},     {4096, 16},
               {4096, 21},      {4096, 30},     {100, 29},      {4096, 33}};
  for (const auto& c : cases) {
    std::string outcome[2];
    std::vector<std::size_t> writes[2];
    for (int form = 0; form < 2; ++form) {
      CMemoryFile file;
      {
        CArchiveWriter ar(file, "S", c.buffer, c.limit);
        try {
          if (form == 0) {
            s.lines.Serialize(ar);
            s.arcs.Serialize(ar);
            s.circles.Serialize(ar);
          } else {
            WriteShapeLists(ar, f);
          }
          ar.Close();
        } catch (const CArchiveException&) {
          outcome[form] = "out of indices, then ";
        }
      }  // the bytes put before a failure go out here
      outcome[form] += ToHex(file.m_strBytes);
      writes[form] = file.m_writes;
    }
    EXPECT_EQ(outcome[1], outcome[0]) << c.buffer << " " << c.limit;
    EXPECT_EQ(writes[1], writes[0]) << c.buffer << " " << c.limit;
  }
}

TEST(SmlFileTest, EmptySymbolKeepsTheStartingExtents) {
  CSymbol empty;  // as the reader leaves a text without shapes
  empty.origin = CPrecisionPoint(-999999999.0, 999999999.0, 0.0);
  std::string bytes = EncodeSml(empty, "E");
  ASSERT_EQ(bytes.size(), 231u + 1);
  EXPECT_EQ(ToHex(bytes.substr(21, 6)), "00 00 00 00 00 00");
  EXPECT_EQ(DoubleAt(bytes, 27 + 32), -1999999998.0);  // height
  EXPECT_EQ(DoubleAt(bytes, 27 + 40), -1999999998.0);  // width
  EXPECT_EQ(DoubleAt(bytes, bytes.size() - 24), -999999999.0);
  EXPECT_EQ(DoubleAt(bytes, bytes.size() - 16), 999999999.0);
}

TEST(SmlFileTest, OutputPathAndSymbolName) {
  struct Case {
    const char* source;
    char separator;
    const char* output;
    const char* name;
  };
  const Case cases[] = {
      {"C:\\SYM\\BOX.SYM", '\\', "C:\\SYM\\BOX.SML", "BOX"},
      {"BOX.SYM", '\\', "BOX.SML", "BOX"},
      {"/d/VALVE.SYM", '/', "/d/VALVE.SML", "VALVE"},
      {"/d/A.B.SYM", '/', "/d/A.B.SML", "A.B"},
      // A DXF block with an empty name.
      {"C:\\SYM\\.SYM", '\\', "C:\\SYM\\.SML", ""},
      // Only the platform's own separator ends a folder.
      {"C:\\a/b.SYM", '\\', "C:\\a/b.SML", "a/b"},
      {"/a\\b.sym", '/', "/a\\b.SML", "a\\b"},
      {"ab", '/', ".SML", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SmlOutputPath(c.source), c.output) << c.source;
    EXPECT_EQ(SmlSymbolName(c.source, c.separator), c.name) << c.source;
  }
}

TEST(SmlFileTest, WriteSmlFileWritesNextToTheSource) {
  struct Case {
    char separator;
    const char* source;
    const char* output;
  };
  const Case cases[] = {
      {'/', "/d/BOX.SYM", "/d/BOX.SML"},
      {'\\', "C:\\SYM\\BOX.SYM", "C:\\SYM\\BOX.SML"},
  };
  for (const Case& c : cases) {
    CFakePlatform platform(c.separator);
    platform.PutFile(c.source, "source");
    platform.PutFile(c.output, "an earlier file");
    WriteSmlFile(platform, c.source, Box());
    std::optional<std::string> bytes = platform.FileBytes(c.output);
    ASSERT_TRUE(bytes.has_value()) << c.output;
    EXPECT_EQ(ToHex(*bytes), ToHex(FromHex(kBoxHex)));
    EXPECT_EQ(platform.FilePaths(),
              (std::vector<std::string>{platform.Normalise(c.output),
                                        platform.Normalise(c.source)}));
  }
}

// An earlier .SML of the same name survives every failure untouched, and no
// temporary is left behind.
TEST(SmlFileTest, FailedWriteLeavesTheEarlierFileIntact) {
  struct Case {
    const char* what;
    std::optional<FakeFileOp> op;
    int nth;
    std::optional<std::size_t> short_write;
  };
  const Case cases[] = {
      {"create fails", FakeFileOp::kCreate, 1, std::nullopt},
      {"first write fails", FakeFileOp::kWrite, 1, std::nullopt},
      {"write halfway fails", FakeFileOp::kWrite, 2, std::nullopt},
      {"disk full halfway", std::nullopt, 0, 1000},
      {"close fails", FakeFileOp::kClose, 1, std::nullopt},
      {"rename fails", FakeFileOp::kRename, 1, std::nullopt},
  };
  // Written from the symbol, and from its bytes encoded ahead.
  for (const bool encoded : {false, true}) {
    for (bool earlier : {true, false}) {
      for (const Case& c : cases) {
        CFakePlatform platform('/');
        if (earlier) platform.PutFile("/d/BIG.SML", "earlier bytes");
        if (c.op) platform.FailOperation(*c.op, c.nth);
        platform.SetShortWrite(c.short_write);
        // 100 lines: more than one buffer, so the file sees several writes.
        CSymbol big;
        for (int i = 0; i < 100; ++i) big.lines.Add(std::make_unique<CLine>());
        try {
          if (encoded) {
            std::vector<std::size_t> writes;
            const std::string bytes = EncodeSmlFile("BIG", big, &writes);
            WriteSmlBytes(platform, "/d/BIG.SML", bytes, writes);
          } else {
            WriteSmlFile(platform, "/d/BIG.SYM", big);
          }
          ADD_FAILURE() << c.what << ": no file error";
        } catch (const CFileException& e) {
          EXPECT_EQ(e.m_strFileName, "/d/BIG.SML") << c.what;
        }
        std::vector<std::string> expected_paths;
        if (earlier) {
          expected_paths.push_back("/d/BIG.SML");
          EXPECT_EQ(platform.FileBytes("/d/BIG.SML"), "earlier bytes")
              << c.what;
        }
        EXPECT_EQ(platform.FilePaths(), expected_paths) << c.what;
      }
    }
  }
}

}  // namespace

#include "dxf/block_extractor.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "symbol/premature_end.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace std::string_literals;

// Records what the extraction reports, in order: "block NAME" followed by
// the SYM text, and "trace TAG".
class CRecorder : public CDxfBlockHandler {
 public:
  void OnBlock(const std::string& name, const std::string& sym_text) override {
    m_events.push_back("block " + name);
    m_events.push_back(sym_text);
  }
  void OnTrace(const char* tag) override {
    m_events.push_back(std::string("trace ") + tag);
  }
  std::vector<std::string> m_events;
};

// A DXF text from its lines written with '|' between them; every line is
// ended by eol. With pad, code lines are right-aligned in three columns as
// DXF writers put them.
std::string Dxf(std::string_view lines, std::string_view eol = "\n",
                bool pad = false) {
  std::string text;
  bool code_line = true;
  for (std::size_t start = 0;;) {
    const std::size_t bar = lines.find('|', start);
    const std::string_view line = lines.substr(start, bar - start);
    if (pad && code_line && line.size() < 3) text.append(3 - line.size(), ' ');
    text.append(line);
    text.append(eol);
    code_line = !code_line;
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return text;
}

constexpr std::string_view kHeader =
    "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n";

// The SYM text of a block: the header line and the records.
std::string Sym(std::initializer_list<std::string_view> records) {
  std::string text(kHeader);
  for (std::string_view record : records) {
    text.append(record);
    text.push_back('\n');
  }
  return text;
}

// The worked example: a line, a circle and an arc in a block VALVE.
constexpr std::string_view kValve =
    "0|SECTION|2|HEADER|9|$INSBASE|10|0.0|20|0.0|30|0.0|0|ENDSEC|"
    "0|SECTION|2|BLOCKS|"
    "0|BLOCK|5|1F|8|0|2|VALVE|70|0|10|0.0|20|0.0|30|0.0|3|VALVE|1||"
    "0|LINE|5|20|8|0|10|0.0|20|0.0|30|0.0|11|10.0|21|5.0|31|0.0|"
    "0|CIRCLE|5|21|8|0|10|2.0|20|3.0|30|0.0|40|1.0|"
    "0|ARC|5|22|8|0|10|1.0|20|2.0|30|0.0|40|3.0|50|0.0|51|90.0|"
    "0|ENDBLK|5|23|8|0|0|ENDSEC|0|EOF";

const std::string kValveSym =
    Sym({"L 0.000000 -0.000000 0.000000 10.000000 -5.000000 0.000000",
         "C 2.000000 -3.000000 0.000000 1.000000",
         "A 1.000000 -2.000000 0.000000 0.000000 90.000000 3.000000"});

TEST(ConvertDxfTextTest, WorkedExampleInEveryLineForm) {
  const struct {
    std::string_view eol;
    bool pad;
  } forms[] = {{"\n", false}, {"\r\n", false}, {"\n", true}, {"\r\n", true}};
  for (const auto& form : forms) {
    CRecorder recorder;
    EXPECT_TRUE(ConvertDxfText(Dxf(kValve, form.eol, form.pad), recorder));
    EXPECT_THAT(recorder.m_events, ElementsAre("block VALVE", kValveSym))
        << "CR LF " << (form.eol.size() == 2) << " padded " << form.pad;
  }
}

struct CExtractCase {
  const char* what;
  std::string lines;  // between (2, BLOCKS) and (0, ENDSEC)
  std::vector<std::string> events;
};

// Blocks whose groups a line-by-line search would misread.
TEST(ConvertDxfTextTest, ReadsGroupByGroup) {
  const CExtractCase cases[] = {
      {"handles 10 and 21 are values, not codes",
       "0|BLOCK|5|10|2|B|70|0|10|0|20|0|30|0|"
       "0|LINE|5|10|8|0|10|1|20|2|30|3|11|4|21|5|31|6|"
       "0|CIRCLE|5|21|10|7|20|8|30|9|40|1.5|0|ENDBLK|5|21",
       {"block B",
        Sym({"L 1.000000 -2.000000 3.000000 4.000000 -5.000000 6.000000",
             "C 7.000000 -8.000000 9.000000 1.500000"})}},
      {"colour 10 and layers named 10 and LINE",
       "0|BLOCK|8|LINE|2|B|70|0|10|0|20|0|30|0|"
       "0|CIRCLE|62|10|8|10|10|2|20|3|30|0|40|1|"
       "0|ARC|8|LINE|62|10|10|1|20|2|30|0|40|3|50|0|51|90|"
       "0|TEXT|8|CIRCLE|1|ARC|10|5|20|5|30|0|40|2.5|0|ENDBLK",
       {"block B", Sym({"C 2.000000 -3.000000 0.000000 1.000000",
                        "A 1.000000 -2.000000 0.000000 0.000000 90.000000 "
                        "3.000000"})}},
      {"missing z and angle groups read 0.0, not the next entity's values",
       "0|BLOCK|2|B|70|0|10|0|20|0|"
       "0|LINE|8|0|10|1|20|2|11|3|21|4|"
       "0|ARC|10|5|20|6|40|7|50|30|"
       "0|CIRCLE|10|8|20|9|30|31|40|51|0|ENDBLK",
       {"block B",
        Sym({"L 1.000000 -2.000000 0.000000 3.000000 -4.000000 0.000000",
             "A 5.000000 -6.000000 0.000000 30.000000 0.000000 7.000000",
             "C 8.000000 -9.000000 31.000000 51.000000"})}},
      {"the first group of a code wins; values read as atof reads them",
       "0|BLOCK|2|B|3|other|2|second|0|"
       "CIRCLE|10|1.5e2|10|99|20|12,5|30|x|40|-0|0|ENDBLK",
       {"block B", Sym({"C 150.000000 -12.000000 0.000000 -0.000000"})}},
      {"a polyline with its vertices gives no record",
       "0|BLOCK|2|B|70|0|10|0|20|0|30|0|"
       "0|POLYLINE|8|0|66|1|10|0|20|0|30|0|"
       "0|VERTEX|8|0|10|1|20|1|30|0|0|VERTEX|8|0|10|2|20|2|30|0|"
       "0|SEQEND|8|0|0|LINE|10|-1|20|-2|30|-3|11|0|21|0|31|0|0|ENDBLK",
       {"block B",
        Sym({"L -1.000000 2.000000 -3.000000 0.000000 -0.000000 0.000000"})}},
  };
  for (const auto& c : cases) {
    CRecorder recorder;
    const std::string text =
        Dxf("0|SECTION|2|BLOCKS|" + c.lines + "|0|ENDSEC|0|EOF");
    EXPECT_TRUE(ConvertDxfText(text, recorder)) << c.what;
    EXPECT_THAT(recorder.m_events, ElementsAreArray(c.events)) << c.what;
  }
}

// Which blocks are reported, and where the section ends.
TEST(ConvertDxfTextTest, BlocksAndSectionEnd) {
  const CExtractCase cases[] = {
      {"model and paper space and '*' names are skipped, $model_space not",
       "0|BLOCK|2|$MODEL_SPACE|70|0|10|0|20|0|30|0|"
       "0|LINE|10|1|20|1|30|0|11|2|21|2|31|0|0|ENDBLK|"
       "0|BLOCK|2|$PAPER_SPACE|70|0|10|0|20|0|30|0|0|ENDBLK|"
       "0|BLOCK|2|*U1|70|1|10|0|20|0|30|0|"
       "0|CIRCLE|10|1|20|1|30|0|40|1|0|ENDBLK|"
       "0|BLOCK|2|*Model_Space|70|0|10|0|20|0|30|0|0|ENDBLK|"
       "0|BLOCK|2|$model_space|70|0|10|0|20|0|30|0|"
       "0|CIRCLE|10|1|20|1|30|0|40|1|0|ENDBLK",
       {"block $model_space", Sym({"C 1.000000 -1.000000 0.000000 1.000000"})}},
      {"an empty block is reported with the header line alone",
       "0|BLOCK|2|EMPTY|70|0|10|0|20|0|30|0|0|ENDBLK|"
       "0|BLOCK|2|NEXT|70|0|10|0|20|0|30|0|"
       "0|INSERT|2|EMPTY|10|0|20|0|30|0|0|ENDBLK",
       {"block EMPTY", Sym({}), "block NEXT", Sym({})}},
      {"a header without a name gives the empty name",
       "0|BLOCK|70|0|10|0|20|0|30|0|0|ENDBLK",
       {"block ", Sym({})}},
      {"ENDSEC right after a skipped block",
       "0|BLOCK|2|$PAPER_SPACE|70|0|10|0|20|0|30|0|0|ENDSEC|"
       "0|SECTION|2|ENTITIES|0|LINE|10|1|20|1|30|0|11|2|21|2|31|0",
       {}},
      {"ENDSEC in a section without blocks",
       "0|ENDSEC|0|SECTION|2|ENTITIES|0|LINE|2|NOTABLOCK|0|ENDSEC|0|"
       "SECTION|2|BLOCKS|0|BLOCK|2|LATE|0|ENDBLK",
       {}},
      {"ENDSEC ends a block that lacks its ENDBLK",
       "0|BLOCK|2|B|0|CIRCLE|10|1|20|1|30|0|40|1|0|ENDSEC|"
       "0|SECTION|2|ENTITIES|0|LINE|10|1|20|1|30|0|11|2|21|2|31|0",
       {"block B", Sym({"C 1.000000 -1.000000 0.000000 1.000000"})}},
      {"NUL bytes are kept and read past",
       "0|BLOCK|2|A\0B|0|LINE|8|\0\0|10|1|20|2|30|3|11|4|21|5|31|6|0|ENDBLK"s,
       {"block A\0B"s,
        Sym({"L 1.000000 -2.000000 3.000000 4.000000 -5.000000 6.000000"})}},
  };
  for (const auto& c : cases) {
    CRecorder recorder;
    const std::string text =
        Dxf("0|SECTION|2|BLOCKS|" + c.lines + "|0|ENDSEC|0|EOF");
    EXPECT_TRUE(ConvertDxfText(text, recorder)) << c.what;
    EXPECT_THAT(recorder.m_events, ElementsAreArray(c.events)) << c.what;
  }
}

TEST(ConvertDxfTextTest, FindsTheBlocksSectionByItsName) {
  const struct {
    const char* what;
    std::string_view lines;
    bool found;
    std::vector<std::string> events;
  } cases[] = {
      {"no BLOCKS section",
       "0|SECTION|2|ENTITIES|0|LINE|8|BLOCKS|0|ENDSEC|0|EOF",
       false,
       {}},
      {"EOF first, blocks after it",
       "0|EOF|0|SECTION|2|BLOCKS|0|BLOCK|2|B|0|ENDBLK|0|ENDSEC",
       false,
       {}},
      {"a layer named BLOCKS and a value EOF in the tables",
       "0|SECTION|2|TABLES|0|TABLE|2|LAYER|0|LAYER|2|BLOCKS|6|EOF|"
       "0|ENDTAB|0|ENDSEC|0|SECTION|2|BLOCKS|0|BLOCK|2|B|10|0|20|0|"
       "0|CIRCLE|10|1|20|2|40|3|0|ENDBLK|0|ENDSEC|0|EOF",
       true,
       {"block B", Sym({"C 1.000000 -2.000000 0.000000 3.000000"})}},
  };
  for (const auto& c : cases) {
    CRecorder recorder;
    EXPECT_EQ(ConvertDxfText(Dxf(c.lines), recorder), c.found) << c.what;
    EXPECT_THAT(recorder.m_events, ElementsAreArray(c.events)) << c.what;
  }
}

TEST(ConvertDxfTextTest, PrematureEndKeepsTheBlocksReported) {
  const std::string first =
      "0|SECTION|2|BLOCKS|0|BLOCK|2|FIRST|0|CIRCLE|10|1|20|1|40|1|0|ENDBLK|";
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"truncated inside an entity",
       Dxf(first + "0|BLOCK|2|SECOND|0|LINE|10|1|20") + "1"},
      {"code line without value line",
       Dxf(first + "0|BLOCK|2|SECOND|0|LINE|10")},
      {"block without ENDBLK", Dxf(first + "0|BLOCK|2|SECOND|0|LINE|10|1")},
      {"section without ENDSEC", Dxf(first + "0|EOF")},
      {"no LF after ENDSEC", Dxf(first + "0") + "ENDSEC"},
  };
  for (const auto& c : cases) {
    CRecorder recorder;
    EXPECT_THROW(ConvertDxfText(c.text, recorder), CPrematureEndException)
        << c.what;
    EXPECT_THAT(recorder.m_events,
                ElementsAre("block FIRST",
                            Sym({"C 1.000000 -1.000000 0.000000 1.000000"})))
        << c.what;
  }
  for (std::string_view text : {"", "0\nSECTION\n2\nHEADER\n", "0\nEOF"}) {
    CRecorder recorder;
    EXPECT_THROW(ConvertDxfText(text, recorder), CPrematureEndException)
        << text;
  }
}

TEST(ConvertDxfTextTest, TraceCheckpoints) {
  const CExtractCase cases[] = {
      {"block header",
       "0|BLOCK|IT'S ME|x|8|IT'S ME|2|B|999|IT'S ME|70|IT'S ME|"
       "999|IT'S ME|10|0|999|IT'S ME|20|0|999|IT'S ME|30|0|999|IT'S ME|"
       "0|ENDBLK",
       {"trace 1", "trace 2", "trace 4", "trace 5", "trace getxyz1",
        "trace getxyz5", "block B", Sym({})}},
      {"line: marker before x, between x and y, before z; values unchanged",
       "0|BLOCK|2|B|0|LINE|8|IT'S ME|10|1|999|IT'S ME|20|2|999|IT'S ME|"
       "30|3|999|IT'S ME|11|4|21|5|999|IT'S ME|31|6|999|IT'S ME|0|ENDBLK",
       {"trace getxyz1", "trace getxyz5", "trace getxyz1", "trace getxyz5",
        "block B",
        Sym({"L 1.000000 -2.000000 3.000000 4.000000 -5.000000 6.000000"})}},
      {"arc and circle: radius and angles",
       "0|BLOCK|2|B|0|ARC|10|1|20|2|30|0|999|IT'S ME|40|3|999|IT'S ME|"
       "50|0|51|90|0|CIRCLE|10|2|20|3|30|0|40|1|999|IT'S ME|0|ENDBLK",
       {"trace getFloat1", "trace getFloat1", "block B",
        Sym({"A 1.000000 -2.000000 0.000000 0.000000 90.000000 3.000000",
             "C 2.000000 -3.000000 0.000000 1.000000"})}},
      {"values, skipped blocks and other entities are not compared",
       "0|BLOCK|2|*U1|8|IT'S ME|0|LINE|8|IT'S ME|0|ENDBLK|"
       "0|BLOCK|2|IT'S ME|0|TEXT|8|IT'S ME|0|CIRCLE|40|1|10|IT'S ME|0|ENDBLK",
       {"block IT'S ME", Sym({"C 0.000000 -0.000000 0.000000 1.000000"})}},
  };
  for (const auto& c : cases) {
    CRecorder recorder;
    const std::string text =
        Dxf("0|SECTION|2|BLOCKS|" + c.lines + "|0|ENDSEC|0|EOF");
    EXPECT_TRUE(ConvertDxfText(text, recorder)) << c.what;
    EXPECT_THAT(recorder.m_events, ElementsAreArray(c.events)) << c.what;
  }
}

}  // namespace

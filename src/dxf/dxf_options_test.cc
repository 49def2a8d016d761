// The extraction with its options: polylines, drawings, mirrored and tilted
// entities, and the counts of what was passed over.

#include <string>
#include <string_view>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dxf/block_extractor.h"
#include "dxf/dxf_test_support.h"
#include "dxf/passed_over.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// A text whose BLOCKS section holds one block B of the given entities.
std::string BlockDxf(std::string_view entities) {
  return Lines("0|SECTION|2|BLOCKS|0|BLOCK|2|B|70|0|10|0|20|0|30|0|" +
               std::string(entities) + "|0|ENDBLK|0|ENDSEC|0|EOF");
}

// The events of block B's entities.
std::vector<std::string> Convert(std::string_view entities,
                                 CDxfOptions options) {
  CRecorder recorder;
  EXPECT_TRUE(ConvertDxfText(BlockDxf(entities), recorder, options));
  return recorder.m_events;
}

// The SYM text that block B of these entities gives by default.
std::string SymOf(std::string_view entities) {
  const std::vector<std::string> events = Convert(entities, CDxfOptions());
  return events.size() >= 2 ? events[1] : std::string();
}

constexpr CDxfOptions kPolylines = {.drawings = false, .polylines = true};

// Each entity list, converted with the polylines option, gives exactly the
// SYM text of its twin made of LINE and ARC entities.
TEST(DxfOptionsTest, PolylinesReadAsTheirLinesAndArcs) {
  const struct {
    const char* what;
    std::string_view entities;
    std::string_view twin;
  } cases[] = {
      {"bulge 1: the half circle below (0,0)-(2,0)",
       "0|LWPOLYLINE|90|2|70|0|10|0|20|0|42|1|10|2|20|0",
       "0|ARC|10|1|20|0|30|0|40|1|50|180|51|0"},
      {"bulge -1: the half circle above",
       "0|LWPOLYLINE|90|2|70|0|10|0|20|0|42|-1|10|2|20|0",
       "0|ARC|10|1|20|0|30|0|40|1|50|0|51|180"},
      {"closed, with the closing segment bent, at elevation 3",
       "0|LWPOLYLINE|90|4|70|1|38|3|10|0|20|0|10|2|20|0|42|1|10|2|20|2|"
       "10|0|20|2|42|-1",
       "0|LINE|10|0|20|0|30|3|11|2|21|0|31|3|"
       "0|ARC|10|2|20|1|30|3|40|1|50|270|51|90|"
       "0|LINE|10|2|20|2|30|3|11|0|21|2|31|3|"
       "0|ARC|10|0|20|1|30|3|40|1|50|270|51|90"},
      {"zero-length segments give nothing",
       "0|LWPOLYLINE|90|4|70|1|10|0|20|0|42|1|10|0|20|0|10|1|20|0|10|0|20|0",
       "0|LINE|10|0|20|0|11|1|21|0|0|LINE|10|1|20|0|11|0|21|0"},
      {"2-D POLYLINE: its own elevation; a spline frame vertex left out",
       "0|POLYLINE|66|1|10|0|20|0|30|3|70|1|"
       "0|VERTEX|10|0|20|0|30|0|0|VERTEX|10|2|20|0|42|1|"
       "0|VERTEX|10|9|20|9|70|16|0|VERTEX|10|2|20|2|"
       "0|VERTEX|10|0|20|2|42|-1|0|SEQEND|0|LINE|10|5|20|5|11|6|21|6",
       "0|LINE|10|0|20|0|30|3|11|2|21|0|31|3|"
       "0|ARC|10|2|20|1|30|3|40|1|50|270|51|90|"
       "0|LINE|10|2|20|2|30|3|11|0|21|2|31|3|"
       "0|ARC|10|0|20|1|30|3|40|1|50|270|51|90|"
       "0|LINE|10|5|20|5|11|6|21|6"},
      {"a POLYLINE without SEQEND ends at the next entity, or the block's end",
       "0|POLYLINE|70|0|0|VERTEX|10|0|20|0|0|VERTEX|10|1|20|0|"
       "0|CIRCLE|10|0|20|0|40|1|0|POLYLINE|0|VERTEX|10|0|20|0|"
       "0|VERTEX|10|0|20|1",
       "0|LINE|10|0|20|0|11|1|21|0|0|CIRCLE|10|0|20|0|40|1|"
       "0|LINE|10|0|20|0|11|0|21|1"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(Convert(c.entities, kPolylines),
                ElementsAre("block B", SymOf(c.twin)))
        << c.what;
  }
  // The exact record of the half circle.
  EXPECT_EQ(SymOf("0|ARC|10|1|20|0|30|0|40|1|50|180|51|0"),
            "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n"
            "A 1.000000 -0.000000 0.000000 180.000000 0.000000 1.000000\n");
}

// An ARC, CIRCLE, LWPOLYLINE or POLYLINE of extrusion (0, 0, -1) gives the
// text of its unmirrored twin: x and z negated, arc angles 180 - end and
// 180 - start. A LINE keeps its points.
TEST(DxfOptionsTest, MirroredEntitiesReadAsTheirWorldTwins) {
  const struct {
    const char* what;
    std::string_view mirrored;
    std::string_view twin;
  } cases[] = {
      {"arc", "0|ARC|10|3|20|4|30|5|40|2|50|30|51|100|210|0|220|0|230|-1",
       "0|ARC|10|-3|20|4|30|-5|40|2|50|80|51|150"},
      {"arc across 0 degrees, extrusion nearly -z",
       "0|ARC|10|0|20|4|40|2|50|0|51|270|210|1e-13|230|-1.0",
       "0|ARC|10|0|20|4|40|2|50|270|51|180"},
      {"circle", "0|CIRCLE|10|3|20|4|30|5|40|2|230|-1",
       "0|CIRCLE|10|-3|20|4|30|-5|40|2"},
      {"circle at x 0", "0|CIRCLE|10|0|20|4|40|2|230|-2",
       "0|CIRCLE|10|0|20|4|40|2"},
      {"lwpolyline", "0|LWPOLYLINE|38|2|10|1|20|0|42|0.5|10|3|20|1|230|-1",
       "0|LWPOLYLINE|38|-2|10|-1|20|0|42|-0.5|10|-3|20|1"},
      {"polyline",
       "0|POLYLINE|30|2|230|-1|0|VERTEX|10|1|20|0|42|1|0|VERTEX|10|3|20|0|"
       "0|SEQEND",
       "0|ARC|10|-2|20|0|30|-2|40|1|50|180|51|0"},
      {"line", "0|LINE|10|1|20|2|30|3|11|4|21|5|31|6|230|-1",
       "0|LINE|10|1|20|2|30|3|11|4|21|5|31|6"},
      {"extrusion (0, 0, 1) written out", "0|CIRCLE|10|3|20|4|40|2|230|1",
       "0|CIRCLE|10|3|20|4|40|2"},
      {"the first of repeated extrusion groups",
       "0|CIRCLE|10|3|20|4|40|2|230|-1|210|0|230|1|210|1",
       "0|CIRCLE|10|-3|20|4|40|2"},
  };
  for (const auto& c : cases) {
    CRecorder twin;
    ConvertDxfText(BlockDxf(c.twin), twin, kPolylines);
    ASSERT_EQ(twin.m_events.size(), 2u) << c.what;
    EXPECT_THAT(Convert(c.mirrored, kPolylines),
                ElementsAreArray(twin.m_events))
        << c.what;
  }
}

TEST(DxfOptionsTest, PassedOverCountsPerBlock) {
  const struct {
    const char* what;
    std::string_view entities;
    CDxfOptions options;
    std::string counts;
  } cases[] = {
      {"polylines, inserts, texts; their VERTEX, ATTRIB and SEQEND not",
       "0|LWPOLYLINE|10|0|20|0|10|1|20|1|0|POLYLINE|0|VERTEX|0|SEQEND|"
       "0|INSERT|66|1|0|ATTRIB|0|SEQEND|0|TEXT|0|TEXT|0|LINE",
       {},
       "2 TEXT, 1 INSERT, 1 LWPOLYLINE, 1 POLYLINE"},
      {"tilted ones and 3-D polylines, with the polylines option",
       "0|ARC|40|1|210|0.6|230|0.8|0|ARC|40|1|210|1|"
       "0|CIRCLE|40|1|220|1|230|0|"
       "0|LWPOLYLINE|10|0|20|0|10|1|20|1|210|1|230|0|"
       "0|POLYLINE|70|8|0|VERTEX|10|0|20|0|0|VERTEX|10|1|20|1|0|SEQEND|"
       "0|POLYLINE|220|0.5|0|VERTEX|10|0|20|0|0|VERTEX|10|1|20|1|0|SEQEND|"
       "0|LINE",
       kPolylines,
       "2 ARC (tilted), 1 CIRCLE (tilted), 1 LWPOLYLINE (tilted), "
       "1 POLYLINE (3-D or mesh), 1 POLYLINE (tilted)"},
      {"more kinds than are looked for one by one",
       "0|A|0|B|0|C|0|D|0|E|0|F|0|G|0|H|0|I|"
       "0|A|0|B|0|C|0|D|0|E|0|F|0|G|0|H|0|I|0|I|0|LINE",
       {},
       "3 I, 2 A, 2 B, 2 C, 2 D, 2 E, 2 F, 2 G, 2 H"},
      {"dimensions and leaders, without the inserts option",
       "0|DIMENSION|2|*D1|0|LEADER|71|0|10|0|20|0|10|1|20|1|0|LINE",
       {},
       "1 DIMENSION, 1 LEADER"},
      {"dimensions and leaders that cannot be drawn, with it",
       "0|DIMENSION|2|*D1|0|DIMENSION|2|B|210|1|230|0|"
       "0|LEADER|72|1|10|0|20|0|10|1|20|1|0|LEADER|71|0|10|0|20|0|0|LINE",
       {.inserts = true},
       "1 DIMENSION (no such block), 1 DIMENSION (tilted), "
       "1 LEADER (no path), 1 LEADER (spline path)"},
  };
  for (const auto& c : cases) {
    // The LINE at the end is the only record.
    EXPECT_THAT(Convert(c.entities, c.options),
                ElementsAre("block B", SymOf("0|LINE"),
                            "passed over in B: " + c.counts))
        << c.what;
  }
}

const std::string kCircleSym =
    "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n"
    "C 1.000000 -2.000000 0.000000 3.000000\n";

// The drawing is the ENTITIES section, reported after the blocks, and only
// with the drawings option.
TEST(DxfOptionsTest, Drawings) {
  const std::string blocks =
      "0|SECTION|2|BLOCKS|0|BLOCK|2|*Model_Space|0|ENDBLK|"
      "0|BLOCK|2|B|0|CIRCLE|10|1|20|2|40|3|0|ENDBLK|0|ENDSEC|";
  const std::string entities =
      "0|SECTION|2|ENTITIES|0|CIRCLE|10|1|20|2|40|3|0|MTEXT|1|x|0|ENDSEC|";
  const struct {
    const char* what;
    std::string lines;
    bool found_by_default;
    std::vector<std::string> events;  // with the drawings option
  } cases[] = {
      {"blocks, then the drawing",
       "0|SECTION|2|HEADER|0|ENDSEC|" + blocks + entities +
           "0|SECTION|2|OBJECTS|0|ENDSEC|0|EOF",
       true,
       {"block B", kCircleSym, "drawing", kCircleSym,
        "passed over in drawing: 1 MTEXT"}},
      {"a drawing alone",
       entities + "0|EOF",
       false,
       {"drawing", kCircleSym, "passed over in drawing: 1 MTEXT"}},
      {"the drawing first",
       entities + blocks + "0|EOF",
       true,
       {"drawing", kCircleSym, "passed over in drawing: 1 MTEXT", "block B",
        kCircleSym}},
      {"a drawing of nothing to convert is not reported",
       "0|SECTION|2|ENTITIES|0|TEXT|0|TEXT|0|ENDSEC|0|EOF",
       false,
       {"passed over in drawing: 2 TEXT"}},
      {"EOF ends a section that lacks its ENDSEC",
       "0|SECTION|2|ENTITIES|999|x|0|CIRCLE|10|1|20|2|40|3|0|EOF",
       false,
       {"drawing", kCircleSym}},
  };
  for (const auto& c : cases) {
    const std::string text = Lines(c.lines);
    CRecorder by_default;
    EXPECT_EQ(ConvertDxfText(text, by_default), c.found_by_default) << c.what;
    // Without the option the ENTITIES section is not read at all.
    for (const std::string& event : by_default.m_events) {
      EXPECT_NE(event, "drawing") << c.what;
    }
    CRecorder recorder;
    EXPECT_TRUE(ConvertDxfText(text, recorder, {.drawings = true})) << c.what;
    EXPECT_THAT(recorder.m_events, ElementsAreArray(c.events)) << c.what;
  }
}

TEST(PassedOverTest, FormatsByDescendingCountThenName) {
  CPassedOver counts = {{"TEXT", 2}, {"MTEXT", 605}, {"HATCH", 2}};
  AddPassedOver(counts, {{"LWPOLYLINE", 344}, {"TEXT", 1}, {"", 1}});
  EXPECT_EQ(FormatPassedOver(counts),
            "605 MTEXT, 344 LWPOLYLINE, 3 TEXT, 2 HATCH, 1 (unnamed)");
  EXPECT_TRUE(HasConvertiblePolylines(counts));
  EXPECT_FALSE(HasConvertiblePolylines({{"POLYLINE (3-D or mesh)", 1}}));
  EXPECT_EQ(FormatPassedOver({}), "");
}

}  // namespace

#include "preview/symbol_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "archive/archive_writer.h"
#include "platform/platform.h"
#include "sml/sml_file.h"
#include "support/sml_bytes.h"
#include "support/sym_text.h"
#include "support/symbol_builders.h"

namespace {

TEST(SourceKindOf, GoesByTheExtensionInAnyCase) {
  EXPECT_EQ(SourceKindOf("A.SML"), SourceKind::kSml);
  EXPECT_EQ(SourceKindOf("a.sml"), SourceKind::kSml);
  EXPECT_EQ(SourceKindOf("B.Sym"), SourceKind::kSym);
  EXPECT_EQ(SourceKindOf("parts.dxf"), SourceKind::kDxf);
  EXPECT_EQ(SourceKindOf("SML"), SourceKind::kOther);
  EXPECT_EQ(SourceKindOf("notes.txt"), SourceKind::kOther);
}

// A lone circle: the conversion moves it right and up into the corner.
TEST(LoadSymbols, GivesASymTextAsItsSmlFileWouldHoldIt) {
  const auto loaded =
      LoadSymbols("RING.SYM", std::string(kSymHeader) + "C 0 0 0 1\n");
  ASSERT_EQ(loaded.size(), 1u);
  ASSERT_TRUE(loaded[0].symbol) << loaded[0].error;
  const CSymbol& s = *loaded[0].symbol;
  EXPECT_EQ(loaded[0].name, "RING");
  EXPECT_EQ(s.name, "RING");
  ASSERT_EQ(s.circles.GetSize(), 1u);
  EXPECT_EQ(s.circles[0]->points[0]->x, 1.0);
  EXPECT_EQ(s.circles[0]->points[0]->y, -1.0);
  EXPECT_EQ(s.minX, 0.0);
  EXPECT_EQ(s.minY, -2.0);
  EXPECT_EQ(s.maxX, 2.0);
  EXPECT_EQ(s.maxY, 0.0);
  EXPECT_EQ(s.origin.x, 1.0);
  EXPECT_EQ(s.origin.y, -1.0);
}

TEST(LoadSymbols, GivesEachDxfBlock) {
  const std::string dxf =
      "0\nSECTION\n2\nBLOCKS\n"
      "0\nBLOCK\n2\n$MODEL_SPACE\n70\n0\n10\n0\n20\n0\n30\n0\n0\nENDBLK\n"
      "0\nBLOCK\n2\nVALVE\n70\n0\n10\n0\n20\n0\n30\n0\n"
      "0\nLINE\n10\n0\n20\n0\n30\n0\n11\n10\n21\n5\n31\n0\n0\nENDBLK\n"
      "0\nBLOCK\n2\nEMPTY\n70\n0\n10\n0\n20\n0\n30\n0\n0\nENDBLK\n"
      "0\nBLOCK\n2\nRING\n70\n0\n10\n0\n20\n0\n30\n0\n"
      "0\nCIRCLE\n10\n2\n20\n3\n30\n0\n40\n1\n0\nENDBLK\n"
      "0\nENDSEC\n0\nEOF\n";
  const auto loaded = LoadSymbols("PARTS.DXF", dxf);
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[0].name, "VALVE");
  ASSERT_TRUE(loaded[0].symbol);
  EXPECT_EQ(loaded[0].symbol->lines.GetSize(), 1u);
  EXPECT_EQ(loaded[0].symbol->minY, -5.0);  // DXF y turned downward
  EXPECT_EQ(loaded[1].name, "EMPTY");
  EXPECT_FALSE(loaded[1].symbol);
  EXPECT_NE(loaded[1].error.find("header line alone"), std::string::npos);
  EXPECT_EQ(loaded[2].name, "RING");
  ASSERT_TRUE(loaded[2].symbol);
  EXPECT_EQ(loaded[2].symbol->circles.GetSize(), 1u);

  // As the conversion's options ask: the drawing, and polylines in it.
  CDxfOptions options;
  options.drawings = true;
  options.polylines = true;
  const auto more =
      LoadSymbols("PARTS.DXF",
                  dxf.substr(0, dxf.find("0\nEOF")) +
                      "0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n90\n2\n70\n0\n"
                      "10\n0\n20\n0\n10\n3\n20\n4\n0\nENDSEC\n0\nEOF\n",
                  options);
  ASSERT_EQ(more.size(), 4u);
  EXPECT_TRUE(more[3].drawing);
  EXPECT_EQ(more[3].name, "PARTS");
  ASSERT_TRUE(more[3].symbol) << more[3].error;
  EXPECT_EQ(more[3].symbol->lines.GetSize(), 1u);
}

TEST(LoadSymbols, ReportsWhatCannotBeShown) {
  const struct {
    const char* file;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"ONE.SYM", kSymHeader, "header line alone"},
      {"NOLF.SYM", "L 0 0 0 1 1 0", "Premature end of file!"},
      {"NONE.DXF", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n",
       "no BLOCKS section"},
      {"CUT.DXF", "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nX\n",
       "Premature end of file!"},
      {"BAD.SML", "\x0DKROWinSymbol2", "offset 0: expected the magic"},
      {"README.TXT", "hello", "not a symbol file"},
  };
  for (const auto& c : cases) {
    const auto loaded = LoadSymbols(c.file, c.bytes);
    ASSERT_FALSE(loaded.empty()) << c.file;
    EXPECT_FALSE(loaded.back().symbol) << c.file;
    EXPECT_NE(loaded.back().error.find(c.error), std::string::npos)
        << c.file << ": " << loaded.back().error;
  }
  EXPECT_EQ(LoadSymbols("BAD.SML", "\x0DKROWinSymbol2")[0].offset, 0u);
}

TEST(LoadSymbols, DecodesAnSmlFile) {
  CSymbol box;
  AddLine(&box, 0, 0, 2, -1);
  box.minX = 0;
  box.minY = -1;
  box.maxX = 2;
  box.maxY = 0;
  box.origin = CPrecisionPoint(0, 1, 0);
  const auto loaded = LoadSymbols("box.sml", EncodeSml(box, "BOXNAME"));
  ASSERT_EQ(loaded.size(), 1u);
  ASSERT_TRUE(loaded[0].symbol) << loaded[0].error;
  EXPECT_EQ(loaded[0].name, "BOXNAME");
  EXPECT_EQ(loaded[0].symbol->lines[0]->end.x, 2.0);
}

}  // namespace

#ifndef SYMCONV_DXF_DXF_TEST_SUPPORT_H_
#define SYMCONV_DXF_DXF_TEST_SUPPORT_H_

// Builders shared by the extraction tests: DXF texts written compactly and
// a handler that records what the extraction reports.

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "dxf/block_extractor.h"
#include "dxf/passed_over.h"
#include "support/symbol_builders.h"
#include "support/symbol_forms.h"
#include "symbol/sym_symbol.h"

/// Expects the shapes handed over with a SYM text to be those that reading
/// the text gives, bit for bit, and to make the same .SML file.
inline void ExpectShapesOfText(const std::string& sym_text,
                               const CFlatSymbol& shapes) {
  CSymbol read;
  ReadSymText(sym_text, &read);
  EXPECT_EQ(ShapeBytes(shapes), ShapeBytes(read)) << sym_text;
  const auto [from_text, from_shapes] = SmlFilesOfBothForms(sym_text, shapes);
  EXPECT_EQ(from_shapes, from_text) << sym_text;
}

/// A handler that checks the shapes coming with each text against the text,
/// then takes the text as OnBlock or OnDrawing.
class CShapeCheckingHandler : public CDxfBlockHandler {
 public:
  void OnBlockShapes(const std::string& name, CSymTextWriter& block) override {
    ExpectShapesOfText(block.text(), block.symbol());
    OnBlock(name, block.text());
  }
  void OnDrawingShapes(CSymTextWriter& drawing) override {
    ExpectShapesOfText(drawing.text(), drawing.symbol());
    OnDrawing(drawing.text());
  }
};

/// Records every report as text: "block NAME" followed by its SYM text,
/// "drawing" followed by its SYM text, "passed over in NAME: COUNTS",
/// "failed NAME: REASON" and "trace TAG".
class CRecorder : public CShapeCheckingHandler {
 public:
  void OnBlock(const std::string& name, const std::string& sym_text) override {
    m_events.push_back("block " + name);
    m_events.push_back(sym_text);
  }
  void OnDrawing(const std::string& sym_text) override {
    m_events.push_back("drawing");
    m_events.push_back(sym_text);
  }
  void OnPassedOver(const std::string& name, bool drawing,
                    const CPassedOver& counts) override {
    m_events.push_back("passed over in " +
                       (drawing ? std::string("drawing") : name) + ": " +
                       FormatPassedOver(counts));
  }
  void OnFailed(const std::string& name, bool drawing,
                const std::string& reason) override {
    m_events.push_back("failed " + (drawing ? std::string("drawing") : name) +
                       ": " + reason);
  }
  void OnTrace(const char* tag) override {
    m_events.push_back(std::string("trace ") + tag);
  }
  std::vector<std::string> m_events;
};

/// Lines written with '|' between them, each ended by LF.
inline std::string Lines(std::string_view lines) {
  std::string text;
  for (char c : lines) text.push_back(c == '|' ? '\n' : c);
  return text + "\n";
}

#endif  // SYMCONV_DXF_DXF_TEST_SUPPORT_H_

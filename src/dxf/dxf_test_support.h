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
#include "support/shape_checking_handler.h"
#include "support/symbol_builders.h"
#include "symbol/sym_symbol.h"

/// The shape check of the extraction tests: a difference fails the test.
class CShapeExpectingHandler : public CShapeCheckingHandler {
 protected:
  void OnShapesDiffer(const std::string& how,
                      const std::string& sym_text) override {
    ADD_FAILURE() << how << ":\n" << sym_text;
  }
};

/// Records every report as text: "block NAME" followed by its SYM text,
/// "drawing" followed by its SYM text, "passed over in NAME: COUNTS",
/// "failed NAME: REASON" and "trace TAG".
class CRecorder : public CShapeExpectingHandler {
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

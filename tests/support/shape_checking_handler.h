#ifndef SYMCONV_TESTS_SUPPORT_SHAPE_CHECKING_HANDLER_H_
#define SYMCONV_TESTS_SUPPORT_SHAPE_CHECKING_HANDLER_H_

#include <string>

#include "dxf/block_extractor.h"
#include "dxf/sym_text_writer.h"
#include "support/symbol_forms.h"

/// A handler that checks the shapes coming with each text against the text
/// (see HowShapesDifferFromText), then takes the text as OnBlock or
/// OnDrawing. A difference goes to OnShapesDiffer: a test fails there, a
/// fuzz target reports a finding.
class CShapeCheckingHandler : public CDxfBlockHandler {
 public:
  void OnBlockShapes(const std::string& name, CSymTextWriter& block) override {
    check(block);
    OnBlock(name, block.text());
  }
  void OnDrawingShapes(CSymTextWriter& drawing) override {
    check(drawing);
    OnDrawing(drawing.text());
  }

 protected:
  virtual void OnShapesDiffer(const std::string& how,
                              const std::string& sym_text) = 0;

 private:
  void check(CSymTextWriter& writer) {
    const std::string how =
        HowShapesDifferFromText(writer.text(), writer.symbol());
    if (!how.empty()) OnShapesDiffer(how, writer.text());
  }
};

#endif  // SYMCONV_TESTS_SUPPORT_SHAPE_CHECKING_HANDLER_H_

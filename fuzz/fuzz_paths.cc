#include "fuzz/fuzz_paths.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "archive/archive_writer.h"
#include "dxf/block_extractor.h"
#include "platform/platform.h"
#include "sml/sml_file.h"
#include "sml/sml_reader.h"
#include "support/shape_checking_handler.h"
#include "support/sml_bytes.h"
#include "support/symbol_builders.h"
#include "symbol/line_reader.h"
#include "symbol/premature_end.h"
#include "symbol/sym_symbol.h"

namespace {

// The symbol name written for fuzzed SYM texts; any name does.
constexpr char kSymbolName[] = "FUZZ";

void Check(bool ok, const char* what) {
  if (!ok) throw CFuzzFinding(what);
}

// Names a shape for a failure message: "arc 3 point 1".
[[noreturn]] void Fail(const char* what, const char* shape, std::size_t i,
                       std::size_t point = SIZE_MAX) {
  std::string text = std::string(shape) + " " + std::to_string(i);
  if (point != SIZE_MAX) text += " point " + std::to_string(point);
  throw CFuzzFinding(text + ": " + what);
}

// Doubles are compared bit for bit: the file must hold exactly what was
// written, NaN payloads and negative zeros included.
bool SameBits(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

bool SamePoint(const CPrecisionPoint& a, const CPrecisionPoint& b) {
  return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}

void CheckPoints(const CPrecisionPointArray& a, const CPrecisionPointArray& b,
                 const char* shape, std::size_t i) {
  if (a.GetSize() != b.GetSize()) Fail("point count differs", shape, i);
  for (std::size_t k = 0; k < a.GetSize(); ++k) {
    if (a[k] == nullptr || b[k] == nullptr) Fail("null point", shape, i, k);
    if (!SamePoint(*a[k], *b[k])) Fail("point differs", shape, i, k);
  }
}

// The shapes and extents of two symbols, one as written and one as read.
void CheckSameSymbol(const CSymbol& w, const CSymbol& r) {
  Check(w.lines.GetSize() == r.lines.GetSize(), "line count differs");
  Check(w.arcs.GetSize() == r.arcs.GetSize(), "arc count differs");
  Check(w.circles.GetSize() == r.circles.GetSize(), "circle count differs");
  for (std::size_t i = 0; i < w.lines.GetSize(); ++i) {
    const CLine& a = *w.lines[i];
    const CLine& b = *r.lines[i];
    if (!SamePoint(a.start, b.start) || !SamePoint(a.end, b.end) ||
        a.attribute != b.attribute) {
      Fail("differs", "line", i);
    }
  }
  for (std::size_t i = 0; i < w.arcs.GetSize(); ++i) {
    CheckPoints(w.arcs[i]->points, r.arcs[i]->points, "arc", i);
  }
  for (std::size_t i = 0; i < w.circles.GetSize(); ++i) {
    CheckPoints(w.circles[i]->points, r.circles[i]->points, "circle", i);
    if (!SameBits(w.circles[i]->radius, r.circles[i]->radius)) {
      Fail("radius differs", "circle", i);
    }
  }
  Check(SameBits(w.minX, r.minX) && SameBits(w.minY, r.minY) &&
            SameBits(w.maxX, r.maxX) && SameBits(w.maxY, r.maxY),
        "extents differ");
  Check(SamePoint(w.origin, r.origin), "origin differs");
}

// Decodes bytes that the writer made; they must be well formed.
void DecodeOwnSml(const std::string& bytes, CSymbol* symbol) {
  try {
    ReadSmlFile(bytes, symbol);
  } catch (const CSmlFormatException& e) {
    throw CFuzzFinding(
        std::string("the writer's own .SML bytes are refused: ") + e.what());
  }
}

// Reads a SYM text that the extraction built back as the SYM pass would:
// it must end its last line and give one shape per record line.
void CheckExtractedText(const std::string& sym_text) {
  Check(!sym_text.empty() && sym_text.back() == '\n',
        "an extracted SYM text does not end its last line");
  const int records = countLines(sym_text) - 1;
  CSymbol symbol;
  const bool any = ReadSymText(sym_text, &symbol);
  Check(any == (records > 0), "an extracted SYM text reads as no symbol");
  const std::size_t shapes =
      symbol.lines.GetSize() + symbol.arcs.GetSize() + symbol.circles.GetSize();
  if (shapes != static_cast<std::size_t>(records)) {
    throw CFuzzFinding("an extracted SYM text gives " + std::to_string(shapes) +
                       " shapes for " + std::to_string(records) + " records");
  }
}

class CCheckingHandler : public CShapeCheckingHandler {
 public:
  void OnBlock(const std::string& name, const std::string& sym_text) override {
    Check(name.empty() || (name[0] != '*' && name != "$MODEL_SPACE" &&
                           name != "$PAPER_SPACE"),
          "a special block was reported");
    CheckExtractedText(sym_text);
    ++m_nSymbols;
  }
  void OnDrawing(const std::string& sym_text) override {
    Check(m_bDrawings, "a drawing was reported without the option");
    Check(countLines(sym_text) > 1, "a drawing without records was reported");
    CheckExtractedText(sym_text);
    ++m_nSymbols;
  }
  void OnTrace(const char*) override {}

  bool m_bDrawings = false;
  int m_nSymbols = 0;

 protected:
  void OnShapesDiffer(const std::string& how, const std::string&) override {
    throw CFuzzFinding(how);
  }
};

FuzzOutcome RunDxfWith(std::string_view bytes, const CDxfOptions& options) {
  CCheckingHandler handler;
  handler.m_bDrawings = options.drawings;
  try {
    if (!ConvertDxfText(bytes, handler, options)) {
      Check(handler.m_nSymbols == 0, "symbols reported without a section");
      return FuzzOutcome::kNoSymbol;
    }
  } catch (const CPrematureEndException&) {
    return FuzzOutcome::kPrematureEnd;
  }
  return handler.m_nSymbols > 0 ? FuzzOutcome::kConverted
                                : FuzzOutcome::kNoSymbol;
}

}  // namespace

FuzzOutcome RunDxfInput(std::string_view bytes) {
  const FuzzOutcome plain = RunDxfWith(bytes, CDxfOptions());
  // The options change nothing for a text that names none of what they
  // convert; read the others a second time with all of them.
  constexpr std::string_view kOptional[] = {"ENTITIES", "POLYLINE", "INSERT",
                                            "ELLIPSE",  "SPLINE",   "HATCH",
                                            "SOLID",    "TRACE",    "3DFACE"};
  bool optional = false;
  for (std::string_view name : kOptional) {
    optional = optional || bytes.find(name) != std::string_view::npos;
  }
  if (!optional) return plain;
  CDxfOptions all;
  all.drawings = true;
  all.polylines = true;
  all.inserts = true;
  all.curves = true;
  all.outlines = true;
  return RunDxfWith(bytes, all);
}

FuzzOutcome RunSymInput(std::string_view bytes) {
  CSymbol symbol;
  try {
    if (!ReadSymText(bytes, &symbol)) return FuzzOutcome::kNoSymbol;
  } catch (const CPrematureEndException&) {
    return FuzzOutcome::kPrematureEnd;
  }
  MeasureAndShift(&symbol);
  const std::string sml = EncodeSml(symbol, kSymbolName);
  CSymbol back;
  DecodeOwnSml(sml, &back);
  Check(back.name == kSymbolName, "symbol name differs");
  CheckSameSymbol(symbol, back);
  return FuzzOutcome::kConverted;
}

FuzzOutcome RunSmlInput(std::string_view bytes) {
  CSymbol first;
  try {
    ReadSmlFile(bytes, &first);
  } catch (const CSmlFormatException&) {
    return FuzzOutcome::kRejected;
  }
  const std::string again = EncodeSml(first, first.name);
  CSymbol second;
  DecodeOwnSml(again, &second);
  Check(second.name == first.name, "symbol name differs");
  CheckSameSymbol(first, second);
  return FuzzOutcome::kConverted;
}

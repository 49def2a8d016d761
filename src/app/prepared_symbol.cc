#include "app/prepared_symbol.h"

#include <utility>

#include "sml/flat_symbol.h"
#include "sml/sml_file.h"
#include "sml/symbol.h"
#include "symbol/sym_symbol.h"

CShapeCounts CountShapes(const CSymbol& symbol) {
  return {static_cast<int>(symbol.lines.GetSize()),
          static_cast<int>(symbol.arcs.GetSize()),
          static_cast<int>(symbol.circles.GetSize())};
}

CShapeCounts CountShapes(const CFlatSymbol& symbol) {
  return {static_cast<int>(symbol.lines.size()),
          static_cast<int>(symbol.arcs.size()),
          static_cast<int>(symbol.circles.size())};
}

namespace {

template <class Symbol>
void Encode(Symbol* symbol, CPreparedSymbol* prepared) {
  MeasureAndShift(symbol);
  prepared->counts = CountShapes(*symbol);
  prepared->bytes =
      EncodeSmlFile(prepared->symbol_name, *symbol, &prepared->writes);
  prepared->kind = CPreparedSymbol::Kind::kEncoded;
}

}  // namespace

CPreparedSymbol PrepareSymbol(std::string_view text, std::string symbol_name,
                              CFlatSymbol* shapes) {
  CPreparedSymbol prepared;
  prepared.symbol_name = std::move(symbol_name);
  try {
    if (shapes != nullptr) {
      // Shapes come from records: none means the header line alone.
      if (!shapes->empty()) Encode(shapes, &prepared);
      return prepared;
    }
    CSymbol symbol;
    if (!ReadSymText(text, &symbol)) return prepared;
    if (symbol.lines.GetSize() == 0 && symbol.arcs.GetSize() == 0 &&
        symbol.circles.GetSize() == 0) {
      prepared.kind = CPreparedSymbol::Kind::kNothingToDraw;
      return prepared;
    }
    Encode(&symbol, &prepared);
  } catch (...) {
    prepared.error = std::current_exception();
  }
  return prepared;
}

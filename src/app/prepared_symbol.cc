#include "app/prepared_symbol.h"

#include <utility>

#include "sml/sml_file.h"
#include "sml/symbol.h"
#include "symbol/sym_symbol.h"

CShapeCounts CountShapes(const CSymbol& symbol) {
  return {static_cast<int>(symbol.lines.GetSize()),
          static_cast<int>(symbol.arcs.GetSize()),
          static_cast<int>(symbol.circles.GetSize())};
}

CPreparedSymbol PrepareSymbol(std::string_view text, std::string symbol_name) {
  CPreparedSymbol prepared;
  prepared.symbol_name = std::move(symbol_name);
  try {
    CSymbol symbol;
    if (!ReadSymText(text, &symbol)) return prepared;
    if (symbol.lines.GetSize() == 0 && symbol.arcs.GetSize() == 0 &&
        symbol.circles.GetSize() == 0) {
      prepared.kind = CPreparedSymbol::Kind::kNothingToDraw;
      return prepared;
    }
    MeasureAndShift(&symbol);
    prepared.counts = CountShapes(symbol);
    prepared.bytes =
        EncodeSmlFile(prepared.symbol_name, symbol, &prepared.writes);
    prepared.kind = CPreparedSymbol::Kind::kEncoded;
  } catch (...) {
    prepared.error = std::current_exception();
  }
  return prepared;
}

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

bool ReadSymbol(std::string_view text, CSymbol* shapes, CSymbol* symbol) {
  if (shapes == nullptr) return ReadSymText(text, symbol);
  // Shapes come from records: none means the header line alone.
  if (shapes->lines.GetSize() == 0 && shapes->arcs.GetSize() == 0 &&
      shapes->circles.GetSize() == 0) {
    return false;
  }
  *symbol = std::move(*shapes);
  return true;
}

CPreparedSymbol PrepareSymbol(std::string_view text, std::string symbol_name,
                              CSymbol* shapes) {
  CPreparedSymbol prepared;
  prepared.symbol_name = std::move(symbol_name);
  try {
    CSymbol symbol;
    if (!ReadSymbol(text, shapes, &symbol)) return prepared;
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

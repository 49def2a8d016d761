#include "preview/symbol_loader.h"

#include <utility>

#include "symbol/premature_end.h"
#include "symbol/sym_symbol.h"

namespace {

constexpr std::size_t kExtensionLength = 4;  // ".SYM"

bool endsWithIgnoringCase(std::string_view name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  name = name.substr(name.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != suffix[i]) return false;
  }
  return true;
}

CLoadedSymbol failure(std::string name, std::string error) {
  CLoadedSymbol loaded;
  loaded.name = std::move(name);
  loaded.error = std::move(error);
  return loaded;
}

// The symbol that the conversion makes of a SYM text, as its .SML file
// would hold it.
CLoadedSymbol fromSymText(std::string name, std::string_view text) {
  auto symbol = std::make_unique<CSymbol>();
  try {
    if (!ReadSymText(text, symbol.get())) {
      return failure(std::move(name),
                     "a header line alone: the conversion makes no symbol");
    }
  } catch (const CPrematureEndException& e) {
    return failure(std::move(name), e.what());
  }
  MeasureAndShift(symbol.get());
  symbol->name = name;
  CLoadedSymbol loaded;
  loaded.name = std::move(name);
  loaded.symbol = std::move(symbol);
  return loaded;
}

class CBlockCollector : public CDxfBlockHandler {
 public:
  CBlockCollector(std::vector<CLoadedSymbol>* out, std::string stem)
      : m_out(out), m_strStem(std::move(stem)) {}
  void OnBlock(const std::string& name, const std::string& sym_text) override {
    m_out->push_back(fromSymText(name, sym_text));
  }
  void OnDrawing(const std::string& sym_text) override {
    m_out->push_back(fromSymText(m_strStem, sym_text));
    m_out->back().drawing = true;
  }
  void OnFailed(const std::string& name, bool drawing,
                const std::string& reason) override {
    m_out->push_back(failure(drawing ? m_strStem : name, reason));
    m_out->back().drawing = drawing;
  }
  void OnTrace(const char*) override {}

 private:
  std::vector<CLoadedSymbol>* m_out;
  std::string m_strStem;
};

}  // namespace

SourceKind SourceKindOf(std::string_view file_name) {
  if (endsWithIgnoringCase(file_name, ".SML")) return SourceKind::kSml;
  if (endsWithIgnoringCase(file_name, ".SYM")) return SourceKind::kSym;
  if (endsWithIgnoringCase(file_name, ".DXF")) return SourceKind::kDxf;
  return SourceKind::kOther;
}

std::vector<CLoadedSymbol> LoadSymbols(std::string_view file_name,
                                       std::string_view bytes,
                                       const CDxfOptions& dxf) {
  const std::string stem(
      file_name.substr(0, file_name.size() > kExtensionLength
                              ? file_name.size() - kExtensionLength
                              : 0));
  std::vector<CLoadedSymbol> result;
  switch (SourceKindOf(file_name)) {
    case SourceKind::kSml: {
      auto symbol = std::make_unique<CSymbol>();
      try {
        ReadSmlFile(bytes, symbol.get());
      } catch (const CSmlFormatException& e) {
        result.push_back(failure(stem, e.what()));
        result.back().offset = e.m_nOffset;
        break;
      }
      CLoadedSymbol loaded;
      loaded.name = symbol->name;
      loaded.symbol = std::move(symbol);
      result.push_back(std::move(loaded));
      break;
    }
    case SourceKind::kSym:
      result.push_back(fromSymText(stem, bytes));
      break;
    case SourceKind::kDxf: {
      CBlockCollector collector(&result, stem);
      try {
        if (!ConvertDxfText(bytes, collector, dxf)) {
          result.push_back(failure(
              stem, dxf.drawings ? "no BLOCKS or ENTITIES section: no symbols"
                                 : "no BLOCKS section: no symbols"));
        }
      } catch (const CPrematureEndException& e) {
        result.push_back(failure(stem, e.what()));
      }
      break;
    }
    case SourceKind::kOther:
      result.push_back(
          failure(stem, "not a symbol file (.SML, .SYM or .DXF expected)"));
      break;
  }
  return result;
}

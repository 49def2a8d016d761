// symconv inspect: what .SML files hold, as text or JSON.

#include <cstddef>
#include <optional>

#include "app/symbol_tools.h"
#include "preview/symbol_report.h"

int InspectSymbolFiles(CPlatform& platform,
                       const std::vector<std::string>& files, bool json,
                       const CToolOutput& io) {
  int status = 0;
  bool first = true;
  for (const std::string& file : files) {
    std::string error;
    std::optional<std::size_t> offset;
    CSymbol symbol;
    if (!ReadSmlSymbolFile(platform, file, &symbol, &error, &offset)) {
      status = 1;
      io.Complain(file, error);
      if (json) io.out << FormatErrorJson(file, error, offset) << "\n";
      continue;
    }
    if (json) {
      io.out << FormatSymbolJson(file, symbol) << "\n";
    } else {
      io.out << (first ? "" : "\n") << FormatSymbolText(file, symbol);
      first = false;
    }
  }
  return status;
}

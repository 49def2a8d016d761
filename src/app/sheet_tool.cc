// symconv sheet: one HTML page of labelled thumbnails.

#include <algorithm>
#include <cstddef>
#include <optional>

#include "app/symbol_tools.h"
#include "preview/sheet_writer.h"

namespace {

std::string fileNameOf(const std::string& path, char separator) {
  const std::size_t slash = path.find_last_of(std::string("/") + separator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The files in the order the page shows them: by bare name.
std::vector<std::string> sortedByName(std::vector<std::string> files,
                                      char separator) {
  std::stable_sort(files.begin(), files.end(),
                   [separator](const std::string& a, const std::string& b) {
                     return fileNameOf(a, separator) < fileNameOf(b, separator);
                   });
  return files;
}

}  // namespace

int WriteSymbolSheet(CPlatform& platform, const CSheetRequest& request,
                     const CToolOutput& io) {
  const char separator = platform.PathSeparator();
  CSheetWriter sheet(request.folder, request.pixels);
  for (const std::string& path : sortedByName(request.files, separator)) {
    std::string error;
    std::optional<std::size_t> offset;
    CSymbol symbol;
    if (ReadSmlSymbolFile(platform, path, &symbol, &error, &offset)) {
      sheet.AddSymbol(fileNameOf(path, separator), symbol);
    } else {
      io.Complain(path, error);
      sheet.AddError(fileNameOf(path, separator), error);
    }
  }
  if (!WriteToolOutput(platform, request.output, sheet.Finish(), io)) return 1;
  io.out << request.output << ": " << sheet.symbol_count() << " symbols, "
         << sheet.error_count() << " errors\n";
  return sheet.error_count() == 0 ? 0 : 1;
}

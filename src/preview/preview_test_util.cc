#include "preview/preview_test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "symbol/sym_symbol.h"

void MeasureTestSymbol(CSymbol* s) {
  // The conversion's own measuring, on a symbol that lies at x >= 0 and
  // y <= 0 already, so that nothing moves.
  MeasureAndShift(s);
}

CCheckResult CheckMarkup(const std::string& markup, const std::string& name,
                         const std::string& args) {
  namespace fs = std::filesystem;
#ifdef _WIN32
  return {-2, "the XML check runs on the build machine only"};
#endif
  if (!fs::exists("/usr/bin/python3")) return {-2, "no python3"};
  const fs::path dir = fs::temp_directory_path() / "symconv-preview-tests";
  fs::create_directories(dir);
  const fs::path file = dir / name;
  const fs::path out = dir / (name + ".out");
  std::ofstream(file, std::ios::binary) << markup;
  const std::string command = "/usr/bin/python3 '" SYMCONV_SOURCE_DIR
                              "/src/preview/check_markup.py' '" +
                              file.string() + "' " + args + " >'" +
                              out.string() + "' 2>&1";
  const int raw = std::system(command.c_str());
  std::ifstream in(out, std::ios::binary);
  CCheckResult result;
  result.output.assign(std::istreambuf_iterator<char>(in), {});
  result.status = raw == 0 ? 0 : 1;
  return result;
}

#include "preview/preview_test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "symbol/sym_symbol.h"

void AddTestLine(CSymbol* s, double x1, double y1, double x2, double y2) {
  auto line = std::make_unique<CLine>();
  line->start = CPrecisionPoint(x1, y1, 0);
  line->end = CPrecisionPoint(x2, y2, 0);
  s->lines.Add(std::move(line));
}

void AddTestArc(CSymbol* s, double cx, double cy, double start, double end,
                double r) {
  auto arc = std::make_unique<CArc>();
  arc->points.Add(std::make_unique<CPrecisionPoint>(cx, cy, 0));
  arc->points.Add(std::make_unique<CPrecisionPoint>(start, end, r));
  s->arcs.Add(std::move(arc));
}

void AddTestCircle(CSymbol* s, double cx, double cy, double r) {
  auto circle = std::make_unique<CCircle>();
  circle->radius = r;
  circle->points.Add(std::make_unique<CPrecisionPoint>(cx, cy, 0));
  s->circles.Add(std::move(circle));
}

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

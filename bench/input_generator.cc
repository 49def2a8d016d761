#include "bench/input_generator.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// The shortest form that reads back as v, in fixed notation with ".0" on
// whole numbers, as DXF writers print: "3.0", "-1.25", "4.285714285714286".
// to_chars fixes the digits exactly.
void AppendShortest(std::string& out, double v) {
  char buf[64];
  const auto r =
      std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  const std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
  out.append(text);
  if (text.find('.') == std::string_view::npos) out += ".0";
}

void AppendFixed(std::string& out, double v) {
  char buf[352];
  std::snprintf(buf, sizeof buf, " %f", v);
  out += buf;
}

}  // namespace

std::string CInputGenerator::DxfBlockName(int index) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "BLK%06d", index);
  return buf;
}

std::string CInputGenerator::SymFileName(int index) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "S%06d.SYM", index);
  return buf;
}

void CInputGenerator::group(std::string& out, int code,
                            std::string_view value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%3d\n", code);
  out += buf;
  out.append(value);
  out += '\n';
}

void CInputGenerator::numberGroup(std::string& out, int code, double value) {
  std::string text;
  AppendShortest(text, value);
  group(out, code, text);
}

std::string CInputGenerator::handle() {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%" PRIX64, m_nHandle++);
  return buf;
}

// Mostly short values ("12.5"), now and then all the digits of a computed
// one ("4.285714285714286"); within +-200 drawing units.
double CInputGenerator::coordinate() {
  const int64_t thousandths = static_cast<int64_t>(below(400001)) - 200000;
  const double divisor = below(4) == 0 ? 7000.0 : 1000.0;
  return static_cast<double>(thousandths) / divisor;
}

void CInputGenerator::point(std::string& out, int x_code) {
  numberGroup(out, x_code, coordinate());
  numberGroup(out, x_code + 10, coordinate());
  group(out, x_code + 20, "0.0");
}

void CInputGenerator::entityStart(std::string& out, std::string_view type,
                                  std::string_view owner,
                                  std::string_view subclass) {
  group(out, 0, type);
  group(out, 5, handle());
  group(out, 330, owner);
  group(out, 100, "AcDbEntity");
  group(out, 8, below(3) == 0 ? "OUTLINE" : "0");
  if (below(4) == 0) group(out, 62, std::to_string(below(255) + 1));
  group(out, 100, subclass);
}

void CInputGenerator::entity(std::string& out, std::string_view owner) {
  const uint64_t kind = below(10);
  if (kind < 5) {
    entityStart(out, "LINE", owner, "AcDbLine");
    point(out, 10);
    point(out, 11);
  } else if (kind < 7) {
    entityStart(out, "ARC", owner, "AcDbCircle");
    point(out, 10);
    numberGroup(out, 40, static_cast<double>(below(50000) + 1) / 1000.0);
    group(out, 100, "AcDbArc");
    numberGroup(out, 50, static_cast<double>(below(36000)) / 100.0);
    numberGroup(out, 51, static_cast<double>(below(36000)) / 100.0);
  } else if (kind < 8) {
    entityStart(out, "CIRCLE", owner, "AcDbCircle");
    point(out, 10);
    numberGroup(out, 40, static_cast<double>(below(50000) + 1) / 1000.0);
  } else if (kind < 9) {
    entityStart(out, "TEXT", owner, "AcDbText");
    point(out, 10);
    numberGroup(out, 40, static_cast<double>(below(5000) + 1) / 1000.0);
    std::string label = std::to_string(below(1000));
    label.insert(0, 1, 'R');
    group(out, 1, label);
    group(out, 100, "AcDbText");
  } else {
    entityStart(out, "POINT", owner, "AcDbPoint");
    point(out, 10);
  }
}

void CInputGenerator::block(std::string& out, std::string_view name,
                            int entities) {
  const std::string record = handle();
  group(out, 0, "BLOCK");
  group(out, 5, handle());
  group(out, 330, record);
  group(out, 100, "AcDbEntity");
  group(out, 8, "0");
  group(out, 100, "AcDbBlockBegin");
  group(out, 2, name);
  group(out, 70, "0");
  group(out, 10, "0.0");
  group(out, 20, "0.0");
  group(out, 30, "0.0");
  group(out, 3, name);
  group(out, 1, "");
  for (int i = 0; i < entities; ++i) entity(out, record);
  group(out, 0, "ENDBLK");
  group(out, 5, handle());
  group(out, 330, record);
  group(out, 100, "AcDbEntity");
  group(out, 8, "0");
  group(out, 100, "AcDbBlockEnd");
}

void CInputGenerator::AppendDxfStart(std::string& out, int blocks) {
  group(out, 0, "SECTION");
  group(out, 2, "HEADER");
  group(out, 9, "$ACADVER");
  group(out, 1, "AC1015");
  group(out, 9, "$INSUNITS");
  group(out, 70, "4");
  group(out, 0, "ENDSEC");
  group(out, 0, "SECTION");
  group(out, 2, "TABLES");
  group(out, 0, "TABLE");
  group(out, 2, "BLOCK_RECORD");
  group(out, 5, "1");
  group(out, 100, "AcDbSymbolTable");
  group(out, 70, std::to_string(blocks + 2));
  for (int i = -2; i < blocks; ++i) {
    group(out, 0, "BLOCK_RECORD");
    group(out, 5, handle());
    group(out, 330, "1");
    group(out, 100, "AcDbSymbolTableRecord");
    group(out, 100, "AcDbBlockTableRecord");
    group(out, 2,
          i == -2   ? std::string("*Model_Space")
          : i == -1 ? std::string("*Paper_Space")
                    : DxfBlockName(i));
  }
  group(out, 0, "ENDTAB");
  group(out, 0, "ENDSEC");
  group(out, 0, "SECTION");
  group(out, 2, "BLOCKS");
  block(out, "*Model_Space", 0);
  block(out, "*Paper_Space", 0);
}

void CInputGenerator::AppendDxfBlock(std::string& out, int index,
                                     int entities) {
  block(out, DxfBlockName(index), entities);
}

void CInputGenerator::AppendDxfEnd(std::string& out) {
  group(out, 0, "ENDSEC");
  group(out, 0, "SECTION");
  group(out, 2, "ENTITIES");
  group(out, 0, "ENDSEC");
  group(out, 0, "EOF");
}

std::string CInputGenerator::DxfText(int blocks, int entities) {
  std::string out;
  AppendDxfStart(out, blocks);
  for (int i = 0; i < blocks; ++i) AppendDxfBlock(out, i, entities);
  AppendDxfEnd(out);
  return out;
}

std::string CInputGenerator::SymText() {
  const std::string_view eol = below(2) == 0 ? "\r\n" : "\n";
  std::string text = "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000";
  text += eol;
  const int records = 30 + static_cast<int>(below(21));
  auto coordinate = [this] {
    return static_cast<double>(static_cast<int64_t>(below(40001)) - 20000) /
           1000.0;
  };
  for (int i = 0; i < records; ++i) {
    const uint64_t kind = below(10);
    if (kind < 6) {
      text += 'L';
      for (int end = 0; end < 2; ++end) {
        AppendFixed(text, coordinate());
        AppendFixed(text, coordinate());
        AppendFixed(text, 0.0);
      }
    } else if (kind < 8) {
      text += 'A';
      AppendFixed(text, coordinate());
      AppendFixed(text, coordinate());
      AppendFixed(text, 0.0);
      AppendFixed(text, static_cast<double>(below(36000)) / 100.0);
      AppendFixed(text, static_cast<double>(below(36000)) / 100.0);
      AppendFixed(text, static_cast<double>(below(20000) + 1) / 1000.0);
    } else {
      text += 'C';
      AppendFixed(text, coordinate());
      AppendFixed(text, coordinate());
      AppendFixed(text, 0.0);
      AppendFixed(text, static_cast<double>(below(20000) + 1) / 1000.0);
    }
    text += eol;
  }
  return text;
}

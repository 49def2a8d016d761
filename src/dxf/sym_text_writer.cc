#include "dxf/sym_text_writer.h"

#include <string>
#include <string_view>

#include "symbol/numbers.h"

namespace {

constexpr std::string_view kHeader =
    "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n";

}  // namespace

CSymTextWriter::CSymTextWriter() { m_strText.reserve(4096); }

void CSymTextWriter::Begin() {
  m_strText.clear();
  m_strText += kHeader;
}

void CSymTextWriter::AppendLine(double x1, double y1, double z1, double x2,
                                double y2, double z2) {
  const double values[] = {x1, y1, z1, x2, y2, z2};
  AppendRecord('L', values, 6);
}

void CSymTextWriter::AppendArc(double x, double y, double z, double start,
                               double end, double radius) {
  const double values[] = {x, y, z, start, end, radius};
  AppendRecord('A', values, 6);
}

void CSymTextWriter::AppendCircle(double x, double y, double z, double radius) {
  const double values[] = {x, y, z, radius};
  AppendRecord('C', values, 4);
}

void CSymTextWriter::AppendRecord(char letter, const double* values,
                                  int count) {
  m_strText += letter;
  for (int i = 0; i < count; ++i) {
    m_strText += ' ';
    AppendFixed6(m_strText, values[i]);
  }
  m_strText += '\n';
}

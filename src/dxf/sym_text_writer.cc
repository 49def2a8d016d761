#include "dxf/sym_text_writer.h"

#include <cstddef>
#include <string>
#include <string_view>

#include "dxf/symbol_failure.h"
#include "symbol/numbers.h"
#include "symbol/sym_symbol.h"

namespace {

constexpr std::string_view kHeader =
    "*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n";

std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  if (bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

CSymTextWriter::CSymTextWriter(std::size_t limit) : m_nLimit(limit) {
  m_strText.reserve(4096);
}

void CSymTextWriter::Begin() {
  m_strText.clear();
  m_strText += kHeader;
  m_symbol = CSymbol();
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

// The record is made in full first: it is appended only when it fits, so
// an oversized text is never built.
void CSymTextWriter::AppendRecord(char letter, const double* values,
                                  int count) {
  char record[2 + 6 * (kMaxFixed6Length + 1)];
  char* p = record;
  *p++ = letter;
  for (int i = 0; i < count; ++i) {
    *p++ = ' ';
    p = FormatFixed6(p, values[i]);
  }
  *p++ = '\n';
  const std::size_t size = static_cast<std::size_t>(p - record);
  if (size > m_nLimit - m_strText.size()) {
    throw CSymbolFailure("the symbol's text would exceed " +
                         SizeText(m_nLimit));
  }
  m_strText.append(record, size);
  // The shape, from the numbers that reading the record gives back.
  double numbers[6];
  for (int i = 0; i < count; ++i) numbers[i] = ThroughFixed6(values[i]);
  AddSymRecord(&m_symbol, letter, numbers);
}

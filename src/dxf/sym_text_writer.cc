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
  m_records.clear();
  m_strText.assign(kHeader);
  m_nTextSize = kHeader.size();
  m_nFormatted = 0;
  m_symbol.clear();
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

// The record's size is counted in full first: it is added only when it
// fits, so an oversized text is never built.
void CSymTextWriter::AppendRecord(char letter, const double* values,
                                  int count) {
  // The shape gets the numbers that reading the record gives back.
  CRecord record{letter, count, {}};
  double numbers[6];
  std::size_t size = 2;  // the letter and the LF
  for (int i = 0; i < count; ++i) {
    std::size_t length = 0;
    numbers[i] = ThroughFixed6(values[i], &length);
    size += 1 + length;
    record.values[i] = values[i];
  }
  if (size > m_nLimit - m_nTextSize) {
    throw CSymbolFailure("the symbol's text would exceed " +
                         SizeText(m_nLimit));
  }
  m_nTextSize += size;
  m_records.push_back(record);
  AddSymRecord(&m_symbol, letter, numbers);
}

const std::string& CSymTextWriter::text() const {
  for (; m_nFormatted < m_records.size(); ++m_nFormatted) {
    const CRecord& record = m_records[m_nFormatted];
    char line[2 + 6 * (kMaxFixed6Length + 1)];
    char* p = line;
    *p++ = record.letter;
    for (int i = 0; i < record.count; ++i) {
      *p++ = ' ';
      p = FormatFixed6(p, record.values[i]);
    }
    *p++ = '\n';
    m_strText.append(line, p);
  }
  return m_strText;
}

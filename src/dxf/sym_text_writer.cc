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

// The letter, six fields of a space and the longest number, and the LF.
constexpr std::size_t kMaxRecordLength = 2 + 6 * (kMaxFixed6Length + 1);

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
  m_nExactSize = m_nSizeBound = kHeader.size();
  m_nSized = 0;
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

// A record is added only when it fits, so an oversized text is never
// built. Most records are far from the limit: their values' longest text
// is counted instead of their own, and the records are counted exactly only
// when that bound could pass the limit.
void CSymTextWriter::AppendRecord(char letter, const double* values,
                                  int count) {
  CRecord record{letter, count, {}};
  // The shape gets the numbers that reading the record gives back.
  double numbers[6];
  for (int i = 0; i < count; ++i) record.values[i] = values[i];
  const bool quick = QuickThroughFixed6Pairs(values, numbers, count / 2);
  std::size_t bound = 2 + static_cast<std::size_t>(count) *
                              (1 + kMaxQuickFixed6Length);  // letter, LF
  if (!quick) {
    char line[kMaxRecordLength];
    bound = static_cast<std::size_t>(FormatRecord(record, line) - line);
    for (int i = 0; i < count; ++i) numbers[i] = ThroughFixed6(values[i]);
  }
  const bool near_limit = bound > m_nLimit - m_nSizeBound;
  if (near_limit) {
    CountExactly();
    char line[kMaxRecordLength];
    bound = static_cast<std::size_t>(FormatRecord(record, line) - line);
    if (bound > m_nLimit - m_nExactSize) {
      throw CSymbolFailure("the symbol's text would exceed " +
                           SizeText(m_nLimit));
    }
  }
  m_records.push_back(record);
  m_nSizeBound += bound;
  if (near_limit) {
    m_nExactSize += bound;
    ++m_nSized;
  }
  if (letter == 'L') {
    AddSymLine(&m_symbol, numbers);
  } else {
    AddSymRecord(&m_symbol, letter, numbers);
  }
}

char* CSymTextWriter::FormatRecord(const CRecord& record, char* line) {
  char* p = line;
  *p++ = record.letter;
  for (int i = 0; i < record.count; ++i) {
    *p++ = ' ';
    p = FormatFixed6(p, record.values[i]);
  }
  *p++ = '\n';
  return p;
}

void CSymTextWriter::CountExactly() {
  for (; m_nSized < m_records.size(); ++m_nSized) {
    char line[kMaxRecordLength];
    m_nExactSize += static_cast<std::size_t>(
        FormatRecord(m_records[m_nSized], line) - line);
  }
  m_nSizeBound = m_nExactSize;
}

const std::string& CSymTextWriter::text() const {
  for (; m_nFormatted < m_records.size(); ++m_nFormatted) {
    char line[kMaxRecordLength];
    m_strText.append(line, FormatRecord(m_records[m_nFormatted], line));
  }
  return m_strText;
}

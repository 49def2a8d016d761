#include "dxf/sym_text_writer.h"

#include <algorithm>
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

CSymTextWriter::CRecord::CRecord(char l, const double* v, int n)
    : letter(l), count(n) {
  std::copy_n(v, n, values);  // the rest is never read
}

// A record is added only when it fits, so an oversized text is never
// built. Most records are far from the limit: their values' longest text
// is counted instead of their own, and the records are counted exactly only
// when that bound could pass the limit. One form for each letter, inline
// in its Append, so that its fields are taken in a row and its shape added
// in place; what needs a line's text is done apart.
template <char kLetter, int kCount>
[[gnu::always_inline]] inline void CSymTextWriter::AppendRecord(
    const double (&values)[kCount]) {
  // The shape gets the numbers that reading the record gives back.
  double numbers[kCount];
  std::size_t bound = 2 + kCount * (1 + kMaxQuickFixed6Length);  // letter, LF
  if (!QuickThroughFixed6Pairs(values, numbers, kCount / 2)) {
    bound = SlowThrough(CRecord(kLetter, values, kCount), numbers);
  }
  const bool near_limit = bound > m_nLimit - m_nSizeBound;
  if (near_limit) bound = SizeWithinLimit(CRecord(kLetter, values, kCount));
  m_records.emplace_back(kLetter, values, kCount);
  m_nSizeBound += bound;
  if (near_limit) {
    m_nExactSize += bound;
    ++m_nSized;
  }
  if constexpr (kLetter == 'L') {
    AddSymLine(&m_symbol, numbers);
  } else if constexpr (kLetter == 'A') {
    AddSymArc(&m_symbol, numbers);
  } else {
    AddSymCircle(&m_symbol, numbers);
  }
}

void CSymTextWriter::AppendLine(double x1, double y1, double z1, double x2,
                                double y2, double z2) {
  AppendRecord<'L'>({x1, y1, z1, x2, y2, z2});
}

void CSymTextWriter::AppendArc(double x, double y, double z, double start,
                               double end, double radius) {
  AppendRecord<'A'>({x, y, z, start, end, radius});
}

void CSymTextWriter::AppendCircle(double x, double y, double z, double radius) {
  AppendRecord<'C'>({x, y, z, radius});
}

std::size_t CSymTextWriter::SlowThrough(const CRecord& record,
                                        double* numbers) {
  for (int i = 0; i < record.count; ++i) {
    numbers[i] = ThroughFixed6(record.values[i]);
  }
  char line[kMaxRecordLength];
  return static_cast<std::size_t>(FormatRecord(record, line) - line);
}

std::size_t CSymTextWriter::SizeWithinLimit(const CRecord& record) {
  CountExactly();
  char line[kMaxRecordLength];
  const auto size = static_cast<std::size_t>(FormatRecord(record, line) - line);
  if (size > m_nLimit - m_nExactSize) {
    throw CSymbolFailure("the symbol's text would exceed " +
                         SizeText(m_nLimit));
  }
  return size;
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

#ifndef SYMCONV_DXF_SYM_TEXT_WRITER_H_
#define SYMCONV_DXF_SYM_TEXT_WRITER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "sml/flat_symbol.h"

/// The most bytes one symbol's SYM text may hold. A value such as 1e308
/// is written with all of its 309 digits, so a block of such values makes a
/// text about 35 times its size; past this the symbol fails instead of
/// exhausting memory (a 32-bit program has 2 GiB of address space for the
/// source file, this text while it grows, and the symbol). Real symbols
/// stay far below it: at about 60 bytes a record it is over four million
/// shapes.
constexpr std::size_t kMaxSymTextBytes = std::size_t{256} << 20;

/// Builds the SYM text of one symbol: the fixed header line, then one
/// record line per shape, every number as "%f" writes it, fields separated
/// by one space, lines ended by LF alone. Values are written as given (the
/// caller does any change of sign). The text is made when first asked for:
/// a caller that takes the shapes instead never formats it, while its size
/// is counted as records are appended. Storage is kept from one symbol to
/// the next, so a run of symbols reallocates only while it grows. A record
/// that would take the text past its limit is not added: the Append throws
/// CSymbolFailure and the text and shapes stay as they were.
class CSymTextWriter {
 public:
  /// limit: the most bytes the text may reach (kMaxSymTextBytes but in
  /// tests), at least the header line's.
  explicit CSymTextWriter(std::size_t limit = kMaxSymTextBytes);

  /// Starts a new symbol: the text becomes the header line alone.
  void Begin();
  /// "L x1 y1 z1 x2 y2 z2"
  void AppendLine(double x1, double y1, double z1, double x2, double y2,
                  double z2);
  /// "A x y z start end radius", angles in degrees.
  void AppendArc(double x, double y, double z, double start, double end,
                 double radius);
  /// "C x y z radius"
  void AppendCircle(double x, double y, double z, double radius);

  const std::string& text() const;
  /// The shapes that ReadSymText reads from text(), bit for bit, made as
  /// the records are appended instead of parsed back from the text (none
  /// for the header line alone). A caller may measure and shift them in
  /// place: Begin clears them.
  CFlatSymbol& symbol() { return m_symbol; }

 private:
  struct CRecord {
    CRecord(char l, const double* v, int n);
    char letter;
    int count;
    double values[6];  // the first count
  };

  template <char kLetter, int kCount>
  void AppendRecord(const double (&values)[kCount]);
  /// The size of the record's line, and in numbers what reading it gives
  /// back, for values that are not taken the quick way.
  static std::size_t SlowThrough(const CRecord& record, double* numbers);
  /// The exact size of a record whose bound might take the text past its
  /// limit, after counting the records before it exactly; throws
  /// CSymbolFailure when it would.
  std::size_t SizeWithinLimit(const CRecord& record);
  /// Writes the record's line at line, which has room for the longest;
  /// returns one past its LF.
  static char* FormatRecord(const CRecord& record, char* line);
  /// Counts the records not yet counted exactly.
  void CountExactly();

  std::vector<CRecord> m_records;
  // The text's size is counted exactly only near the limit: m_nExactSize
  // holds that of the header and the first m_nSized records, m_nSizeBound
  // at least that of the whole text, formatted or not.
  std::size_t m_nExactSize = 0;
  std::size_t m_nSized = 0;
  std::size_t m_nSizeBound = 0;
  // The text of the records before m_nFormatted.
  mutable std::string m_strText;
  mutable std::size_t m_nFormatted = 0;
  CFlatSymbol m_symbol;
  std::size_t m_nLimit;
};

#endif  // SYMCONV_DXF_SYM_TEXT_WRITER_H_

#ifndef SYMCONV_DXF_SYM_TEXT_WRITER_H_
#define SYMCONV_DXF_SYM_TEXT_WRITER_H_

#include <string>

/// Builds the SYM text of one symbol: the fixed header line, then one
/// record line per shape, every number as "%f" writes it, fields separated
/// by one space, lines ended by LF alone. Values are written as given (the
/// caller does any change of sign). The text's storage is kept from one
/// symbol to the next, so a run of symbols reallocates only while it grows.
class CSymTextWriter {
 public:
  CSymTextWriter();

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

  const std::string& text() const { return m_strText; }

 private:
  void AppendRecord(char letter, const double* values, int count);

  std::string m_strText;
};

#endif  // SYMCONV_DXF_SYM_TEXT_WRITER_H_

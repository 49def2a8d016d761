#ifndef SYMCONV_BENCH_INPUT_GENERATOR_H_
#define SYMCONV_BENCH_INPUT_GENERATOR_H_

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

/// Makes benchmark inputs, the same bytes for the same seed on every
/// machine: only mt19937_64 (whose output the standard fixes), integer
/// arithmetic and exactly specified formatting choose them.
///
/// DXF texts are laid out as a modern (R2000 and later) writer lays out
/// groups: right-aligned codes, handles, owner handles, subclass markers,
/// one block record per block in the tables. A block holds LINE, ARC and
/// CIRCLE entities and, passed over by the conversion, TEXT and POINT.
/// .SYM texts hold 30 to 50 records written with "%f", half of them with
/// DOS (CR LF) line ends.
class CInputGenerator {
 public:
  explicit CInputGenerator(uint64_t seed) : m_random(seed) {}

  /// The header and tables of a DXF text of blocks blocks, the start of its
  /// BLOCKS section and the model and paper space blocks.
  void AppendDxfStart(std::string& out, int blocks);
  /// Block number index (named by DxfBlockName) with entities entities.
  void AppendDxfBlock(std::string& out, int index, int entities);
  /// The end of the BLOCKS section, an empty ENTITIES section, EOF.
  void AppendDxfEnd(std::string& out);
  /// A whole DXF text.
  std::string DxfText(int blocks, int entities);

  /// One .SYM text.
  std::string SymText();

  static std::string DxfBlockName(int index);
  static std::string SymFileName(int index);

 private:
  // 0 .. n - 1.
  uint64_t below(uint64_t n) { return m_random() % n; }
  void group(std::string& out, int code, std::string_view value);
  void numberGroup(std::string& out, int code, double value);
  std::string handle();
  void point(std::string& out, int x_code);
  void entityStart(std::string& out, std::string_view type,
                   std::string_view owner, std::string_view subclass);
  void entity(std::string& out, std::string_view owner);
  void block(std::string& out, std::string_view name, int entities);
  double coordinate();

  std::mt19937_64 m_random;
  uint64_t m_nHandle = 0x20;
};

#endif  // SYMCONV_BENCH_INPUT_GENERATOR_H_

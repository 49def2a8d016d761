#include "dxf/binary_dxf.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "dxf/block_extractor.h"
#include "symbol/premature_end.h"

namespace {

class CBlockNames : public CDxfBlockHandler {
 public:
  void OnBlock(const std::string& name, const std::string& sym_text) override {
    m_blocks.push_back(name + "\n" + sym_text);
  }
  void OnTrace(const char*) override {}
  std::vector<std::string> m_blocks;
};

// Writes a binary DXF group by group; marks note where a group starts.
class CBinaryDxf {
 public:
  explicit CBinaryDxf(bool one_byte_codes) : m_bOneByte(one_byte_codes) {
    m_data = kBinaryDxfSentinel;
  }
  CBinaryDxf& str(int code, std::string_view value) {
    this->code(code);
    m_data += value;
    m_data += '\0';
    return *this;
  }
  CBinaryDxf& real(int code, double value) {
    this->code(code);
    return raw(&value, sizeof value);
  }
  CBinaryDxf& int16(int code, std::int16_t value) {
    this->code(code);
    return raw(&value, sizeof value);
  }
  std::size_t size() const { return m_data.size(); }
  const std::string& data() const { return m_data; }

 private:
  void code(int code) {
    if (m_bOneByte && code >= 255) m_data += '\xff';
    m_data += static_cast<char>(code & 255);
    if (!m_bOneByte || code >= 255) m_data += static_cast<char>(code >> 8);
  }
  // The test machines are little-endian, as the format is.
  CBinaryDxf& raw(const void* bytes, std::size_t count) {
    m_data.append(static_cast<const char*>(bytes), count);
    return *this;
  }
  bool m_bOneByte;
  std::string m_data;
};

constexpr std::string_view kValveSym =
    "VALVE\n*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\n"
    "L 0.100000 -0.333333 0.000000 10.000000 -5.000000 0.000000\n";

// Where a cut lands in the VALVE file of ValveFile.
struct CCuts {
  std::size_t in_code, in_name, in_double;
};

std::string ValveFile(bool one_byte_codes, CCuts* cuts) {
  CBinaryDxf dxf(one_byte_codes);
  dxf.str(0, "SECTION").str(2, "BLOCKS").str(0, "BLOCK").int16(70, 0);
  cuts->in_name = dxf.size() + (one_byte_codes ? 1 : 2) + 3;
  dxf.str(2, "VALVE").str(0, "LINE").str(1001, "APP").int16(1070, -2);
  dxf.real(10, 0.1).real(20, 1.0 / 3).real(30, 0.0);
  cuts->in_double = dxf.size() + (one_byte_codes ? 1 : 2) + 3;
  dxf.real(11, 10.0).real(21, 5.0).real(31, 0.0);
  cuts->in_code = dxf.size() + 1;
  return dxf.str(0, "ENDBLK").str(0, "ENDSEC").str(0, "EOF").data();
}

TEST(BinaryDxfTest, ReadsBlocksWithOneAndTwoByteGroupCodes) {
  for (const bool one_byte : {true, false}) {
    CCuts cuts;
    const std::string file = ValveFile(one_byte, &cuts);
    CBlockNames handler;
    EXPECT_TRUE(ConvertDxfText(file, handler)) << one_byte;
    EXPECT_EQ(handler.m_blocks,
              std::vector<std::string>{std::string(kValveSym)})
        << one_byte;
  }
}

TEST(BinaryDxfTest, FileCutInsideAGroupEndsAsPrematureEnd) {
  for (const bool one_byte : {true, false}) {
    CCuts cuts;
    const std::string file = ValveFile(one_byte, &cuts);
    for (const std::size_t cut : {cuts.in_code, cuts.in_name, cuts.in_double,
                                  kBinaryDxfSentinel.size() + 1}) {
      CBlockNames handler;
      EXPECT_THROW(
          ConvertDxfText(std::string_view(file).substr(0, cut), handler),
          CPrematureEndException)
          << "one-byte codes " << one_byte << ", cut at " << cut;
      EXPECT_TRUE(handler.m_blocks.empty());
    }
  }
}

}  // namespace

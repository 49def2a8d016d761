// Malformed inputs run through whole batches on the fake platform: each
// either converts normally or fails that one file with a clear message and
// the failure prompt; none may crash, hang or take memory out of proportion
// to its size. Meant to run under AddressSanitizer and UBSan too.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/convert_app.h"
#include "platform/fake/fake_platform.h"
#include "sml/sml_reader.h"
#include "support/batch_messages.h"
#include "support/sym_text.h"

namespace {

const char kPremature[] = "Premature end of file!";

// The summary of a run over the test folder.
std::string Summary(int dxf_files, int dxf_symbols, int sym_files) {
  return ExpectedSummary("/lib", dxf_files, dxf_symbols, sym_files);
}

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// Bytes of every value, LF and NUL among them, from a fixed generator.
std::string Junk(std::size_t n) {
  std::string text(n, '\0');
  uint32_t x = 12345;
  for (char& c : text) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return text;
}

const std::string kLine = "0\nLINE\n10\n1\n20\n2\n30\n0\n11\n3\n21\n4\n31\n0\n";

std::string Block(const std::string& name, const std::string& entities) {
  return "0\nBLOCK\n2\n" + name + "\n70\n0\n10\n0\n20\n0\n30\n0\n" + entities +
         "0\nENDBLK\n";
}

std::string Dxf(const std::string& blocks) {
  return "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n0\nEOF\n";
}

// A shape count that the row does not fix (junk gives whatever it gives).
constexpr std::size_t kAny = SIZE_MAX;

// One .SML the row must produce, with its shape counts.
struct COutputShapes {
  std::string path;
  std::size_t lines, arcs, circles;
};

struct CBadInput {
  const char* name;
  const char* file;  // in /lib
  std::function<std::string()> bytes;
  std::vector<std::string> messages;   // every message, the summary last
  std::vector<COutputShapes> outputs;  // every .SML written
};

// text as UTF-16LE, as a Windows editor may save it.
std::string Utf16(const std::string& text) {
  std::string out;
  for (const char c : text) {
    out += c;
    out += '\0';
  }
  return out;
}

std::vector<std::string> Failed(const std::string& file,
                                const std::string& summary,
                                bool premature = true) {
  std::vector<std::string> messages;
  if (premature) messages.push_back(kPremature);
  messages.push_back(ExpectedPrompt(file));
  messages.push_back(summary);
  return messages;
}

const std::size_t k50MB = 50u << 20;

std::vector<CBadInput> Table() {
  const std::string sym = "/lib/X.SYM";
  const std::string dxf = "/lib/X.DXF";
  return {
      // --- .SYM texts --------------------------------------------------
      {"empty SYM",
       "X.SYM",
       [] { return std::string(); },
       Failed(sym, Summary(0, 0, 0)),
       {}},
      {"SYM without any LF",
       "X.SYM",
       [] { return "L 0 0 0 1 1 0"; },
       Failed(sym, Summary(0, 0, 0)),
       {}},
      {"SYM whose last record has no LF",
       "X.SYM",
       [] { return kSymHeader + "L 0 0 0 1 1 0\nL 2 2"; },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", 1, 0, 0}}},
      {"SYM header alone",
       "X.SYM",
       [] { return kSymHeader; },
       {Summary(0, 0, 0)},
       {}},
      {"SYM of binary junk",
       "X.SYM",
       [] { return Junk(1 << 16); },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", kAny, kAny, kAny}}},
      {"SYM with NUL bytes in records",
       "X.SYM",
       [] {
         return kSymHeader +
                std::string("L 1\0 2 3 4 5 6\nC\0 1 1 0 2\nA", 27) +
                std::string(1, '\0') + "\n";
       },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", 1, 1, 1}}},
      {"SYM of one 50 MB line without LF",
       "X.SYM",
       [] { return std::string(k50MB, 'L'); },
       Failed(sym, Summary(0, 0, 0)),
       {}},
      {"SYM with a 50 MB record line",
       "X.SYM",
       [] { return kSymHeader + "L " + Repeat("7 ", k50MB / 2) + "\n"; },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", 1, 0, 0}}},
      {"SYM of a million empty lines",
       "X.SYM",
       [] { return kSymHeader + std::string(1000000, '\n'); },
       {Summary(0, 0, 0)},  // no shape: not written
       {}},
      {"SYM of a million CR LF lines with blanks",
       "X.SYM",
       [] { return kSymHeader + Repeat(" \t\r\n", 1000000); },
       {Summary(0, 0, 0)},  // no shape: not written
       {}},
      {"SYM of 200000 records",
       "X.SYM",
       [] {
         return kSymHeader + Repeat("L 0 0 0 1 1 0\nA 1 1 0 0 90 1\n", 100000);
       },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", 100000, 100000, 0}}},
      {"SYM with huge values",
       "X.SYM",
       [] {
         return kSymHeader +
                "L 1e400 -1e400 0 1e308 1e-400 0\n"
                "A 0 0 0 1e300 -1e300 1e308\n"
                "A 1 1 0 -2147483649 4294967296.5 -1\n"
                "C 0 0 0 1e999\n" +
                "L 1" + std::string(400, '0') + " 0 0 0 0 0\n";
       },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", 2, 2, 1}}},
      {"SYM with non-numeric values",
       "X.SYM",
       [] { return kSymHeader + "L abc - + . e5 --1\nA x y z\nC\nLX\nA\n"; },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", 2, 2, 1}}},
      {"SYM of 3000 subnormal numbers",
       "X.SYM",
       [] {
         return kSymHeader +
                Repeat("L 1e-310 -2e-320 4e-324 1e-309 0 0\n", 500);
       },
       {Summary(0, 0, 1)},
       {{"/lib/X.SML", 500, 0, 0}}},

      // --- DXF texts ---------------------------------------------------
      {"empty DXF",
       "X.DXF",
       [] { return std::string(); },
       Failed(dxf, Summary(0, 0, 0)),
       {}},
      {"DXF without a BLOCKS section",
       "X.DXF",
       [] {
         return "0\nSECTION\n2\nENTITIES\n" + kLine + "0\nENDSEC\n0\nEOF\n";
       },
       {Summary(0, 0, 0)},
       {}},
      {"DXF cut off inside its second block",
       "X.DXF",
       [] {
         const std::string text =
             Dxf(Block("ONE", kLine) + Block("TWO", kLine));
         return text.substr(0, text.find("TWO") + 10);
       },
       Failed(dxf, Summary(0, 1, 0)),
       {{"/lib/ONE.SML", 1, 0, 0}}},
      {"DXF of binary junk",
       "X.DXF",
       [] { return Junk(1 << 16); },
       Failed(dxf, Summary(0, 0, 0)),
       {}},
      {"DXF of a million empty lines",
       "X.DXF",
       [] { return std::string(1000000, '\n'); },
       Failed(dxf, Summary(0, 0, 0)),
       {}},
      {"DXF of one 50 MB line",
       "X.DXF",
       [] { return std::string(k50MB, '0'); },
       Failed(dxf, Summary(0, 0, 0)),
       {}},
      {"DXF with a 50 MB value",
       "X.DXF",
       [] {
         return Dxf(Block("BIG", "0\nLINE\n10\n" + std::string(k50MB, '9') +
                                     "\n20\n-" + std::string(1000, '9') +
                                     "\n"));
       },
       {Summary(1, 1, 0)},
       {{"/lib/BIG.SML", 1, 0, 0}}},
      {"DXF with 100000 BLOCKs and no ENDBLK",
       "X.DXF",
       [] {
         return "0\nSECTION\n2\nBLOCKS\n" + Repeat("0\nBLOCK\n2\nX\n", 100000) +
                "0\nENDSEC\n0\nEOF\n";
       },
       {Summary(1, 0, 0)},
       {}},
      {"DXF with 100000 BLOCKs and no ENDBLK, ENDSEC or EOF",
       "X.DXF",
       [] {
         return "0\nSECTION\n2\nBLOCKS\n" + Repeat("0\nBLOCK\n2\nX\n", 100000);
       },
       Failed(dxf, Summary(0, 0, 0)),
       {}},
      {"DXF with 100000 BLOCKs, each with a LINE, and no ENDBLK",
       "X.DXF",
       [] {
         return "0\nSECTION\n2\nBLOCKS\n" +
                Repeat("0\nBLOCK\n2\nDEEP\n" + kLine, 100000) +
                "0\nENDSEC\n0\nEOF\n";
       },
       {Summary(1, 1, 0)},
       {{"/lib/DEEP.SML", 100000, 0, 0}}},
      {"DXF with huge, odd and non-numeric group codes and values",
       "X.DXF",
       [] {
         return Dxf(Block("ODD",
                          "0\nLINE\n99999999999\nx\n-0\n1\n1.5\n2\n"
                          "10\nabc\n20\n1e999\n30\n-1e999\n"
                          "11\n1e-400\n21\n\n0\nCIRCLE\n40\n-1\n"
                          "0\nARC\n50\nnan\n51\ninf\n"));
       },
       {Summary(1, 1, 0)},
       {{"/lib/ODD.SML", 1, 1, 1}}},
      {"DXF with NUL bytes in values",
       "X.DXF",
       [] {
         return Dxf(Block("NUL", "0\nLINE\n10\n1" + std::string(1, '\0') +
                                     "5\n20\n" + std::string(3, '\0') + "\n"));
       },
       {Summary(1, 1, 0)},
       {{"/lib/NUL.SML", 1, 0, 0}}},
      {"DXF with a NUL byte in a block name",
       "X.DXF",
       [] { return Dxf(Block(std::string("A\0B", 3), kLine)); },
       // The NUL once cut the prompt short; it shows escaped.
       {"Block \"A\\x00B\" cannot be written: it holds a NUL byte",
        ExpectedPrompt("/lib/A\\x00B.SYM"), Summary(1, 0, 0)},
       {}},
      // --- What the readers do not take, said as such ----------------------
      {"binary DXF cut short after its sentinel",
       "X.DXF",
       [] { return std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0", 24); },
       {"Premature end of file!", ExpectedPrompt(dxf), Summary(0, 0, 0)},
       {}},
      {"UTF-16 DXF without a byte-order mark",
       "X.DXF",
       [] { return Utf16(Dxf(Block("A", kLine))); },
       {"UTF-16 text is not supported", ExpectedPrompt(dxf), Summary(0, 0, 0)},
       {}},
      {"UTF-16 SYM with a byte-order mark",
       "X.SYM",
       [] { return "\xFF\xFE" + Utf16(kSymHeader + "L 0 0 0 1 1 0\n"); },
       {"UTF-16 text is not supported", ExpectedPrompt(sym), Summary(0, 0, 0)},
       {}},
      {"SYM of unknown and lower-case records only",
       "X.SYM",
       [] { return kSymHeader + "l 0 0 0 1 1 0\nX 1\nc 1 1 0 1\n"; },
       {Summary(0, 0, 0)},  // no shape: not written
       {}},
  };
}

class BadInputTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BadInputTest, FailsThatFileClearlyOrConvertsIt) {
  const CBadInput row = Table()[GetParam()];
  SCOPED_TRACE(row.name);
  CFakePlatform platform;
  platform.ScriptFolder("/lib");
  const std::string input = std::string("/lib/") + row.file;
  platform.PutFile(input, row.bytes());
  for (int i = 0; i < 4; ++i) platform.QueueAnswer(MessageResult::kYes);

  CConvertApp app(platform);
  app.RunBatch();
  EXPECT_EQ(app.outcome(), RunOutcome::kCompleted);

  std::vector<std::string> texts;
  for (const CFakeMessage& m : platform.messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, row.messages);

  std::vector<std::string> expected_files = {input};
  for (const COutputShapes& out : row.outputs) {
    expected_files.push_back(out.path);
    const std::optional<std::string> bytes = platform.FileBytes(out.path);
    ASSERT_TRUE(bytes.has_value()) << out.path;
    CSymbol symbol;
    ASSERT_NO_THROW(ReadSmlFile(*bytes, &symbol)) << out.path;
    if (out.lines != kAny) {
      EXPECT_EQ(symbol.lines.GetSize(), out.lines);
    }
    if (out.arcs != kAny) {
      EXPECT_EQ(symbol.arcs.GetSize(), out.arcs);
    }
    if (out.circles != kAny) {
      EXPECT_EQ(symbol.circles.GetSize(), out.circles);
    }
  }
  std::sort(expected_files.begin(), expected_files.end());
  EXPECT_EQ(platform.FilePaths(), expected_files);
}

INSTANTIATE_TEST_SUITE_P(Table, BadInputTest,
                         ::testing::Range(std::size_t{0}, Table().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           std::string name = Table()[info.param].name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) {
                               c = '_';
                             }
                           }
                           return name;
                         });

}  // namespace

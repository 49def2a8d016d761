// Runs `symconv inspect`, `render` and `sheet` on symbols that the real
// program converted from the examples, and checks what they print, write
// and return.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "support/program_run.h"
namespace fs = std::filesystem;

namespace {

std::size_t CountOf(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos;
       at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

class ToolCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_root = fs::temp_directory_path() /
             (std::string("symconv-tools-") + info->name());
    fs::remove_all(m_root);
    m_lib = m_root / "lib";
    fs::create_directories(m_lib);
    // The examples, converted by the program itself.
    for (const char* name :
         {"EARTH.SYM", "LAMP.SYM", "RESISTOR.SYM", "VALVE.SYM", "PARTS.DXF"}) {
      fs::copy_file(fs::path(SYMCONV_SOURCE_DIR) / "examples" / name,
                    m_lib / name);
    }
    const CRun run = Run("--yes '" + m_lib.string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(fs::exists(m_lib / "CAPACITOR.SML"));
  }
  void TearDown() override { fs::remove_all(m_root); }

  // Runs symconv with args (shell words), from m_root, without a terminal.
  CRun Run(const std::string& args) {
    return RunSymconv(m_root, args, "", m_root);
  }

  // check_markup.py on a written file; true when all holds (or no python).
  ::testing::AssertionResult Check(const fs::path& file,
                                   const std::string& args) {
    if (!fs::exists("/usr/bin/python3")) return ::testing::AssertionSuccess();
    const fs::path report = m_root / "check";
    const std::string command = "/usr/bin/python3 '" SYMCONV_SOURCE_DIR
                                "/src/preview/check_markup.py' '" +
                                file.string() + "' " + args + " >'" +
                                report.string() + "' 2>&1";
    if (std::system(command.c_str()) == 0) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << file << ": " << ReadAll(report);
  }

  fs::path m_root;
  fs::path m_lib;
};

TEST_F(ToolCommands, InspectPrintsEveryFileAndFailsOnBadOnes) {
  const std::string good = (m_lib / "VALVE.SML").string();
  // Cut inside the second line, before its start point.
  WriteAll(m_lib / "CUT.SML", ReadAll(m_lib / "LAMP.SML").substr(0, 95));
  CRun run = Run("inspect '" + good + "' lib/CUT.SML lib/LAMP.SML");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find(good + "\n  symbol   \"VALVE\"\n"
                                "  shapes   6 lines, 1 arcs, 0 circles\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("sweep 180 deg"), std::string::npos);
  EXPECT_NE(run.out.find("lib/LAMP.SML\n"), std::string::npos);
  EXPECT_EQ(run.out.find("CUT"), std::string::npos);
  EXPECT_NE(
      run.err.find(
          "lib/CUT.SML: offset 95: expected the x of the start of line 2"),
      std::string::npos)
      << run.err;

  run = Run("inspect --json lib/LAMP.SML lib/CUT.SML");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(CountOf(run.out, "\n"), 2u);
  EXPECT_EQ(run.out.rfind("{\"file\":\"lib/LAMP.SML\",\"name\":\"LAMP\","
                          "\"counts\":{\"lines\":4,\"arcs\":0,\"circles\":1}",
                          0),
            0u)
      << run.out;
  EXPECT_NE(run.out.find("{\"file\":\"lib/CUT.SML\",\"error\":\"offset 95: "),
            std::string::npos);
  EXPECT_NE(run.out.find("\"offset\":95}\n"), std::string::npos);

  EXPECT_EQ(Run("inspect").status, 2);
  EXPECT_EQ(Run("inspect --help").status, 0);
}

// A .SYM source and a DXF block draw exactly as the .SML made from them.
TEST_F(ToolCommands, RenderDrawsEverySourceKindAlike) {
  CRun run = Run("render lib/LAMP.SML lib/PARTS.DXF -o sml/");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "sml/LAMP.svg\nsml/DIODE.svg\nsml/CAPACITOR.svg\nsml/MOTOR.svg\n");
  run = Run("render lib/LAMP.SYM -o from-sym.svg");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(m_root / "from-sym.svg"), ReadAll(m_root / "sml/LAMP.svg"));
  run = Run("render lib/CAPACITOR.SML lib/MOTOR.SML -o sml2");
  EXPECT_EQ(run.status, 2) << run.err;
  fs::create_directory(m_root / "sml2");
  run = Run("render lib/CAPACITOR.SML lib/MOTOR.SML -o sml2");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(m_root / "sml2/CAPACITOR.svg"),
            ReadAll(m_root / "sml/CAPACITOR.svg"));

  // Without -o, next to the source; a DXF gives SOURCE-BLOCK.svg.
  run = Run("render lib/VALVE.SML lib/PARTS.DXF");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(m_lib / "VALVE.svg"));
  EXPECT_TRUE(fs::exists(m_lib / "PARTS-MOTOR.svg"));

  EXPECT_TRUE(Check(m_root / "sml/LAMP.svg", "--lines 4 --circles 1"));
  EXPECT_TRUE(Check(m_lib / "VALVE.svg", "--lines 6 --arcs 1 --circles 0"));
  EXPECT_TRUE(Check(m_root / "sml/CAPACITOR.svg", "--lines 3 --arcs 1"));
}

TEST_F(ToolCommands, RenderNamesWhatItCouldNotDraw) {
  WriteAll(m_lib / "HEAD.SYM", "header only\n");
  WriteAll(m_lib / "BAD.SML", "KROWinSymbol1");
  const CRun run =
      Run("render lib/HEAD.SYM lib/BAD.SML lib/EARTH.SML -o pics/");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "pics/EARTH.svg\n");
  EXPECT_NE(run.err.find("lib/HEAD.SYM: a header line alone"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("lib/BAD.SML: offset 0: expected the magic"),
            std::string::npos)
      << run.err;
}

TEST_F(ToolCommands, SheetShowsEverySymbolAndMarksBadFiles) {
  WriteAll(m_lib / "B&<AD>.sml", "not a symbol");
  fs::copy_file(m_lib / "LAMP.SML", m_lib / "Z.SML");
  CRun run = Run("sheet lib -o page.html");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "page.html: 8 symbols, 1 errors\n");
  const std::string page = ReadAll(m_root / "page.html");
  EXPECT_NE(page.find("B&amp;&lt;AD&gt;.sml"), std::string::npos);
  // Sorted by name; Z.SML holds the symbol named LAMP.
  EXPECT_LT(page.find(">B&amp;&lt;AD&gt;.sml<"), page.find(">CAPACITOR.SML<"));
  EXPECT_LT(page.find(">VALVE.SML<"), page.find(">Z.SML<"));
  EXPECT_NE(page.find("symbol &#8220;LAMP&#8221;"), std::string::npos);
  EXPECT_TRUE(Check(m_root / "page.html",
                    "--svgs 8 --tiles 9 --errors 1 --arcs 2 --circles 3"));

  fs::remove(m_lib / "B&<AD>.sml");
  run = Run("sheet lib");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(m_root / "sheet.html"));
  EXPECT_EQ(Run("sheet no-such-folder").status, 2);
}

// Only a first argument that names a command selects it; a folder called
// inspect is converted when given as ./inspect.
// A FIFO named like a symbol once hung the sheet, and a link to /dev/zero
// grew until memory ran out; both are refused by name, and the rest shown.
TEST_F(ToolCommands, SheetRefusesWhatIsNotARegularFileWithoutWaiting) {
  ASSERT_EQ(::mkfifo((m_lib / "PIPE.SML").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", m_lib / "ZERO.SML");
  CRun run = Run("sheet lib -o page.html");
  EXPECT_EQ(run.status, 1);
  for (const char* name : {"PIPE.SML", "ZERO.SML"}) {
    EXPECT_NE(run.err.find(std::string("lib/") + name + ": not a regular file"),
              std::string::npos)
        << run.err;
  }
  EXPECT_NE(run.out.find("7 symbols, 2 errors"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::exists(m_root / "page.html"));
}

TEST_F(ToolCommands, ConversionOfAFolderNamedLikeACommand) {
  fs::create_directory(m_root / "inspect");
  fs::copy_file(m_lib / "LAMP.SYM", m_root / "inspect/LAMP.SYM");
  const CRun run = Run("./inspect --yes");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(m_root / "inspect/LAMP.SML"));
}

}  // namespace

// Runs the symconv program on folders made here and checks what it writes,
// prints and returns.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dxf/dxf_test_support.h"
#include "support/batch_messages.h"
#include "support/hex.h"
#include "support/program_run.h"
#include "support/sym_text.h"

namespace fs = std::filesystem;

namespace {

class SymconvRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_root = fs::temp_directory_path() /
             (std::string("symconv-e2e-") + info->name());
    fs::remove_all(m_root);
    m_folder = m_root / "lib";
    fs::create_directories(m_folder);
  }
  void TearDown() override {
    fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(m_root);
  }

  // Runs symconv (or program) with args (shell words) and no terminal on
  // any stream.
  CRun Run(const std::string& args, const std::string& input = "",
           const std::string& program = SYMCONV_EXE) {
    return RunSymconv(m_root, args, input, {}, program);
  }
  CRun Convert(const std::string& flags = "") {
    return Run(flags + " '" + m_folder.string() + "'");
  }

  // Converts as a user who owns nothing here: as nobody when run as root
  // (which may write anywhere), as ourselves otherwise. A status of
  // kCannotDropPrivileges means that this machine cannot do it (err says
  // why).
  CRun ConvertUnprivileged(const std::string& flags) {
    if (std::system("test \"$(id -u)\" != 0") == 0) return Convert(flags);
    if (std::system("setpriv --help >/dev/null 2>&1") != 0 ||
        std::system("id nobody >/dev/null 2>&1") != 0) {
      return {kCannotDropPrivileges, "", "needs setpriv and the user nobody"};
    }
    fs::permissions(m_root, fs::perms::all);
    CRun run = Run("--reuid=nobody --regid=nogroup --clear-groups '" +
                       std::string(SYMCONV_EXE) + "' " + flags + " '" +
                       m_folder.string() + "'",
                   "", "setpriv");
    if (run.err.find("setpriv:") != std::string::npos) {
      run.status = kCannotDropPrivileges;
    }
    return run;
  }
  static constexpr int kCannotDropPrivileges = -2;

  // The summary as printed: the folder is the one converted, then a newline.
  std::string Summary(int dxf_files, int dxf_symbols, int sym_files) {
    return ExpectedSummary(m_folder.string(), dxf_files, dxf_symbols,
                           sym_files) +
           "\n";
  }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path m_root;
  fs::path m_folder;
};

// The 297 bytes of BOX.SML, a line from (0, 0, 0) to (2, 1, 0).
const char kBoxSml[] =
    "0D 4B524F57696E53796D626F6C31 03424F58 00 00000000"
    " 0100 FFFFD2040500434C696E65 01000000"
    " 0000000000000000 000000000000F0BF 0000000000000000"
    " 0000000000000040 0000000000000000 0000000000000000"
    " 0000 0000"
    " 0000000000000000 000000000000F0BF 0000000000000040 0000000000000000"
    " 000000000000F03F 0000000000000040"
    " 06313131313131 00000000"
    " 00000000000002000000 00000000000002000000 00000000000002000000"
    " 00000000000002000000 00000000000002000000 00000000000002000000"
    " 00000000 00 02544C 333333333333C33F 00000000 0000"
    " 00000000000000000000000000000000000000000000000000000000000000000000"
    "000000000000"
    " 0000000000000080 000000000000F0BF 0000000000000000";

TEST_F(SymconvRun, WritesTheExactSmlAndTheSummary) {
  WriteAll(m_folder / "BOX.SYM", std::string(kSymHeader) + "L 0 0 0 2 1 0\n");
  const CRun run = Convert();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Summary(0, 0, 1));
  const std::string sml = ReadAll(m_folder / "BOX.SML");
  const std::string expected = FromHex(kBoxSml);
  ASSERT_EQ(expected.size(), 297u);
  EXPECT_EQ(ToHex(sml), ToHex(expected));
}

TEST_F(SymconvRun, EmptyFolderAndMixedCaseExtensions) {
  CRun run = Convert();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Summary(0, 0, 0));

  WriteAll(m_folder / "old.Sym", std::string(kSymHeader) + "C 0 0 0 1\n");
  WriteAll(m_folder / "new.sym", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  WriteAll(m_folder / "notes.txt", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  run = Convert();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Summary(0, 0, 2));
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"new.SML", "new.sym", "notes.txt",
                                      "old.SML", "old.Sym"}));
}

TEST_F(SymconvRun, FailedFilesAreNotCountedAndPromptNamesThem) {
  WriteAll(m_folder / "A.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  fs::create_directory(m_folder / "x.sym");
  WriteAll(m_folder / "z.sym", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");

  CRun run = Convert("--yes");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Summary(0, 0, 2));
  EXPECT_NE(run.err.find(ExpectedPrompt((m_folder / "x.sym").string())),
            std::string::npos)
      << run.err;

  fs::remove(m_folder / "A.SML");
  fs::remove(m_folder / "z.SML");
  run = Convert("--no");  // stops at x.sym: no summary, z never converted
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(fs::exists(m_folder / "A.SML"));
  EXPECT_FALSE(fs::exists(m_folder / "z.SML"));

  run = Convert();  // no terminal and no flag: the prompt answers No
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
}

TEST_F(SymconvRun, OutputThatCannotBeWrittenIsAFailureOfItsSource) {
  // A folder in the place of B.SML cannot be replaced, even by root.
  WriteAll(m_folder / "A.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  WriteAll(m_folder / "B.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  fs::create_directory(m_folder / "B.SML");
  CRun run = Convert("--yes");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Summary(0, 0, 1));
  EXPECT_NE(run.err.find("\"" + (m_folder / "B.SYM").string() + "\""),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"A.SML", "A.SYM", "B.SML", "B.SYM"}));
  EXPECT_TRUE(fs::is_directory(m_folder / "B.SML"));
}

TEST_F(SymconvRun, ReadOnlyFolderWritesNothingAndCountsNothing) {
  WriteAll(m_folder / "A.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  fs::permissions(m_folder, fs::perms::owner_write, fs::perm_options::remove);
  const CRun run = ConvertUnprivileged("--yes");
  if (run.status == kCannotDropPrivileges) GTEST_SKIP() << run.err;
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Summary(0, 0, 0));
  EXPECT_EQ(Names(), (std::vector<std::string>{"A.SYM"}));
}

// A rename needs only the folder's permission: a symbol that its user may
// not write was replaced without a word.
TEST_F(SymconvRun, ASymbolTheUserMayNotWriteIsAFailureAndStays) {
  WriteAll(m_folder / "A.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  WriteAll(m_folder / "A.SML", "old");
  fs::permissions(m_folder / "A.SML", fs::perms::owner_read |
                                          fs::perms::group_read |
                                          fs::perms::others_read);
  fs::permissions(m_folder, fs::perms::all);
  const CRun run = ConvertUnprivileged("--yes");
  if (run.status == kCannotDropPrivileges) GTEST_SKIP() << run.err;
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Summary(0, 0, 0));
  EXPECT_NE(run.err.find((m_folder / "A.SYM").string()), std::string::npos);
  EXPECT_EQ(ReadAll(m_folder / "A.SML"), "old");
  EXPECT_EQ(Names(), (std::vector<std::string>{"A.SML", "A.SYM"}));
}

// The command line said "(Windows returned code: 13)".
TEST_F(SymconvRun, AFolderThatCannotBeEnteredNamesTheSystemsReason) {
  fs::permissions(m_folder, fs::perms::owner_all);
  const CRun run = ConvertUnprivileged("");
  if (run.status == kCannotDropPrivileges) GTEST_SKIP() << run.err;
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "symconv: Unknown error whilst changing to the symbol "
            "directory\n\n(Permission denied)\n");
}

// An interrupted run once left its partial temporary for good.
TEST_F(SymconvRun, ATerminatedRunLeavesNoTemporaryAndDiesOfTheSignal) {
  std::string line =
      "0\nLINE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n4\n21\n-3\n31\n0\n";
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += line;
  std::string dxf = "0\nSECTION\n2\nBLOCKS\n";
  for (int b = 0; b < 30; ++b) {
    dxf += "0\nBLOCK\n2\nB" + std::to_string(b) + "\n10\n0\n20\n0\n" + lines +
           "0\nENDBLK\n";
  }
  WriteAll(m_folder / "BIG.DXF", dxf + "0\nENDSEC\n0\nEOF\n");
  // Waits for the first temporary, then sends SIGTERM; prints the status.
  const std::string folder = "'" + m_folder.string() + "'";
  const std::string script = "'" + std::string(SYMCONV_EXE) + "' --yes " +
                             folder +
                             " >/dev/null 2>&1 & pid=$!\n"
                             "until ls -a " +
                             folder +
                             " | grep -q '^[.]sc.*[.]tmp$'; do\n"
                             "  kill -0 $pid 2>/dev/null || break\n"
                             "done\n"
                             "kill -TERM $pid; wait $pid; echo $? >'" +
                             (m_root / "rc").string() + "'\n";
  WriteAll(m_root / "interrupt.sh", script);
  ASSERT_EQ(
      std::system(
          ("sh '" + (m_root / "interrupt.sh").string() + "' 2>&1").c_str()),
      0);
  EXPECT_EQ(ReadAll(m_root / "rc"), "143\n");  // 128 + SIGTERM
  EXPECT_EQ(Names(), (std::vector<std::string>{"BIG.DXF"}));
}

// A folder entered but not listed (mode 711, another user) once gave a
// summary of nothing converted and exit status 0.
TEST_F(SymconvRun, AFolderThatCannotBeListedFailsNamingItAndTheReason) {
  WriteAll(m_folder / "A.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  fs::permissions(m_folder, fs::perms::owner_all | fs::perms::group_exec |
                                fs::perms::others_exec);
  const CRun run = ConvertUnprivileged("");
  if (run.status == kCannotDropPrivileges) GTEST_SKIP() << run.err;
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "symconv: Cannot list the folder \"" + m_folder.string() +
                         "\": Permission denied\n");
}

TEST_F(SymconvRun, PrematureEndIsAFailureOfThatFileOnly) {
  WriteAll(m_folder / "A.SYM", "");  // no line at all
  WriteAll(m_folder / "B.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  WriteAll(m_folder / "C.SYM", std::string(kSymHeader));  // a header alone
  WriteAll(m_folder / "D.SYM", "L 0 0 0 1 1 0");          // no LF at all
  const CRun run = Convert("--yes");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Summary(0, 0, 1));
  for (const char* name : {"A.SYM", "D.SYM"}) {
    EXPECT_NE(run.err.find("Premature end of file!\n"), std::string::npos);
    EXPECT_NE(run.err.find((m_folder / name).string()), std::string::npos)
        << name;
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"A.SYM", "B.SML", "B.SYM",
                                               "C.SYM", "D.SYM"}));
}

TEST_F(SymconvRun, RefusesAMissingFolderAndBadUsage) {
  CRun run = Run("'" + (m_root / "missing").string() + "'");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("No such file or directory"), std::string::npos);
  WriteAll(m_root / "file", "x");
  run = Run("'" + (m_root / "file").string() + "'");
  EXPECT_EQ(run.status, 2);
  run = Run("--yes --no '" + m_folder.string() + "'");
  EXPECT_EQ(run.status, 2);
  run = Run("--frobnicate");
  EXPECT_EQ(run.status, 2);
  run = Run("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("FOLDER"), std::string::npos);
  run = Run("--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("symconv"), std::string::npos);
}

// Without a terminal the folder was read from the pipe: a run waited as
// long as the pipe stayed open, and </dev/null ended silently with 0.
TEST_F(SymconvRun, WithoutAFolderAndATerminalItIsAUsageError) {
  WriteAll(m_folder / "B.SYM", std::string(kSymHeader) + "L 0 0 0 1 1 0\n");
  for (const std::string& input : {std::string(), m_folder.string() + "\n"}) {
    const CRun run = Run("--yes", input);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "symconv: FOLDER is required when standard input is not a "
              "terminal\n");
  }
  EXPECT_FALSE(fs::exists(m_folder / "B.SML"));
}

TEST_F(SymconvRun, DrawingsPolylinesAndWhatWasPassedOver) {
  // A block B of a line and a polyline; a drawing of a half circle drawn as
  // a polyline segment of bulge 1, and a text.
  WriteAll(m_folder / "ARCH.DXF",
           "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n"
           "0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n"
           "0\nLWPOLYLINE\n10\n0\n20\n0\n10\n1\n20\n0\n0\nENDBLK\n0\nENDSEC\n"
           "0\nSECTION\n2\nENTITIES\n"
           "0\nLWPOLYLINE\n90\n2\n70\n0\n10\n0\n20\n0\n42\n1\n10\n2\n20\n0\n"
           "0\nMTEXT\n1\nnote\n0\nENDSEC\n0\nEOF\n");
  CRun run = Convert("--yes");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Summary(1, 1, 0));
  EXPECT_EQ(run.err,
            "symconv: passed over: 1 LWPOLYLINE (--polylines converts "
            "polylines)\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"ARCH.DXF", "B.SML"}));

  run = Convert("--drawings --polylines --verbose");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Summary(1, 2, 0));
  EXPECT_EQ(run.err, "symconv: ARCH.DXF, drawing: passed over 1 MTEXT\n");
  // The drawing is the half circle that this record draws.
  const std::string drawing = ReadAll(m_folder / "ARCH.SML");
  fs::remove(m_folder / "ARCH.DXF");
  WriteAll(m_folder / "ARCH.SYM",
           std::string(kSymHeader) +
               "A 1.000000 -0.000000 0.000000 180.000000 0.000000 "
               "1.000000\n");
  run = Convert();
  EXPECT_EQ(run.out, Summary(0, 0, 1));
  EXPECT_EQ(ReadAll(m_folder / "ARCH.SML"), drawing);
}

// With two cores the sources are read and converted on a second thread; the
// run must still print, prompt and write as one thread does, also where
// sources cannot be read (a folder, a pipe) or end early, among more files
// than are read or woken for at once.
TEST_F(SymconvRun, ConvertingAheadPrintsAndWritesAsOneThread) {
  for (int i = 10; i < 90; ++i) {
    WriteAll(
        m_folder / ("S" + std::to_string(i) + ".SYM"),
        std::string(kSymHeader) + "L 0 0 0 " + std::to_string(i) + " 1 0\n");
  }
  fs::create_directory(m_folder / "S30X.SYM");
  ASSERT_EQ(std::system(
                ("mkfifo '" + (m_folder / "S60X.SYM").string() + "'").c_str()),
            0);
  std::string blocks;
  for (int i = 0; i < 30; ++i) {
    blocks += Lines("0|BLOCK|2|B" + std::to_string(i) +
                    "|70|0|10|0|20|0|30|0|0|LINE|8|0|10|0|20|0|30|0|11|" +
                    std::to_string(i) + "|21|1|31|0|0|ENDBLK");
  }
  const std::string dxf =
      Lines("0|SECTION|2|BLOCKS") + blocks + Lines("0|ENDSEC|0|EOF");
  WriteAll(m_folder / "A.DXF", dxf);
  WriteAll(m_folder / "B.DXF", dxf.substr(0, dxf.size() / 2));
  WriteAll(m_folder / "C.DXF", dxf);

  std::vector<std::string> runs[2];
  for (bool one_thread : {true, false}) {
    const std::string env =
        one_thread ? "SYMCONV_ONE_THREAD=1" : "-u SYMCONV_ONE_THREAD";
    const CRun run =
        Run(env + " '" + SYMCONV_EXE + "' --yes '" + m_folder.string() + "'",
            "", "env");
    std::vector<std::string>& seen = runs[one_thread ? 0 : 1];
    seen = {std::to_string(run.status), run.out, run.err};
    for (const std::string& name : Names()) {
      if (!name.ends_with(".SML")) continue;
      seen.push_back(name + " " + ToHex(ReadAll(m_folder / name)));
      fs::remove(m_folder / name);
    }
  }
  EXPECT_EQ(runs[0].size(), 3u + 80 + 30) << runs[0][2];
  EXPECT_EQ(runs[1], runs[0]);
}

}  // namespace

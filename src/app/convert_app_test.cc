// The batch driver on the fake platform: the run's flow, the summary, the
// failure prompt and what is counted after failures.

#include "app/convert_app.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "support/batch_messages.h"
#include "support/sym_text.h"

namespace {

const std::string kLineSym = std::string(kSymHeader) + "L 0 0 0 2 1 0\n";

std::string Block(const std::string& name, const std::string& entities) {
  return "0\nBLOCK\n8\n0\n2\n" + name + "\n70\n0\n10\n0.0\n20\n0.0\n30\n0.0\n" +
         "3\n" + name + "\n" + entities + "0\nENDBLK\n";
}

std::string Line(int x1, int y1, int x2, int y2) {
  return "0\nLINE\n8\n0\n10\n" + std::to_string(x1) + "\n20\n" +
         std::to_string(y1) + "\n30\n0\n11\n" + std::to_string(x2) + "\n21\n" +
         std::to_string(y2) + "\n31\n0\n";
}

std::string Dxf(const std::string& blocks) {
  return "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n0\nEOF\n";
}

class ConvertAppTest : public ::testing::Test {
 protected:
  ConvertAppTest() { m_platform.ScriptFolder("/lib"); }

  void Run() {
    CConvertApp app(m_platform);
    EXPECT_FALSE(app.RunBatch());
    m_outcome = app.outcome();
    m_bAnyFailure = app.any_failure();
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const CFakeMessage& m : m_platform.messages()) texts.push_back(m.text);
    return texts;
  }

  CFakePlatform m_platform;
  RunOutcome m_outcome = RunOutcome::kFailed;
  bool m_bAnyFailure = true;
};

TEST_F(ConvertAppTest, CancelledChoiceTouchesNothing) {
  m_platform.ScriptCancel();
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kCancelled);
  EXPECT_TRUE(m_platform.messages().empty());
  EXPECT_EQ(m_platform.OperationCount(), 0);
  EXPECT_EQ(m_platform.FilePaths(), std::vector<std::string>{"/lib/A.SYM"});
}

TEST_F(ConvertAppTest, FolderThatCannotBeMadeCurrentConvertsNothing) {
  m_platform.PutFile("/A.SYM", kLineSym);  // in the current folder
  m_platform.ScriptFolder("/missing");
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kNoFolder);
  EXPECT_EQ(Texts(), std::vector<std::string>{"An internal error has occured"});

  m_platform.PutFolder("/locked");
  m_platform.SetChangeDirectoryError("/locked", CFileException::accessDenied,
                                     5);
  m_platform.ScriptFolder("/locked");
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kNoFolder);
  EXPECT_EQ(Texts().back(),
            "Unknown error whilst changing to the symbol directory\n\n"
            "(Windows returned code: 5)");
  EXPECT_EQ(m_platform.FilePaths(), std::vector<std::string>{"/A.SYM"});
}

TEST_F(ConvertAppTest, CountsDxfFilesBlocksAndSymFiles) {
  m_platform.PutFile("/lib/PARTS.DXF", Dxf(Block("ONE", Line(0, 0, 1, 1)) +
                                           Block("TWO", Line(0, 0, 2, 2)) +
                                           Block("THREE", Line(0, 0, 3, 3))));
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  m_platform.PutFile("/lib/b.sym", kLineSym);
  m_platform.PutFile("/lib/NOTES.TXT", kLineSym);
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kCompleted);
  EXPECT_FALSE(m_bAnyFailure);
  ASSERT_EQ(m_platform.messages().size(), 1u);
  EXPECT_EQ(m_platform.messages()[0].kind, CFakeMessage::kSummary);
  EXPECT_EQ(m_platform.messages()[0].text, ExpectedSummary("/lib", 1, 3, 2));
  EXPECT_EQ(m_platform.beeps(), 5);
  for (const char* out : {"/lib/ONE.SML", "/lib/TWO.SML", "/lib/THREE.SML",
                          "/lib/A.SML", "/lib/b.SML"}) {
    EXPECT_TRUE(m_platform.HasFile(out)) << out;
  }
  ASSERT_EQ(m_platform.progress().size(), 4u);  // three files, then done
  EXPECT_EQ(m_platform.progress()[1].name, "A.SYM");
  EXPECT_EQ(m_platform.progress()[3].done, 3);
  EXPECT_EQ(m_platform.progress()[3].total, 3);
}

TEST_F(ConvertAppTest, LaterOutputsReplaceEarlierOnesOfTheSameName) {
  // DXF files come first, in name order; a .SYM file of the name last.
  m_platform.PutFile("/lib/A.DXF", Dxf(Block("X", Line(0, 0, 1, 1))));
  m_platform.PutFile("/lib/B.DXF", Dxf(Block("X", Line(0, 0, 5, 5))));
  CFakePlatform reference;
  reference.ScriptFolder("/r");
  reference.PutFile("/r/B.DXF", Dxf(Block("X", Line(0, 0, 5, 5))));
  CConvertApp(reference).RunBatch();
  Run();
  EXPECT_EQ(Texts().back(), ExpectedSummary("/lib", 2, 2, 0));
  EXPECT_EQ(m_platform.FileBytes("/lib/X.SML"),
            reference.FileBytes("/r/X.SML"));

  m_platform.PutFile("/lib/X.SYM", kLineSym);
  reference.PutFile("/r/X.SYM", kLineSym);
  reference.Erase("/r/B.DXF");
  CConvertApp(reference).RunBatch();
  Run();
  EXPECT_EQ(m_platform.FileBytes("/lib/X.SML"),
            reference.FileBytes("/r/X.SML"));
}

TEST_F(ConvertAppTest, FailedWritesAreNotCountedAndKeepTheEarlierFile) {
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  m_platform.PutFile("/lib/B.SYM", kLineSym);
  m_platform.PutFile("/lib/B.SML", "earlier");
  m_platform.FailOperation(FakeFileOp::kWrite, 2);  // B's only write
  m_platform.QueueAnswer(MessageResult::kYes);
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kCompleted);
  EXPECT_TRUE(m_bAnyFailure);
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{ExpectedPrompt("/lib/B.SYM"),
                                      ExpectedSummary("/lib", 0, 0, 1)}));
  EXPECT_EQ(m_platform.FileBytes("/lib/B.SML"), "earlier");
  EXPECT_EQ(m_platform.beeps(), 2);  // the beep follows a passed-over failure
  EXPECT_EQ(m_platform.FilePaths(),
            (std::vector<std::string>{"/lib/A.SML", "/lib/A.SYM", "/lib/B.SML",
                                      "/lib/B.SYM"}));
}

TEST_F(ConvertAppTest, NoAtThePromptStopsTheRunWithoutSummary) {
  m_platform.PutFile("/lib/A.DXF", Dxf(Block("X", Line(0, 0, 1, 1))));
  m_platform.PutFolder("/lib/B.DXF");  // a folder is handed on, and fails
  m_platform.PutFile("/lib/C.SYM", kLineSym);
  m_platform.QueueAnswer(MessageResult::kNo);
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kStopped);
  EXPECT_EQ(Texts(), std::vector<std::string>{ExpectedPrompt("/lib/B.DXF")});
  EXPECT_TRUE(m_platform.HasFile("/lib/X.SML"));
  EXPECT_FALSE(m_platform.HasFile("/lib/C.SML"));
}

TEST_F(ConvertAppTest, PrematureEndFailsOnlyThatFile) {
  m_platform.PutFile("/lib/A.SYM", "");
  m_platform.PutFile("/lib/B.SYM", "L 0 0 0 1 1 0");  // no LF at all
  m_platform.PutFile("/lib/C.SYM", kSymHeader);       // a header alone
  m_platform.PutFile("/lib/D.SYM", kLineSym);
  // A DXF file that ends inside its second block: the first stays written
  // and counted, the file is not.
  const std::string dxf =
      Dxf(Block("FIRST", Line(0, 0, 1, 1)) + Block("SECOND", Line(0, 0, 1, 1)));
  m_platform.PutFile("/lib/E.DXF", dxf.substr(0, dxf.find("SECOND") + 20));
  m_platform.QueueAnswers(
      {MessageResult::kYes, MessageResult::kYes, MessageResult::kYes});
  Run();
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "Premature end of file!", ExpectedPrompt("/lib/E.DXF"),
                         "Premature end of file!", ExpectedPrompt("/lib/A.SYM"),
                         "Premature end of file!", ExpectedPrompt("/lib/B.SYM"),
                         ExpectedSummary("/lib", 0, 1, 1)}));
  EXPECT_TRUE(m_platform.HasFile("/lib/FIRST.SML"));
  EXPECT_FALSE(m_platform.HasFile("/lib/C.SML"));
  EXPECT_TRUE(m_platform.HasFile("/lib/D.SML"));
}

TEST_F(ConvertAppTest, BlockNamesThatLeaveTheFolderAreRefused) {
  m_platform.PutFile(
      "/lib/A.DXF",
      Dxf(Block("../up", Line(0, 0, 1, 1)) + Block("..", Line(0, 0, 1, 1)) +
          Block("a\\b", Line(0, 0, 1, 1)) + Block("OK", Line(0, 0, 1, 1))));
  m_platform.QueueAnswers(
      {MessageResult::kYes, MessageResult::kYes, MessageResult::kYes});
  Run();
  EXPECT_EQ(
      Texts(),
      (std::vector<std::string>{
          "Block \"../up\" cannot be written: it holds a path separator",
          ExpectedPrompt("/lib/../up.SYM"),
          "Block \"..\" cannot be written: it names a folder",
          ExpectedPrompt("/lib/...SYM"),
          "Block \"a\\b\" cannot be written: it holds a path separator",
          ExpectedPrompt("/lib/a\\b.SYM"), ExpectedSummary("/lib", 1, 1, 0)}));
  EXPECT_EQ(m_platform.FilePaths(),
            (std::vector<std::string>{"/lib/A.DXF", "/lib/OK.SML"}));
}

// Windows would open a device for CON.SML and a data stream for a:b.SML;
// elsewhere they are good names, but the library will not copy to Windows.
TEST(ConvertAppNames, WindowsRefusesItsDeviceNamesOthersWarnOfThem) {
  const std::string dxf =
      Dxf(Block("con", Line(0, 0, 1, 1)) + Block("a:b", Line(0, 0, 1, 1)) +
          Block("OK", Line(0, 0, 1, 1)));
  struct Case {
    char separator;
    std::string folder;
    std::vector<std::string> messages;
    std::vector<std::string> notes;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {'\\',
       "C:\\lib",
       {"Block \"con\" cannot be written: Windows reserves it for a device",
        ExpectedPrompt("C:\\lib\\con.SYM"),
        "Block \"a:b\" cannot be written: Windows allows no ':' in a file name",
        ExpectedPrompt("C:\\lib\\a:b.SYM"),
        ExpectedSummary("C:\\lib", 1, 1, 0)},
       {"C:\\lib\\con.SYM: Windows reserves it for a device (block con of "
        "A.DXF)",
        "C:\\lib\\a:b.SYM: Windows allows no ':' in a file name (block a:b of "
        "A.DXF)"},
       {"C:\\lib\\A.DXF", "C:\\lib\\OK.SML"}},
      {'/',
       "/lib",
       {ExpectedSummary("/lib", 1, 3, 0)},
       {"warning: Windows cannot hold these files, so this library will not "
        "copy there: \"con.SML\" \"a:b.SML\""},
       {"/lib/A.DXF", "/lib/OK.SML", "/lib/a:b.SML", "/lib/con.SML"}},
  };
  for (const Case& c : cases) {
    CFakePlatform platform(c.separator);
    platform.ScriptFolder(c.folder);
    platform.PutFile(c.folder + c.separator + "A.DXF", dxf);
    platform.QueueAnswers({MessageResult::kYes, MessageResult::kYes});
    CConvertApp app(platform);
    app.RunBatch();
    std::vector<std::string> texts;
    for (const CFakeMessage& m : platform.messages()) texts.push_back(m.text);
    EXPECT_EQ(texts, c.messages) << c.separator;
    EXPECT_EQ(platform.notes(), c.notes) << c.separator;
    EXPECT_EQ(platform.FilePaths(), c.written) << c.separator;
    EXPECT_EQ(app.any_failure(), c.separator == '\\');
  }
}

TEST_F(ConvertAppTest, WindowsNamingAndTraceMarker) {
  CFakePlatform windows('\\');
  windows.ScriptFolder("C:\\lib");
  windows.PutFile("C:\\lib\\plan.dxf",
                  Dxf("0\nBLOCK\n8\n0\n2\nVALVE\n70\n0\n10\n0\n20\n0\n30\n0\n"
                      "0\nLINE\n8\n0\nIT'S ME\nx\n10\n0\n20\n0\n30\n0\n11\n1\n"
                      "21\n1\n31\n0\n0\nENDBLK\n"));
  CConvertApp app(windows);
  app.RunBatch();
  EXPECT_EQ(app.m_strFolder, "C:\\lib\\");
  EXPECT_TRUE(windows.HasFile("C:\\lib\\VALVE.SML"));
  ASSERT_EQ(windows.messages().size(), 2u);
  EXPECT_EQ(windows.messages()[0].text, "getxyz1");  // the marker's checkpoint
  EXPECT_EQ(windows.messages()[1].text, ExpectedSummary("C:\\lib", 1, 1, 0));
}

// A platform whose reads fail in a way no guard expects.
class CBrokenPlatform : public CFakePlatform {
 public:
  CFileContents ReadFile(const std::string& path) override {
    if (path.find("BAD") != std::string::npos)
      throw std::runtime_error("internal failure");
    return CFakePlatform::ReadFile(path);
  }
};

TEST(ConvertAppUnexpected, EndsTheRunNamingTheFailureAndTheFile) {
  CBrokenPlatform platform;
  platform.ScriptFolder("/lib");
  platform.PutFile("/lib/A.SYM", kLineSym);
  platform.PutFile("/lib/BAD.SYM", kLineSym);
  platform.PutFile("/lib/C.SYM", kLineSym);
  CConvertApp app(platform);
  app.RunBatch();
  EXPECT_EQ(app.outcome(), RunOutcome::kFailed);
  ASSERT_EQ(platform.messages().size(), 1u);
  EXPECT_EQ(platform.messages()[0].text,
            "The conversion stopped: internal failure\n\nwhile converting "
            "\"/lib/BAD.SYM\"");
  EXPECT_TRUE(platform.HasFile("/lib/A.SML"));
  EXPECT_FALSE(platform.HasFile("/lib/C.SML"));
}

// --- Drawings, polylines and what was passed over -------------------------

// A DXF file with a BLOCKS section (blocks may be empty) and an ENTITIES
// section, the drawing.
std::string DxfWithDrawing(const std::string& blocks,
                           const std::string& entities) {
  return "0\nSECTION\n2\nBLOCKS\n" + blocks +
         "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities +
         "0\nENDSEC\n0\nEOF\n";
}

const std::string kText = "0\nTEXT\n1\nnote\n";

void RunWith(CFakePlatform& platform, bool drawings, bool polylines,
             bool verbose) {
  CConvertApp app(platform);
  CConvertOptions options;
  options.dxf.drawings = drawings;
  options.dxf.polylines = polylines;
  options.verbose = verbose;
  app.SetOptions(options);
  app.RunBatch();
  EXPECT_EQ(app.outcome(), RunOutcome::kCompleted);
}

TEST_F(ConvertAppTest, DrawingsAreNamedAfterTheirFileAndComeAfterBlocks) {
  // The drawing of PARTS.DXF replaces its own block PARTS; a file with a
  // drawing of nothing to convert writes nothing, but is counted.
  m_platform.PutFile("/lib/PARTS.DXF",
                     DxfWithDrawing(Block("VALVE", Line(0, 0, 1, 1)) +
                                        Block("PARTS", Line(0, 0, 9, 9)),
                                    Line(0, 0, 3, 1)));
  m_platform.PutFile("/lib/notes.dxf", "0\nSECTION\n2\nENTITIES\n" + kText +
                                           "0\nENDSEC\n0\nEOF\n");
  m_platform.PutFile("/lib/plan.dxf", DxfWithDrawing("", Line(0, 0, 4, 4)));
  CFakePlatform reference;
  reference.ScriptFolder("/r");
  reference.PutFile("/r/A.DXF", Dxf(Block("PARTS", Line(0, 0, 3, 1)) +
                                    Block("plan", Line(0, 0, 4, 4))));
  CConvertApp(reference).RunBatch();

  RunWith(m_platform, true, false, false);
  EXPECT_EQ(Texts().back(), ExpectedSummary("/lib", 3, 4, 0));
  EXPECT_EQ(m_platform.FilePaths(),
            (std::vector<std::string>{"/lib/PARTS.DXF", "/lib/PARTS.SML",
                                      "/lib/VALVE.SML", "/lib/notes.dxf",
                                      "/lib/plan.SML", "/lib/plan.dxf"}));
  // A drawing converts as a block of its entities and its file's name.
  EXPECT_EQ(m_platform.FileBytes("/lib/PARTS.SML"),
            reference.FileBytes("/r/PARTS.SML"));
  EXPECT_EQ(m_platform.FileBytes("/lib/plan.SML"),
            reference.FileBytes("/r/plan.SML"));

  // A .SYM file of the drawing's name replaces it in the later pass.
  m_platform.PutFile("/lib/PARTS.SYM", kLineSym);
  reference.PutFile("/r/PARTS.SYM", kLineSym);
  CConvertApp(reference).RunBatch();
  RunWith(m_platform, true, false, false);
  EXPECT_EQ(Texts().back(), ExpectedSummary("/lib", 3, 4, 1));
  EXPECT_EQ(m_platform.FileBytes("/lib/PARTS.SML"),
            reference.FileBytes("/r/PARTS.SML"));

  // Without the option no drawing is read, and a file of none but a
  // drawing is not counted.
  m_platform.Erase("/lib/PARTS.SYM");
  m_platform.Erase("/lib/plan.SML");
  Run();
  EXPECT_EQ(Texts().back(), ExpectedSummary("/lib", 2, 2, 0));
  EXPECT_FALSE(m_platform.HasFile("/lib/plan.SML"));
}

TEST_F(ConvertAppTest, PassedOverEntitiesAreSummedOrListedWhenVerbose) {
  const std::string lwpolyline = "0\nLWPOLYLINE\n10\n0\n20\n0\n10\n1\n20\n0\n";
  const std::string dxf = DxfWithDrawing(
      Block("X", kText + Line(0, 0, 1, 1)) +
          Block("Y", lwpolyline + kText + kText + Line(0, 0, 1, 1)),
      kText + lwpolyline + Line(0, 0, 2, 2));
  const struct {
    const char* what;
    bool drawings, polylines, verbose;
    std::vector<std::string> notes;
  } cases[] = {
      {"one total after the summary, with a hint",
       false,
       false,
       false,
       {"passed over: 3 TEXT, 1 LWPOLYLINE (--polylines converts polylines)"}},
      {"the drawing's too; polylines converted",
       true,
       true,
       false,
       {"passed over: 4 TEXT"}},
      {"verbose: block by block, file by name, no total",
       true,
       false,
       true,
       {"A.DXF, block \"X\": passed over 1 TEXT",
        "A.DXF, block \"Y\": passed over 2 TEXT, 1 LWPOLYLINE",
        "A.DXF, drawing: passed over 1 LWPOLYLINE, 1 TEXT"}},
  };
  for (const auto& c : cases) {
    CFakePlatform platform;
    platform.ScriptFolder("/lib");
    platform.PutFile("/lib/A.DXF", dxf);
    RunWith(platform, c.drawings, c.polylines, c.verbose);
    EXPECT_EQ(platform.notes(), c.notes) << c.what;
    EXPECT_EQ(platform.messages().size(), 1u) << c.what;  // the summary
  }
  // Nothing passed over, nothing said.
  m_platform.PutFile("/lib/A.DXF", Dxf(Block("X", Line(0, 0, 1, 1))));
  RunWith(m_platform, true, true, false);
  EXPECT_TRUE(m_platform.notes().empty());
}

// A killed run's temporaries once stayed for good; a sweep must still
// leave alone what a user or another program made, and what another run
// is writing.
TEST_F(ConvertAppTest, TheNextRunRemovesAKilledRunsTemporariesAndNothingElse) {
  const std::string sml =
      "\x0dKROWinSymbol1\x01"
      "A";
  struct Case {
    const char* name;
    std::string bytes;
    bool removed;
  } const cases[] = {
      {".sc0000abcd.tmp", sml + "cut short", true},
      {".sc0000abce.tmp", "", true},  // killed before its first byte
      {".sc0000abcf.tmp", "\x0dKROW", true},
      {".sc0000abd0.tmp", "a user's notes", false},
      {".sc0000ABD1.tmp", sml, false},  // not a name we make
      {"A.SML.1.tmp", sml, false},
      {".sc0000abd2.tmp.bak", sml, false},
  };
  for (const Case& c : cases)
    m_platform.PutFile("/lib/" + std::string(c.name), c.bytes);
  m_platform.PutFile("/lib/.sc0000abd3.tmp", sml);
  m_platform.HoldOpenElsewhere("/lib/.sc0000abd3.tmp");  // another run's
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  Run();
  for (const Case& c : cases) {
    EXPECT_EQ(m_platform.HasFile("/lib/" + std::string(c.name)), !c.removed)
        << c.name;
  }
  EXPECT_TRUE(m_platform.HasFile("/lib/.sc0000abd3.tmp"));
  EXPECT_TRUE(m_platform.HasFile("/lib/A.SML"));
  EXPECT_FALSE(m_bAnyFailure);
}

// Such texts were written with no shape and extents of +-999999999.
TEST_F(ConvertAppTest, ASymTextWithNoShapeIsNotWrittenNorCounted) {
  for (const char* records : {"X 1 2\n", "l 0 0 0 2 1 0\n", "\n\n"}) {
    SCOPED_TRACE(records);
    CFakePlatform platform;
    platform.ScriptFolder("/lib");
    platform.PutFile("/lib/NONE.SYM", std::string(kSymHeader) + records);
    platform.PutFile("/lib/A.SYM", kLineSym);
    CConvertApp app(platform);
    app.RunBatch();
    EXPECT_FALSE(platform.HasFile("/lib/NONE.SML"));
    EXPECT_TRUE(platform.HasFile("/lib/A.SML"));
    EXPECT_EQ(app.m_nSymFiles, 1);
    EXPECT_EQ(platform.notes(),
              std::vector<std::string>{"NONE.SYM: no lines, arcs or circles"});
  }
}

// Such a folder gave a summary of nothing converted, and success.
TEST_F(ConvertAppTest, AFolderThatCannotBeListedIsAnErrorNamingIt) {
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  m_platform.SetUnlistableFolder("/lib");
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kNoFolder);
  EXPECT_TRUE(m_bAnyFailure);
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "Cannot list the folder \"/lib\": Permission denied"});
  EXPECT_EQ(m_platform.FilePaths(), std::vector<std::string>{"/lib/A.SYM"});
}

// Every failure prompt read the same whatever the cause, and for a block
// it named a .SYM file that does not exist.
TEST_F(ConvertAppTest, AFailureSaysWhichFileFailedWhyAndFromWhichBlock) {
  m_platform.PutFile("/lib/TWO.DXF", Dxf(Block("B", Line(0, 0, 1, 1))));
  m_platform.FailOperation(FakeFileOp::kCreate, 1, CFileException::diskFull,
                           28);
  m_platform.QueueAnswer(MessageResult::kYes);
  Run();
  ASSERT_FALSE(m_platform.notes().empty());
  EXPECT_EQ(m_platform.notes()[0],
            "/lib/B.SML: disk full (block B of TWO.DXF)");
  EXPECT_EQ(Texts()[0], ExpectedPrompt("/lib/B.SYM"));
}

// 14 names in 33 files each gave "542 ... Generated" for 65 files, silently.
TEST_F(ConvertAppTest, OutputsWrittenTwiceInARunAreReportedMostFrequentFirst) {
  m_platform.PutFile("/lib/ONE.DXF", Dxf(Block("B", Line(0, 0, 1, 1)) +
                                         Block("C", Line(0, 0, 1, 2))));
  m_platform.PutFile("/lib/TWO.DXF", Dxf(Block("B", Line(0, 0, 1, 1)) +
                                         Block("C", Line(0, 0, 1, 2))));
  m_platform.PutFile("/lib/B.SYM", kLineSym);
  Run();
  EXPECT_EQ(
      m_platform.notes(),
      std::vector<std::string>{
          "3 outputs replaced one written earlier in this run (B x3, C x2)"});
}

// A run stopped by No printed nothing, though files were written.
TEST_F(ConvertAppTest, AStoppedRunSaysHowManyFilesItWrote) {
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  m_platform.PutFile("/lib/B.SYM", "");  // ends before its header
  m_platform.QueueAnswer(MessageResult::kNo);
  Run();
  EXPECT_EQ(m_outcome, RunOutcome::kStopped);
  EXPECT_TRUE(m_platform.HasFile("/lib/A.SML"));
  ASSERT_FALSE(m_platform.notes().empty());
  EXPECT_EQ(m_platform.notes().back(),
            "1 .SML file was written before the run stopped");
}

}  // namespace

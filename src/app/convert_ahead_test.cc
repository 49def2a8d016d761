// Converting ahead on a second thread against the single-threaded run: a
// folder with failures in the middle must give the same messages, prompts,
// notes, progress and files, whatever the user answers; after a No nothing
// later is published and no temporary is left.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/convert_ahead.h"
#include "app/convert_app.h"
#include "dxf/dxf_test_support.h"
#include "platform/fake/fake_platform.h"
#include "platform/pending_temporaries.h"
#include "platform/replacing_file.h"
#include "support/sym_text.h"

namespace {

std::string Block(const std::string& name, const std::string& entities) {
  return Lines("0|BLOCK|2|" + name + "|70|0|10|0|20|0|30|0") + entities +
         Lines("0|ENDBLK");
}

std::string Line(int n) {
  const std::string x = std::to_string(n);
  return Lines("0|LINE|8|0|10|0|20|0|30|0|11|" + x + "|21|1|31|0");
}

std::string Dxf(const std::string& blocks) {
  return Lines("0|SECTION|2|BLOCKS") + blocks + Lines("0|ENDSEC|0|EOF");
}

// Every kind of failure a run meets, in both passes: a block that inserts
// itself, one whose name leaves the folder, one of text alone, a file cut
// short, an unreadable one, one that is no DXF, a .SYM of a header alone and
// one with nothing to draw; the creates, writes and renames that fail are
// counted on the thread that writes, so they hit the same outputs in both runs.
void MakeFolder(CFakePlatform& fake) {
  fake.ScriptFolder("/lib");
  std::string many;
  for (int i = 0; i < 40; ++i) many += Block("M" + std::to_string(i), Line(i));
  std::string lines;  // a file of several writes
  for (int i = 0; i < 400; ++i) lines += Line(i);
  fake.PutFile("/lib/A.DXF",
               Dxf(Block("GOOD", Line(1)) + Block("BIG", lines) +
                   Block("SELF", Lines("0|INSERT|8|0|2|SELF|10|0|20|0")) +
                   Block("../UP", Line(2)) +
                   Block("WORDS", Lines("0|TEXT|8|0|1|note")) + many));
  const std::string cut = Dxf(Block("B1", Line(3)) + Block("B2", Line(4)));
  fake.PutFile("/lib/B.DXF", cut.substr(0, cut.size() - 40));
  fake.PutFile("/lib/C.DXF", Dxf(Block("C1", Line(4))));
  fake.HoldOpenElsewhere("/lib/C.DXF");
  fake.PutFile("/lib/D.DXF", "not a drawing\n");
  fake.PutFile("/lib/E.DXF", Dxf(many));
  fake.PutFile("/lib/S1.SYM", kSymHeader + "L 0 0 0 2 1 0\n");
  fake.PutFile("/lib/S2.SYM", kSymHeader);
  fake.PutFile("/lib/S3.SYM", kSymHeader + "X 1 2\n");
  fake.PutFile("/lib/S4.SYM", kSymHeader + "C 0 0 0 5\n");
  // More sources than are read ahead or woken for at once.
  for (int i = 10; i < 90; ++i) {
    fake.PutFile("/lib/T" + std::to_string(i) + ".SYM",
                 kSymHeader + "L 0 0 0 " + std::to_string(i) + " 1 0\n");
  }
  fake.FailOperation(FakeFileOp::kCreate, 3, CFileException::diskFull, 28);
  fake.FailOperation(FakeFileOp::kWrite, 30, CFileException::hardIO, 5);
  fake.FailOperation(FakeFileOp::kRename, 50, CFileException::accessDenied, 13);
}

// All that a run showed and left, as lines to compare.
std::vector<std::string> Record(const CFakePlatform& fake,
                                const CConvertApp& app) {
  std::vector<std::string> lines;
  for (const CFakeMessage& m : fake.messages()) {
    lines.push_back("message " + m.text + " answer " +
                    std::to_string(static_cast<int>(m.answer)));
  }
  for (const std::string& note : fake.notes()) lines.push_back("note " + note);
  for (const CFakeProgress& p : fake.progress()) {
    lines.push_back("progress " + std::to_string(p.done) + " " + p.name);
  }
  lines.push_back("beeps " + std::to_string(fake.beeps()));
  for (const std::string& path : fake.FilePaths()) {
    lines.push_back("file " + path + " " + *fake.FileBytes(path));
  }
  lines.push_back("outcome " + std::to_string(static_cast<int>(app.outcome())));
  return lines;
}

std::vector<std::string> RunOnce(bool ahead, bool deferred_publish,
                                 const std::vector<MessageResult>& answers,
                                 std::size_t budget,
                                 bool writes_ahead = false) {
  CFakePlatform fake;
  MakeFolder(fake);
  fake.SetFileSystemSync(deferred_publish);
  fake.SetConcurrentWrites(writes_ahead);
  for (MessageResult answer : answers) fake.QueueAnswer(answer);
  CConvertApp app(fake);
  CConvertOptions options;
  options.dxf.inserts = true;
  options.verbose = true;
  options.convert_ahead = ahead;
  options.ahead_budget = budget;
  options.write_ahead_backlog = 0;  // every output, for the same order
  app.SetOptions(options);
  app.RunBatch();
  for (const std::string& path : fake.FilePaths()) {
    const std::string name = path.substr(path.rfind('/') + 1);
    EXPECT_FALSE(IsTemporaryName(name)) << path << " left behind";
  }
  return Record(fake, app);
}

TEST(ConvertAheadOrder, FailuresInTheMiddleShowAndWriteAsTheSingleThreadedRun) {
  const MessageResult y = MessageResult::kYes, n = MessageResult::kNo;
  // Yes throughout, then a No at the first, a middle and a late prompt.
  const std::vector<std::vector<MessageResult>> answers = {
      std::vector<MessageResult>(20, y),
      {n},
      {y, y, y, n},
      {y, y, y, y, y, y, y, n},
  };
  // With a budget of one byte the worker waits at every step; with the
  // default one the threads wake each other a batch at a time, and the
  // worker that writes ahead runs up to its limit of temporaries.
  const std::size_t budgets[] = {1, CConvertOptions().ahead_budget};
  for (bool deferred : {false, true}) {
    for (const auto& script : answers) {
      const std::vector<std::string> single =
          RunOnce(false, deferred, script, 1);
      for (std::size_t budget : budgets) {
        for (bool writes_ahead : {false, true}) {
          SCOPED_TRACE("deferred " + std::to_string(deferred) + ", answers " +
                       std::to_string(script.size()) + ", budget " +
                       std::to_string(budget) + ", writes ahead " +
                       std::to_string(writes_ahead));
          EXPECT_EQ(RunOnce(true, deferred, script, budget, writes_ahead),
                    single);
        }
      }
    }
  }
}

TEST(ConvertAheadOrder, EmptyFolderAndSingleSourceEndCleanly) {
  for (const char* source : {"", "/lib/ONLY.SYM", "/lib/ONLY.DXF"}) {
    SCOPED_TRACE(source);
    std::vector<std::string> runs[2];
    for (bool ahead : {false, true}) {
      CFakePlatform fake;
      fake.ScriptFolder("/lib");
      fake.PutFolder("/lib");
      if (*source) {
        fake.PutFile(source, std::string(source).ends_with(".SYM")
                                 ? kSymHeader + "L 0 0 0 2 1 0\n"
                                 : Dxf(Block("X", Line(1))));
      }
      CConvertApp app(fake);
      CConvertOptions options;
      options.convert_ahead = ahead;
      app.SetOptions(options);
      app.RunBatch();
      runs[ahead] = Record(fake, app);
    }
    EXPECT_EQ(runs[1], runs[0]);
  }
}

// A worker that writes ahead stops at its limit of open temporaries while
// the writing thread does not take them, and every temporary that is not
// taken (here: none) is gone once the source is replayed.
TEST(ConvertAheadWrites, HoldsNoMoreThanItsTemporariesAndLeavesNone) {
  CFakePlatform fake;
  fake.SetConcurrentWrites(true);
  std::string blocks;
  for (int i = 0; i < 200; ++i)
    blocks += Block("B" + std::to_string(i), Line(i));
  fake.PutFile("/lib/A.DXF", Dxf(blocks));
  // Beside the source, the fake holds only the temporaries.
  const auto temporaries = [&] { return fake.FilePaths().size() - 1; };
  struct CIgnore : CDxfBlockHandler {
    void OnBlock(const std::string&, const std::string&) override {}
    void OnTrace(const char*) override {}
  } ignore;
  CPreparedSymbol* current = nullptr;
  {
    CConvertAhead ahead(fake, {"/lib/A.DXF"}, {}, CDxfOptions(),
                        {"/lib/", "/lib/", CConvertOptions().ahead_budget, 0});
    ASSERT_EQ(ahead.Open("/lib/A.DXF"), nullptr);
    // Time for the worker to write all 200, were it not held back.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GT(temporaries(), 0u);
    EXPECT_LE(temporaries(), kTemporariesAhead + 1);
    EXPECT_TRUE(ahead.ReplayDxf(ignore, &current));
    EXPECT_LE(temporaries(), 1u);
  }
  EXPECT_EQ(fake.FilePaths(), std::vector<std::string>{"/lib/A.DXF"});
}

}  // namespace

// Whole batches (DXF drawings included) on the fake platform with file
// operations failing: the Nth operation, every operation of a kind from the
// Nth on, pairs of failures, a disk that fills up, a read-only folder, a
// file that vanishes between the search and its opening. After every run
// each .SML must be either the complete new file or the untouched earlier
// one, no temporary may remain, every failure prompt must name the file
// that failed, and the summary must count exactly the files written.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/convert_app.h"
#include "platform/fake/fake_platform.h"
#include "support/batch_messages.h"
#include "support/sym_text.h"

namespace {

std::string Block(const std::string& name, const std::string& entities) {
  return "0\nBLOCK\n8\n0\n2\n" + name + "\n70\n0\n10\n0\n20\n0\n30\n0\n" +
         entities + "0\nENDBLK\n";
}

const std::string kLine =
    "0\nLINE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n4\n21\n-3\n31\n0\n";
const std::string kArcAndCircle =
    "0\nARC\n10\n2\n20\n2\n30\n0\n40\n1.5\n50\n30\n51\n200\n"
    "0\nCIRCLE\n10\n-1\n20\n4\n30\n0\n40\n0.5\n";

std::string Dxf(const std::string& blocks,
                const std::string& drawing = std::string()) {
  std::string text = "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n";
  if (!drawing.empty()) {
    text += "0\nSECTION\n2\nENTITIES\n" + drawing + "0\nENDSEC\n";
  }
  return text + "0\nEOF\n";
}

// The summary of a run over the test folder.
std::string Summary(int dxf_files, int dxf_symbols, int sym_files) {
  return ExpectedSummary("/lib", dxf_files, dxf_symbols, sym_files);
}

// One output of the batch: the name the conversion is given (what its
// failure prompt shows), whether it comes from a DXF block, and the earlier
// file of its name, if any.
struct COutput {
  std::string source;
  bool from_dxf;
  std::optional<std::string> earlier;
};

const std::map<std::string, COutput>& Outputs() {
  static const std::map<std::string, COutput> outputs = {
      {"/lib/ONE.SML", {"/lib/ONE.SYM", true, std::nullopt}},
      {"/lib/TWO.SML", {"/lib/TWO.SYM", true, "earlier TWO"}},
      {"/lib/THREE.SML", {"/lib/THREE.SYM", true, std::nullopt}},
      {"/lib/FOUR.SML", {"/lib/FOUR.SYM", true, "earlier FOUR"}},
      // The drawing of PARTS.DXF, named after the file.
      {"/lib/PARTS.SML", {"/lib/PARTS.SYM", true, "earlier PARTS"}},
      {"/lib/A.SML", {"/lib/A.SYM", false, "earlier A"}},
      {"/lib/B.SML", {"/lib/B.SYM", false, std::nullopt}},
      {"/lib/d.SML", {"/lib/d.sym", false, "earlier d"}},
  };
  return outputs;
}

const std::vector<std::string> kDxfFiles = {"/lib/EXTRA.DXF", "/lib/PARTS.DXF"};

void PutFolder(CFakePlatform& platform) {
  platform.ScriptFolder("/lib");
  platform.PutFile("/lib/PARTS.DXF",
                   Dxf(Block("ONE", kLine) + Block("TWO", kArcAndCircle) +
                           Block("THREE", kLine + kArcAndCircle),
                       kLine + kArcAndCircle));
  platform.PutFile("/lib/EXTRA.DXF", Dxf(Block("FOUR", kArcAndCircle)));
  platform.PutFile("/lib/A.SYM", std::string(kSymHeader) + "L 0 0 0 2 1 0\n");
  platform.PutFile("/lib/B.SYM", std::string(kSymHeader) + "C 1 1 0 3\n");
  platform.PutFile("/lib/d.sym", std::string(kSymHeader) +
                                     "A 0 0 0 90 180 2\nL 1 1 0 -1 -1 0\n");
  platform.PutFile("/lib/NOTES.TXT", "not a source");
  for (const auto& [path, output] : Outputs()) {
    if (output.earlier) platform.PutFile(path, *output.earlier);
  }
}

// One file operation as the fake counted it, and whether it failed.
struct COperation {
  FakeFileOp kind;
  std::string path;
  bool failed = false;
  // The .SML files that the operation serves: the one of a temporary, or
  // every one waiting for a file-system sync.
  std::vector<std::string> outputs;
};

// The outputs of each source, in the order the batch writes them.
const std::map<std::string, std::vector<std::string>>& OutputsOfSource() {
  static const std::map<std::string, std::vector<std::string>> outputs = {
      {"/lib/EXTRA.DXF", {"/lib/FOUR.SML"}},
      {"/lib/PARTS.DXF",
       {"/lib/ONE.SML", "/lib/TWO.SML", "/lib/THREE.SML", "/lib/PARTS.SML"}},
      {"/lib/A.SYM", {"/lib/A.SML"}},
      {"/lib/B.SYM", {"/lib/B.SML"}},
      {"/lib/d.sym", {"/lib/d.SML"}},
  };
  return outputs;
}

// Passes everything to a fake platform and logs each file operation in the
// order that the fake counts them, so that the Nth counted operation can be
// told apart (which file it touched, whether it failed). A hook may act
// before each operation (to fill the disk from then on).
class CLoggingPlatform : public CPlatform {
 public:
  explicit CLoggingPlatform(CFakePlatform& fake) : m_fake(fake) {}

  const std::vector<COperation>& operations() const { return m_ops; }
  void SetBeforeOperation(std::function<void(int nth)> hook) {
    m_before = std::move(hook);
  }

  bool ChooseFolder(std::string* path) override {
    return m_fake.ChooseFolder(path);
  }
  MessageResult ShowMessage(const std::string& text,
                            MessageButtons buttons) override {
    return m_fake.ShowMessage(text, buttons);
  }
  void ShowSummary(const std::string& text) override {
    m_fake.ShowSummary(text);
  }
  void Beep() override { m_fake.Beep(); }
  char PathSeparator() const override { return m_fake.PathSeparator(); }
  void ChangeDirectory(const std::string& path) override {
    m_fake.ChangeDirectory(path);
  }
  std::vector<std::string> FindFiles(const std::string& pattern) override {
    return m_fake.FindFiles(pattern);
  }
  CFileContents ReadFile(const std::string& path) override {
    m_strLastRead = m_fake.Normalise(path);
    m_nWrittenOfRead = 0;
    return Logged(FakeFileOp::kRead, path,
                  [&] { return m_fake.ReadFile(path); });
  }
  std::unique_ptr<CWritableFile> CreateNewFile(
      const std::string& path) override {
    // Each temporary serves the next output of the source read last.
    const std::string temp = m_fake.Normalise(path);
    m_outputOfTemp[temp] =
        OutputsOfSource().at(m_strLastRead).at(m_nWrittenOfRead++);
    auto file = Logged(FakeFileOp::kCreate, path,
                       [&] { return m_fake.CreateNewFile(path); });
    m_pendingTemps.push_back(temp);
    return std::make_unique<CLoggingFile>(*this, std::move(file),
                                          m_fake.Normalise(path));
  }
  void RenameReplacing(const std::string& from,
                       const std::string& to) override {
    std::erase(m_pendingTemps, m_fake.Normalise(from));
    Logged(FakeFileOp::kRename, to, [&] {
      m_fake.RenameReplacing(from, to);
      return 0;
    });
  }
  void RemoveFile(const std::string& path) override {
    std::erase(m_pendingTemps, m_fake.Normalise(path));
    Logged(FakeFileOp::kRemove, path, [&] {
      m_fake.RemoveFile(path);
      return 0;
    });
  }
  bool CanSyncFileSystem() const override { return m_fake.CanSyncFileSystem(); }
  void SyncFileSystem(const std::string& folder) override {
    m_syncOutputs.clear();
    for (const std::string& temp : m_pendingTemps) {
      m_syncOutputs.push_back(m_outputOfTemp.at(temp));
    }
    Logged(FakeFileOp::kSync, folder, [&] {
      m_fake.SyncFileSystem(folder);
      return 0;
    });
  }

 private:
  class CLoggingFile : public CWritableFile {
   public:
    CLoggingFile(CLoggingPlatform& log, std::unique_ptr<CWritableFile> file,
                 std::string path)
        : m_log(log), m_pFile(std::move(file)), m_strPath(std::move(path)) {}
    // A write that stores less than it was given (a full disk) counts as
    // a failed one here: the batch must treat it so.
    std::size_t Write(const void* data, std::size_t n) override {
      const std::size_t stored =
          m_log.Logged(FakeFileOp::kWrite, m_strPath,
                       [&] { return m_pFile->Write(data, n); });
      if (stored < n) m_log.m_ops.back().failed = true;
      return stored;
    }
    void Sync() override {
      m_log.Logged(FakeFileOp::kSync, m_strPath, [&] {
        m_pFile->Sync();
        return 0;
      });
    }
    void Close() override {
      if (m_bClosed) return;  // the fake counts only the first close
      m_bClosed = true;
      m_log.Logged(FakeFileOp::kClose, m_strPath, [&] {
        m_pFile->Close();
        return 0;
      });
    }

   private:
    CLoggingPlatform& m_log;
    std::unique_ptr<CWritableFile> m_pFile;
    std::string m_strPath;
    bool m_bClosed = false;
  };

  template <class F>
  auto Logged(FakeFileOp kind, const std::string& path, F operation)
      -> decltype(operation()) {
    if (m_before) m_before(static_cast<int>(m_ops.size()) + 1);
    const std::string normalised = m_fake.Normalise(path);
    std::vector<std::string> outputs;
    if (auto it = m_outputOfTemp.find(normalised); it != m_outputOfTemp.end()) {
      outputs.push_back(it->second);
    } else if (kind == FakeFileOp::kSync) {
      outputs = m_syncOutputs;
    } else if (normalised.ends_with(".SML")) {
      outputs.push_back(normalised);
    }
    m_ops.push_back({kind, normalised, false, std::move(outputs)});
    const std::size_t index = m_ops.size() - 1;
    try {
      return operation();
    } catch (...) {
      m_ops[index].failed = true;
      throw;
    }
  }

  CFakePlatform& m_fake;
  std::vector<COperation> m_ops;
  std::function<void(int)> m_before;
  std::string m_strLastRead;
  std::size_t m_nWrittenOfRead = 0;
  std::map<std::string, std::string> m_outputOfTemp;
  std::vector<std::string> m_pendingTemps;
  std::vector<std::string> m_syncOutputs;
};

// The prompts that a failed operation must lead to; none for a remove (only
// the clean-up after another failure removes, and it fails quietly).
std::vector<std::string> PromptsFor(const COperation& op) {
  if (op.kind == FakeFileOp::kRemove) return {};
  if (op.kind == FakeFileOp::kRead) return {ExpectedPrompt(op.path)};
  std::vector<std::string> prompts;
  for (const std::string& output : op.outputs) {
    prompts.push_back(ExpectedPrompt(Outputs().at(output).source));
  }
  return prompts;
}

struct CBatch {
  std::unique_ptr<CFakePlatform> fake = std::make_unique<CFakePlatform>();
  std::unique_ptr<CLoggingPlatform> platform =
      std::make_unique<CLoggingPlatform>(*fake);
  RunOutcome outcome = RunOutcome::kFailed;

  CBatch() { PutFolder(*fake); }
  void Run(MessageResult answer = MessageResult::kYes) {
    for (int i = 0; i < 32; ++i) fake->QueueAnswer(answer);
    CConvertApp app(*platform);
    CConvertOptions options;
    options.dxf.drawings = true;
    app.SetOptions(options);
    app.RunBatch();
    outcome = app.outcome();
  }
};

// The new .SML files of a run without failures.
const std::map<std::string, std::string>& Reference() {
  static const std::map<std::string, std::string> reference = [] {
    CBatch batch;
    batch.Run();
    std::map<std::string, std::string> bytes;
    for (const auto& [path, output] : Outputs()) {
      bytes[path] = batch.fake->FileBytes(path).value_or("");
    }
    return bytes;
  }();
  return reference;
}

// Checks one finished batch against the reference. what names the faults
// for the failure messages.
void CheckBatch(const CBatch& batch, const std::string& what) {
  SCOPED_TRACE(what);
  const CFakePlatform& fake = *batch.fake;
  // The prompts that the failed operations call for, in order.
  std::vector<std::string> prompts;
  std::vector<std::string> kept_temporaries;
  int failed_dxf_reads = 0;
  for (const COperation& op : batch.platform->operations()) {
    if (!op.failed) continue;
    if (op.kind == FakeFileOp::kRemove) kept_temporaries.push_back(op.path);
    for (std::string& prompt : PromptsFor(op)) prompts.push_back(prompt);
    if (op.kind == FakeFileOp::kRead && op.path.ends_with(".DXF")) {
      ++failed_dxf_reads;
    }
  }
  const bool stopped = batch.outcome == RunOutcome::kStopped;
  if (stopped) prompts.resize(std::min<std::size_t>(prompts.size(), 1));

  int dxf_symbols = 0, sym_files = 0;
  for (const auto& [path, output] : Outputs()) {
    const std::optional<std::string> bytes = fake.FileBytes(path);
    if (bytes == Reference().at(path)) {
      ++(output.from_dxf ? dxf_symbols : sym_files);
    } else {
      EXPECT_EQ(bytes, output.earlier) << path << " is neither new nor earlier";
    }
  }
  std::vector<std::string> temporaries;
  for (const std::string& path : fake.FilePaths()) {
    if (path.ends_with(".tmp")) temporaries.push_back(path);
  }
  // Only a temporary whose removal failed may stay.
  std::sort(kept_temporaries.begin(), kept_temporaries.end());
  EXPECT_EQ(temporaries, kept_temporaries);

  std::vector<std::string> expected = prompts;
  if (!stopped) {
    expected.push_back(
        Summary(static_cast<int>(kDxfFiles.size()) - failed_dxf_reads,
                dxf_symbols, sym_files));
  }
  std::vector<std::string> texts;
  for (const CFakeMessage& m : fake.messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(batch.outcome,
            stopped ? RunOutcome::kStopped : RunOutcome::kCompleted);
}

TEST(FaultInjection, ReferenceRunWritesEverySymbolWithoutFailing) {
  CBatch batch;
  batch.Run();
  EXPECT_EQ(batch.fake->messages().back().text, Summary(2, 5, 3));
  EXPECT_EQ(batch.fake->beeps(), 8);
  for (const auto& [path, bytes] : Reference()) {
    EXPECT_EQ(bytes.substr(1, 12), "KROWinSymbol") << path;
  }
  // Every kind of operation but remove occurs in a clean batch.
  std::set<FakeFileOp> kinds;
  for (const COperation& op : batch.platform->operations()) {
    EXPECT_FALSE(op.failed);
    kinds.insert(op.kind);
  }
  EXPECT_EQ(kinds,
            (std::set<FakeFileOp>{FakeFileOp::kCreate, FakeFileOp::kWrite,
                                  FakeFileOp::kClose, FakeFileOp::kRename,
                                  FakeFileOp::kRead, FakeFileOp::kSync}));
  EXPECT_EQ(static_cast<int>(batch.platform->operations().size()),
            batch.fake->OperationCount());
}

int CleanOperationCount() {
  CBatch batch;
  batch.Run();
  return batch.fake->OperationCount();
}

// With a file-system sync per chunk (Linux) and a sync per file (elsewhere).
TEST(FaultInjection, EveryOperationFailingOnceAnsweredYesOrNo) {
  for (bool chunked : {true, false}) {
    CBatch clean;
    clean.fake->SetFileSystemSync(chunked);
    clean.Run();
    const int total = clean.fake->OperationCount();
    for (MessageResult answer : {MessageResult::kYes, MessageResult::kNo}) {
      for (int nth = 1; nth <= total; ++nth) {
        CBatch batch;
        batch.fake->SetFileSystemSync(chunked);
        batch.fake->FailOperationOverall(nth, CFileException::hardIO);
        batch.Run(answer);
        ASSERT_GE(batch.platform->operations().size(),
                  static_cast<std::size_t>(nth));
        EXPECT_TRUE(batch.platform->operations()[nth - 1].failed);
        EXPECT_EQ(batch.outcome, answer == MessageResult::kNo
                                     ? RunOutcome::kStopped
                                     : RunOutcome::kCompleted);
        CheckBatch(batch,
                   "operation " + std::to_string(nth) +
                       (answer == MessageResult::kNo ? ", No" : ", Yes") +
                       (chunked ? ", chunked" : ", per file"));
      }
    }
  }
}

TEST(FaultInjection, EveryPairOfOperationsFailing) {
  // The second failure may hit the clean-up after the first: a temporary
  // that cannot be removed stays, and the next run removes it.
  const int total = CleanOperationCount() + 3;
  for (int first = 1; first <= total; ++first) {
    for (int second = first + 1; second <= total; ++second) {
      CBatch batch;
      batch.fake->FailOperationOverall(first);
      batch.fake->FailOperationOverall(second);
      batch.Run();
      const std::string what = "operations " + std::to_string(first) + " and " +
                               std::to_string(second);
      CheckBatch(batch, what);

      // A clean run afterwards writes everything and removes nothing.
      CBatch again;
      again.fake = std::move(batch.fake);
      again.platform = std::make_unique<CLoggingPlatform>(*again.fake);
      const std::vector<std::string> before = again.fake->FilePaths();
      again.fake->ClearFailures();
      CFakePlatform& fake = *again.fake;
      const std::size_t messages = fake.messages().size();
      again.Run();
      for (const auto& [path, bytes] : Reference()) {
        EXPECT_EQ(fake.FileBytes(path), bytes) << what << ", then " << path;
      }
      ASSERT_EQ(fake.messages().size(), messages + 1) << what;
      EXPECT_EQ(fake.messages().back().text, Summary(2, 5, 3)) << what;
      // The temporaries that the first run could not remove are gone, and
      // nothing else.
      for (const std::string& path : before) {
        EXPECT_EQ(fake.HasFile(path), !path.ends_with(".tmp"))
            << what << ": " << path;
      }
    }
  }
}

TEST(FaultInjection, EveryKindFailingFromTheNthOn) {
  // With and without every clean-up remove failing too.
  const int total = CleanOperationCount();
  for (bool removes_fail : {false, true}) {
    for (FakeFileOp kind :
         {FakeFileOp::kRead, FakeFileOp::kCreate, FakeFileOp::kWrite,
          FakeFileOp::kClose, FakeFileOp::kRename, FakeFileOp::kSync}) {
      for (int nth = 1; nth <= total; ++nth) {
        CBatch batch;
        batch.fake->FailOperation(kind, nth, CFileException::accessDenied, 13,
                                  /*and_later=*/true);
        if (removes_fail) {
          batch.fake->FailOperation(FakeFileOp::kRemove, 1,
                                    CFileException::hardIO, 5, true);
        }
        batch.Run();
        CheckBatch(batch, "kind " + std::to_string(static_cast<int>(kind)) +
                              " from " + std::to_string(nth) +
                              (removes_fail ? ", removes failing" : ""));
      }
    }
  }
}

TEST(FaultInjection, DiskFillingUpAtEveryOperation) {
  // Room for nothing, or for the smaller files only.
  const int total = CleanOperationCount();
  for (std::size_t room : {std::size_t{0}, std::size_t{400}}) {
    for (int nth = 1; nth <= total + 1; ++nth) {
      CBatch batch;
      CFakePlatform& fake = *batch.fake;
      batch.platform->SetBeforeOperation([&fake, nth, room](int op) {
        if (op == nth) fake.SetShortWrite(room);
      });
      batch.Run();
      CheckBatch(batch, "disk full from operation " + std::to_string(nth) +
                            " with room " + std::to_string(room));
      if (nth != 1) continue;
      // Full from the start: what fits in the room is written, nothing else.
      for (const auto& [path, bytes] : Reference()) {
        EXPECT_EQ(fake.FileBytes(path) == bytes, bytes.size() <= room) << path;
      }
    }
  }
}

TEST(FaultInjection, ReadOnlyFolderKeepsEveryEarlierFile) {
  CBatch batch;
  batch.fake->SetReadOnlyFolder("/lib");
  batch.Run();
  CheckBatch(batch, "read-only folder");
  std::vector<std::string> expected;
  for (const char* source :
       {"/lib/FOUR.SYM", "/lib/ONE.SYM", "/lib/TWO.SYM", "/lib/THREE.SYM",
        "/lib/PARTS.SYM", "/lib/A.SYM", "/lib/B.SYM", "/lib/d.sym"}) {
    expected.push_back(ExpectedPrompt(source));
  }
  expected.push_back(Summary(2, 0, 0));
  std::vector<std::string> texts;
  for (const CFakeMessage& m : batch.fake->messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, expected);
}

TEST(FaultInjection, FilesThatVanishOrAreHeldElsewhere) {
  CBatch batch;
  batch.fake->VanishAfterFind("/lib/B.SYM");
  batch.fake->VanishAfterFind("/lib/EXTRA.DXF");
  batch.fake->HoldOpenElsewhere("/lib/A.SML");  // the rename over it fails
  batch.fake->HoldOpenElsewhere("/lib/d.sym");  // the read fails
  batch.Run();
  CheckBatch(batch, "vanished and held files");
  std::vector<std::string> texts;
  for (const CFakeMessage& m : batch.fake->messages()) texts.push_back(m.text);
  EXPECT_EQ(texts,
            (std::vector<std::string>{
                ExpectedPrompt("/lib/EXTRA.DXF"), ExpectedPrompt("/lib/B.SYM"),
                ExpectedPrompt("/lib/d.sym"),
                // Renames wait for the sync that ends the chunk.
                ExpectedPrompt("/lib/A.SYM"), Summary(1, 4, 0)}));
  EXPECT_EQ(batch.fake->FileBytes("/lib/A.SML"), "earlier A");
  EXPECT_FALSE(batch.fake->HasFile("/lib/B.SML"));
}

}  // namespace

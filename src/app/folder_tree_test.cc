// --output, --recursive and the run's report on the fake platform: the
// faults of a tree walk and of outputs that fail after they were counted.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "app/convert_app.h"
#include "app/run_report.h"
#include "platform/fake/fake_platform.h"
#include "support/sym_text.h"

namespace {

const std::string kLineSym = std::string(kSymHeader) + "L 0 0 0 2 1 0\n";

class FolderTreeTest : public ::testing::Test {
 protected:
  FolderTreeTest() { m_platform.ScriptFolder("/lib"); }

  // Runs with --recursive and --output output (none: beside the sources)
  // and returns the report.
  nlohmann::json Run(const std::string& output) {
    CConvertOptions options;
    options.recursive = true;
    options.output = output;
    CConvertApp app(m_platform);
    app.SetOptions(options);
    CRunReport report("test", "ask", options);
    app.SetObserver(report);
    app.RunBatch();
    m_outcome = app.outcome();
    return nlohmann::json::parse(report.Document(app));
  }
  bool Noted(const std::string& text) const {
    for (const std::string& note : m_platform.notes()) {
      if (note.find(text) != std::string::npos) return true;
    }
    return false;
  }

  CFakePlatform m_platform;
  RunOutcome m_outcome = RunOutcome::kFailed;
};

// Each new output folder would otherwise be walked, making one more inside
// it, for ever.
TEST_F(FolderTreeTest, AnOutputFolderInsideTheTreeIsNotWalked) {
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  m_platform.PutFile("/lib/sub/B.SYM", kLineSym);
  const nlohmann::json report = Run("/lib/out");
  EXPECT_EQ(m_outcome, RunOutcome::kCompleted);
  EXPECT_EQ(m_platform.FilePaths(),
            (std::vector<std::string>{"/lib/A.SYM", "/lib/out/A.SML",
                                      "/lib/out/sub/B.SML", "/lib/sub/B.SYM"}));
  EXPECT_EQ(report["folders"].size(), 2u);
}

TEST_F(FolderTreeTest, ASubfolderThatCannotBeListedIsAskedAboutWithItsReason) {
  for (const MessageResult answer : {MessageResult::kYes, MessageResult::kNo}) {
    SCOPED_TRACE(static_cast<int>(answer));
    m_platform = CFakePlatform();
    m_platform.ScriptFolder("/lib");
    m_platform.PutFolder("/lib/a");
    m_platform.SetUnlistableFolder("/lib/a");
    m_platform.PutFile("/lib/b/C.SYM", kLineSym);
    m_platform.QueueAnswer(answer);
    const nlohmann::json report = Run("");
    EXPECT_TRUE(Noted("/lib/a: Permission denied"));
    const bool yes = answer == MessageResult::kYes;
    EXPECT_EQ(m_platform.HasFile("/lib/b/C.SML"), yes);
    EXPECT_EQ(report["stopped"], !yes);
    ASSERT_EQ(report["failures"].size(), 1u) << report.dump();
    EXPECT_EQ(report["failures"][0]["source"], "/lib/a");
    EXPECT_EQ(report["failures"][0]["answer"], yes ? "yes" : "no");
  }
}

TEST_F(FolderTreeTest, AnOutputFolderThatCannotBeMadeConvertsNothing) {
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  m_platform.PutFolder("/ro");
  m_platform.SetReadOnlyFolder("/ro");
  const nlohmann::json report = Run("/ro/out");
  EXPECT_EQ(m_outcome, RunOutcome::kNoFolder);
  EXPECT_EQ(m_platform.messages().at(0).text.rfind(
                "Cannot make the output folder \"/ro/out\": ", 0),
            0u);
  EXPECT_TRUE(report["files"].empty());
}

// An output counted when written and then lost at its rename must leave
// the report as it leaves the summary: among the failures, not the symbols.
TEST_F(FolderTreeTest, AnOutputLostAtPublishingIsAFailureNotASymbol) {
  m_platform.PutFile("/lib/A.SYM", kLineSym);
  m_platform.PutFile("/lib/B.SYM", kLineSym);
  m_platform.FailOperation(FakeFileOp::kRename, 1);
  m_platform.QueueAnswer(MessageResult::kYes);
  const nlohmann::json report = Run("/out");
  const nlohmann::json& a = report["files"][0];
  EXPECT_TRUE(a["symbols"].empty()) << report.dump();
  ASSERT_EQ(a["failures"].size(), 1u);
  EXPECT_EQ(a["failures"][0]["path"], "/out/A.SML");
  EXPECT_EQ(a["failures"][0]["answer"], "yes");
  EXPECT_EQ(report["files"][1]["symbols"].size(), 1u);
  EXPECT_EQ(report["totals"]["sml_files"], 1);
}

}  // namespace

#include "platform/replacing_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/exceptions.h"
#include "platform/fake/fake_platform.h"
#include "platform/pending_temporaries.h"
#include "platform/publish_queue.h"

namespace {

using Names = std::vector<std::string>;

const char kTarget[] = "/d/VALVE.SML";

// Writes "new" through a CReplacingFile and closes it; returns the failure
// that escaped, if any.
std::optional<CFileException> replaceWithNew(CFakePlatform& fake) {
  try {
    CReplacingFile file(fake, kTarget);
    file.Write("ne", 2);
    file.Write("w", 1);
    file.Close();
  } catch (const CFileException& e) {
    return e;
  }
  return std::nullopt;
}

TEST(ReplacingFileTest, ReplacesTheTargetOnlyWhenClosed) {
  CFakePlatform fake;
  fake.PutFile(kTarget, "old");
  {
    CReplacingFile file(fake, kTarget);
    EXPECT_EQ(file.Write("new", 3), 3u);
    EXPECT_EQ(fake.FileBytes(kTarget), "old");  // untouched until Close
    file.Close();
    file.Close();  // a second Close does nothing
  }
  EXPECT_EQ(fake.FileBytes(kTarget), "new");
  EXPECT_EQ(fake.FilePaths(), Names{kTarget});
}

TEST(ReplacingFileTest, CreatesTheTargetWhenThereWasNone) {
  CFakePlatform fake;
  fake.PutFolder("/d");
  EXPECT_EQ(replaceWithNew(fake), std::nullopt);
  EXPECT_EQ(fake.FilePaths(), Names{kTarget});
  EXPECT_EQ(fake.FileBytes(kTarget), "new");
}

// Every step that can fail leaves the old target and no temporary behind,
// and the failure names the target, with the cause of the step.
TEST(ReplacingFileTest, AnyFailingStepKeepsTheTargetAndLeavesNoTemporary) {
  struct Case {
    const char* what;
    FakeFileOp op;
    int nth;
    int cause;
  };
  const Case cases[] = {
      {"create", FakeFileOp::kCreate, 1, CFileException::accessDenied},
      {"first write", FakeFileOp::kWrite, 1, CFileException::diskFull},
      {"second write", FakeFileOp::kWrite, 2, CFileException::hardIO},
      // The data must be on disk before the rename publishes it.
      {"sync", FakeFileOp::kSync, 1, CFileException::hardIO},
      {"close", FakeFileOp::kClose, 1, CFileException::hardIO},
      {"rename", FakeFileOp::kRename, 1, CFileException::accessDenied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CFakePlatform fake;
    fake.PutFile(kTarget, "old");
    fake.FailOperation(c.op, c.nth, c.cause, 99);
    auto failure = replaceWithNew(fake);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->m_strFileName, kTarget);
    EXPECT_EQ(failure->m_cause, c.cause);
    EXPECT_EQ(failure->m_lOsError, 99);
    EXPECT_EQ(std::string(failure->what()).rfind(kTarget, 0), 0u);
    EXPECT_EQ(fake.FileBytes(kTarget), "old");
    EXPECT_EQ(fake.FilePaths(), Names{kTarget});
  }
}

TEST(ReplacingFileTest, AFailingRemoveDoesNotHideTheFirstFailure) {
  CFakePlatform fake;
  fake.PutFile(kTarget, "old");
  fake.FailOperation(FakeFileOp::kRename, 1, CFileException::accessDenied, 13);
  fake.FailOperation(FakeFileOp::kRemove, 1, CFileException::hardIO, 5);
  auto failure = replaceWithNew(fake);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->m_cause, CFileException::accessDenied);
  EXPECT_EQ(fake.FileBytes(kTarget), "old");
}

TEST(ReplacingFileTest, DestroyedWithoutCloseRemovesTheTemporary) {
  CFakePlatform fake;
  fake.PutFile(kTarget, "old");
  {
    CReplacingFile file(fake, kTarget);
    fake.SetShortWrite(1);
    EXPECT_EQ(file.Write("new", 3), 1u);  // a short write is passed on
  }
  EXPECT_EQ(fake.FileBytes(kTarget), "old");
  EXPECT_EQ(fake.FilePaths(), Names{kTarget});
  EXPECT_EQ(fake.OperationCount(FakeFileOp::kRemove), 1);
  EXPECT_EQ(fake.OperationCount(FakeFileOp::kRename), 0);
}

// Stray temporaries once made "VALVE.SML.N.tmp" unwritable for good.
TEST(ReplacingFileTest, StrayTemporariesNeverBlockATarget) {
  CFakePlatform fake;
  Names strays;
  for (unsigned n = 0; n < 64; ++n) {
    strays.push_back("/d/" + TemporaryName(n));
    fake.PutFile(strays.back(), "stray");
  }
  EXPECT_EQ(replaceWithNew(fake), std::nullopt);
  EXPECT_EQ(fake.FileBytes(kTarget), "new");
  for (const std::string& stray : strays) {
    EXPECT_EQ(fake.FileBytes(stray), "stray");
  }
  EXPECT_EQ(fake.FilePaths().size(), strays.size() + 1);
}

// A temporary 6 bytes longer than a 250-byte target hit the name limit.
TEST(ReplacingFileTest, TheTemporaryIsNoLongerThanALongTargetAndNoSource) {
  CFakePlatform fake;
  fake.PutFolder("/d");
  const std::string target = "/d/" + std::string(251, 'N') + ".SML";
  CReplacingFile probe(fake, target);
  const Names paths = fake.FilePaths();
  ASSERT_EQ(paths.size(), 1u);
  const std::string temp = paths[0].substr(3);
  EXPECT_EQ(paths[0].rfind("/d/", 0), 0u);
  EXPECT_EQ(temp.size(), kTemporaryNameLength);
  EXPECT_TRUE(IsTemporaryName(temp));
  EXPECT_FALSE(IsTemporaryName("x" + temp.substr(1)));
  // Earlier runs' temporaries are named alike, so that a sweep finds them.
  EXPECT_EQ(TemporaryName(0), ".sc00000000.tmp");
  EXPECT_EQ(TemporaryName(0xF0a1b2c3), ".scf0a1b2c3.tmp");
  EXPECT_FALSE(MatchesPattern(temp, "*.SYM"));
  EXPECT_FALSE(MatchesPattern(temp, "*.DXF"));
  EXPECT_FALSE(MatchesPattern(temp, "*.SML"));
}

// Only a name that is taken is worth another temporary name; any other
// failure to create would fail again, and is told at once.
TEST(ReplacingFileTest, RetriesOtherNamesOnlyWhenTheNameIsTaken) {
  struct Case {
    int cause;
    bool retried;
  };
  const Case cases[] = {
      {CFileException::alreadyExists, true},
      {CFileException::sharingViolation, true},
      {CFileException::genericException, false},
      {CFileException::accessDenied, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cause);
    CFakePlatform fake;
    fake.PutFolder("/d");
    fake.FailOperation(FakeFileOp::kCreate, 1, c.cause, 17,
                       /*and_later=*/true);
    auto failure = replaceWithNew(fake);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->m_strFileName, kTarget);
    EXPECT_EQ(fake.OperationCount(FakeFileOp::kCreate) > 1, c.retried);
    EXPECT_LE(fake.OperationCount(FakeFileOp::kCreate), 100);
    EXPECT_EQ(fake.FilePaths(), Names{});
  }
}

TEST(ReplacingFileTest, KeepsTheSystemsReasonWhenNamingTheTarget) {
  CFakePlatform fake;  // no folder /d
  auto failure = replaceWithNew(fake);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->m_strReason, "no such folder");
  EXPECT_EQ(std::string(failure->what()),
            std::string(kTarget) + ": no such folder");
}

TEST(ReplacingFileTest, WriteAfterAFailureIsRefused) {
  CFakePlatform fake;
  fake.PutFolder("/d");
  fake.FailOperation(FakeFileOp::kWrite, 1);
  CReplacingFile file(fake, kTarget);
  EXPECT_THROW(file.Write("a", 1), CFileException);
  EXPECT_THROW(file.Write("a", 1), CFileException);
  EXPECT_EQ(fake.OperationCount(FakeFileOp::kWrite), 1);
  EXPECT_EQ(fake.FilePaths(), Names{});
}

}  // namespace

namespace {

// A file whose Close throws what no file call is expected to throw.
class CCloseThrowsFile final : public CWritableFile {
 public:
  explicit CCloseThrowsFile(std::unique_ptr<CWritableFile> file)
      : m_file(std::move(file)) {}
  std::size_t Write(const void* data, std::size_t n) override {
    return m_file->Write(data, n);
  }
  void Sync() override { m_file->Sync(); }
  void Close() override { throw std::runtime_error("close"); }

 private:
  std::unique_ptr<CWritableFile> m_file;
};

// A publish cut short by an unexpected exception leaves the temporaries it
// had not renamed with the queue, which removes them.
TEST(PublishQueueTest, TemporariesOfAPublishCutShortAreRemoved) {
  CFakePlatform fake;
  fake.PutFolder("/d");
  const Names temps = {"/d/.sc00000001.tmp", "/d/.sc00000002.tmp"};
  {
    CPublishQueue queue(fake, "/d/");
    for (const std::string& temp : temps) {
      auto file = std::make_unique<CCloseThrowsFile>(fake.CreateNewFile(temp));
      queue.Add(std::move(file), temp, temp + ".SML",
                ClaimPendingTemporary(temp));
    }
    EXPECT_THROW(queue.Publish(), std::runtime_error);
  }
  for (const std::string& temp : temps) EXPECT_FALSE(fake.HasFile(temp));
}

}  // namespace

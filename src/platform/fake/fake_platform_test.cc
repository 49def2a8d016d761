#include "platform/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/exceptions.h"

namespace {

using Names = std::vector<std::string>;

int causeOf(const std::function<void()>& op) {
  try {
    op();
  } catch (const CFileException& e) {
    return e.m_cause;
  }
  return CFileException::none;
}

TEST(FakePlatformTest, PathsNormaliseForBothSeparators) {
  struct Case {
    char separator;
    std::string current;  // made current first ("" keeps the root)
    std::string path;
    std::string normalised;
  };
  const Case cases[] = {
      {'/', "", "/d/A.SYM", "/d/A.SYM"},
      {'/', "", "/d//A.SYM", "/d/A.SYM"},
      {'/', "", "/d/", "/d"},
      {'/', "", "/", "/"},
      {'/', "/d", "A.SYM", "/d/A.SYM"},
      {'\\', "", "C:\\d\\A.SYM", "C:\\d\\A.SYM"},
      {'\\', "", "C:\\\\A.SYM", "C:\\A.SYM"},  // a root plus the added '\'
      {'\\', "", "C:\\", "C:\\"},
      {'\\', "", "\\d", "C:\\d"},
      {'\\', "C:\\d", "A.SYM", "C:\\d\\A.SYM"},
  };
  for (const Case& c : cases) {
    CFakePlatform fake(c.separator);
    if (!c.current.empty()) {
      fake.PutFolder(c.current);
      ASSERT_NO_THROW(fake.ChangeDirectory(c.current));
    }
    EXPECT_EQ(fake.Normalise(c.path), c.normalised) << c.path;
  }
}

TEST(FakePlatformTest, WindowsNamingFindsAndReadsFilesOfTheCurrentFolder) {
  CFakePlatform fake('\\');
  EXPECT_EQ(fake.PathSeparator(), '\\');
  fake.PutFile("C:\\syms\\b.sym", "B");
  fake.PutFile("C:\\syms\\A.SYM", "A");
  fake.PutFile("C:\\syms\\deeper\\C.SYM", "C");
  fake.PutFile("C:\\other.SYM", "O");
  ASSERT_NO_THROW(fake.ChangeDirectory("C:\\syms\\"));
  EXPECT_EQ(fake.FindFiles("*.SYM"), (Names{"A.SYM", "b.sym"}));
  EXPECT_EQ(fake.ReadFile("C:\\syms\\\\A.SYM"), "A");
  EXPECT_EQ(fake.ReadFile("b.sym"), "B");
}

TEST(FakePlatformTest, ScriptedUserAnswersInOrderThenNoAndRecordsAll) {
  CFakePlatform fake;
  std::string folder;
  EXPECT_FALSE(fake.ChooseFolder(&folder));  // cancels unless scripted
  fake.ScriptFolder("/work");
  EXPECT_TRUE(fake.ChooseFolder(&folder));
  EXPECT_EQ(folder, "/work");
  EXPECT_EQ(fake.choose_folder_calls(), 2);

  fake.QueueAnswers({MessageResult::kYes, MessageResult::kNo});
  fake.QueueAnswer(MessageResult::kYes);
  EXPECT_EQ(fake.ShowMessage("q1", MessageButtons::kYesNo),
            MessageResult::kYes);
  EXPECT_EQ(fake.ShowMessage("note", MessageButtons::kOk), MessageResult::kOk);
  EXPECT_EQ(fake.ShowMessage("q2", MessageButtons::kYesNo), MessageResult::kNo);
  EXPECT_EQ(fake.ShowMessage("q3", MessageButtons::kYesNo),
            MessageResult::kYes);
  EXPECT_FALSE(fake.answers_ran_out());
  EXPECT_EQ(fake.ShowMessage("q4", MessageButtons::kYesNo), MessageResult::kNo);
  EXPECT_TRUE(fake.answers_ran_out());
  fake.ShowSummary("done");
  fake.Beep();
  fake.Beep();
  fake.ReportProgress(1, 3, "A.SYM");

  const auto& m = fake.messages();
  ASSERT_EQ(m.size(), 6u);
  EXPECT_EQ(m[1].text, "note");
  EXPECT_EQ(m[1].buttons, MessageButtons::kOk);
  EXPECT_EQ(m[4].answer, MessageResult::kNo);
  EXPECT_EQ(m[5].text, "done");
  EXPECT_EQ(m[5].kind, CFakeMessage::kSummary);
  EXPECT_EQ(m[0].kind, CFakeMessage::kMessage);
  EXPECT_EQ(fake.beeps(), 2);
  ASSERT_EQ(fake.progress().size(), 1u);
  EXPECT_EQ(fake.progress()[0].total, 3);
  EXPECT_EQ(fake.progress()[0].name, "A.SYM");
}

TEST(FakePlatformTest, NthOperationFailsOverallOrOfAKind) {
  CFakePlatform fake;
  fake.PutFile("/a", "x");
  fake.FailOperation(FakeFileOp::kRead, 2, CFileException::hardIO, 5);
  fake.FailOperationOverall(4, CFileException::diskFull, 28);
  EXPECT_EQ(fake.ReadFile("/a"), "x");              // op 1
  EXPECT_EQ(causeOf([&] { fake.ReadFile("/a"); }),  // op 2
            CFileException::hardIO);
  auto file = fake.CreateNewFile("/b");              // op 3
  EXPECT_EQ(causeOf([&] { file->Write("yz", 2); }),  // op 4
            CFileException::diskFull);
  EXPECT_EQ(fake.FileBytes("/b"), "");  // the failed write stored nothing
  EXPECT_EQ(file->Write("yz", 2), 2u);  // op 5
  EXPECT_EQ(fake.ReadFile("/a"), "x");  // only the 2nd read failed
  EXPECT_EQ(fake.OperationCount(FakeFileOp::kRead), 3);
  EXPECT_EQ(fake.OperationCount(FakeFileOp::kWrite), 2);
  EXPECT_EQ(fake.OperationCount(), 6);

  fake.FailOperation(FakeFileOp::kRemove, 1, CFileException::accessDenied, 13,
                     /*and_later=*/true);
  file->Close();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(causeOf([&] { fake.RemoveFile("/b"); }),
              CFileException::accessDenied);
  }
  fake.ClearFailures();
  fake.RemoveFile("/b");
  EXPECT_FALSE(fake.HasFile("/b"));
}

TEST(FakePlatformTest, WritesLandAsWrittenAndShortWritesStoreLess) {
  CFakePlatform fake;
  auto file = fake.CreateNewFile("/out");
  EXPECT_EQ(fake.FileBytes("/out"), "");
  EXPECT_EQ(file->Write("abc", 3), 3u);
  EXPECT_EQ(fake.FileBytes("/out"), "abc");
  fake.SetShortWrite(2);
  EXPECT_EQ(file->Write("defg", 4), 2u);
  EXPECT_EQ(fake.FileBytes("/out"), "abcde");
  fake.SetShortWrite(std::nullopt);
  file->Close();
  EXPECT_THROW(file->Write("h", 1), CFileException);
  EXPECT_EQ(fake.FileBytes("/out"), "abcde");
}

TEST(FakePlatformTest, FilesOpenHereOrElsewhereAreNotShared) {
  CFakePlatform fake;
  fake.PutFile("/held", "x");
  fake.HoldOpenElsewhere("/held");
  EXPECT_EQ(causeOf([&] { fake.ReadFile("/held"); }),
            CFileException::sharingViolation);
  EXPECT_EQ(causeOf([&] { fake.CreateNewFile("/held"); }),
            CFileException::sharingViolation);
  EXPECT_EQ(causeOf([&] { fake.RemoveFile("/held"); }),
            CFileException::sharingViolation);
  fake.HoldOpenElsewhere("/held", false);
  EXPECT_EQ(fake.ReadFile("/held"), "x");

  // A file being written cannot be renamed until it is closed.
  auto file = fake.CreateNewFile("/tmp1");
  EXPECT_EQ(causeOf([&] { fake.RenameReplacing("/tmp1", "/held"); }),
            CFileException::sharingViolation);
  file.reset();  // closed quietly
  fake.RenameReplacing("/tmp1", "/held");
  EXPECT_EQ(fake.FileBytes("/held"), "");
}

TEST(FakePlatformTest, ReadOnlyFoldersAndMissingFoldersRefuseNewFiles) {
  CFakePlatform fake;
  fake.PutFolder("/ro");
  fake.SetReadOnlyFolder("/ro");
  EXPECT_EQ(causeOf([&] { fake.CreateNewFile("/ro/x"); }),
            CFileException::accessDenied);
  EXPECT_EQ(causeOf([&] { fake.CreateNewFile("/none/x"); }),
            CFileException::fileNotFound);
  EXPECT_EQ(fake.FilePaths(), Names{});
}

TEST(FakePlatformTest, FilesCanVanishBetweenFindAndRead) {
  CFakePlatform fake;
  fake.PutFile("/A.SYM", "a");
  fake.PutFile("/B.SYM", "b");
  fake.VanishAfterFind("/B.SYM");
  int hook_calls = 0;
  fake.SetAfterFindHook([&](const Names& names) {
    ++hook_calls;
    EXPECT_EQ(names, (Names{"A.SYM", "B.SYM"}));
  });
  EXPECT_EQ(fake.FindFiles("*.SYM"), (Names{"A.SYM", "B.SYM"}));
  EXPECT_EQ(hook_calls, 1);
  EXPECT_EQ(causeOf([&] { fake.ReadFile("/B.SYM"); }),
            CFileException::fileNotFound);
}

}  // namespace

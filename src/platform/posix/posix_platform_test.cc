#include "platform/posix/posix_platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/exceptions.h"
#include "platform/posix/posix_error.h"
#include "platform/publish_queue.h"
#include "platform/replacing_file.h"

namespace {

namespace fs = std::filesystem;

// The rows whose cause changes what happens next: a missing folder picks
// the driver's message, a taken name makes the replacing file try another.
TEST(PosixErrorTest, ErrnoBecomesCauseWithReason) {
  const struct {
    int err;
    int cause;
  } cases[] = {
      {ENOENT, CFileException::fileNotFound},
      {EEXIST, CFileException::alreadyExists},
      {EACCES, CFileException::accessDenied},
  };
  for (const auto& c : cases) {
    const CFileException e = FileExceptionFromErrno(c.err, "/d/F.SML");
    EXPECT_EQ(e.m_cause, c.cause) << c.err;
    EXPECT_EQ(e.m_lOsError, c.err);
    EXPECT_EQ(e.m_strFileName, "/d/F.SML");
    EXPECT_EQ(e.m_strReason, std::strerror(c.err));
    EXPECT_EQ(std::string(e.what()),
              std::string("/d/F.SML: ") + std::strerror(c.err));
  }
}

/// Options whose streams are temporary files, closed at the end.
class CStreams {
 public:
  explicit CStreams(const std::string& typed = "") {
    options.input = std::tmpfile();
    options.output = std::tmpfile();
    options.errors = std::tmpfile();
    options.input_is_terminal = false;
    options.errors_is_terminal = false;
    std::fputs(typed.c_str(), options.input);
    std::rewind(options.input);
  }
  ~CStreams() {
    std::fclose(options.input);
    std::fclose(options.output);
    std::fclose(options.errors);
  }
  std::string Errors() { return contents(options.errors); }
  std::string Output() { return contents(options.output); }

  CPosixOptions options;

 private:
  static std::string contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string out;
    for (int c; (c = std::getc(f)) != EOF;) out.push_back(static_cast<char>(c));
    return out;
  }
};

TEST(PosixUserTest, YesNoFollowsTheAnswerModeAndNeverWaitsWithoutATerminal) {
  const struct {
    AnswerMode mode;
    bool terminal;
    const char* typed;
    MessageResult answer;
    const char* shown;
  } cases[] = {
      {AnswerMode::kYes, false, "", MessageResult::kYes,
       "symconv: Go? [y/n] yes\n"},
      {AnswerMode::kNo, true, "y\n", MessageResult::kNo,
       "symconv: Go? [y/n] no\n"},
      {AnswerMode::kAsk, false, "y\n", MessageResult::kNo,
       "symconv: Go? [y/n] no (standard input is not a terminal)\n"},
      {AnswerMode::kAsk, true, " Yes \n", MessageResult::kYes,
       "symconv: Go? [y/n] "},
      {AnswerMode::kAsk, true, "maybe\nN\n", MessageResult::kNo,
       "symconv: Go? [y/n] Please answer y or n: "},
      {AnswerMode::kAsk, true, "", MessageResult::kNo,
       "symconv: Go? [y/n] no\n"},
  };
  for (const auto& c : cases) {
    CStreams streams(c.typed);
    streams.options.answer_mode = c.mode;
    streams.options.input_is_terminal = c.terminal;
    {
      CPosixPlatform posix(streams.options);
      EXPECT_EQ(posix.ShowMessage("Go?", MessageButtons::kYesNo), c.answer)
          << c.typed;
    }
    EXPECT_EQ(streams.Errors(), c.shown) << c.typed;
    EXPECT_EQ(streams.Output(), "");
  }
}

TEST(PosixUserTest, MessagesGoToErrorsAndTheSummaryToOutput) {
  CStreams streams;
  streams.options.beep = true;
  CPosixPlatform posix(streams.options);
  EXPECT_EQ(
      posix.ShowMessage("An internal error has occured", MessageButtons::kOk),
      MessageResult::kOk);
  posix.Beep();
  posix.ShowSummary("Converting folder: \"/d\"\n\n0 files");
  posix.ReportProgress(0, 2, "A.SYM");  // not a terminal: nothing shown
  EXPECT_EQ(streams.Errors(), "symconv: An internal error has occured\n\a");
  EXPECT_EQ(streams.Output(), "Converting folder: \"/d\"\n\n0 files\n");
}

TEST(PosixUserTest, ProgressOverwritesOneLineAndIsClearedBeforeMessages) {
  CStreams streams;
  streams.options.errors_is_terminal = true;
  {
    CPosixPlatform posix(streams.options);
    posix.Beep();  // beep is off by default
    posix.ReportProgress(0, 2, "A\033.SYM");
    posix.ReportProgress(1, 2, "B.SYM");
    posix.ShowMessage("oops", MessageButtons::kOk);
    posix.ReportProgress(2, 2, "C.SYM");
  }
  EXPECT_EQ(streams.Errors(),
            "\r\033[K[0/2] A?.SYM\r\033[K[1/2] B.SYM\r\033[Ksymconv: oops\n"
            "\r\033[K[2/2] C.SYM\r\033[K");
}

TEST(PosixUserTest, ProgressInsideAFileIsPacedAndClearedBeforeMessages) {
  CStreams streams;
  streams.options.errors_is_terminal = true;
  CProgressMeter::Clock::time_point now;
  streams.options.clock = [&now] { return now; };
  {
    CPosixPlatform posix(streams.options);
    posix.ReportProgress(0, 1, "BIG.DXF");
    now += std::chrono::milliseconds(50);
    posix.ReportProgressWithin(10, 100, 0);  // too soon: not shown
    now += std::chrono::milliseconds(50);
    posix.ReportProgressWithin(20, 100, 3);
    posix.ShowMessage("oops", MessageButtons::kOk);
  }
  EXPECT_EQ(streams.Errors(),
            "\r\033[K[0/1] BIG.DXF\r\033[K[0/1] BIG.DXF  20%  3 symbols"
            "\r\033[Ksymconv: oops\n");
}

TEST(PosixUserTest, AskForFolderReadsOneLineAndCancelsOnNothing) {
  const struct {
    const char* typed;
    bool chosen;
    const char* folder;
  } cases[] = {
      {"/data/syms/\n", true, "/data/syms"},
      {"/\n", true, "/"},
      {"my folder\r\n", true, "my folder"},
      {"last line", true, "last line"},
      {"\n/x\n", false, ""},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    CStreams streams(c.typed);
    CPosixPlatform posix(streams.options);
    std::string folder;
    EXPECT_EQ(posix.AskForFolder(&folder), c.chosen) << c.typed;
    EXPECT_EQ(folder, c.folder);
    EXPECT_EQ(streams.Errors(), "Select folder to convert: ");
  }
  CPosixOptions options;
  std::string folder;
  EXPECT_FALSE(CPosixPlatform(options).ChooseFolder(&folder));
  options.folder = "/data/";
  EXPECT_TRUE(CPosixPlatform(options).ChooseFolder(&folder));
  EXPECT_EQ(folder, "/data");
}

/// Files in a fresh temp folder.
class PosixFileTest : public testing::Test {
 protected:
  void SetUp() override {
    m_base =
        fs::temp_directory_path() /
        ("symconv_posix_" +
         std::string(
             testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(m_base);
    fs::create_directories(m_base);
  }
  void TearDown() override { fs::remove_all(m_base); }
  std::string Path(const std::string& name) { return (m_base / name).string(); }

  fs::path m_base;
  CPosixPlatform m_posix;
};

TEST_F(PosixFileTest, AFileLockedElsewhereIsNotRead) {
  std::ofstream(Path("A.SYM")) << "x";
  const int fd = ::open(Path("A.SYM").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  try {
    m_posix.ReadFile(Path("A.SYM"));
    ADD_FAILURE() << "read a locked file";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
  }
  ::close(fd);
  EXPECT_EQ(m_posix.ReadFile(Path("A.SYM")), "x");
}

// Large files may be read in two halves at once; the bytes are the same
// either way, also for sizes that do not halve into whole pages. Every
// eight-byte word holds its own offset, so a half read into the wrong
// place shows.
TEST_F(PosixFileTest, ALargeFileReadsTheSameInTwoHalves) {
  for (const std::size_t size :
       {std::size_t{9} << 20, (std::size_t{8} << 20) + 4099}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
      std::memcpy(&bytes[i], &i, sizeof i);
    }
    std::ofstream(Path("BIG.DXF"), std::ios::binary) << bytes;
    for (const bool split : {false, true}) {
      m_posix.options().split_reads = split;
      EXPECT_TRUE(m_posix.ReadFile(Path("BIG.DXF")) == bytes)
          << size << (split ? " split" : " whole");
    }
  }
}

// Files whose size the system does not know ahead (those of /proc give 0)
// are read to their end all the same.
TEST_F(PosixFileTest, AFileLongerThanItsGivenSizeIsReadToItsEnd) {
  std::ifstream in("/proc/self/mountinfo");
  if (!in) GTEST_SKIP() << "no /proc";
  const std::string expected((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(expected.size(), 0u);
  EXPECT_EQ(m_posix.ReadFile("/proc/self/mountinfo").view(), expected);
}

// A link to a folder would lead a walk out of the tree, or round it.
TEST_F(PosixFileTest, SubfoldersLeaveOutLinksToFolders) {
  fs::create_directories(m_base / "real");
  fs::create_directory_symlink("real", m_base / "link");
  fs::create_directory_symlink(".", m_base / "loop");
  const fs::path saved = fs::current_path();
  m_posix.ChangeDirectory(m_base.string());
  const std::vector<std::string> names = m_posix.FindSubfolders();
  fs::current_path(saved);
  EXPECT_EQ(names, std::vector<std::string>{"real"});
}

TEST_F(PosixFileTest, AFifoNamedLikeASourceIsRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo(Path("P.SYM").c_str(), 0600), 0);
  try {
    m_posix.ReadFile(Path("P.SYM"));
    ADD_FAILURE() << "read a FIFO";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_EQ(e.m_strFileName, Path("P.SYM"));
  }
}

// Under a file-size limit write() stores only part of what it was given.
// Exits 0 when the replacing file passed the short count on and then
// reported the refused write as a full disk.
[[noreturn]] void writePastASizeLimit(const std::string& target) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit;
  limit.rlim_cur = limit.rlim_max = 10;
  if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(2);
  CPosixPlatform posix;
  std::size_t stored = 0;
  int cause = CFileException::none;
  {
    CReplacingFile file(posix, target);
    stored = file.Write("0123456789abcdef", 16);
    try {
      file.Write("more", 4);
    } catch (const CFileException& e) {
      cause = e.m_cause;
    }
  }  // dropped without Close
  std::_Exit(stored == 10 && cause == CFileException::diskFull ? 0 : 3);
}

// The limit binds only the child process that the death test starts.
TEST_F(PosixFileTest, ShortWriteKeepsTheTargetAndLeavesNoTemporary) {
  std::ofstream(Path("VALVE.SML")) << "old";
  EXPECT_EXIT(writePastASizeLimit(Path("VALVE.SML")),
              testing::ExitedWithCode(0), "");
  std::ifstream in(Path("VALVE.SML"));
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(m_base), {}), 1);
}

#ifdef __linux__
// Our own file with the owner's write permission is replaced without asking
// the system, unless it is immutable: such a file is refused before a
// temporary is made, as one its mode refuses. Setting the attribute needs
// root and a file system that keeps it.
TEST_F(PosixFileTest, AnImmutableFileOfOursIsRefusedUpFront) {
  {
    const int flag = FS_IMMUTABLE_FL;
    std::ofstream(Path("FIXED.SML")) << "old";
    const int fd = ::open(Path("FIXED.SML").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    ::ioctl(fd, FS_IOC_GETFLAGS, &flags);
    int fixed = flags | flag;
    if (::ioctl(fd, FS_IOC_SETFLAGS, &fixed) != 0) {
      ::close(fd);
      GTEST_SKIP() << "cannot set the attribute here: " << std::strerror(errno);
    }
    bool refused = false;
    try {
      CReplacingFile file(m_posix, Path("FIXED.SML"));
    } catch (const CFileException& e) {
      refused = e.m_strFileName == Path("FIXED.SML");
    }
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_TRUE(refused);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_base), {}), 1);
    fs::remove(Path("FIXED.SML"));
  }
}
#endif

// Files are named relative to the folder last written in, held open: files
// written in turn into folders whose names share a start, a rename between
// them, a removal and a relative path must each reach their own folder.
TEST_F(PosixFileTest, FilesInTurnInSeveralFoldersReachTheirOwn) {
  fs::create_directories(m_base / "a");
  fs::create_directories(m_base / "ab");
  const auto replace = [&](const std::string& path, const std::string& text) {
    CReplacingFile file(m_posix, path);
    file.Write(text.data(), text.size());
    file.Close();
  };
  const auto read = [](const fs::path& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text;
  };
  for (int round = 0; round < 2; ++round) {
    for (const char* folder : {"a", "ab", "a"}) {
      replace(Path(std::string(folder) + "/S.SML"), folder);
    }
  }
  EXPECT_EQ(read(m_base / "a" / "S.SML"), "a");
  EXPECT_EQ(read(m_base / "ab" / "S.SML"), "ab");
  m_posix.RenameReplacing(Path("a/S.SML"), Path("ab/T.SML"));
  EXPECT_EQ(read(m_base / "ab" / "T.SML"), "a");
  m_posix.RemoveFile(Path("ab/S.SML"));
  EXPECT_FALSE(fs::exists(m_base / "ab" / "S.SML"));
  EXPECT_TRUE(fs::is_empty(m_base / "a"));

  const fs::path old_dir = fs::current_path();
  fs::current_path(m_base);
  replace("a/R.SML", "relative");
  fs::current_path(old_dir);
  EXPECT_EQ(read(m_base / "a" / "R.SML"), "relative");
}

// Temporaries made and written on one thread, and published by another that
// meanwhile replaces a file in a second folder: each thread names files
// relative to its own folder, and every file reaches its own.
TEST_F(PosixFileTest, TemporariesWrittenOnOneThreadArePublishedByAnother) {
  ASSERT_TRUE(m_posix.WritesConcurrently());
  fs::create_directories(m_base / "a");
  fs::create_directories(m_base / "b");
  constexpr int kFiles = 150;
  const auto name = [&](int i) { return Path("a/S" + std::to_string(i)); };
  std::vector<std::unique_ptr<CReplacingFile>> written(kFiles);
  std::atomic<int> ready{0}, taken{0};
  std::thread writer([&] {
    for (int i = 0; i < kFiles; ++i) {
      // Within the pending temporaries, as a thread converting ahead keeps.
      while (i - taken.load() >= 16) std::this_thread::yield();
      written[i] = std::make_unique<CReplacingFile>(m_posix, name(i));
      written[i]->Write(name(i).data(), name(i).size());
      ready.store(i + 1);
    }
  });
  CPublishQueue queue(m_posix, Path("a"));
  for (int i = 0; i < kFiles; ++i) {
    while (ready.load() <= i) std::this_thread::yield();
    written[i]->CloseInto(&queue);
    written[i].reset();
    taken.store(i + 1);
    EXPECT_TRUE(!queue.full() || queue.Publish().empty()) << i;
    CReplacingFile other(m_posix, Path("b/T"));
    other.Close();
  }
  writer.join();
  EXPECT_TRUE(queue.Publish().empty());
  for (int i = 0; i < kFiles; ++i) {
    std::string text;
    std::ifstream(name(i)) >> text;
    EXPECT_EQ(text, name(i));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(m_base / "a"), {}), kFiles);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_base / "b"), {}), 1);
}

// A 0664 symbol became 0644 when replaced. (A read-only symbol is checked
// end to end, as a user who may not write it.) The platform knows the mode
// a new file gets, so it changes the mode only of those that differ: both
// ways are checked under two umasks.
TEST_F(PosixFileTest, AReplacementKeepsTheModeOfTheFileItReplaces) {
  const auto modeOf = [&](const std::string& name) {
    struct stat st;
    EXPECT_EQ(::stat(Path(name).c_str(), &st), 0);
    return st.st_mode & 07777;
  };
  const mode_t old_mask = ::umask(022);
  for (const mode_t mask : {022, 002}) {
    ::umask(mask);
    CPosixPlatform posix;
    const auto replace = [&](const std::string& name) {
      CReplacingFile file(posix, Path(name));
      file.Write("new", 3);
      file.Close();
    };
    fs::remove(Path("NEW.SML"));
    replace("NEW.SML");
    EXPECT_EQ(modeOf("NEW.SML"), 0666u & ~mask);
    for (const mode_t mode : {0664u, 0644u}) {
      std::ofstream(Path("OLD.SML")) << "old";
      ::chmod(Path("OLD.SML").c_str(), mode);
      replace("OLD.SML");
      EXPECT_EQ(modeOf("OLD.SML"), mode) << "umask " << mask;
    }
  }
  ::umask(old_mask);
}

}  // namespace

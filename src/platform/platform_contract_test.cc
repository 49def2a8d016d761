// One contract for every CPlatform: the fake and the POSIX platform must
// behave alike for everything the batch driver and the file layer rely on.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/fake/fake_platform.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "platform/replacing_file.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

/// The in-memory platform, working in "/base".
class CFakeEnv {
 public:
  std::string Base() const { return "/base"; }
  CPlatform& Platform() { return m_fake; }
  void PutFile(const std::string& rel, const std::string& bytes) {
    m_fake.PutFile(Base() + "/" + rel, bytes);
  }
  void PutFolder(const std::string& rel) {
    m_fake.PutFolder(Base() + "/" + rel);
  }
  std::optional<std::string> Bytes(const std::string& rel) const {
    return m_fake.FileBytes(Base() + "/" + rel);
  }
  Names Files() const {
    Names out;
    for (const std::string& p : m_fake.FilePaths()) {
      out.push_back(p.substr(Base().size() + 1));
    }
    return out;
  }

 private:
  CFakePlatform m_fake;
};

/// The POSIX platform in a fresh folder under the system's temp folder; the
/// current directory is put back afterwards.
class CPosixEnv {
 public:
  CPosixEnv() : m_saved(fs::current_path()) {
    const testing::TestInfo* info =
        testing::UnitTest::GetInstance()->current_test_info();
    m_base = fs::temp_directory_path() /
             (std::string("symconv_platform_") + info->test_suite_name() + "_" +
              info->name());
    fs::remove_all(m_base);
    fs::create_directories(m_base);
  }
  ~CPosixEnv() {
    fs::current_path(m_saved);
    std::error_code ignored;
    fs::remove_all(m_base, ignored);
  }
  std::string Base() const { return m_base.string(); }
  CPlatform& Platform() { return m_posix; }
  void PutFile(const std::string& rel, const std::string& bytes) {
    fs::create_directories((m_base / rel).parent_path());
    std::ofstream(m_base / rel, std::ios::binary) << bytes;
  }
  void PutFolder(const std::string& rel) {
    fs::create_directories(m_base / rel);
  }
  std::optional<std::string> Bytes(const std::string& rel) const {
    std::ifstream in(m_base / rel, std::ios::binary);
    if (!in || fs::is_directory(m_base / rel)) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Names Files() const {
    Names out;
    for (const auto& e : fs::recursive_directory_iterator(m_base)) {
      if (e.is_regular_file()) {
        out.push_back(fs::relative(e.path(), m_base).string());
      }
    }
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  fs::path m_saved;
  fs::path m_base;
  CPosixPlatform m_posix;
};

template <typename Env>
class PlatformContractTest : public testing::Test {
 protected:
  std::string Path(const std::string& rel) { return env.Base() + "/" + rel; }
  int CauseOf(const std::function<void()>& op) {
    try {
      op();
    } catch (const CFileException& e) {
      return e.m_cause;
    }
    return CFileException::none;
  }

  Env env;
  CPlatform& platform = env.Platform();
};

using Envs = testing::Types<CFakeEnv, CPosixEnv>;
TYPED_TEST_SUITE(PlatformContractTest, Envs);

TYPED_TEST(PlatformContractTest,
           FindFilesListsMatchesOfTheCurrentFolderSorted) {
  for (const char* name : {"b.DXF", "a.dxf", "C.DxF", "x.dxf.bak", "dxf",
                           "A.SYM", ".DXF", "deep/inner.dxf"}) {
    this->env.PutFile(name, "");
  }
  this->env.PutFolder("sub.dxf");  // a folder that matches is listed too
  EXPECT_EQ(this->platform.PathSeparator(), '/');
  ASSERT_NO_THROW(this->platform.ChangeDirectory(this->env.Base() + "/"));
  EXPECT_EQ(this->platform.FindFiles("*.DXF"),
            (Names{".DXF", "C.DxF", "a.dxf", "b.DXF", "sub.dxf"}));
  EXPECT_EQ(this->platform.FindFiles("*.SYM"), Names{"A.SYM"});
  EXPECT_EQ(this->platform.FindFiles("*.SML"), Names{});

  ASSERT_NO_THROW(this->platform.ChangeDirectory(this->Path("deep")));
  EXPECT_EQ(this->platform.FindFiles("*.DXF"), Names{"inner.dxf"});
  EXPECT_EQ(this->platform.ReadFile("inner.dxf"), "");  // relative name
}

TYPED_TEST(PlatformContractTest, SubfoldersAreListedSortedAndMadeOnce) {
  this->env.PutFolder("b");
  this->env.PutFolder("a/inner");
  this->env.PutFolder("B");
  this->env.PutFile("file.sym", "");
  ASSERT_NO_THROW(this->platform.ChangeDirectory(this->env.Base()));
  EXPECT_EQ(this->platform.FindSubfolders(), (Names{"B", "a", "b"}));

  this->platform.MakeFolder(this->Path("new"));
  this->env.PutFile("new/kept.sml", "x");
  this->platform.MakeFolder(this->Path("new"));  // there already: kept
  EXPECT_EQ(this->env.Bytes("new/kept.sml"), "x");
  EXPECT_EQ(
      this->CauseOf([&] { this->platform.MakeFolder(this->Path("none/new")); }),
      CFileException::fileNotFound);
  EXPECT_NE(
      this->CauseOf([&] { this->platform.MakeFolder(this->Path("file.sym")); }),
      CFileException::none);
}

TYPED_TEST(PlatformContractTest, ChangeDirectoryToAMissingFolderIsNotFound) {
  this->env.PutFile("only.sym", "");
  ASSERT_NO_THROW(this->platform.ChangeDirectory(this->env.Base()));
  try {
    this->platform.ChangeDirectory(this->Path("missing"));
    ADD_FAILURE() << "no failure";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_lOsError, 2);  // the code the driver's message shows
  }
  // The current folder stays as it was.
  EXPECT_EQ(this->platform.FindFiles("*.SYM"), Names{"only.sym"});
}

TYPED_TEST(PlatformContractTest, ReadFileGivesEveryByteOrFails) {
  std::string bytes("L 1\r\n\0\xff\n", 8);
  std::string big(300000, 'x');
  for (std::size_t i = 0; i < big.size(); i += 997) big[i] = '\n';
  this->env.PutFile("A.SYM", bytes);
  this->env.PutFile("BIG.SYM", big);
  this->env.PutFile("EMPTY.SYM", "");
  this->env.PutFolder("dir.sym");
  EXPECT_EQ(this->platform.ReadFile(this->Path("A.SYM")), bytes);
  EXPECT_EQ(this->platform.ReadFile(this->Path("BIG.SYM")), big);
  EXPECT_EQ(this->platform.ReadFile(this->Path("EMPTY.SYM")), "");
  EXPECT_EQ(
      this->CauseOf([&] { this->platform.ReadFile(this->Path("dir.sym")); }),
      CFileException::accessDenied);
  EXPECT_EQ(
      this->CauseOf([&] { this->platform.ReadFile(this->Path("no.sym")); }),
      CFileException::fileNotFound);
  try {
    this->platform.ReadFile(this->Path("no.sym"));
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_strFileName, this->Path("no.sym"));
    EXPECT_EQ(e.m_lOsError, 2);
  }
}

TYPED_TEST(PlatformContractTest, CreateNewFileIsExclusive) {
  this->env.PutFile("old.sml", "old");
  this->env.PutFolder("dir.sml");
  for (const char* taken : {"old.sml", "dir.sml"}) {
    EXPECT_EQ(
        this->CauseOf([&] { this->platform.CreateNewFile(this->Path(taken)); }),
        CFileException::alreadyExists)
        << taken;
  }
  EXPECT_EQ(this->env.Bytes("old.sml"), "old");
  EXPECT_EQ(this->CauseOf([&] {
    this->platform.CreateNewFile(this->Path("none/x.sml"));
  }),
            CFileException::fileNotFound);

  auto file = this->platform.CreateNewFile(this->Path("new.sml"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Write("ab", 2), 2u);
  EXPECT_EQ(file->Write("", 0), 0u);
  EXPECT_EQ(file->Write("c", 1), 1u);
  file->Close();
  EXPECT_EQ(this->env.Bytes("new.sml"), "abc");
  EXPECT_THROW(this->platform.CreateNewFile(this->Path("new.sml")),
               CFileException);
}

TYPED_TEST(PlatformContractTest, RenameReplacesAndRemoveRemoves) {
  this->env.PutFile("from", "new");
  this->env.PutFile("to", "old");
  this->platform.RenameReplacing(this->Path("from"), this->Path("to"));
  EXPECT_EQ(this->env.Files(), Names{"to"});
  EXPECT_EQ(this->env.Bytes("to"), "new");

  this->platform.RenameReplacing(this->Path("to"), this->Path("fresh"));
  EXPECT_EQ(this->env.Files(), Names{"fresh"});
  EXPECT_EQ(this->CauseOf([&] {
    this->platform.RenameReplacing(this->Path("gone"), this->Path("fresh"));
  }),
            CFileException::fileNotFound);
  EXPECT_EQ(this->env.Bytes("fresh"), "new");

  this->platform.RemoveFile(this->Path("fresh"));
  EXPECT_EQ(this->env.Files(), Names{});
  EXPECT_EQ(
      this->CauseOf([&] { this->platform.RemoveFile(this->Path("fresh")); }),
      CFileException::fileNotFound);
}

TYPED_TEST(PlatformContractTest, ReplacingFileReplacesOrKeepsTheTarget) {
  this->env.PutFile("VALVE.SML", "old");
  {
    CReplacingFile abandoned(this->platform, this->Path("VALVE.SML"));
    abandoned.Write("partial", 7);
  }  // destroyed without Close
  EXPECT_EQ(this->env.Bytes("VALVE.SML"), "old");
  EXPECT_EQ(this->env.Files(), Names{"VALVE.SML"});

  CReplacingFile file(this->platform, this->Path("VALVE.SML"));
  file.Write("new", 3);
  file.Close();
  EXPECT_EQ(this->env.Bytes("VALVE.SML"), "new");
  EXPECT_EQ(this->env.Files(), Names{"VALVE.SML"});
}

}  // namespace

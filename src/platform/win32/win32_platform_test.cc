#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/replacing_file.h"
#include "platform/win32/win32_error.h"

namespace {

namespace fs = std::filesystem;

// Each test works in a fresh folder under the temporary folder, made
// current for the test and removed afterwards.
class Win32PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::string(temp) + "symconv_" +
            std::to_string(GetCurrentProcessId()) + "_" + info->name();
    fs::remove_all(m_dir);
    ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr));
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    m_previous = current;
    ASSERT_NO_THROW(m_platform.ChangeDirectory(m_dir));
  }

  void TearDown() override {
    SetCurrentDirectoryA(m_previous.c_str());
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }

  std::string Path(const std::string& name) const {
    return m_dir + "\\" + name;
  }

  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  std::string Get(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  // Every name in the folder, sorted.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Opens name the way another program holding it would: no sharing.
  HANDLE HoldOpen(const std::string& name) const {
    return CreateFileA(Path(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  int CauseOfRead(const std::string& path) {
    try {
      m_platform.ReadFile(path);
    } catch (const CFileException& e) {
      EXPECT_EQ(e.m_strFileName, path);
      return e.m_cause;
    }
    return CFileException::none;
  }

  CWin32Platform m_platform;
  std::string m_dir;
  std::string m_previous;
};

TEST_F(Win32PlatformTest, ReadFileReadsEveryByte) {
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes.push_back(static_cast<char>(i * 7));
  Put("big.sym", bytes);
  Put("empty.sym", "");
  EXPECT_EQ(m_platform.ReadFile(Path("big.sym")), bytes);
  EXPECT_EQ(m_platform.ReadFile(Path("empty.sym")), "");
}

TEST_F(Win32PlatformTest, ReadFileFailuresCarryTheirCause) {
  Put("held.sym", "L 0 0 0 1 1 0\n");
  ASSERT_TRUE(CreateDirectoryA(Path("folder.sym").c_str(), nullptr));
  HANDLE held = HoldOpen("held.sym");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  EXPECT_EQ(CauseOfRead(Path("held.sym")), CFileException::sharingViolation);
  EXPECT_EQ(CauseOfRead(Path("missing.sym")), CFileException::fileNotFound);
  EXPECT_EQ(CauseOfRead(Path("no folder\\x.sym")), CFileException::badPath);
  EXPECT_EQ(CauseOfRead(Path("folder.sym")), CFileException::accessDenied);

  CloseHandle(held);
  EXPECT_EQ(m_platform.ReadFile(Path("held.sym")), "L 0 0 0 1 1 0\n");
}

TEST_F(Win32PlatformTest, FindFilesMatchesTheExtensionWithoutCase) {
  for (const char* name : {"plan.dxf", "PARTS.DXF", "notes.dxfx", "plan.dx",
                           "old.Sym", "a.sym.bak"}) {
    Put(name, "x");
  }
  ASSERT_TRUE(CreateDirectoryA(Path("sub.dxf").c_str(), nullptr));

  auto sorted = [](std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  EXPECT_EQ(sorted(m_platform.FindFiles("*.DXF")),
            (std::vector<std::string>{"PARTS.DXF", "plan.dxf", "sub.dxf"}));
  EXPECT_EQ(m_platform.FindFiles("*.SYM"), std::vector<std::string>{"old.Sym"});
  EXPECT_TRUE(m_platform.FindFiles("*.SML").empty());
}

TEST_F(Win32PlatformTest, SubfoldersAreListedSortedAndMadeOnce) {
  Put("file.sym", "x");
  for (const char* name : {"c", "B", "a"}) {
    ASSERT_NO_THROW(m_platform.MakeFolder(Path(name))) << name;
  }
  ASSERT_NO_THROW(m_platform.MakeFolder(Path("a")));  // there already
  EXPECT_THROW(m_platform.MakeFolder(Path("file.sym")), CFileException);
  EXPECT_THROW(m_platform.MakeFolder(Path("none\\new")), CFileException);
  m_platform.ChangeDirectory(Path(""));
  EXPECT_EQ(m_platform.FindSubfolders(),
            (std::vector<std::string>{"B", "a", "c"}));
}

TEST_F(Win32PlatformTest, ChangeDirectoryReportsTheSystemError) {
  try {
    m_platform.ChangeDirectory(Path("missing"));
    ADD_FAILURE() << "no failure";
  } catch (const CFileException& e) {
    EXPECT_TRUE(e.m_lOsError == ERROR_FILE_NOT_FOUND ||
                e.m_lOsError == ERROR_PATH_NOT_FOUND)
        << e.m_lOsError;
  }

  ASSERT_TRUE(CreateDirectoryA(Path("sub").c_str(), nullptr));
  EXPECT_NO_THROW(m_platform.ChangeDirectory(Path("sub") + "\\"));
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(fs::path(current), fs::path(Path("sub")));
}

TEST_F(Win32PlatformTest, CreateNewFileClaimsTheNameExclusively) {
  Put("taken.sml", "old");
  try {
    m_platform.CreateNewFile(Path("taken.sml"));
    ADD_FAILURE() << "taken.sml claimed twice";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::alreadyExists);
  }
  EXPECT_EQ(Get("taken.sml"), "old");

  auto file = m_platform.CreateNewFile(Path("new.sml"));
  EXPECT_EQ(file->Write("abc\0d", 5), 5u);
  EXPECT_EQ(CauseOfRead(Path("new.sml")), CFileException::sharingViolation);
  file->Close();
  EXPECT_EQ(Get("new.sml"), std::string("abc\0d", 5));
}

TEST_F(Win32PlatformTest, RenameAndRemoveFailuresNameTheFile) {
  try {
    m_platform.RemoveFile(Path("missing.sml"));
    ADD_FAILURE() << "removed a missing file";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_strFileName, Path("missing.sml"));
  }
  EXPECT_THROW(m_platform.RenameReplacing(Path("a.tmp"), Path("a.sml")),
               CFileException);
}

TEST_F(Win32PlatformTest, ReplacingFileReplacesAnEarlierSml) {
  Put("VALVE.SML", "old");
  Put("VALVE.SML.1.tmp", "stray");  // left by someone else: not touched
  {
    CReplacingFile file(m_platform, Path("VALVE.SML"));
    file.Write("new", 3);
    file.Close();
  }
  EXPECT_EQ(Get("VALVE.SML"), "new");
  EXPECT_EQ(Get("VALVE.SML.1.tmp"), "stray");
  EXPECT_EQ(Listing(),
            (std::vector<std::string>{"VALVE.SML", "VALVE.SML.1.tmp"}));
}

TEST_F(Win32PlatformTest, FailedReplaceKeepsTheEarlierSmlAndNoTemporary) {
  Put("VALVE.SML", "old");

  // The earlier file is held open elsewhere, so it cannot be replaced.
  HANDLE held = HoldOpen("VALVE.SML");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  try {
    CReplacingFile file(m_platform, Path("VALVE.SML"));
    file.Write("new", 3);
    file.Close();
    ADD_FAILURE() << "replaced a file held open elsewhere";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_strFileName, Path("VALVE.SML"));
  }
  CloseHandle(held);

  // A write abandoned half-way (the writer failed) leaves nothing either.
  {
    CReplacingFile file(m_platform, Path("VALVE.SML"));
    file.Write("ne", 2);
  }
  EXPECT_EQ(Get("VALVE.SML"), "old");
  EXPECT_EQ(Listing(), std::vector<std::string>{"VALVE.SML"});
}

// The rows whose cause changes what happens next: a missing folder picks
// the driver's message, a taken or held name makes the replacing file try
// another.
TEST(Win32ErrorTest, ErrorCodesBecomeFileCauses) {
  const struct {
    unsigned long error;
    int cause;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
      {ERROR_PATH_NOT_FOUND, CFileException::badPath},
      {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
      {ERROR_FILE_EXISTS, CFileException::alreadyExists},
      {ERROR_ALREADY_EXISTS, CFileException::alreadyExists},
      {ERROR_ACCESS_DENIED, CFileException::accessDenied},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileCauseFromWin32Error(c.error), c.cause) << c.error;
  }

  const CFileException e =
      MakeWin32FileException(ERROR_FILE_NOT_FOUND, "C:\\in\\A.SYM");
  EXPECT_EQ(e.m_lOsError, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(e.m_strReason.empty());
  EXPECT_EQ(std::string(e.what()).rfind("C:\\in\\A.SYM: ", 0), 0u) << e.what();
  EXPECT_GT(std::string(e.what()).size(),
            std::string("C:\\in\\A.SYM: ").size());
}

}  // namespace

#ifndef SYMCONV_TESTS_SUPPORT_PROGRAM_RUN_H_
#define SYMCONV_TESTS_SUPPORT_PROGRAM_RUN_H_

// Runs the built symconv program as a user would, through the shell, and
// collects what it printed and returned. SYMCONV_EXE names the program.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "gtest/gtest.h"

struct CRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::filesystem::path& path,
                     const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

/// Runs symconv with args (quoted for the shell by the caller) and input as
/// its standard input, which is then never a terminal. The streams pass
/// through files in scratch; the program starts in cwd when one is given.
inline CRun RunSymconv(const std::filesystem::path& scratch,
                       const std::string& args, const std::string& input = "",
                       const std::filesystem::path& cwd = {},
                       const std::string& program = SYMCONV_EXE) {
  WriteAll(scratch / "stdin", input);
  std::string command;
  if (!cwd.empty()) command = "cd '" + cwd.string() + "' && ";
  command += "'" + program + "' " + args + " <'" +
             (scratch / "stdin").string() + "' >'" +
             (scratch / "out").string() + "' 2>'" + (scratch / "err").string() +
             "'; echo $? >'" + (scratch / "rc").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return {std::stoi(ReadAll(scratch / "rc")), ReadAll(scratch / "out"),
          ReadAll(scratch / "err")};
}

#endif  // SYMCONV_TESTS_SUPPORT_PROGRAM_RUN_H_

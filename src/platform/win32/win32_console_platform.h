#ifndef SYMCONV_PLATFORM_WIN32_WIN32_CONSOLE_PLATFORM_H_
#define SYMCONV_PLATFORM_WIN32_WIN32_CONSOLE_PLATFORM_H_

#include <cstdio>
#include <string>

#include "platform/answer_mode.h"
#include "platform/win32/win32_platform.h"

/// What the Windows command line sets up for a run (as CPosixOptions).
struct CWin32ConsoleOptions {
  /// The folder that ChooseFolder returns, in the ANSI code page; empty
  /// means cancel.
  std::string folder;
  AnswerMode answer_mode = AnswerMode::kAsk;
  /// Sound the system beep after each symbol.
  bool beep = false;
  /// Starts every message on standard error, as a caption would.
  std::string program_name = "symconv";
  /// Where the summary goes, not owned.
  std::FILE* output = stdout;
};

/// The platform of symconv-cli.exe: the Win32 file services of the desktop
/// program, with its messages on standard error, the summary on standard
/// output and the answers from the options or from the console, by the
/// rules of the POSIX command line.
class CWin32ConsolePlatform final : public CWin32Platform {
 public:
  explicit CWin32ConsolePlatform(
      CWin32ConsoleOptions options = CWin32ConsoleOptions());

  /// Asks for a folder on the console: shows "Select folder to convert: "
  /// on standard error and reads one line. An empty line or the end of
  /// input gives false (cancel). Trailing separators are dropped unless
  /// the path is a root.
  bool AskForFolder(std::string* path);
  /// Whether standard input is a console that a person can answer from.
  bool InputIsTerminal() const;

  const CWin32ConsoleOptions& options() const { return m_options; }
  CWin32ConsoleOptions& options() { return m_options; }

  bool ChooseFolder(std::string* path) override;
  MessageResult ShowMessage(const std::string& text,
                            MessageButtons buttons) override;
  void ShowSummary(const std::string& text) override;
  void Beep() override;
  void ReportNote(const std::string& text) override;

 private:
  CWin32ConsoleOptions m_options;
};

#endif  // SYMCONV_PLATFORM_WIN32_WIN32_CONSOLE_PLATFORM_H_

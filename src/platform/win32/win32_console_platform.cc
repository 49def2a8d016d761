#include "platform/win32/win32_console_platform.h"

#include <windows.h>

#include <utility>

#include "platform/console_answer.h"

namespace {

// True when standard input is a console, not a file or a pipe.
bool inputIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// Reads one line of standard input without its line end; false at its end.
bool readLine(std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n') line->push_back(char(c));
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return c != EOF || !line->empty();
}

// "C:\\lib\\" gives "C:\\lib"; "C:\\" and "\\" stay roots.
std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') &&
         !(path.size() == 3 && path[1] == ':')) {
    path.pop_back();
  }
  return path;
}

}  // namespace

CWin32ConsolePlatform::CWin32ConsolePlatform(CWin32ConsoleOptions options)
    : m_options(std::move(options)) {}

bool CWin32ConsolePlatform::AskForFolder(std::string* path) {
  std::fputs("Select folder to convert: ", stderr);
  std::fflush(stderr);
  std::string line;
  if (!readLine(&line) || line.empty()) return false;
  *path = withoutTrailingSeparators(std::move(line));
  return true;
}

bool CWin32ConsolePlatform::InputIsTerminal() const { return inputIsConsole(); }

bool CWin32ConsolePlatform::ChooseFolder(std::string* path) {
  if (m_options.folder.empty()) return false;
  *path = m_options.folder;
  return true;
}

MessageResult CWin32ConsolePlatform::ShowMessage(const std::string& text,
                                                 MessageButtons buttons) {
  return ShowMessageOnConsole(stderr, m_options.answer_mode,
                              m_options.program_name, text, buttons,
                              inputIsConsole(), readLine);
}

void CWin32ConsolePlatform::ShowSummary(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), m_options.output);
  std::fputc('\n', m_options.output);
  std::fflush(m_options.output);
}

void CWin32ConsolePlatform::Beep() {
  if (m_options.beep) CWin32Platform::Beep();
}

void CWin32ConsolePlatform::ReportNote(const std::string& text) {
  const std::string shown = m_options.program_name.empty()
                                ? text
                                : m_options.program_name + ": " + text;
  std::fprintf(stderr, "%s\n", shown.c_str());
  std::fflush(stderr);
}

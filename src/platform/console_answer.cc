#include "platform/console_answer.h"

namespace {

std::string lowerTrimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const auto last = s.find_last_not_of(" \t");
  std::string out = s.substr(first, last - first + 1);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

MessageResult AskYesNoOnConsole(
    std::FILE* err, AnswerMode mode, const std::string& shown,
    bool input_is_terminal,
    const std::function<bool(std::string* line)>& read_line) {
  switch (mode) {
    case AnswerMode::kYes:
      std::fprintf(err, "%s [y/n] yes\n", shown.c_str());
      return MessageResult::kYes;
    case AnswerMode::kNo:
      std::fprintf(err, "%s [y/n] no\n", shown.c_str());
      return MessageResult::kNo;
    case AnswerMode::kAsk:
      break;
  }
  if (!input_is_terminal) {
    std::fprintf(err, "%s [y/n] no (standard input is not a terminal)\n",
                 shown.c_str());
    return MessageResult::kNo;
  }
  std::fprintf(err, "%s [y/n] ", shown.c_str());
  for (;;) {
    std::fflush(err);
    std::string line;
    if (!read_line(&line)) {
      std::fputs("no\n", err);
      return MessageResult::kNo;
    }
    const std::string answer = lowerTrimmed(line);
    if (answer == "y" || answer == "yes") return MessageResult::kYes;
    if (answer == "n" || answer == "no") return MessageResult::kNo;
    std::fputs("Please answer y or n: ", err);
  }
}

MessageResult ShowMessageOnConsole(
    std::FILE* err, AnswerMode mode, const std::string& program_name,
    const std::string& text, MessageButtons buttons, bool input_is_terminal,
    const std::function<bool(std::string* line)>& read_line) {
  const std::string shown =
      program_name.empty() ? text : program_name + ": " + text;
  MessageResult result = MessageResult::kOk;
  if (buttons == MessageButtons::kYesNo) {
    result = AskYesNoOnConsole(err, mode, shown, input_is_terminal, read_line);
  } else {
    std::fprintf(err, "%s\n", shown.c_str());
  }
  std::fflush(err);
  return result;
}

#ifndef SYMCONV_PLATFORM_CONSOLE_ANSWER_H_
#define SYMCONV_PLATFORM_CONSOLE_ANSWER_H_

#include <cstdio>
#include <functional>
#include <string>

#include "platform/answer_mode.h"
#include "platform/platform.h"

/// The command line's answer to a Yes/No prompt: writes "shown [y/n]" to
/// err and answers as mode says. Asking reads lines through read_line
/// until one says y/yes or n/no (any case, blanks ignored); the end of the
/// input answers No, and so does a prompt whose input is not a terminal,
/// since no answer can come from there.
MessageResult AskYesNoOnConsole(
    std::FILE* err, AnswerMode mode, const std::string& shown,
    bool input_is_terminal,
    const std::function<bool(std::string* line)>& read_line);

/// A message of the command line: text on err after "program_name: " (when
/// there is one), answered as AskYesNoOnConsole answers for kYesNo.
MessageResult ShowMessageOnConsole(
    std::FILE* err, AnswerMode mode, const std::string& program_name,
    const std::string& text, MessageButtons buttons, bool input_is_terminal,
    const std::function<bool(std::string* line)>& read_line);

#endif  // SYMCONV_PLATFORM_CONSOLE_ANSWER_H_

#ifndef SYMCONV_PLATFORM_ANSWER_MODE_H_
#define SYMCONV_PLATFORM_ANSWER_MODE_H_

/// How the command line answers the Yes/No prompts.
enum class AnswerMode {
  kAsk,  // ask on the terminal; No when standard input is not one
  kYes,  // answer Yes without asking
  kNo,   // answer No without asking
};

#endif  // SYMCONV_PLATFORM_ANSWER_MODE_H_

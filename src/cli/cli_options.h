#ifndef SYMCONV_CLI_CLI_OPTIONS_H_
#define SYMCONV_CLI_CLI_OPTIONS_H_

#include <optional>
#include <string>

#include "platform/answer_mode.h"

/// What `symconv [--yes|--no] [--beep] [--drawings] [--polylines]
/// [--verbose] [FOLDER]` asked for.
struct CCliOptions {
  std::optional<std::string> folder;  // none: ask on the terminal
  AnswerMode answer = AnswerMode::kAsk;
  bool beep = false;
  bool drawings = false;   // each DXF file's drawing is a symbol too
  bool polylines = false;  // polylines become lines and arcs
  bool verbose = false;    // what was passed over, block by block
};

/// Parses the conversion's arguments. Returns an exit status when the
/// program should end at once (0 after --help or --version, 2 for a usage
/// error, with the text already printed); otherwise none and *options set.
std::optional<int> ParseCliOptions(int argc, char** argv, CCliOptions* options);

/// Checks that *path names an existing folder and makes it absolute, as the
/// folder dialog delivers it (every file path of a run is formed from it,
/// after it has become the current directory). Returns an empty string, or
/// the system's reason why the folder cannot be used.
std::string ResolveFolder(std::string* path);

#endif  // SYMCONV_CLI_CLI_OPTIONS_H_

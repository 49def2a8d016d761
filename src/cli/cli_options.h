#ifndef SYMCONV_CLI_CLI_OPTIONS_H_
#define SYMCONV_CLI_CLI_OPTIONS_H_

#include <optional>
#include <string>

#include "dxf/block_extractor.h"
#include "platform/answer_mode.h"

class CHersheyFont;
class CPlatform;

namespace CLI {
class App;
}

/// What `symconv [--yes|--no] [--beep] [--drawings] [--polylines]
/// [--inserts] [--curves] [--text] [--outlines] [--all] [--tolerance D]
/// [--font FILE] [--verbose] [--recursive] [--output DIR] [--report FILE]
/// [FOLDER]` asked for.
struct CCliOptions {
  std::optional<std::string> folder;  // none: ask on the terminal
  AnswerMode answer = AnswerMode::kAsk;
  bool beep = false;
  CDxfOptions dxf;
  std::string font;      // the Hershey font for --text; empty: the default
  bool verbose = false;  // what was passed over, block by block
  bool recursive = false;
  std::string output;  // the folder the .SML files go to; empty: beside
  std::string report;  // the run's JSON record; "-": standard output
};

/// Adds --inserts, --curves, --text, --outlines, --all and --tolerance to
/// app, setting *dxf (--all once app has parsed).
void AddDxfConversionFlags(CLI::App& app, CDxfOptions* dxf);

/// Adds --font FILE, the font that --text draws with, setting *path.
void AddTextFontOption(CLI::App& app, std::string* path);

/// With dxf->text, loads the font that --font names (the default when
/// empty) into *font and points dxf->font at it. False, after telling the
/// user why on standard error, when it cannot be used.
bool LoadChosenFont(CPlatform& platform, const std::string& path,
                    CHersheyFont* font, CDxfOptions* dxf);

/// Parses the conversion's arguments. Returns an exit status when the
/// program should end at once (0 after --help or --version, 2 for a usage
/// error, with the text already printed); otherwise none and *options set.
std::optional<int> ParseCliOptions(int argc, char** argv, CCliOptions* options);

/// Checks that *path names an existing folder and makes it absolute, as the
/// folder dialog delivers it (every file path of a run is formed from it,
/// after it has become the current directory). Returns an empty string, or
/// the system's reason why the folder cannot be used.
std::string ResolveFolder(std::string* path);

/// Makes *path absolute and normal, as ResolveFolder does, for a path that
/// need not exist yet (the run changes the current directory). Returns an
/// empty string, or the system's reason.
std::string AbsolutePath(std::string* path);

#endif  // SYMCONV_CLI_CLI_OPTIONS_H_

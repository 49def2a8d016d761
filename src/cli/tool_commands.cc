// symconv inspect, render and sheet: looking at symbols without converting
// anything. Files are read and written through the platform, as the
// conversion reads and writes them: only regular files are read, and an
// output replaces an earlier one only once it is complete.

#include "cli/tool_commands.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/symbol_tools.h"
#include "cli/cli_options.h"
#include "dxf/hershey_font.h"
#include "platform/console_platform.h"
#include "preview/symbol_loader.h"

namespace fs = std::filesystem;

namespace {

constexpr int kUsageError = 2;

// Runs the parser the way the conversion's options do: --help prints and
// ends with 0, a usage error prints and ends with 2.
std::optional<int> parse(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kUsageError;
  }
  return std::nullopt;
}

void complain(const std::string& what, const std::string& why) {
  std::cerr << "symconv: " << what << ": " << why << "\n";
}

CPlatform& filePlatform() {
  static CConsolePlatform platform;
  return platform;
}

const CToolOutput& standardStreams() {
  static const CToolOutput io{std::cout, std::cerr};
  return io;
}

// Runs a command; a failure that nothing else caught ends it with 1.
int guarded(int (*command)(int, char**), int argc, char** argv) {
  try {
    return command(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "symconv: " << e.what() << "\n";
    return 1;
  }
}

int inspectCommand(int argc, char** argv) {
  CLI::App app{
      "Prints what .SML symbol files hold: the symbol's name, its counts, "
      "every line, arc and circle, the extents, size and origin point.",
      "symconv inspect"};
  std::vector<std::string> files;
  bool json = false;
  app.add_option("FILE", files, ".SML files to read")->required();
  app.add_flag("--json", json,
               "One JSON object per file, each on its own line");
  app.footer(
      "Exit status: 0 when every file was read, 1 when one could not be "
      "read or decoded (the others are still printed), 2 for a usage error.");
  if (auto status = parse(app, argc, argv)) return *status;

  return InspectSymbolFiles(filePlatform(), files, json, standardStreams());
}

// Whether -o names a folder (made when missing) or one picture; several
// inputs need a folder. A usage error's status, or nothing.
std::optional<int> chooseRenderOutput(CRenderRequest* request) {
  const std::string& output = request->output;
  if (output.empty()) return std::nullopt;
  std::error_code ec;
  request->output_is_folder = fs::is_directory(output, ec) ||
                              output.back() == '/' || output.back() == '\\';
  if (!request->output_is_folder && request->files.size() > 1) {
    complain(output, "with several input files, -o must name a folder");
    return kUsageError;
  }
  if (request->output_is_folder) fs::create_directories(output, ec);
  return std::nullopt;
}

int renderCommand(int argc, char** argv) {
  CLI::App app{
      "Draws symbols as SVG pictures: the symbol of an .SML file, the "
      "symbol that the conversion makes of a .SYM file, or one picture per "
      "block of a DXF file.",
      "symconv render"};
  std::vector<std::string> files;
  std::string output;
  int pixels = 600;
  app.add_option("FILE", files, ".SML, .SYM or .DXF files")->required();
  app.add_option("-o,--output", output,
                 "OUT.svg (one input file; a DXF gives OUT-BLOCK.svg per "
                 "block) or an existing folder (FOLDER/NAME.svg). Default: "
                 "next to each input, as with -o INPUT-less-extension.svg");
  CDxfOptions dxf;
  app.add_flag("--drawings", dxf.drawings,
               "A DXF file's drawing is one more picture, named after the "
               "file, as the conversion's --drawings makes it a symbol");
  app.add_flag("--polylines", dxf.polylines,
               "Polylines of DXF files count, as with the conversion's "
               "--polylines");
  AddDxfConversionFlags(app, &dxf);
  std::string font_path;
  AddTextFontOption(app, &font_path);
  app.add_option("--size", pixels, "Larger side of a picture in pixels")
      ->capture_default_str()
      ->check(CLI::Range(16, 10000));
  app.footer(
      "NAME is the file's name less its extension, or the block's name "
      "with characters that no file name may hold turned into _.\n"
      "Exit status: 0 when every picture was written, 1 when a file or "
      "block gave none, 2 for a usage error.");
  if (auto status = parse(app, argc, argv)) return *status;

  CRenderRequest request;
  request.files = files;
  request.output = output;
  request.pixels = pixels;
  request.dxf = dxf;
  if (auto status = chooseRenderOutput(&request)) return *status;
  CHersheyFont font;  // what --text draws with
  if (!LoadChosenFont(filePlatform(), font_path, &font, &request.dxf)) {
    return kUsageError;
  }
  return RenderSymbolFiles(filePlatform(), request, standardStreams());
}

int sheetCommand(int argc, char** argv) {
  CLI::App app{
      "Writes one HTML page that shows every .SML file of FOLDER as a "
      "labelled thumbnail, sorted by name. The page needs nothing else to "
      "be viewed.",
      "symconv sheet"};
  std::string folder;
  std::string output = "sheet.html";
  int pixels = 160;
  app.add_option("FOLDER", folder, "Folder of .SML files")->required();
  app.add_option("-o,--output", output, "The page to write")
      ->capture_default_str();
  app.add_option("--size", pixels, "Side of a thumbnail in pixels")
      ->capture_default_str()
      ->check(CLI::Range(16, 2000));
  app.footer(
      "Exit status: 0 when every .SML file was shown, 1 when one could not "
      "be read (it shows as an error tile) or the page not written, 2 for a "
      "usage error or a FOLDER that is not a folder.");
  if (auto status = parse(app, argc, argv)) return *status;

  CSheetRequest request;
  request.folder = folder;
  request.output = output;
  request.pixels = pixels;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (SourceKindOf(name) == SourceKind::kSml) {
      request.files.push_back(it->path().string());
    }
  }
  if (ec) {
    complain(folder, ec.message());
    return kUsageError;
  }
  return WriteSymbolSheet(filePlatform(), request, standardStreams());
}

}  // namespace

int RunInspectCommand(int argc, char** argv) {
  return guarded(inspectCommand, argc, argv);
}

int RunRenderCommand(int argc, char** argv) {
  return guarded(renderCommand, argc, argv);
}

int RunSheetCommand(int argc, char** argv) {
  return guarded(sheetCommand, argc, argv);
}

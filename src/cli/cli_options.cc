#include "cli/cli_options.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include <CLI/CLI.hpp>

#include "app/text_font.h"

void AddDxfConversionFlags(CLI::App& app, CDxfOptions* dxf) {
  app.add_flag("--inserts", dxf->inserts,
               "Draw the blocks that INSERT and MINSERT entities name, nested "
               "up to " +
                   std::to_string(kMaxInsertDepth) +
                   " deep, with their placement. A symbol fails when a block "
                   "inserts itself, or when its inserts draw more than " +
                   std::to_string(kMaxInsertedEntities) + " entities or " +
                   std::to_string(kMaxShapes) +
                   " shapes. Also draw the blocks that DIMENSION entities "
                   "name and the paths of LEADER entities (not their "
                   "arrowheads)");
  app.add_flag("--curves", dxf->curves,
               "Draw ELLIPSE and SPLINE entities with arcs and lines");
  app.add_flag("--text", dxf->text,
               "Draw TEXT, MTEXT, ATTDEF and ATTRIB entities as strokes");
  app.add_flag("--outlines", dxf->outlines,
               "Draw SOLID, TRACE and 3DFACE entities as closed outlines and "
               "HATCH entities as their boundaries (fills are passed over)");
  app.add_flag_callback(
      "--all",
      [dxf] {
        dxf->polylines = dxf->inserts = dxf->curves = dxf->text =
            dxf->outlines = true;
      },
      "--polylines --inserts --curves --text --outlines (not --drawings)");
  app.add_option("--tolerance", dxf->tolerance,
                 "How far (drawing units) the arcs and lines that draw a "
                 "curve or an unevenly scaled circle may stray from it; by "
                 "default a thousandth of the curve's size, never below "
                 "0.00001 (the six decimals the shapes are kept with)")
      ->check(CLI::PositiveNumber);
}

void AddTextFontOption(CLI::App& app, std::string* path) {
  app.add_option("--font", *path,
                 "The Hershey .jhf font that --text draws with (default: "
                 "Simplex Roman, /usr/share/hershey-fonts/futural.jhf from "
                 "hershey-fonts-data)")
      ->option_text("FILE");
}

bool LoadChosenFont(CPlatform& platform, const std::string& path,
                    CHersheyFont* font, CDxfOptions* dxf) {
  if (!dxf->text) return true;
  if (std::string error = LoadTextFont(platform, path, font); !error.empty()) {
    std::cerr << "symconv: " << error << "\n";
    return false;
  }
  dxf->font = font;
  return true;
}

std::optional<int> ParseCliOptions(int argc, char** argv,
                                   CCliOptions* options) {
  CLI::App app{
      "Converts every block of every DXF file and every DOS .SYM symbol in "
      "FOLDER into a Windows .SML symbol file.",
      "symconv"};
  app.set_version_flag("--version", std::string("symconv ") + SYMCONV_VERSION);
  std::string folder;
  app.add_option("FOLDER", folder,
                 "Folder to convert (asked for on the terminal when absent)");
  bool yes = false;
  bool no = false;
  auto* yes_flag =
      app.add_flag("-y,--yes", yes, "Answer Yes to every failure prompt");
  app.add_flag("-n,--no", no, "Answer No to every failure prompt")
      ->excludes(yes_flag);
  app.add_flag("--beep", options->beep, "Beep once for every symbol written");
  app.add_flag("--drawings", options->dxf.drawings,
               "Also convert each DXF file's drawing (its ENTITIES section) "
               "into a symbol named after the file");
  app.add_flag("--polylines", options->dxf.polylines,
               "Convert LWPOLYLINE and 2-D POLYLINE entities into lines and "
               "arcs");
  AddDxfConversionFlags(app, &options->dxf);
  AddTextFontOption(app, &options->font);
  app.add_flag("--verbose", options->verbose,
               "Name the entities passed over in every block and drawing, "
               "instead of one total at the end");
  app.add_flag("-r,--recursive", options->recursive,
               "Also convert the subfolders, depth first in byte order of "
               "their names, each with its DXF files and then its .SYM "
               "files. Symbolic links to folders are not followed");
  app.add_option("-o,--output", options->output,
                 "Write the .SML files into DIR (made when missing; its "
                 "parent must exist) instead of beside their sources, which "
                 "are only read; with --recursive, into the same subfolders "
                 "under DIR")
      ->option_text("DIR");
  app.add_option("--report", options->report,
                 "Write a JSON record of the run to FILE when it ends (also "
                 "when it stops); - writes it to standard output and the "
                 "summary to standard error. See doc/run_report.md")
      ->option_text("FILE");
  app.footer(
      "Exit status: 0 when nothing failed, 1 when a file failed or the run "
      "stopped, 2 for a usage error.");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }
  if (!folder.empty()) options->folder = folder;
  options->answer =
      yes ? AnswerMode::kYes : (no ? AnswerMode::kNo : AnswerMode::kAsk);
  return std::nullopt;
}

std::string ResolveFolder(std::string* path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const auto status = fs::status(*path, ec);
  if (ec) return ec.message();
  if (!fs::is_directory(status)) return "Not a directory";
  return AbsolutePath(path);
}

std::string AbsolutePath(std::string* path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path absolute = fs::absolute(*path, ec);
  if (ec) return ec.message();
  std::string resolved = absolute.lexically_normal().string();
  // "/lib/" names the folder "/lib"; a root ("/", "C:\\") keeps its own.
  auto separator = [](char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
  };
  while (resolved.size() > 1 && separator(resolved.back()) &&
         resolved[resolved.size() - 2] != ':') {
    resolved.pop_back();
  }
  *path = resolved;
  return std::string();
}

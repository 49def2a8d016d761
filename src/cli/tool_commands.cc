// symconv inspect, render and sheet: looking at symbols without converting
// anything. Files are read and written through the platform, as the
// conversion reads and writes them: only regular files are read, and an
// output replaces an earlier one only once it is complete.

#include "cli/tool_commands.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/cli_options.h"
#include "platform/exceptions.h"
#include "platform/posix/posix_platform.h"
#include "platform/replacing_file.h"
#include "preview/sheet_writer.h"
#include "preview/svg_writer.h"
#include "preview/symbol_loader.h"
#include "preview/symbol_report.h"
#include "sml/sml_reader.h"

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
  static CPosixPlatform platform;
  return platform;
}

std::string reasonOf(const CFileException& e) {
  return e.m_strReason.empty() ? e.what() : e.m_strReason;
}

// The whole file, or false with the reason. A FIFO or a device is refused
// without waiting on it.
bool readWholeFile(const fs::path& path, std::string* bytes,
                   std::string* error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    *error = "is a folder, not a file";
    return false;
  }
  try {
    *bytes = filePlatform().ReadFile(path.string());
  } catch (const CFileException& e) {
    *error = reasonOf(e);
    return false;
  }
  return true;
}

// The symbol of an .SML file, or false with the reason and, for bytes that
// do not decode, the offset of the fault.
bool readSmlSymbol(const fs::path& path, CSymbol* symbol, std::string* error,
                   std::optional<std::size_t>* offset) {
  std::string bytes;
  if (!readWholeFile(path, &bytes, error)) return false;
  try {
    ReadSmlFile(bytes, symbol);
  } catch (const CSmlFormatException& e) {
    *error = e.what();
    *offset = e.m_nOffset;
    return false;
  }
  return true;
}

bool writeWholeFile(const fs::path& path, const std::string& bytes) {
  try {
    CReplacingFile out(filePlatform(), path.string());
    if (out.Write(bytes.data(), bytes.size()) != bytes.size()) {
      throw CFileException(CFileException::diskFull, -1, path.string(),
                           std::string());
    }
    out.Close();
  } catch (const CFileException& e) {
    complain(path.string(), "cannot be written: " + reasonOf(e));
    return false;
  }
  return true;
}

// A symbol name made safe as a file name: no folder separators, no
// characters that Windows forbids, never empty, "." or "..".
std::string fileNameFor(const std::string& name) {
  std::string safe;
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    const bool bad =
        b < 0x20 || b == 0x7F ||
        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    safe += bad ? '_' : c;
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "_" + safe;
  return safe;
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

  int status = 0;
  bool first = true;
  for (const std::string& file : files) {
    std::string error;
    std::optional<std::size_t> offset;
    CSymbol symbol;
    if (!readSmlSymbol(file, &symbol, &error, &offset)) {
      status = 1;
      complain(file, error);
      if (json) std::cout << FormatErrorJson(file, error, offset) << "\n";
      continue;
    }
    if (json) {
      std::cout << FormatSymbolJson(file, symbol) << "\n";
    } else {
      std::cout << (first ? "" : "\n") << FormatSymbolText(file, symbol);
      first = false;
    }
  }
  return status;
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
  app.add_option("--size", pixels, "Larger side of a picture in pixels")
      ->capture_default_str()
      ->check(CLI::Range(16, 10000));
  app.footer(
      "NAME is the file's name less its extension, or the block's name "
      "with characters that no file name may hold turned into _.\n"
      "Exit status: 0 when every picture was written, 1 when a file or "
      "block gave none, 2 for a usage error.");
  if (auto status = parse(app, argc, argv)) return *status;

  std::error_code ec;
  const bool to_folder =
      !output.empty() && (fs::is_directory(output, ec) ||
                          output.back() == '/' || output.back() == '\\');
  if (!output.empty() && !to_folder && files.size() > 1) {
    complain(output, "with several input files, -o must name a folder");
    return kUsageError;
  }

  if (to_folder) fs::create_directories(output, ec);
  CSvgOptions options;
  options.pixels = pixels;
  std::set<std::string> used;
  int status = 0;
  for (const std::string& file : files) {
    std::string bytes;
    std::string error;
    if (!readWholeFile(file, &bytes, &error)) {
      complain(file, error);
      status = 1;
      continue;
    }
    const fs::path source(file);
    const bool is_dxf =
        SourceKindOf(source.filename().string()) == SourceKind::kDxf;
    // OUT less ".svg" for -o OUT.svg; the source less its extension else.
    fs::path base = output.empty() || to_folder ? source : fs::path(output);
    base.replace_extension();
    for (CLoadedSymbol& loaded :
         LoadSymbols(source.filename().string(), bytes, dxf)) {
      const std::string what =
          is_dxf && !loaded.drawing ? file + ": block " + loaded.name : file;
      if (!loaded.symbol) {
        complain(what, loaded.error);
        status = 1;
        continue;
      }
      std::string name =
          to_folder ? fileNameFor(loaded.name) : base.filename().string();
      // A block is named after its file too, the file's drawing is not.
      if (is_dxf && !to_folder && !loaded.drawing) {
        name += "-" + fileNameFor(loaded.name);
      }
      // Two symbols whose names differ only in replaced characters.
      const std::string wanted = name;
      for (int n = 2; !used.insert(name).second; ++n) {
        name = wanted + "~" + std::to_string(n);
      }
      const fs::path target =
          (to_folder ? fs::path(output) : base.parent_path()) / (name + ".svg");
      if (!writeWholeFile(target, RenderSymbolSvg(*loaded.symbol, options))) {
        status = 1;
        continue;
      }
      std::cout << target.string() << "\n";
    }
  }
  return status;
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

  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (SourceKindOf(name) == SourceKind::kSml) files.push_back(it->path());
  }
  if (ec) {
    complain(folder, ec.message());
    return kUsageError;
  }
  std::sort(files.begin(), files.end(),
            [](const fs::path& a, const fs::path& b) {
              return a.filename().string() < b.filename().string();
            });

  CSheetWriter sheet(folder, pixels);
  for (const fs::path& path : files) {
    const std::string name = path.filename().string();
    std::string error;
    std::optional<std::size_t> offset;
    CSymbol symbol;
    if (readSmlSymbol(path, &symbol, &error, &offset)) {
      sheet.AddSymbol(name, symbol);
    } else {
      complain(path.string(), error);
      sheet.AddError(name, error);
    }
  }
  if (!writeWholeFile(output, sheet.Finish())) return 1;
  std::cout << output << ": " << sheet.symbol_count() << " symbols, "
            << sheet.error_count() << " errors\n";
  return sheet.error_count() == 0 ? 0 : 1;
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

// symconv render: one SVG picture per symbol of .SML, .SYM and DXF files.

#include <cstddef>
#include <set>

#include "app/symbol_tools.h"
#include "preview/svg_writer.h"
#include "preview/symbol_loader.h"

namespace {

// A path split into its folder (with its trailing separator, or empty) and
// its bare name.
struct CPathParts {
  std::string folder;
  std::string name;
};

CPathParts splitPath(const std::string& path, char separator) {
  const std::size_t slash = path.find_last_of(std::string("/") + separator);
  if (slash == std::string::npos) return {std::string(), path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The name less its last extension; a leading dot starts no extension.
std::string withoutExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

class CRenderRun {
 public:
  CRenderRun(CPlatform& platform, const CRenderRequest& request,
             const CToolOutput& io)
      : m_platform(platform), m_request(request), m_io(io) {
    m_options.pixels = request.pixels;
  }

  // Every picture of one input file; false when one could not be had.
  bool RenderFile(const std::string& file) {
    std::string bytes;
    std::string error;
    if (!ReadToolInput(m_platform, file, &bytes, &error)) {
      m_io.Complain(file, error);
      return false;
    }
    const char separator = m_platform.PathSeparator();
    const CPathParts source = splitPath(file, separator);
    const bool is_dxf = SourceKindOf(source.name) == SourceKind::kDxf;
    // OUT less ".svg" for -o OUT.svg; the source less its extension else.
    const CPathParts base =
        m_request.output.empty() || m_request.output_is_folder
            ? source
            : splitPath(m_request.output, separator);
    bool ok = true;
    for (CLoadedSymbol& loaded :
         LoadSymbols(source.name, bytes, m_request.dxf)) {
      if (!loaded.symbol) {
        const bool block = is_dxf && !loaded.drawing;
        m_io.Complain(block ? file + ": block " + loaded.name : file,
                      loaded.error);
        ok = false;
        continue;
      }
      const std::string target =
          targetFor(loaded, base, withoutExtension(base.name), is_dxf);
      if (!WriteToolOutput(m_platform, target,
                           RenderSymbolSvg(*loaded.symbol, m_options), m_io)) {
        ok = false;
        continue;
      }
      m_io.out << target << "\n";
    }
    return ok;
  }

 private:
  // Where a symbol's picture goes: FOLDER/NAME.svg for -o FOLDER, else
  // beside the base, with the block's name after the file's for a block.
  std::string targetFor(const CLoadedSymbol& loaded, const CPathParts& base,
                        const std::string& stem, bool is_dxf) {
    std::string name;
    std::string folder = base.folder;
    if (m_request.output_is_folder) {
      name = FileNameForSymbol(loaded.name);
      folder = m_request.output;
      const char last = folder.empty() ? '\0' : folder.back();
      if (last != '/' && last != m_platform.PathSeparator()) {
        folder += m_platform.PathSeparator();
      }
    } else {
      name = stem;
      if (is_dxf && !loaded.drawing)
        name += "-" + FileNameForSymbol(loaded.name);
    }
    // Two symbols whose names differ only in replaced characters.
    const std::string wanted = name;
    for (int n = 2; !m_used.insert(name).second; ++n) {
      name = wanted + "~" + std::to_string(n);
    }
    return folder + name + ".svg";
  }

  CPlatform& m_platform;
  const CRenderRequest& m_request;
  const CToolOutput& m_io;
  CSvgOptions m_options;
  std::set<std::string> m_used;  // picture names given so far
};

}  // namespace

int RenderSymbolFiles(CPlatform& platform, const CRenderRequest& request,
                      const CToolOutput& io) {
  CRenderRun run(platform, request, io);
  int status = 0;
  for (const std::string& file : request.files) {
    if (!run.RenderFile(file)) status = 1;
  }
  return status;
}

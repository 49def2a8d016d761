#ifndef SYMCONV_APP_SYMBOL_TOOLS_H_
#define SYMCONV_APP_SYMBOL_TOOLS_H_

#include <string>
#include <vector>

#include "app/tool_files.h"
#include "dxf/block_extractor.h"
#include "platform/platform.h"

// The tools that look at symbols without converting anything. Each reads
// and writes through the platform and returns the exit status: 0 when all
// went well, 1 when a file or symbol failed (the others are still done).

/// Prints what .SML files hold, as text or as one JSON object per line.
int InspectSymbolFiles(CPlatform& platform,
                       const std::vector<std::string>& files, bool json,
                       const CToolOutput& io);

struct CRenderRequest {
  std::vector<std::string> files;  // .SML, .SYM or DXF files
  /// Empty: each picture beside its input. Otherwise OUT.svg, or a folder
  /// when output_is_folder (it must exist).
  std::string output;
  bool output_is_folder = false;
  int pixels = 600;
  CDxfOptions dxf;  // as for the conversion; dxf.font is set for --text
};

/// Writes one SVG picture per symbol and prints each picture's path.
int RenderSymbolFiles(CPlatform& platform, const CRenderRequest& request,
                      const CToolOutput& io);

struct CSheetRequest {
  std::string folder;              // the label of the page
  std::vector<std::string> files;  // its .SML files, in any order
  std::string output;
  int pixels = 160;
};

/// Writes one HTML page with a thumbnail (or an error tile) per file,
/// sorted by file name.
int WriteSymbolSheet(CPlatform& platform, const CSheetRequest& request,
                     const CToolOutput& io);

#endif  // SYMCONV_APP_SYMBOL_TOOLS_H_

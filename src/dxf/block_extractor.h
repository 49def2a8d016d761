#ifndef SYMCONV_DXF_BLOCK_EXTRACTOR_H_
#define SYMCONV_DXF_BLOCK_EXTRACTOR_H_

#include <string>
#include <string_view>

/// Receives what the extraction finds in a DXF text, in file order.
class CDxfBlockHandler {
 public:
  virtual ~CDxfBlockHandler() = default;

  /// One block to convert: its name exactly as in the file and the SYM text
  /// built from its LINE, ARC and CIRCLE entities (the header line alone
  /// when it has none). Special blocks (model and paper space, names that
  /// begin with '*') are not reported.
  virtual void OnBlock(const std::string& name,
                       const std::string& sym_text) = 0;

  /// A line equal to the trace marker "IT'S ME" was read at the checkpoint
  /// named tag. Reading goes on afterwards.
  virtual void OnTrace(const char* tag) = 0;
};

/// Reads a whole DXF text group by group and reports every block of its
/// BLOCKS section to handler. Returns false when the text has no BLOCKS
/// section (nothing reported), true once the section has been read to its
/// end. Throws CPrematureEndException when the text runs out while a group
/// is wanted; blocks reported before that stay reported. Exceptions thrown
/// by the handler pass through.
bool ConvertDxfText(std::string_view text, CDxfBlockHandler& handler);

/// False for a block name that would not name a file in the chosen folder:
/// one that holds '/' or '\\', and the names "." and "..".
bool IsSafeBlockName(std::string_view name);

#endif  // SYMCONV_DXF_BLOCK_EXTRACTOR_H_

#ifndef SYMCONV_DXF_BLOCK_NAME_H_
#define SYMCONV_DXF_BLOCK_NAME_H_

#include <string>
#include <string_view>

// A DXF block becomes the file named after it: the block name with ".SML"
// appended, in the chosen folder. These say why a name cannot be that.

/// Why the name would not name a file in the chosen folder on any system:
/// it holds '/', '\\' or a NUL byte, or it is "." or "..". Empty when it
/// would.
std::string UnsafeBlockNameReason(std::string_view name);

/// Why Windows cannot hold the file: the name is a device name (CON, PRN,
/// AUX, NUL, COM1-COM9, LPT1-LPT9, in any case, before any extension), or
/// it holds a control byte or one of : * ? " < > |. Empty when it can.
std::string WindowsBlockNameReason(std::string_view name);

/// Why the block is not written where the run writes: the unsafe reason,
/// and on Windows the Windows one. Empty when it is written.
std::string RefusedBlockNameReason(std::string_view name, bool on_windows);

/// True when a and b name the same block: CAD programs match block names
/// without regard to ASCII case.
bool SameBlockName(std::string_view a, std::string_view b);

#endif  // SYMCONV_DXF_BLOCK_NAME_H_

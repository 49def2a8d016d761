#ifndef SYMCONV_APP_MESSAGE_TEXT_H_
#define SYMCONV_APP_MESSAGE_TEXT_H_

#include <string>
#include <string_view>

class CFileException;

/// A name as a message shows it: control bytes (a NUL cut the prompt short)
/// and backslash-free escapes as "\xNN"; every other byte as it is.
std::string EscapeForMessage(const std::string& name);

/// Why a text cannot be converted when it is of a kind the readers do not
/// take: "UTF-16 text is not supported"; null when the text may be read.
/// (Binary DXF is read: see binary_dxf.h.)
const char* UnsupportedText(std::string_view text);

/// The system's reason for a file failure, or our own account of it,
/// without the file's name.
std::string ReasonOf(const CFileException& e);

#endif  // SYMCONV_APP_MESSAGE_TEXT_H_

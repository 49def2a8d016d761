#ifndef SYMCONV_APP_TEXT_FONT_H_
#define SYMCONV_APP_TEXT_FONT_H_

#include <string>

#include "dxf/hershey_font.h"
#include "platform/platform.h"

/// Where Debian's hershey-fonts-data installs Simplex Roman, the font that
/// texts are drawn in unless another is chosen.
constexpr const char* kDefaultTextFont = "/usr/share/hershey-fonts/futural.jhf";

/// Reads the Hershey font at path (kDefaultTextFont when empty) into *font.
/// Returns an empty string, or a message for the user that names the file
/// and says why it cannot be used.
std::string LoadTextFont(CPlatform& platform, const std::string& path,
                         CHersheyFont* font);

#endif  // SYMCONV_APP_TEXT_FONT_H_

#include "app/text_font.h"

#include <string>

#include "dxf/hershey_font.h"
#include "platform/exceptions.h"
#include "platform/platform.h"

std::string LoadTextFont(CPlatform& platform, const std::string& path,
                         CHersheyFont* font) {
  const std::string file = path.empty() ? kDefaultTextFont : path;
  std::string bytes;
  try {
    bytes = std::string(platform.ReadFile(file).view());
  } catch (const CFileException& e) {
    std::string message =
        "cannot read the text font \"" + file + "\": " + e.what();
    if (path.empty()) {
      message +=
          " (install hershey-fonts-data or choose a .jhf font with "
          "--font)";
    }
    return message;
  }
  std::string error;
  if (!font->Parse(bytes, &error)) {
    return "\"" + file + "\" is not a Hershey font: " + error;
  }
  return std::string();
}

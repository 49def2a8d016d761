#include "dxf/block_name.h"

#include <array>
#include <string>
#include <string_view>

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// Windows takes the part of a name before its first dot, without trailing
// spaces, for a device: "con.x.SML" and "COM1 .SML" open a device too.
bool isDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN",
                                                               "AUX", "NUL"};
  for (std::string_view device : kDevices) {
    if (equalsIgnoringCase(base, device)) return true;
  }
  return base.size() == 4 &&
         (equalsIgnoringCase(base.substr(0, 3), "COM") ||
          equalsIgnoringCase(base.substr(0, 3), "LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

// ':' would write to an alternate data stream, the others are wildcards,
// quotes and redirections. Asked of every byte of every block name.
bool isReservedOnWindows(char c) {
  switch (c) {
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return true;
    default:
      return false;
  }
}

}  // namespace

bool SameBlockName(std::string_view a, std::string_view b) {
  return equalsIgnoringCase(a, b);
}

std::string UnsafeBlockNameReason(std::string_view name) {
  if (name == "." || name == "..") return "it names a folder";
  if (name.find_first_of("/\\") != std::string_view::npos) {
    return "it holds a path separator";
  }
  // A NUL byte would end the file name where the system reads it, so the
  // output would be written under another name.
  if (name.find('\0') != std::string_view::npos) return "it holds a NUL byte";
  return std::string();
}

std::string WindowsBlockNameReason(std::string_view name) {
  if (isDeviceName(name)) {
    return "Windows reserves it for a device";
  }
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) {
      return "Windows allows no control character in a file name";
    }
    if (isReservedOnWindows(c)) {
      return std::string("Windows allows no '") + c + "' in a file name";
    }
  }
  return std::string();
}

std::string RefusedBlockNameReason(std::string_view name, bool on_windows) {
  std::string reason = UnsafeBlockNameReason(name);
  if (reason.empty() && on_windows) reason = WindowsBlockNameReason(name);
  return reason;
}

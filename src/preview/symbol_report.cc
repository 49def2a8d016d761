#include "preview/symbol_report.h"

#include <cmath>

#include "preview/markup.h"
#include "preview/symbol_geometry.h"

namespace {

std::string degrees(double radians) {
  return FormatRounded(RadiansToDegrees(radians));
}

std::string point(const CPrecisionPoint& p) {
  return "(" + FormatNumber(p.x) + ", " + FormatNumber(p.y) + ", " +
         FormatNumber(p.z) + ")";
}

// Printable ASCII as is, other bytes as \xNN, so that no name can upset
// a terminal.
std::string printable(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\') {
      text += c;
    } else {
      text += "\\x";
      text += kDigits[b >> 4];
      text += kDigits[b & 0xF];
    }
  }
  return text;
}

std::string jsonNumber(double value) {
  return std::isfinite(value) ? FormatNumber(value) : "null";
}

std::string jsonPoint(const CPrecisionPoint& p) {
  return "[" + jsonNumber(p.x) + "," + jsonNumber(p.y) + "," + jsonNumber(p.z) +
         "]";
}

// The reader guarantees two points per arc and one per circle.
const CPrecisionPoint& centreOf(const CPrecisionPointArray& points) {
  return *points[0];
}

}  // namespace

std::string FormatSymbolText(std::string_view file_name, const CSymbol& s) {
  std::string out = printable(file_name) + "\n";
  out += "  symbol   \"" + printable(s.name) + "\"\n";
  out += "  shapes   " + std::to_string(s.lines.GetSize()) + " lines, " +
         std::to_string(s.arcs.GetSize()) + " arcs, " +
         std::to_string(s.circles.GetSize()) + " circles\n";
  for (std::size_t i = 0; i < s.lines.GetSize(); ++i) {
    const CLine& l = *s.lines[i];
    out += "  line " + std::to_string(i + 1) + "   " + point(l.start) + " to " +
           point(l.end);
    if (l.attribute != 1) out += "  attribute " + std::to_string(l.attribute);
    out += "\n";
  }
  for (std::size_t i = 0; i < s.arcs.GetSize(); ++i) {
    const CPrecisionPoint& c = centreOf(s.arcs[i]->points);
    const CPrecisionPoint& a = *s.arcs[i]->points[1];
    out += "  arc " + std::to_string(i + 1) + "    centre " + point(c) +
           " radius " + FormatNumber(a.z) + ", from " + degrees(a.x) +
           " deg down to " + degrees(a.y) + " deg, sweep " +
           degrees(ArcSweep(a.x, a.y)) + " deg (radians " + FormatNumber(a.x) +
           " to " + FormatNumber(a.y) + ")\n";
  }
  for (std::size_t i = 0; i < s.circles.GetSize(); ++i) {
    out += "  circle " + std::to_string(i + 1) + " centre " +
           point(centreOf(s.circles[i]->points)) + " radius " +
           FormatNumber(s.circles[i]->radius) + "\n";
  }
  out += "  extents  x " + FormatNumber(s.minX) + " to " +
         FormatNumber(s.maxX) + ", y " + FormatNumber(s.minY) + " to " +
         FormatNumber(s.maxY);
  if (!HasExtents(s)) out += " (none: no shapes)";
  out += "\n  size     width " + FormatNumber(s.maxX - s.minX) + ", height " +
         FormatNumber(s.maxY - s.minY) + "\n";
  out += "  origin   " + point(s.origin) + " from the corner (minX, maxY)\n";
  return out;
}

std::string FormatSymbolJson(std::string_view file_name, const CSymbol& s) {
  std::string out = "{\"file\":";
  AppendJsonString(&out, file_name);
  out += ",\"name\":";
  AppendJsonString(&out, s.name);
  out += ",\"counts\":{\"lines\":" + std::to_string(s.lines.GetSize()) +
         ",\"arcs\":" + std::to_string(s.arcs.GetSize()) +
         ",\"circles\":" + std::to_string(s.circles.GetSize()) + "}";
  out += ",\"lines\":[";
  for (std::size_t i = 0; i < s.lines.GetSize(); ++i) {
    const CLine& l = *s.lines[i];
    if (i > 0) out += ',';
    out += "{\"start\":" + jsonPoint(l.start) + ",\"end\":" + jsonPoint(l.end) +
           ",\"attribute\":" + std::to_string(l.attribute) + "}";
  }
  out += "],\"arcs\":[";
  for (std::size_t i = 0; i < s.arcs.GetSize(); ++i) {
    const CPrecisionPoint& a = *s.arcs[i]->points[1];
    if (i > 0) out += ',';
    out +=
        "{\"centre\":" + jsonPoint(centreOf(s.arcs[i]->points)) +
        ",\"radius\":" + jsonNumber(a.z) + ",\"start\":" + jsonNumber(a.x) +
        ",\"end\":" + jsonNumber(a.y) +
        ",\"start_deg\":" + jsonNumber(RadiansToDegrees(a.x)) +
        ",\"end_deg\":" + jsonNumber(RadiansToDegrees(a.y)) +
        ",\"sweep_deg\":" + jsonNumber(RadiansToDegrees(ArcSweep(a.x, a.y))) +
        "}";
  }
  out += "],\"circles\":[";
  for (std::size_t i = 0; i < s.circles.GetSize(); ++i) {
    if (i > 0) out += ',';
    out += "{\"centre\":" + jsonPoint(centreOf(s.circles[i]->points)) +
           ",\"radius\":" + jsonNumber(s.circles[i]->radius) + "}";
  }
  out += "],\"extents\":{\"min_x\":" + jsonNumber(s.minX) +
         ",\"min_y\":" + jsonNumber(s.minY) +
         ",\"max_x\":" + jsonNumber(s.maxX) +
         ",\"max_y\":" + jsonNumber(s.maxY) + "}";
  out += ",\"width\":" + jsonNumber(s.maxX - s.minX) +
         ",\"height\":" + jsonNumber(s.maxY - s.minY) +
         ",\"origin\":" + jsonPoint(s.origin) + "}";
  return out;
}

std::string FormatErrorJson(std::string_view file_name,
                            std::string_view message,
                            std::optional<std::size_t> offset) {
  std::string out = "{\"file\":";
  AppendJsonString(&out, file_name);
  out += ",\"error\":";
  AppendJsonString(&out, message);
  if (offset) out += ",\"offset\":" + std::to_string(*offset);
  return out + "}";
}

#include "preview/symbol_report.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "preview/markup.h"
#include "preview/symbol_geometry.h"

namespace {

std::string degrees(double radians) {
  return FormatRounded(RadiansToDegrees(radians));
}

std::string point(const CPrecisionPoint& p) {
  // Appended in turn: GCC 12 misreads "(" + string as an overlapping copy.
  std::string text = "(";
  text += FormatNumber(p.x);
  text += ", ";
  text += FormatNumber(p.y);
  text += ", ";
  text += FormatNumber(p.z);
  text += ')';
  return text;
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

// nlohmann/json writes the shortest text that reads back as the same
// double, and null for NaN and the infinities.
nlohmann::ordered_json jsonPoint(const CPrecisionPoint& p) {
  return nlohmann::ordered_json::array({p.x, p.y, p.z});
}

// One line of JSON; names are UTF-8 by then (see TextAsUtf8).
std::string dumpLine(const nlohmann::ordered_json& value) {
  return value.dump();
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
  using json = nlohmann::ordered_json;
  json lines = json::array();
  for (std::size_t i = 0; i < s.lines.GetSize(); ++i) {
    const CLine& l = *s.lines[i];
    lines.push_back({{"start", jsonPoint(l.start)},
                     {"end", jsonPoint(l.end)},
                     {"attribute", l.attribute}});
  }
  json arcs = json::array();
  for (std::size_t i = 0; i < s.arcs.GetSize(); ++i) {
    const CPrecisionPoint& a = *s.arcs[i]->points[1];
    arcs.push_back({{"centre", jsonPoint(centreOf(s.arcs[i]->points))},
                    {"radius", a.z},
                    {"start", a.x},
                    {"end", a.y},
                    {"start_deg", RadiansToDegrees(a.x)},
                    {"end_deg", RadiansToDegrees(a.y)},
                    {"sweep_deg", RadiansToDegrees(ArcSweep(a.x, a.y))}});
  }
  json circles = json::array();
  for (std::size_t i = 0; i < s.circles.GetSize(); ++i) {
    circles.push_back({{"centre", jsonPoint(centreOf(s.circles[i]->points))},
                       {"radius", s.circles[i]->radius}});
  }
  json out = json::object();
  out["file"] = TextAsUtf8(file_name);
  out["name"] = TextAsUtf8(s.name);
  out["counts"] = {{"lines", s.lines.GetSize()},
                   {"arcs", s.arcs.GetSize()},
                   {"circles", s.circles.GetSize()}};
  out["lines"] = std::move(lines);
  out["arcs"] = std::move(arcs);
  out["circles"] = std::move(circles);
  out["extents"] = {{"min_x", s.minX},
                    {"min_y", s.minY},
                    {"max_x", s.maxX},
                    {"max_y", s.maxY}};
  out["width"] = s.maxX - s.minX;
  out["height"] = s.maxY - s.minY;
  out["origin"] = jsonPoint(s.origin);
  return dumpLine(out);
}

std::string FormatErrorJson(std::string_view file_name,
                            std::string_view message,
                            std::optional<std::size_t> offset) {
  nlohmann::ordered_json out = {{"file", TextAsUtf8(file_name)},
                                {"error", TextAsUtf8(message)}};
  if (offset) out["offset"] = *offset;
  return dumpLine(out);
}

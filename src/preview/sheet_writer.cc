#include "preview/sheet_writer.h"

#include "preview/markup.h"
#include "preview/svg_writer.h"

namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// The stem of a file name: all before its last point.
std::string_view stem(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  return dot == std::string_view::npos ? file_name : file_name.substr(0, dot);
}

}  // namespace

CSheetWriter::CSheetWriter(std::string_view title, int thumbnail_pixels)
    : m_strTitle(title), m_nThumbnail(thumbnail_pixels) {}

void CSheetWriter::AddSymbol(std::string_view file_name,
                             const CSymbol& symbol) {
  ++m_nSymbols;
  std::string& out = m_strTiles;
  out += "<figure class=\"tile\">\n";
  CSvgOptions options;
  options.standalone = false;
  options.pixels = m_nThumbnail;
  out += RenderSymbolSvg(symbol, options);
  out += "<figcaption><div class=\"name\">";
  AppendXmlText(&out, file_name);
  out += "</div>\n";
  if (symbol.name != stem(file_name)) {
    out += "<div class=\"symbol\">symbol &#8220;";
    AppendXmlText(&out, symbol.name);
    out += "&#8221;</div>\n";
  }
  out += "<div class=\"counts\">" +
         plural(symbol.lines.GetSize(), "line", "lines") + " &#183; " +
         plural(symbol.arcs.GetSize(), "arc", "arcs") + " &#183; " +
         plural(symbol.circles.GetSize(), "circle", "circles") + "</div>\n";
  out += "<div class=\"size\">" + FormatRounded(symbol.maxX - symbol.minX) +
         " &#215; " + FormatRounded(symbol.maxY - symbol.minY) + "</div>\n";
  out += "</figcaption>\n</figure>\n";
}

void CSheetWriter::AddError(std::string_view file_name,
                            std::string_view reason) {
  ++m_nErrors;
  std::string& out = m_strTiles;
  out += "<figure class=\"tile error\">\n<div class=\"mark\" style=\"width:" +
         std::to_string(m_nThumbnail) +
         "px;height:" + std::to_string(m_nThumbnail) + "px\">&#10007;</div>\n";
  out += "<figcaption><div class=\"name\">";
  AppendXmlText(&out, file_name);
  out += "</div>\n<div class=\"why\">";
  AppendXmlText(&out, reason);
  out += "</div>\n</figcaption>\n</figure>\n";
}

std::string CSheetWriter::Finish() const {
  std::string out =
      "<!DOCTYPE html>\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
      "<head>\n<meta charset=\"utf-8\"/>\n<title>Symbols: ";
  AppendXmlText(&out, m_strTitle);
  out +=
      "</title>\n<style>\n"
      "body{font:13px sans-serif;margin:16px;background:#f3f3f3;"
      "color:#222}\n"
      "h1{font-size:18px;margin:0 0 4px}\n"
      ".grid{display:flex;flex-wrap:wrap;gap:10px}\n"
      ".tile{margin:0;width:" +
      std::to_string(m_nThumbnail + 24) +
      "px;background:#fff;border:1px solid #ccc;border-radius:4px;"
      "padding:6px;box-sizing:border-box;text-align:center}\n"
      ".tile svg{display:block;margin:0 auto}\n"
      "figcaption{margin-top:4px;overflow-wrap:anywhere}\n"
      ".name{font-weight:bold}\n"
      ".counts,.size,.symbol{color:#555}\n"
      ".error{border-color:#c62828;background:#fff1f1}\n"
      ".mark{margin:0 auto;display:flex;align-items:center;"
      "justify-content:center;font-size:48px;color:#c62828}\n"
      ".why{color:#8e0000;font-size:12px}\n"
      "</style>\n</head>\n<body>\n<h1>";
  AppendXmlText(&out, m_strTitle);
  out += "</h1>\n<p class=\"summary\">" +
         plural(static_cast<std::size_t>(m_nSymbols), "symbol", "symbols");
  if (m_nErrors > 0) {
    out += ", " + plural(static_cast<std::size_t>(m_nErrors), "file", "files") +
           " that could not be read";
  }
  out += "</p>\n<div class=\"grid\">\n";
  out += m_strTiles;
  out += "</div>\n</body>\n</html>\n";
  return out;
}

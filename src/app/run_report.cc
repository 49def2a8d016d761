#include "app/run_report.h"

#include <cstdio>
#include <map>
#include <utility>

#include <nlohmann/json.hpp>

#include "preview/markup.h"

namespace {

using json = nlohmann::ordered_json;

// Names and paths are bytes in the system's code page; JSON holds UTF-8.
json text(const std::string& bytes) { return TextAsUtf8(bytes); }

// A folder as the user names it: without its closing separator.
json folderText(const std::string& folder) {
  if (folder.size() <= 1) return text(folder);
  return text(folder.substr(0, folder.size() - 1));
}

json counts(const CPassedOver& passed_over) {
  json out = json::object();
  for (const auto& [kind, count] : passed_over) out[TextAsUtf8(kind)] = count;
  return out;
}

const char* outcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kCancelled:
      return "cancelled";
    case RunOutcome::kCompleted:
      return "completed";
    case RunOutcome::kStopped:
      return "stopped";
    case RunOutcome::kNoFolder:
      return "no_folder";
    case RunOutcome::kFailed:
      return "failed";
  }
  return "failed";
}

json answerValue(FailureAnswer answer) {
  switch (answer) {
    case FailureAnswer::kYes:
      return "yes";
    case FailureAnswer::kNo:
      return "no";
    case FailureAnswer::kNotAsked:
      break;
  }
  return nullptr;
}

}  // namespace

std::string IsoUtcTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto seconds = floor<std::chrono::seconds>(time);
  const auto day = floor<days>(seconds);
  const year_month_day date{day};
  const hh_mm_ss clock{seconds - day};
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()),
                static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return buffer;
}

CRunReport::CRunReport(std::string version, std::string answer,
                       CConvertOptions options)
    : m_strVersion(std::move(version)),
      m_strAnswer(std::move(answer)),
      m_options(std::move(options)),
      m_started(std::chrono::system_clock::now()) {}

void CRunReport::OnFolder(const std::string& source,
                          const std::string& output) {
  m_folders.emplace_back(source, output);
}

void CRunReport::OnSource(const std::string& path, SourceKind kind) {
  m_files.push_back({path, kind, {}, {}, {}});
  m_current = m_files.size() - 1;
  m_block.reset();
  m_bSymbolOfBlock = false;
}

void CRunReport::OnSourceDone() {
  m_current.reset();
  m_block.reset();
}

void CRunReport::OnBlock(const std::string& name, bool drawing) {
  m_block = CBlock{name, drawing};
  m_bSymbolOfBlock = false;
}

void CRunReport::OnSymbolWritten(const std::string& name,
                                 const std::string& output, int lines, int arcs,
                                 int circles) {
  if (!m_current) return;
  m_files[*m_current].symbols.push_back(
      {name, m_block, output, lines, arcs, circles, {}});
  m_bSymbolOfBlock = m_block.has_value();
}

void CRunReport::OnPassedOver(const std::string& block, bool drawing,
                              const CPassedOver& counts) {
  if (!m_current) return;
  CFileEntry& file = m_files[*m_current];
  // The block's own symbol, when it was written, holds its count.
  if (m_bSymbolOfBlock && !file.symbols.empty()) {
    AddPassedOver(file.symbols.back().passed_over, counts);
    return;
  }
  file.passed_over.push_back({CBlock{block, drawing}, counts});
}

void CRunReport::OnFailureReason(const std::string& path,
                                 const std::string& reason) {
  m_strFailurePath = path;
  m_strFailureReason = reason;
}

void CRunReport::OnFailure(const std::string& source, FailureAnswer answer) {
  CFailureEntry failure{
      source, m_strFailurePath.empty() ? source : m_strFailurePath,
      m_unpublished ? m_unpublishedBlock : m_block, m_strFailureReason, answer};
  const std::optional<std::size_t> owner =
      m_unpublished ? m_unpublished : m_current;
  if (owner) {
    m_files[*owner].failures.push_back(std::move(failure));
  } else {
    m_folderFailures.push_back(std::move(failure));
  }
  m_unpublished.reset();
  m_strFailurePath.clear();
  m_strFailureReason.clear();
}

void CRunReport::OnUnpublished(const std::string& output) {
  for (std::size_t f = m_files.size(); f-- > 0;) {
    std::vector<CSymbolEntry>& symbols = m_files[f].symbols;
    for (std::size_t s = symbols.size(); s-- > 0;) {
      if (symbols[s].output != output) continue;
      m_unpublished = f;
      m_unpublishedBlock = symbols[s].block;
      symbols.erase(symbols.begin() + static_cast<std::ptrdiff_t>(s));
      return;
    }
  }
}

namespace {

void putBlock(json& out, const std::optional<CRunReport::CBlock>& block) {
  if (!block) return;
  out["block"] = block->drawing ? json(nullptr) : text(block->name);
  out["drawing"] = block->drawing;
}

json failureJson(const CRunReport::CFailureEntry& failure) {
  json out = {{"source", text(failure.source)}, {"path", text(failure.path)}};
  putBlock(out, failure.block);
  out["reason"] = text(failure.reason);
  out["answer"] = answerValue(failure.answer);
  return out;
}

}  // namespace

std::string CRunReport::Document(const CConvertApp& app) const {
  json out;
  out["program"] = "symconv";
  out["version"] = m_strVersion;
  const CDxfOptions& dxf = m_options.dxf;
  out["options"] = {
      {"output",
       m_options.output.empty() ? json(nullptr) : text(m_options.output)},
      {"recursive", m_options.recursive},
      {"answer", m_strAnswer},
      {"drawings", dxf.drawings},
      {"polylines", dxf.polylines},
      {"inserts", dxf.inserts},
      {"curves", dxf.curves},
      {"text", dxf.text},
      {"outlines", dxf.outlines},
      {"tolerance", dxf.tolerance > 0 ? json(dxf.tolerance) : json(nullptr)},
      {"verbose", m_options.verbose}};
  json folders = json::array();
  for (const auto& [source, output] : m_folders) {
    folders.push_back(
        {{"source", folderText(source)}, {"output", folderText(output)}});
  }
  out["folder"] = m_folders.empty() ? json(nullptr) : folders[0]["source"];
  out["folders"] = std::move(folders);
  out["started"] = IsoUtcTime(m_started);
  out["ended"] = IsoUtcTime(std::chrono::system_clock::now());
  out["outcome"] = outcomeName(app.outcome());
  out["stopped"] = app.outcome() == RunOutcome::kStopped;

  std::map<std::string, int> written;
  json files = json::array();
  for (const CFileEntry& file : m_files) {
    json symbols = json::array();
    for (const CSymbolEntry& symbol : file.symbols) {
      json entry = {{"name", text(symbol.name)}};
      putBlock(entry, symbol.block);
      entry["output"] = text(symbol.output);
      entry["lines"] = symbol.lines;
      entry["arcs"] = symbol.arcs;
      entry["circles"] = symbol.circles;
      entry["passed_over"] = counts(symbol.passed_over);
      entry["replaced_earlier"] = written[symbol.output]++ > 0;
      symbols.push_back(std::move(entry));
    }
    json passed_over = json::array();
    for (const CPassedOverEntry& entry : file.passed_over) {
      json item = json::object();
      putBlock(item, entry.block);
      item["counts"] = counts(entry.counts);
      passed_over.push_back(std::move(item));
    }
    json failures = json::array();
    for (const CFailureEntry& failure : file.failures) {
      failures.push_back(failureJson(failure));
    }
    files.push_back({{"path", text(file.path)},
                     {"kind", file.kind == SourceKind::kDxf ? "dxf" : "sym"},
                     {"symbols", std::move(symbols)},
                     {"passed_over", std::move(passed_over)},
                     {"failures", std::move(failures)}});
  }
  out["files"] = std::move(files);
  json failures = json::array();
  for (const CFailureEntry& failure : m_folderFailures) {
    failures.push_back(failureJson(failure));
  }
  out["failures"] = std::move(failures);
  json replaced = json::array();
  for (const auto& [output, times] : written) {
    if (times > 1)
      replaced.push_back({{"output", text(output)}, {"times", times}});
  }
  out["replaced"] = std::move(replaced);
  out["totals"] = {{"dxf_files", app.m_nDxfFiles},
                   {"dxf_symbols", app.m_nDxfSymbols},
                   {"sym_files", app.m_nSymFiles},
                   {"sml_files", app.m_nDxfSymbols + app.m_nSymFiles}};
  return out.dump(2) + "\n";
}

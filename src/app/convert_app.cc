#include "app/convert_app.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/convert_ahead.h"
#include "app/leftover_sweep.h"
#include "app/message_text.h"
#include "app/output_path.h"
#include "app/prepared_symbol.h"
#include "dxf/block_extractor.h"
#include "dxf/block_name.h"
#include "dxf/passed_over.h"
#include "platform/exceptions.h"
#include "platform/platform.h"
#include "platform/publish_queue.h"
#include "platform/replacing_file.h"
#include "sml/sml_file.h"
#include "symbol/premature_end.h"
#include "symbol/sym_symbol.h"

using namespace std::string_view_literals;

namespace {

const char kPrematureEnd[] = "Premature end of file!";

std::string FormatSummary(int dxf_files, int dxf_symbols, int sym_files) {
  char buf[512];
  std::snprintf(buf, sizeof buf,
                "%d Drawing Exchange Format (*.dxf) files converted\n"
                "\t(%d Symbols)\n\n"
                "%d KRO DOS Symbol (*.sym) files converted\n\n"
                "%d KRO Win Symbol (*.sml) files Generated",
                dxf_files, dxf_symbols, sym_files, dxf_symbols + sym_files);
  return buf;
}

// The part of path after its last '/' or '\\'.
std::string BaseName(const std::string& path) {
  const std::size_t last = path.find_last_of("/\\");
  return last == std::string::npos ? path : path.substr(last + 1);
}

// Hands every block of a DXF file (and its drawing) to the conversion,
// under the name that the output is formed from.
class CBlockConverter : public CDxfBlockHandler {
 public:
  CBlockConverter(CConvertApp& app, CPlatform& platform,
                  const std::string& path)
      : m_app(app),
        m_platform(platform),
        m_strPath(path),
        m_strFileShown(EscapeForMessage(BaseName(path))) {}

  void OnBlock(const std::string& name, const std::string& sym_text) override {
    Block(name, sym_text, nullptr);
  }

  // The shapes stand for the text, which is never made.
  void OnBlockShapes(const std::string& name, CSymTextWriter& block) override {
    Block(name, std::string(), &block.symbol());
  }

  void Block(const std::string& name, const std::string& sym_text,
             CFlatSymbol* shapes) {
    // Formed in storage kept from block to block: a file may hold
    // thousands, and their paths are too long to be held in place.
    std::string& source_name = m_strSource;
    source_name.assign(m_app.m_strFolder).append(name).append(".SYM"sv);
    m_app.observer().OnBlock(name, false);
    m_app.m_strContext.assign(" (block "sv)
        .append(EscapeForMessage(name))
        .append(" of "sv)
        .append(m_strFileShown)
        .append(")"sv);
    // A name holding a separator, or "." or "..", would write outside the
    // chosen folder; on Windows a device name would open the device.
    const std::string reason = RefusedBlockNameReason(name, onWindows());
    const std::string windows_reason = WindowsBlockNameReason(name);
    if (!reason.empty()) {
      m_platform.ShowMessage("Block \"" + EscapeForMessage(name) +
                                 "\" cannot be written: " + reason,
                             MessageButtons::kOk);
      m_app.ConfirmContinue(source_name, m_app.Why(source_name, reason));
      return;
    }
    if (!m_app.ConvertSymToSml(sym_text, source_name, shapes)) return;
    ++m_app.m_nDxfSymbols;
    if (!windows_reason.empty()) m_app.m_windowsOnly.push_back(name + ".SML");
  }

  // The drawing is named after its file, whose name the folder search
  // found, so it needs no check: PARTS.DXF gives PARTS.SYM, and so
  // PARTS.SML.
  void OnDrawing(const std::string& sym_text) override {
    Drawing(sym_text, nullptr);
  }

  void OnDrawingShapes(CSymTextWriter& drawing) override {
    Drawing(std::string(), &drawing.symbol());
  }

  void Drawing(const std::string& sym_text, CFlatSymbol* shapes) {
    m_app.observer().OnBlock(std::string(), true);
    m_app.m_strContext = " (drawing of " + m_strFileShown + ")";
    if (m_app.ConvertSymToSml(sym_text, WithoutExtension(m_strPath) + ".SYM",
                              shapes)) {
      ++m_app.m_nDxfSymbols;
    }
  }

  // A block that cannot become a symbol fails as its output file would:
  // the reason, then the failure prompt naming it.
  void OnFailed(const std::string& name, bool drawing,
                const std::string& reason) override {
    const std::string source_name = drawing
                                        ? WithoutExtension(m_strPath) + ".SYM"
                                        : m_app.m_strFolder + name + ".SYM";
    m_platform.ShowMessage("Cannot convert \"" + source_name + "\": " + reason,
                           MessageButtons::kOk);
    m_app.observer().OnBlock(name, drawing);
    m_app.observer().OnFailureReason(source_name, reason);
    m_app.ConfirmContinue(source_name);
  }

  void OnPassedOver(const std::string& name, bool drawing,
                    const CPassedOver& counts) override {
    m_app.NotePassedOver(m_strPath, name, drawing, counts);
  }

  void OnProgress(std::size_t bytes_done, std::size_t bytes_total) override {
    m_platform.ReportProgressWithin(bytes_done, bytes_total,
                                    m_app.m_nDxfSymbols);
  }

  void OnTrace(const char* tag) override {
    m_platform.ShowMessage(tag, MessageButtons::kOk);
  }

 private:
  // The platform's separator tells which system's file names apply.
  bool onWindows() const { return m_platform.PathSeparator() == '\\'; }

  std::string m_strSource;

  CConvertApp& m_app;
  CPlatform& m_platform;
  const std::string& m_strPath;
  // The file's name as messages show it: the same for all its blocks.
  const std::string m_strFileShown;
};

}  // namespace

CConvertApp::CConvertApp(CPlatform& platform) : m_platform(platform) {}

CConvertApp::~CConvertApp() = default;

bool CConvertApp::RunBatch() {
  m_outcome = RunOutcome::kCancelled;
  m_bAnyFailure = false;
  std::string path;
  if (!m_platform.ChooseFolder(&path)) return false;

  m_strFolder = path + m_platform.PathSeparator();
  m_strRootFolder = m_strFolder;
  m_strOutputRoot = m_options.output.empty()
                        ? m_strFolder
                        : m_options.output + m_platform.PathSeparator();
  m_strOutFolder = m_strOutputRoot;
  CSourceNames sources;
  // Without the folder as the current one, the searches would look in some
  // other folder while the paths name this one; without its listing it
  // would look empty. Converting nothing is the only safe answer.
  if (!PrepareOutputRoot() || !EnterFolder() || !ListSources(path, &sources)) {
    m_outcome = RunOutcome::kNoFolder;
    return false;
  }
  StartRun(path);

  std::string current;
  try {
    ConvertBothPasses(sources, &current);
    if (m_options.recursive) ConvertSubfolders(&current);
    PublishPending(true);
    m_platform.ShowSummary(
        m_strStatus + FormatSummary(m_nDxfFiles, m_nDxfSymbols, m_nSymFiles));
    ReportWindowsOnlyNames();
    ReportPassedOverTotal();
    ReportReplaced();
    m_outcome = RunOutcome::kCompleted;
  } catch (const CRunStopped&) {
    m_outcome = RunOutcome::kStopped;
  } catch (const std::bad_alloc&) {
    ReportUnexpected(current, "out of memory");
  } catch (const std::exception& e) {
    ReportUnexpected(current, e.what());
  }
  // Whatever ended the run, the complete outputs are kept.
  try {
    PublishPending(false);
  } catch (...) {
  }
  m_pQueue.reset();
  return false;
}

bool CConvertApp::ListSources(const std::string& path, CSourceNames* sources) {
  // The DXF pass writes only .SML files, so searching for both patterns up
  // front finds what the second search would find, and gives the progress
  // display its total.
  try {
    sources->dxf = m_platform.FindFiles("*.DXF");
    sources->sym = m_platform.FindFiles("*.SYM");
    return true;
  } catch (const CFileException& e) {
    m_bAnyFailure = true;
    m_platform.ShowMessage(
        "Cannot list the folder \"" + path + "\": " + ReasonOf(e),
        MessageButtons::kOk);
    return false;
  }
}

void CConvertApp::StartRun(const std::string& path) {
  m_strStatus = "Converting folder: \"" + path + "\"\n\n";
  m_nDxfFiles = 0;
  m_nDxfSymbols = 0;
  m_nSymFiles = 0;
  m_passedOver.clear();
  m_windowsOnly.clear();
  m_nPending = 0;
  m_written.clear();
  m_strContext.clear();
  m_pQueue = std::make_unique<CPublishQueue>(m_platform, m_strOutFolder);
  SweepOutputFolder();
  m_pObserver->OnFolder(m_strFolder, m_strOutFolder);
}

void CConvertApp::ConvertBothPasses(const CSourceNames& sources,
                                    std::string* current) {
  const int total = static_cast<int>(sources.dxf.size() + sources.sym.size());
  int done = 0;
  std::unique_ptr<CConvertAhead> ahead;
  if (m_options.convert_ahead) {
    std::vector<std::string> dxf, sym;
    for (const std::string& name : sources.dxf) {
      dxf.push_back(m_strFolder + name);
    }
    for (const std::string& name : sources.sym) {
      sym.push_back(m_strFolder + name);
    }
    ahead = std::make_unique<CConvertAhead>(
        m_platform, std::move(dxf), sym, m_options.dxf,
        CAheadPlan{m_strFolder, m_strOutFolder, m_options.ahead_budget,
                   m_options.write_ahead_backlog});
  }
  // However the passes end, the worker is stopped (ahead's destructor) and
  // nothing points at it afterwards.
  m_pAhead = ahead.get();
  struct CClear {
    CConvertAhead*& slot;
    ~CClear() { slot = nullptr; }
  } clear{m_pAhead};
  for (const std::string& name : sources.dxf) {
    *current = m_strFolder + name;
    m_platform.ReportProgress(done++, total, name);
    m_pObserver->OnSource(*current, SourceKind::kDxf);
    ConvertDxfFile(*current);
    m_pObserver->OnSourceDone();
  }
  for (const std::string& name : sources.sym) {
    *current = m_strFolder + name;
    m_platform.ReportProgress(done++, total, name);
    m_pObserver->OnSource(*current, SourceKind::kSym);
    ConvertSymFile(*current);
    m_pObserver->OnSourceDone();
  }
  m_platform.ReportProgress(done, total, std::string());
}

bool CConvertApp::EnterFolder() {
  try {
    m_platform.ChangeDirectory(m_strFolder);
    return true;
  } catch (const CFileException& e) {
    if (e.m_cause == CFileException::fileNotFound) {
      m_platform.ShowMessage("An internal error has occured",
                             MessageButtons::kOk);
    } else {
      m_platform.ShowMessage(
          "Unknown error whilst changing to the symbol directory\n\n" +
              m_platform.DescribeSystemError(e),
          MessageButtons::kOk);
    }
    return false;
  }
}

void CConvertApp::ReportUnexpected(const std::string& file,
                                   const std::string& what) {
  m_bAnyFailure = true;
  m_outcome = RunOutcome::kFailed;
  std::string text = "The conversion stopped: " + what;
  if (!file.empty()) text += "\n\nwhile converting \"" + file + "\"";
  m_platform.ShowMessage(text, MessageButtons::kOk);
}

void CConvertApp::ConvertDxfFile(std::string path) {
  m_pCounter = &m_nDxfSymbols;
  try {
    CBlockConverter converter(*this, m_platform, path);
    if (!ConvertDxfSource(path, converter)) return;
    ++m_nDxfFiles;
  } catch (const CFileException& e) {
    m_strContext.clear();
    ConfirmContinue(path, Why(e.m_strFileName, ReasonOf(e)));
  } catch (const CPrematureEndException&) {
    m_strContext.clear();
    m_platform.ShowMessage(kPrematureEnd, MessageButtons::kOk);
    ConfirmContinue(path, Why(path, kPrematureEnd));
  }
  m_strContext.clear();
}

bool CConvertApp::ConvertDxfSource(const std::string& path,
                                   CDxfBlockHandler& handler) {
  CFileContents text;
  // Without the BLOCKS section (or, with the drawings option, the
  // ENTITIES section) the file is not counted.
  if (const char* unsupported = OpenSource(path, &text)) {
    m_platform.ShowMessage(unsupported, MessageButtons::kOk);
    ConfirmContinue(path, Why(path, unsupported));
    return false;
  }
  if (m_pAhead) return m_pAhead->ReplayDxf(handler, &m_pPrepared);
  return ConvertDxfText(text, handler, m_options.dxf);
}

const char* CConvertApp::OpenSource(const std::string& path,
                                    CFileContents* text) {
  if (m_pAhead) return m_pAhead->Open(path);
  *text = m_platform.ReadFile(path);
  return UnsupportedText(*text);
}

void CConvertApp::ConvertSymFile(std::string path) {
  m_pCounter = &m_nSymFiles;
  m_strContext.clear();
  try {
    CFileContents text;
    if (const char* unsupported = OpenSource(path, &text)) {
      m_platform.ShowMessage(unsupported, MessageButtons::kOk);
      ConfirmContinue(path, Why(path, unsupported));
      return;
    }
    const bool written = m_pAhead
                             ? PublishPrepared(m_pAhead->TakeSymbol(), path)
                             : ConvertSymToSml(text, path);
    if (written) ++m_nSymFiles;
  } catch (const CFileException& e) {
    ConfirmContinue(path, Why(e.m_strFileName, ReasonOf(e)));
  } catch (const CPrematureEndException&) {
    m_platform.ShowMessage(kPrematureEnd, MessageButtons::kOk);
    ConfirmContinue(path, Why(path, kPrematureEnd));
  }
}

bool CConvertApp::ConvertSymToSml(std::string_view text,
                                  const std::string& source_name,
                                  CFlatSymbol* shapes) {
  if (m_pPrepared) return PublishPrepared(*m_pPrepared, source_name);
  if (shapes != nullptr) {
    // Shapes come from records: none means the header line alone.
    return !shapes->empty() && WriteSymbol(shapes, source_name);
  }
  CSymbol symbol;
  if (!ReadSymText(text, &symbol)) return false;  // a header alone
  if (symbol.lines.GetSize() == 0 && symbol.arcs.GetSize() == 0 &&
      symbol.circles.GetSize() == 0) {
    NoteNothingToDraw(source_name);
    return false;
  }
  return WriteSymbol(&symbol, source_name);
}

template <class Symbol>
bool CConvertApp::WriteSymbol(Symbol* symbol, const std::string& source_name) {
  MeasureAndShift(symbol);
  return WriteOutput(
      source_name, CountShapes(*symbol), [&](const std::string& output_path) {
        WriteSmlFileAt(m_platform, output_path, *symbol, m_pQueue.get());
      });
}

bool CConvertApp::PublishPrepared(CPreparedSymbol& prepared,
                                  const std::string& source_name) {
  if (prepared.error) std::rethrow_exception(prepared.error);
  switch (prepared.kind) {
    case CPreparedSymbol::Kind::kHeaderOnly:
      return false;
    case CPreparedSymbol::Kind::kNothingToDraw:
      NoteNothingToDraw(source_name);
      return false;
    case CPreparedSymbol::Kind::kEncoded:
      break;
  }
  if (SmlSymbolNameOf(source_name, m_platform.PathSeparator()) !=
      prepared.symbol_name) {
    throw std::logic_error("a symbol prepared under another name");
  }
  return WriteOutput(
      source_name, prepared.counts, [&](const std::string& output_path) {
        // Written ahead, or failed there: published, or failing, here.
        if (prepared.write_error) std::rethrow_exception(prepared.write_error);
        if (!prepared.temporary) {
          WriteSmlBytes(m_platform, output_path, prepared.bytes,
                        prepared.writes, m_pQueue.get());
          return;
        }
        std::unique_ptr<CReplacingFile> file = std::move(prepared.temporary);
        if (file->target_path() != output_path) {
          throw std::logic_error("a symbol written ahead under another name");
        }
        file->CloseInto(m_pQueue.get());
      });
}

void CConvertApp::NoteNothingToDraw(const std::string& source_name) {
  // Nothing to draw: the file would hold no shape and extents of
  // +-999999999. Not written, not counted, like a header alone.
  const std::size_t last = source_name.rfind(m_platform.PathSeparator());
  m_platform.ReportNote(
      (last == std::string::npos ? source_name : source_name.substr(last + 1)) +
      ": no lines, arcs or circles");
}

template <typename Write>
bool CConvertApp::WriteOutput(const std::string& source_name,
                              const CShapeCounts& counts, const Write& write) {
  // Prompts name the source; the output is named after it in the output
  // folder. Nothing below forms another output before it is done with.
  FormOutputPath(source_name, m_strFolder, m_strOutFolder, &m_strOutputPath);
  const std::string& output_path = m_strOutputPath;
  bool written = true;
  try {
    const std::size_t before = m_pQueue ? m_pQueue->size() : 0;
    write(output_path);
    if (m_pQueue && m_pQueue->size() > before) {
      if (m_nPending == m_pending.size()) m_pending.emplace_back();
      CPendingOutput& pending = m_pending[m_nPending++];
      pending.source_name.assign(source_name);
      pending.counter = m_pCounter;
      pending.context.assign(m_strContext);
      pending.output_path.assign(output_path);
    }
  } catch (const CFileException& e) {
    ConfirmContinue(source_name, Why(e.m_strFileName, ReasonOf(e)));
    written = false;
  }
  if (written) {
    m_written.Add(output_path, 1);
    m_pObserver->OnSymbolWritten(
        SmlSymbolName(output_path, m_platform.PathSeparator()), output_path,
        counts.lines, counts.arcs, counts.circles);
  }
  m_platform.Beep();
  if (m_pQueue && m_pQueue->full()) PublishPending(true);
  return written;
}

void CConvertApp::ConfirmContinue(const std::string& file_name) {
  m_bAnyFailure = true;
  AskToContinue(file_name);
}

void CConvertApp::ConfirmContinue(const std::string& file_name,
                                  const std::string& why) {
  m_bAnyFailure = true;
  m_platform.ReportNote(why);
  AskToContinue(file_name);
}

std::string CConvertApp::Why(const std::string& path,
                             const std::string& reason) const {
  m_pObserver->OnFailureReason(path, reason);
  return EscapeForMessage(path) + ": " + reason + m_strContext;
}

void CConvertApp::AskToContinue(const std::string& file_name) {
  const std::string text = "Error Converting File:\n\n\"" +
                           EscapeForMessage(file_name) +
                           "\"\n\nContinue With Other Symbols?";
  const bool stop = m_platform.ShowMessage(text, MessageButtons::kYesNo) ==
                    MessageResult::kNo;
  m_pObserver->OnFailure(file_name,
                         stop ? FailureAnswer::kNo : FailureAnswer::kYes);
  if (stop) {
    // What was converted before the No is kept.
    PublishPending(false);
    const int written = m_nDxfSymbols + m_nSymFiles;
    m_platform.ReportNote(
        std::to_string(written) +
        (written == 1 ? " .SML file was" : " .SML files were") +
        " written before the run stopped");
    throw CRunStopped();
  }
}

void CConvertApp::PublishPending(bool prompt) {
  if (!m_pQueue) return;
  // Taken at once: a No at a prompt below publishes again (nothing), and
  // no output is added before this returns.
  const std::size_t count = std::exchange(m_nPending, 0);
  for (const CPublishQueue::CFailure& failure : m_pQueue->Publish()) {
    m_bAnyFailure = true;
    if (failure.index >= count) {
      throw std::logic_error("an output published that was not waiting");
    }
    const CPendingOutput& output = m_pending[failure.index];
    --*output.counter;
    m_written.Add(output.output_path, -1);
    m_pObserver->OnUnpublished(output.output_path);
    m_pObserver->OnFailureReason(failure.error.m_strFileName,
                                 ReasonOf(failure.error));
    if (!prompt) {
      m_pObserver->OnFailure(output.source_name, FailureAnswer::kNotAsked);
      continue;
    }
    m_platform.ReportNote(EscapeForMessage(failure.error.m_strFileName) + ": " +
                          ReasonOf(failure.error) + output.context);
    AskToContinue(output.source_name);
  }
}

void CConvertApp::NotePassedOver(const std::string& path,
                                 const std::string& block, bool drawing,
                                 const CPassedOver& counts) {
  m_pObserver->OnPassedOver(block, drawing, counts);
  if (!m_options.verbose) {
    AddPassedOver(m_passedOver, counts);
    return;
  }
  // The path within the chosen folder, which the summary names.
  const bool in_folder =
      path.compare(0, m_strRootFolder.size(), m_strRootFolder) == 0;
  std::string text = in_folder ? path.substr(m_strRootFolder.size()) : path;
  text += drawing ? ", drawing" : ", block \"" + block + "\"";
  text += ": passed over " + FormatPassedOver(counts);
  m_platform.ReportNote(text);
}

void CConvertApp::ReportPassedOverTotal() {
  if (m_passedOver.empty()) return;
  std::string text = "passed over: " + FormatPassedOver(m_passedOver);
  if (!m_options.dxf.polylines && HasConvertiblePolylines(m_passedOver)) {
    text += " (--polylines converts polylines)";
  }
  m_platform.ReportNote(text);
}

void CConvertApp::ReportReplaced() {
  // Names written more than once, most often first, then by name.
  std::vector<std::pair<int, std::string>> replaced;
  int total = 0;
  m_written.ForEach([&](std::string_view path, int count) {
    if (count < 2) return;
    total += count - 1;
    replaced.emplace_back(-count,
                          BaseName(WithoutExtension(std::string(path))));
  });
  if (total == 0) return;
  std::sort(replaced.begin(), replaced.end());
  std::string text = std::to_string(total) +
                     (total == 1 ? " output" : " outputs") +
                     " replaced one written earlier in this run (";
  const std::size_t shown = m_options.verbose ? replaced.size() : 3;
  for (std::size_t i = 0; i < replaced.size() && i < shown; ++i) {
    if (i > 0) text += ", ";
    text += EscapeForMessage(replaced[i].second) + " x" +
            std::to_string(-replaced[i].first);
  }
  if (replaced.size() > shown) text += ", ...";
  m_platform.ReportNote(text + ")");
}

void CConvertApp::ReportWindowsOnlyNames() {
  if (m_windowsOnly.empty()) return;
  std::string text =
      "warning: Windows cannot hold these files, so this library will not "
      "copy there:";
  for (const std::string& name : m_windowsOnly) {
    text += " \"" + EscapeForMessage(name) + "\"";
  }
  m_platform.ReportNote(text);
}

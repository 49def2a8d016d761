#include "app/convert_app.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "dxf/block_extractor.h"
#include "dxf/block_name.h"
#include "dxf/passed_over.h"
#include "platform/exceptions.h"
#include "platform/platform.h"
#include "sml/sml_file.h"
#include "symbol/sym_symbol.h"

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

// Hands every block of a DXF file (and its drawing) to the conversion,
// under the name that the output is formed from.
class CBlockConverter : public CDxfBlockHandler {
 public:
  CBlockConverter(CConvertApp& app, CPlatform& platform,
                  const std::string& path)
      : m_app(app), m_platform(platform), m_strPath(path) {}

  void OnBlock(const std::string& name, const std::string& sym_text) override {
    std::string source_name = m_app.m_strFolder + name + ".SYM";
    // A name holding a separator, or "." or "..", would write outside the
    // chosen folder; on Windows a device name would open the device.
    std::string reason = UnsafeBlockNameReason(name);
    const std::string windows_reason = WindowsBlockNameReason(name);
    if (reason.empty() && onWindows()) reason = windows_reason;
    if (!reason.empty()) {
      m_platform.ShowMessage(
          "Block \"" + name + "\" cannot be written: " + reason,
          MessageButtons::kOk);
      m_app.ConfirmContinue(source_name);
      return;
    }
    if (!m_app.ConvertSymToSml(sym_text, source_name)) return;
    ++m_app.m_nDxfSymbols;
    if (!windows_reason.empty()) m_app.m_windowsOnly.push_back(name + ".SML");
  }

  // The drawing is named after its file, whose name the folder search
  // found, so it needs no check: PARTS.DXF gives PARTS.SYM, and so
  // PARTS.SML.
  void OnDrawing(const std::string& sym_text) override {
    if (m_app.ConvertSymToSml(sym_text, WithoutExtension(m_strPath) + ".SYM")) {
      ++m_app.m_nDxfSymbols;
    }
  }

  void OnPassedOver(const std::string& name, bool drawing,
                    const CPassedOver& counts) override {
    m_app.NotePassedOver(m_strPath, name, drawing, counts);
  }

  void OnTrace(const char* tag) override {
    m_platform.ShowMessage(tag, MessageButtons::kOk);
  }

 private:
  // The platform's separator tells which system's file names apply.
  bool onWindows() const { return m_platform.PathSeparator() == '\\'; }

  CConvertApp& m_app;
  CPlatform& m_platform;
  const std::string& m_strPath;
};

}  // namespace

CConvertApp::CConvertApp(CPlatform& platform) : m_platform(platform) {}

bool CConvertApp::RunBatch() {
  m_outcome = RunOutcome::kCancelled;
  m_bAnyFailure = false;
  std::string path;
  if (!m_platform.ChooseFolder(&path)) return false;

  m_strFolder = path + m_platform.PathSeparator();
  if (int error = m_platform.ChangeDirectory(m_strFolder); error != 0) {
    if (error == 2) {
      m_platform.ShowMessage("An internal error has occured",
                             MessageButtons::kOk);
    } else {
      char buf[160];
      std::snprintf(buf, sizeof buf,
                    "Unknown error whilst changing to the symbol directory\n\n"
                    "(Windows returned code: %d)",
                    error);
      m_platform.ShowMessage(buf, MessageButtons::kOk);
    }
    // The searches would look in some other folder while the paths name
    // this one: converting nothing is the only safe answer.
    m_outcome = RunOutcome::kNoFolder;
    return false;
  }

  m_strStatus = "Converting folder: \"" + path + "\"\n\n";
  m_nDxfFiles = 0;
  m_nDxfSymbols = 0;
  m_nSymFiles = 0;
  m_passedOver.clear();
  m_windowsOnly.clear();

  std::string current;
  try {
    // The DXF pass writes only .SML files, so searching for both patterns
    // up front finds what the second search would find, and gives the
    // progress display its total.
    const std::vector<std::string> dxf_names = m_platform.FindFiles("*.DXF");
    const std::vector<std::string> sym_names = m_platform.FindFiles("*.SYM");
    const int total = static_cast<int>(dxf_names.size() + sym_names.size());
    int done = 0;
    for (const std::string& name : dxf_names) {
      current = m_strFolder + name;
      m_platform.ReportProgress(done++, total, name);
      ConvertDxfFile(current);
    }
    for (const std::string& name : sym_names) {
      current = m_strFolder + name;
      m_platform.ReportProgress(done++, total, name);
      ConvertSymFile(current);
    }
    m_platform.ReportProgress(done, total, std::string());
    m_platform.ShowSummary(
        m_strStatus + FormatSummary(m_nDxfFiles, m_nDxfSymbols, m_nSymFiles));
    ReportWindowsOnlyNames();
    ReportPassedOverTotal();
    m_outcome = RunOutcome::kCompleted;
  } catch (const CRunStopped&) {
    m_outcome = RunOutcome::kStopped;
  } catch (const std::bad_alloc&) {
    ReportUnexpected(current, "out of memory");
  } catch (const std::exception& e) {
    ReportUnexpected(current, e.what());
  }
  return false;
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
  try {
    const std::string text = m_platform.ReadFile(path);
    CBlockConverter converter(*this, m_platform, path);
    // Without the BLOCKS section (or, with the drawings option, the
    // ENTITIES section) the file is not counted.
    if (!ConvertDxfText(text, converter, m_options.dxf)) return;
    ++m_nDxfFiles;
  } catch (const CFileException&) {
    ConfirmContinue(path);
  } catch (const CPrematureEndException&) {
    m_platform.ShowMessage(kPrematureEnd, MessageButtons::kOk);
    ConfirmContinue(path);
  }
}

void CConvertApp::ConvertSymFile(std::string path) {
  try {
    const std::string text = m_platform.ReadFile(path);
    if (ConvertSymToSml(text, path)) ++m_nSymFiles;
  } catch (const CFileException&) {
    ConfirmContinue(path);
  } catch (const CPrematureEndException&) {
    m_platform.ShowMessage(kPrematureEnd, MessageButtons::kOk);
    ConfirmContinue(path);
  }
}

bool CConvertApp::ConvertSymToSml(const std::string& text,
                                  const std::string& source_name) {
  CSymbol symbol;
  if (!ReadSymText(text, &symbol)) return false;  // a header alone
  MeasureAndShift(&symbol);
  bool written = true;
  try {
    WriteSmlFile(m_platform, source_name, symbol.lines, symbol.arcs,
                 symbol.circles, symbol.minX, symbol.minY, symbol.maxX,
                 symbol.maxY, symbol.origin);
  } catch (const CFileException&) {
    ConfirmContinue(source_name);
    written = false;
  }
  m_platform.Beep();
  return written;
}

void CConvertApp::ConfirmContinue(const std::string& file_name) {
  m_bAnyFailure = true;
  const std::string text = "Error Converting File:\n\n\"" + file_name +
                           "\"\n\nContinue With Other Symbols?";
  if (m_platform.ShowMessage(text, MessageButtons::kYesNo) ==
      MessageResult::kNo) {
    throw CRunStopped();
  }
}

void CConvertApp::NotePassedOver(const std::string& path,
                                 const std::string& block, bool drawing,
                                 const CPassedOver& counts) {
  if (!m_options.verbose) {
    AddPassedOver(m_passedOver, counts);
    return;
  }
  // The file's name alone: the folder is named by the summary.
  const bool in_folder = path.compare(0, m_strFolder.size(), m_strFolder) == 0;
  std::string text = in_folder ? path.substr(m_strFolder.size()) : path;
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

void CConvertApp::ReportWindowsOnlyNames() {
  if (m_windowsOnly.empty()) return;
  std::string text =
      "warning: Windows cannot hold these files, so this library will not "
      "copy there:";
  for (const std::string& name : m_windowsOnly) text += " \"" + name + "\"";
  m_platform.ReportNote(text);
}

// The output folder and the walk down the folder tree: the parts of a run
// that --output and --recursive add to the conversion of one folder.

#include <string>
#include <vector>

#include "app/convert_app.h"
#include "app/leftover_sweep.h"
#include "app/message_text.h"
#include "platform/exceptions.h"
#include "platform/platform.h"
#include "platform/publish_queue.h"

bool CConvertApp::PrepareOutputRoot() {
  if (m_strOutFolder == m_strFolder) return true;
  try {
    m_platform.MakeFolder(m_strOutFolder);
    return true;
  } catch (const CFileException& e) {
    m_bAnyFailure = true;
    m_platform.ShowMessage("Cannot make the output folder \"" +
                               EscapeForMessage(m_options.output) +
                               "\": " + ReasonOf(e),
                           MessageButtons::kOk);
    return false;
  }
}

void CConvertApp::SweepOutputFolder() {
  // The sweep lists the current folder; the sources are listed already.
  try {
    m_platform.ChangeDirectory(m_strOutFolder);
    RemoveLeftoverTemporaries(m_platform, m_strOutFolder);
  } catch (const CFileException&) {
    // A leftover that cannot be removed now is tried again next time.
  }
}

void CConvertApp::ConvertSubfolders(std::string* current) {
  const std::string source = m_strFolder;
  const std::string output = m_strOutFolder;
  const std::string shown = source.substr(0, source.size() - 1);
  std::vector<std::string> names;
  try {
    m_platform.ChangeDirectory(source);
    names = m_platform.FindSubfolders();
  } catch (const CFileException& e) {
    ConfirmContinue(shown, Why(shown, ReasonOf(e)));
    return;
  }
  const char separator = m_platform.PathSeparator();
  for (const std::string& name : names) {
    const std::string subfolder = source + name + separator;
    // An output folder inside the tree holds no sources, and walking it
    // would make a folder inside it for ever.
    if (subfolder == m_strOutputRoot) continue;
    // The outputs of the folder before go before its queue does.
    PublishPending(true);
    CSourceNames sources;
    *current = subfolder;
    if (!EnterSubfolder(subfolder, output + name + separator, &sources)) {
      continue;
    }
    ConvertBothPasses(sources, current);
    ConvertSubfolders(current);
  }
}

bool CConvertApp::EnterSubfolder(const std::string& source,
                                 const std::string& output,
                                 CSourceNames* sources) {
  std::string failed = output.substr(0, output.size() - 1);
  try {
    if (output != source) m_platform.MakeFolder(output);
    failed = source.substr(0, source.size() - 1);
    m_platform.ChangeDirectory(source);
    sources->dxf = m_platform.FindFiles("*.DXF");
    sources->sym = m_platform.FindFiles("*.SYM");
  } catch (const CFileException& e) {
    m_strContext.clear();
    ConfirmContinue(failed, Why(failed, ReasonOf(e)));
    return false;
  }
  m_strFolder = source;
  m_strOutFolder = output;
  m_pQueue = std::make_unique<CPublishQueue>(m_platform, m_strOutFolder);
  SweepOutputFolder();
  m_pObserver->OnFolder(m_strFolder, m_strOutFolder);
  return true;
}

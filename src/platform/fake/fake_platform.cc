#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

// System codes the fake reports (errno values; 32 is Windows' sharing
// violation, which POSIX has no counterpart for).
constexpr long kMissing = 2;
constexpr long kDenied = 13;
constexpr long kExists = 17;
constexpr long kIsFolder = 21;
constexpr long kSharing = 32;

// Held by every file operation, so that a second thread may write (see
// SetConcurrentWrites); recursive, since a file's own calls count through
// the platform. One for all fakes keeps a fake a plain value.
std::recursive_mutex g_filesMutex;
using CFilesLock = std::lock_guard<std::recursive_mutex>;

}  // namespace

/// A file opened by CreateNewFile: every Write lands in the tree at once.
class CFakePlatform::CFakeFile : public CWritableFile {
 public:
  CFakeFile(CFakePlatform& platform, std::string path)
      : m_platform(platform), m_strPath(std::move(path)) {
    ++m_platform.m_openForWriting[m_strPath];
  }
  ~CFakeFile() override {
    CFilesLock lock(g_filesMutex);
    release();
  }

  std::size_t Write(const void* data, std::size_t n) override {
    CFilesLock lock(g_filesMutex);
    m_platform.countOperation(FakeFileOp::kWrite, m_strPath);
    if (!m_bOpen) {
      throw CFileException(CFileException::genericException, -1, m_strPath,
                           "write after close");
    }
    if (m_platform.m_shortWrite) n = std::min(n, *m_platform.m_shortWrite);
    m_platform.writeTo(m_strPath, data, n);
    return n;
  }

  void Sync() override {
    CFilesLock lock(g_filesMutex);
    m_platform.countOperation(FakeFileOp::kSync, m_strPath);
  }

  void Close() override {
    CFilesLock lock(g_filesMutex);
    if (!m_bOpen) return;
    try {
      m_platform.countOperation(FakeFileOp::kClose, m_strPath);
    } catch (...) {
      release();  // a failed close still gives up the handle
      throw;
    }
    release();
  }

 private:
  void release() {
    if (!m_bOpen) return;
    m_bOpen = false;
    auto it = m_platform.m_openForWriting.find(m_strPath);
    if (it != m_platform.m_openForWriting.end() && --it->second == 0) {
      m_platform.m_openForWriting.erase(it);
    }
  }

  CFakePlatform& m_platform;
  std::string m_strPath;
  bool m_bOpen = true;
};

CFakePlatform::CFakePlatform(char separator)
    : m_cSeparator(separator), m_strCurrent(rootPath()) {
  m_folders.insert(m_strCurrent);
}

CFakePlatform::~CFakePlatform() = default;

// --- Paths ------------------------------------------------------------------

std::string CFakePlatform::rootPath() const {
  return m_cSeparator == '/' ? std::string("/") : std::string("C:\\");
}

std::string CFakePlatform::Normalise(const std::string& path) const {
  const char sep = m_cSeparator;
  const bool has_drive = sep == '\\' && path.size() >= 2 && path[1] == ':';
  std::string full;
  if (has_drive) {
    full = path;
    if (full.size() == 2 || full[2] != sep) full.insert(2, 1, sep);
  } else if (!path.empty() && path[0] == sep) {
    full = sep == '/' ? path : rootPath().substr(0, 2) + path;
  } else {
    full = m_strCurrent + sep + path;
  }
  std::string out;
  out.reserve(full.size());
  for (char c : full) {
    if (c == sep && !out.empty() && out.back() == sep) continue;
    out.push_back(c);
  }
  // Drop a trailing separator unless it ends the root ("/" or "C:\").
  const std::size_t root_len = sep == '/' ? 1 : 3;
  if (out.size() > root_len && out.back() == sep) out.pop_back();
  return out;
}

std::string CFakePlatform::parentOf(const std::string& normalised) const {
  const std::size_t root_len = m_cSeparator == '/' ? 1 : 3;
  if (normalised.size() <= root_len) return std::string();  // the root
  std::size_t pos = normalised.rfind(m_cSeparator);
  if (pos == std::string::npos) return std::string();
  if (pos + 1 <= root_len) return normalised.substr(0, root_len);
  return normalised.substr(0, pos);
}

void CFakePlatform::addParents(const std::string& normalised) {
  for (std::string p = parentOf(normalised); !p.empty(); p = parentOf(p)) {
    if (!m_folders.insert(p).second) break;
  }
}

bool CFakePlatform::isHeld(const std::string& normalised) const {
  return m_heldElsewhere.count(normalised) != 0 ||
         m_openForWriting.count(normalised) != 0;
}

void CFakePlatform::writeTo(const std::string& normalised, const void* data,
                            std::size_t n) {
  auto it = m_files.find(normalised);
  if (it == m_files.end()) {
    throw CFileException(CFileException::hardIO, kMissing, normalised,
                         "file vanished while open");
  }
  it->second.append(static_cast<const char*>(data), n);
}

// --- The file tree ----------------------------------------------------------

void CFakePlatform::PutFile(const std::string& path, const std::string& bytes) {
  const std::string p = Normalise(path);
  m_files[p] = bytes;
  addParents(p);
}

void CFakePlatform::PutFolder(const std::string& path) {
  const std::string p = Normalise(path);
  m_folders.insert(p);
  addParents(p);
}

std::optional<std::string> CFakePlatform::FileBytes(
    const std::string& path) const {
  auto it = m_files.find(Normalise(path));
  if (it == m_files.end()) return std::nullopt;
  return it->second;
}

bool CFakePlatform::HasFile(const std::string& path) const {
  return m_files.count(Normalise(path)) != 0;
}

bool CFakePlatform::HasFolder(const std::string& path) const {
  return m_folders.count(Normalise(path)) != 0;
}

std::vector<std::string> CFakePlatform::FilePaths() const {
  CFilesLock lock(g_filesMutex);
  std::vector<std::string> paths;
  paths.reserve(m_files.size());
  for (const auto& [path, bytes] : m_files) paths.push_back(path);
  return paths;  // std::map keeps them in byte-wise order
}

bool CFakePlatform::Erase(const std::string& path) {
  const std::string p = Normalise(path);
  if (m_files.erase(p) != 0) return true;
  if (m_folders.count(p) == 0 || p == rootPath()) return false;
  for (const auto& [file, bytes] : m_files) {
    if (parentOf(file) == p) return false;
  }
  for (const auto& folder : m_folders) {
    if (parentOf(folder) == p) return false;
  }
  m_folders.erase(p);
  return true;
}

void CFakePlatform::SetReadOnlyFolder(const std::string& path, bool read_only) {
  if (read_only) {
    m_readOnlyFolders.insert(Normalise(path));
  } else {
    m_readOnlyFolders.erase(Normalise(path));
  }
}

void CFakePlatform::HoldOpenElsewhere(const std::string& path, bool held) {
  if (held) {
    m_heldElsewhere.insert(Normalise(path));
  } else {
    m_heldElsewhere.erase(Normalise(path));
  }
}

void CFakePlatform::SetChangeDirectoryError(const std::string& path, int cause,
                                            long os_error) {
  m_changeDirErrors[Normalise(path)] = {cause, os_error};
}

// --- The scripted user --------------------------------------------------

void CFakePlatform::ScriptFolder(const std::string& path) {
  m_chosenFolder = path;
}

void CFakePlatform::ScriptCancel() { m_chosenFolder.reset(); }

void CFakePlatform::QueueAnswer(MessageResult answer) {
  m_answers.push_back(answer);
}

void CFakePlatform::QueueAnswers(std::initializer_list<MessageResult> answers) {
  m_answers.insert(m_answers.end(), answers.begin(), answers.end());
}

bool CFakePlatform::ChooseFolder(std::string* path) {
  ++m_nChooseFolderCalls;
  if (!m_chosenFolder) return false;
  *path = *m_chosenFolder;
  return true;
}

MessageResult CFakePlatform::ShowMessage(const std::string& text,
                                         MessageButtons buttons) {
  MessageResult answer = MessageResult::kOk;
  if (buttons == MessageButtons::kYesNo) {
    if (m_answers.empty()) {
      m_bAnswersRanOut = true;
      answer = MessageResult::kNo;
    } else {
      answer = m_answers.front();
      m_answers.pop_front();
    }
  }
  m_messages.push_back({text, buttons, CFakeMessage::kMessage, answer});
  return answer;
}

void CFakePlatform::ShowSummary(const std::string& text) {
  m_messages.push_back(
      {text, MessageButtons::kOk, CFakeMessage::kSummary, MessageResult::kOk});
}

void CFakePlatform::Beep() { ++m_nBeeps; }

void CFakePlatform::ReportProgress(int done, int total,
                                   const std::string& name) {
  m_progress.push_back({done, total, name});
}

void CFakePlatform::ReportNote(const std::string& text) {
  m_notes.push_back(text);
}

// --- Fault injection ----------------------------------------------------

int CFakePlatform::OperationCount(FakeFileOp kind) const {
  auto it = m_opCounts.find(kind);
  return it == m_opCounts.end() ? 0 : it->second;
}

int CFakePlatform::OperationCount() const { return m_nTotalOps; }

void CFakePlatform::FailOperation(FakeFileOp kind, int nth, int cause,
                                  long os_error, bool and_later) {
  m_faults.push_back({kind, nth, and_later, cause, os_error});
}

void CFakePlatform::FailOperationOverall(int nth, int cause, long os_error) {
  m_faults.push_back({std::nullopt, nth, false, cause, os_error});
}

void CFakePlatform::ClearFailures() { m_faults.clear(); }

void CFakePlatform::SetShortWrite(std::optional<std::size_t> max_bytes) {
  m_shortWrite = max_bytes;
}

void CFakePlatform::SetAfterFindHook(
    std::function<void(const std::vector<std::string>&)> hook) {
  m_afterFind = std::move(hook);
}

void CFakePlatform::VanishAfterFind(const std::string& path) {
  m_vanishAfterFind.insert(Normalise(path));
}

void CFakePlatform::countOperation(FakeFileOp kind, const std::string& path) {
  const int of_kind = ++m_opCounts[kind];
  const int overall = ++m_nTotalOps;
  for (const CFault& f : m_faults) {
    const int n = f.kind ? (*f.kind == kind ? of_kind : 0) : overall;
    if (n == f.nth || (f.and_later && n > f.nth)) {
      throw CFileException(f.cause, f.os_error, path);
    }
  }
}

// --- CPlatform: folders -------------------------------------------------

void CFakePlatform::ChangeDirectory(const std::string& path) {
  const std::string p = Normalise(path);
  auto err = m_changeDirErrors.find(p);
  if (err != m_changeDirErrors.end()) {
    throw CFileException(err->second.first, err->second.second, p);
  }
  if (m_folders.count(p) == 0) {
    throw CFileException(CFileException::fileNotFound, kMissing, p);
  }
  m_strCurrent = p;
}

void CFakePlatform::SetUnlistableFolder(const std::string& path) {
  m_unlistableFolders.insert(Normalise(path));
}

std::vector<std::string> CFakePlatform::FindFiles(const std::string& pattern) {
  if (m_unlistableFolders.count(m_strCurrent) != 0) {
    throw CFileException(CFileException::accessDenied, kDenied, ".",
                         "Permission denied");
  }
  std::vector<std::string> names;
  std::vector<std::string> full_paths;
  auto take = [&](const std::string& entry) {
    if (entry == m_strCurrent || parentOf(entry) != m_strCurrent) return;
    std::size_t cut = entry.rfind(m_cSeparator);
    std::string name = entry.substr(cut + 1);
    if (MatchesPattern(name, pattern)) {
      names.push_back(std::move(name));
      full_paths.push_back(entry);
    }
  };
  for (const auto& [path, bytes] : m_files) take(path);
  for (const auto& folder : m_folders) take(folder);
  std::sort(names.begin(), names.end());

  for (const std::string& p : full_paths) {
    if (m_vanishAfterFind.erase(p) != 0) m_files.erase(p);
  }
  if (m_afterFind) m_afterFind(names);
  return names;
}

std::vector<std::string> CFakePlatform::FindSubfolders() {
  if (m_unlistableFolders.count(m_strCurrent) != 0) {
    throw CFileException(CFileException::accessDenied, kDenied, ".",
                         "Permission denied");
  }
  std::vector<std::string> names;
  for (const std::string& folder : m_folders) {
    if (folder == m_strCurrent || parentOf(folder) != m_strCurrent) continue;
    names.push_back(folder.substr(folder.rfind(m_cSeparator) + 1));
  }
  std::sort(names.begin(), names.end());
  return names;
}

void CFakePlatform::checkParentWritable(const std::string& normalised) const {
  const std::string parent = parentOf(normalised);
  if (m_folders.count(parent) == 0) {
    throw CFileException(CFileException::fileNotFound, kMissing, normalised,
                         "no such folder");
  }
  if (m_readOnlyFolders.count(parent) != 0) {
    throw CFileException(CFileException::accessDenied, kDenied, normalised);
  }
}

void CFakePlatform::MakeFolder(const std::string& path) {
  const std::string p = Normalise(path);
  countOperation(FakeFileOp::kCreate, p);
  if (m_folders.count(p) != 0) return;
  if (m_files.count(p) != 0) {
    throw CFileException(CFileException::alreadyExists, kExists, p,
                         "already exists");
  }
  checkParentWritable(p);
  m_folders.insert(p);
}

// --- CPlatform: files ---------------------------------------------------

CFileContents CFakePlatform::ReadFile(const std::string& path) {
  CFilesLock lock(g_filesMutex);
  const std::string p = Normalise(path);
  countOperation(FakeFileOp::kRead, p);
  if (isHeld(p)) {
    throw CFileException(CFileException::sharingViolation, kSharing, p);
  }
  if (m_folders.count(p) != 0) {
    throw CFileException(CFileException::accessDenied, kIsFolder, p,
                         "is a folder");
  }
  auto it = m_files.find(p);
  if (it == m_files.end()) {
    throw CFileException(CFileException::fileNotFound, kMissing, p);
  }
  return CFileContents(it->second);
}

std::unique_ptr<CWritableFile> CFakePlatform::CreateNewFile(
    const std::string& path) {
  CFilesLock lock(g_filesMutex);
  const std::string p = Normalise(path);
  countOperation(FakeFileOp::kCreate, p);
  if (isHeld(p)) {
    throw CFileException(CFileException::sharingViolation, kSharing, p);
  }
  if (m_files.count(p) != 0 || m_folders.count(p) != 0) {
    throw CFileException(CFileException::alreadyExists, kExists, p,
                         "already exists");
  }
  checkParentWritable(p);
  m_files[p];  // the file exists, empty, from now on
  return std::make_unique<CFakeFile>(*this, p);
}

void CFakePlatform::RenameReplacing(const std::string& from,
                                    const std::string& to) {
  CFilesLock lock(g_filesMutex);
  const std::string f = Normalise(from);
  const std::string t = Normalise(to);
  countOperation(FakeFileOp::kRename, t);
  if (isHeld(f) || isHeld(t)) {
    throw CFileException(CFileException::sharingViolation, kSharing,
                         isHeld(f) ? f : t);
  }
  auto it = m_files.find(f);
  if (it == m_files.end()) {
    throw CFileException(m_folders.count(f) ? CFileException::accessDenied
                                            : CFileException::fileNotFound,
                         m_folders.count(f) ? kIsFolder : kMissing, f);
  }
  if (m_folders.count(t) != 0) {
    throw CFileException(CFileException::accessDenied, kIsFolder, t,
                         "is a folder");
  }
  if (m_folders.count(parentOf(t)) == 0) {
    throw CFileException(CFileException::fileNotFound, kMissing, t,
                         "no such folder");
  }
  if (f == t) return;
  std::string bytes = std::move(it->second);
  m_files.erase(it);
  m_files[t] = std::move(bytes);
}

void CFakePlatform::RemoveFile(const std::string& path) {
  CFilesLock lock(g_filesMutex);
  const std::string p = Normalise(path);
  countOperation(FakeFileOp::kRemove, p);
  if (isHeld(p)) {
    throw CFileException(CFileException::sharingViolation, kSharing, p);
  }
  if (m_folders.count(p) != 0) {
    throw CFileException(CFileException::accessDenied, kIsFolder, p,
                         "is a folder");
  }
  if (m_files.erase(p) == 0) {
    throw CFileException(CFileException::fileNotFound, kMissing, p);
  }
}

unsigned CFakePlatform::NextTemporaryNumber() {
  CFilesLock lock(g_filesMutex);
  return CPlatform::NextTemporaryNumber();
}

void CFakePlatform::SyncFileSystem(const std::string& folder) {
  CFilesLock lock(g_filesMutex);
  countOperation(FakeFileOp::kSync, folder);
}

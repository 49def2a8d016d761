#include "platform/posix/posix_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/console_answer.h"
#include "platform/exceptions.h"
#include "platform/posix/folder_handle.h"
#include "platform/posix/heap_tuning.h"
#include "platform/posix/posix_error.h"

namespace {

/// Closes a descriptor when it goes out of scope.
class CDescriptor {
 public:
  explicit CDescriptor(int fd) : m_fd(fd) {}
  CDescriptor(const CDescriptor&) = delete;
  CDescriptor& operator=(const CDescriptor&) = delete;
  ~CDescriptor() { ::close(m_fd); }
  int get() const { return m_fd; }

 private:
  int m_fd;
};

/// The memory of file objects freed on this thread and the storage of their
/// paths, which the next ones reuse: a run creates a file per output and
/// frees them a chunk at a time (see CPublishQueue), and each would
/// otherwise allocate twice.
struct CSpareFiles {
  static constexpr std::size_t kMax = 128;
  CSpareFiles() = default;
  CSpareFiles(const CSpareFiles&) = delete;
  CSpareFiles& operator=(const CSpareFiles&) = delete;
  ~CSpareFiles() {
    for (void* block : blocks) ::operator delete(block);
  }
  std::vector<void*> blocks;
  std::vector<std::string> paths;
};
thread_local CSpareFiles t_spareFiles;

/// A file made by CreateNewFile.
class CPosixFile final : public CWritableFile {
 public:
  CPosixFile(int fd, const std::string& path) : m_fd(fd) {
    std::vector<std::string>& spare = t_spareFiles.paths;
    // Room first, so that the destructor never allocates.
    spare.reserve(CSpareFiles::kMax);
    if (!spare.empty()) {
      m_strPath.swap(spare.back());
      spare.pop_back();
    }
    m_strPath.assign(path);
  }
  ~CPosixFile() override {
    if (m_fd >= 0) ::close(m_fd);
    std::vector<std::string>& spare = t_spareFiles.paths;
    if (spare.size() < spare.capacity()) spare.push_back(std::move(m_strPath));
  }

  // Final, so every object has the size of this class.
  static void* operator new(std::size_t size) {
    std::vector<void*>& spare = t_spareFiles.blocks;
    spare.reserve(CSpareFiles::kMax);  // for operator delete
    if (spare.empty()) return ::operator new(size);
    void* block = spare.back();
    spare.pop_back();
    return block;
  }
  static void operator delete(void* block) {
    std::vector<void*>& spare = t_spareFiles.blocks;
    if (spare.size() < spare.capacity()) {
      spare.push_back(block);
    } else {
      ::operator delete(block);
    }
  }

  std::size_t Write(const void* data, std::size_t n) override {
    if (m_fd < 0) {
      throw CFileException(CFileException::genericException, -1, m_strPath,
                           "file already closed");
    }
    if (n == 0) return 0;
    for (;;) {
      const ssize_t written = ::write(m_fd, data, n);
      if (written >= 0) return static_cast<std::size_t>(written);
      if (errno != EINTR) throw FileExceptionFromErrno(errno, m_strPath);
    }
  }

  void Sync() override {
    if (m_fd >= 0 && ::fdatasync(m_fd) != 0) {
      throw FileExceptionFromErrno(errno, m_strPath);
    }
  }

  void Close() override {
    if (m_fd < 0) return;
    const int fd = std::exchange(m_fd, -1);
    // The descriptor is gone whatever close() says; an error means that
    // data may not have reached the file.
    if (::close(fd) != 0) throw FileExceptionFromErrno(errno, m_strPath);
  }

 private:
  int m_fd;
  std::string m_strPath;
};

// A large source read into fresh memory costs a page fault per 4 KiB
// page, more than the read itself; large pages take that to one per 2 MiB.
// Only advice: where the kernel has none to give, nothing changes.
void askForLargePages(char* start, std::size_t size) {
  constexpr std::uintptr_t kLargePage = CFileContents::kLargePage;
  if (size < CFileContents::kLargeBuffer) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
  if (last > first) {
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
}

/// Reads n bytes from offset on into buffer, fewer only where the file
/// ends; retries when interrupted, throws on failure.
std::size_t readAt(int fd, char* buffer, std::size_t n, off_t offset,
                   const std::string& path) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t some =
        ::pread(fd, buffer + got, n - got, offset + static_cast<off_t>(got));
    if (some == 0) break;
    if (some > 0) {
      got += static_cast<std::size_t>(some);
    } else if (errno != EINTR) {
      throw FileExceptionFromErrno(errno, path);
    }
  }
  return got;
}

// Files from this size on are read in two halves at once when the options
// allow: where fresh memory is costly to back, as in many virtual machines,
// the first touch of the pages takes longer than the copy, and two cores
// take it twice as fast.
constexpr std::size_t kSplitReadSize = std::size_t{8} << 20;

/// Reads the first n bytes of the file into buffer, fewer only where the
/// file ends. split: the second half on a second thread.
std::size_t readStart(int fd, char* buffer, std::size_t n, bool split,
                      const std::string& path) {
  if (!split || n < kSplitReadSize) return readAt(fd, buffer, n, 0, path);
  const std::size_t half = (n / 2) & ~std::size_t{4095};
  std::size_t second = 0;
  std::exception_ptr error;
  std::thread helper;
  try {
    helper = std::thread([&] {
      try {
        second =
            readAt(fd, buffer + half, n - half, static_cast<off_t>(half), path);
      } catch (...) {
        error = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    return readAt(fd, buffer, n, 0, path);  // no thread to be had
  }
  std::size_t first = 0;
  try {
    first = readAt(fd, buffer, half, 0, path);
  } catch (...) {
    helper.join();
    throw;
  }
  helper.join();
  if (error) std::rethrow_exception(error);
  // A file that shrank below the half ends where the first half does.
  return first < half ? first : half + second;
}

/// Control bytes other than line feed and tab would move the cursor or
/// worse on a terminal; a file name may hold any of them.
std::string printable(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\n' && c != '\t') || u == 0x7f) c = '?';
  }
  return out;
}

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

const char kClearLine[] = "\r\033[K";

// The names in the current folder, other than "." and "..", that keep
// accepts, in byte order.
template <typename Keep>
std::vector<std::string> ListCurrentFolder(const Keep& keep) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(".");
  if (dir == nullptr) throw FileExceptionFromErrno(errno, ".");
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (keep(*entry)) names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

CPosixPlatform::CPosixPlatform(CPosixOptions options)
    : m_options(std::move(options)) {
  // The platform is made before the conversion starts its worker.
  GrowHeapsInLargeSteps();
  // Reading the umask means setting it; no other thread creates files yet.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  m_newFileMode = 0666 & ~mask;
  m_euid = ::geteuid();
  // Process ids apart by one start 65,536 names apart.
  m_nextTemporary = static_cast<unsigned>(::getpid()) << 16;
}

CPosixPlatform::~CPosixPlatform() { clearProgress(); }

// --- The user ---------------------------------------------------------------

bool CPosixPlatform::inputIsTerminal() const {
  if (m_options.input_is_terminal) return *m_options.input_is_terminal;
  return ::isatty(::fileno(m_options.input)) == 1;
}

bool CPosixPlatform::errorsIsTerminal() const {
  if (m_options.errors_is_terminal) return *m_options.errors_is_terminal;
  if (!m_errorsIsTerminal) {
    m_errorsIsTerminal = ::isatty(::fileno(m_options.errors)) == 1;
  }
  return *m_errorsIsTerminal;
}

void CPosixPlatform::clearProgress() {
  if (!m_bProgressShown) return;
  std::fputs(kClearLine, m_options.errors);
  std::fflush(m_options.errors);
  m_bProgressShown = false;
}

bool CPosixPlatform::readLine(std::string* line) {
  line->clear();
  int c;
  while ((c = std::getc(m_options.input)) != EOF && c != '\n') {
    line->push_back(static_cast<char>(c));
  }
  if (c == EOF && line->empty()) return false;
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

bool CPosixPlatform::AskForFolder(std::string* path) {
  clearProgress();
  std::fputs("Select folder to convert: ", m_options.errors);
  std::fflush(m_options.errors);
  std::string line;
  if (!readLine(&line) || line.empty()) {
    return false;
  }
  *path = withoutTrailingSlashes(std::move(line));
  return true;
}

bool CPosixPlatform::ChooseFolder(std::string* path) {
  if (m_options.folder.empty()) return false;
  *path = withoutTrailingSlashes(m_options.folder);
  return true;
}

MessageResult CPosixPlatform::ShowMessage(const std::string& text,
                                          MessageButtons buttons) {
  clearProgress();
  return ShowMessageOnConsole(
      m_options.errors, m_options.answer_mode, m_options.program_name,
      errorsIsTerminal() ? printable(text) : text, buttons, inputIsTerminal(),
      [this](std::string* line) { return readLine(line); });
}

void CPosixPlatform::ShowSummary(const std::string& text) {
  clearProgress();
  std::fwrite(text.data(), 1, text.size(), m_options.output);
  std::fputc('\n', m_options.output);
  std::fflush(m_options.output);
}

void CPosixPlatform::Beep() {
  if (!m_options.beep) return;
  std::fputc('\a', m_options.errors);
  std::fflush(m_options.errors);
}

void CPosixPlatform::ReportProgress(int done, int total,
                                    const std::string& name) {
  const std::string line =
      m_meter.StartFile(done, total, printable(name), m_options.clock());
  if (errorsIsTerminal()) showProgress(line);
}

// Called at every block of a big file: the clock is read each time, the
// terminal asked only when a line is due.
void CPosixPlatform::ReportProgressWithin(std::size_t bytes_done,
                                          std::size_t bytes_total,
                                          int symbols_done) {
  const std::string line =
      m_meter.Within(bytes_done, bytes_total, symbols_done, m_options.clock());
  if (!line.empty() && errorsIsTerminal()) showProgress(line);
}

void CPosixPlatform::showProgress(const std::string& line) {
  winsize size{};
  const int columns =
      ::ioctl(::fileno(m_options.errors), TIOCGWINSZ, &size) == 0 ? size.ws_col
                                                                  : 0;
  std::fprintf(m_options.errors, "%s%s", kClearLine,
               FitToColumns(line, columns).c_str());
  std::fflush(m_options.errors);
  m_bProgressShown = true;
}

void CPosixPlatform::ReportNote(const std::string& text) {
  clearProgress();
  std::string shown = errorsIsTerminal() ? printable(text) : text;
  if (!m_options.program_name.empty()) {
    shown = m_options.program_name + ": " + shown;
  }
  std::fprintf(m_options.errors, "%s\n", shown.c_str());
  std::fflush(m_options.errors);
}

// --- Folders ------------------------------------------------------------

void CPosixPlatform::ChangeDirectory(const std::string& path) {
  if (::chdir(path.c_str()) != 0) throw FileExceptionFromErrno(errno, path);
}

std::vector<std::string> CPosixPlatform::FindFiles(const std::string& pattern) {
  return ListCurrentFolder([&](const dirent& entry) {
    return MatchesPattern(entry.d_name, pattern);
  });
}

std::vector<std::string> CPosixPlatform::FindSubfolders() {
  return ListCurrentFolder([](const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
    // Some file systems do not say; lstat does, without following links.
    struct stat st;
    return ::lstat(entry.d_name, &st) == 0 && S_ISDIR(st.st_mode);
  });
}

void CPosixPlatform::MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return;
  int err = errno;
  struct stat st;
  if (err == EEXIST) {
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
    err = ENOTDIR;
  }
  throw FileExceptionFromErrno(err, path);
}

// --- Files --------------------------------------------------------------

CFileContents CPosixPlatform::ReadFile(const std::string& path) {
  // O_NONBLOCK keeps a FIFO named like a source from blocking the open; it
  // is refused below like every other file that is not a regular one.
  const int fd =
      ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) throw FileExceptionFromErrno(errno, path);
  CDescriptor file(fd);

  struct stat st;
  if (::fstat(fd, &st) != 0) throw FileExceptionFromErrno(errno, path);
  if (S_ISDIR(st.st_mode)) throw FileExceptionFromErrno(EISDIR, path);
  if (!S_ISREG(st.st_mode)) {
    throw CFileException(CFileException::accessDenied, -1, path,
                         "not a regular file");
  }
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    throw CFileException(CFileException::sharingViolation, EWOULDBLOCK, path,
                         "locked by another program");
  }

  // One allocation for the size that fstat gives; the file may still grow
  // or shrink while we read, so read on until the end.
  CFileContents contents(static_cast<std::size_t>(st.st_size));
  askForLargePages(contents.data(), contents.capacity());
  std::size_t got = readStart(fd, contents.data(), contents.size(),
                              m_options.split_reads, path);
  while (got == contents.size()) {
    // Grown since fstat: looked for in a small buffer first, so that a file
    // of the size fstat gave (nearly all) is never copied.
    char more[4096];
    const std::size_t n =
        readAt(fd, more, sizeof more, static_cast<off_t>(got), path);
    if (n == 0) break;
    contents.growWith(more, n);
    got += n;
    got += readAt(fd, contents.data() + got, contents.size() - got,
                  static_cast<off_t>(got), path);
  }
  contents.truncate(got);
  return contents;
}

namespace {

// Each thread that writes holds its own folder open.
thread_local CFolderHandle t_folder;

}  // namespace

std::unique_ptr<CWritableFile> CPosixPlatform::CreateNewFile(
    const std::string& path) {
  const CFolderRelative file = t_folder.relative(path);
  int fd;
  do {
    fd = ::openat(file.folder, file.name,
                  O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw FileExceptionFromErrno(errno, path);
  // Held under an exclusive advisory lock while open, so that another run's
  // sweep of stray temporaries (which reads under a shared one) skips it.
  ::flock(fd, LOCK_EX | LOCK_NB);
  return std::unique_ptr<CWritableFile>(new CPosixFile(fd, path));
}

namespace {

/// What CreateReplacement needs to know of the file a temporary replaces.
struct CReplacedFile {
  bool regular = false;
  mode_t mode = 0;
  /// Known writable without asking the system: ours, with the owner's write
  /// permission, neither immutable nor a mount of its own (which may be
  /// read-only where its folder is not).
  bool plainlyOurs = false;
};

CReplacedFile examineReplaced(CFolderRelative target, uid_t euid) {
  CReplacedFile file;
#if defined(__linux__) && defined(STATX_ATTR_MOUNT_ROOT)
  struct statx stx;
  if (::statx(target.folder, target.name, 0,
              STATX_TYPE | STATX_MODE | STATX_UID, &stx) != 0) {
    return file;
  }
  constexpr uint64_t kRefusing = STATX_ATTR_IMMUTABLE | STATX_ATTR_MOUNT_ROOT;
  file.regular = S_ISREG(stx.stx_mode);
  file.mode = stx.stx_mode & 07777;
  file.plainlyOurs = (stx.stx_mask & STATX_UID) != 0 && stx.stx_uid == euid &&
                     (stx.stx_mode & S_IWUSR) != 0 &&
                     (stx.stx_attributes_mask & kRefusing) == kRefusing &&
                     (stx.stx_attributes & kRefusing) == 0;
#else
  (void)euid;
  struct stat st;
  if (::fstatat(target.folder, target.name, &st, 0) != 0) return file;
  file.regular = S_ISREG(st.st_mode);
  file.mode = st.st_mode & 07777;
#endif
  return file;
}

}  // namespace

std::unique_ptr<CWritableFile> CPosixPlatform::CreateReplacement(
    const std::string& temp, const std::string& target) {
  // A rename needs only the folder's permission; opening the target for
  // writing, as a replacement in place would, needs the file's. The system
  // is asked unless the owner's write permission plainly gives it: one call
  // fewer for nearly every file replaced.
  const CFolderRelative replacing = t_folder.relative(target);
  const CReplacedFile replaced = examineReplaced(replacing, m_euid);
  if (replaced.regular && !replaced.plainlyOurs &&
      ::faccessat(replacing.folder, replacing.name, W_OK, AT_EACCESS) != 0) {
    throw FileExceptionFromErrno(errno, target);
  }
  std::unique_ptr<CWritableFile> file = CreateNewFile(temp);
  // Like the file it replaces (as sed -i does); a new one keeps 0666 less
  // the umask. Most replaced files have that mode already.
  if (replaced.regular && replaced.mode != m_newFileMode) {
    const CFolderRelative made = t_folder.relative(temp);
    if (::fchmodat(made.folder, made.name, replaced.mode, 0) != 0) {
      throw FileExceptionFromErrno(errno, temp);
    }
  }
  return file;
}

void CPosixPlatform::RenameReplacing(const std::string& from,
                                     const std::string& to) {
  CFolderRelative source = t_folder.relative(from);
  CFolderRelative target{AT_FDCWD, to.c_str()};
  const char* to_name =
      source.folder != AT_FDCWD ? t_folder.nameIn(to) : nullptr;
  if (to_name != nullptr) {
    target = {source.folder, to_name};
  } else {
    source = {AT_FDCWD, from.c_str()};
  }
  if (::renameat(source.folder, source.name, target.folder, target.name) != 0) {
    const int err = errno;
    throw FileExceptionFromErrno(err, err == ENOENT ? from : to);
  }
}

void CPosixPlatform::RemoveFile(const std::string& path) {
  const CFolderRelative file = t_folder.relative(path);
  if (::unlinkat(file.folder, file.name, 0) != 0) {
    throw FileExceptionFromErrno(errno, path);
  }
}

std::string CPosixPlatform::DescribeSystemError(const CFileException& e) const {
  return "(" + (e.m_strReason.empty() ? std::string(e.what()) : e.m_strReason) +
         ")";
}

bool CPosixPlatform::CanSyncFileSystem() const {
#ifdef __linux__
  return true;
#else
  return false;
#endif
}

void CPosixPlatform::SyncFileSystem(const std::string& folder) {
#ifdef __linux__
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileExceptionFromErrno(errno, folder);
  CDescriptor dir(fd);
  if (::syncfs(fd) != 0) throw FileExceptionFromErrno(errno, folder);
#else
  (void)folder;
#endif
}

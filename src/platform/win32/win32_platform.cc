#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/exceptions.h"
#include "platform/folder_dialog.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_shell.h"

namespace {

// Owns a file handle and closes it quietly.
class CHandle {
 public:
  explicit CHandle(HANDLE handle) : m_handle(handle) {}
  CHandle(const CHandle&) = delete;
  CHandle& operator=(const CHandle&) = delete;
  ~CHandle() { Reset(); }

  bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_handle; }
  HANDLE Release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }
  void Reset() {
    if (valid()) CloseHandle(Release());
  }

 private:
  HANDLE m_handle;
};

// A file made by CreateNewFile, held without sharing until it is closed.
class CWin32WritableFile : public CWritableFile {
 public:
  CWin32WritableFile(HANDLE handle, std::string path)
      : m_handle(handle), m_strPath(std::move(path)) {}

  std::size_t Write(const void* data, std::size_t n) override {
    if (n == 0) return 0;
    const DWORD wanted = static_cast<DWORD>(
        std::min<std::size_t>(n, static_cast<std::size_t>(MAXDWORD)));
    DWORD written = 0;
    if (!::WriteFile(m_handle.get(), data, wanted, &written, nullptr)) {
      throw LastWin32FileException(m_strPath);
    }
    return written;
  }

  void Sync() override {
    if (m_handle.valid() && !::FlushFileBuffers(m_handle.get())) {
      throw LastWin32FileException(m_strPath);
    }
  }

  void Close() override {
    if (!CloseHandle(m_handle.Release())) {
      throw LastWin32FileException(m_strPath);
    }
  }

 private:
  CHandle m_handle;
  std::string m_strPath;
};

}  // namespace

std::string ApplicationTitle() {
  char module[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string name(module, std::min<DWORD>(n, MAX_PATH));
  const std::size_t slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

CWin32Platform::CWin32Platform() : m_strTitle(ApplicationTitle()) {}

bool CWin32Platform::ChooseFolder(std::string* path) {
  CWin32Shell shell;
  CFolderDialog dialog(shell, nullptr, kBifReturnOnlyFsDirs, 0);
  if (dialog.Browse() != kIdOk) return false;
  *path = dialog.GetPath();
  return true;
}

MessageResult CWin32Platform::ShowMessage(const std::string& text,
                                          MessageButtons buttons) {
  const bool yes_no = buttons == MessageButtons::kYesNo;
  const UINT style =
      (yes_no ? MB_YESNO : MB_OK) | MB_ICONEXCLAMATION | MB_DEFBUTTON1;
  const int answer =
      MessageBoxA(nullptr, text.c_str(), m_strTitle.c_str(), style);
  if (!yes_no) return MessageResult::kOk;
  // A box that could not be shown (answer 0) stops the run rather than
  // going on unasked.
  return answer == IDYES ? MessageResult::kYes : MessageResult::kNo;
}

void CWin32Platform::Beep() { MessageBeep(0xFFFFFFFF); }

void CWin32Platform::ChangeDirectory(const std::string& path) {
  if (!SetCurrentDirectoryA(path.c_str())) throw LastWin32FileException(path);
}

std::vector<std::string> CWin32Platform::FindFiles(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    // The system also matches the 8.3 short name, so "*.DXF" would take
    // "plan.dxf2" by its short name PLAN~1.DXF; keep only real matches.
    if (MatchesPattern(name, pattern)) names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::vector<std::string> CWin32Platform::FindSubfolders() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("*", &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return names;
    throw MakeWin32FileException(error, ".");
  }
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    // A junction or a symbolic link could lead out of the tree or round it.
    const DWORD attributes = found.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      names.push_back(name);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

void CWin32Platform::MakeFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return;
  DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return;
    }
    error = ERROR_DIRECTORY;
  }
  throw MakeWin32FileException(error, path);
}

CFileContents CWin32Platform::ReadFile(const std::string& path) {
  // Sharing denied: a file that another program holds open is refused, and
  // nobody can change it while it is read. A folder cannot be opened so.
  CHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) throw LastWin32FileException(path);

  // Read in chunks that a DWORD counts, into one buffer of the size the
  // file has; should it be larger after all, the buffer grows.
  LARGE_INTEGER size;
  std::size_t expected = 0;
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
      static_cast<unsigned long long>(size.QuadPart) <
          std::numeric_limits<std::size_t>::max() / 2) {
    expected = static_cast<std::size_t>(size.QuadPart);
  }
  CFileContents contents(expected);
  std::size_t got = 0;
  char more[4096];
  for (;;) {
    // Past the expected size a small buffer looks for more first, so that
    // a file of that size (nearly all) is never copied.
    const bool full = got == contents.size();
    const std::size_t room = full ? sizeof more
                                  : std::min<std::size_t>(contents.size() - got,
                                                          std::size_t{1} << 30);
    DWORD some = 0;
    if (!::ReadFile(file.get(), full ? more : contents.data() + got,
                    static_cast<DWORD>(room), &some, nullptr)) {
      throw LastWin32FileException(path);
    }
    if (some == 0) break;
    if (full) contents.growWith(more, some);
    got += some;
  }
  contents.truncate(got);
  return contents;
}

std::unique_ptr<CWritableFile> CWin32Platform::CreateNewFile(
    const std::string& path) {
  // Shared for deletion only, so that an interrupted console run can remove
  // the temporary it is writing.
  HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw LastWin32FileException(path);
  return std::make_unique<CWin32WritableFile>(handle, path);
}

void CWin32Platform::RenameReplacing(const std::string& from,
                                     const std::string& to) {
  if (!MoveFileExA(from.c_str(), to.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw LastWin32FileException(to);
  }
}

void CWin32Platform::RemoveFile(const std::string& path) {
  if (!DeleteFileA(path.c_str())) throw LastWin32FileException(path);
}

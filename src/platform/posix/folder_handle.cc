#include "platform/posix/folder_handle.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// Enough to name files by; a descriptor that cannot read the folder.
#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

}  // namespace

CFolderHandle::~CFolderHandle() {
  if (m_fd >= 0) ::close(m_fd);
}

const char* CFolderHandle::nameIn(const std::string& path) const {
  const std::size_t n = m_strFolder.size();
  if (m_fd < 0 || path.size() <= n || path.compare(0, n, m_strFolder) != 0 ||
      path.find('/', n) != std::string::npos) {
    return nullptr;
  }
  return path.c_str() + n;
}

CFolderRelative CFolderHandle::relative(const std::string& path) {
  if (const char* name = nameIn(path)) return {m_fd, name};
  // Only a whole path from the root: a relative one would follow the
  // working folder, which a run may change.
  const std::size_t folder = path.rfind('/') + 1;
  if (path.empty() || path[0] != '/' || folder == path.size()) {
    return {AT_FDCWD, path.c_str()};
  }
  if (m_fd >= 0) ::close(m_fd);
  m_strFolder.assign(path, 0, folder);
  m_fd = ::open(m_strFolder.c_str(), kFolderFlags);
  if (m_fd < 0) return {AT_FDCWD, path.c_str()};
  return {m_fd, path.c_str() + folder};
}

#include "platform/replacing_file.h"

#include <utility>

#include "platform/exceptions.h"
#include "platform/pending_temporaries.h"
#include "platform/publish_queue.h"

namespace {

/// How many temporary names are tried before giving up. Each is taken only
/// when no file of that name exists, so a stray one is never overwritten;
/// the numbers go on from run to run, so a stray one blocks no symbol.
constexpr int kTempAttempts = 16;

/// After a taken name, the next try skips this far ahead, so that a run
/// of stray names costs one try, not one per name.
constexpr unsigned kSkipAfterTaken = 0x9e3779b9u;

/// The length of the folder part of target, its last separator included.
std::size_t folderLength(const std::string& target, char separator) {
  std::size_t last = target.rfind(separator);
  if (separator == '\\') {
    const std::size_t slash = target.rfind('/');
    if (slash != std::string::npos &&
        (last == std::string::npos || slash > last)) {
      last = slash;
    }
  }
  return last == std::string::npos ? 0 : last + 1;
}

/// The storage of the paths of the last file replaced on this thread, which
/// the next one reuses: a run replaces one file after another, and each
/// would otherwise allocate twice for paths too long to be held in place.
struct CSparePaths {
  std::string target;
  std::string temp;
};
thread_local CSparePaths t_spare;

/// Hands path's storage back for the next file when it is the larger.
void keepSpare(std::string& spare, std::string& path) {
  if (path.capacity() > spare.capacity()) spare.swap(path);
}

/// A name that is taken: a file of that name exists, or another program
/// holds one open (Windows may say so for a file being deleted).
bool mayBeTaken(const CFileException& e) {
  return e.m_cause == CFileException::alreadyExists ||
         e.m_cause == CFileException::sharingViolation;
}

/// Closes the temporary quietly (so that it can be removed) and removes it,
/// ignoring a failing remove: the failure that brought us here matters more.
void discardTemp(CPlatform& platform, std::unique_ptr<CWritableFile>& file,
                 const std::string& temp, int& slot) noexcept {
  try {
    file.reset();
    platform.RemoveFile(temp);
  } catch (...) {
  }
  file.reset();
  ReleasePendingTemporary(std::exchange(slot, -1));
}

}  // namespace

std::string TemporaryName(unsigned number) {
  std::string name;
  AppendTemporaryName(name, number);
  return name;
}

void AppendTemporaryName(std::string& path, unsigned number) {
  // ".sc%08x.tmp", written here: one is made for every output.
  const std::size_t at = path.size();
  path.append(".sc00000000.tmp");
  for (std::size_t digit = 0; digit < 8; ++digit) {
    path[at + 10 - digit] = "0123456789abcdef"[(number >> (4 * digit)) & 0xF];
  }
}

bool IsTemporaryName(const std::string& name) {
  if (name.size() != kTemporaryNameLength) return false;
  if (name.compare(0, 3, ".sc") != 0) return false;
  if (name.compare(11, 4, ".tmp") != 0) return false;
  for (std::size_t i = 3; i < 11; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

CFileException RenamedFileException(const CFileException& e,
                                    const std::string& target) {
  return CFileException(e.m_cause, e.m_lOsError, target, e.m_strReason);
}

CReplacingFile::CReplacingFile(CPlatform& platform,
                               const std::string& target_path,
                               CPublishQueue* queue)
    : m_platform(platform), m_pQueue(queue) {
  m_strTarget.swap(t_spare.target);
  m_strTarget.assign(target_path);
  m_strTemp.swap(t_spare.temp);
  const std::size_t folder =
      folderLength(m_strTarget, m_platform.PathSeparator());
  for (int attempt = 1;; ++attempt) {
    unsigned number = m_platform.NextTemporaryNumber();
    if (attempt > 1) number += kSkipAfterTaken * static_cast<unsigned>(attempt);
    m_strTemp.assign(m_strTarget, 0, folder);
    AppendTemporaryName(m_strTemp, number);
    // Claimed before the file exists, so that no moment passes in which an
    // interruption would leave it behind.
    m_nSlot = ClaimPendingTemporary(m_strTemp);
    if (m_nSlot < 0) {
      throw CFileException(CFileException::genericException, -1, m_strTarget,
                           "too many files pending");
    }
    try {
      m_pFile = m_platform.CreateReplacement(m_strTemp, m_strTarget);
      return;
    } catch (const CFileException& e) {
      ReleasePendingTemporary(std::exchange(m_nSlot, -1));
      if (!mayBeTaken(e) || attempt == kTempAttempts) {
        throw RenamedFileException(e, m_strTarget);
      }
    }
  }
}

CReplacingFile::~CReplacingFile() {
  if (!m_bDone) discardTemp(m_platform, m_pFile, m_strTemp, m_nSlot);
  keepSpare(t_spare.target, m_strTarget);
  keepSpare(t_spare.temp, m_strTemp);
}

std::size_t CReplacingFile::Write(const void* data, std::size_t n) {
  if (m_bDone || !m_pFile) {
    throw CFileException(CFileException::genericException, -1, m_strTarget,
                         "file already closed");
  }
  try {
    return m_pFile->Write(data, n);
  } catch (const CFileException& e) {
    m_bDone = true;
    discardTemp(m_platform, m_pFile, m_strTemp, m_nSlot);
    throw RenamedFileException(e, m_strTarget);
  }
}

void CReplacingFile::Close() {
  if (m_bDone) return;
  m_bDone = true;
  if (m_pQueue != nullptr) {
    // The queue owns the temporary from here, failure or not.
    m_pQueue->Add(std::move(m_pFile), m_strTemp, m_strTarget,
                  std::exchange(m_nSlot, -1));
    return;
  }
  try {
    m_pFile->Sync();
    m_pFile->Close();
    m_pFile.reset();
    m_platform.RenameReplacing(m_strTemp, m_strTarget);
  } catch (const CFileException& e) {
    discardTemp(m_platform, m_pFile, m_strTemp, m_nSlot);
    throw RenamedFileException(e, m_strTarget);
  }
  ReleasePendingTemporary(std::exchange(m_nSlot, -1));
}

#include "platform/replacing_file.h"

#include <utility>

#include "platform/exceptions.h"

namespace {

/// How many temporary names are tried before giving up. Each is taken only
/// when no file of that name exists, so a stray one is never overwritten.
constexpr int kTempAttempts = 16;

/// The temporary for target: "VALVE.SML" gives "VALVE.SML.1.tmp". It ends
/// in ".tmp", so neither pass takes it for a source and no output is ever
/// named like it.
std::string tempName(const std::string& target, int attempt) {
  return target + "." + std::to_string(attempt) + ".tmp";
}

/// A name that is taken: a file of that name exists, or another program
/// holds one open (Windows may say so for a file being deleted).
bool mayBeTaken(const CFileException& e) {
  return e.m_cause == CFileException::alreadyExists ||
         e.m_cause == CFileException::sharingViolation;
}

/// The same failure, told about target instead of the temporary.
CFileException renamed(const CFileException& e, const std::string& target) {
  return CFileException(e.m_cause, e.m_lOsError, target, e.m_strReason);
}

/// Closes the temporary quietly (so that it can be removed) and removes it,
/// ignoring a failing remove: the failure that brought us here matters more.
void discardTemp(CPlatform& platform, std::unique_ptr<CWritableFile>& file,
                 const std::string& temp) noexcept {
  try {
    file.reset();
    platform.RemoveFile(temp);
  } catch (...) {
  }
  file.reset();
}

}  // namespace

CReplacingFile::CReplacingFile(CPlatform& platform, std::string target_path)
    : m_platform(platform), m_strTarget(std::move(target_path)) {
  for (int attempt = 1;; ++attempt) {
    std::string name = tempName(m_strTarget, attempt);
    try {
      m_pFile = m_platform.CreateNewFile(name);
      m_strTemp = std::move(name);
      return;
    } catch (const CFileException& e) {
      if (!mayBeTaken(e) || attempt == kTempAttempts) {
        throw renamed(e, m_strTarget);
      }
    }
  }
}

CReplacingFile::~CReplacingFile() {
  if (!m_bDone) discardTemp(m_platform, m_pFile, m_strTemp);
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
    discardTemp(m_platform, m_pFile, m_strTemp);
    throw renamed(e, m_strTarget);
  }
}

void CReplacingFile::Close() {
  if (m_bDone) return;
  try {
    m_pFile->Close();
    m_pFile.reset();
    m_platform.RenameReplacing(m_strTemp, m_strTarget);
  } catch (const CFileException& e) {
    m_bDone = true;
    discardTemp(m_platform, m_pFile, m_strTemp);
    throw renamed(e, m_strTarget);
  }
  m_bDone = true;
}

#ifndef SYMCONV_PLATFORM_REPLACING_FILE_H_
#define SYMCONV_PLATFORM_REPLACING_FILE_H_

#include <memory>
#include <string>

#include "platform/platform.h"

/// A file written under a temporary name in the target's folder and renamed
/// over the target only when it is complete and closed, so that a failing
/// write never destroys an earlier file of the same name.
///
/// The temporary is claimed exclusively (CreateNewFile) under a name that no
/// symbol or source can have. Every CFileException raised here names the
/// target, not the temporary.
class CReplacingFile : public CWritableFile {
 public:
  /// Creates the temporary. Throws CFileException.
  CReplacingFile(CPlatform& platform, std::string target_path);
  CReplacingFile(const CReplacingFile&) = delete;
  CReplacingFile& operator=(const CReplacingFile&) = delete;
  /// Without a successful Close: closes and removes the temporary quietly;
  /// the target stays as it was.
  ~CReplacingFile() override;

  std::size_t Write(const void* data, std::size_t n) override;
  /// Closes the temporary and renames it over the target. On failure the
  /// temporary is removed and the CFileException goes on.
  void Close() override;

  const std::string& target_path() const { return m_strTarget; }

 private:
  CPlatform& m_platform;
  std::string m_strTarget;
  std::string m_strTemp;
  std::unique_ptr<CWritableFile> m_pFile;
  bool m_bDone = false;
};

#endif  // SYMCONV_PLATFORM_REPLACING_FILE_H_

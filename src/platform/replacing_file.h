#ifndef SYMCONV_PLATFORM_REPLACING_FILE_H_
#define SYMCONV_PLATFORM_REPLACING_FILE_H_

#include <memory>
#include <string>

#include "platform/exceptions.h"
#include "platform/platform.h"

class CPublishQueue;

/// A file written under a temporary name in the target's folder and renamed
/// over the target only when it is complete and closed, so that a failing
/// write never destroys an earlier file of the same name.
///
/// The temporary is claimed exclusively (CreateNewFile) under a short hidden
/// name of fixed length (".sc" + 8 hex digits + ".tmp"), so that it is never
/// longer than a target whose name has that length or more, and so that no
/// symbol or source is ever named like it. While it exists its path is held
/// among the pending temporaries, which an interrupted run removes. Every
/// CFileException raised here names the target, not the temporary.
class CReplacingFile : public CWritableFile {
 public:
  /// Creates the temporary. With a queue, Close hands the complete temporary
  /// to it; without one, Close syncs it and renames it at once. Throws
  /// CFileException.
  CReplacingFile(CPlatform& platform, const std::string& target_path,
                 CPublishQueue* queue = nullptr);
  CReplacingFile(const CReplacingFile&) = delete;
  CReplacingFile& operator=(const CReplacingFile&) = delete;
  /// Without a successful Close: closes and removes the temporary quietly;
  /// the target stays as it was.
  ~CReplacingFile() override;

  std::size_t Write(const void* data, std::size_t n) override;
  /// Publishes the temporary (see the constructor). On failure the
  /// temporary is removed and the CFileException goes on.
  void Close() override;
  /// Close, handing the temporary to queue (or, with none, publishing it at
  /// once): for a temporary written on one thread and published by another.
  void CloseInto(CPublishQueue* queue) {
    m_pQueue = queue;
    Close();
  }
  /// Only a complete file is synced, by Close.
  void Sync() override {}

  const std::string& target_path() const { return m_strTarget; }

 private:
  CPlatform& m_platform;
  std::string m_strTarget;
  std::string m_strTemp;
  std::unique_ptr<CWritableFile> m_pFile;
  CPublishQueue* m_pQueue;
  int m_nSlot = -1;
  bool m_bDone = false;
};

/// The fixed-length name of a temporary, without its folder: ".sc" and the
/// eight lower-case hex digits of number, then ".tmp" (15 bytes).
std::string TemporaryName(unsigned number);
/// Appends TemporaryName(number) to path.
void AppendTemporaryName(std::string& path, unsigned number);
/// True for exactly the names that TemporaryName gives.
bool IsTemporaryName(const std::string& name);
inline constexpr std::size_t kTemporaryNameLength = 15;

/// The same failure, told about target instead of the file it happened to.
CFileException RenamedFileException(const CFileException& e,
                                    const std::string& target);

#endif  // SYMCONV_PLATFORM_REPLACING_FILE_H_

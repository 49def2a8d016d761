#ifndef SYMCONV_PLATFORM_PUBLISH_QUEUE_H_
#define SYMCONV_PLATFORM_PUBLISH_QUEUE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/platform.h"

/// Complete temporaries waiting for the rename that publishes them. An
/// output's data must be on disk before that rename, so that a power loss
/// leaves the earlier file or the new one, never an empty one. A sync per
/// file costs a disk flush per symbol; where the platform can flush a whole
/// file system at once, the queue holds up to a chunk of temporaries (still
/// open, so that a sweep by another run leaves them alone), flushes once
/// and then renames them in the order they were written. Elsewhere each
/// temporary is synced and renamed as it arrives.
class CPublishQueue {
 public:
  /// An output that could not be published; its temporary is gone and the
  /// earlier file stays. index is its place among those pending.
  struct CFailure {
    std::size_t index;
    CFileException error;
  };

  /// folder is where the temporaries are made (the folder of the targets).
  CPublishQueue(CPlatform& platform, std::string folder,
                std::size_t capacity = kDefaultCapacity);
  CPublishQueue(const CPublishQueue&) = delete;
  CPublishQueue& operator=(const CPublishQueue&) = delete;
  /// Removes every temporary that was not published; the targets stay.
  ~CPublishQueue();

  /// Takes a complete temporary and the slot it holds among the pending
  /// temporaries. Without a whole-file-system flush: syncs, closes and
  /// renames it at once, throwing CFileException (naming target) on failure.
  void Add(std::unique_ptr<CWritableFile> file, const std::string& temp,
           const std::string& target, int slot);

  /// True when Publish should run before the next Add.
  bool full() const { return m_nPending >= m_nCapacity; }
  bool empty() const { return m_nPending == 0; }
  std::size_t size() const { return m_nPending; }

  /// Flushes the file system, then closes and renames every pending
  /// temporary in order. Returns the failures in order.
  std::vector<CFailure> Publish();

  static constexpr std::size_t kDefaultCapacity = 64;

 private:
  /// A temporary waiting (slot >= 0), or the storage of one published,
  /// which the next one reuses.
  struct CPending {
    std::unique_ptr<CWritableFile> file;
    std::string temp;
    std::string target;
    int slot = -1;
  };

  /// Closes and removes a temporary that is not published.
  void discard(std::unique_ptr<CWritableFile>& file, const std::string& temp,
               int& slot) noexcept;

  CPlatform& m_platform;
  std::string m_strFolder;
  std::size_t m_nCapacity;
  bool m_bDeferred;
  /// The first m_nPending entries wait to be published.
  std::vector<CPending> m_entries;
  std::size_t m_nPending = 0;
};

#endif  // SYMCONV_PLATFORM_PUBLISH_QUEUE_H_

#include "platform/publish_queue.h"

#include <utility>

#include "platform/pending_temporaries.h"
#include "platform/replacing_file.h"

CPublishQueue::CPublishQueue(CPlatform& platform, std::string folder,
                             std::size_t capacity)
    : m_platform(platform),
      m_strFolder(std::move(folder)),
      m_nCapacity(capacity < 1 ? 1 : capacity),
      m_bDeferred(platform.CanSyncFileSystem()) {}

CPublishQueue::~CPublishQueue() {
  for (CPending& pending : m_pending) discard(pending);
}

void CPublishQueue::discard(CPending& pending) noexcept {
  try {
    pending.file.reset();
    m_platform.RemoveFile(pending.temp);
  } catch (...) {
  }
  pending.file.reset();
  ReleasePendingTemporary(pending.slot);
}

void CPublishQueue::Add(std::unique_ptr<CWritableFile> file, std::string temp,
                        std::string target, int slot) {
  CPending pending{std::move(file), std::move(temp), std::move(target), slot};
  if (m_bDeferred) {
    m_pending.push_back(std::move(pending));
    return;
  }
  try {
    pending.file->Sync();
    pending.file->Close();
    pending.file.reset();
    m_platform.RenameReplacing(pending.temp, pending.target);
  } catch (const CFileException& e) {
    discard(pending);
    throw RenamedFileException(e, pending.target);
  }
  ReleasePendingTemporary(pending.slot);
}

std::vector<CPublishQueue::CFailure> CPublishQueue::Publish() {
  std::vector<CFailure> failures;
  std::vector<CPending> pending = std::move(m_pending);
  m_pending.clear();
  if (pending.empty()) return failures;
  try {
    m_platform.SyncFileSystem(m_strFolder);
  } catch (const CFileException& e) {
    // Nothing may be published whose data may not be on disk.
    for (std::size_t i = 0; i < pending.size(); ++i) {
      failures.push_back({i, RenamedFileException(e, pending[i].target)});
      discard(pending[i]);
    }
    return failures;
  }
  for (std::size_t i = 0; i < pending.size(); ++i) {
    CPending& p = pending[i];
    try {
      p.file->Close();
      p.file.reset();
      m_platform.RenameReplacing(p.temp, p.target);
      ReleasePendingTemporary(p.slot);
    } catch (const CFileException& e) {
      failures.push_back({i, RenamedFileException(e, p.target)});
      discard(p);
    }
  }
  return failures;
}

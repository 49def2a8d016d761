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
  for (CPending& pending : m_entries) {
    if (pending.slot >= 0) discard(pending.file, pending.temp, pending.slot);
  }
}

void CPublishQueue::discard(std::unique_ptr<CWritableFile>& file,
                            const std::string& temp, int& slot) noexcept {
  try {
    file.reset();
    m_platform.RemoveFile(temp);
  } catch (...) {
  }
  file.reset();
  ReleasePendingTemporary(std::exchange(slot, -1));
}

void CPublishQueue::Add(std::unique_ptr<CWritableFile> file,
                        const std::string& temp, const std::string& target,
                        int slot) {
  if (m_bDeferred) {
    if (m_nPending == m_entries.size()) m_entries.emplace_back();
    CPending& pending = m_entries[m_nPending++];
    // Left by a Publish that an exception cut short.
    if (pending.slot >= 0) discard(pending.file, pending.temp, pending.slot);
    pending.file = std::move(file);
    pending.temp.assign(temp);
    pending.target.assign(target);
    pending.slot = slot;
    return;
  }
  try {
    file->Sync();
    file->Close();
    file.reset();
    m_platform.RenameReplacing(temp, target);
  } catch (const CFileException& e) {
    discard(file, temp, slot);
    throw RenamedFileException(e, target);
  }
  ReleasePendingTemporary(slot);
}

std::vector<CPublishQueue::CFailure> CPublishQueue::Publish() {
  std::vector<CFailure> failures;
  const std::size_t count = std::exchange(m_nPending, 0);
  if (count == 0) return failures;
  try {
    m_platform.SyncFileSystem(m_strFolder);
  } catch (const CFileException& e) {
    // Nothing may be published whose data may not be on disk.
    for (std::size_t i = 0; i < count; ++i) {
      CPending& p = m_entries[i];
      failures.push_back({i, RenamedFileException(e, p.target)});
      discard(p.file, p.temp, p.slot);
    }
    return failures;
  }
  for (std::size_t i = 0; i < count; ++i) {
    CPending& p = m_entries[i];
    try {
      p.file->Close();
      p.file.reset();
      m_platform.RenameReplacing(p.temp, p.target);
      ReleasePendingTemporary(std::exchange(p.slot, -1));
    } catch (const CFileException& e) {
      failures.push_back({i, RenamedFileException(e, p.target)});
      discard(p.file, p.temp, p.slot);
    }
  }
  return failures;
}

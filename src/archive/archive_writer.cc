#include "archive/archive_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "archive/archive_exceptions.h"
#include "platform/exceptions.h"
#include "platform/platform.h"

namespace {

// Length forms shared by strings and counts.
constexpr std::size_t kWordStringMax = 65533;
constexpr uint32_t kShortCountMax = 65534;

}  // namespace

CArchiveWriter::CArchiveWriter(CWritableFile& file, std::string file_name,
                               std::size_t buffer_size, uint32_t index_limit)
    : CArchiveWriter(file, &m_strOwnName, buffer_size, index_limit) {
  m_strOwnName = std::move(file_name);
}

CArchiveWriter::CArchiveWriter(CWritableFile& file,
                               const std::string* file_name,
                               std::size_t buffer_size, uint32_t index_limit)
    : m_file(file),
      m_pFileName(file_name),
      m_nBufferSize(std::max<std::size_t>(buffer_size, 1)),
      m_nIndexLimit(index_limit) {
  if (m_nBufferSize <= kOwnBufferSize) {
    m_pBuffer = m_ownBuffer;
  } else {
    // Not zeroed: only bytes put are ever sent.
    m_pLargeBuffer.reset(new uint8_t[m_nBufferSize]);
    m_pBuffer = m_pLargeBuffer.get();
  }
}

CArchiveWriter::~CArchiveWriter() {
  // Reached without Close only when an error is passing through the caller
  // (or the caller forgot Close). The bytes put so far still belong in the
  // file, unless the file itself failed: then nothing more may be written.
  if (m_state != State::kOpen || m_nFill == 0) return;
  try {
    std::size_t n = m_nFill;
    m_nFill = 0;
    writeFile(m_pBuffer, n);
  } catch (...) {
    // A destructor must not throw, and the error that brought us here is
    // the one the caller should see.
  }
}

void CArchiveWriter::throwNotOpen() const {
  if (m_state == State::kClosed) {
    throw std::logic_error("archive written after Close: " + *m_pFileName);
  }
  throw std::logic_error("archive written after a file failure: " +
                         *m_pFileName);
}

void CArchiveWriter::writeFile(const void* data, std::size_t n) {
  std::size_t stored;
  try {
    stored = m_file.Write(data, n);
  } catch (...) {
    m_state = State::kFailed;
    throw;
  }
  if (stored < n) {
    m_state = State::kFailed;
    throw CFileException(CFileException::diskFull, -1, *m_pFileName);
  }
}

void CArchiveWriter::putScalarFlushing(uint64_t value, std::size_t n) {
  uint8_t bytes[8];
  StoreLittleEndian(bytes, value, n);
  // A scalar is never split between two writes: flush first, and send it
  // alone when the buffer is smaller than it.
  Flush();
  if (m_nBufferSize < n) {
    writeFile(bytes, n);
    return;
  }
  std::memcpy(m_pBuffer + m_nFill, bytes, n);
  m_nFill += n;
}

void CArchiveWriter::PutBytes(const void* data, std::size_t n) {
  checkOpen();
  if (n == 0) return;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  std::size_t first = std::min(n, m_nBufferSize - m_nFill);
  std::memcpy(m_pBuffer + m_nFill, p, first);
  m_nFill += first;
  std::size_t rest = n - first;
  if (rest == 0) return;
  // The buffer is full: send it, then every whole buffer's worth of the
  // rest in one write, and keep the tail.
  m_nFill = 0;
  writeFile(m_pBuffer, m_nBufferSize);
  p += first;
  std::size_t blocks = rest - rest % m_nBufferSize;
  if (blocks > 0) writeFile(p, blocks);
  std::memcpy(m_pBuffer, p + blocks, rest - blocks);
  m_nFill = rest - blocks;
}

void CArchiveWriter::PutString(std::string_view text) {
  checkOpen();
  std::size_t length = text.size();
  if (length > UINT32_MAX) throw std::length_error("string too long to store");
  if (length <= kShortStringMax) {
    PutByte(static_cast<uint8_t>(length));
  } else if (length <= kWordStringMax) {
    PutByte(0xFF);
    PutWord(static_cast<uint16_t>(length));
  } else {
    PutByte(0xFF);
    PutWord(0xFFFF);
    PutDword(static_cast<uint32_t>(length));
  }
  PutBytes(text.data(), length);
}

uint8_t* CArchiveWriter::StoreCount(uint8_t* out, uint32_t n) {
  if (n <= kShortCountMax) return StoreWord(out, static_cast<uint16_t>(n));
  return StoreDword(StoreWord(out, 0xFFFF), n);
}

void CArchiveWriter::PutCount(uint32_t n) {
  if (n <= kShortCountMax) {
    PutWord(static_cast<uint16_t>(n));
  } else {
    PutWord(0xFFFF);
    PutDword(n);
  }
}

uint32_t CArchiveWriter::takeIndex() {
  if (m_nNextIndex >= m_nIndexLimit) {
    throw CArchiveException(CArchiveException::badIndex, *m_pFileName);
  }
  return m_nNextIndex++;
}

void CArchiveWriter::putIndexTag(uint32_t index, uint32_t long_flag,
                                 uint16_t short_flag) {
  if (index <= kMaxShortIndex) {
    PutWord(static_cast<uint16_t>(short_flag | index));
  } else {
    PutWord(kLongIndexTag);
    PutDword(long_flag | index);
  }
}

CArchiveWriter::CTag CArchiveWriter::ClassReference(
    const CClassRecord* record) const {
  const uint32_t index = m_classIndex.find(record);
  if (index == 0) {
    throw std::logic_error(std::string("class ") + record->m_lpszClassName +
                           " referred to before its definition");
  }
  return classTag(index);
}

void CArchiveWriter::throwLongName() {
  throw std::length_error("class name too long");
}

void CArchiveWriter::throwNoRoom() const {
  throw std::logic_error("a run longer than the buffer's room: " +
                         *m_pFileName);
}

void CArchiveWriter::throwNoIndices() const {
  throw std::logic_error("more indices taken than are left: " + *m_pFileName);
}

void CArchiveWriter::throwNotSupported(const CClassRecord* record) {
  throw CNotSupportedException(std::string("class ") + record->m_lpszClassName +
                               " cannot be stored");
}

void CArchiveWriter::PutClass(const CClassRecord* record) {
  checkOpen();
  if (record->m_wSchema == kNoSchema) throwNotSupported(record);
  const uint32_t found = m_classIndex.find(record);
  if (found != 0) {
    putIndexTag(found, kLongClassFlag, kShortClassFlag);
    return;
  }
  std::string_view name = record->m_lpszClassName;
  if (name.size() > 0xFFFF) throwLongName();
  PutWord(kNewClassTag);
  PutWord(record->m_wSchema);
  PutWord(static_cast<uint16_t>(name.size()));
  PutBytes(name.data(), name.size());
  // The class is numbered once its definition is out, before its object.
  m_classIndex.insert(record, takeIndex());
}

void CArchiveWriter::PutObject(const CObject* object) {
  checkOpen();
  if (object == nullptr) {
    PutWord(0);
    return;
  }
  const uint32_t found = m_objectIndex.find(object);
  if (found != 0) {
    putIndexTag(found, 0, 0);
    return;
  }
  PutClass(object->GetRuntimeClass());
  // Numbered before its body, so objects nested in the body come after it.
  m_objectIndex.insert(object, takeIndex());
  object->Serialize(*this);
}

void CArchiveWriter::PutNewObject(const CClassRecord* record) {
  PutClass(record);
  takeIndex();
}

void CArchiveWriter::Flush() {
  checkOpen();
  if (m_nFill == 0) return;
  std::size_t n = m_nFill;
  m_nFill = 0;  // dropped even if the write fails: nothing is retried
  writeFile(m_pBuffer, n);
}

void CArchiveWriter::Close() {
  if (m_state == State::kClosed) return;
  Flush();
  m_state = State::kClosed;
}

#ifndef SYMCONV_ARCHIVE_ARCHIVE_WRITER_H_
#define SYMCONV_ARCHIVE_ARCHIVE_WRITER_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "archive/little_endian.h"
#include "archive/object.h"
#include "archive/pointer_index.h"

class CWritableFile;

/// The binary encoder behind every .SML byte. It writes little-endian
/// scalars, length-prefixed strings, element counts and tagged object
/// references to one open file through a buffer, and numbers the classes
/// and objects it writes so that each class name is stored once per archive
/// and each object at most once (a second reference stores its index).
///
/// The caller owns the file: the writer never opens or closes it. Call
/// Close() when done, then close the file. Not copyable; one thread.
///
/// Failures: a file write that is rejected (CFileException from the file)
/// or stores fewer bytes than asked (CFileException diskFull, os error -1,
/// naming file_name) ends all writing: the buffered bytes are dropped, and
/// any later put, Flush or Close throws std::logic_error. Running out of
/// index numbers raises CArchiveException(badIndex); an object whose class
/// has schema 0xFFFF raises CNotSupportedException.
///
/// Destroyed before Close() (an error is passing, or the caller forgot):
/// the buffered bytes go to the file as Close() would send them, unless a
/// file error raised earlier forbids writing; a failure there is swallowed.
class CArchiveWriter {
 public:
  /// The largest index plus one that the numbering may reach by default.
  static constexpr uint32_t kDefaultIndexLimit = 0x3FFFFFFE;

  /// file_name names the file in error reports. buffer_size changes only
  /// where the writes to the file fall, never the bytes (0 counts as 1).
  /// index_limit: no class or object takes an index at or above it.
  CArchiveWriter(CWritableFile& file, std::string file_name,
                 std::size_t buffer_size = 4096,
                 uint32_t index_limit = kDefaultIndexLimit);
  /// The same, the file named by *file_name, which is not copied: a writer
  /// made for every small file then allocates nothing for its name. It must
  /// stay as it is while the writer lives.
  CArchiveWriter(CWritableFile& file, const std::string* file_name,
                 std::size_t buffer_size = 4096,
                 uint32_t index_limit = kDefaultIndexLimit);
  CArchiveWriter(const CArchiveWriter&) = delete;
  CArchiveWriter& operator=(const CArchiveWriter&) = delete;
  ~CArchiveWriter();

  void PutByte(uint8_t value) { putScalar(value, 1); }
  void PutWord(uint16_t value) { putScalar(value, 2); }
  void PutDword(uint32_t value) { putScalar(value, 4); }
  void PutDword(int32_t value) {  // two's complement
    putScalar(static_cast<uint32_t>(value), 4);
  }
  /// The eight bytes of the double unchanged (negative zero, NaN payloads).
  void PutDouble(double value) { putScalar(std::bit_cast<uint64_t>(value), 8); }
  /// A raw run of n bytes, no length.
  void PutBytes(const void* data, std::size_t n);
  /// Length (1, 3 or 7 bytes) then the bytes; no terminator, no conversion.
  void PutString(std::string_view text);
  /// u16, or u16 0xFFFF and u32 when n is 65535 or more.
  void PutCount(uint32_t n);
  /// Null, an index already given, or the class tag then a new index and
  /// the object's own Serialize.
  void PutObject(const CObject* object);
  /// The class's definition the first time, a class reference later.
  void PutClass(const CClassRecord* record);
  /// The tag of an object that no reference can reach twice (one held by
  /// value, written once): its class, then it takes the next index, as
  /// PutObject numbers a new object. The caller puts its body next.
  void PutNewObject(const CClassRecord* record);

  /// Runs of values stored by the caller straight into the buffer, for an
  /// encoder of many small objects of known layout. Room() bytes are free;
  /// BeginRun(n), n up to that, gives where they start, to be filled with
  /// the store routines of archive/little_endian.h and handed back with
  /// EndRun. Where a run would not fit, the caller puts the same values one
  /// by one instead, so that the writes to the file fall where they would
  /// (a scalar never spans two writes).
  std::size_t Room() const { return m_nBufferSize - m_nFill; }
  uint8_t* BeginRun(std::size_t n) {
    checkOpen();
    if (n > Room()) throwNoRoom();
    return m_pBuffer + m_nFill;
  }
  /// Takes the bytes stored from BeginRun's pointer up to end.
  void EndRun(const uint8_t* end) {
    m_nFill = static_cast<std::size_t>(end - m_pBuffer);
  }
  /// What PutClass writes for a class that it has defined before.
  struct CTag {
    uint8_t m_bytes[6];
    std::size_t m_nSize;  // 2, or 6 for a long index
  };
  /// The reference to record's class, which this archive must have defined
  /// already (std::logic_error otherwise).
  CTag ClassReference(const CClassRecord* record) const;
  /// The most bytes that StoreNewObject stores for a class whose name has
  /// name_length bytes.
  static constexpr std::size_t NewObjectTagSize(std::size_t name_length) {
    return 6 + name_length;
  }
  /// PutNewObject into a run: stores at out the tag of a new object of
  /// record's class (the class's definition the first time, its reference
  /// later) and numbers the class, when new, and then the object. *reference
  /// gets what ClassReference gives for the class from then on. Throws what
  /// PutNewObject throws before storing anything, the run's bytes then being
  /// lost; std::logic_error when fewer indices are left than it takes (two
  /// for a new class, else one). Inline, so that a class record known when
  /// compiled has its name stored as constants.
  uint8_t* StoreNewObject(uint8_t* out, const CClassRecord* record,
                          CTag* reference) {
    if (record->m_wSchema == kNoSchema) throwNotSupported(record);
    uint32_t index = m_classIndex.find(record);
    if (index != 0) {
      if (IndicesLeft() < 1) throwNoIndices();
      *reference = classTag(index);
      std::memcpy(out, reference->m_bytes, reference->m_nSize);
      out += reference->m_nSize;
    } else {
      // As PutClass defines it.
      const std::string_view name = record->m_lpszClassName;
      if (name.size() > 0xFFFF) throwLongName();
      if (IndicesLeft() < 2) throwNoIndices();
      out = StoreWord(out, kNewClassTag);
      out = StoreWord(out, record->m_wSchema);
      out = StoreWord(out, static_cast<uint16_t>(name.size()));
      std::memcpy(out, name.data(), name.size());
      out += name.size();
      index = m_nNextIndex++;
      m_classIndex.insert(record, index);
      *reference = classTag(index);
    }
    ++m_nNextIndex;  // the object's
    return out;
  }
  /// What PutCount puts for n, at most 6 bytes.
  static uint8_t* StoreCount(uint8_t* out, uint32_t n);
  /// How many more classes and objects may still be numbered.
  uint32_t IndicesLeft() const {
    return m_nNextIndex < m_nIndexLimit ? m_nIndexLimit - m_nNextIndex : 0;
  }
  /// Numbers n new objects whose tags were stored in a run, as
  /// PutNewObject numbers one; n must not exceed IndicesLeft().
  void TakeIndices(uint32_t n) {
    if (n > IndicesLeft()) throwNoIndices();
    m_nNextIndex += n;
  }
  /// The longest string stored after a one-byte length.
  static constexpr std::size_t kShortStringMax = 254;

  /// Sends the buffered bytes to the file in one write.
  void Flush();
  /// Flushes and lets go of the file; nothing may be put afterwards.
  void Close();

  const std::string& file_name() const { return *m_pFileName; }

 private:
  enum class State { kOpen, kClosed, kFailed };

  // Tags of the reference encoding.
  static constexpr uint16_t kNewClassTag = 0xFFFF;
  static constexpr uint16_t kLongIndexTag = 0x7FFF;  // a u32 index follows
  static constexpr uint32_t kMaxShortIndex = 0x7FFE;
  static constexpr uint16_t kShortClassFlag = 0x8000;
  static constexpr uint32_t kLongClassFlag = 0x80000000;
  static constexpr uint16_t kNoSchema = 0xFFFF;  // cannot be stored

  // Inline, as every scalar put passes here: the writer's time goes into
  // the many small puts of a symbol's coordinates.
  void checkOpen() const {
    if (m_state != State::kOpen) throwNotOpen();
  }
  [[noreturn]] void throwNotOpen() const;
  [[noreturn]] void throwNoRoom() const;
  [[noreturn]] void throwNoIndices() const;
  /// Stores the low n bytes of value, least significant first.
  void putScalar(uint64_t value, std::size_t n) {
    checkOpen();
    if (m_nBufferSize - m_nFill < n) {
      putScalarFlushing(value, n);
      return;
    }
    StoreLittleEndian(m_pBuffer + m_nFill, value, n);
    m_nFill += n;
  }
  /// putScalar when the buffer has no room for the value.
  void putScalarFlushing(uint64_t value, std::size_t n);
  void writeFile(const void* data, std::size_t n);
  /// Gives the next index, or throws at the index limit.
  uint32_t takeIndex();
  [[noreturn]] static void throwNotSupported(const CClassRecord* record);
  [[noreturn]] static void throwLongName();
  /// As putIndexTag writes a class reference.
  static CTag classTag(uint32_t index) {
    CTag tag{};
    if (index <= kMaxShortIndex) {
      StoreWord(tag.m_bytes, static_cast<uint16_t>(kShortClassFlag | index));
      tag.m_nSize = 2;
    } else {
      StoreDword(StoreWord(tag.m_bytes, kLongIndexTag), kLongClassFlag | index);
      tag.m_nSize = 6;
    }
    return tag;
  }
  void putIndexTag(uint32_t index, uint32_t long_flag, uint16_t short_flag);

  // The usual buffer is part of the writer, so that a writer made for
  // every small file allocates nothing for it.
  static constexpr std::size_t kOwnBufferSize = 4096;

  CWritableFile& m_file;
  std::string m_strOwnName;  // unless the name is held by the caller
  const std::string* m_pFileName;
  uint8_t* m_pBuffer;
  std::unique_ptr<uint8_t[]> m_pLargeBuffer;  // above kOwnBufferSize
  std::size_t m_nBufferSize;
  std::size_t m_nFill = 0;
  uint32_t m_nIndexLimit;
  uint32_t m_nNextIndex = 1;  // index 0 is the null reference
  State m_state = State::kOpen;
  // Classes and objects share one numbering but have their own maps, so
  // that no class record address can ever be mistaken for an object.
  CPointerIndex m_classIndex;
  CPointerIndex m_objectIndex;
  uint8_t m_ownBuffer[kOwnBufferSize];  // not zeroed: only bytes put are sent
};

#endif  // SYMCONV_ARCHIVE_ARCHIVE_WRITER_H_

#include "archive/archive_writer.h"

#include <bit>
#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/archive_exceptions.h"
#include "gtest/gtest.h"
#include "platform/exceptions.h"
#include "platform/platform.h"
#include "support/hex.h"

namespace {

/// Collects what the writer sends, write by write. A write can be made to
/// store only half its bytes or to throw.
class CMemoryFile : public CWritableFile {
 public:
  enum class Fault { kNone, kShort, kReject };

  std::size_t Write(const void* data, std::size_t n) override {
    ++m_nWrites;
    if (m_nWrites == m_nFaultAt && m_fault == Fault::kReject) {
      throw CFileException(CFileException::accessDenied, 5, "rejected");
    }
    std::size_t stored =
        (m_nWrites == m_nFaultAt && m_fault == Fault::kShort) ? n / 2 : n;
    m_strBytes.append(static_cast<const char*>(data), stored);
    m_chunks.push_back(n);
    return stored;
  }
  void Sync() override {}
  void Close() override {}

  void FailAt(int nth, Fault fault) {
    m_nFaultAt = nth;
    m_fault = fault;
  }

  std::string m_strBytes;
  std::vector<std::size_t> m_chunks;
  int m_nWrites = 0;

 private:
  int m_nFaultAt = 0;
  Fault m_fault = Fault::kNone;
};

// The bytes of a name, as hex, for expected class definitions.
std::string NameHex(const std::string& name) { return ToHex(name); }

// A storable class whose body is one byte.
class CItem : public CObject {
 public:
  explicit CItem(uint8_t value = 0) : m_value(value) {}
  const CClassRecord* GetRuntimeClass() const override { return &classCItem; }
  void Serialize(CArchiveWriter& ar) const override { ar.PutByte(m_value); }
  static const CClassRecord classCItem;
  uint8_t m_value;
};
const CClassRecord CItem::classCItem = {"CItem", 1};

// A storable class with an empty body.
class COther : public CObject {
 public:
  const CClassRecord* GetRuntimeClass() const override { return &classCOther; }
  static const CClassRecord classCOther;
};
const CClassRecord COther::classCOther = {"COther", 2};

// A storable class whose body references other objects.
class CHolder : public CObject {
 public:
  const CClassRecord* GetRuntimeClass() const override { return &classCHolder; }
  void Serialize(CArchiveWriter& ar) const override {
    for (CObject* child : m_children) ar.PutObject(child);
  }
  static const CClassRecord classCHolder;
  std::vector<CObject*> m_children;
};
const CClassRecord CHolder::classCHolder = {"CHolder", 1};

// Writes with a 4096-byte buffer, closes, and returns the file's bytes.
std::string Encode(const std::function<void(CArchiveWriter&)>& puts,
                   std::size_t buffer_size = 4096) {
  CMemoryFile file;
  CArchiveWriter ar(file, "T.SML", buffer_size);
  puts(ar);
  ar.Close();
  return file.m_strBytes;
}

TEST(ArchiveWriterTest, ScalarsAreLittleEndianAndDoublesBitExact) {
  struct Case {
    const char* what;
    std::function<void(CArchiveWriter&)> put;
    const char* hex;
  };
  const Case cases[] = {
      {"byte", [](CArchiveWriter& ar) { ar.PutByte(0xAB); }, "AB"},
      {"word", [](CArchiveWriter& ar) { ar.PutWord(0x1234); }, "34 12"},
      {"dword", [](CArchiveWriter& ar) { ar.PutDword(uint32_t{0x89ABCDEF}); },
       "EF CD AB 89"},
      {"negative int", [](CArchiveWriter& ar) { ar.PutDword(int32_t{-2}); },
       "FE FF FF FF"},
      {"negative zero", [](CArchiveWriter& ar) { ar.PutDouble(-0.0); },
       "00 00 00 00 00 00 00 80"},
      {"0.15", [](CArchiveWriter& ar) { ar.PutDouble(0.15); },
       "33 33 33 33 33 33 C3 3F"},
      {"-1.0", [](CArchiveWriter& ar) { ar.PutDouble(-1.0); },
       "00 00 00 00 00 00 F0 BF"},
      {"NaN payload",
       [](CArchiveWriter& ar) {
         ar.PutDouble(std::bit_cast<double>(uint64_t{0xFFF8000000000123}));
       },
       "23 01 00 00 00 00 F8 FF"},
      {"raw bytes", [](CArchiveWriter& ar) { ar.PutBytes("\x01\xFF\x00", 3); },
       "01 FF 00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToHex(Encode(c.put)), c.hex) << c.what;
  }
}

TEST(ArchiveWriterTest, StringLengthForms) {
  struct Case {
    std::size_t length;
    const char* prefix;
  };
  const Case cases[] = {
      {0, "00"},
      {254, "FE"},
      {255, "FF FF 00"},
      {65533, "FF FD FF"},
      {65534, "FF FF FF FE FF 00 00"},
      {65535, "FF FF FF FF FF 00 00"},
  };
  for (const Case& c : cases) {
    std::string text(c.length, '\0');
    for (std::size_t i = 0; i < c.length; ++i) {
      text[i] = static_cast<char>(i * 7);  // NULs and 0xFF bytes included
    }
    std::string bytes = Encode([&](CArchiveWriter& ar) { ar.PutString(text); });
    EXPECT_EQ(bytes, FromHex(c.prefix) + text) << "length " << c.length;
  }
}

TEST(ArchiveWriterTest, CountForms) {
  struct Case {
    uint32_t count;
    const char* hex;
  };
  const Case cases[] = {
      {0, "00 00"},
      {65534, "FE FF"},
      {65535, "FF FF FF FF 00 00"},
      {0x12345678, "FF FF 78 56 34 12"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToHex(Encode([&](CArchiveWriter& ar) { ar.PutCount(c.count); })),
              c.hex)
        << c.count;
    uint8_t run[6];
    const uint8_t* end = CArchiveWriter::StoreCount(run, c.count);
    const uint8_t* begin = run;
    EXPECT_EQ(ToHex(std::string(begin, end)), c.hex) << c.count;
  }
}

// New objects stored in a run take the tags and numbers that putting them
// gives, and are refused alike.
TEST(ArchiveWriterTest, NewObjectsStoredInARunAsPut) {
  const CClassRecord* classes[] = {&CItem::classCItem, &COther::classCOther,
                                   &CItem::classCItem};
  const std::string put = Encode([&](CArchiveWriter& ar) {
    for (const CClassRecord* c : classes) ar.PutNewObject(c);
    ar.PutClass(&COther::classCOther);
  });
  CMemoryFile file;
  CArchiveWriter ar(file, "T.SML", 4096, 8);  // indices 1 to 7
  uint8_t* out = ar.BeginRun(64);
  CArchiveWriter::CTag tag;
  EXPECT_THROW(ar.StoreNewObject(out, &CObject::classCObject, &tag),
               CNotSupportedException);
  for (const CClassRecord* c : classes) out = ar.StoreNewObject(out, c, &tag);
  EXPECT_EQ(ToHex(std::string(tag.m_bytes, tag.m_bytes + tag.m_nSize)),
            "01 80");
  ar.EndRun(out);
  ar.PutClass(&COther::classCOther);
  ar.Close();
  EXPECT_EQ(ToHex(file.m_strBytes), ToHex(put));
  // Indices 1 to 3: CItem and its object take two; COther and its object
  // would take two more, another CItem object one.
  CArchiveWriter few(file, "T.SML", 4096, 4);
  out = few.StoreNewObject(few.BeginRun(64), &CItem::classCItem, &tag);
  EXPECT_THROW(few.StoreNewObject(out, &COther::classCOther, &tag),
               std::logic_error);
  out = few.StoreNewObject(out, &CItem::classCItem, &tag);
  EXPECT_THROW(few.StoreNewObject(out, &CItem::classCItem, &tag),
               std::logic_error);
}

TEST(ArchiveWriterTest, ClassesAndObjectsShareOneNumbering) {
  CItem a(0x11), b(0x22), c(0x33);
  CHolder holder;
  holder.m_children = {&c, &a, nullptr};
  std::string bytes = Encode([&](CArchiveWriter& ar) {
    ar.PutObject(&a);       // class CItem 1, a 2
    ar.PutObject(&b);       // b 3
    ar.PutObject(&a);       // a again: its index only
    ar.PutObject(nullptr);  // null
    ar.PutClass(&CItem::classCItem);
    ar.PutObject(&holder);  // class CHolder 4, holder 5, then its body
    ar.PutObject(&holder);
    ar.PutObject(&c);
  });
  std::string expected = "FF FF 01 00 05 00 " + NameHex("CItem") + " 11 " +
                         "01 80 22 " + "02 00 " + "00 00 " + "01 80 " +
                         "FF FF 01 00 07 00 " + NameHex("CHolder") + " " +
                         "01 80 33 " +  // c takes 6 inside the body
                         "02 00 00 00 " + "05 00 " + "06 00";
  EXPECT_EQ(ToHex(bytes), ToHex(FromHex(expected)));
}

// The first few numbered objects are held apart from the rest: each of
// them, and each later one, must be found again however many follow.
TEST(ArchiveWriterTest, EveryObjectIsFoundAgainHoweverManyFollow) {
  for (const std::size_t count : {3, 8, 9, 100}) {
    std::vector<CItem> items(count);
    const std::string bytes = Encode([&](CArchiveWriter& ar) {
      for (const CItem& item : items) ar.PutObject(&item);
      for (const CItem& item : items) ar.PutObject(&item);
    });
    // CItem takes index 1, the items 2 to count + 1.
    std::string again;
    for (std::size_t i = 0; i < count; ++i) {
      again += static_cast<char>(i + 2);
      again += '\0';
    }
    ASSERT_GE(bytes.size(), again.size());
    EXPECT_EQ(ToHex(bytes.substr(bytes.size() - again.size())), ToHex(again))
        << count << " objects";
  }
}

TEST(ArchiveWriterTest, IndicesFrom0x7FFFTakeTheLongForm) {
  struct Case {
    std::size_t fillers;  // CItem objects, taking 2 .. fillers + 1
    const char* tail;     // after COther's definition
  };
  const Case cases[] = {
      // COther takes 0x7FFE, first 0x7FFF, second 0x8000.
      {0x7FFC,
       "FE FF "               // second object: short class reference
       "FF 7F FF 7F 00 00 "   // first object again: long object index
       "FD 7F "               // last filler
       "FF 7F 00 80 00 00"},  // second object again
      // COther takes 0x7FFF, first 0x8000, second 0x8001.
      {0x7FFD,
       "FF 7F FF 7F 00 80 "  // long class reference, top bit set
       "FF 7F 00 80 00 00 "
       "FE 7F "
       "FF 7F 01 80 00 00"},
  };
  for (const Case& c : cases) {
    std::vector<CItem> fillers(c.fillers);
    COther first, second;
    CMemoryFile file;
    CArchiveWriter ar(file, "T.SML");
    for (CItem& item : fillers) ar.PutObject(&item);
    ar.Flush();
    std::size_t start = file.m_strBytes.size();
    ar.PutObject(&first);
    ar.PutObject(&second);
    ar.PutObject(&first);
    ar.PutObject(&fillers.back());
    ar.PutObject(&second);
    ar.Close();
    std::string expected =
        "FF FF 02 00 06 00 " + NameHex("COther") + " " + c.tail;
    EXPECT_EQ(ToHex(file.m_strBytes.substr(start)), ToHex(FromHex(expected)))
        << c.fillers << " fillers";
  }
}

TEST(ArchiveWriterTest, IndexLimitRaisesBadIndexAndNumbersNothing) {
  // CItem takes 1 and its object 2; COther's definition then reaches the
  // limit either for the class (3) or for its object (4). Putting the class
  // again shows whether it was numbered.
  struct Case {
    uint32_t limit;
    const char* class_again;
    bool again_throws;
  };
  const std::string prefix = "FF FF 01 00 05 00 " + NameHex("CItem") +
                             " 11 FF FF 02 00 06 00 " + NameHex("COther");
  const Case cases[] = {
      {3, "FF FF 02 00 06 00 ", true},
      {4, "03 80", false},
  };
  for (const Case& c : cases) {
    CItem item(0x11);
    COther other;
    CMemoryFile file;
    {
      CArchiveWriter ar(file, "C:\\OUT.SML", 4096, c.limit);
      ar.PutObject(&item);
      try {
        ar.PutObject(&other);
        ADD_FAILURE() << "no exception at limit " << c.limit;
      } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
        EXPECT_EQ(e.m_strFileName, "C:\\OUT.SML");
      }
      if (c.again_throws) {
        EXPECT_THROW(ar.PutClass(&COther::classCOther), CArchiveException);
      } else {
        ar.PutClass(&COther::classCOther);
      }
      // Destroyed without Close: not a file failure, so the bytes go out.
    }
    std::string expected = prefix + " " + c.class_again;
    if (c.again_throws) expected += NameHex("COther");
    EXPECT_EQ(ToHex(file.m_strBytes), ToHex(FromHex(expected)))
        << "limit " << c.limit;
  }
}

TEST(ArchiveWriterTest, RootObjectIsRefusedAndWritesNothing) {
  CObject plain;
  CMemoryFile file;
  CArchiveWriter ar(file, "T.SML");
  EXPECT_THROW(ar.PutObject(&plain), CNotSupportedException);
  EXPECT_THROW(ar.PutClass(&CObject::classCObject), CNotSupportedException);
  // The numbering is untouched: the next class still takes index 1.
  ar.PutClass(&COther::classCOther);
  ar.PutClass(&COther::classCOther);
  ar.Close();
  EXPECT_EQ(ToHex(file.m_strBytes),
            "FF FF 02 00 06 00 " + NameHex("COther") + " 01 80");
}

TEST(ArchiveWriterTest, BufferSizeNeverChangesTheBytes) {
  std::string long_text(10000, 'x');
  std::string block(5000, '\x5A');
  CItem a(1), b(2);
  CHolder holder;
  holder.m_children = {&a, &b, &a};
  auto puts = [&](CArchiveWriter& ar) {
    ar.PutByte(7);
    ar.PutString("KROWinSymbol1");
    ar.PutDouble(-0.0);
    ar.PutBytes(block.data(), block.size());
    ar.PutWord(0xBEEF);
    ar.PutString(long_text);
    ar.PutObject(&holder);
    ar.PutCount(70000);
    ar.PutDword(int32_t{-1});
    ar.PutBytes(block.data(), 3);
  };
  const std::string reference = Encode(puts, 4096);
  // The holder: its definition (13), a with CItem's definition (11 + 1),
  // b with a class reference (2 + 1), a again (2).
  const std::size_t holder_size = 13 + 12 + 3 + 2;
  EXPECT_EQ(reference.size(),
            1u + 14 + 8 + 5000 + 2 + 3 + 10000 + holder_size + 6 + 4 + 3);
  for (std::size_t size : {1, 2, 3, 7, 8, 9, 64, 4095, 4097, 20000}) {
    EXPECT_EQ(Encode(puts, size), reference) << "buffer " << size;
  }
}

TEST(ArchiveWriterTest, WritesFallOnBufferBoundaries) {
  struct Case {
    const char* what;
    std::size_t buffer;
    std::function<void(CArchiveWriter&)> put;
    std::vector<std::size_t> chunks;
  };
  const std::string bytes(13, 'b');
  const Case cases[] = {
      {"scalars are flushed whole, too large ones go alone",
       7,
       [](CArchiveWriter& ar) {
         ar.PutDword(uint32_t{1});
         ar.PutDword(uint32_t{2});
         ar.PutByte(3);
         ar.PutDouble(4.0);
       },
       {4, 5, 8}},
      {"a block fills the buffer, then whole buffers, then the rest",
       4,
       [&](CArchiveWriter& ar) {
         ar.PutByte(1);
         ar.PutBytes(bytes.data(), 13);
       },
       {4, 8, 2}},
      {"a block that fits stays in the buffer",
       4,
       [&](CArchiveWriter& ar) {
         ar.PutByte(1);
         ar.PutBytes(bytes.data(), 3);
       },
       {4}},
      {"nothing put, nothing written", 4, [](CArchiveWriter&) {}, {}},
  };
  for (const Case& c : cases) {
    CMemoryFile file;
    CArchiveWriter ar(file, "T.SML", c.buffer);
    c.put(ar);
    ar.Close();
    EXPECT_EQ(file.m_chunks, c.chunks) << c.what;
  }
}

TEST(ArchiveWriterTest, FileFailureIsRaisedOnceThenNothingIsWritten) {
  struct Case {
    CMemoryFile::Fault fault;
    int cause;
    long os_error;
    const char* stored;  // what reached the file
  };
  const Case cases[] = {
      {CMemoryFile::Fault::kShort, CFileException::diskFull, -1,
       "01 00 00 00 02 00"},
      {CMemoryFile::Fault::kReject, CFileException::accessDenied, 5,
       "01 00 00 00"},
  };
  for (const Case& c : cases) {
    CMemoryFile file;
    file.FailAt(2, c.fault);
    {
      CArchiveWriter ar(file, "C:\\OUT.SML", 4);
      ar.PutDword(uint32_t{1});
      ar.PutDword(uint32_t{2});  // first write
      try {
        ar.PutDword(uint32_t{3});  // second write fails
        ADD_FAILURE() << "no file error";
      } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, c.cause);
        EXPECT_EQ(e.m_lOsError, c.os_error);
        if (c.fault == CMemoryFile::Fault::kShort) {
          EXPECT_EQ(e.m_strFileName, "C:\\OUT.SML");
        }
      }
      // The writer is dead: nothing more goes out, not even on destruction.
      EXPECT_THROW(ar.PutByte(4), std::logic_error);
      EXPECT_THROW(ar.Flush(), std::logic_error);
      EXPECT_THROW(ar.Close(), std::logic_error);
    }
    EXPECT_EQ(file.m_nWrites, 2);
    EXPECT_EQ(ToHex(file.m_strBytes), c.stored);
  }
}

TEST(ArchiveWriterTest, DestructionWritesTheBufferUnlessTheFileFailed) {
  struct Case {
    const char* what;
    std::function<void(CArchiveWriter&, CMemoryFile&)> run;
    int writes;
    const char* stored;
  };
  const Case cases[] = {
      {"forgotten Close",
       [](CArchiveWriter& ar, CMemoryFile&) { ar.PutByte(1); }, 1, "01"},
      {"other error passing",
       [](CArchiveWriter& ar, CMemoryFile&) {
         ar.PutByte(1);
         throw std::runtime_error("not a file error");
       },
       1, "01"},
      {"failing flush while another error passes",
       [](CArchiveWriter& ar, CMemoryFile& file) {
         ar.PutByte(1);
         file.FailAt(1, CMemoryFile::Fault::kReject);
         throw std::runtime_error("not a file error");
       },
       1, ""},
      {"closed before",
       [](CArchiveWriter& ar, CMemoryFile&) {
         ar.PutByte(1);
         ar.Close();
         ar.Close();
       },
       1, "01"},
  };
  for (const Case& c : cases) {
    CMemoryFile file;
    try {
      CArchiveWriter ar(file, "T.SML");
      c.run(ar, file);
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "not a file error") << c.what;
    }
    EXPECT_EQ(file.m_nWrites, c.writes) << c.what;
    EXPECT_EQ(ToHex(file.m_strBytes), c.stored) << c.what;
  }
}

}  // namespace

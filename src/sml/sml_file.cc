#include "sml/sml_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "archive/archive_writer.h"
#include "archive/little_endian.h"
#include "platform/exceptions.h"
#include "platform/platform.h"
#include "platform/replacing_file.h"

namespace {

constexpr std::size_t kExtensionLength = 4;  // ".SYM"

constexpr char kSmlMagic[] = "KROWinSymbol1";

// The constant block between the size and the origin point (fields 14 to
// 24): the same 133 bytes in every file. Out is an archive, or
// CStaticBytes to have the bytes made once.
template <class Out>
constexpr void writeConstantBlock(Out& ar) {
  ar.PutString("111111");
  ar.PutDword(uint32_t{0});
  for (int entry = 0; entry < 6; ++entry) {
    ar.PutDword(uint32_t{0});
    ar.PutString("");
    ar.PutString("");
    ar.PutDword(uint32_t{2});
  }
  ar.PutDword(uint32_t{0});
  ar.PutString("");
  ar.PutString("TL");
  ar.PutDouble(0.15);
  ar.PutDword(uint32_t{0});
  ar.PutString("");
  ar.PutString("");
  for (int i = 0; i < 5; ++i) ar.PutDouble(0.0);
}

// The bytes an archive would store for a few fixed values, made at compile
// time: a long string or a put past N stops the build.
template <std::size_t N>
struct CStaticBytes {
  constexpr void PutDword(uint32_t value) { put(value, 4); }
  constexpr void PutDouble(double value) {
    put(std::bit_cast<uint64_t>(value), 8);
  }
  // Short strings only: a one-byte length, then the text.
  constexpr void PutString(std::string_view text) {
    if (text.size() > CArchiveWriter::kShortStringMax) throw "long string";
    put(text.size(), 1);
    for (char c : text) put(static_cast<uint8_t>(c), 1);
  }
  constexpr void put(uint64_t value, std::size_t n) {
    if (size + n > N) throw "more bytes than room";
    StoreLittleEndian(bytes.data() + size, value, n);
    size += n;
  }

  std::array<uint8_t, N> bytes{};
  std::size_t size = 0;
};

constexpr std::size_t kConstantBlockSize = 133;
constexpr CStaticBytes<kConstantBlockSize> kConstantBlock = [] {
  CStaticBytes<kConstantBlockSize> block;
  writeConstantBlock(block);
  return block;
}();
static_assert(kConstantBlock.size == kConstantBlockSize);

}  // namespace

namespace {

std::string_view withoutExtension(std::string_view source_path) {
  if (source_path.size() <= kExtensionLength) return {};
  return source_path.substr(0, source_path.size() - kExtensionLength);
}

// A view into source_path: made for every file written.
std::string_view symbolNameOf(std::string_view source_path, char separator) {
  std::string_view base = withoutExtension(source_path);
  std::size_t last = base.rfind(separator);
  return last == std::string_view::npos ? base : base.substr(last + 1);
}

}  // namespace

std::string WithoutExtension(const std::string& source_path) {
  return std::string(withoutExtension(source_path));
}

std::string SmlOutputPath(const std::string& source_path) {
  constexpr std::string_view extension = ".SML";
  const std::string_view base = withoutExtension(source_path);
  std::string path;
  path.reserve(base.size() + extension.size());
  path.append(base).append(extension);
  return path;
}

std::string SmlSymbolName(const std::string& source_path, char separator) {
  return std::string(symbolNameOf(source_path, separator));
}

std::string_view SmlSymbolNameOf(std::string_view source_path, char separator) {
  return symbolNameOf(source_path, separator);
}

namespace {

constexpr std::size_t kWordSize = 2;
constexpr std::size_t kDwordSize = 4;
constexpr std::size_t kDoubleSize = 8;
constexpr std::size_t kPointSize = 3 * kDoubleSize;
constexpr std::size_t kMaxTagSize = sizeof CArchiveWriter::CTag::m_bytes;

uint8_t* storePoint(uint8_t* out, const CPrecisionPoint& point) {
  out = StoreDouble(out, point.x);
  out = StoreDouble(out, point.y);
  return StoreDouble(out, point.z);
}

// Whole: the run's room covers the longest tag.
uint8_t* storeTag(uint8_t* out, const CArchiveWriter::CTag& tag) {
  std::memcpy(out, tag.m_bytes, kMaxTagSize);
  return out + tag.m_nSize;
}

uint8_t* storeShortString(uint8_t* out, std::string_view text) {
  *out++ = static_cast<uint8_t>(text.size());
  if (text.empty()) return out;  // its data may be null
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

void writeHead(CArchiveWriter& ar, std::string_view symbol_name) {
  constexpr std::string_view magic = kSmlMagic;
  const std::size_t size =
      1 + magic.size() + 1 + symbol_name.size() + 1 + kDwordSize;
  if (symbol_name.size() <= CArchiveWriter::kShortStringMax &&
      size <= ar.Room()) {
    uint8_t* out = ar.BeginRun(size);
    out = storeShortString(out, magic);
    out = storeShortString(out, symbol_name);
    out = storeShortString(out, "");
    ar.EndRun(StoreDword(out, 0));
    return;
  }
  ar.PutString(magic);
  ar.PutString(symbol_name);
  ar.PutString("");
  ar.PutDword(uint32_t{0});
}

// Fields after the three lists; the same for both forms of a symbol.
template <class Symbol>
void writeTail(CArchiveWriter& ar, const Symbol& symbol) {
  const double height = symbol.maxY - symbol.minY;
  const double width = symbol.maxX - symbol.minX;
  constexpr std::size_t size =
      6 * kDoubleSize + kConstantBlockSize + kPointSize;
  if (size <= ar.Room()) {
    uint8_t* out = ar.BeginRun(size);
    out = StoreDouble(out, symbol.minX);
    out = StoreDouble(out, symbol.minY);
    out = StoreDouble(out, symbol.maxX);
    out = StoreDouble(out, symbol.maxY);
    out = StoreDouble(out, height);
    out = StoreDouble(out, width);
    std::memcpy(out, kConstantBlock.bytes.data(), kConstantBlockSize);
    ar.EndRun(storePoint(out + kConstantBlockSize, symbol.origin));
    return;
  }
  ar.PutDouble(symbol.minX);
  ar.PutDouble(symbol.minY);
  ar.PutDouble(symbol.maxX);
  ar.PutDouble(symbol.maxY);
  ar.PutDouble(height);
  ar.PutDouble(width);
  writeConstantBlock(ar);
  // The origin point is a bare field sequence: no tag, no index.
  symbol.origin.Serialize(ar);
}

// A point of an arc's or a circle's point list, tagged as the list's
// elements are.
void putListedPoint(CArchiveWriter& ar, const CPrecisionPoint& point) {
  ar.PutNewObject(&CPrecisionPoint::classCPrecisionPoint);
  point.Serialize(ar);
}

// What the lists of CSymbol write through PutObject, object by object:
// nothing here is referred to twice, so every object is new.
void putLine(CArchiveWriter& ar, const CLine& line) {
  ar.PutNewObject(&CLine::classCLine);
  line.Serialize(ar);
}

void putArc(CArchiveWriter& ar, const CFlatSymbol::CArcShape& arc) {
  ar.PutNewObject(&CArc::classCArc);
  ar.PutCount(2);
  putListedPoint(ar, arc.centre);
  putListedPoint(ar, arc.angles);
}

void putCircle(CArchiveWriter& ar, const CFlatSymbol::CCircleShape& circle) {
  ar.PutNewObject(&CCircle::classCCircle);
  ar.PutDouble(circle.radius);
  ar.PutCount(1);
  putListedPoint(ar, circle.centre);
}

constexpr const CClassRecord* kPointClass =
    &CPrecisionPoint::classCPrecisionPoint;

// The most that the tag of the first object of a class takes.
constexpr std::size_t newObjectTagSize(const CClassRecord& record) {
  return CArchiveWriter::NewObjectTagSize(
      std::string_view(record.m_lpszClassName).size());
}

// The same as the put routines above, stored in a run: the first shape of a
// list through the archive, which numbers it and defines its classes or
// refers to them, and the rest with the tags that it gives for them, the
// caller numbering them. kFirstIndices: the most that the first takes.
struct CLineStore {
  static constexpr std::size_t kBodySize = kDwordSize + 2 * kPointSize;
  static constexpr std::size_t kMaxSize = kMaxTagSize + kBodySize;
  static constexpr std::size_t kMaxFirstSize =
      newObjectTagSize(CLine::classCLine) + kBodySize;
  static constexpr uint32_t kObjects = 1;
  static constexpr uint32_t kFirstIndices = 2;
  uint8_t* First(CArchiveWriter& ar, uint8_t* out, const CLine& line) {
    return body(ar.StoreNewObject(out, &CLine::classCLine, &m_line), line);
  }
  // The tags, once the first shape has been put through the archive.
  void Refer(const CArchiveWriter& ar) {
    m_line = ar.ClassReference(&CLine::classCLine);
  }
  uint8_t* operator()(uint8_t* out, const CLine& line) const {
    return body(storeTag(out, m_line), line);
  }
  static uint8_t* body(uint8_t* out, const CLine& line) {
    out = StoreDword(out, static_cast<uint32_t>(line.attribute));
    out = storePoint(out, line.start);
    return storePoint(out, line.end);
  }
  CArchiveWriter::CTag m_line;
};

struct CArcStore {
  static constexpr std::size_t kMaxSize =
      kMaxTagSize + kWordSize + 2 * (kMaxTagSize + kPointSize);
  static constexpr std::size_t kMaxFirstSize =
      newObjectTagSize(CArc::classCArc) + kWordSize +
      2 * (newObjectTagSize(*kPointClass) + kPointSize);
  static constexpr uint32_t kObjects = 3;
  static constexpr uint32_t kFirstIndices = 5;
  uint8_t* First(CArchiveWriter& ar, uint8_t* out,
                 const CFlatSymbol::CArcShape& arc) {
    out = StoreWord(ar.StoreNewObject(out, &CArc::classCArc, &m_arc), 2);
    out = storePoint(ar.StoreNewObject(out, kPointClass, &m_point), arc.centre);
    // The point class is defined by now: a reference, and the next index.
    ar.TakeIndices(1);
    return storePoint(storeTag(out, m_point), arc.angles);
  }
  void Refer(const CArchiveWriter& ar) {
    m_arc = ar.ClassReference(&CArc::classCArc);
    m_point = ar.ClassReference(kPointClass);
  }
  uint8_t* operator()(uint8_t* out, const CFlatSymbol::CArcShape& arc) const {
    out = storeTag(out, m_arc);
    out = StoreWord(out, 2);
    out = storePoint(storeTag(out, m_point), arc.centre);
    return storePoint(storeTag(out, m_point), arc.angles);
  }
  CArchiveWriter::CTag m_arc;
  CArchiveWriter::CTag m_point;
};

struct CCircleStore {
  static constexpr std::size_t kMaxSize =
      kMaxTagSize + kDoubleSize + kWordSize + kMaxTagSize + kPointSize;
  static constexpr std::size_t kMaxFirstSize =
      newObjectTagSize(CCircle::classCCircle) + kDoubleSize + kWordSize +
      newObjectTagSize(*kPointClass) + kPointSize;
  static constexpr uint32_t kObjects = 2;
  static constexpr uint32_t kFirstIndices = 4;
  uint8_t* First(CArchiveWriter& ar, uint8_t* out,
                 const CFlatSymbol::CCircleShape& circle) {
    out = ar.StoreNewObject(out, &CCircle::classCCircle, &m_circle);
    out = StoreWord(StoreDouble(out, circle.radius), 1);
    return storePoint(ar.StoreNewObject(out, kPointClass, &m_point),
                      circle.centre);
  }
  void Refer(const CArchiveWriter& ar) {
    m_circle = ar.ClassReference(&CCircle::classCCircle);
    m_point = ar.ClassReference(kPointClass);
  }
  uint8_t* operator()(uint8_t* out,
                      const CFlatSymbol::CCircleShape& circle) const {
    out = storeTag(out, m_circle);
    out = StoreDouble(out, circle.radius);
    out = StoreWord(out, 1);
    return storePoint(storeTag(out, m_point), circle.centre);
  }
  CArchiveWriter::CTag m_circle;
  CArchiveWriter::CTag m_point;
};

// Writes shapes[from..] in runs of as many as the buffer's room and the
// numbering allow; a shape that fits in neither is put value by value, so
// that it flushes the buffer or meets the index limit as the generic path
// does.
template <class Shape, class Store, class Put>
void writeRest(CArchiveWriter& ar, const std::vector<Shape>& shapes,
               std::size_t from, const Store& store, Put put) {
  std::size_t i = from;
  while (i < shapes.size()) {
    const std::size_t run =
        std::min({shapes.size() - i, ar.Room() / Store::kMaxSize,
                  std::size_t{ar.IndicesLeft() / Store::kObjects}});
    if (run == 0) {
      put(ar, shapes[i++]);
      continue;
    }
    uint8_t* out = ar.BeginRun(run * Store::kMaxSize);
    const Shape* shape = shapes.data() + i;
    for (const Shape* end = shape + run; shape != end; ++shape) {
      out = store(out, *shape);
    }
    i += run;
    ar.TakeIndices(static_cast<uint32_t>(run * Store::kObjects));
    ar.EndRun(out);
  }
}

// The most bytes a count takes.
constexpr std::size_t kMaxCountSize = kWordSize + kDwordSize;

// A list as CSymbol's lists write it: the count and the first shape, which
// defines its classes, then the rest with the tags of those definitions.
// The count and the first shape go in one run where the room and the
// numbering allow, and else value by value, as for the rest.
template <class Shape, class Store, class Put>
void writeList(CArchiveWriter& ar, const std::vector<Shape>& shapes,
               Store store, Put put) {
  if (shapes.size() > UINT32_MAX) {
    throw std::length_error("too many elements to store in one array");
  }
  const auto n = static_cast<uint32_t>(shapes.size());
  if (n == 0) {
    ar.PutCount(0);
    return;
  }
  constexpr std::size_t first_size = kMaxCountSize + Store::kMaxFirstSize;
  if (first_size <= ar.Room() && ar.IndicesLeft() >= Store::kFirstIndices) {
    uint8_t* out = CArchiveWriter::StoreCount(ar.BeginRun(first_size), n);
    ar.EndRun(store.First(ar, out, shapes[0]));
  } else {
    ar.PutCount(n);
    put(ar, shapes[0]);
    store.Refer(ar);
  }
  writeRest(ar, shapes, 1, store, put);
}

}  // namespace

void WriteShapeLists(CArchiveWriter& ar, const CFlatSymbol& symbol) {
  writeList(ar, symbol.lines, CLineStore{}, putLine);
  writeList(ar, symbol.arcs, CArcStore{}, putArc);
  writeList(ar, symbol.circles, CCircleStore{}, putCircle);
}

void WriteSmlContents(CArchiveWriter& ar, std::string_view symbol_name,
                      const CSymbol& symbol) {
  writeHead(ar, symbol_name);
  // Classes and objects are numbered in this order: lines, arcs, circles.
  symbol.lines.Serialize(ar);
  symbol.arcs.Serialize(ar);
  symbol.circles.Serialize(ar);
  writeTail(ar, symbol);
}

void WriteSmlContents(CArchiveWriter& ar, std::string_view symbol_name,
                      const CFlatSymbol& symbol) {
  writeHead(ar, symbol_name);
  WriteShapeLists(ar, symbol);
  writeTail(ar, symbol);
}

namespace {

// The symbol name is the same from the output path as from the source: the
// two differ in their last four characters only.
template <class Symbol>
void writeSmlFile(CPlatform& platform, const std::string& output_path,
                  const Symbol& symbol, CPublishQueue* queue) {
  // Written under a temporary name and renamed over an earlier file only
  // when complete: a failure leaves the earlier file as it was.
  CReplacingFile file(platform, output_path, queue);
  CArchiveWriter ar(file, &output_path);
  WriteSmlContents(ar, symbolNameOf(output_path, platform.PathSeparator()),
                   symbol);
  ar.Close();
  file.Close();
}

}  // namespace

void WriteSmlFile(CPlatform& platform, const std::string& source_path,
                  const CSymbol& symbol, CPublishQueue* queue) {
  writeSmlFile(platform, SmlOutputPath(source_path), symbol, queue);
}

void WriteSmlFile(CPlatform& platform, const std::string& source_path,
                  const CFlatSymbol& symbol, CPublishQueue* queue) {
  writeSmlFile(platform, SmlOutputPath(source_path), symbol, queue);
}

void WriteSmlFileAt(CPlatform& platform, const std::string& output_path,
                    const CSymbol& symbol, CPublishQueue* queue) {
  writeSmlFile(platform, output_path, symbol, queue);
}

void WriteSmlFileAt(CPlatform& platform, const std::string& output_path,
                    const CFlatSymbol& symbol, CPublishQueue* queue) {
  writeSmlFile(platform, output_path, symbol, queue);
}

bool StartsLikeSmlFile(std::string_view bytes) {
  // The magic as the archive stores a short string: its length, then it.
  const std::string magic =
      static_cast<char>(sizeof kSmlMagic - 1) + std::string(kSmlMagic);
  const std::size_t n = std::min(bytes.size(), magic.size());
  return bytes.substr(0, n) == std::string_view(magic).substr(0, n);
}

namespace {

// Collects an archive's bytes in memory, and where its writes fall.
class CByteSink : public CWritableFile {
 public:
  CByteSink(std::string& bytes, std::vector<std::size_t>& writes)
      : m_bytes(bytes), m_writes(writes) {}
  std::size_t Write(const void* data, std::size_t n) override {
    m_bytes.append(static_cast<const char*>(data), n);
    m_writes.push_back(n);
    return n;
  }
  void Sync() override {}
  void Close() override {}

 private:
  std::string& m_bytes;
  std::vector<std::size_t>& m_writes;
};

// The archive's buffer size: the writes to the file fall where they fall
// when the symbol is encoded straight into it.
constexpr std::size_t kArchiveBuffer = 4096;

template <class Symbol>
std::string encodeSmlFile(const std::string& symbol_name, const Symbol& symbol,
                          std::vector<std::size_t>* writes) {
  std::string bytes;
  writes->clear();
  CByteSink sink(bytes, *writes);
  CArchiveWriter ar(sink, symbol_name, kArchiveBuffer);
  WriteSmlContents(ar, symbol_name, symbol);
  ar.Close();
  return bytes;
}

}  // namespace

std::string EncodeSmlFile(const std::string& symbol_name, const CSymbol& symbol,
                          std::vector<std::size_t>* writes) {
  return encodeSmlFile(symbol_name, symbol, writes);
}

std::string EncodeSmlFile(const std::string& symbol_name,
                          const CFlatSymbol& symbol,
                          std::vector<std::size_t>* writes) {
  return encodeSmlFile(symbol_name, symbol, writes);
}

namespace {

/// The archive's writes, one by one, and its failure for a short one.
void writeInTurn(CReplacingFile& file, const std::string& bytes,
                 const std::vector<std::size_t>& writes) {
  std::size_t at = 0;
  for (std::size_t n : writes) {
    if (n > bytes.size() - at) break;
    if (n != 0 && file.Write(bytes.data() + at, n) < n) {
      throw CFileException(CFileException::diskFull, -1, file.target_path());
    }
    at += n;
  }
}

}  // namespace

void WriteSmlBytes(CPlatform& platform, const std::string& output_path,
                   const std::string& bytes,
                   const std::vector<std::size_t>& writes,
                   CPublishQueue* queue) {
  CReplacingFile file(platform, output_path, queue);
  writeInTurn(file, bytes, writes);
  file.Close();
}

std::unique_ptr<CReplacingFile> WriteSmlTemporary(
    CPlatform& platform, const std::string& output_path,
    const std::string& bytes, const std::vector<std::size_t>& writes) {
  auto file = std::make_unique<CReplacingFile>(platform, output_path);
  writeInTurn(*file, bytes, writes);
  return file;
}

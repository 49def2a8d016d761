#include "sml/sml_file.h"

#include <algorithm>
#include <stdexcept>

#include "archive/archive_writer.h"
#include "platform/exceptions.h"
#include "platform/platform.h"
#include "platform/replacing_file.h"

namespace {

constexpr std::size_t kExtensionLength = 4;  // ".SYM"

constexpr char kSmlMagic[] = "KROWinSymbol1";

// The constant block between the size and the origin point (fields 14 to
// 24): the same 133 bytes in every file.
void writeConstantBlock(CArchiveWriter& ar) {
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

}  // namespace

std::string WithoutExtension(const std::string& source_path) {
  if (source_path.size() <= kExtensionLength) return std::string();
  return source_path.substr(0, source_path.size() - kExtensionLength);
}

std::string SmlOutputPath(const std::string& source_path) {
  return WithoutExtension(source_path) + ".SML";
}

std::string SmlSymbolName(const std::string& source_path, char separator) {
  std::string base = WithoutExtension(source_path);
  std::size_t last = base.rfind(separator);
  return last == std::string::npos ? base : base.substr(last + 1);
}

namespace {

void writeHead(CArchiveWriter& ar, const std::string& symbol_name) {
  ar.PutString(kSmlMagic);
  ar.PutString(symbol_name);
  ar.PutString("");
  ar.PutDword(uint32_t{0});
}

// Fields after the three lists; the same for both forms of a symbol.
template <class Symbol>
void writeTail(CArchiveWriter& ar, const Symbol& symbol) {
  ar.PutDouble(symbol.minX);
  ar.PutDouble(symbol.minY);
  ar.PutDouble(symbol.maxX);
  ar.PutDouble(symbol.maxY);
  ar.PutDouble(symbol.maxY - symbol.minY);  // height
  ar.PutDouble(symbol.maxX - symbol.minX);  // width
  writeConstantBlock(ar);
  // The origin point is a bare field sequence: no tag, no index.
  symbol.origin.Serialize(ar);
}

void putCount(CArchiveWriter& ar, std::size_t n) {
  if (n > UINT32_MAX) {
    throw std::length_error("too many elements to store in one array");
  }
  ar.PutCount(static_cast<uint32_t>(n));
}

// A point of an arc's or a circle's point list, tagged as the list's
// elements are.
void putListedPoint(CArchiveWriter& ar, const CPrecisionPoint& point) {
  ar.PutNewObject(&CPrecisionPoint::classCPrecisionPoint);
  point.Serialize(ar);
}

}  // namespace

void WriteShapeLists(CArchiveWriter& ar, const CFlatSymbol& symbol) {
  // What the lists of CSymbol write through PutObject, object by object:
  // nothing here is referred to twice, so every object is new.
  putCount(ar, symbol.lines.size());
  for (const CLine& line : symbol.lines) {
    ar.PutNewObject(&CLine::classCLine);
    line.Serialize(ar);
  }
  putCount(ar, symbol.arcs.size());
  for (const CFlatSymbol::CArcShape& arc : symbol.arcs) {
    ar.PutNewObject(&CArc::classCArc);
    ar.PutCount(2);
    putListedPoint(ar, arc.centre);
    putListedPoint(ar, arc.angles);
  }
  putCount(ar, symbol.circles.size());
  for (const CFlatSymbol::CCircleShape& circle : symbol.circles) {
    ar.PutNewObject(&CCircle::classCCircle);
    ar.PutDouble(circle.radius);
    ar.PutCount(1);
    putListedPoint(ar, circle.centre);
  }
}

void WriteSmlContents(CArchiveWriter& ar, const std::string& symbol_name,
                      const CSymbol& symbol) {
  writeHead(ar, symbol_name);
  // Classes and objects are numbered in this order: lines, arcs, circles.
  symbol.lines.Serialize(ar);
  symbol.arcs.Serialize(ar);
  symbol.circles.Serialize(ar);
  writeTail(ar, symbol);
}

void WriteSmlContents(CArchiveWriter& ar, const std::string& symbol_name,
                      const CFlatSymbol& symbol) {
  writeHead(ar, symbol_name);
  WriteShapeLists(ar, symbol);
  writeTail(ar, symbol);
}

namespace {

template <class Symbol>
void writeSmlFile(CPlatform& platform, const std::string& source_path,
                  const Symbol& symbol, CPublishQueue* queue) {
  std::string path = SmlOutputPath(source_path);
  // Written under a temporary name and renamed over an earlier file only
  // when complete: a failure leaves the earlier file as it was.
  CReplacingFile file(platform, path, queue);
  CArchiveWriter ar(file, path);
  WriteSmlContents(ar, SmlSymbolName(source_path, platform.PathSeparator()),
                   symbol);
  ar.Close();
  file.Close();
}

}  // namespace

void WriteSmlFile(CPlatform& platform, const std::string& source_path,
                  const CSymbol& symbol, CPublishQueue* queue) {
  writeSmlFile(platform, source_path, symbol, queue);
}

void WriteSmlFile(CPlatform& platform, const std::string& source_path,
                  const CFlatSymbol& symbol, CPublishQueue* queue) {
  writeSmlFile(platform, source_path, symbol, queue);
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

void WriteSmlBytes(CPlatform& platform, const std::string& source_path,
                   const std::string& bytes,
                   const std::vector<std::size_t>& writes,
                   CPublishQueue* queue) {
  std::string path = SmlOutputPath(source_path);
  CReplacingFile file(platform, path, queue);
  // The archive's writes, one by one, and its failure for a short one.
  std::size_t at = 0;
  for (std::size_t n : writes) {
    if (n > bytes.size() - at) break;
    if (n != 0 && file.Write(bytes.data() + at, n) < n) {
      throw CFileException(CFileException::diskFull, -1, path);
    }
    at += n;
  }
  file.Close();
}

#include "sml/sml_reader.h"

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr std::string_view kMagic = "KROWinSymbol1";
constexpr uint16_t kSchema = 1234;

// The fields between the size and the origin point, which every file holds
// unchanged: "111111", a zero, six entries of (zero, two empty strings, 2),
// a zero, an empty string, "TL", 0.15, a zero, two empty strings and five
// zero doubles.
constexpr std::array<uint8_t, 133> MakeConstantBlock() {
  std::array<uint8_t, 133> block{};  // zero-filled
  std::size_t i = 0;
  block[i++] = 6;
  for (int k = 0; k < 6; ++k) block[i++] = '1';
  i += 4;
  for (int entry = 0; entry < 6; ++entry) {
    i += 4 + 1 + 1;
    block[i] = 2;
    i += 4;
  }
  i += 4 + 1;
  block[i++] = 2;
  block[i++] = 'T';
  block[i++] = 'L';
  const uint64_t bits = std::bit_cast<uint64_t>(0.15);
  for (int k = 0; k < 8; ++k)
    block[i++] = static_cast<uint8_t>(bits >> (8 * k));
  return block;  // the rest (u32 0, two empty strings, 40 zero bytes) is 0
}
constexpr std::array<uint8_t, 133> kConstantBlock = MakeConstantBlock();

// The four classes a symbol file may hold.
enum ClassId { kLine, kArc, kCircle, kPoint, kClassCount };
constexpr std::array<std::string_view, kClassCount> kClassNames = {
    "CLine", "CArc", "CCircle", "CPrecisionPoint"};

std::string Hex(uint64_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return "0x" + text;
}

// Printable ASCII as is, every other byte as \xNN, for names in messages.
std::string Quote(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      text += c;
    } else {
      text += "\\x" + Hex(byte).substr(2);
    }
  }
  return text + "\"";
}

// Names the place being read for error messages, built only on failure:
// "the x of point 2 of arc 3", "the line count".
struct CPlace {
  const char* shape = nullptr;  // "line", "arc", "circle" or none
  std::size_t shape_index = 0;
  const char* part = nullptr;  // "the start", "point" ... within the shape
  std::size_t part_index = 0;  // 0: the part is not numbered

  std::string Describe(const char* field) const {
    std::string text = field;
    if (part != nullptr) {
      text += std::string(" of ") + part;
      if (part_index != 0) text += " " + std::to_string(part_index);
    }
    if (shape != nullptr) {
      text += std::string(" of ") + shape + " " + std::to_string(shape_index);
    }
    return text;
  }
};

// Reads the units of an object archive from the front of a byte run and
// follows the numbering of its classes and objects. Every read checks the
// bytes left first and names what it wanted when they are too few.
class CSmlDecoder {
 public:
  explicit CSmlDecoder(std::string_view bytes) : m_bytes(bytes) {}

  std::size_t position() const { return m_pos; }
  std::size_t left() const { return m_bytes.size() - m_pos; }
  CPlace& place() { return m_place; }

  [[noreturn]] void Fail(std::size_t offset, std::string problem) const {
    throw CSmlFormatException(offset, std::move(problem));
  }

  void Need(std::size_t n, const char* field) const {
    if (n > left()) {
      Fail(m_pos, "expected " + m_place.Describe(field) + " (" +
                      std::to_string(n) + " bytes), but only " +
                      std::to_string(left()) + " bytes are left");
    }
  }

  uint64_t GetScalar(std::size_t n, const char* field) {
    Need(n, field);
    uint64_t value = 0;
    for (std::size_t i = 0; i < n; ++i) {
      value |= uint64_t{static_cast<unsigned char>(m_bytes[m_pos + i])}
               << (8 * i);
    }
    m_pos += n;
    return value;
  }
  uint16_t GetWord(const char* field) {
    return static_cast<uint16_t>(GetScalar(2, field));
  }
  uint32_t GetDword(const char* field) {
    return static_cast<uint32_t>(GetScalar(4, field));
  }
  double GetDouble(const char* field) {
    return std::bit_cast<double>(GetScalar(8, field));
  }

  std::string_view GetBytes(std::size_t n, const char* field) {
    Need(n, field);
    std::string_view run = m_bytes.substr(m_pos, n);
    m_pos += n;
    return run;
  }

  // A length of one, three or seven bytes, then the characters. Checking
  // the length against the bytes left comes before anything is copied.
  std::string_view GetString(const char* field) {
    uint64_t length = GetScalar(1, field);
    if (length == 0xFF) {
      length = GetWord(field);
      if (length == 0xFFFF) length = GetDword(field);
    }
    return GetBytes(static_cast<std::size_t>(length), field);
  }

  uint32_t GetCount(const char* field) {
    uint32_t count = GetWord(field);
    if (count == 0xFFFF) count = GetDword(field);
    return count;
  }

  // Reads the tag of an object reference that must bring a new object of
  // class expected; takes in a class definition when the tag brings one,
  // and numbers the new object as the writer numbered it.
  void GetNewObjectTag(ClassId expected) {
    const std::size_t start = m_pos;
    const char* field = "the tag";
    const uint16_t tag = GetWord(field);
    ClassId found = expected;
    if (tag == 0xFFFF) {
      found = GetClassDefinition(start);
    } else if (tag & 0x8000) {
      found = ClassAt(start, tag & 0x7FFFu);
    } else if (tag == 0x7FFF) {
      const uint32_t index = GetDword(field);
      if (index & 0x80000000u) {
        found = ClassAt(start, index & 0x7FFFFFFFu);
      } else {
        RefuseObjectReference(start, index);
      }
    } else {
      RefuseObjectReference(start, tag);
    }
    if (found != expected) {
      Fail(start, "expected a " + std::string(kClassNames[expected]) +
                      " object for " + m_place.Describe("the tag") +
                      ", but found a " + std::string(kClassNames[found]));
    }
    ++m_nNextIndex;  // the new object's own index
  }

 private:
  ClassId GetClassDefinition(std::size_t start) {
    const uint16_t schema = GetWord("the schema number in the class tag");
    const uint16_t length = GetWord("the name length in the class tag");
    const std::string_view name = GetBytes(length, "the class name");
    int id = 0;
    while (id < kClassCount && kClassNames[id] != name) ++id;
    if (id == kClassCount) {
      Fail(start, "expected a known class in " + m_place.Describe("the tag") +
                      ", but found the class " + Quote(name));
    }
    if (schema != kSchema) {
      Fail(start, "class " + Quote(name) + " has schema number " +
                      std::to_string(schema) + ", expected " +
                      std::to_string(kSchema));
    }
    if (m_classIndex[id] != 0) {
      Fail(start, "class " + Quote(name) +
                      " is defined a second time (a class is defined once, "
                      "then referred to by its index)");
    }
    m_classIndex[id] = m_nNextIndex++;
    return static_cast<ClassId>(id);
  }

  ClassId ClassAt(std::size_t start, uint64_t index) const {
    for (int id = 0; id < kClassCount; ++id) {
      if (m_classIndex[id] != 0 && m_classIndex[id] == index) {
        return static_cast<ClassId>(id);
      }
    }
    Fail(start, "expected a class in " + m_place.Describe("the tag") +
                    ", but it refers to index " + std::to_string(index) +
                    ", which no class definition took");
  }

  [[noreturn]] void RefuseObjectReference(std::size_t start,
                                          uint64_t index) const {
    if (index == 0) {
      Fail(start, "expected a new object for " + m_place.Describe("the tag") +
                      ", but found a null reference");
    }
    Fail(start, "expected a new object for " + m_place.Describe("the tag") +
                    ", but found a reference to index " +
                    std::to_string(index) +
                    " (a symbol file stores every object once, in full)");
  }

  std::string_view m_bytes;
  std::size_t m_pos = 0;
  CPlace m_place;
  // Classes and objects share one numbering from 1 (0 is the null
  // reference). Only the classes' indices need keeping: a symbol file
  // never refers back to an object.
  uint64_t m_nNextIndex = 1;
  std::array<uint64_t, kClassCount> m_classIndex{};
};

// A point's three doubles; place() says whose point it is.
void GetPoint(CSmlDecoder& in, CPrecisionPoint* p) {
  p->x = in.GetDouble("the x");
  p->y = in.GetDouble("the y");
  p->z = in.GetDouble("the z");
}

// A point list whose size its owner fixes: the count, then each point as a
// new CPrecisionPoint object.
void GetPointList(CSmlDecoder& in, uint32_t wanted,
                  CPrecisionPointArray* points) {
  CPlace& place = in.place();
  const std::size_t start = in.position();
  const uint32_t count = in.GetCount("the point count");
  if (count != wanted) {
    in.Fail(start, "expected " + std::to_string(wanted) + " point" +
                       (wanted == 1 ? "" : "s") + " in " + place.shape + " " +
                       std::to_string(place.shape_index) +
                       ", but the count is " + std::to_string(count));
  }
  for (uint32_t i = 0; i < count; ++i) {
    place.part = "point";
    place.part_index = i + 1;
    in.GetNewObjectTag(kPoint);
    auto point = std::make_unique<CPrecisionPoint>();
    GetPoint(in, point.get());
    points->Add(std::move(point));
  }
  place.part = nullptr;
}

// Each list: its count, then its elements, each added as soon as it has
// been read, so that a forged count costs no memory before the bytes run
// out.
void GetLines(CSmlDecoder& in, CLineArray* lines) {
  CPlace& place = in.place();
  const uint32_t count = in.GetCount("the line count");
  place.shape = "line";
  for (uint32_t i = 0; i < count; ++i) {
    place.shape_index = i + 1;
    in.GetNewObjectTag(kLine);
    auto line = std::make_unique<CLine>();
    line->attribute = static_cast<int32_t>(in.GetDword("the attribute"));
    place.part = "the start";
    GetPoint(in, &line->start);
    place.part = "the end";
    GetPoint(in, &line->end);
    place.part = nullptr;
    lines->Add(std::move(line));
  }
  place = CPlace();
}

void GetArcs(CSmlDecoder& in, CArcArray* arcs) {
  CPlace& place = in.place();
  const uint32_t count = in.GetCount("the arc count");
  place.shape = "arc";
  for (uint32_t i = 0; i < count; ++i) {
    place.shape_index = i + 1;
    in.GetNewObjectTag(kArc);
    auto arc = std::make_unique<CArc>();
    GetPointList(in, 2, &arc->points);
    arcs->Add(std::move(arc));
  }
  place = CPlace();
}

void GetCircles(CSmlDecoder& in, CCircleArray* circles) {
  CPlace& place = in.place();
  const uint32_t count = in.GetCount("the circle count");
  place.shape = "circle";
  for (uint32_t i = 0; i < count; ++i) {
    place.shape_index = i + 1;
    in.GetNewObjectTag(kCircle);
    auto circle = std::make_unique<CCircle>();
    circle->radius = in.GetDouble("the radius");
    GetPointList(in, 1, &circle->points);
    circles->Add(std::move(circle));
  }
  place = CPlace();
}

void CheckMagic(CSmlDecoder& in) {
  const char* what = "the magic 0D \"KROWinSymbol1\" of a symbol file";
  const std::size_t start = in.position();
  const std::string_view found = in.GetBytes(1 + kMagic.size(), what);
  if (found[0] != static_cast<char>(kMagic.size()) ||
      found.substr(1) != kMagic) {
    in.Fail(start,
            std::string("expected ") + what + ", but found " + Quote(found));
  }
}

// Fields that hold the same bytes in every file: a difference is named by
// its own offset.
void CheckConstant(CSmlDecoder& in, const uint8_t* expected, std::size_t n,
                   const char* what) {
  const std::size_t start = in.position();
  const std::string_view found = in.GetBytes(n, what);
  for (std::size_t i = 0; i < n; ++i) {
    const auto byte = static_cast<unsigned char>(found[i]);
    if (byte != expected[i]) {
      in.Fail(start + i, "expected byte " + Hex(expected[i]) + " of " + what +
                             ", but found " + Hex(byte));
    }
  }
}

}  // namespace

CSmlFormatException::CSmlFormatException(std::size_t offset,
                                         std::string problem)
    : CException("offset " + std::to_string(offset) + ": " + problem),
      m_nOffset(offset),
      m_strProblem(std::move(problem)) {}

void ReadSmlFile(std::string_view bytes, CSymbol* symbol) {
  CSmlDecoder in(bytes);
  CheckMagic(in);
  symbol->name = std::string(in.GetString("the symbol name"));
  static constexpr uint8_t kZeroes[5] = {};
  CheckConstant(in, kZeroes, 5, "the empty string and the zero after the name");
  GetLines(in, &symbol->lines);
  GetArcs(in, &symbol->arcs);
  GetCircles(in, &symbol->circles);
  symbol->minX = in.GetDouble("the smallest x");
  symbol->minY = in.GetDouble("the smallest y");
  symbol->maxX = in.GetDouble("the largest x");
  symbol->maxY = in.GetDouble("the largest y");
  // Other programs may store a height and width that differ from the
  // extents; the model keeps the extents alone, which the shapes agree with.
  (void)in.GetDouble("the height");
  (void)in.GetDouble("the width");
  CheckConstant(in, kConstantBlock.data(), kConstantBlock.size(),
                "the constant block");
  in.place().part = "the origin point";
  GetPoint(in, &symbol->origin);
  if (in.left() != 0) {
    in.Fail(in.position(),
            "expected the end of the file after the origin "
            "point, but " +
                std::to_string(in.left()) + " more bytes follow");
  }
}

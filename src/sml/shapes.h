#ifndef SYMCONV_SML_SHAPES_H_
#define SYMCONV_SML_SHAPES_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/object.h"

/// One 3-D point of doubles. In an arc's second point x and y hold the start
/// and end angle (radians) and z the radius.
class CPrecisionPoint : public CObject {
 public:
  CPrecisionPoint() = default;
  CPrecisionPoint(double px, double py, double pz) : x(px), y(py), z(pz) {}
  const CClassRecord* GetRuntimeClass() const override;
  /// x, y, z as doubles.
  void Serialize(CArchiveWriter& ar) const override;
  // The class names and schema numbers are stored in every .SML file, so
  // they never change; known when compiled, so that a writer can size its
  // runs by them.
  static constexpr CClassRecord classCPrecisionPoint{"CPrecisionPoint", 1234};

  double x = 0.0, y = 0.0, z = 0.0;
};

/// An ordered, owning array of storable objects, none of them null.
/// Written as a count and one tagged object reference per element.
template <class T>
class CTypedObArray {
 public:
  CTypedObArray() = default;
  CTypedObArray(const CTypedObArray&) = delete;
  CTypedObArray& operator=(const CTypedObArray&) = delete;
  CTypedObArray(CTypedObArray&&) = default;
  CTypedObArray& operator=(CTypedObArray&&) = default;

  std::size_t GetSize() const { return m_items.size(); }
  T* GetAt(std::size_t i) const { return m_items[i].get(); }
  T* operator[](std::size_t i) const { return m_items[i].get(); }
  /// Appends at the end, taking ownership; p must not be null. Returns the
  /// index.
  /// Room for n items, so that adding up to n allocates no more.
  void Reserve(std::size_t n) { m_items.reserve(n); }
  std::size_t Add(std::unique_ptr<T> p) {
    m_items.push_back(std::move(p));
    return m_items.size() - 1;
  }
  void Serialize(CArchiveWriter& ar) const;

 private:
  std::vector<std::unique_ptr<T>> m_items;
};

using CPrecisionPointArray = CTypedObArray<CPrecisionPoint>;

/// A line segment. attribute is always 1 here; it is stored with the line.
class CLine : public CObject {
 public:
  const CClassRecord* GetRuntimeClass() const override;
  /// attribute as u32, then start and end as bare points (no tags).
  void Serialize(CArchiveWriter& ar) const override;
  static constexpr CClassRecord classCLine{"CLine", 1234};

  CPrecisionPoint start;
  CPrecisionPoint end;
  int32_t attribute = 1;
};

/// An arc: points[0] is the centre, points[1] the angle point (start angle,
/// end angle in radians, radius). The arc runs from the start angle
/// downward to the end angle.
class CArc : public CObject {
 public:
  const CClassRecord* GetRuntimeClass() const override;
  /// The point array and nothing else.
  void Serialize(CArchiveWriter& ar) const override;
  static constexpr CClassRecord classCArc{"CArc", 1234};

  CPrecisionPointArray points;
};

/// A circle: points[0] is the centre.
class CCircle : public CObject {
 public:
  const CClassRecord* GetRuntimeClass() const override;
  /// radius first, then the point array.
  void Serialize(CArchiveWriter& ar) const override;
  static constexpr CClassRecord classCCircle{"CCircle", 1234};

  CPrecisionPointArray points;
  double radius = 0.0;
};

using CLineArray = CTypedObArray<CLine>;
using CArcArray = CTypedObArray<CArc>;
using CCircleArray = CTypedObArray<CCircle>;

#endif  // SYMCONV_SML_SHAPES_H_

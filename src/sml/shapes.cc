#include "sml/shapes.h"

#include <stdexcept>

#include "archive/archive_writer.h"

const CClassRecord* CPrecisionPoint::GetRuntimeClass() const {
  return &classCPrecisionPoint;
}

void CPrecisionPoint::Serialize(CArchiveWriter& ar) const {
  ar.PutDouble(x);
  ar.PutDouble(y);
  ar.PutDouble(z);
}

template <class T>
void CTypedObArray<T>::Serialize(CArchiveWriter& ar) const {
  if (m_items.size() > UINT32_MAX) {
    throw std::length_error("too many elements to store in one array");
  }
  ar.PutCount(static_cast<uint32_t>(m_items.size()));
  for (const std::unique_ptr<T>& item : m_items) ar.PutObject(item.get());
}

template class CTypedObArray<CPrecisionPoint>;
template class CTypedObArray<CLine>;
template class CTypedObArray<CArc>;
template class CTypedObArray<CCircle>;

const CClassRecord* CLine::GetRuntimeClass() const { return &classCLine; }

// The two points are part of the line's own body: no tag, no index.
void CLine::Serialize(CArchiveWriter& ar) const {
  ar.PutDword(attribute);
  start.Serialize(ar);
  end.Serialize(ar);
}

const CClassRecord* CArc::GetRuntimeClass() const { return &classCArc; }

void CArc::Serialize(CArchiveWriter& ar) const { points.Serialize(ar); }

const CClassRecord* CCircle::GetRuntimeClass() const { return &classCCircle; }

// The radius goes before the points, the reverse of the field order.
void CCircle::Serialize(CArchiveWriter& ar) const {
  ar.PutDouble(radius);
  points.Serialize(ar);
}

#include "sml/shapes.h"

#include <stdexcept>

#include "archive/archive_writer.h"

// The class names and schema numbers are stored in every .SML file, so
// they never change.
const CClassRecord CPrecisionPoint::classCPrecisionPoint = {
    "CPrecisionPoint", 1234, &CPrecisionPoint::CreateObject,
    &CObject::classCObject};
const CClassRecord CLine::classCLine = {"CLine", 1234, &CLine::CreateObject,
                                        &CObject::classCObject};
const CClassRecord CArc::classCArc = {"CArc", 1234, &CArc::CreateObject,
                                      &CObject::classCObject};
const CClassRecord CCircle::classCCircle = {
    "CCircle", 1234, &CCircle::CreateObject, &CObject::classCObject};

const CClassRecord* CPrecisionPoint::GetRuntimeClass() const {
  return &classCPrecisionPoint;
}

CObject* CPrecisionPoint::CreateObject() { return new CPrecisionPoint(); }

void CPrecisionPoint::Serialize(CArchiveWriter& ar) {
  ar.PutDouble(x);
  ar.PutDouble(y);
  ar.PutDouble(z);
  flag = 0;
}

template <class T>
void CTypedObArray<T>::Serialize(CArchiveWriter& ar) {
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

CObject* CLine::CreateObject() { return new CLine(); }

// The two points are part of the line's own body: no tag, no index.
void CLine::Serialize(CArchiveWriter& ar) {
  ar.PutDword(attribute);
  start.Serialize(ar);
  end.Serialize(ar);
}

const CClassRecord* CArc::GetRuntimeClass() const { return &classCArc; }

CObject* CArc::CreateObject() { return new CArc(); }

void CArc::Serialize(CArchiveWriter& ar) { points.Serialize(ar); }

const CClassRecord* CCircle::GetRuntimeClass() const { return &classCCircle; }

CObject* CCircle::CreateObject() { return new CCircle(); }

// The radius goes before the points, the reverse of the field order.
void CCircle::Serialize(CArchiveWriter& ar) {
  ar.PutDouble(radius);
  points.Serialize(ar);
}

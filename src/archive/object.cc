#include "archive/object.h"

// CObject has a record so that the writer can recognise and refuse it: its
// schema 0xFFFF marks a class that cannot be stored.
const CClassRecord CObject::classCObject = {"CObject", 0xFFFF};

const CClassRecord* CObject::GetRuntimeClass() const { return &classCObject; }

// The root has no fields of its own: its body is empty.
void CObject::Serialize(CArchiveWriter&) const {}

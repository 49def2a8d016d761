#ifndef SYMCONV_ARCHIVE_OBJECT_H_
#define SYMCONV_ARCHIVE_OBJECT_H_

#include <cstdint>

class CArchiveWriter;

/// The run-time class record of a storable class: its name and schema
/// number are written in the class's definition in an archive.
struct CClassRecord {
  const char* m_lpszClassName;
  uint16_t m_wSchema;
};

/// Root of every storable object. An object's identity, for the archive's
/// numbering, is its address.
class CObject {
 public:
  virtual const CClassRecord* GetRuntimeClass() const;
  virtual ~CObject() = default;
  /// Writes the object's own fields (its body) through the archive.
  virtual void Serialize(CArchiveWriter& ar) const;

  static const CClassRecord classCObject;  // "CObject", schema 0xFFFF
};

#endif  // SYMCONV_ARCHIVE_OBJECT_H_

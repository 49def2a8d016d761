#include "dxf/entity_converter.h"

#include <span>
#include <string>
#include <string_view>

#include "dxf/block_extractor.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/ellipse.h"
#include "dxf/extrusion.h"
#include "dxf/passed_over.h"
#include "dxf/polyline.h"
#include "dxf/symbol_failure.h"
#include "dxf/trace_cursor.h"

namespace {

struct CField {
  int m_nCode;
  const char* m_pszTag;
};

constexpr CField kLineFields[] = {{10, "getxyz1"}, {20, nullptr},
                                  {30, "getxyz5"}, {11, "getxyz1"},
                                  {21, nullptr},   {31, "getxyz5"}};
constexpr CField kArcFields[] = {{10, "getxyz1"},   {20, nullptr},
                                 {30, "getxyz5"},   {40, "getFloat1"},
                                 {50, "getFloat1"}, {51, "getFloat1"}};
constexpr CField kCircleFields[] = {
    {10, "getxyz1"}, {20, nullptr}, {30, "getxyz5"}, {40, "getFloat1"}};

// Reads the fields in order into values, passing the trace checkpoints
// that each field's search covers (to the handler that trace_handler gives,
// asked for only then). The fields are a template argument, so that each
// list's codes are constants in its own copy.
template <const auto& kFields, class TraceHandlerOf>
void ReadFields(const CDxfEntity& entity, TraceHandlerOf trace_handler,
                double* values) {
  if (!entity.holdsTraceMarker()) {
    // No checkpoint can report: only the values are wanted.
    for (const CField& field : kFields)
      *values++ = entity.getFloat(field.m_nCode);
    return;
  }
  CTraceCursor trace(entity, trace_handler());
  for (const CField& field : kFields) {
    trace.search(field.m_nCode, field.m_pszTag);
    *values++ = entity.getFloat(field.m_nCode);
  }
}

constexpr std::string_view kTilted = "tilted";

// Up to this many kinds counted, a passed-over entity's kind is looked for
// one by one.
constexpr std::size_t kWalkedKinds = 8;

// Entities inside inserted blocks are read once per copy: their trace
// checkpoints are not reported again.
class CSilentHandler : public CDxfBlockHandler {
 public:
  void OnBlock(const std::string&, const std::string&) override {}
  void OnTrace(const char*) override {}
};

bool IsTextEntity(std::string_view type) {
  return type == "TEXT" || type == "MTEXT" || type == "ATTDEF" ||
         type == "ATTRIB";
}

bool IsOutlineEntity(std::string_view type) {
  return type == "SOLID" || type == "TRACE" || type == "3DFACE";
}

}  // namespace

void CEntityConverter::Begin() {
  m_writer.Begin();
  m_nRecords = 0;
  m_passedOver.clear();
  m_polylineState = PolylineState::kNone;
  m_placement = CPlacement();
  m_open.clear();
  m_pSymbolBlock = nullptr;
  m_nInsertedEntities = 0;
  m_nInsertedShapes = 0;
}

void CEntityConverter::Add(const CDxfEntity& entity) {
  const std::string_view type = entity.type();
  if (m_polylineState != PolylineState::kNone) {
    if (type == "VERTEX") {
      if (m_polylineState == PolylineState::kTaking) {
        AddPolylineVertex(entity, &m_polyline);
      }
      return;
    }
    // SEQEND ends the polyline; so does any other entity, should the
    // SEQEND be missing.
    EndPolyline();
    if (type == "SEQEND") return;
  }
  if (type == "LINE") {
    // A line has world coordinates: its extrusion changes none of them.
    double v[6];
    ReadFields<kLineFields>(
        entity, [this]() -> auto& { return TraceHandler(); }, v);
    WriteLine(v[0], v[1], v[2], v[3], v[4], v[5]);
  } else if (type == "ARC") {
    AddArc(entity);
  } else if (type == "CIRCLE") {
    AddCircle(entity);
  } else if (m_options.polylines && type == "LWPOLYLINE") {
    AddLwPolyline(entity);
  } else if (m_options.polylines && type == "POLYLINE") {
    StartPolyline(entity);
  } else if (m_options.inserts && m_pBlocks && type == "INSERT") {
    AddInsert(entity);
  } else if (m_options.inserts && m_pBlocks && type == "DIMENSION") {
    AddDimension(entity);
  } else if (m_options.inserts && type == "LEADER") {
    AddLeader(entity);
  } else if (m_options.curves && type == "ELLIPSE") {
    AddEllipse(entity);
  } else if (m_options.curves && type == "SPLINE") {
    AddSpline(entity);
  } else if (m_options.outlines && IsOutlineEntity(type)) {
    AddOutline(entity);
  } else if (m_options.outlines && type == "HATCH") {
    AddHatch(entity);
  } else if (m_options.font && IsTextEntity(type)) {
    AddText(entity);
  } else if (type == "VERTEX" || type == "ATTRIB" || type == "SEQEND") {
    // Parts of the POLYLINE or INSERT before them, counted with it.
  } else {
    PassOver(type);
  }
}

void CEntityConverter::End() {
  if (m_polylineState != PolylineState::kNone) EndPolyline();
}

void CEntityConverter::AddArc(const CDxfEntity& entity) {
  double v[6];  // centre x, y, z, radius, start and end angles
  ReadFields<kArcFields>(
      entity, [this]() -> auto& { return TraceHandler(); }, v);
  const EntityPlane plane = PlaceCentre(entity, "ARC", v[0], v[2]);
  if (plane == EntityPlane::kTilted) return;
  if (plane == EntityPlane::kMirrored) MirrorArcAngles(v[4], v[5]);
  WriteArc(v[0], v[1], v[2], v[3], v[4], v[5]);
}

void CEntityConverter::AddCircle(const CDxfEntity& entity) {
  double v[4];  // centre x, y, z, radius
  ReadFields<kCircleFields>(
      entity, [this]() -> auto& { return TraceHandler(); }, v);
  if (PlaceCentre(entity, "CIRCLE", v[0], v[2]) == EntityPlane::kTilted) {
    return;
  }
  WriteCircle(v[0], v[1], v[2], v[3]);
}

EntityPlane CEntityConverter::PlaceCentre(const CDxfEntity& entity,
                                          std::string_view type, double& cx,
                                          double& cz) {
  const EntityPlane plane = FindEntityPlane(entity);
  if (plane == EntityPlane::kTilted) PassOver(type, kTilted);
  if (plane == EntityPlane::kMirrored) {
    cx = MirrorCoordinate(cx);
    cz = MirrorCoordinate(cz);
  }
  return plane;
}

void CEntityConverter::AddLwPolyline(const CDxfEntity& entity) {
  const EntityPlane plane = FindEntityPlane(entity);
  if (plane == EntityPlane::kTilted) {
    PassOver("LWPOLYLINE", kTilted);
    return;
  }
  ReadLwPolyline(entity, &m_polyline);
  if (plane == EntityPlane::kMirrored) m_polyline.mirror();
  WritePolyline();
}

void CEntityConverter::StartPolyline(const CDxfEntity& header) {
  const EntityPlane plane = FindEntityPlane(header);
  m_polylineState = PolylineState::kSkipping;
  if (!Is2dPolyline(header)) {
    PassOver("POLYLINE", "3-D or mesh");
  } else if (plane == EntityPlane::kTilted) {
    PassOver("POLYLINE", kTilted);
  } else {
    m_polylineState = PolylineState::kTaking;
    m_bPolylineMirrored = plane == EntityPlane::kMirrored;
    BeginPolyline(header, &m_polyline);
  }
}

void CEntityConverter::EndPolyline() {
  if (m_polylineState == PolylineState::kTaking) {
    if (m_bPolylineMirrored) m_polyline.mirror();
    WritePolyline();
  }
  m_polylineState = PolylineState::kNone;
}

void CEntityConverter::WritePolyline() {
  const double z = m_polyline.elevation;
  m_polyline.forEachSegment([&](const CPolylineSegment& s) {
    if (s.kind == CPolylineSegment::Kind::kLine) {
      WriteLine(s.x1, s.y1, z, s.x2, s.y2, z);
    } else {
      WriteArc(s.cx, s.cy, z, s.radius, s.start, s.end);
    }
  });
}

// Every entity's record is written through these three, so a polyline
// segment reads exactly as the LINE or ARC entity of the same values would:
// DXF y negated, an arc's radius after its angles. Outside inserts the
// placement changes no value.
void CEntityConverter::WriteLine(double x1, double y1, double z1, double x2,
                                 double y2, double z2) {
  m_placement.apply(x1, y1, z1);
  m_placement.apply(x2, y2, z2);
  m_writer.AppendLine(x1, -y1, z1, x2, -y2, z2);
  CountShape();
}

void CEntityConverter::WriteArc(double cx, double cy, double cz, double radius,
                                double start, double end) {
  if (!m_placement.conformal) {
    // Scaled unevenly, the arc is part of an ellipse.
    CEllipseCurve curve = ArcCurve(cx, cy, cz, radius, start, end);
    curve.place(m_placement);
    DrawCurve(curve, curve.breaks(), curve.size(), curve.z);
    return;
  }
  m_placement.apply(cx, cy, cz);
  m_placement.mapArc(start, end);
  m_writer.AppendArc(cx, -cy, cz, start, end, radius * m_placement.scale);
  CountShape();
}

void CEntityConverter::WriteCircle(double cx, double cy, double cz,
                                   double radius) {
  if (!m_placement.conformal) {
    WriteArc(cx, cy, cz, radius, 0.0, 360.0);
    return;
  }
  m_placement.apply(cx, cy, cz);
  m_writer.AppendCircle(cx, -cy, cz, radius * m_placement.scale);
  CountShape();
}

void CEntityConverter::CountShape() {
  ++m_nRecords;
  if (!m_open.empty() && ++m_nInsertedShapes > kMaxShapes) {
    throw CSymbolFailure("its inserts draw more than " +
                         std::to_string(kMaxShapes) + " shapes");
  }
}

CDxfBlockHandler& CEntityConverter::TraceHandler() {
  static CSilentHandler silent;
  return m_open.empty() ? m_handler : silent;
}

void CEntityConverter::PassOver(std::string_view type,
                                std::string_view reason) {
  // A kind already counted (most are: TEXT after TEXT) needs no new key.
  // A block passes over few kinds, and walking a few beats the tree's
  // search; the walk is bounded, so that a file of countless kinds stays
  // linear.
  if (reason.empty() && m_passedOver.size() <= kWalkedKinds) {
    for (auto& [kind, count] : m_passedOver) {
      if (kind == type) {
        ++count;
        return;
      }
    }
  } else if (reason.empty()) {
    const auto counted = m_passedOver.find(type);
    if (counted != m_passedOver.end()) {
      ++counted->second;
      return;
    }
  }
  m_strKind.assign(type);
  if (!reason.empty()) {
    m_strKind += " (";
    m_strKind += reason;
    m_strKind += ')';
  }
  ++m_passedOver[m_strKind];
}

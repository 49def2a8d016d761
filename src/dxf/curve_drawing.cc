// The curves of CEntityConverter: ELLIPSE and SPLINE entities, arcs scaled
// unevenly by inserts, and text strokes, drawn through the placement.

#include <string_view>
#include <vector>

#include "dxf/curve_fit.h"
#include "dxf/ellipse.h"
#include "dxf/entity_converter.h"
#include "dxf/spline.h"
#include "dxf/text_strokes.h"

namespace {

// Writes the shapes of a fitted curve at height z; they are already in
// the symbol's place.
class CWriterSink : public CShapeSink {
 public:
  CWriterSink(CSymTextWriter& writer, double z) : m_writer(writer), m_z(z) {}
  void Line(CVec2 from, CVec2 to) override {
    m_writer.AppendLine(from.x, -from.y, m_z, to.x, -to.y, m_z);
  }
  void Arc(CVec2 centre, double radius, double start, double end) override {
    m_writer.AppendArc(centre.x, -centre.y, m_z, start, end, radius);
  }

 private:
  CSymTextWriter& m_writer;
  double m_z;
};

}  // namespace

void CEntityConverter::AddEllipse(const CDxfEntity& entity) {
  CEllipseCurve curve;
  if (!ReadEllipse(entity, &curve)) {
    PassOver("ELLIPSE", "tilted or degenerate");
    return;
  }
  curve.place(m_placement);
  DrawCurve(curve, curve.breaks(), curve.size(), curve.z);
}

void CEntityConverter::AddSpline(const CDxfEntity& entity) {
  CSplineCurve curve;
  const std::string_view problem = ReadSpline(entity, &curve);
  if (!problem.empty()) {
    PassOver("SPLINE", problem);
    return;
  }
  curve.place(m_placement);
  DrawCurve(curve, curve.breaks(), curve.size(), curve.z);
}

void CEntityConverter::DrawCurve(const CPlaneCurve& curve,
                                 const std::vector<double>& breaks, double size,
                                 double z) {
  const double tolerance =
      m_options.tolerance > 0.0 ? m_options.tolerance : DefaultTolerance(size);
  CWriterSink sink(m_writer, z);
  const int shapes = FitCurve(curve, breaks, tolerance, sink);
  for (int i = 0; i < shapes; ++i) CountShape();
}

void CEntityConverter::AddText(const CDxfEntity& entity) {
  // Each segment of a stroke is written as the pen draws it.
  class CLineSink : public CStrokeSink {
   public:
    explicit CLineSink(CEntityConverter& converter) : m_converter(converter) {}
    void MoveTo(CStrokePoint point) override { m_last = point; }
    void LineTo(CStrokePoint point) override {
      m_converter.WriteLine(m_last.x, m_last.y, 0.0, point.x, point.y, 0.0);
      m_last = point;
    }

   private:
    CEntityConverter& m_converter;
    CStrokePoint m_last{};
  };
  CLineSink sink(*this);
  CMissingGlyphs missing;
  if (!StrokeTextEntity(entity, *m_options.font, sink, &missing)) {
    PassOver(entity.type(), "tilted");
    return;
  }
  // Each box stands for a character the font lacks: the text is drawn,
  // but not all of it.
  for (int i = 0; i < missing.count; ++i) {
    PassOver("character", "not in the font");
  }
}

// The DIMENSION and LEADER entities of CEntityConverter, drawn with the
// inserts option. A dimension's picture (lines, arrowheads, text) is kept
// in the anonymous block that it names, already in drawing coordinates; a
// leader is its path alone, its arrowhead being a block chosen by the
// dimension style.

#include <string_view>
#include <vector>

#include "dxf/block_index.h"
#include "dxf/dxf_group_reader.h"
#include "dxf/entity_converter.h"
#include "dxf/extrusion.h"
#include "dxf/placement.h"
#include "symbol/numbers.h"

namespace {

struct CLeaderVertex {
  double x = 0.0, y = 0.0, z = 0.0;
};

// The vertices of a leader, in world coordinates: each code-10 group
// starts one, the code-20 and code-30 groups after it complete it.
void ReadLeaderVertices(const CDxfEntity& leader,
                        std::vector<CLeaderVertex>* vertices) {
  vertices->clear();
  for (const CDxfGroup& group : leader.groups()) {
    if (group.m_nCode == 10) {
      vertices->push_back({ParseNumber(group.m_strValue), 0.0, 0.0});
    } else if (vertices->empty()) {
      continue;  // a y or z before the first x has no vertex
    } else if (group.m_nCode == 20) {
      vertices->back().y = ParseNumber(group.m_strValue);
    } else if (group.m_nCode == 30) {
      vertices->back().z = ParseNumber(group.m_strValue);
    }
  }
}

}  // namespace

void CEntityConverter::AddDimension(const CDxfEntity& dimension) {
  const EntityPlane plane = FindEntityPlane(dimension);
  if (plane == EntityPlane::kTilted) {
    PassOver("DIMENSION", "tilted");
    return;
  }
  const CBlockExtent* block = m_pBlocks->find(dimension.getText(2));
  if (block == nullptr) {
    PassOver("DIMENSION", "no such block");
    return;
  }
  // A copy made by baseline or continued dimensioning moves the picture
  // by its insertion point (given in the dimension's plane); the block's
  // base point plays no part.
  double x = 0.0, y = 0.0, z = 0.0;
  dimension.getxyz(12, x, y, z);
  if (plane == EntityPlane::kMirrored) {
    x = MirrorCoordinate(x);
    z = MirrorCoordinate(z);
  }
  CPlacement shift;
  if (x != 0.0 || y != 0.0 || z != 0.0) {
    shift.identity = false;
    shift.tx = x;
    shift.ty = y;
    shift.tz = z;
  }
  OpenBlock(*block, 1);
  const CPlacement outer = m_placement;
  m_placement = shift.then(outer);
  DrawBlock(*block);
  m_placement = outer;
  m_open.pop_back();
}

void CEntityConverter::AddLeader(const CDxfEntity& leader) {
  // A spline path (72 = 1) would need the curve fitted through the
  // vertices the way the CAD program fits it.
  if (leader.getFloat(72) == 1.0) {
    PassOver("LEADER", "spline path");
    return;
  }
  std::vector<CLeaderVertex> vertices;
  ReadLeaderVertices(leader, &vertices);
  if (vertices.size() < 2) {
    PassOver("LEADER", "no path");
    return;
  }
  for (std::size_t i = 1; i < vertices.size(); ++i) {
    const CLeaderVertex& a = vertices[i - 1];
    const CLeaderVertex& b = vertices[i];
    WriteLine(a.x, a.y, a.z, b.x, b.y, b.z);
  }
  // The arrowhead's block and size come from the dimension style, which
  // is not read: the arrowhead is reported instead of guessed.
  if (leader.getFloat(71, 1.0) != 0.0) PassOver("LEADER", "arrowhead");
}

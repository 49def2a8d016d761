#include "dxf/text_spec.h"

#include <string>
#include <string_view>

#include "dxf/dxf_group_reader.h"
#include "dxf/extrusion.h"
#include "dxf/text_content.h"

namespace {

constexpr double kDefaultHeight = 2.5;

int GetInt(const CDxfEntity& entity, int code, int absent) {
  return static_cast<int>(entity.getFloat(code, absent));
}

// A factor or height that must be positive to draw anything sensible.
double Positive(double value, double fallback) {
  return value > 0.0 ? value : fallback;
}

void ReadMText(const CDxfEntity& entity, CTextSpec* spec) {
  // Long values come as code-3 chunks before the final code-1 group.
  std::string value;
  for (const CDxfGroup& group : entity.groups()) {
    if (group.m_nCode == 3) value.append(group.m_strValue);
  }
  value.append(entity.getText(1));
  spec->lines = DecodeMText(value);
  spec->dir_x = entity.getFloat(11);
  spec->dir_y = entity.getFloat(21);
  spec->attachment = GetInt(entity, 71, 1);
  if (spec->attachment < 1 || spec->attachment > 9) spec->attachment = 1;
  spec->ref_width = entity.getFloat(41);
  spec->line_spacing = Positive(entity.getFloat(44, 1.0), 1.0);
}

void ReadSingleLine(const CDxfEntity& entity, bool attribute, CTextSpec* spec) {
  const bool definition = entity.type() == "ATTDEF";
  spec->lines = {DecodeTextValue(entity.getText(definition ? 2 : 1))};
  // An ATTDEF always shows its tag; an invisible ATTRIB shows nothing.
  spec->visible = definition || !attribute || (GetInt(entity, 70, 0) & 1) == 0;
  spec->align_x = entity.getFloat(11, spec->x);
  spec->align_y = entity.getFloat(21, spec->y);
  spec->width_factor = Positive(entity.getFloat(41, 1.0), 1.0);
  spec->oblique = entity.getFloat(51);
  const int generation = GetInt(entity, 71, 0);
  spec->backward = (generation & 2) != 0;
  spec->upside_down = (generation & 4) != 0;
  spec->h_just = GetInt(entity, 72, 0);
  spec->v_just = GetInt(entity, attribute ? 74 : 73, 0);
}

}  // namespace

bool ReadTextSpec(const CDxfEntity& entity, CTextSpec* spec) {
  const std::string_view type = entity.type();
  const bool attribute = type == "ATTDEF" || type == "ATTRIB";
  if (type != "TEXT" && type != "MTEXT" && !attribute) return false;
  *spec = CTextSpec();
  spec->mtext = type == "MTEXT";
  spec->plane = FindEntityPlane(entity);
  spec->x = entity.getFloat(10);
  spec->y = entity.getFloat(20);
  spec->height = Positive(entity.getFloat(40, kDefaultHeight), kDefaultHeight);
  spec->rotation = entity.getFloat(50);
  if (spec->mtext) {
    ReadMText(entity, spec);
  } else {
    ReadSingleLine(entity, attribute, spec);
  }
  return true;
}

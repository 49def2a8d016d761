#include "dxf/text_entity.h"

#include <string>
#include <string_view>

#include "dxf/dxf_group_reader.h"
#include "dxf/extrusion.h"
#include "dxf/text_content.h"

namespace {

constexpr double kDefaultHeight = 2.5;

int GetInt(const CDxfEntity& entity, int code, int absent) {
  return TruncatedInt(entity.getFloat(code, absent), absent);
}

// A factor or height that must be positive to draw anything sensible.
double Positive(double value, double fallback) {
  return value > 0.0 ? value : fallback;
}

void ReadMText(const CDxfEntity& entity, CTextEntity* text) {
  // Long values come as code-3 chunks before the final code-1 group.
  std::string value;
  for (const CDxfGroup& group : entity.groups()) {
    if (group.m_nCode == 3) value.append(group.m_strValue);
  }
  value.append(entity.getText(1));
  text->lines = DecodeMText(value);
  text->dir_x = entity.getFloat(11);
  text->dir_y = entity.getFloat(21);
  text->attachment = GetInt(entity, 71, 1);
  if (text->attachment < 1 || text->attachment > 9) text->attachment = 1;
  text->ref_width = entity.getFloat(41);
  text->line_spacing = Positive(entity.getFloat(44, 1.0), 1.0);
}

void ReadSingleLine(const CDxfEntity& entity, bool attribute,
                    CTextEntity* text) {
  const bool definition = entity.type() == "ATTDEF";
  text->lines.push_back(DecodeTextValue(entity.getText(definition ? 2 : 1)));
  // An ATTDEF always shows its tag; an invisible ATTRIB shows nothing.
  text->visible = definition || !attribute || (GetInt(entity, 70, 0) & 1) == 0;
  text->align_x = entity.getFloat(11, text->x);
  text->align_y = entity.getFloat(21, text->y);
  text->width_factor = Positive(entity.getFloat(41, 1.0), 1.0);
  text->oblique = entity.getFloat(51);
  const int generation = GetInt(entity, 71, 0);
  text->backward = (generation & 2) != 0;
  text->upside_down = (generation & 4) != 0;
  text->h_just = GetInt(entity, 72, 0);
  text->v_just = GetInt(entity, attribute ? 74 : 73, 0);
}

}  // namespace

bool ReadTextEntity(const CDxfEntity& entity, CTextEntity* text) {
  const std::string_view type = entity.type();
  const bool attribute = type == "ATTDEF" || type == "ATTRIB";
  if (type != "TEXT" && type != "MTEXT" && !attribute) return false;
  *text = CTextEntity();
  text->mtext = type == "MTEXT";
  text->plane = FindEntityPlane(entity);
  text->x = entity.getFloat(10);
  text->y = entity.getFloat(20);
  text->height = Positive(entity.getFloat(40, kDefaultHeight), kDefaultHeight);
  text->rotation = entity.getFloat(50);
  if (text->mtext) {
    ReadMText(entity, text);
  } else {
    ReadSingleLine(entity, attribute, text);
  }
  return true;
}

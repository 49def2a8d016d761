#ifndef SYMCONV_DXF_TEXT_ENTITY_H_
#define SYMCONV_DXF_TEXT_ENTITY_H_

#include <string>
#include <vector>

#include "dxf/dxf_group_reader.h"
#include "dxf/extrusion.h"

/// What a TEXT, ATTDEF, ATTRIB or MTEXT entity says about the text it
/// shows, read from its groups with DXF's defaults for the absent ones.
/// Lengths are drawing units, angles degrees.
struct CTextEntity {
  bool mtext = false;
  /// The lines to show: one for TEXT, ATTDEF and ATTRIB; the paragraphs
  /// of an MTEXT, before word wrap.
  std::vector<std::u32string> lines;
  /// False for an attribute flagged invisible: it shows nothing.
  bool visible = true;
  EntityPlane plane = EntityPlane::kWorld;
  /// Insertion point (10, 20): in the entity's plane for TEXT and the
  /// attributes, in world coordinates for MTEXT.
  double x = 0.0, y = 0.0;
  /// Cap height (40).
  double height = 2.5;
  /// Rotation (50) and, for MTEXT, the x axis direction (11, 21) in world
  /// coordinates, which overrides the rotation when it is not zero.
  double rotation = 0.0;
  double dir_x = 0.0, dir_y = 0.0;

  // TEXT, ATTDEF and ATTRIB only.
  double align_x = 0.0, align_y = 0.0;  // second alignment point (11, 21)
  double width_factor = 1.0;            // 41
  double oblique = 0.0;                 // 51
  int h_just = 0;                       // 72: left, center, right, aligned,
                                        // middle, fit
  int v_just = 0;  // 73 (74 for attributes): baseline, bottom, middle, top
  bool backward = false;     // 71 bit 2: mirrored left to right
  bool upside_down = false;  // 71 bit 4: mirrored top to bottom

  // MTEXT only.
  int attachment = 1;         // 71: 1-9, top left to bottom right
  double ref_width = 0.0;     // 41: wrap width, 0 for none
  double line_spacing = 1.0;  // 44: factor of the standard 5/3 height
};

/// Reads entity into *text when it is a TEXT, ATTDEF, ATTRIB or MTEXT;
/// false for any other type. An ATTDEF shows its tag, as a block
/// definition shows it; an ATTRIB its value.
bool ReadTextEntity(const CDxfEntity& entity, CTextEntity* text);

#endif  // SYMCONV_DXF_TEXT_ENTITY_H_

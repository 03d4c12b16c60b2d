// The production's block font: letters on a 5 x 7 grid of cells whose outer corners are cut
// and whose diagonal steps are filled in, extruded into solid text meshes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace content {

class cQuadBuilder;
struct sMaterialSpec;

// A convex polygon on the cell grid, corners in cell units, counter-clockwise seen from +z.
using tPolygon = std::vector<std::pair<int, int>>;

// The polygons of one letter (A to Z, a blank gives none), in the glyph's own 5 x 7 cells
// with (0, 0) at the lower left. Unknown characters give none.
std::vector<tPolygon> glyph_polygons(char in_c);

// The polygons of a line of text, letters 6 cells apart, a blank 4 cells wide; `out_width`
// receives the width in cells.
std::vector<tPolygon> text_polygons(const std::string& in_text, int& out_width);

// Texture coordinates of a text mesh in its picture: the faces map the whole text onto the
// left part, the side walls take one column of the right part, v running over the depth.
constexpr double TEXT_FACE_U0 = 0.02;
constexpr double TEXT_FACE_U1 = 0.48;
constexpr double TEXT_SIDE_U = 0.75;

// Extruded text centred on the origin in one material: `cell` units per cell, `depth` units
// thick along z. Front (+z) and back faces come first, then the side walls.
void build_text(cQuadBuilder& out, const std::string& in_text, double cell, double depth,
                const sMaterialSpec& material);

} // namespace content

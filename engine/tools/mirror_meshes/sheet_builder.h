// Flat sheets over the unit square of the x-z plane, built from polygons that each carry an
// affine piece of the picture; polygons are clipped to the square and stored without repeats.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class cMeshObj;

namespace mirrors {

// A polygon corner: sheet position (x, z) and texture coordinate (u, v).
struct sCorner
{
    double x = 0, z = 0, u = 0, v = 0;
};

class cSheet
{
public:
    // Clips the convex polygon to 0..1 in x and z (texture coordinates follow linearly) and
    // adds it as a fan of counter-clockwise triangles (seen from +y after the screen turn).
    void add_polygon(const std::vector<sCorner>& polygon);
    // Positions (y = 0) and texture coordinates, flags "texture coordinates present".
    void fill(cMeshObj& mesh) const;

    size_t triangle_count() const { return m_elem.size() / 3; }

private:
    uint32_t vertex(const sCorner& c);

    std::map<std::array<float, 4>, uint32_t> m_index;
    std::vector<float> m_pos;
    std::vector<float> m_tex;
    std::vector<uint32_t> m_elem;
};

} // namespace mirrors
